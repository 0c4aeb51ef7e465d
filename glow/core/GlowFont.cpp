#include "glow/core/GlowFont.h"

#include <GL/freeglut.h>

#include "glow/core/Glow_Text.h"

namespace glow {

const GlowFont GlowFont::fixed8x13{GLUT_BITMAP_8_BY_13};
const GlowFont GlowFont::fixed9x15{GLUT_BITMAP_9_BY_15};
const GlowFont GlowFont::helvetica10{GLUT_BITMAP_HELVETICA_10};
const GlowFont GlowFont::helvetica12{GLUT_BITMAP_HELVETICA_12};
const GlowFont GlowFont::helvetica18{GLUT_BITMAP_HELVETICA_18};
const GlowFont GlowFont::timesRoman10{GLUT_BITMAP_TIMES_ROMAN_10};
const GlowFont GlowFont::timesRoman24{GLUT_BITMAP_TIMES_ROMAN_24};

namespace {

struct FontMetrics {
    void* font;
    int leading;
    int baseline;
};

// Plain aggregate with address constants: filled before any dynamic
// initialisation, so other files' start-up code may already use it.
FontMetrics metrics[] = {
    {GLUT_BITMAP_8_BY_13, 15, 11},        {GLUT_BITMAP_9_BY_15, 18, 13},
    {GLUT_BITMAP_HELVETICA_10, 12, 10},   {GLUT_BITMAP_HELVETICA_12, 14, 11},
    {GLUT_BITMAP_HELVETICA_18, 22, 17},   {GLUT_BITMAP_TIMES_ROMAN_10, 12, 9},
    {GLUT_BITMAP_TIMES_ROMAN_24, 28, 21},
};

FontMetrics* Find(void* font) {
    for (FontMetrics& m : metrics)
        if (m.font == font) return &m;
    return nullptr;
}

}  // namespace

GlowFont::GlowFont() : font_(GLUT_BITMAP_HELVETICA_12) {}

int GlowFont::Leading() const {
    const FontMetrics* m = Find(font_);
    return m ? m->leading : 0;
}

int GlowFont::BaselinePos() const {
    const FontMetrics* m = Find(font_);
    return m ? m->baseline : 0;
}

int GlowFont::CharWidth(int ch) const {
    // Only the bitmap fonts have widths; GLUT warns about any other handle.
    if (Find(font_) == nullptr) return 0;
    return glutBitmapWidth(font_, Glow_CharCode(ch));
}

int GlowFont::StringWidth(const char* str) const {
    if (str == nullptr) return 0;
    int width = 0;
    for (const char* p = str; *p != '\0'; ++p) width += CharWidth(*p);
    return width;
}

void GlowFont::SetLeading(GlowFont font, int pixels) {
    if (FontMetrics* m = Find(font.font_)) m->leading = pixels;
}

void GlowFont::SetBaselinePos(GlowFont font, int pixels) {
    if (FontMetrics* m = Find(font.font_)) m->baseline = pixels;
}

}  // namespace glow
