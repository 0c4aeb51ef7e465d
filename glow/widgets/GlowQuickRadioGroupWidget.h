#ifndef GLOW_WIDGETS_GLOWQUICKRADIOGROUPWIDGET_H
#define GLOW_WIDGETS_GLOWQUICKRADIOGROUPWIDGET_H

#include "glow/widgets/GlowRadioGroupWidget.h"

namespace glow {

class GlowRadioButtonWidget;

// A radio group that stacks its visible buttons from its own top left
// corner, without margins, along its axis.
class GlowQuickRadioGroupWidget : public GlowRadioGroupWidget {
public:
    GlowQuickRadioGroupWidget(GlowWidget* parentWidget,
                              TReceiver<const GlowRadioButtonMessage&>* receiver, int arrangement,
                              int spacing);
    ~GlowQuickRadioGroupWidget() override;

    // The first button added becomes the group's current button.
    GlowRadioButtonWidget* AddRadioButton(const char* label);

    int GetArrangement() const { return arrangement_; }
    int GetSpacing() const { return spacing_; }

protected:
    int OnAutoPack(int hSize, int vSize, int hOption, int vOption, int& leftMargin,
                   int& rightMargin, int& topMargin, int& bottomMargin) override;

private:
    int arrangement_ = 0;
    int spacing_ = 0;
};

}  // namespace glow

#endif
