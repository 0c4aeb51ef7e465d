#include "glow/widgets/GlowLabeledTextFieldWidget.h"

namespace glow {

GlowLabeledTextFieldParams GlowLabeledTextFieldParams::defaults(true);

GlowLabeledTextFieldWidget::GlowLabeledTextFieldWidget(GlowWidget* parentWidget,
                                                       const GlowLabeledTextFieldParams& params) {
    Init(parentWidget->WidgetRoot(), parentWidget, params);
}

GlowLabeledTextFieldWidget::~GlowLabeledTextFieldWidget() = default;

void GlowLabeledTextFieldWidget::Init(GlowWidgetRoot* root, GlowWidget* parentWidget,
                                      const GlowLabeledTextFieldParams& params) {
    GlowTextFieldWidget::Init(root, parentWidget, params);
    InitLabel(this, params, params.labelColor, params.inactiveLabelColor);
}

int GlowLabeledTextFieldWidget::OnAutoPack(int hSize, int vSize, int hOption, int vOption,
                                           int& leftMargin, int& rightMargin, int& topMargin,
                                           int& bottomMargin) {
    return AutoPackWithLabel(
        hSize, vSize, leftMargin, rightMargin, topMargin, bottomMargin, [&](int h, int v) {
            return GlowTextFieldWidget::OnAutoPack(h, v, hOption, vOption, leftMargin, rightMargin,
                                                   topMargin, bottomMargin);
        });
}

}  // namespace glow
