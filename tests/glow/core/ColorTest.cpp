#include <gtest/gtest.h>

#include "glow/core/GlowColor.h"

using glow::GlowColor;

namespace {

void ExpectBytes(const GlowColor& c, int r, int g, int b, int a) {
    EXPECT_EQ(c[0], r);
    EXPECT_EQ(c[1], g);
    EXPECT_EQ(c[2], b);
    EXPECT_EQ(c[3], a);
}

TEST(ColorTest, FloatComponentsAreTruncatedBytes) {
    struct Case {
        float component;
        int byte;
    };
    const Case cases[] = {{0.8f, 204}, {0.7f, 178}, {0.5f, 127}, {0.4f, 102},
                          {1.0f, 255}, {0.0f, 0},   {1.5f, 255}, {-0.25f, 0}};
    for (const Case& c : cases) {
        GlowColor color(c.component, c.component, c.component, 1.0f);
        ExpectBytes(color, c.byte, c.byte, c.byte, 255);
        GlowColor fromDouble(double(c.component), double(c.component), 0.0, 1.0);
        EXPECT_EQ(fromDouble[0], c.byte) << c.component;
    }
}

TEST(ColorTest, ConstructorsAndSetters) {
    ExpectBytes(GlowColor(static_cast<unsigned char>(128), static_cast<unsigned char>(64)), 128,
                128, 128, 64);
    ExpectBytes(GlowColor(1, 2, 3, 4), 1, 2, 3, 4);
    GlowColor c = GlowColor::white;
    c.SetFromFloats(0.8f, 0.7f, 2.0f, 0.5f);
    ExpectBytes(c, 204, 178, 255, 127);
    c[2] = 9;
    ExpectBytes(c, 204, 178, 9, 127);
}

TEST(ColorTest, NamedColours) {
    ExpectBytes(GlowColor::black, 0, 0, 0, 255);
    ExpectBytes(GlowColor::cyan, 0, 255, 255, 255);
    ExpectBytes(GlowColor::magenta, 255, 0, 255, 255);
    ExpectBytes(GlowColor::yellow, 255, 255, 0, 255);
    ExpectBytes(GlowColor::gray, 128, 128, 128, 255);
}

}  // namespace
