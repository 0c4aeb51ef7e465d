// The event filters: every mouse-button and key event passes through them
// before its window's handler sees it.
#include "glow/core/Glow.h"

namespace glow {

namespace {

// Built at first use and never destroyed: a filter may bind itself during
// start-up, or unbind itself during static destruction.
TSender<GlowMouseData&>& MouseFilters() {
    static auto* filters = new TSender<GlowMouseData&>;
    return *filters;
}

TSender<GlowKeyboardData&>& KeyboardFilters() {
    static auto* filters = new TSender<GlowKeyboardData&>;
    return *filters;
}

}  // namespace

void Glow::AddMouseFilter(GlowMouseFilter* filter) {
    auto& filters = MouseFilters();
    if (filter != nullptr && !filters.HasReceiver(filter)) filters.Bind(filter);
}

void Glow::RemoveMouseFilter(GlowMouseFilter* filter) {
    MouseFilters().Unbind(filter);
}

void Glow::AddKeyboardFilter(GlowKeyboardFilter* filter) {
    auto& filters = KeyboardFilters();
    if (filter != nullptr && !filters.HasReceiver(filter)) filters.Bind(filter);
}

void Glow::RemoveKeyboardFilter(GlowKeyboardFilter* filter) {
    KeyboardFilters().Unbind(filter);
}

void Glow::FilterMouseEvent_(GlowMouseData& data) {
    MouseFilters().Send(data);
}

void Glow::FilterKeyboardEvent_(GlowKeyboardData& data) {
    KeyboardFilters().Send(data);
}

}  // namespace glow
