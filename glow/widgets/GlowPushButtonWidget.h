#ifndef GLOW_WIDGETS_GLOWPUSHBUTTONWIDGET_H
#define GLOW_WIDGETS_GLOWPUSHBUTTONWIDGET_H

#include <GL/freeglut.h>

#include <string>

#include "glow/core/TSender.h"
#include "glow/widgets/GlowWidget.h"
#include "glow/widgets/Glow_ButtonTracking.h"
#include "glow/widgets/Glow_WidgetColors.h"

namespace glow {

class GlowPushButtonWidget;

// Sent for each hit of a push button.
struct GlowPushButtonMessage {
    GlowPushButtonWidget* widget;
    int mouseButton;  // 0 for a key hit
    int modifiers;    // 0 for a key hit
};

struct GlowPushButtonParams : public GlowWidgetParams {
    enum { normalBehavior = 0, toggleBehavior = 1, latchBehavior = 2 };

    // Copies defaults.
    GlowPushButtonParams() : GlowPushButtonParams(defaults) {}
    GlowPushButtonParams(const GlowPushButtonParams&) = default;
    GlowPushButtonParams& operator=(const GlowPushButtonParams&) = default;

    const char* text;  // null is an empty text
    GlowFont font;
    bool down;
    int behavior;
    TReceiver<const GlowPushButtonMessage&>* receiver;
    GlowColor boxColor;
    GlowColor textColor;
    GlowColor downBoxColor;
    GlowColor downTextColor;
    GlowColor pressedBoxColor;
    GlowColor pressedTextColor;
    GlowColor inactiveBoxColor;
    GlowColor inactiveDownBoxColor;
    GlowColor inactiveTextColor;
    GlowColor inactiveBorderColor;
    GlowColor lightBevelColor;
    GlowColor darkBevelColor;

    static GlowPushButtonParams defaults;

protected:
    // Constant, so the defaults are ready before any start-up code runs.
    // Colours are the float components times 255, truncated (0.7 is 178).
    constexpr explicit GlowPushButtonParams(bool)
        : GlowWidgetParams{false, 0, 0, 100, 25, 0},
          text(""),
          font(GLUT_BITMAP_HELVETICA_12),
          down(false),
          behavior(normalBehavior),
          receiver(nullptr),
          boxColor(Glow_WidgetColors::gray70),
          textColor(Glow_WidgetColors::black),
          downBoxColor(Glow_WidgetColors::gray50),
          downTextColor(204, 204, 255, 255),
          pressedBoxColor(Glow_WidgetColors::gray50),
          pressedTextColor(Glow_WidgetColors::pressedPink),
          inactiveBoxColor(Glow_WidgetColors::gray70),
          inactiveDownBoxColor(Glow_WidgetColors::gray70),
          inactiveTextColor(Glow_WidgetColors::gray30),
          inactiveBorderColor(Glow_WidgetColors::gray30),
          lightBevelColor(Glow_WidgetColors::white),
          darkBevelColor(Glow_WidgetColors::gray20) {}
};

// A bevelled button with one line of text. A click released inside it is a
// hit: the behaviour (normal, toggle, latch) is applied and a message sent.
class GlowPushButtonWidget : public GlowWidget {
public:
    GlowPushButtonWidget(GlowWidgetRoot* root, const GlowPushButtonParams& params);
    GlowPushButtonWidget(GlowWidget* parentWidget, const GlowPushButtonParams& params);
    ~GlowPushButtonWidget() override;

    // Null is an empty text. The size changes only at the next auto-pack.
    void SetText(const char* text);
    const char* GetText() const { return text_.c_str(); }
    bool IsDown() const { return down_; }
    int GetBehavior() const { return behavior_; }
    // Pressed: a mouse button that went down on it is held and the pointer
    // is inside.
    bool IsPressed() const { return track_.Pressed(); }

    // Hits the button from code (the key filter does).
    void Hit(int mouseButton, int modifiers) { OnHit(mouseButton, modifiers); }

protected:
    GlowPushButtonWidget() = default;
    void Init(GlowWidgetRoot* root, GlowWidget* parentWidget, const GlowPushButtonParams& params);

    int OnAutoPack(int hSize, int vSize, int hOption, int vOption, int& leftMargin,
                   int& rightMargin, int& topMargin, int& bottomMargin) override;
    void OnWidgetPaint() override;
    void OnWidgetMouseDown(int button, int x, int y, int modifiers) override;
    void OnWidgetMouseUp(int button, int x, int y, int modifiers) override;
    void OnWidgetMouseDrag(int x, int y) override;
    // A button that leaves the mouse list gets no release: its gesture ends.
    void OnWidgetDeactivate() override { track_.Cancel(this); }
    void OnWidgetInvisible() override { track_.Cancel(this); }

    // Applies the behaviour and sends the message.
    virtual void OnHit(int mouseButton, int modifiers);

private:
    void ApplyBehavior();

    bool down_ = false;
    int behavior_ = GlowPushButtonParams::normalBehavior;
    std::string text_;
    GlowFont font_;
    int textWidth_ = 0;
    Glow_ButtonTracking track_;
    TSender<const GlowPushButtonMessage&> sender_;
    GlowColor boxColor_;
    GlowColor textColor_;
    GlowColor downBoxColor_;
    GlowColor downTextColor_;
    GlowColor pressedBoxColor_;
    GlowColor pressedTextColor_;
    GlowColor inactiveBoxColor_;
    GlowColor inactiveDownBoxColor_;
    GlowColor inactiveTextColor_;
    GlowColor inactiveBorderColor_;
    GlowColor lightBevelColor_;
    GlowColor darkBevelColor_;
};

}  // namespace glow

#endif
