#include "glow/widgets/Glow_Bevels.h"

#include <GL/gl.h>

namespace glow {

namespace {

constexpr float bevelPixels = 2.0f;

}  // namespace

Glow_BevelUnits::Glow_BevelUnits(float length, float breadth)
    : bA(2 * bevelPixels / length),
      bX(2 * bevelPixels / breadth),
      pA(2.0f / length),
      pX(2.0f / breadth) {}

void Glow_Bevels::Frame(float left, float bottom, float right, float top, float bx, float by,
                        const GlowColor& leftFace, const GlowColor& topFace,
                        const GlowColor& rightFace, const GlowColor& bottomFace) {
    const float il = left + bx, ir = right - bx, ib = bottom + by, it = top - by;
    glBegin(GL_QUADS);
    leftFace.Apply();
    glVertex2f(left, bottom);
    glVertex2f(il, ib);
    glVertex2f(il, it);
    glVertex2f(left, top);
    topFace.Apply();
    glVertex2f(left, top);
    glVertex2f(il, it);
    glVertex2f(ir, it);
    glVertex2f(right, top);
    rightFace.Apply();
    glVertex2f(right, top);
    glVertex2f(ir, it);
    glVertex2f(ir, ib);
    glVertex2f(right, bottom);
    bottomFace.Apply();
    glVertex2f(right, bottom);
    glVertex2f(ir, ib);
    glVertex2f(il, ib);
    glVertex2f(left, bottom);
    glEnd();
}

void Glow_Bevels::Raised(float left, float bottom, float right, float top, float bx, float by,
                         const GlowColor& light, const GlowColor& dark, bool sunken) {
    const GlowColor& topLeft = sunken ? dark : light;
    const GlowColor& bottomRight = sunken ? light : dark;
    Frame(left, bottom, right, top, bx, by, topLeft, topLeft, bottomRight, bottomRight);
}

void Glow_Bevels::Lines(const float* xs, int count, float y0, float y1) {
    glBegin(GL_LINES);
    for (int i = 0; i < count; ++i) {
        glVertex2f(xs[i], y0);
        glVertex2f(xs[i], y1);
    }
    glEnd();
}

void Glow_Bevels::Outline(float left, float bottom, float right, float top, float px, float py) {
    const float l = left + px / 2, r = right - px / 2, b = bottom + py / 2, t = top - py / 2;
    glBegin(GL_LINE_LOOP);
    glVertex2f(l, b);
    glVertex2f(l, t);
    glVertex2f(r, t);
    glVertex2f(r, b);
    glEnd();
}

}  // namespace glow
