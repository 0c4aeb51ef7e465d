#ifndef GLOW_WIDGETS_GLOW_TEXTFIELD_BLINKTASK_H
#define GLOW_WIDGETS_GLOW_TEXTFIELD_BLINKTASK_H

#include "glow/core/GlowDeferredTask.h"

namespace glow {

class GlowTextFieldWidget;

// Flips the caret of a focused text field and schedules itself again.
class Glow_TextField_BlinkTask : public GlowDeferredTask {
public:
    Glow_TextField_BlinkTask() = default;
    ~Glow_TextField_BlinkTask() override;

    void SetField(GlowTextFieldWidget* field) { field_ = field; }
    GlowTextFieldWidget* Field() const { return field_; }

    // One blink: public so that the step can be run without waiting for it.
    void Execute() override;

private:
    GlowTextFieldWidget* field_ = nullptr;
};

}  // namespace glow

#endif
