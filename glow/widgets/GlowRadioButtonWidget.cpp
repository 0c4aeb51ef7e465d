#include "glow/widgets/GlowRadioButtonWidget.h"

#include "glow/core/Glow_Text.h"
#include "glow/widgets/GlowRadioGroupWidget.h"
#include "glow/widgets/Glow_BoxText.h"

namespace glow {

GlowRadioButtonParams GlowRadioButtonParams::defaults(true);

GlowRadioButtonWidget::GlowRadioButtonWidget(GlowRadioGroupWidget* group,
                                             const GlowRadioButtonParams& params) {
    Init(group, params);
}

GlowRadioButtonWidget::~GlowRadioButtonWidget() {
    if (group_ != nullptr) group_->UnregisterButton(this);
}

void GlowRadioButtonWidget::Init(GlowRadioGroupWidget* group, const GlowRadioButtonParams& params) {
    GlowWidget::Init(group->WidgetRoot(), group, params);
    group_ = group;
    text_ = Glow_OrEmpty(params.text);
    font_ = params.font;
    textWidth_ = StringWidth(font_, text_.c_str());
    spacing_ = params.spacing;
    track_ = Glow_ButtonTracking();
    boxColor_ = params.boxColor;
    textColor_ = params.textColor;
    spotColor_ = params.spotColor;
    pressedBoxColor_ = params.pressedBoxColor;
    pressedTextColor_ = params.pressedTextColor;
    pressedSpotColor_ = params.pressedSpotColor;
    inactiveBoxColor_ = params.inactiveBoxColor;
    inactiveTextColor_ = params.inactiveTextColor;
    inactiveSpotColor_ = params.inactiveSpotColor;
    inactiveBorderColor_ = params.inactiveBorderColor;
    lightBevelColor_ = params.lightBevelColor;
    darkBevelColor_ = params.darkBevelColor;
    state_ = group->RegisterButton(this);
    RegisterMouseEvents();
}

void GlowRadioButtonWidget::SetState(bool state) {
    if (state == state_) return;
    state_ = state;
    Refresh();
}

void GlowRadioButtonWidget::SetText(const char* text) {
    text_ = Glow_OrEmpty(text);
    textWidth_ = StringWidth(font_, text_.c_str());
    Refresh();
}

void GlowRadioButtonWidget::TrimWidth() {
    Glow_BoxText::TrimWidth(this, textWidth_, spacing_);
}

int GlowRadioButtonWidget::OnAutoPack(int hSize, int vSize, int hOption, int vOption, int&, int&,
                                      int&, int&) {
    return Glow_BoxText::AutoPack(this, textWidth_, spacing_, font_, hSize, vSize, hOption,
                                  vOption);
}

void GlowRadioButtonWidget::OnWidgetPaint() {
    const bool active = IsActive();
    const bool pressed = track_.Pressed();
    const GlowColor& box = !active ? inactiveBoxColor_ : (pressed ? pressedBoxColor_ : boxColor_);
    const float right = Glow_BoxText::DrawBox(this, active, pressed, box, lightBevelColor_,
                                              darkBevelColor_, inactiveBorderColor_);
    if (state_) {
        (!active ? inactiveSpotColor_ : (pressed ? pressedSpotColor_ : spotColor_)).Apply();
        const float d = static_cast<float>(Height()) / Width() * 0.5f;
        glRectf(-1.0f + d, -0.5f, right - d, 0.5f);
    }
    (!active ? inactiveTextColor_ : (pressed ? pressedTextColor_ : textColor_)).Apply();
    Glow_BoxText::DrawText(this, right, spacing_, font_, text_.c_str());
}

void GlowRadioButtonWidget::OnWidgetMouseDown(int button, int, int, int modifiers) {
    track_.Down(this, button, modifiers);
}

void GlowRadioButtonWidget::OnWidgetMouseDrag(int x, int y) {
    track_.Drag(this, x, y);
}

void GlowRadioButtonWidget::OnWidgetMouseUp(int, int, int, int) {
    // The group may send a message whose receiver deletes this button.
    if (track_.Up(this)) group_->OnButtonHit(this, track_.button, track_.modifiers);
}

}  // namespace glow
