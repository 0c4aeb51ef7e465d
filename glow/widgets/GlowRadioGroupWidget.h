#ifndef GLOW_WIDGETS_GLOWRADIOGROUPWIDGET_H
#define GLOW_WIDGETS_GLOWRADIOGROUPWIDGET_H

#include "glow/core/TSender.h"
#include "glow/widgets/GlowPanelWidget.h"

namespace glow {

class GlowRadioButtonWidget;
class GlowRadioGroupWidget;

// Sent whenever a click makes another button of a group current.
struct GlowRadioButtonMessage {
    GlowRadioGroupWidget* group;
    GlowRadioButtonWidget* newButton;
    GlowRadioButtonWidget* oldButton;
    int mouseButton;
    int modifiers;
};

struct GlowRadioGroupParams : public GlowPanelParams {
    // Copies defaults.
    GlowRadioGroupParams() : GlowRadioGroupParams(defaults) {}
    GlowRadioGroupParams(const GlowRadioGroupParams&) = default;
    GlowRadioGroupParams& operator=(const GlowRadioGroupParams&) = default;

    TReceiver<const GlowRadioButtonMessage&>* receiver;

    static GlowRadioGroupParams defaults;

protected:
    // The panel's constant defaults, then no clipping, no drawing and no
    // receiver; built from constants alone, never from another record.
    constexpr explicit GlowRadioGroupParams(bool) : GlowPanelParams(true), receiver(nullptr) {
        clipping = false;
        style = transparentStyle;
    }
};

// A panel whose radio buttons, its child widgets, make one choice.
class GlowRadioGroupWidget : public GlowPanelWidget {
public:
    GlowRadioGroupWidget(GlowWidget* parentWidget, const GlowRadioGroupParams& params);
    GlowRadioGroupWidget(GlowWidgetRoot* root, const GlowRadioGroupParams& params);
    // Deletes the buttons first, while the group is whole.
    ~GlowRadioGroupWidget() override;

    GlowRadioButtonWidget* GetCurrentButton() const { return current_; }

    // Called by joining and leaving buttons. The first button becomes current.
    bool RegisterButton(GlowRadioButtonWidget* button);
    void UnregisterButton(GlowRadioButtonWidget* button);

    // A click released inside a button.
    virtual void OnButtonHit(GlowRadioButtonWidget* button, int mouseButton, int modifiers);

protected:
    GlowRadioGroupWidget() = default;
    void Init(GlowWidget* parentWidget, const GlowRadioGroupParams& params);
    void Init(GlowWidgetRoot* root, GlowWidget* parentWidget, const GlowRadioGroupParams& params);

private:
    GlowRadioButtonWidget* current_ = nullptr;
    TSender<const GlowRadioButtonMessage&> sender_;
};

}  // namespace glow

#endif
