#ifndef GLOW_WIDGETS_GLOWLABELEDPOPUPMENUWIDGET_H
#define GLOW_WIDGETS_GLOWLABELEDPOPUPMENUWIDGET_H

#include "glow/widgets/GlowPopupMenuWidget.h"
#include "glow/widgets/GlowWidgetLabelHelper.h"

namespace glow {

struct GlowLabeledPopupMenuParams : public GlowPopupMenuParams, public Glow_WidgetLabelParams {
    // Copies defaults.
    GlowLabeledPopupMenuParams() : GlowLabeledPopupMenuParams(defaults) {}
    GlowLabeledPopupMenuParams(const GlowLabeledPopupMenuParams&) = default;
    GlowLabeledPopupMenuParams& operator=(const GlowLabeledPopupMenuParams&) = default;

    GlowColor labelTextColor;
    GlowColor hiliteLabelTextColor;  // while the menu is shown
    GlowColor inactiveLabelTextColor;

    static GlowLabeledPopupMenuParams defaults;

protected:
    // The pop-up menu's constants, then the label's.
    constexpr explicit GlowLabeledPopupMenuParams(bool)
        : GlowPopupMenuParams(true),
          Glow_WidgetLabelParams(),
          labelTextColor(Glow_WidgetColors::black),
          hiliteLabelTextColor(Glow_WidgetColors::darkRed),
          inactiveLabelTextColor(Glow_WidgetColors::gray30) {}
};

// A pop-up menu with a label beside it, which lights up while the menu is
// shown; the label is a child of the widget.
class GlowLabeledPopupMenuWidget : public GlowPopupMenuWidget, public GlowWidgetLabelHelper {
public:
    GlowLabeledPopupMenuWidget(GlowWidget* parentWidget, const GlowLabeledPopupMenuParams& params);
    ~GlowLabeledPopupMenuWidget() override;

protected:
    void Init(GlowWidgetRoot* root, GlowWidget* parentWidget,
              const GlowLabeledPopupMenuParams& params);

    int OnAutoPack(int hSize, int vSize, int hOption, int vOption, int& leftMargin,
                   int& rightMargin, int& topMargin, int& bottomMargin) override;
    // Colours the label for the menu's state; the label paints after it.
    void OnWidgetPaint() override;

private:
    GlowColor labelTextColor_;
    GlowColor hiliteLabelTextColor_;
};

}  // namespace glow

#endif
