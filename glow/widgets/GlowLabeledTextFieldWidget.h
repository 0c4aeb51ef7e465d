#ifndef GLOW_WIDGETS_GLOWLABELEDTEXTFIELDWIDGET_H
#define GLOW_WIDGETS_GLOWLABELEDTEXTFIELDWIDGET_H

#include "glow/widgets/GlowTextFieldWidget.h"
#include "glow/widgets/GlowWidgetLabelHelper.h"
#include "glow/widgets/Glow_WidgetColors.h"

namespace glow {

struct GlowLabeledTextFieldParams : public GlowTextFieldParams, public Glow_WidgetLabelParams {
    // Copies defaults.
    GlowLabeledTextFieldParams() : GlowLabeledTextFieldParams(defaults) {}
    GlowLabeledTextFieldParams(const GlowLabeledTextFieldParams&) = default;
    GlowLabeledTextFieldParams& operator=(const GlowLabeledTextFieldParams&) = default;

    GlowColor labelColor;
    GlowColor inactiveLabelColor;

    static GlowLabeledTextFieldParams defaults;

protected:
    // The text-field constants, then the label's; no other record is read.
    constexpr explicit GlowLabeledTextFieldParams(bool)
        : GlowTextFieldParams(true),
          Glow_WidgetLabelParams(),
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
