#include "glow/widgets/GlowRadioGroupWidget.h"

#include "glow/widgets/GlowRadioButtonWidget.h"

namespace glow {

GlowRadioGroupParams GlowRadioGroupParams::defaults(true);

GlowRadioGroupWidget::GlowRadioGroupWidget(GlowWidget* parentWidget,
                                           const GlowRadioGroupParams& params) {
    Init(parentWidget, params);
}

GlowRadioGroupWidget::GlowRadioGroupWidget(GlowWidgetRoot* root,
                                           const GlowRadioGroupParams& params) {
    Init(root, nullptr, params);
}

GlowRadioGroupWidget::~GlowRadioGroupWidget() {
    DeleteChildren();
    current_ = nullptr;
}

void GlowRadioGroupWidget::Init(GlowWidget* parentWidget, const GlowRadioGroupParams& params) {
    Init(parentWidget->WidgetRoot(), parentWidget, params);
}

void GlowRadioGroupWidget::Init(GlowWidgetRoot* root, GlowWidget* parentWidget,
                                const GlowRadioGroupParams& params) {
    GlowPanelWidget::Init(root, parentWidget, params);
    current_ = nullptr;
    if (params.receiver != nullptr) sender_.Bind(params.receiver);
}

bool GlowRadioGroupWidget::RegisterButton(GlowRadioButtonWidget* button) {
    if (current_ != nullptr) return false;
    current_ = button;
    return true;
}

void GlowRadioGroupWidget::UnregisterButton(GlowRadioButtonWidget* button) {
    if (button != current_) return;
    current_ = nullptr;
    for (GlowComponent* c = FirstChild(); c != nullptr; c = c->Next()) {
        auto* other = dynamic_cast<GlowRadioButtonWidget*>(c);
        if (other != nullptr && other != button) {
            current_ = other;
            other->SetState(true);
            return;
        }
    }
}

void GlowRadioGroupWidget::OnButtonHit(GlowRadioButtonWidget* button, int mouseButton,
                                       int modifiers) {
    if (button == current_) return;
    const GlowRadioButtonMessage message{this, button, current_, mouseButton, modifiers};
    GlowRadioButtonWidget* old = current_;
    current_ = button;
    if (old != nullptr) old->SetState(false);
    button->SetState(true);
    sender_.Send(message);
}

}  // namespace glow
