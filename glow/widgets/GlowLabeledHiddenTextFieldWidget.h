#ifndef GLOW_WIDGETS_GLOWLABELEDHIDDENTEXTFIELDWIDGET_H
#define GLOW_WIDGETS_GLOWLABELEDHIDDENTEXTFIELDWIDGET_H

#include "glow/widgets/GlowHiddenTextFieldWidget.h"
#include "glow/widgets/GlowLabeledTextFieldWidget.h"

namespace glow {

// A hidden text field with a label beside it; the label is a child of the
// field.
class GlowLabeledHiddenTextFieldWidget : public GlowHiddenTextFieldWidget,
                                         public GlowWidgetLabelHelper {
public:
    GlowLabeledHiddenTextFieldWidget(GlowWidget* parentWidget,
                                     const GlowLabeledTextFieldParams& params, char maskChar);
    ~GlowLabeledHiddenTextFieldWidget() override;

protected:
    void Init(GlowWidgetRoot* root, GlowWidget* parentWidget,
              const GlowLabeledTextFieldParams& params, char maskChar);

    int OnAutoPack(int hSize, int vSize, int hOption, int vOption, int& leftMargin,
                   int& rightMargin, int& topMargin, int& bottomMargin) override;
};

}  // namespace glow

#endif
