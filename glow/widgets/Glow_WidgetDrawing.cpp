#include "glow/widgets/Glow_WidgetDrawing.h"

#include <GL/freeglut.h>

#include <algorithm>

#include "glow/core/Glow_Text.h"
#include "glow/widgets/Glow_Bevels.h"

namespace glow {

// The font measures; drawing takes the same code for a byte.
int Glow_WidgetDrawing::CharWidth(GlowFont font, char c) {
    return font.CharWidth(c);
}

int Glow_WidgetDrawing::StringWidth(GlowFont font, const char* text) {
    return font.StringWidth(text);
}

void Glow_WidgetDrawing::DrawCharacter(GlowFont font, char c) {
    glutBitmapCharacter(static_cast<void*>(font), Glow_CharCode(c));
}

void Glow_WidgetDrawing::DrawTextLine(float x, int height, GlowFont font, const char* text) {
    glRasterPos2f(x, static_cast<float>(font.Leading() - 2 * font.BaselinePos()) / height);
    for (const char* p = text; *p != '\0'; ++p) DrawCharacter(font, *p);
}

void Glow_WidgetDrawing::FillPixels(int width, int height, int left, int top, int right,
                                    int bottom) {
    // A rectangle whose edges lie on pixel boundaries covers exactly the
    // pixels whose centres it contains, with any rasteriser; thin lines and
    // line loops leave corner pixels to the driver's rules.
    const double sx = 2.0 / width;
    const double sy = 2.0 / height;
    glRectf(static_cast<float>(-1.0 + left * sx), static_cast<float>(1.0 - (bottom + 1) * sy),
            static_cast<float>(-1.0 + (right + 1) * sx), static_cast<float>(1.0 - top * sy));
}

void Glow_WidgetDrawing::DrawPixelOutline(int width, int height, int left, int top, int right,
                                          int bottom) {
    FillPixels(width, height, left, top, right, top);
    FillPixels(width, height, left, bottom, right, bottom);
    FillPixels(width, height, left, top, left, bottom);
    FillPixels(width, height, right, top, right, bottom);
}

void Glow_WidgetDrawing::DrawPixelLine(int width, int height, int x0, int y0, int x1, int y1) {
    // Horizontal or vertical lines only.
    FillPixels(width, height, std::min(x0, x1), std::min(y0, y1), std::max(x0, x1),
               std::max(y0, y1));
}

void Glow_WidgetDrawing::DrawBevel(int width, int height, float right, const GlowColor& topLeft,
                                   const GlowColor& bottomRight) {
    Glow_Bevels::Raised(-1.0f, -1.0f, right, 1.0f, 4.0f / width, 4.0f / height, topLeft,
                        bottomRight);
}

void Glow_WidgetDrawing::DrawEtchedFrame(int width, int height, const GlowColor& light,
                                         const GlowColor& dark) {
    light.Apply();
    DrawPixelOutline(width, height, 1, 1, width - 1, height - 1);
    dark.Apply();
    DrawPixelOutline(width, height, 0, 0, width - 2, height - 2);
}

}  // namespace glow
