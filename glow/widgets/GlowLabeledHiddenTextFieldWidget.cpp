#include "glow/widgets/GlowLabeledHiddenTextFieldWidget.h"

namespace glow {

GlowLabeledHiddenTextFieldWidget::GlowLabeledHiddenTextFieldWidget(
    GlowWidget* parentWidget, const GlowLabeledTextFieldParams& params, char maskChar) {
    Init(parentWidget->WidgetRoot(), parentWidget, params, maskChar);
}

GlowLabeledHiddenTextFieldWidget::~GlowLabeledHiddenTextFieldWidget() = default;

void GlowLabeledHiddenTextFieldWidget::Init(GlowWidgetRoot* root, GlowWidget* parentWidget,
                                            const GlowLabeledTextFieldParams& params,
                                            char maskChar) {
    GlowHiddenTextFieldWidget::Init(root, parentWidget, params, maskChar);
    InitLabel(this, params, params.labelColor, params.inactiveLabelColor);
}

int GlowLabeledHiddenTextFieldWidget::OnAutoPack(int hSize, int vSize, int hOption, int vOption,
                                                 int& leftMargin, int& rightMargin, int& topMargin,
                                                 int& bottomMargin) {
    return AutoPackWithLabel(
        hSize, vSize, leftMargin, rightMargin, topMargin, bottomMargin, [&](int h, int v) {
            return GlowHiddenTextFieldWidget::OnAutoPack(h, v, hOption, vOption, leftMargin,
                                                         rightMargin, topMargin, bottomMargin);
        });
}

}  // namespace glow
