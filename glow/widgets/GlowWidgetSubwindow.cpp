#include "glow/widgets/GlowWidgetSubwindow.h"

namespace glow {

GlowWidgetSubwindowParams GlowWidgetSubwindowParams::defaults(true);

GlowWidgetSubwindow::GlowWidgetSubwindow() = default;

GlowWidgetSubwindow::GlowWidgetSubwindow(GlowComponent* parent,
                                         const GlowWidgetSubwindowParams& params) {
    Init(parent, params);
}

GlowWidgetSubwindow::~GlowWidgetSubwindow() = default;

void GlowWidgetSubwindow::Init(GlowComponent* parent, const GlowWidgetSubwindowParams& params) {
    GlowSubwindow::Init(parent, params);
    GlowWidgetRoot::Init(this, params.backColor);
}

void GlowWidgetSubwindow::Init(GlowComponent* parent, int x, int y, int width, int height,
                               GlowDisplayMode mode, GlowEventMask eventMask, GlowColor backColor) {
    GlowSubwindow::Init(parent, x, y, width, height, mode, eventMask);
    GlowWidgetRoot::Init(this, backColor);
}

}  // namespace glow
