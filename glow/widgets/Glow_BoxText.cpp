#include "glow/widgets/Glow_BoxText.h"

#include <GL/freeglut.h>

namespace glow {

int Glow_BoxText::AutoPack(GlowWidget* widget, int textWidth, int spacing, GlowFont font, int hSize,
                           int vSize, int hOption, int vOption) {
    const int prefHeight = font.Leading() + 1;
    int newWidth, newHeight;
    if (vSize != unspecifiedSize && vSize < prefHeight) return 2;
    if (!GlowWidget::SizeForRule(GlowWidget::NoGrowthRule(vOption), vSize, prefHeight,
                                 widget->Height(), newHeight)) {
        return 2;
    }
    const long long prefWidth = NeededWidth(textWidth, spacing, newHeight);
    if (hSize != unspecifiedSize && hSize < prefWidth) return 1;
    if (!GlowWidget::SizeForRule(GlowWidget::NoGrowthRule(hOption), hSize,
                                 static_cast<int>(prefWidth), widget->Width(), newWidth)) {
        return 1;
    }
    widget->Reshape(newWidth, newHeight);
    return 0;
}

void Glow_BoxText::TrimWidth(GlowWidget* widget, int textWidth, int spacing) {
    const long long need = NeededWidth(textWidth, spacing, widget->Height());
    if (need < widget->Width()) widget->Reshape(static_cast<int>(need), widget->Height());
}

float Glow_BoxText::DrawBox(const GlowWidget* widget, bool active, bool pressed,
                            const GlowColor& box, const GlowColor& light, const GlowColor& dark,
                            const GlowColor& inactiveBorder) {
    const int w = widget->Width();
    const int h = widget->Height();
    const float right = 2.0f * h / w - 1.0f;
    box.Apply();
    glRectf(-1.0f, -1.0f, right, 1.0f);
    if (active) {
        widget->DrawBevel(right, pressed ? dark : light, pressed ? light : dark);
    } else {
        inactiveBorder.Apply();
        widget->DrawPixelOutline(0, 0, h - 1, h - 1);
    }
    return right;
}

void Glow_BoxText::DrawText(const GlowWidget* widget, float boxRight, int spacing, GlowFont font,
                            const char* text) {
    widget->DrawTextLine(boxRight + 2.0f * spacing / widget->Width(), font, text);
}

}  // namespace glow
