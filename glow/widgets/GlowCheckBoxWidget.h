#ifndef GLOW_WIDGETS_GLOWCHECKBOXWIDGET_H
#define GLOW_WIDGETS_GLOWCHECKBOXWIDGET_H

#include <GL/freeglut.h>

#include <string>

#include "glow/core/TSender.h"
#include "glow/widgets/GlowWidget.h"
#include "glow/widgets/Glow_ButtonTracking.h"
#include "glow/widgets/Glow_WidgetColors.h"

namespace glow {

class GlowCheckBoxWidget;

// Sent for each click that changes a check box.
struct GlowCheckBoxMessage {
    GlowCheckBoxWidget* widget;
    int state;  // after the change
    int mouseButton;
    int modifiers;
};

struct GlowCheckBoxParams : public GlowWidgetParams {
    enum { off = 0, on = 1, half = 2 };
    // Behaviour bits: which transitions go through the half state.
    enum { offFollowedByHalf = 1, onFollowedByHalf = 2, halfFollowedByOff = 4 };

    // Copies defaults.
    GlowCheckBoxParams() : GlowCheckBoxParams(defaults) {}
    GlowCheckBoxParams(const GlowCheckBoxParams&) = default;
    GlowCheckBoxParams& operator=(const GlowCheckBoxParams&) = default;

    const char* text;  // null is an empty text
    GlowFont font;
    int state;
    int behavior;
    int spacing;
    TReceiver<const GlowCheckBoxMessage&>* receiver;
    GlowColor boxColor;
    GlowColor textColor;
    GlowColor markColor;
    GlowColor pressedBoxColor;
    GlowColor pressedTextColor;
    GlowColor pressedMarkColor;
    GlowColor inactiveBoxColor;
    GlowColor inactiveTextColor;
    GlowColor inactiveMarkColor;
    GlowColor inactiveBorderColor;
    GlowColor lightBevelColor;
    GlowColor darkBevelColor;

    static GlowCheckBoxParams defaults;

protected:
    // Constant, so the defaults are ready before any start-up code runs.
    // Colours are the float components times 255, truncated (0.7 is 178).
    constexpr explicit GlowCheckBoxParams(bool)
        : GlowWidgetParams{false, 0, 0, 100, 16, 0},
          text(""),
          font(GLUT_BITMAP_HELVETICA_12),
          state(off),
          behavior(0),
          spacing(5),
          receiver(nullptr),
          boxColor(Glow_WidgetColors::gray70),
          textColor(Glow_WidgetColors::black),
          markColor(Glow_WidgetColors::blue),
          pressedBoxColor(Glow_WidgetColors::gray40),
          pressedTextColor(Glow_WidgetColors::darkRed),
          pressedMarkColor(Glow_WidgetColors::pressedPink),
          inactiveBoxColor(Glow_WidgetColors::gray70),
          inactiveTextColor(Glow_WidgetColors::gray30),
          inactiveMarkColor(Glow_WidgetColors::gray30),
          inactiveBorderColor(Glow_WidgetColors::gray30),
          lightBevelColor(Glow_WidgetColors::white),
          darkBevelColor(Glow_WidgetColors::gray20) {}
};

// A box with a cross (on) or a bar (half) and a line of text; a click
// released inside advances the state and sends it.
class GlowCheckBoxWidget : public GlowWidget {
public:
    GlowCheckBoxWidget(GlowWidget* parentWidget, const GlowCheckBoxParams& params);
    GlowCheckBoxWidget(GlowWidgetRoot* root, const GlowCheckBoxParams& params);
    ~GlowCheckBoxWidget() override;

    // Null is an empty text. The size changes only at the next auto-pack.
    void SetText(const char* text);
    const char* GetText() const { return text_.c_str(); }
    // Narrows the widget to its preferred width when it is wider.
    void TrimWidth();

protected:
    void Init(GlowWidgetRoot* root, GlowWidget* parentWidget, const GlowCheckBoxParams& params);

    int OnAutoPack(int hSize, int vSize, int hOption, int vOption, int& leftMargin,
                   int& rightMargin, int& topMargin, int& bottomMargin) override;
    void OnWidgetPaint() override;
    void OnWidgetMouseDown(int button, int x, int y, int modifiers) override;
    void OnWidgetMouseUp(int button, int x, int y, int modifiers) override;
    void OnWidgetMouseDrag(int x, int y) override;
    // A widget that leaves the mouse list gets no release: its gesture ends.
    void OnWidgetDeactivate() override { track_.Cancel(this); }
    void OnWidgetInvisible() override { track_.Cancel(this); }

    // Advances the state and sends it.
    virtual void OnHit(int mouseButton, int modifiers);

private:
    void AdvanceState();

    int state_ = GlowCheckBoxParams::off;
    std::string text_;
    GlowFont font_;
    int behavior_ = 0;
    Glow_ButtonTracking track_;
    int textWidth_ = 0;
    int spacing_ = 0;
    TSender<const GlowCheckBoxMessage&> sender_;
    GlowColor boxColor_;
    GlowColor textColor_;
    GlowColor markColor_;
    GlowColor pressedBoxColor_;
    GlowColor pressedTextColor_;
    GlowColor pressedMarkColor_;
    GlowColor inactiveBoxColor_;
    GlowColor inactiveTextColor_;
    GlowColor inactiveMarkColor_;
    GlowColor inactiveBorderColor_;
    GlowColor lightBevelColor_;
    GlowColor darkBevelColor_;
};

}  // namespace glow

#endif
