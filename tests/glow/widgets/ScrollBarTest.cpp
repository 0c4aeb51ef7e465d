// Scroll bars: parts, steps and messages, the shared auto-repeat timer
// driven through the toolkit's timer callback, gestures ended by
// deactivation, the look, auto-pack, and a thumb dragged by real X input.

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "glow/widgets/GlowScrollBarWidget.h"
#include "glow/widgets/Glow_ScrollBar_TimerFunc.h"
#include "tests/glow/widgets/WidgetFixture.h"

namespace {

using glow::Glow;
using glow::Glow_ScrollBar_TimerFunc;
using glow::GlowColor;
using glow::GlowScrollBarMessage;
using glow::GlowScrollBarWidget;

// "part top" for a step or drag, "part top released" for the release, each
// with the button and modifiers it carries.
class BarRecorder : public glow::TReceiver<const GlowScrollBarMessage&> {
public:
    void OnMessage(const GlowScrollBarMessage& m) override {
        std::ostringstream s;
        s << m.part << " " << m.topEntry << (m.released ? " released" : "") << " b" << m.mouseButton
          << " m" << m.modifiers;
        messages.push_back(s.str());
        if (expected != nullptr) {
            EXPECT_EQ(m.widget, expected);
        }
    }
    std::vector<std::string> messages;
    GlowScrollBarWidget* expected = nullptr;
};

Glow_ScrollBar_TimerFunc& Timer() {
    return *Glow_ScrollBar_TimerFunc::instance;
}

class ScrollBarTest : public widgettest::WidgetFixture {
protected:
    // A bar at (x, y) of the subwindow.
    GlowScrollBarWidget* MakeBar(int width, int height, int minimum, int maximum, int span, int top,
                                 int x = 10, int y = 10) {
        return MakeBar(Params(width, height, minimum, maximum, span, top, x, y));
    }
    GlowScrollBarWidget* MakeBar(glow::GlowScrollBarParams p) {
        p.receiver = &recorder;
        auto* bar = new GlowScrollBarWidget;
        bar->Init(Root(), nullptr, p);
        EndEvent();
        recorder.expected = bar;
        return bar;
    }
    static glow::GlowScrollBarParams Params(int width, int height, int minimum, int maximum,
                                            int span, int top, int x = 10, int y = 10) {
        glow::GlowScrollBarParams p;
        p.x = x;
        p.y = y;
        p.width = width;
        p.height = height;
        p.minimum = minimum;
        p.maximum = maximum;
        p.span = span;
        p.topEntry = top;
        return p;
    }
    // Fires the pending repeat as GLUT would.
    void FireRepeat() {
        ASSERT_TRUE(Timer().IsPending());
        Glow::OnGlutTimer(Timer().TimerId());
    }
    // The messages of a gesture with one step (or drag) and its release,
    // both "part top" with the left button.
    static std::vector<std::string> OneStep(const std::string& step) {
        return {step + " b0 m0", step + " released b0 m0"};
    }
    std::vector<std::string> Take() {
        std::vector<std::string> taken;
        taken.swap(recorder.messages);
        return taken;
    }
    void TearDown() override {
        // No repeat outlives its bar.
        WidgetFixture::TearDown();
        EXPECT_FALSE(Timer().IsPending());
        EXPECT_EQ(Timer().ScrollBar(), nullptr);
    }

    BarRecorder recorder;
};

using Messages = std::vector<std::string>;

// 160 x 20 at (10, 10): one 20-pixel arrow at each end, the trough from 20
// to 140; 0 to 100 with span 10 leaves the least (square) thumb 20 pixels
// long, 100 pixels to travel over 90 entries.
TEST_F(ScrollBarTest, EachPartStepsAndReportsWithThePressButton) {
    GlowScrollBarWidget* bar = MakeBar(160, 20, 0, 100, 10, 50);
    const struct {
        const char* name;
        int x;
        int top;
        int part;
    } presses[] = {
        {"minus arrow", 10 + 5, 49, GlowScrollBarWidget::minusArrowPart},
        {"plus arrow", 10 + 155, 50, GlowScrollBarWidget::plusArrowPart},
        {"trough before the thumb", 10 + 30, 40, GlowScrollBarWidget::minusPagePart},
        {"trough after the thumb", 10 + 130, 50, GlowScrollBarWidget::plusPagePart},
    };
    for (const auto& p : presses) {
        SCOPED_TRACE(p.name);
        Press(p.x, 20, 2, 1);
        EXPECT_EQ(bar->GetPart(), p.part);
        Release(p.x, 20, 2, 4);
        const std::string step = std::to_string(p.part) + " " + std::to_string(p.top);
        EXPECT_EQ(Take(), (Messages{step + " b2 m1", step + " released b2 m1"}));
        EXPECT_EQ(bar->GetTopEntry(), p.top);
        EXPECT_EQ(bar->GetPart(), GlowScrollBarWidget::noPart);
    }
    // At its limit an arrow still reports, with the top entry unchanged.
    GlowScrollBarWidget* low = MakeBar(160, 20, 0, 100, 10, 0, 10, 60);
    Click(10 + 5, 70);
    EXPECT_EQ(Take(), (Messages{"1 0 b0 m0", "1 0 released b0 m0"}));
    EXPECT_EQ(low->GetTopEntry(), 0);
}

TEST_F(ScrollBarTest, ThumbDragReportsChangesAndOneRelease) {
    // 80 x 20, no arrows, 0 to 100 with span 50: a 40-pixel thumb with 40
    // pixels to go over 50 entries.
    GlowScrollBarWidget* bar = MakeBar(80, 20, 0, 100, 50, 0);
    Press(10 + 20, 20);
    EXPECT_EQ(bar->GetPart(), GlowScrollBarWidget::thumbPart);
    EXPECT_TRUE(Take().empty());
    Drag(10 + 20, 25);  // no change, no message
    EXPECT_TRUE(Take().empty());
    // Ten pixels are 12.5 entries: exactly half way goes up.
    Drag(10 + 30, 20);
    EXPECT_EQ(Take(), (Messages{"5 13 b0 m0"}));
    // The release position counts, without a drag message of its own.
    Release(10 + 31, 200);
    EXPECT_EQ(Take(), (Messages{"5 14 released b0 m0"}));
    EXPECT_EQ(bar->GetTopEntry(), 14);
    // Far beyond the ends the thumb stops at them.
    Press(10 + 35, 20);
    Drag(500, 20);
    Drag(-500, 20);
    Release(-500, 20);
    EXPECT_EQ(Take(), (Messages{"5 50 b0 m0", "5 0 b0 m0", "5 0 released b0 m0"}));
    // A second button while one holds the bar is ignored.
    Press(10 + 5, 20, 0);
    Press(10 + 5, 20, 2);
    EXPECT_EQ(bar->GetPart(), GlowScrollBarWidget::thumbPart);
    Release(10 + 5, 20, 0);
    EXPECT_EQ(Take(), (Messages{"5 0 released b0 m0"}));
}

TEST_F(ScrollBarTest, HeldArrowRepeatsThroughTheSharedTimer) {
    GlowScrollBarWidget* bar = MakeBar(160, 20, 0, 100, 10, 50);
    Press(10 + 5, 20);
    EXPECT_EQ(Take(), (Messages{"1 49 b0 m0"}));
    // The step asks the next paint for the first delay.
    EXPECT_EQ(bar->PendingDelay(), 400);
    EXPECT_FALSE(Timer().IsPending());
    Paint();
    EXPECT_EQ(bar->PendingDelay(), 0);
    EXPECT_EQ(Timer().ScrollBar(), bar);
    FireRepeat();
    EXPECT_EQ(Take(), (Messages{"1 48 b0 m0"}));
    EXPECT_EQ(bar->PendingDelay(), 50);
    Paint();
    FireRepeat();
    EXPECT_EQ(Take(), (Messages{"1 47 b0 m0"}));

    // Out of the arrow the repeat stops at once; back in, it resumes 1 ms
    // after the next paint.
    Paint();
    Drag(10 + 60, 20);
    EXPECT_FALSE(bar->IsInPart());
    EXPECT_FALSE(Timer().IsPending());
    Paint();
    EXPECT_FALSE(Timer().IsPending());
    Drag(10 + 3, 20);
    EXPECT_EQ(bar->PendingDelay(), 1);
    Paint();
    FireRepeat();
    EXPECT_EQ(Take(), (Messages{"1 46 b0 m0"}));

    // The release ends it, whatever is pending.
    Paint();
    ASSERT_TRUE(Timer().IsPending());
    Release(10 + 3, 20);
    EXPECT_FALSE(Timer().IsPending());
    EXPECT_EQ(bar->PendingDelay(), 0);
    Paint();
    EXPECT_FALSE(Timer().IsPending());
    EXPECT_EQ(Take(), (Messages{"1 46 released b0 m0"}));
}

TEST_F(ScrollBarTest, QuickClickLeavesNoRepeat) {
    GlowScrollBarWidget* bar = MakeBar(160, 20, 0, 100, 10, 50);
    Click(10 + 5, 20);
    Paint();
    EXPECT_FALSE(Timer().IsPending());
    EXPECT_EQ(bar->PendingDelay(), 0);
    EXPECT_EQ(Take(), (Messages{"1 49 b0 m0", "1 49 released b0 m0"}));
}

TEST_F(ScrollBarTest, StaleRepeatsAreIgnored) {
    GlowScrollBarWidget* first = MakeBar(160, 20, 0, 100, 10, 50);
    GlowScrollBarWidget* second = MakeBar(160, 20, 0, 100, 10, 50, 10, 60);
    recorder.expected = nullptr;
    Press(10 + 5, 20);
    Paint();
    const int id = Timer().TimerId();
    ASSERT_NE(id, 0);
    // A message of another timer does nothing.
    Timer().OnMessage(glow::GlowTimerMessage(id + 1000));
    EXPECT_EQ(Take().size(), 1u);
    EXPECT_TRUE(Glow::IsTimerPending(id));
    Release(10 + 5, 20);
    Take();

    // The next bar's repeat replaces the first one's: one timer at a time.
    Press(10 + 5, 20, 0);
    Paint();
    const int firstId = Timer().TimerId();
    Press(10 + 5, 70, 2);
    Paint();
    EXPECT_FALSE(Glow::IsTimerPending(firstId));
    EXPECT_EQ(Timer().ScrollBar(), second);
    Release(10 + 5, 70, 2);
    Release(10 + 5, 20, 0);
    EXPECT_EQ(first->GetTopEntry(), 48);
    EXPECT_EQ(second->GetTopEntry(), 49);
    Take();

    // A repeat for a bar that holds no part steps nothing.
    Timer().Start(1, first);
    FireRepeat();
    EXPECT_TRUE(Take().empty());
    EXPECT_EQ(first->GetTopEntry(), 48);
}

TEST_F(ScrollBarTest, DeactivatedOrHiddenDuringAHoldEndsTheGesture) {
    GlowScrollBarWidget* bar = MakeBar(160, 20, 0, 100, 10, 50);
    Press(10 + 5, 20, 1, 2);
    Paint();
    ASSERT_TRUE(Timer().IsPending());
    bar->Deactivate();
    EndEvent();
    EXPECT_EQ(bar->GetPart(), GlowScrollBarWidget::noPart);
    EXPECT_FALSE(Timer().IsPending());
    EXPECT_EQ(Take(), (Messages{"1 49 b1 m2", "1 49 released b1 m2"}));
    // Its release, if it came, would find no gesture.
    Release(10 + 5, 20, 1);
    EXPECT_TRUE(Take().empty());

    bar->Activate();
    EndEvent();
    Press(10 + 30, 20);
    Paint();
    bar->Hide();
    EndEvent();
    EXPECT_FALSE(Timer().IsPending());
    EXPECT_EQ(Take(), (Messages{"3 39 b0 m0", "3 39 released b0 m0"}));
}

TEST_F(ScrollBarTest, HeldPageStopsWhenTheThumbReachesTheMouse) {
    GlowScrollBarWidget* bar = MakeBar(160, 20, 0, 100, 10, 50);
    Press(10 + 30, 20);
    for (int i = 0; i < 4; ++i) {
        Paint();
        FireRepeat();
    }
    EXPECT_EQ(Take(),
              (Messages{"3 40 b0 m0", "3 30 b0 m0", "3 20 b0 m0", "3 10 b0 m0", "3 0 b0 m0"}));
    // The thumb covers the mouse now: no more steps.
    EXPECT_FALSE(bar->IsInPart());
    Paint();
    EXPECT_FALSE(Timer().IsPending());
    Release(10 + 30, 20);
}

TEST_F(ScrollBarTest, LookOfTroughThumbAndArrows) {
    // 0 to 200 with span 50 at top 50: a 30-pixel thumb from 50 to 80.
    GlowScrollBarWidget* bar = MakeBar(160, 20, 0, 200, 50, 50);
    GlowScrollBarWidget* vertical = MakeBar(20, 160, 0, 200, 50, 50, 200, 10);
    recorder.expected = nullptr;
    Paint();
    Shot("scrollbars");
    const GlowColor trough(127, 127, 127, 255), thumb(178, 178, 178, 255);
    EXPECT_COLOR(Color(10 + 30, 20), trough);
    EXPECT_COLOR(Color(10 + 55, 20), thumb);
    EXPECT_COLOR(Color(10 + 100, 20), trough);
    EXPECT_COLOR(Color(10 + 4, 20), thumb);                      // the arrow box, left of its arrow
    EXPECT_COLOR(Color(10 + 9, 20), GlowColor(0, 0, 255, 255));  // the arrow
    // The light falls from the top left: a light top edge, a dark bottom.
    EXPECT_COLOR(Color(10 + 65, 10), GlowColor(255, 255, 255, 255));
    EXPECT_COLOR(Color(10 + 65, 29), GlowColor(76, 76, 76, 255));
    // The vertical bar runs from the top: its thumb from 50 to 80 down.
    EXPECT_COLOR(Color(210, 10 + 30), trough);
    EXPECT_COLOR(Color(210, 10 + 55), thumb);
    EXPECT_COLOR(Color(200, 10 + 65), GlowColor(255, 255, 255, 255));
    EXPECT_COLOR(Color(219, 10 + 65), GlowColor(76, 76, 76, 255));

    // A held page: its part of the trough is pressed, the other is not.
    Press(10 + 120, 20);  // top 100: the thumb from 80 to 110
    Paint();
    Shot("scrollbar_page_held");
    EXPECT_COLOR(Color(10 + 125, 20), GlowColor(153, 127, 127, 255));
    EXPECT_COLOR(Color(10 + 30, 20), trough);
    EXPECT_COLOR(Color(10 + 84, 20), thumb);
    Release(10 + 120, 20);

    bar->Deactivate();
    EndEvent();
    Paint();
    EXPECT_COLOR(Color(10 + 30, 20), GlowColor(204, 204, 204, 255));
    EXPECT_COLOR(Color(10 + 30, 10), GlowColor(76, 76, 76, 255));  // outline
    EXPECT_COLOR(Color(10 + 30, 29), GlowColor(76, 76, 76, 255));
    Take();
    (void)vertical;
}

// The bar paints in the colours of its params, not in the defaults.
TEST_F(ScrollBarTest, ColoursComeFromTheParams) {
    glow::GlowScrollBarParams p = Params(160, 20, 0, 200, 50, 50);
    const GlowColor trough(10, 20, 30, 255), thumb(40, 50, 60, 255), box(70, 80, 90, 255);
    const GlowColor arrow(100, 110, 120, 255), light(130, 140, 150, 255), dark(160, 170, 180, 255);
    p.troughColor = trough;
    p.thumbColor = thumb;
    p.arrowBoxColor = box;
    p.arrowColor = arrow;
    p.lightBevelColor = light;
    p.darkBevelColor = dark;
    MakeBar(p);
    Paint();
    // The thumb from 50 to 80, as in the look above.
    EXPECT_COLOR(Color(10 + 30, 20), trough);
    EXPECT_COLOR(Color(10 + 55, 20), thumb);
    EXPECT_COLOR(Color(10 + 4, 20), box);
    EXPECT_COLOR(Color(10 + 9, 20), arrow);
    EXPECT_COLOR(Color(10 + 65, 10), light);
    EXPECT_COLOR(Color(10 + 65, 29), dark);
    // The grip about the thumb's centre at 65: light lines 4.5, 0.5 and
    // 3.5 pixels before, at and after it, dark ones beside them, from 4
    // pixels below the top edge to 6 above the bottom edge.
    for (int column : {60, 64, 68}) {
        SCOPED_TRACE(column);
        EXPECT_COLOR(Color(10 + column, 10 + 8), light);
        EXPECT_COLOR(Color(10 + column + 1, 10 + 8), dark);
        EXPECT_COLOR(Color(10 + column, 10 + 2), thumb);
        EXPECT_COLOR(Color(10 + column, 10 + 15), thumb);
    }
}

TEST_F(ScrollBarTest, AutoPackTakesNoSizeThatIsNotGiven) {
    const int none = glow::unspecifiedPos;
    const struct {
        const char* name;
        int width, height;
        int right, bottom, hOption, vOption;
        int result, newWidth, newHeight;
    } cases[] = {
        {"preferred keeps the length, breadth 20", 120, 30, none, none, 1, 1, 0, 120, 20},
        {"expand takes the length, not the breadth", 120, 20, 200, 50, 2, 2, 0, 200, 20},
        {"forced takes both", 120, 20, 200, 50, 3, 3, 0, 200, 50},
        {"forced length without a size", 120, 20, none, 50, 3, 1, 1, 120, 20},
        {"forced breadth without a size", 120, 20, 200, none, 1, 3, 2, 120, 20},
        {"below 16 wide", 120, 20, 15, 50, 0, 0, 1, 120, 20},
        {"below 16 high", 120, 20, 200, 15, 0, 0, 2, 120, 20},
        {"vertical: breadth across", 30, 120, none, none, 1, 1, 0, 20, 120},
        {"vertical forced length without a size", 20, 120, 50, none, 1, 3, 2, 20, 120},
        {"square runs along x", 40, 40, none, none, 1, 1, 0, 40, 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GlowScrollBarWidget* bar = MakeBar(c.width, c.height, 0, 10, 1, 0);
        int l, r, t, b;
        EXPECT_EQ(bar->AutoPack(0, c.right, 0, c.bottom, c.hOption, c.vOption, l, r, t, b),
                  c.result);
        EXPECT_EQ(bar->Width(), c.newWidth);
        EXPECT_EQ(bar->Height(), c.newHeight);
        delete bar;
    }
    // A square bar reads the mouse along x, as it draws.
    GlowScrollBarWidget* square = MakeBar(40, 40, 0, 10, 1, 0);
    float position = 0;
    EXPECT_TRUE(square->PointToPosition(10, 30, position));
    EXPECT_FLOAT_EQ(position, -0.5f);
}

TEST_F(ScrollBarTest, ThumbDraggedByRealMouse) {
    // 0 to 100 with span 50 on a 160-pixel bar: a 60-pixel thumb from 20.
    GlowScrollBarWidget* bar = MakeBar(160, 20, 0, 100, 50, 0);
    nextModifiers = -1;
    Paint();
    glowtest::Pump(50);
    const std::string xid = std::to_string(glowtest::XWindowOf(subwindow));
    glowtest::Xdotool("mousemove --window " + xid + " 60 20 mousedown 1");
    ASSERT_TRUE(glowtest::PumpUntil([bar] { return bar->GetPart() != 0; }));
    glowtest::Xdotool("mousemove --window " + xid + " 75 21");
    glowtest::Pump(50);
    glowtest::Xdotool("mousemove --window " + xid + " 90 22 mouseup 1");
    ASSERT_TRUE(glowtest::PumpUntil([bar] { return bar->GetPart() == 0; }));
    // 30 pixels of the 60 that are free: half of the 50 free entries.
    EXPECT_EQ(bar->GetTopEntry(), 25);
    const Messages messages = Take();
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages.back(), "5 25 released b0 m0");
    for (size_t i = 0; i + 1 < messages.size(); ++i) {
        EXPECT_EQ(messages[i].substr(0, 2), "5 ");
        EXPECT_EQ(messages[i].find("released"), std::string::npos);
    }
}

// 160 x 20 at (10, 10), 0 to 100 with span 10: the top entry stops at 90,
// however the user or the creator pushes it toward the maximum.
TEST_F(ScrollBarTest, TopEntryNeverPassesMaximumMinusSpan) {
    const struct {
        const char* name;
        int top;  // asked for at creation
        int arrowStep;
        int press;    // x of the press in the bar; -1: none
        int dragTo;   // x the press is dragged to before its release; -1: none
        int created;  // the top entry right after creation
        Messages messages;
    } cases[] = {
        {"created beyond the end", 95, 1, -1, -1, 90, {}},
        {"created far beyond", 1000, 1, -1, -1, 90, {}},
        {"an arrow step over the end", 88, 5, 155, -1, 88, OneStep("2 90")},
        // The thumb from 114 to 134: the page after it is 134 to 140.
        {"a page over the end", 85, 1, 137, -1, 85, OneStep("4 90")},
        // The thumb from 76 to 96.
        {"the thumb dragged past the end", 50, 1, 85, 1000, 50, OneStep("5 90")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        glow::GlowScrollBarParams p = Params(160, 20, 0, 100, 10, c.top);
        p.arrowStep = c.arrowStep;
        GlowScrollBarWidget* bar = MakeBar(p);
        EXPECT_EQ(bar->GetTopEntry(), c.created);
        if (c.press >= 0) {
            Press(10 + c.press, 20);
            const int releaseAt = c.dragTo >= 0 ? 10 + c.dragTo : 10 + c.press;
            if (c.dragTo >= 0) Drag(releaseAt, 20);
            Release(releaseAt, 20);
        }
        EXPECT_EQ(Take(), c.messages);
        EXPECT_EQ(bar->GetTopEntry(), 90);
        delete bar;
    }
}

// 200 x 20 is more than eight times as long as broad: two 20-pixel arrows at
// each end, from the left minus, plus (inner) ... minus (inner), plus.
TEST_F(ScrollBarTest, InnerArrowsStepTheirOwnWayAndTrackTheirOwnBox) {
    GlowScrollBarWidget* bar = MakeBar(200, 20, 0, 100, 10, 50);
    const struct {
        const char* name;
        int x;
        const char* step;
    } presses[] = {
        {"outer minus", 10, "1 49"},
        {"inner plus", 30, "2 50"},
        {"inner minus", 170, "1 49"},
        {"outer plus", 190, "2 50"},
    };
    for (const auto& p : presses) {
        SCOPED_TRACE(p.name);
        Click(10 + p.x, 20);
        EXPECT_EQ(Take(), OneStep(p.step));
    }

    // Held, the inner plus arrow lights up with the outer one, and only they.
    Press(10 + 30, 20);
    EXPECT_EQ(Take(), (Messages{"2 51 b0 m0"}));
    Paint();
    Shot("scrollbar_inner_arrow_held");
    const GlowColor box(178, 178, 178, 255), pressedBox(204, 153, 153, 255);
    const GlowColor arrow(0, 0, 255, 255), pressedArrow(255, 0, 0, 255);
    for (int start : {20, 180}) {
        SCOPED_TRACE(start);
        EXPECT_COLOR(Color(10 + start + 4, 20), pressedBox);
        EXPECT_COLOR(Color(10 + start + 10, 20), pressedArrow);
    }
    for (int start : {0, 160}) {
        SCOPED_TRACE(start);
        EXPECT_COLOR(Color(10 + start + 16, 20), box);
        EXPECT_COLOR(Color(10 + start + 9, 20), arrow);
    }
    // It repeats only while the mouse is in its own box, not in the other
    // plus arrow's nor in the arrow beside it.
    Drag(10 + 10, 20);
    EXPECT_FALSE(bar->IsInPart());
    Drag(10 + 190, 20);
    EXPECT_FALSE(bar->IsInPart());
    Drag(10 + 35, 20);
    EXPECT_TRUE(bar->IsInPart());
    EXPECT_EQ(bar->PendingDelay(), 1);
    Release(10 + 35, 20);
    EXPECT_EQ(Take(), (Messages{"2 51 released b0 m0"}));
}

// A bar taller than wide runs from the minimum at the top to the maximum at
// the bottom: 20 x 160 at (200, 10), its thumb from 76 to 96 down at 50.
TEST_F(ScrollBarTest, VerticalBarReadsTheMouseFromTheTopDown) {
    const struct {
        const char* name;
        int y;
        const char* step;
    } presses[] = {
        {"the top arrow points to the minimum", 5, "1 49"},
        {"the bottom arrow to the maximum", 155, "2 51"},
        {"above the thumb a page up", 40, "3 40"},
        {"below the thumb a page down", 120, "4 60"},
    };
    for (const auto& p : presses) {
        SCOPED_TRACE(p.name);
        GlowScrollBarWidget* bar = MakeBar(20, 160, 0, 100, 10, 50, 200, 10);
        Click(200 + 10, 10 + p.y);
        EXPECT_EQ(Take(), OneStep(p.step));
        delete bar;
    }
    // Dragged 20 pixels down of the 100 free: 18 entries further.
    GlowScrollBarWidget* bar = MakeBar(20, 160, 0, 100, 10, 50, 200, 10);
    Press(200 + 10, 10 + 85);
    Drag(200 + 12, 10 + 105);
    Release(200 + 12, 10 + 105);
    EXPECT_EQ(Take(), (Messages{"5 68 b0 m0", "5 68 released b0 m0"}));
    // Across the bar is x: beside it the held arrow no longer repeats.
    Press(200 + 10, 10 + 5);
    Drag(200 + 30, 10 + 5);
    EXPECT_FALSE(bar->IsInPart());
    Drag(200 + 10, 10 + 5);
    EXPECT_TRUE(bar->IsInPart());
    Release(200 + 10, 10 + 5);
    EXPECT_EQ(Take(), (Messages{"1 67 b0 m0", "1 67 released b0 m0"}));
}

TEST_F(ScrollBarTest, StepsAndDelaysComeFromTheParams) {
    glow::GlowScrollBarParams p = Params(160, 20, 0, 100, 10, 50);
    p.arrowStep = 3;
    p.pageStep = 7;
    p.firstDelay = 250;
    p.repeatInterval = 30;
    GlowScrollBarWidget* bar = MakeBar(p);
    Press(10 + 5, 20);
    EXPECT_EQ(bar->PendingDelay(), 250);
    Paint();
    FireRepeat();
    EXPECT_EQ(bar->PendingDelay(), 30);
    Release(10 + 5, 20);
    // At 44 the thumb runs from 69 to 89.
    Click(10 + 30, 20);
    Click(10 + 130, 20);
    EXPECT_EQ(Take(), (Messages{"1 47 b0 m0", "1 44 b0 m0", "1 44 released b0 m0", "3 37 b0 m0",
                                "3 37 released b0 m0", "4 44 b0 m0", "4 44 released b0 m0"}));
    delete bar;

    // The delays reach the timers that the main loop's own paints start: a
    // first delay of 1 ms repeats soon, an interval of an hour holds the
    // next repeat back, and so does a first delay of an hour.
    const int hour = 3600 * 1000;
    p.firstDelay = 1;
    p.repeatInterval = hour;
    bar = MakeBar(p);
    Press(10 + 5, 20);
    EXPECT_EQ(Take(), (Messages{"1 47 b0 m0"}));
    ASSERT_TRUE(glowtest::PumpUntil([this] { return !recorder.messages.empty(); }));
    glowtest::Pump(300);
    EXPECT_EQ(Take(), (Messages{"1 44 b0 m0"}));
    Release(10 + 5, 20);
    delete bar;
    Take();

    p.firstDelay = hour;
    bar = MakeBar(p);
    Press(10 + 5, 20);
    glowtest::Pump(300);
    EXPECT_EQ(Take(), (Messages{"1 47 b0 m0"}));
    Release(10 + 5, 20);
    Take();
}

}  // namespace
