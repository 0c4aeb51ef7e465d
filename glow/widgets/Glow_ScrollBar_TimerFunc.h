#ifndef GLOW_WIDGETS_GLOW_SCROLLBAR_TIMERFUNC_H
#define GLOW_WIDGETS_GLOW_SCROLLBAR_TIMERFUNC_H

#include "glow/core/GlowDeferredTask.h"

namespace glow {

class GlowScrollBarWidget;

// The one repeat timer that all scroll bars share: at most one bar repeats
// at a time, the bar whose repeat was started last.
class Glow_ScrollBar_TimerFunc : public GlowDeferredTask {
public:
    // Created before main runs and never deleted.
    static Glow_ScrollBar_TimerFunc* const instance;

    ~Glow_ScrollBar_TimerFunc() override;

    GlowScrollBarWidget* ScrollBar() const { return scrollBar_; }

    // Cancels the pending repeat, whichever bar it served, and starts one
    // of msecs for bar.
    void Start(int msecs, GlowScrollBarWidget* bar);
    // Cancels the pending repeat and forgets its bar.
    void Cancel();
    // Cancel, when the pending repeat is bar's.
    void CancelFor(GlowScrollBarWidget* bar);

    // A message of a timer that was cancelled or replaced meanwhile is
    // ignored; so is one for a bar that holds no part any more.
    void OnMessage(const GlowTimerMessage& message) override;

protected:
    void Execute() override;

private:
    Glow_ScrollBar_TimerFunc() = default;

    GlowScrollBarWidget* scrollBar_ = nullptr;
};

}  // namespace glow

#endif
