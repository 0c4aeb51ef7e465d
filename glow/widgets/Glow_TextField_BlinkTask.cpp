#include "glow/widgets/Glow_TextField_BlinkTask.h"

#include "glow/widgets/GlowTextFieldWidget.h"

namespace glow {

Glow_TextField_BlinkTask::~Glow_TextField_BlinkTask() = default;

void Glow_TextField_BlinkTask::Execute() {
    if (field_ == nullptr) return;
    field_->ToggleCaret();
    Schedule(static_cast<unsigned int>(field_->BlinkInterval()));
}

}  // namespace glow
