#include "glow/widgets/Glow_MenuButtonSubwindow.h"

#include <GL/gl.h>

#include "glow/core/Glow_Text.h"
#include "glow/widgets/GlowWidget.h"
#include "glow/widgets/Glow_Bevels.h"
#include "glow/widgets/Glow_WidgetDrawing.h"

namespace glow {

namespace {

constexpr int faceExtraHeight = 12;
constexpr int mouseButtons = 3;

}  // namespace

Glow_MenuButtonSubwindow::Glow_MenuButtonSubwindow(GlowWidget* owner, const char* label,
                                                   GlowFont font, int iconType, int spacing)
    : label_(Glow_OrEmpty(label)),
      font_(font),
      iconType_(iconType),
      spacing_(spacing),
      colors_(Glow_WidgetColors::black) {
    labelWidth_ = Glow_WidgetDrawing::StringWidth(font_, label_.c_str());
    Init(owner, 0, 0, owner->Width(), owner->Height(), GlowDisplayMode::doubleBuffer,
         GlowEventMask::menuEvents);
}

Glow_MenuButtonSubwindow::~Glow_MenuButtonSubwindow() = default;

void Glow_MenuButtonSubwindow::SetText(const char* label) {
    label_ = Glow_OrEmpty(label);
    labelWidth_ = Glow_WidgetDrawing::StringWidth(font_, label_.c_str());
    Refresh();
}

void Glow_MenuButtonSubwindow::SetMenu(GlowMenu* menu) {
    for (int button = 0; button < mouseButtons; ++button) SetButtonMenu(button, menu);
}

void Glow_MenuButtonSubwindow::GetPreferredSize(int& width, int& height, const char* text) const {
    height = font_.Leading() + faceExtraHeight;
    width = 2 * spacing_ +
            (text != nullptr ? Glow_WidgetDrawing::StringWidth(font_, text) : labelWidth_);
    // The icon is three quarters of the height wide.
    if (iconType_ != noIcon) width += height * 3 / 4;
}

void Glow_MenuButtonSubwindow::OnMenuInUse(int, int) {
    down_ = true;
    Refresh();
}

void Glow_MenuButtonSubwindow::OnMenuNotInUse() {
    down_ = false;
    Refresh();
}

void Glow_MenuButtonSubwindow::OnEndPaint() {
    const int w = Width();
    const int h = Height();
    glViewport(0, 0, w, h);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const bool active = IsActive();
    const Glow_MenuButtonColors& c = colors_;

    (down_ ? c.pressedBoxColor : active ? c.boxColor : c.inactiveBoxColor).Apply();
    glRectf(-1.0f, -1.0f, 1.0f, 1.0f);
    if (active) {
        Glow_WidgetDrawing::DrawBevel(w, h, 1.0f, down_ ? c.darkBevelColor : c.lightBevelColor,
                                      down_ ? c.lightBevelColor : c.darkBevelColor);
    } else {
        c.inactiveBorderColor.Apply();
        Glow_Bevels::Outline(-1.0f, -1.0f, 1.0f, 1.0f, 2.0f / w, 2.0f / h);
    }

    (down_ ? c.pressedTextColor : active ? c.textColor : c.inactiveTextColor).Apply();
    // One line, spacing pixels from the left edge, centred vertically.
    Glow_WidgetDrawing::DrawTextLine(-1.0f + 2.0f * spacing_ / w, h, font_, label_.c_str());

    if ((iconType_ & 3) != 0) {
        PaintIcon(w, h, down_ ? c.pressedIconColor : active ? c.iconColor : c.inactiveIconColor);
    }
    GlowSubwindowInWidget::OnEndPaint();
}

void Glow_MenuButtonSubwindow::PaintIcon(int w, int h, const GlowColor& color) const {
    // Half the height wide, its right edge a quarter of the height from the
    // subwindow's right edge.
    const float r = 1.0f - (h / 2.0f) / w;
    const float l = r - static_cast<float>(h) / w;
    color.Apply();
    if (iconType_ == arrowIcon) {
        glBegin(GL_TRIANGLES);
        glVertex2f(r, 0.3f);
        glVertex2f(l, 0.3f);
        glVertex2f((l + r) / 2, -0.3f);
        glEnd();
    } else if (iconType_ == menuIcon) {
        // A menu's title bar, and its page with a shadow two pixels off.
        const float bx = 4.0f / w;
        const float by = 4.0f / h;
        glRectf(l, 0.3f, r, 0.65f);
        glRectf(l + bx, -0.5f - by, r + bx, 0.3f - by);
        GlowColor::white.Apply();
        glRectf(l, -0.5f, r, 0.3f);
        color.Apply();
        glBegin(GL_LINE_LOOP);
        glVertex2f(l, -0.5f);
        glVertex2f(l, 0.3f);
        glVertex2f(r, 0.3f);
        glVertex2f(r, -0.5f);
        glEnd();
    }
}

}  // namespace glow
