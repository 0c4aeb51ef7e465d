#include "glow/widgets/GlowLabeledPopupMenuWidget.h"

namespace glow {

GlowLabeledPopupMenuParams GlowLabeledPopupMenuParams::defaults(true);

GlowLabeledPopupMenuWidget::GlowLabeledPopupMenuWidget(GlowWidget* parentWidget,
                                                       const GlowLabeledPopupMenuParams& params) {
    Init(parentWidget->WidgetRoot(), parentWidget, params);
}

GlowLabeledPopupMenuWidget::~GlowLabeledPopupMenuWidget() = default;

void GlowLabeledPopupMenuWidget::Init(GlowWidgetRoot* root, GlowWidget* parentWidget,
                                      const GlowLabeledPopupMenuParams& params) {
    GlowPopupMenuWidget::Init(root, parentWidget, params);
    InitLabel(this, params, params.labelTextColor, params.inactiveLabelTextColor);
    labelTextColor_ = params.labelTextColor;
    hiliteLabelTextColor_ = params.hiliteLabelTextColor;
}

int GlowLabeledPopupMenuWidget::OnAutoPack(int hSize, int vSize, int hOption, int vOption,
                                           int& leftMargin, int& rightMargin, int& topMargin,
                                           int& bottomMargin) {
    return AutoPackWithLabel(
        hSize, vSize, leftMargin, rightMargin, topMargin, bottomMargin, [&](int h, int v) {
            return GlowPopupMenuWidget::OnAutoPack(h, v, hOption, vOption, leftMargin, rightMargin,
                                                   topMargin, bottomMargin);
        });
}

void GlowLabeledPopupMenuWidget::OnWidgetPaint() {
    // A change made while painting asks for no further repaint.
    GlowWidgetLabelWidget* label = Label();
    label->SetRefreshEnabled(false);
    label->SetTextColor(IsDown() ? hiliteLabelTextColor_ : labelTextColor_);
    label->SetRefreshEnabled(true);
}

}  // namespace glow
