#ifndef GLOW_WIDGETS_GLOWLABELEDTEXTFIELDWIDGET_H
#define GLOW_WIDGETS_GLOWLABELEDTEXTFIELDWIDGET_H

#include "glow/widgets/GlowTextFieldWidget.h"
#include "glow/widgets/GlowWidgetLabelHelper.h"
#include "glow/widgets/Glow_WidgetColors.h"

namespace glow {

struct GlowLabeledTextFieldParams : public GlowTextFieldParams {
    // Copies defaults.
    GlowLabeledTextFieldParams() : GlowLabeledTextFieldParams(defaults) {}
    GlowLabeledTextFieldParams(const GlowLabeledTextFieldParams&) = default;
    GlowLabeledTextFieldParams& operator=(const GlowLabeledTextFieldParams&) = default;

    const char* labelText;  // null or empty: the label takes no room
    GlowFont labelFont;
    int labelPosition;  // GlowWidgetLabelHelper::leftLabel and so on
    int labelWidth;
    int labelHeight;
    int labelSpacing;
    GlowColor labelColor;
    GlowColor inactiveLabelColor;

    static GlowLabeledTextFieldParams defaults;

protected:
    // The text-field constants, then the label's; no other record is read.
    constexpr explicit GlowLabeledTextFieldParams(bool)
        : GlowTextFieldParams(true),
          labelText(""),
          labelFont(GLUT_BITMAP_HELVETICA_12),
          labelPosition(GlowWidgetLabelHelper::leftLabel),
          labelWidth(100),
          labelHeight(20),
          labelSpacing(5),
          labelColor(Glow_WidgetColors::black),
          inactiveLabelColor(Glow_WidgetColors::gray30) {}
};

// A text field with a label beside it; the label is a child of the field.
class GlowLabeledTextFieldWidget : public GlowTextFieldWidget, public GlowWidgetLabelHelper {
public:
    GlowLabeledTextFieldWidget(GlowWidget* parentWidget, const GlowLabeledTextFieldParams& params);
    ~GlowLabeledTextFieldWidget() override;

protected:
    void Init(GlowWidgetRoot* root, GlowWidget* parentWidget,
              const GlowLabeledTextFieldParams& params);

    int OnAutoPack(int hSize, int vSize, int hOption, int vOption, int& leftMargin,
                   int& rightMargin, int& topMargin, int& bottomMargin) override;
};

}  // namespace glow

#endif
