#include "glow/widgets/Glow_ScrollBar_TimerFunc.h"

#include <algorithm>

#include "glow/widgets/GlowScrollBarWidget.h"

namespace glow {

Glow_ScrollBar_TimerFunc* const Glow_ScrollBar_TimerFunc::instance = new Glow_ScrollBar_TimerFunc;

Glow_ScrollBar_TimerFunc::~Glow_ScrollBar_TimerFunc() = default;

void Glow_ScrollBar_TimerFunc::Start(int msecs, GlowScrollBarWidget* bar) {
    // Schedule replaces the pending repeat: never two running side by side.
    scrollBar_ = bar;
    Schedule(static_cast<unsigned int>(std::max(0, msecs)));
}

void Glow_ScrollBar_TimerFunc::Cancel() {
    GlowDeferredTask::Cancel();
    scrollBar_ = nullptr;
}

void Glow_ScrollBar_TimerFunc::CancelFor(GlowScrollBarWidget* bar) {
    if (bar != nullptr && scrollBar_ == bar) Cancel();
}

void Glow_ScrollBar_TimerFunc::OnMessage(const GlowTimerMessage& message) {
    if (!IsPending() || message.id != TimerId()) return;
    GlowDeferredTask::OnMessage(message);
}

void Glow_ScrollBar_TimerFunc::Execute() {
    GlowScrollBarWidget* bar = scrollBar_;
    if (bar == nullptr || bar->GetPart() == GlowScrollBarWidget::noPart || !bar->IsInPart()) return;
    bar->StepPart(false);
}

}  // namespace glow
