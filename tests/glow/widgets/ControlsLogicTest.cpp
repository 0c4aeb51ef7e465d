// The arithmetic of scroll bars and sliders, the number formats of labelled
// sliders and tab-separated lists: no window needed.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "glow/widgets/GlowScrollBarWidget.h"
#include "glow/widgets/GlowSliderWidget.h"
#include "glow/widgets/Glow_NumberFormat.h"
#include "glow/widgets/Glow_SplitAtTabs.h"

namespace {

using glow::Glow_NumberFormat;
using glow::GlowScrollBarWidget;
using glow::GlowSliderOptions;
using glow::GlowSliderWidget;
using Geometry = GlowScrollBarWidget::Geometry;

// Normalised positions to pixels along a bar of the given length.
int Pixel(float position, float length) {
    return static_cast<int>(std::lround((position + 1.0f) / 2.0f * length));
}

TEST(ScrollBarGeometry, ArrowModesThumbsAndDegenerateBars) {
    const struct {
        const char* name;
        int width, height, minimum, maximum, span, top;
        int mode;
        // Pixels along the bar: trough start and end, thumb start and end.
        int troughStart, troughEnd, thumbStart, thumbEnd;
    } cases[] = {
        {"default bar: one arrow each end, thumb fills the trough", 120, 20, 0, 1, 1, 0, 1, 20, 100,
         20, 100},
        {"160 long: still one arrow", 160, 20, 0, 1, 1, 0, 1, 20, 140, 20, 140},
        {"161 long: two arrows", 161, 20, 0, 1, 1, 0, 2, 40, 121, 40, 121},
        {"80 long: no arrows", 80, 20, 0, 100, 50, 0, 0, 0, 80, 0, 40},
        {"half the range shown, at the end", 80, 20, 0, 100, 50, 50, 0, 0, 80, 40, 80},
        {"short thumb is square: start", 80, 20, 0, 100, 10, 0, 0, 0, 80, 0, 20},
        {"short thumb is square: middle", 80, 20, 0, 100, 10, 45, 0, 0, 80, 30, 50},
        {"short thumb is square: end", 80, 20, 0, 100, 10, 90, 0, 0, 80, 60, 80},
        {"vertical bar runs the same way", 20, 80, 0, 100, 50, 50, 0, 0, 80, 40, 80},
        {"square bar: no arrows, full thumb", 20, 20, 0, 10, 1, 3, 0, 0, 20, 0, 20},
        {"maximum equal to minimum", 80, 20, 5, 5, 1, 5, 0, 0, 80, 0, 80},
        {"maximum below minimum", 80, 20, 5, 0, 1, 5, 0, 0, 80, 0, 80},
        {"span beyond the range", 80, 20, 0, 10, 20, 0, 0, 0, 80, 0, 80},
        {"no width", 0, 20, 0, 10, 1, 0, 0, 0, 20, 0, 20},
        {"no area at all", 0, 0, 0, 10, 1, 0, 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Geometry g = GlowScrollBarWidget::GetGeometry(c.width, c.height, c.minimum, c.maximum,
                                                            c.span, c.top);
        for (float v : {g.arrowSize, g.troughStart, g.troughEnd, g.thumbStart, g.thumbEnd}) {
            EXPECT_TRUE(std::isfinite(v));
        }
        EXPECT_EQ(g.arrowMode, c.mode);
        EXPECT_EQ(Pixel(g.troughStart, g.length), c.troughStart);
        EXPECT_EQ(Pixel(g.troughEnd, g.length), c.troughEnd);
        EXPECT_EQ(Pixel(g.thumbStart, g.length), c.thumbStart);
        EXPECT_EQ(Pixel(g.thumbEnd, g.length), c.thumbEnd);
    }
}

TEST(ScrollBarGeometry, ArrowBoxesFromEachEndInwards) {
    // 200 x 20: two 20-pixel arrows at each end; from each end inwards the
    // arrow that points to that end, then the one that points away.
    const Geometry g = GlowScrollBarWidget::GetGeometry(200, 20, 0, 10, 1, 0);
    ASSERT_EQ(g.arrowMode, 2);
    const struct {
        const char* name;
        int part;
        bool inner;
        int start, end;  // pixels along the bar
    } boxes[] = {
        {"minus, outer", GlowScrollBarWidget::minusArrowPart, false, 0, 20},
        {"plus, inner", GlowScrollBarWidget::plusArrowPart, true, 20, 40},
        {"minus, inner", GlowScrollBarWidget::minusArrowPart, true, 160, 180},
        {"plus, outer", GlowScrollBarWidget::plusArrowPart, false, 180, 200},
    };
    for (const auto& b : boxes) {
        SCOPED_TRACE(b.name);
        float start = 0, end = 0;
        g.ArrowBox(b.part, b.inner, start, end);
        EXPECT_EQ(Pixel(start, g.length), b.start);
        EXPECT_EQ(Pixel(end, g.length), b.end);
    }
}

TEST(ScrollBarGeometry, ThumbDraggedToAnEntryRoundsHalfUpAndClamps) {
    // 80 x 20, 0 to 100, span 50: the thumb is 40 pixels and has 40 to go
    // over 50 entries, so each entry is 0.02 of the normalised length.
    const Geometry g = GlowScrollBarWidget::GetGeometry(80, 20, 0, 100, 50, 0);
    const struct {
        double thumbStart;
        int entry;
    } cases[] = {
        {-1.0, 0}, {-0.75, 13}, {-0.76, 12}, {-0.74, 13}, {0.0, 50},
        {-3.0, 0}, {5.0, 50},   {-0.99, 1},  {-0.5, 25},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.thumbStart);
        int entry = -1;
        ASSERT_TRUE(GlowScrollBarWidget::EntryAtThumb(g, c.thumbStart, 0, 100, 50, entry));
        EXPECT_EQ(entry, c.entry);
    }
    // A thumb that fills its trough does not move, and nothing divides by 0.
    int entry = 7;
    EXPECT_FALSE(GlowScrollBarWidget::EntryAtThumb(
        GlowScrollBarWidget::GetGeometry(120, 20, 0, 1, 1, 0), 0.3, 0, 1, 1, entry));
    EXPECT_FALSE(GlowScrollBarWidget::EntryAtThumb(
        GlowScrollBarWidget::GetGeometry(80, 20, 4, 4, 1, 4), 0.3, 4, 4, 1, entry));
    EXPECT_EQ(entry, 7);
}

TEST(SliderMapping, LinearLogarithmicAndReversed) {
    const auto none = glow::noSliderOptions;
    const auto log = glow::logarithmic;
    const auto rev = glow::reversed;
    const struct {
        const char* name;
        double t, minimum, maximum;
        GlowSliderOptions options;
        double value;
    } cases[] = {
        {"linear start", 0.0, 0.0, 10.0, none, 0.0},
        {"linear middle", 0.5, 0.0, 10.0, none, 5.0},
        {"linear end", 1.0, -2.0, 2.0, none, 2.0},
        {"reversed counts from the maximum", 0.25, 0.0, 10.0, rev, 7.5},
        {"logarithmic middle", 0.5, 1.0, 100.0, log, 10.0},
        {"logarithmic quarter", 0.25, 1.0, 10000.0, log, 10.0},
        {"logarithmic reversed", 0.25, 1.0, 10000.0, log | rev, 1000.0},
        {"beyond the end is the end", 1.5, 0.0, 10.0, none, 10.0},
        {"before the start is the start", -0.5, 0.0, 10.0, none, 0.0},
        {"logarithmic range through 0 maps linearly", 0.5, -1.0, 1.0, log, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const double v = GlowSliderWidget::ValueAtFraction(c.t, c.minimum, c.maximum, c.options);
        EXPECT_NEAR(v, c.value, 1e-9);
        if (c.t >= 0 && c.t <= 1) {
            // And back, before the reversal.
            const double t = GlowSliderWidget::PositionFraction(v, c.minimum, c.maximum, c.options);
            EXPECT_NEAR((c.options & rev) != 0 ? 1 - t : t, c.t, 1e-9);
        }
    }
    EXPECT_EQ(GlowSliderWidget::PositionFraction(3.0, 2.0, 2.0, none), 0.0);
    EXPECT_EQ(GlowSliderWidget::PositionFraction(3.0, 2.0, 1.0, log), 0.0);
}

TEST(SliderMapping, ThumbPressRangeAndTicks) {
    // A 130 x 30 slider: the thumb is 30 long, its centre goes from 15 to
    // 115; a press grabs it strictly inside (centre - 15, centre + 15).
    const struct {
        int length, breadth;
        double t;
        int centre;
    } thumbs[] = {
        {130, 30, 0.0, 15}, {130, 30, 1.0, 115}, {130, 30, 0.5, 65},
        {130, 31, 0.5, 65}, {131, 30, 0.5, 65},  {200, 30, 0.999, 184},
    };
    for (const auto& c : thumbs) {
        SCOPED_TRACE(std::to_string(c.length) + " " + std::to_string(c.t));
        EXPECT_EQ(GlowSliderWidget::ThumbCentre(c.length, c.breadth, c.t), c.centre);
    }
    const double five[] = {15, 40, 65, 90, 115};
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(GlowSliderWidget::TickPosition(130, 30, 5, i), five[i], 1e-9);
    }
    EXPECT_NEAR(GlowSliderWidget::TickPosition(130, 30, 1, 0), 65, 1e-9);
}

TEST(NumberFormat, OnlyOneFloatingConversionReachesPrintf) {
    const char* safe[] = {"%g",      "%.2f", "%5.1f",  "%-+ #08.3e", "Value: %g%%",
                          "%%%G %%", "%a",   "%10.3F", "%E",         "%999.999f"};
    for (const char* f : safe) {
        SCOPED_TRACE(f);
        EXPECT_TRUE(Glow_NumberFormat::IsSafe(f));
        EXPECT_EQ(Glow_NumberFormat(f).Format(), f);
    }
    const char* hostile[] = {"%d",      "%s",    "%n", "%*g",   "%.*f", "%lf",  "%Lf",
                             "%hhg",    "%g %g", "",   "plain", "%",    "abc%", "%1000f",
                             "%.1000f", "%p",    "%x", "%5$g",  "%'g",  "%c",   "%g%n"};
    for (const char* f : hostile) {
        SCOPED_TRACE(f);
        EXPECT_FALSE(Glow_NumberFormat::IsSafe(f));
        const Glow_NumberFormat format(f);
        EXPECT_TRUE(format.HasFormat());
        EXPECT_EQ(format.Format(), "%g");
        EXPECT_EQ(format.Apply(2.5), "2.5");
    }
    EXPECT_EQ(Glow_NumberFormat("%.2f").Apply(3.14159), "3.14");
    EXPECT_EQ(Glow_NumberFormat("%.1f%%").Apply(42.0), "42.0%");
    // The value is a double all the way: 0.1 does not become 0.100000001.
    EXPECT_EQ(Glow_NumberFormat("%.9f").Apply(0.1), "0.100000000");
    // No format, no text.
    EXPECT_FALSE(Glow_NumberFormat(nullptr).HasFormat());
    EXPECT_EQ(Glow_NumberFormat(nullptr).Apply(1.0), "");
    // A text longer than the limit is cut, never written past it.
    EXPECT_EQ(Glow_NumberFormat("%.999f").Apply(1e300).size(),
              static_cast<size_t>(Glow_NumberFormat::maxLength));
}

TEST(SplitAtTabs, PiecesWithoutEmptyOnes) {
    using V = std::vector<std::string>;
    EXPECT_EQ(glow::Glow_SplitAtTabs("Red\tGreen\tBlue"), V({"Red", "Green", "Blue"}));
    EXPECT_EQ(glow::Glow_SplitAtTabs("\tRed\t\tGreen\t"), V({"Red", "Green"}));
    EXPECT_EQ(glow::Glow_SplitAtTabs("one item"), V({"one item"}));
    EXPECT_EQ(glow::Glow_SplitAtTabs(""), V());
    EXPECT_EQ(glow::Glow_SplitAtTabs("\t"), V());
    EXPECT_EQ(glow::Glow_SplitAtTabs(nullptr), V());
}

}  // namespace
