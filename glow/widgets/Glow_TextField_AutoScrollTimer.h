#ifndef GLOW_WIDGETS_GLOW_TEXTFIELD_AUTOSCROLLTIMER_H
#define GLOW_WIDGETS_GLOW_TEXTFIELD_AUTOSCROLLTIMER_H

#include "glow/core/GlowTimerMessage.h"

namespace glow {

class GlowTextFieldWidget;

// The one timer receiver that repeats the caret placement of the text field
// under a held mouse button. At most one step is pending at any time, for
// the field recorded here.
class Glow_TextField_AutoScrollTimer : public TReceiver<const GlowTimerMessage&> {
public:
    // Created before main runs and never deleted.
    static Glow_TextField_AutoScrollTimer* const instance;
    // Id of the pending step, 0 when none is pending.
    static int timerId;

    ~Glow_TextField_AutoScrollTimer() override;

    void SetField(GlowTextFieldWidget* field) { field_ = field; }
    GlowTextFieldWidget* Field() const { return field_; }

    // Cancels any pending step (of whatever field), then schedules the next
    // step of field after msecs milliseconds.
    void StartFor(GlowTextFieldWidget* field, int msecs);
    // Ends the chain when it serves field: the pending step is cancelled and
    // the field forgotten. Another field's chain is left alone.
    void StopFor(GlowTextFieldWidget* field);

    // Runs the step of the served field; a message of another timer (one
    // cancelled or replaced meanwhile) is ignored.
    void OnMessage(const GlowTimerMessage& message) override;

private:
    Glow_TextField_AutoScrollTimer() = default;

    GlowTextFieldWidget* field_ = nullptr;
};

}  // namespace glow

#endif
