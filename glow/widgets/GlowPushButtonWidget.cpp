#include "glow/widgets/GlowPushButtonWidget.h"

#include "glow/core/Glow_Text.h"

namespace glow {

GlowPushButtonParams GlowPushButtonParams::defaults(true);

GlowPushButtonWidget::GlowPushButtonWidget(GlowWidgetRoot* root,
                                           const GlowPushButtonParams& params) {
    Init(root, nullptr, params);
}

GlowPushButtonWidget::GlowPushButtonWidget(GlowWidget* parentWidget,
                                           const GlowPushButtonParams& params) {
    Init(parentWidget->WidgetRoot(), parentWidget, params);
}

GlowPushButtonWidget::~GlowPushButtonWidget() = default;

void GlowPushButtonWidget::Init(GlowWidgetRoot* root, GlowWidget* parentWidget,
                                const GlowPushButtonParams& params) {
    GlowWidget::Init(root, parentWidget, params);
    boxColor_ = params.boxColor;
    textColor_ = params.textColor;
    downBoxColor_ = params.downBoxColor;
    downTextColor_ = params.downTextColor;
    pressedBoxColor_ = params.pressedBoxColor;
    pressedTextColor_ = params.pressedTextColor;
    inactiveBoxColor_ = params.inactiveBoxColor;
    inactiveDownBoxColor_ = params.inactiveDownBoxColor;
    inactiveTextColor_ = params.inactiveTextColor;
    inactiveBorderColor_ = params.inactiveBorderColor;
    lightBevelColor_ = params.lightBevelColor;
    darkBevelColor_ = params.darkBevelColor;
    text_ = Glow_OrEmpty(params.text);
    font_ = params.font;
    textWidth_ = StringWidth(font_, text_.c_str());
    track_ = Glow_ButtonTracking();
    down_ = params.down;
    behavior_ = params.behavior;
    if (params.receiver != nullptr) sender_.Bind(params.receiver);
    RegisterMouseEvents();
}

void GlowPushButtonWidget::SetText(const char* text) {
    text_ = Glow_OrEmpty(text);
    textWidth_ = StringWidth(font_, text_.c_str());
    Refresh();
}

void GlowPushButtonWidget::OnHit(int mouseButton, int modifiers) {
    ApplyBehavior();
    sender_.Send(GlowPushButtonMessage{this, mouseButton, modifiers});
}

void GlowPushButtonWidget::ApplyBehavior() {
    if (behavior_ == GlowPushButtonParams::toggleBehavior) {
        down_ = !down_;
    } else if (behavior_ == GlowPushButtonParams::latchBehavior) {
        down_ = true;
    }
}

int GlowPushButtonWidget::OnAutoPack(int hSize, int vSize, int hOption, int vOption, int&, int&,
                                     int&, int&) {
    int newWidth, newHeight;
    if (hSize != unspecifiedSize && hSize < textWidth_ + 10) return 1;
    if (!SizeForRule(hOption, hSize, textWidth_ + 20, Width(), newWidth)) return 1;
    const int leading = font_.Leading();
    if (vSize != unspecifiedSize && vSize < leading + 8) return 2;
    // A push button does not grow in height.
    if (!SizeForRule(NoGrowthRule(vOption), vSize, leading + 12, Height(), newHeight)) return 2;
    Reshape(newWidth, newHeight);
    return 0;
}

void GlowPushButtonWidget::OnWidgetPaint() {
    const bool active = IsActive();
    const bool pressed = IsPressed();
    if (pressed) {
        pressedBoxColor_.Apply();
    } else if (active) {
        (down_ ? downBoxColor_ : boxColor_).Apply();
    } else {
        (down_ ? inactiveDownBoxColor_ : inactiveBoxColor_).Apply();
    }
    glRectf(-1.0f, -1.0f, 1.0f, 1.0f);
    const int w = Width();
    const int h = Height();
    if (active) {
        DrawBevel(1.0f, pressed ? darkBevelColor_ : lightBevelColor_,
                  pressed ? lightBevelColor_ : darkBevelColor_);
    } else {
        inactiveBorderColor_.Apply();
        DrawPixelOutline(0, 0, w - 1, h - 1);
    }
    if (!active) {
        inactiveTextColor_.Apply();
    } else if (pressed) {
        pressedTextColor_.Apply();
    } else if (down_) {
        downTextColor_.Apply();
    } else {
        textColor_.Apply();
    }
    DrawTextLine(static_cast<float>(-textWidth_) / w, font_, text_.c_str());
}

void GlowPushButtonWidget::OnWidgetMouseDown(int button, int, int, int modifiers) {
    track_.Down(this, button, modifiers);
}

void GlowPushButtonWidget::OnWidgetMouseDrag(int x, int y) {
    track_.Drag(this, x, y);
}

void GlowPushButtonWidget::OnWidgetMouseUp(int, int, int, int) {
    // May delete this button; nothing of it is touched afterwards.
    if (track_.Up(this)) OnHit(track_.button, track_.modifiers);
}

}  // namespace glow
