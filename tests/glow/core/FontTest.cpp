#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "glow/core/GlowFont.h"

using glow::GlowFont;

namespace {

TEST(FontTest, MetricsOfTheNamedFonts) {
    struct Case {
        GlowFont font;
        int leading;
        int baseline;
    };
    const Case cases[] = {
        {GlowFont::fixed8x13, 15, 11},    {GlowFont::fixed9x15, 18, 13},
        {GlowFont::helvetica10, 12, 10},  {GlowFont::helvetica12, 14, 11},
        {GlowFont::helvetica18, 22, 17},  {GlowFont::timesRoman10, 12, 9},
        {GlowFont::timesRoman24, 28, 21}, {GlowFont(GLUT_STROKE_ROMAN), 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.font.Leading(), c.leading);
        EXPECT_EQ(c.font.BaselinePos(), c.baseline);
    }
    GlowFont standard;
    EXPECT_TRUE(standard == GLUT_BITMAP_HELVETICA_12);
    EXPECT_EQ(standard.Leading(), 14);
    EXPECT_EQ(standard.BaselinePos(), 11);
}

TEST(FontTest, WidthsComeFromGlut) {
    GlowFont fixed = GlowFont::fixed8x13;
    EXPECT_EQ(fixed.CharWidth('W'), 8);
    EXPECT_EQ(fixed.StringWidth("Tavrel"), 48);
    GlowFont helvetica;
    int sum = 0;
    for (const char* p = "Run Analysis"; *p; ++p)
        sum += glutBitmapWidth(GLUT_BITMAP_HELVETICA_12, *p);
    EXPECT_GT(sum, 0);
    EXPECT_EQ(helvetica.StringWidth("Run Analysis"), sum);
    EXPECT_EQ(helvetica.StringWidth(""), 0);
    EXPECT_EQ(helvetica.StringWidth(nullptr), 0);
    // A byte above 127 is the Latin-1 glyph GLUT draws for it, whether it
    // comes as a char (negative) or as its code.
    EXPECT_EQ(fixed.StringWidth("ab\xe9"), 24);
    EXPECT_EQ(fixed.CharWidth(static_cast<char>(0xe9)), 8);
    EXPECT_EQ(fixed.CharWidth(0xe9), 8);
    EXPECT_EQ(helvetica.CharWidth('\xe9'), glutBitmapWidth(GLUT_BITMAP_HELVETICA_12, 0xe9));
    EXPECT_EQ(GlowFont(GLUT_STROKE_ROMAN).StringWidth("abc"), 0);
}

TEST(FontTest, MetricsAreSharedAndChangeable) {
    GlowFont a = GlowFont::helvetica12;
    GlowFont b;
    GlowFont::SetLeading(a, 16);
    GlowFont::SetBaselinePos(b, 12);
    GlowFont::SetLeading(GlowFont(GLUT_STROKE_ROMAN), 40);  // ignored
    EXPECT_EQ(b.Leading(), 16);
    EXPECT_EQ(GlowFont::helvetica12.BaselinePos(), 12);
    EXPECT_EQ(GlowFont(GLUT_STROKE_ROMAN).Leading(), 0);
    EXPECT_EQ(GlowFont::helvetica10.Leading(), 12);
    GlowFont::SetLeading(a, 14);
    GlowFont::SetBaselinePos(a, 11);
}

}  // namespace
