#include "glow/widgets/GlowCheckBoxWidget.h"

#include "glow/core/Glow_Text.h"
#include "glow/widgets/Glow_BoxText.h"

namespace glow {

GlowCheckBoxParams GlowCheckBoxParams::defaults(true);

GlowCheckBoxWidget::GlowCheckBoxWidget(GlowWidget* parentWidget, const GlowCheckBoxParams& params) {
    Init(parentWidget->WidgetRoot(), parentWidget, params);
}

GlowCheckBoxWidget::GlowCheckBoxWidget(GlowWidgetRoot* root, const GlowCheckBoxParams& params) {
    Init(root, nullptr, params);
}

GlowCheckBoxWidget::~GlowCheckBoxWidget() = default;

void GlowCheckBoxWidget::Init(GlowWidgetRoot* root, GlowWidget* parentWidget,
                              const GlowCheckBoxParams& params) {
    GlowWidget::Init(root, parentWidget, params);
    text_ = Glow_OrEmpty(params.text);
    font_ = params.font;
    textWidth_ = StringWidth(font_, text_.c_str());
    spacing_ = params.spacing;
    state_ = params.state;
    behavior_ = params.behavior;
    track_ = Glow_ButtonTracking();
    boxColor_ = params.boxColor;
    textColor_ = params.textColor;
    markColor_ = params.markColor;
    pressedBoxColor_ = params.pressedBoxColor;
    pressedTextColor_ = params.pressedTextColor;
    pressedMarkColor_ = params.pressedMarkColor;
    inactiveBoxColor_ = params.inactiveBoxColor;
    inactiveTextColor_ = params.inactiveTextColor;
    inactiveMarkColor_ = params.inactiveMarkColor;
    inactiveBorderColor_ = params.inactiveBorderColor;
    lightBevelColor_ = params.lightBevelColor;
    darkBevelColor_ = params.darkBevelColor;
    if (params.receiver != nullptr) sender_.Bind(params.receiver);
    RegisterMouseEvents();
}

void GlowCheckBoxWidget::SetText(const char* text) {
    text_ = Glow_OrEmpty(text);
    textWidth_ = StringWidth(font_, text_.c_str());
    Refresh();
}

void GlowCheckBoxWidget::TrimWidth() {
    Glow_BoxText::TrimWidth(this, textWidth_, spacing_);
}

void GlowCheckBoxWidget::AdvanceState() {
    using P = GlowCheckBoxParams;
    if (state_ == P::off) {
        state_ = (behavior_ & P::offFollowedByHalf) != 0 ? P::half : P::on;
    } else if (state_ == P::on) {
        state_ = (behavior_ & P::onFollowedByHalf) != 0 ? P::half : P::off;
    } else {
        state_ = (behavior_ & P::halfFollowedByOff) != 0 ? P::off : P::on;
    }
}

void GlowCheckBoxWidget::OnHit(int mouseButton, int modifiers) {
    AdvanceState();
    sender_.Send(GlowCheckBoxMessage{this, state_, mouseButton, modifiers});
}

int GlowCheckBoxWidget::OnAutoPack(int hSize, int vSize, int hOption, int vOption, int&, int&, int&,
                                   int&) {
    return Glow_BoxText::AutoPack(this, textWidth_, spacing_, font_, hSize, vSize, hOption,
                                  vOption);
}

void GlowCheckBoxWidget::OnWidgetPaint() {
    const bool active = IsActive();
    const bool pressed = track_.Pressed();
    const GlowColor& box = !active ? inactiveBoxColor_ : (pressed ? pressedBoxColor_ : boxColor_);
    const float right = Glow_BoxText::DrawBox(this, active, pressed, box, lightBevelColor_,
                                              darkBevelColor_, inactiveBorderColor_);
    if (state_ != GlowCheckBoxParams::off) {
        (!active ? inactiveMarkColor_ : (pressed ? pressedMarkColor_ : markColor_)).Apply();
        const float k = (right + 1.0f) / 2.0f;
        glBegin(GL_QUADS);
        if (state_ == GlowCheckBoxParams::on) {
            glVertex2f(0.4f * k - 1.0f, -0.4f);
            glVertex2f(0.6f * k - 1.0f, -0.6f);
            glVertex2f(1.6f * k - 1.0f, 0.4f);
            glVertex2f(1.4f * k - 1.0f, 0.6f);
            glVertex2f(0.6f * k - 1.0f, 0.6f);
            glVertex2f(0.4f * k - 1.0f, 0.4f);
            glVertex2f(1.4f * k - 1.0f, -0.6f);
            glVertex2f(1.6f * k - 1.0f, -0.4f);
        } else {
            glVertex2f(0.5f * k - 1.0f, 0.2f);
            glVertex2f(0.5f * k - 1.0f, -0.2f);
            glVertex2f(1.5f * k - 1.0f, -0.2f);
            glVertex2f(1.5f * k - 1.0f, 0.2f);
        }
        glEnd();
    }
    (!active ? inactiveTextColor_ : (pressed ? pressedTextColor_ : textColor_)).Apply();
    Glow_BoxText::DrawText(this, right, spacing_, font_, text_.c_str());
}

void GlowCheckBoxWidget::OnWidgetMouseDown(int button, int, int, int modifiers) {
    track_.Down(this, button, modifiers);
}

void GlowCheckBoxWidget::OnWidgetMouseDrag(int x, int y) {
    track_.Drag(this, x, y);
}

void GlowCheckBoxWidget::OnWidgetMouseUp(int, int, int, int) {
    // May delete this widget; nothing of it is touched afterwards.
    if (track_.Up(this)) OnHit(track_.button, track_.modifiers);
}

}  // namespace glow
