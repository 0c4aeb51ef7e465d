// Sliders and labelled sliders: the grab, drags and their messages, the
// mappings in a real widget, degenerate ranges and shapes, the look in
// every orientation, and the labels' places and texts.

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "glow/widgets/GlowLabeledSliderWidget.h"
#include "glow/widgets/GlowWidgetLabelHelper.h"
#include "tests/glow/widgets/WidgetFixture.h"

namespace {

using glow::GlowColor;
using glow::GlowLabeledSliderParams;
using glow::GlowLabeledSliderWidget;
using glow::GlowSliderMessage;
using glow::GlowSliderParams;
using glow::GlowSliderWidget;
using widgettest::Recorder;

class SliderTest : public widgettest::WidgetFixture {
protected:
    // A slider at (10, 10) of the subwindow.
    GlowSliderWidget* MakeSlider(GlowSliderParams p) {
        p.x = 10;
        p.y = 10;
        p.receiver = &recorder;
        auto* s = new GlowSliderWidget;
        s->Init(Root(), nullptr, p);
        EndEvent();
        return s;
    }
    GlowLabeledSliderWidget* MakeLabeled(GlowLabeledSliderParams p, int x = 150, int y = 100) {
        p.x = x;
        p.y = y;
        p.receiver = &recorder;
        auto* s = new GlowLabeledSliderWidget;
        s->Init(Root(), nullptr, p);
        EndEvent();
        return s;
    }
    // "value" or "value released", with the button and modifiers.
    std::vector<std::string> Take() {
        std::vector<std::string> texts;
        for (const GlowSliderMessage& m : recorder.messages) {
            std::ostringstream s;
            s << m.value << (m.released ? " released" : "") << " b" << m.mouseButton << " m"
              << m.modifiers;
            texts.push_back(s.str());
        }
        recorder.messages.clear();
        return texts;
    }

    Recorder<GlowSliderMessage> recorder;
};

using Messages = std::vector<std::string>;

TEST_F(SliderTest, PressGrabsTheThumbOnlyStrictlyInside) {
    // The default slider: 130 x 30, 0 to 1 at 0; its thumb is 30 long at
    // the left end.
    GlowSliderWidget* s = MakeSlider(GlowSliderParams());
    for (int x : {0, 30, 31, 100}) {
        SCOPED_TRACE(x);
        Press(10 + x, 25);
        EXPECT_FALSE(s->IsDragging());
        Release(10 + x, 25);
    }
    EXPECT_TRUE(Take().empty());
    for (int x : {1, 15, 29}) {
        SCOPED_TRACE(x);
        Press(10 + x, 25, 1, 2);
        EXPECT_TRUE(s->IsDragging());
        Release(10 + x, 25, 1, 4);
        EXPECT_EQ(Take(), (Messages{"0 released b1 m2"}));
    }
}

TEST_F(SliderTest, EveryDragReportsAndTheReleaseOnce) {
    GlowSliderWidget* s = MakeSlider(GlowSliderParams());
    Press(10 + 10, 25);  // 5 pixels left of the thumb's centre
    Drag(10 + 10, 20);   // held still: reported all the same
    Drag(10 + 11, 20);
    Drag(10 + 10, 20);
    Drag(10 + 60, 20);  // centre at 65: half way
    Drag(10 + 400, 20);
    EXPECT_DOUBLE_EQ(s->GetValue(), 1.0);
    Release(10 + 30, 300);  // outside: the point still counts
    EXPECT_EQ(Take(), (Messages{"0 b0 m0", "0.01 b0 m0", "0 b0 m0", "0.5 b0 m0", "1 b0 m0",
                                "0.2 released b0 m0"}));
    EXPECT_FALSE(s->IsDragging());
    EXPECT_DOUBLE_EQ(s->GetValue(), 0.2);
}

TEST_F(SliderTest, MappingsInAWidget) {
    const struct {
        const char* name;
        int width, height;
        double minimum, maximum, value;
        int options;
        int pressAlong;  // where the thumb's centre is
        int dragAlong;   // where it is dragged to
        double expected;
    } cases[] = {
        {"logarithmic half way is 10", 130, 30, 1, 100, 1, glow::logarithmic, 15, 65, 10.0},
        {"reversed: minimum at the right", 130, 30, 0, 1, 0, glow::reversed, 115, 65, 0.5},
        {"reversed: leftwards raises", 130, 30, 0, 1, 0, glow::reversed, 115, 40, 0.75},
        {"vertical: minimum at the top", 30, 130, 0, 1, 0, 0, 15, 65, 0.5},
        {"vertical reversed", 30, 130, 0, 10, 0, glow::reversed, 115, 90, 2.5},
        {"logarithmic range through 0 is linear", 130, 30, -1, 1, -1, glow::logarithmic, 15, 65,
         0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GlowSliderParams p;
        p.width = c.width;
        p.height = c.height;
        p.minimum = c.minimum;
        p.maximum = c.maximum;
        p.value = c.value;
        p.options = static_cast<glow::GlowSliderOptions>(c.options);
        GlowSliderWidget* s = MakeSlider(p);
        const bool vertical = c.height > c.width;
        auto point = [&](int along, int& x, int& y) {
            x = 10 + (vertical ? 15 : along);
            y = 10 + (vertical ? along : 15);
        };
        int x, y;
        point(c.pressAlong, x, y);
        Press(x, y);
        ASSERT_TRUE(s->IsDragging());
        point(c.dragAlong, x, y);
        Drag(x, y);
        Release(x, y);
        EXPECT_NEAR(s->GetValue(), c.expected, 1e-9);
        delete s;
        Take();
    }
}

TEST_F(SliderTest, DegenerateRangesAndShapesGiveNumbers) {
    GlowSliderParams p;
    p.value = 5;
    GlowSliderWidget* s = MakeSlider(p);
    EXPECT_EQ(s->GetValue(), 1.0);  // above the maximum: the maximum
    delete s;
    p.minimum = 3;
    p.maximum = 2;
    p.value = 2.5;
    s = MakeSlider(p);
    EXPECT_EQ(s->GetValue(), 3.0);  // a maximum below the minimum: the minimum
    // No thumb: nothing is grabbed, nothing sent, and none is drawn.
    Press(10 + 15, 25);
    Release(10 + 15, 25);
    EXPECT_TRUE(Take().empty());
    Paint();
    EXPECT_COLOR(Color(10 + 5, 10 + 2), GlowColor(204, 204, 204, 255));
    delete s;

    // A logarithmic range that reaches 0 is taken as linear.
    p = GlowSliderParams();
    p.minimum = 0;
    p.maximum = 8;
    p.options = glow::logarithmic | glow::reversed;
    s = MakeSlider(p);
    EXPECT_EQ(s->GetOptions(), glow::reversed);
    Press(10 + 115, 25);
    Drag(10 + 65, 25);
    Release(10 + 65, 25);
    EXPECT_DOUBLE_EQ(s->GetValue(), 4.0);
    delete s;
    Take();

    // A square slider has no travel: its value stays, and is a number.
    p = GlowSliderParams();
    p.width = 40;
    p.height = 40;
    p.value = 0.25;
    s = MakeSlider(p);
    Press(10 + 20, 10 + 20);
    ASSERT_TRUE(s->IsDragging());
    Drag(10 + 35, 10 + 35);
    Release(10 + 35, 10 + 35);
    EXPECT_EQ(Take(), (Messages{"0.25 b0 m0", "0.25 released b0 m0"}));
}

TEST_F(SliderTest, DeactivatedDuringADragEndsIt) {
    GlowSliderWidget* s = MakeSlider(GlowSliderParams());
    Press(10 + 15, 25, 2, 1);
    Drag(10 + 65, 25);
    s->Deactivate();
    EndEvent();
    EXPECT_FALSE(s->IsDragging());
    EXPECT_EQ(Take(), (Messages{"0.5 b2 m1", "0.5 released b2 m1"}));
}

TEST_F(SliderTest, AutoPackTakesNoSizeThatIsNotGiven) {
    const int none = glow::unspecifiedPos;
    const struct {
        const char* name;
        int width, height, right, bottom, hOption, vOption;
        int result, newWidth, newHeight;
    } cases[] = {
        {"preferred is the least size", 200, 50, none, none, 1, 1, 0, 130, 30},
        {"expand takes the sizes", 130, 30, 300, 40, 2, 2, 0, 300, 40},
        {"expand without sizes", 200, 50, none, none, 2, 2, 0, 130, 30},
        {"forced width without a size", 130, 30, none, 40, 3, 1, 1, 130, 30},
        {"forced height without a size", 130, 30, 300, none, 1, 3, 2, 130, 30},
        {"below the least width", 130, 30, 129, 40, 0, 0, 1, 130, 30},
        {"below the least height", 130, 30, 300, 29, 0, 0, 2, 130, 30},
        {"vertical", 40, 200, none, none, 1, 1, 0, 30, 130},
        {"square counts as horizontal", 50, 50, none, none, 1, 1, 0, 130, 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GlowSliderParams p;
        p.width = c.width;
        p.height = c.height;
        GlowSliderWidget* s = MakeSlider(p);
        int l, r, t, b;
        EXPECT_EQ(s->AutoPack(0, c.right, 0, c.bottom, c.hOption, c.vOption, l, r, t, b), c.result);
        EXPECT_EQ(s->Width(), c.newWidth);
        EXPECT_EQ(s->Height(), c.newHeight);
        delete s;
    }
}

TEST_F(SliderTest, LookOfTicksAndThumb) {
    GlowSliderParams p;
    p.numTicks = 5;
    p.value = 0.5;
    GlowSliderWidget* s = MakeSlider(p);
    Paint();
    Shot("slider_ticks");
    const GlowColor tick(0, 0, 0, 255), back(204, 204, 204, 255), thumb(178, 178, 178, 255);
    // Ticks 2 pixels wide about 15, 40, 65, 90 and 115, below the trough.
    for (int at : {15, 40, 90, 115}) {
        SCOPED_TRACE(at);
        EXPECT_COLOR(Color(10 + at, 10 + 27), tick);
        EXPECT_COLOR(Color(10 + at + 5, 10 + 27), back);
    }
    // The pointer over the middle tick: its tip at 65.
    EXPECT_COLOR(Color(10 + 55, 10 + 5), thumb);
    EXPECT_COLOR(Color(10 + 45, 10 + 12), GlowColor(127, 127, 127, 255));  // the trough
    // Dragged, the thumb is pressed.
    Press(10 + 65, 10 + 5);
    Paint();
    EXPECT_COLOR(Color(10 + 55, 10 + 5), GlowColor(204, 153, 153, 255));
    Release(10 + 65, 10 + 5);
    // Inactive: grey ticks, a pale trough.
    s->Deactivate();
    EndEvent();
    Paint();
    Shot("slider_inactive");
    EXPECT_COLOR(Color(10 + 15, 10 + 27), GlowColor(76, 76, 76, 255));
    EXPECT_COLOR(Color(10 + 45, 10 + 12), GlowColor(178, 178, 178, 255));
    Take();
}

// Where a pixel of a 130 x 30 or 30 x 130 slider at (10, 10) lies in the
// subwindow, given along the travel from the minimum end and across from
// the tick side. The minimum is at the left or the top, the other end when
// reversed; the ticks below or on the right, the other side when flipped.
struct SliderFrame {
    static constexpr int length = 130;
    static constexpr int breadth = 30;
    bool vertical;
    bool reversed;
    bool flipped;

    void At(int along, int across, int& x, int& y) const {
        const int a = reversed ? length - 1 - along : along;
        const int d = flipped ? across : breadth - 1 - across;
        x = 10 + (vertical ? d : a);
        y = 10 + (vertical ? a : d);
    }
};

// Each orientation at the value 0.25: the thumb's centre a quarter of the
// 100-pixel travel from the minimum end's half thumb, 40 pixels along. The
// trough runs 11.25 to 18.75 pixels off the tick side, 13.5 to 21 with
// ticks; the ticks stand 0 to 7.5 pixels off it, at 15, 40 ... 115 along.
TEST_F(SliderTest, EachOrientationPaintsWhereValueAndOptionsSay) {
    const struct {
        const char* name;
        bool vertical;
        int options;
        int numTicks;
    } cases[] = {
        {"plain", false, 0, 5},
        {"reversed", false, glow::reversed, 5},
        {"flipped", false, glow::ticksFlipped, 5},
        {"reversed_flipped", false, glow::reversed | glow::ticksFlipped, 5},
        {"vertical", true, 0, 5},
        {"vertical_reversed", true, glow::reversed, 5},
        {"vertical_flipped", true, glow::ticksFlipped, 5},
        {"reversed_no_ticks", false, glow::reversed, 0},
        {"vertical_no_ticks", true, 0, 0},
    };
    const GlowColor back(204, 204, 204, 255), trough(127, 127, 127, 255);
    const GlowColor thumb(178, 178, 178, 255), tick(0, 0, 0, 255);
    const GlowColor light(255, 255, 255, 255), dark(76, 76, 76, 255);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GlowSliderParams p;
        p.width = c.vertical ? SliderFrame::breadth : SliderFrame::length;
        p.height = c.vertical ? SliderFrame::length : SliderFrame::breadth;
        p.options = static_cast<glow::GlowSliderOptions>(c.options);
        p.numTicks = c.numTicks;
        p.value = 0.25;
        GlowSliderWidget* s = MakeSlider(p);
        Paint();
        Shot(std::string("slider_") + c.name);
        const SliderFrame frame{c.vertical, (c.options & glow::reversed) != 0,
                                (c.options & glow::ticksFlipped) != 0};
        auto at = [&](int along, int across) {
            int x, y;
            frame.At(along, across, x, y);
            return Color(x, y);
        };
        // The thumb on both sides of its grip, and nothing at the mirrored
        // place.
        EXPECT_COLOR(at(32, 24), thumb);
        EXPECT_COLOR(at(48, 24), thumb);
        EXPECT_COLOR(at(90, 24), back);
        const bool ticks = c.numTicks > 0;
        EXPECT_COLOR(at(90, ticks ? 17 : 15), trough);
        // Sunken, lit from the top left on screen: the long edge nearer the
        // top (or the left) dark, the other light.
        int x0, y0, x1, y1;
        frame.At(90, ticks ? 14 : 12, x0, y0);
        frame.At(90, ticks ? 20 : 17, x1, y1);
        const bool firstNearer = c.vertical ? x0 < x1 : y0 < y1;
        EXPECT_COLOR(Color(x0, y0), firstNearer ? dark : light);
        EXPECT_COLOR(Color(x1, y1), firstNearer ? light : dark);
        if (ticks) {
            // Raised for the ticks: clear where a trough without ticks has
            // its edge.
            EXPECT_COLOR(at(90, 12), back);
            for (int along : {15, 115}) {
                SCOPED_TRACE(along);
                EXPECT_COLOR(at(along, 3), tick);
                EXPECT_COLOR(at(along, 27), back);
            }
            EXPECT_COLOR(at(27, 3), back);
        } else {
            EXPECT_COLOR(at(90, 9), back);
            EXPECT_COLOR(at(90, 20), back);
        }
        delete s;
    }
}

// The slider paints in the colours of its params, not in the defaults.
TEST_F(SliderTest, ColoursComeFromTheParams) {
    const GlowColor trough(10, 20, 30, 255), thumb(40, 50, 60, 255), tick(70, 80, 90, 255);
    const GlowColor light(130, 140, 150, 255), dark(160, 170, 180, 255);
    GlowSliderParams p;
    p.numTicks = 5;
    p.value = 0.5;
    p.troughColor = trough;
    p.thumbColor = thumb;
    p.tickColor = tick;
    p.lightBevelColor = light;
    p.darkBevelColor = dark;
    MakeSlider(p);
    Paint();
    // The places of the look above: the pointer from 50 to 80 over the
    // middle tick.
    EXPECT_COLOR(Color(10 + 15, 10 + 27), tick);
    EXPECT_COLOR(Color(10 + 55, 10 + 5), thumb);
    EXPECT_COLOR(Color(10 + 45, 10 + 12), trough);
    EXPECT_COLOR(Color(10 + 55, 10), light);
    EXPECT_COLOR(Color(10 + 79, 10 + 5), dark);
    // The grip about the centre at 65: light lines 3.5, 0.5 and 2.5 pixels
    // before, at and after it, dark ones beside them, from 4 pixels below
    // the top edge to 16.5, above the pointer's slanted edges.
    for (int column : {61, 64, 67}) {
        SCOPED_TRACE(column);
        EXPECT_COLOR(Color(10 + column, 10 + 10), light);
        EXPECT_COLOR(Color(10 + column + 1, 10 + 10), dark);
        EXPECT_COLOR(Color(10 + column, 10 + 2), thumb);
        EXPECT_COLOR(Color(10 + column, 10 + 17), thumb);
    }
}

TEST_F(SliderTest, ThumbDraggedByRealMouse) {
    GlowSliderWidget* s = MakeSlider(GlowSliderParams());
    nextModifiers = -1;
    Paint();
    glowtest::Pump(50);
    const std::string xid = std::to_string(glowtest::XWindowOf(subwindow));
    glowtest::Xdotool("mousemove --window " + xid + " 25 25 mousedown 1");
    ASSERT_TRUE(glowtest::PumpUntil([s] { return s->IsDragging(); }));
    glowtest::Xdotool("mousemove --window " + xid + " 50 26");
    glowtest::Pump(50);
    glowtest::Xdotool("mousemove --window " + xid + " 75 27 mouseup 1");
    ASSERT_TRUE(glowtest::PumpUntil([s] { return !s->IsDragging(); }));
    EXPECT_DOUBLE_EQ(s->GetValue(), 0.5);
    const Messages messages = Take();
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages.back(), "0.5 released b0 m0");
}

// ---------------------------------------------------------------------------
// Labelled sliders

TEST_F(SliderTest, WithoutFormatsTheLabelsAreEmptyAndTakeNoRoom) {
    GlowLabeledSliderWidget* s = MakeLabeled(GlowLabeledSliderParams());
    for (glow::GlowLabelWidget* label : {static_cast<glow::GlowLabelWidget*>(s->ValueLabel()),
                                         static_cast<glow::GlowLabelWidget*>(s->MinLabel()),
                                         static_cast<glow::GlowLabelWidget*>(s->MaxLabel())}) {
        ASSERT_NE(label, nullptr);
        EXPECT_STREQ(label->GetText(), "");
    }
    // The empty value label waits in its 100 x 15 box left of the slider.
    EXPECT_EQ(s->ValueLabel()->PositionX(), -105);
    EXPECT_EQ(s->ValueLabel()->PositionY(), 7);
    EXPECT_EQ(s->ValueLabel()->Width(), 100);
    EXPECT_EQ(s->ValueLabel()->Height(), 15);
    int l, r, t, b;
    EXPECT_EQ(s->AutoPack(0, 200, 0, glow::unspecifiedPos, glow::expandPreferredSize,
                          glow::preferredSize, l, r, t, b),
              0);
    EXPECT_EQ(s->Width(), 200);
    EXPECT_EQ(l + r + t + b, 0);
}

TEST_F(SliderTest, ValueLabelTakesItsRoomOnEachSide) {
    const int none = glow::unspecifiedPos;
    for (int position = 0; position < 4; ++position) {
        SCOPED_TRACE(position);
        GlowLabeledSliderParams p;
        p.labelFormat = "%.1f";
        p.value = 0.5;
        p.labelPosition = position;
        GlowLabeledSliderWidget* s = MakeLabeled(p);
        int lw, lh;
        s->ValueLabel()->GetPreferredSize(lw, lh);
        int l, r, t, b;
        ASSERT_EQ(s->AutoPack(0, 300, 0, 100, glow::expandPreferredSize, glow::expandPreferredSize,
                              l, r, t, b),
                  0);
        const bool beside = position < 2;
        EXPECT_EQ(s->Width(), beside ? 300 - (lw + 5) : 300);
        EXPECT_EQ(s->Height(), beside ? 100 : 100 - (lh + 5));
        EXPECT_EQ(l, position == 0 ? lw + 5 : 0);
        EXPECT_EQ(r, position == 1 ? lw + 5 : 0);
        EXPECT_EQ(t, position == 2 ? lh + 5 : 0);
        EXPECT_EQ(b, position == 3 ? lh + 5 : 0);
        const int W = s->Width(), H = s->Height();
        const int expectX[] = {-lw - 5, W + 5, (W - lw) / 2, (W - lw) / 2};
        const int expectY[] = {(H - lh) / 2, (H - lh) / 2, -lh - 5, H + 5};
        EXPECT_EQ(s->ValueLabel()->PositionX(), expectX[position]);
        EXPECT_EQ(s->ValueLabel()->PositionY(), expectY[position]);
        EXPECT_EQ(s->ValueLabel()->Width(), lw);
        delete s;
    }
    // Too narrow for the label and two pixels of slider.
    GlowLabeledSliderParams p;
    p.labelFormat = "%.1f";
    GlowLabeledSliderWidget* s = MakeLabeled(p);
    int lw, lh, l, r, t, b;
    s->ValueLabel()->GetPreferredSize(lw, lh);
    EXPECT_EQ(s->AutoPack(0, lw + 6, 0, none, 2, 1, l, r, t, b), 1);
}

TEST_F(SliderTest, EndLabelsHangOnTheTickSide) {
    GlowLabeledSliderParams p;
    p.minMaxFormat = "%g";
    p.labelFormat = "%g";
    p.labelPosition = glow::GlowWidgetLabelHelper::bottomLabel;
    p.minimum = 0;
    p.maximum = 100;
    GlowLabeledSliderWidget* s = MakeLabeled(p);
    int l, r, t, b;
    ASSERT_EQ(s->AutoPack(0, 200, 0, glow::unspecifiedPos, 2, 1, l, r, t, b), 0);
    const int H = s->Height();
    const int band = std::max(s->MinLabel()->Height(), s->MaxLabel()->Height());
    EXPECT_EQ(s->MinMaxSize(), band);
    EXPECT_STREQ(s->MinLabel()->GetText(), "0");
    EXPECT_STREQ(s->MaxLabel()->GetText(), "100");
    // Below the slider, each centred on the thumb's end position (to the
    // pixel: the halves are whole pixels).
    EXPECT_EQ(s->MinLabel()->PositionY(), H);
    EXPECT_NEAR(s->MinLabel()->PositionX() + s->MinLabel()->Width() / 2.0, H / 2.0, 1.0);
    EXPECT_NEAR(s->MaxLabel()->PositionX() + s->MaxLabel()->Width() / 2.0, s->Width() - H / 2.0,
                1.0);
    // The value label below them, one spacing further down.
    EXPECT_EQ(s->ValueLabel()->PositionY(), H + band + 5);
    EXPECT_EQ(b, band + s->LabelHeight() + 5);
    delete s;

    // Reversed: the maximum at the left end; flipped: the labels above.
    p.options = glow::reversed | glow::ticksFlipped;
    p.labelPosition = glow::GlowWidgetLabelHelper::leftLabel;
    s = MakeLabeled(p);
    ASSERT_EQ(s->AutoPack(0, 200, 0, glow::unspecifiedPos, 2, 1, l, r, t, b), 0);
    EXPECT_LT(s->MaxLabel()->PositionX(), s->MinLabel()->PositionX());
    EXPECT_EQ(s->MaxLabel()->PositionY(), -s->MinMaxSize());
    EXPECT_EQ(t, s->MinMaxSize());
}

// A vertical slider, 30 x 130 at (150, 60): its end labels beside it on the
// tick side, at the ends the range puts them; its value label beyond them
// when both are on one side, with the room for both as margins.
TEST_F(SliderTest, VerticalEndLabelsAndTheValueLabel) {
    struct Sizes {
        int W, H;    // the slider
        int m;       // the end labels' band
        int lw, lh;  // the value label
    };
    struct Placed {
        int x, y;                      // the value label
        int left, right, top, bottom;  // the margins auto-pack asks for
    };
    const struct {
        const char* name;
        int options;
        int position;
        bool minAtTop;
        bool onTheRight;
        Placed (*expected)(const Sizes&);
    } cases[] = {
        {"value on the right, beyond the end labels", 0, glow::GlowWidgetLabelHelper::rightLabel,
         true, true,
         [](const Sizes& s) {
             return Placed{s.W + s.m + 5, (s.H - s.lh) / 2, 0, s.m + s.lw + 5, 0, 0};
         }},
        {"reversed, value on the other side", glow::reversed,
         glow::GlowWidgetLabelHelper::leftLabel, false, true,
         [](const Sizes& s) { return Placed{-s.lw - 5, (s.H - s.lh) / 2, s.lw + 5, s.m, 0, 0}; }},
        {"flipped, value beyond the end labels on the left", glow::ticksFlipped,
         glow::GlowWidgetLabelHelper::leftLabel, true, false,
         [](const Sizes& s) {
             return Placed{-s.m - s.lw - 5, (s.H - s.lh) / 2, s.m + s.lw + 5, 0, 0, 0};
         }},
        {"flipped and reversed, value below", glow::ticksFlipped | glow::reversed,
         glow::GlowWidgetLabelHelper::bottomLabel, false, false,
         [](const Sizes& s) { return Placed{(s.W - s.lw) / 2, s.H + 5, s.m, 0, 0, s.lh + 5}; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GlowLabeledSliderParams p;
        p.width = 30;
        p.height = 130;
        p.minimum = 0;
        p.maximum = 100;
        p.value = 50;
        p.numTicks = 3;
        p.options = static_cast<glow::GlowSliderOptions>(c.options);
        p.minMaxFormat = "%g";
        p.labelFormat = "%g";
        p.labelPosition = c.position;
        GlowLabeledSliderWidget* s = MakeLabeled(p, 150, 60);
        int l, r, t, b;
        ASSERT_EQ(s->AutoPack(150, glow::unspecifiedPos, 60, glow::unspecifiedPos,
                              glow::preferredSize | glow::leftPos,
                              glow::preferredSize | glow::topPos, l, r, t, b),
                  0);
        const int W = s->Width(), H = s->Height();
        ASSERT_EQ(W, 30);
        ASSERT_EQ(H, 130);
        const glow::GlowWidget* minLabel = s->MinLabel();
        const glow::GlowWidget* maxLabel = s->MaxLabel();
        const int m = std::max(minLabel->Width(), maxLabel->Width());
        EXPECT_EQ(s->MinMaxSize(), m);
        // Beside the slider on the tick side, against it.
        for (const glow::GlowWidget* label : {minLabel, maxLabel}) {
            EXPECT_EQ(label->PositionX(), c.onTheRight ? W : -label->Width());
            ASSERT_LE(label->Height(), W);
        }
        // Each centred on the thumb's end position (half the breadth from
        // its end), the minimum's at the top unless reversed.
        const glow::GlowWidget* top = c.minAtTop ? minLabel : maxLabel;
        const glow::GlowWidget* bottom = c.minAtTop ? maxLabel : minLabel;
        EXPECT_EQ(top->PositionY(), (W - top->Height()) / 2);
        EXPECT_EQ(bottom->PositionY(), (2 * H - W - bottom->Height()) / 2);

        const glow::GlowWidget* value = s->ValueLabel();
        const Sizes sizes{W, H, m, s->LabelWidth(), s->LabelHeight()};
        const Placed want = c.expected(sizes);
        EXPECT_EQ(value->PositionX(), want.x);
        EXPECT_EQ(value->PositionY(), want.y);
        EXPECT_EQ(value->Width(), sizes.lw);
        EXPECT_EQ(l, want.left);
        EXPECT_EQ(r, want.right);
        EXPECT_EQ(t, want.top);
        EXPECT_EQ(b, want.bottom);
        // The slider itself sits inside the margins of the box it was given.
        EXPECT_EQ(s->PositionX(), 150 + want.left);
        EXPECT_EQ(s->PositionY(), 60 + want.top);
        Paint();
        Shot(std::string("labelled_vertical_") + std::to_string(&c - cases));
        delete s;
    }
}

TEST_F(SliderTest, LabelsFollowTheValueAtEachPaint) {
    GlowLabeledSliderParams p;
    p.labelFormat = "%.9f";
    p.value = 0.1;
    GlowLabeledSliderWidget* s = MakeLabeled(p, 150, 100);
    // A double all the way: no float digits creep in.
    EXPECT_STREQ(s->ValueLabel()->GetText(), "0.100000000");
    s->AutoPackDefault();
    EndEvent();
    const int width = s->ValueLabel()->Width();
    // Drag the thumb to the far end: the text follows at the next paint,
    // the label keeps its width until the next auto-pack.
    Press(150 + 15, 100 + 15);
    Drag(150 + 400, 100 + 15);
    Release(150 + 400, 100 + 15);
    EXPECT_STREQ(s->ValueLabel()->GetText(), "0.100000000");
    Paint();
    EXPECT_STREQ(s->ValueLabel()->GetText(), "1.000000000");
    EXPECT_EQ(s->ValueLabel()->Width(), width);
    Shot("labelled_slider");
    Take();

    // A format that printf should never see shows the number through "%g".
    GlowLabeledSliderParams hostile;
    hostile.labelFormat = "%s%n%d";
    hostile.minMaxFormat = "%*f";
    hostile.value = 0.5;
    s = MakeLabeled(hostile, 150, 180);
    EXPECT_STREQ(s->ValueLabel()->GetText(), "0.5");
    EXPECT_STREQ(s->MinLabel()->GetText(), "0");
    EXPECT_STREQ(s->MaxLabel()->GetText(), "1");
}

}  // namespace
