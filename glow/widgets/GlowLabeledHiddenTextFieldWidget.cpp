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
    InitLabel(this, params.labelPosition, params.labelWidth, params.labelHeight,
              params.labelSpacing, params.labelText, params.labelFont, params.labelColor,
              params.inactiveLabelColor);
}

int GlowLabeledHiddenTextFieldWidget::OnAutoPack(int hSize, int vSize, int hOption, int vOption,
                                                 int& leftMargin, int& rightMargin, int& topMargin,
                                                 int& bottomMargin) {
    int result = ReserveLabelSpace(hSize, vSize, leftMargin, rightMargin, topMargin, bottomMargin);
    if (result != 0) return result;
    result = GlowHiddenTextFieldWidget::OnAutoPack(hSize, vSize, hOption, vOption, leftMargin,
                                                   rightMargin, topMargin, bottomMargin);
    if (result != 0) return result;
    PlaceLabel();
    return 0;
}

}  // namespace glow
