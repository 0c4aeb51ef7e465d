#include "glow/core/GlowDeferredTask.h"

#include "glow/core/Glow.h"

namespace glow {

GlowDeferredTask::~GlowDeferredTask() {
    Cancel();
}

void GlowDeferredTask::Schedule(unsigned int msecs) {
    Cancel();
    timerId_ = Glow::StartTimer(msecs, this);
}

void GlowDeferredTask::Cancel() {
    if (timerId_ == 0) return;
    Glow::CancelTimer(timerId_);
    timerId_ = 0;
}

void GlowDeferredTask::OnMessage(const GlowTimerMessage&) {
    timerId_ = 0;
    Execute();
}

}  // namespace glow
