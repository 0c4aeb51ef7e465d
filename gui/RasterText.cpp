#include "gui/RasterText.h"

#include <GL/gl.h>

#include "glow/core/GlowFont.h"
#include "glow/widgets/GlowWidget.h"

void RasterText::Draw(float x, float y, const char* text) {
    glRasterPos2f(x, y);
    const glow::GlowFont font;
    for (const char* c = text; *c != '\0'; ++c) glow::GlowWidget::DrawCharacter(font, *c);
}
