#ifndef GLOW_CORE_GLOWDEFERREDTASK_H
#define GLOW_CORE_GLOWDEFERREDTASK_H

#include "glow/core/GlowTimerMessage.h"

namespace glow {

// Runs Execute once after a delay; Schedule again moves the run, Cancel
// drops it, and destroying a pending task cancels it.
class GlowDeferredTask : public TReceiver<const GlowTimerMessage&> {
public:
    GlowDeferredTask() = default;
    ~GlowDeferredTask() override;

    void Schedule(unsigned int msecs);
    void Cancel();
    bool IsPending() const { return timerId_ != 0; }
    int TimerId() const { return timerId_; }

    // The timer's expiry: forgets the timer, then Execute.
    void OnMessage(const GlowTimerMessage& message) override;

protected:
    // The deferred work; may Schedule again.
    virtual void Execute() = 0;

private:
    int timerId_ = 0;
};

}  // namespace glow

#endif
