#ifndef GLOW_WIDGETS_GLOWRADIOBUTTONWIDGET_H
#define GLOW_WIDGETS_GLOWRADIOBUTTONWIDGET_H

#include <GL/freeglut.h>

#include <string>

#include "glow/widgets/GlowWidget.h"
#include "glow/widgets/Glow_ButtonTracking.h"
#include "glow/widgets/Glow_WidgetColors.h"

namespace glow {

class GlowRadioGroupWidget;

struct GlowRadioButtonParams : public GlowWidgetParams {
    // Copies defaults.
    GlowRadioButtonParams() : GlowRadioButtonParams(defaults) {}
    GlowRadioButtonParams(const GlowRadioButtonParams&) = default;
    GlowRadioButtonParams& operator=(const GlowRadioButtonParams&) = default;

    const char* text;  // null is an empty text
    GlowFont font;
    int spacing;
    GlowColor boxColor;
    GlowColor textColor;
    GlowColor spotColor;
    GlowColor pressedBoxColor;
    GlowColor pressedTextColor;
    GlowColor pressedSpotColor;
    GlowColor inactiveBoxColor;
    GlowColor inactiveTextColor;
    GlowColor inactiveSpotColor;
    GlowColor inactiveBorderColor;
    GlowColor lightBevelColor;
    GlowColor darkBevelColor;

    static GlowRadioButtonParams defaults;

protected:
    // Constant, so the defaults are ready before any start-up code runs.
    // Colours are the float components times 255, truncated (0.7 is 178).
    constexpr explicit GlowRadioButtonParams(bool)
        : GlowWidgetParams{false, 0, 0, 100, 16, 0},
          text(""),
          font(GLUT_BITMAP_HELVETICA_12),
          spacing(5),
          boxColor(Glow_WidgetColors::gray70),
          textColor(Glow_WidgetColors::black),
          spotColor(Glow_WidgetColors::blue),
          pressedBoxColor(Glow_WidgetColors::gray50),
          pressedTextColor(Glow_WidgetColors::darkRed),
          pressedSpotColor(Glow_WidgetColors::pressedPink),
          inactiveBoxColor(Glow_WidgetColors::gray70),
          inactiveTextColor(Glow_WidgetColors::gray30),
          inactiveSpotColor(Glow_WidgetColors::gray30),
          inactiveBorderColor(Glow_WidgetColors::gray30),
          lightBevelColor(Glow_WidgetColors::white),
          darkBevelColor(Glow_WidgetColors::gray20) {}
};

// One choice of a radio group: a box with a spot while it is the group's
// current button, then a line of text. Always a child of its group.
class GlowRadioButtonWidget : public GlowWidget {
public:
    GlowRadioButtonWidget(GlowRadioGroupWidget* group, const GlowRadioButtonParams& params);
    ~GlowRadioButtonWidget() override;

    void SetState(bool state);
    bool GetState() const { return state_; }
    // Null is an empty text. The size changes only at the next auto-pack.
    void SetText(const char* text);
    const char* GetText() const { return text_.c_str(); }
    // Narrows the widget to its preferred width when it is wider.
    void TrimWidth();
    GlowRadioGroupWidget* Group() const { return group_; }

protected:
    void Init(GlowRadioGroupWidget* group, const GlowRadioButtonParams& params);

    int OnAutoPack(int hSize, int vSize, int hOption, int vOption, int& leftMargin,
                   int& rightMargin, int& topMargin, int& bottomMargin) override;
    void OnWidgetPaint() override;
    void OnWidgetMouseDown(int button, int x, int y, int modifiers) override;
    void OnWidgetMouseUp(int button, int x, int y, int modifiers) override;
    void OnWidgetMouseDrag(int x, int y) override;
    // A widget that leaves the mouse list gets no release: its gesture ends.
    void OnWidgetDeactivate() override { track_.Cancel(this); }
    void OnWidgetInvisible() override { track_.Cancel(this); }

private:
    GlowRadioGroupWidget* group_ = nullptr;
    bool state_ = false;
    std::string text_;
    GlowFont font_;
    Glow_ButtonTracking track_;
    int textWidth_ = 0;
    int spacing_ = 0;
    GlowColor boxColor_;
    GlowColor textColor_;
    GlowColor spotColor_;
    GlowColor pressedBoxColor_;
    GlowColor pressedTextColor_;
    GlowColor pressedSpotColor_;
    GlowColor inactiveBoxColor_;
    GlowColor inactiveTextColor_;
    GlowColor inactiveSpotColor_;
    GlowColor inactiveBorderColor_;
    GlowColor lightBevelColor_;
    GlowColor darkBevelColor_;
};

}  // namespace glow

#endif
