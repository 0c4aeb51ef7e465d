#include "glow/widgets/Glow_TextField_AutoScrollTimer.h"

#include "glow/core/Glow.h"
#include "glow/widgets/GlowTextFieldWidget.h"

namespace glow {

Glow_TextField_AutoScrollTimer* const Glow_TextField_AutoScrollTimer::instance =
    new Glow_TextField_AutoScrollTimer;
int Glow_TextField_AutoScrollTimer::timerId = 0;

Glow_TextField_AutoScrollTimer::~Glow_TextField_AutoScrollTimer() = default;

void Glow_TextField_AutoScrollTimer::StartFor(GlowTextFieldWidget* field, int msecs) {
    // One chain at a time: a second held button or another field replaces
    // the pending step instead of running beside it.
    if (timerId != 0) Glow::CancelTimer(timerId);
    timerId = 0;
    field_ = field;
    if (field == nullptr) return;
    timerId = Glow::StartTimer(static_cast<unsigned int>(msecs < 0 ? 0 : msecs), this);
}

void Glow_TextField_AutoScrollTimer::StopFor(GlowTextFieldWidget* field) {
    if (field == nullptr || field_ != field) return;
    if (timerId != 0) Glow::CancelTimer(timerId);
    timerId = 0;
    field_ = nullptr;
}

void Glow_TextField_AutoScrollTimer::OnMessage(const GlowTimerMessage& message) {
    if (message.id != timerId || field_ == nullptr) return;
    // The timer has fired and is gone; the step's repaint starts the next.
    timerId = 0;
    field_->AutoScrollStep();
}

}  // namespace glow
