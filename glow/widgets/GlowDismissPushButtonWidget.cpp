#include "glow/widgets/GlowDismissPushButtonWidget.h"

namespace glow {

GlowDismissPushButtonWidget::GlowDismissPushButtonWidget(GlowWidget* parentWidget,
                                                         const GlowPushButtonParams& params,
                                                         GlowComponent* toDismiss) {
    Init(parentWidget->WidgetRoot(), parentWidget, params);
    toDismiss_ = toDismiss;
}

GlowDismissPushButtonWidget::~GlowDismissPushButtonWidget() = default;

void GlowDismissPushButtonWidget::OnHit(int mouseButton, int modifiers) {
    GlowPushButtonWidget::OnHit(mouseButton, modifiers);
    if (toDismiss_ != nullptr) toDismiss_->Close();
}

}  // namespace glow
