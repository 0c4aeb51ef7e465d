// Text fields driven through their widget root under Xvfb: keys, mouse
// placement and drags, scrolling, the auto-scroll chain, the blink, packing,
// hidden and labelled fields, and what a field paints.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "glow/widgets/GlowHiddenTextFieldWidget.h"
#include "glow/widgets/GlowLabeledHiddenTextFieldWidget.h"
#include "glow/widgets/GlowLabeledTextFieldWidget.h"
#include "glow/widgets/GlowPanelWidget.h"
#include "glow/widgets/GlowTextFieldWidget.h"
#include "glow/widgets/Glow_TextField_AutoScrollTimer.h"
#include "tests/glow/widgets/GlowTextFieldTestFixture.h"

namespace {

using fieldtest::Rgb;
using glow::Glow;
using glow::Glow_TextField_AutoScrollTimer;
using glow::GlowTextFieldParams;
using glow::GlowTextFieldWidget;

constexpr int fieldX = 20;
constexpr int fieldY = 30;
constexpr int shift = 1;

const Rgb white{255, 255, 255};
const Rgb black{0, 0, 0};
const Rgb blue{0, 0, 255};
const Rgb caretGray{102, 102, 102};
const Rgb selectionPink{255, 204, 204};
const Rgb inactiveGray{204, 204, 204};
const Rgb borderGray{76, 76, 76};

int W(char c) {
    return glow::GlowWidget::CharWidth(glow::GlowFont(), c);
}
int W(const std::string& s) {
    int sum = 0;
    for (char c : s) sum += W(c);
    return sum;
}

class TextFieldTest : public fieldtest::WidgetWindowTest {
protected:
    GlowTextFieldWidget* MakeField(const char* text, int anchor = 0, int caret = 0,
                                   int width = 100) {
        GlowTextFieldParams params;
        params.x = fieldX;
        params.y = fieldY;
        params.width = width;
        params.text = text;
        params.selectionStart = anchor;
        params.selectionEnd = caret;
        auto* field = new GlowTextFieldWidget(sub, params);
        End();
        return field;
    }
    void Focus(GlowTextFieldWidget* field) {
        field->GrabKeyboardFocus();
        End();
    }
    // Window x of a widget-local x of the field.
    static int X(int localX) { return fieldX + localX; }
    static int Mid() { return fieldY + 12; }
    static void ExpectConsistent(const GlowTextFieldWidget* f) {
        EXPECT_EQ(f->Buffer().SelectionStart(), std::min(f->Anchor(), f->Caret()));
        EXPECT_EQ(f->Buffer().SelectionEnd(), std::max(f->Anchor(), f->Caret()));
    }
};

struct KeyCase {
    const char* name;
    const char* text;
    int anchor;
    int caret;
    int key;
    int modifiers;
    const char* expectText;
    int expectAnchor;
    int expectCaret;
};

const KeyCase keyCases[] = {
    {"printable replaces selection", "abc", 1, 2, 'x', 0, "axc", 2, 2},
    {"printable inserts at caret", "abc", 0, 0, 'Z', 0, "Zabc", 1, 1},
    {"modifiers do not matter", "abc", 3, 3, 'q', 2, "abcq", 4, 4},
    {"latin-1 byte is printable", "ab", 1, 1, 233, 0,
     "a\xe9"
     "b",
     2, 2},
    {"backspace erases before caret", "abc", 3, 3, 8, 0, "ab", 2, 2},
    {"delete erases before caret too", "abc", 1, 1, 127, 0, "bc", 0, 0},
    {"backspace erases selection only", "abcd", 3, 1, 8, 0, "ad", 1, 1},
    {"delete erases selection only", "abcd", 0, 4, 127, 0, "", 0, 0},
    {"backspace at start does nothing", "abc", 0, 0, 8, 0, "abc", 0, 0},
    {"left collapses from caret", "abcdef", 2, 5, 256 + GLUT_KEY_LEFT, 0, "abcdef", 4, 4},
    {"shift left extends from anchor", "abcdef", 2, 5, 256 + GLUT_KEY_LEFT, shift, "abcdef", 2, 4},
    {"shift right extends", "abcdef", 2, 5, 256 + GLUT_KEY_RIGHT, shift, "abcdef", 2, 6},
    {"right collapses", "abcdef", 5, 2, 256 + GLUT_KEY_RIGHT, 0, "abcdef", 3, 3},
    {"left at start", "abc", 0, 0, 256 + GLUT_KEY_LEFT, 0, "abc", 0, 0},
    {"right at end", "abc", 3, 3, 256 + GLUT_KEY_RIGHT, 0, "abc", 3, 3},
    {"enter ignored", "abc", 1, 2, 13, 0, "abc", 1, 2},
    {"escape ignored", "abc", 1, 2, 27, 0, "abc", 1, 2},
    {"control code ignored", "abc", 1, 1, 1, 0, "abc", 1, 1},
    {"up ignored", "abc", 1, 2, 256 + GLUT_KEY_UP, 0, "abc", 1, 2},
    {"down ignored", "abc", 1, 2, 256 + GLUT_KEY_DOWN, 0, "abc", 1, 2},
    {"home ignored", "abc", 1, 2, 256 + GLUT_KEY_HOME, 0, "abc", 1, 2},
    {"end ignored", "abc", 1, 2, 256 + GLUT_KEY_END, 0, "abc", 1, 2},
    {"function key ignored", "abc", 1, 2, 256 + GLUT_KEY_F1, 0, "abc", 1, 2},
};

TEST_F(TextFieldTest, KeyTable) {
    for (const KeyCase& c : keyCases) {
        SCOPED_TRACE(c.name);
        GlowTextFieldWidget* field = MakeField(c.text, c.anchor, c.caret);
        Focus(field);
        Key(c.key, c.modifiers);
        EXPECT_STREQ(field->GetText(), c.expectText);
        EXPECT_EQ(field->Anchor(), c.expectAnchor);
        EXPECT_EQ(field->Caret(), c.expectCaret);
        ExpectConsistent(field);
        delete field;
        End();
    }
}

TEST_F(TextFieldTest, InitialSelectionIsClampedToTheText) {
    GlowTextFieldWidget* field = MakeField("abc", 7, -2);
    EXPECT_EQ(field->Anchor(), 3);
    EXPECT_EQ(field->Caret(), 0);
    ExpectConsistent(field);
    Paint();  // nothing read outside the text
}

TEST_F(TextFieldTest, TabHandsTheFocusOnAndMovesTheBlink) {
    GlowTextFieldWidget* first = MakeField("one");
    GlowTextFieldParams params;
    params.x = fieldX;
    params.y = fieldY + 40;
    auto* second = new GlowTextFieldWidget(sub, params);
    End();
    Focus(first);
    EXPECT_TRUE(first->BlinkTask().IsPending());
    Key(9);
    EXPECT_FALSE(first->HasKeyboardFocus());
    EXPECT_TRUE(second->HasKeyboardFocus());
    EXPECT_FALSE(first->BlinkTask().IsPending());
    EXPECT_TRUE(second->BlinkTask().IsPending());
    EXPECT_STREQ(first->GetText(), "one");  // Tab types nothing
}

TEST_F(TextFieldTest, ClickPlacesTheCaretAtTheNearestBoundary) {
    const std::string text = "MiW";
    GlowTextFieldWidget* field = MakeField(text.c_str());
    const int m = field->TextMargin();
    struct {
        int localX;
        int caret;
    } cases[] = {
        {1, 0},                                      // left of the text area
        {m, 0},                                      // on the first left edge
        {m + (W('M') - 1) / 2, 0},                   // left of the middle
        {m + W('M') / 2 + (W('M') % 2 ? 1 : 0), 1},  // the middle (or just after it)
        {m + W('M'), 1},                             // right edge of M
        {m + W("MiW") - 1, 3},                       // inside the last half of W
        {99, 3},                                     // right of the last character
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.localX);
        Press(X(c.localX), Mid());
        Release(X(c.localX), Mid());
        EXPECT_EQ(field->Caret(), c.caret);
        EXPECT_EQ(field->Anchor(), c.caret);
    }
    EXPECT_TRUE(field->HasKeyboardFocus());  // the first click took it
}

TEST_F(TextFieldTest, ClickExactlyInTheMiddleGoesAfterTheCharacter) {
    // An even-width character has an exact middle.
    char even = 0;
    for (char c : std::string("MWmwABCDEFGHKNOPQRSUVXYZ")) {
        if (W(c) % 2 == 0) {
            even = c;
            break;
        }
    }
    ASSERT_NE(even, 0);
    GlowTextFieldWidget* field = MakeField(std::string(1, even).c_str());
    Press(X(field->TextMargin() + W(even) / 2), Mid());
    EXPECT_EQ(field->Caret(), 1);
    Release(X(field->TextMargin() + W(even) / 2), Mid());
}

TEST_F(TextFieldTest, ShiftClickExtendsAndDragSelects) {
    GlowTextFieldWidget* field = MakeField("abcdef");
    const int m = field->TextMargin();
    Press(X(m + W("a")), Mid());
    Release(X(m + W("a")), Mid());
    Press(X(m + W("abcd")), Mid(), shift);
    Release(X(m + W("abcd")), Mid(), shift);
    EXPECT_EQ(field->Anchor(), 1);
    EXPECT_EQ(field->Caret(), 4);
    ExpectConsistent(field);

    Press(X(m + W("ab")), Mid());
    Drag(X(m + W("abcde")), Mid() + 30);  // y does not matter
    EXPECT_EQ(field->Anchor(), 2);
    EXPECT_EQ(field->Caret(), 5);
    EXPECT_EQ(field->Buffer().SelectionStart(), 2);
    EXPECT_EQ(field->Buffer().SelectionEnd(), 5);
    Drag(X(m), Mid());
    Release(X(m), Mid());
    EXPECT_EQ(field->Anchor(), 2);
    EXPECT_EQ(field->Caret(), 0);
    ExpectConsistent(field);
    EXPECT_EQ(Glow_TextField_AutoScrollTimer::timerId, 0);
}

// "hello world", "hello" selected through real X input, then erased: the
// caret stands where the selection began, nothing stays selected, and the
// next typed key lands there. Each direction of selection, made with Shift
// and the arrows or by a drag, erased with Backspace or with Delete.
TEST_F(TextFieldTest, ErasingASelectionLeavesTheCaretAtItsStart) {
    enum Way { shiftArrows, mouseDrag };
    const struct {
        const char* name;
        bool leftToRight;
        Way way;
        const char* key;
    } cases[] = {
        {"shift+right, backspace", true, shiftArrows, "BackSpace"},
        {"shift+right, delete", true, shiftArrows, "Delete"},
        {"shift+left, backspace", false, shiftArrows, "BackSpace"},
        {"shift+left, delete", false, shiftArrows, "Delete"},
        {"drag right, backspace", true, mouseDrag, "BackSpace"},
        {"drag right, delete", true, mouseDrag, "Delete"},
        {"drag left, backspace", false, mouseDrag, "BackSpace"},
        {"drag left, delete", false, mouseDrag, "Delete"},
    };
    const std::string win = "--window " + std::to_string(glowtest::XWindowOf(sub));
    const auto moveTo = [&](int x) {
        return " mousemove " + win + " " + std::to_string(x) + " " + std::to_string(Mid());
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GlowTextFieldWidget* field = MakeField("hello world", 0, 0, 200);
        const int m = field->TextMargin();
        // Positions 0 and 5 ("hello") and where a press puts the caret there.
        const int from = c.leftToRight ? 0 : 5, to = c.leftToRight ? 5 : 0;
        const int fromX = X(m + W(std::string("hello").substr(0, from)));
        const int toX = X(m + W(std::string("hello").substr(0, to)));
        [&] {
            if (c.way == shiftArrows) {
                ASSERT_TRUE(glowtest::Xdotool(moveTo(fromX) + " click 1"));
                ASSERT_TRUE(glowtest::PumpUntil(
                    [&] { return field->HasKeyboardFocus() && field->Caret() == from; }));
                std::string keys = "key";
                for (int i = 0; i < 5; ++i) keys += c.leftToRight ? " shift+Right" : " shift+Left";
                ASSERT_TRUE(glowtest::Xdotool(keys));
            } else {
                ASSERT_TRUE(glowtest::Xdotool(moveTo(fromX) + " mousedown 1" +
                                              moveTo((fromX + toX) / 2) + moveTo(toX) +
                                              " mouseup 1"));
            }
            ASSERT_TRUE(glowtest::PumpUntil([&] {
                return field->Anchor() == from && field->Caret() == to;
            })) << "anchor "
                << field->Anchor() << ", caret " << field->Caret();
            EXPECT_EQ(field->Buffer().SelectionStart(), 0);
            EXPECT_EQ(field->Buffer().SelectionEnd(), 5);

            ASSERT_TRUE(glowtest::Xdotool(std::string("key ") + c.key));
            ASSERT_TRUE(glowtest::PumpUntil(
                [&] { return std::string(field->GetText()) != "hello world"; }));
            EXPECT_STREQ(field->GetText(), " world");
            EXPECT_EQ(field->Caret(), 0);
            EXPECT_EQ(field->Anchor(), 0);
            EXPECT_EQ(field->Buffer().SelectionStart(), field->Buffer().SelectionEnd());
            ExpectConsistent(field);

            ASSERT_TRUE(glowtest::Xdotool("key x"));
            ASSERT_TRUE(
                glowtest::PumpUntil([&] { return std::string(field->GetText()) != " world"; }));
            EXPECT_STREQ(field->GetText(), "x world");
            EXPECT_EQ(field->Caret(), 1);
            EXPECT_EQ(field->Anchor(), 1);
        }();
        delete field;
        End();
    }
}

TEST_F(TextFieldTest, TypingScrollsToKeepTheCaretOnTheRightEdge) {
    GlowTextFieldWidget* field = MakeField("", 0, 0, 60);
    Focus(field);
    const std::string typed = "the quick brown fox";
    for (char c : typed) Key(static_cast<unsigned char>(c));
    EXPECT_STREQ(field->GetText(), typed.c_str());
    const int m = field->TextMargin();
    EXPECT_EQ(field->ScrollOffset(), W(typed) - (60 - 2 * m));
    // Back to the start: the caret's character comes back to the left edge.
    for (size_t i = 0; i < typed.size(); ++i) Special(GLUT_KEY_LEFT);
    EXPECT_EQ(field->ScrollOffset(), 0);
    Special(GLUT_KEY_RIGHT);
    EXPECT_EQ(field->ScrollOffset(), 0);
}

TEST_F(TextFieldTest, AutoScrollStepsUntilTheEndOfTheText) {
    const std::string text = "0123456789abcdefghijklmnopqrstuvwxyz";
    GlowTextFieldWidget* field = MakeField(text.c_str());
    const int m = field->TextMargin();
    Press(X(50), Mid());
    Paint();  // the paint after a press starts the first step
    Glow_TextField_AutoScrollTimer* timer = Glow_TextField_AutoScrollTimer::instance;
    ASSERT_NE(Glow_TextField_AutoScrollTimer::timerId, 0);
    EXPECT_TRUE(Glow::IsTimerPending(Glow_TextField_AutoScrollTimer::timerId));
    EXPECT_EQ(timer->Field(), field);

    Drag(X(130), Mid());                  // 30 pixels right of the field
    EXPECT_EQ(field->ScrollOffset(), 0);  // a drag does not scroll by itself
    int steps = 0;
    int last = 0;
    while (field->Caret() < static_cast<int>(text.size()) && steps < 100) {
        const int id = Glow_TextField_AutoScrollTimer::timerId;
        ASSERT_NE(id, 0);
        Glow::OnGlutTimer(id);  // the step's timer fires
        ++steps;
        const int step = field->ScrollOffset() - last;
        last = field->ScrollOffset();
        if (field->Caret() < static_cast<int>(text.size())) {
            // About the mouse's distance from the text area's right edge.
            EXPECT_GE(step, 130 - (100 - m) - W('m'));
            EXPECT_LE(step, 130 - (100 - m) + W('m'));
        }
        Paint();
    }
    EXPECT_EQ(field->Caret(), static_cast<int>(text.size()));
    EXPECT_EQ(field->ScrollOffset(), W(text) - (100 - 2 * m));
    EXPECT_GT(steps, 2);
    Release(X(130), Mid());
    EXPECT_EQ(Glow_TextField_AutoScrollTimer::timerId, 0);
    EXPECT_EQ(timer->Field(), nullptr);
    EXPECT_FALSE(field->IsAutoScrollPending());
    Paint();
    EXPECT_EQ(Glow_TextField_AutoScrollTimer::timerId, 0);  // no new chain after the release
}

TEST_F(TextFieldTest, AutoScrollRunsOnItsTimer) {
    const std::string text = "0123456789abcdefghijklmnopqrstuvwxyz";
    GlowTextFieldWidget* field = MakeField(text.c_str());
    Press(X(50), Mid());
    Drag(X(130), Mid());
    EXPECT_TRUE(
        glowtest::PumpUntil([&] { return field->Caret() == static_cast<int>(text.size()); }));
    Release(X(130), Mid());
    EXPECT_EQ(Glow_TextField_AutoScrollTimer::timerId, 0);
    const int offset = field->ScrollOffset();
    glowtest::Pump(120);
    EXPECT_EQ(field->ScrollOffset(), offset);
}

TEST_F(TextFieldTest, AutoScrollIgnoresAStaleTimer) {
    GlowTextFieldWidget* field = MakeField("0123456789abcdefghijklmnopqrstuvwxyz");
    Press(X(50), Mid());
    Paint();
    Drag(X(130), Mid());
    const int id = Glow_TextField_AutoScrollTimer::timerId;
    ASSERT_NE(id, 0);
    Glow_TextField_AutoScrollTimer::instance->OnMessage(glow::GlowTimerMessage(id + 1000));
    EXPECT_EQ(field->ScrollOffset(), 0);
    EXPECT_EQ(Glow_TextField_AutoScrollTimer::timerId, id);
    Release(X(130), Mid());
}

TEST_F(TextFieldTest, OneChainAtATimeAndEachReleaseStopsOnlyItsOwn) {
    GlowTextFieldWidget* a = MakeField("0123456789abcdefghijklmnopqrstuvwxyz");
    GlowTextFieldParams params;
    params.x = fieldX;
    params.y = fieldY + 40;
    params.text = "0123456789abcdefghijklmnopqrstuvwxyz";
    auto* b = new GlowTextFieldWidget(sub, params);
    End();
    Press(X(50), Mid(), 0, 0);
    Paint();
    const int first = Glow_TextField_AutoScrollTimer::timerId;
    ASSERT_NE(first, 0);
    // A second button on the other field: its chain replaces the first.
    Press(X(50), fieldY + 52, 0, 2);
    Paint();
    const int second = Glow_TextField_AutoScrollTimer::timerId;
    EXPECT_NE(second, first);
    EXPECT_FALSE(Glow::IsTimerPending(first));
    EXPECT_EQ(Glow_TextField_AutoScrollTimer::instance->Field(), b);
    // The first field's release leaves the second's chain running.
    Release(X(50), Mid(), 0, 0);
    EXPECT_EQ(Glow_TextField_AutoScrollTimer::timerId, second);
    EXPECT_TRUE(Glow::IsTimerPending(second));
    EXPECT_FALSE(a->IsAutoScrollPending());
    Release(X(50), fieldY + 52, 0, 2);
    EXPECT_EQ(Glow_TextField_AutoScrollTimer::timerId, 0);
    EXPECT_FALSE(Glow::IsTimerPending(second));
}

TEST_F(TextFieldTest, ChainEndsWhenTheFieldGoesAwayMidDrag) {
    enum { hide, deactivate, destroy };
    for (int how : {hide, deactivate, destroy}) {
        SCOPED_TRACE(how);
        GlowTextFieldWidget* field = MakeField("0123456789abcdefghijklmnopqrstuvwxyz");
        Press(X(50), Mid());
        Paint();
        Drag(X(130), Mid());
        const int id = Glow_TextField_AutoScrollTimer::timerId;
        ASSERT_NE(id, 0);
        if (how == hide) field->Hide();
        if (how == deactivate) field->Deactivate();
        if (how == destroy) delete field;
        End();
        EXPECT_EQ(Glow_TextField_AutoScrollTimer::timerId, 0);
        EXPECT_FALSE(Glow::IsTimerPending(id));
        EXPECT_EQ(Glow_TextField_AutoScrollTimer::instance->Field(), nullptr);
        glowtest::Pump(80);  // no step arrives for a field that is gone
        if (how != destroy) {
            EXPECT_FALSE(field->IsAutoScrollPending());
            EXPECT_EQ(field->ScrollOffset(), 0);
            Paint();
            EXPECT_EQ(Glow_TextField_AutoScrollTimer::timerId, 0);
            delete field;
            End();
        }
        Release(X(130), Mid());
    }
}

TEST_F(TextFieldTest, BlinkFlipsOnlyWhileFocused) {
    GlowTextFieldWidget* field = MakeField("ab");
    EXPECT_FALSE(field->BlinkTask().IsPending());
    EXPECT_TRUE(field->IsCaretOn());
    Focus(field);
    ASSERT_TRUE(field->BlinkTask().IsPending());
    const int caretX = X(field->TextMargin());
    const int caretY = fieldY + field->TextMargin() + 6;
    EXPECT_EQ(At(Paint(), caretX, caretY), blue);

    field->BlinkTask().Execute();
    End();
    EXPECT_FALSE(field->IsCaretOn());
    EXPECT_TRUE(field->BlinkTask().IsPending());  // scheduled again
    EXPECT_EQ(At(Paint(), caretX, caretY), white);

    field->BlinkTask().Execute();
    End();
    EXPECT_TRUE(field->IsCaretOn());
    EXPECT_EQ(At(Paint(), caretX, caretY), blue);

    // Without the focus the caret always shows, in the plain caret colour.
    field->BlinkTask().Execute();
    End();
    ASSERT_FALSE(field->IsCaretOn());
    sub->SetKeyboardFocus(nullptr);
    End();
    EXPECT_FALSE(field->BlinkTask().IsPending());
    EXPECT_EQ(At(Paint(), caretX, caretY), caretGray);
    field->Deactivate();
    End();
    EXPECT_EQ(At(Paint(), caretX, caretY), caretGray);
}

TEST_F(TextFieldTest, BlinkRunsOnItsTimer) {
    GlowTextFieldParams params;
    params.x = fieldX;
    params.y = fieldY;
    params.blinkInterval = 40;
    auto* field = new GlowTextFieldWidget(sub, params);
    End();
    Focus(field);
    EXPECT_TRUE(glowtest::PumpUntil([field] { return !field->IsCaretOn(); }));
    EXPECT_TRUE(glowtest::PumpUntil([field] { return field->IsCaretOn(); }));
}

TEST_F(TextFieldTest, SelectionShowsOnlyWhileFocused) {
    GlowTextFieldWidget* field = MakeField("WWWW", 0, 4);
    const int m = field->TextMargin();
    const int x0 = X(m), x1 = X(m + W("WWWW")), y0 = fieldY + m, y1 = fieldY + m + 14;
    EXPECT_EQ(Count(Paint(), x0, y0, x1, y1, selectionPink), 0);
    Focus(field);
    const glowtest::Pixels focused = Paint();
    Save(focused, "textfield_selection");
    EXPECT_GT(Count(focused, x0, y0, x1, y1, selectionPink), (x1 - x0) * (y1 - y0) / 3);
    EXPECT_GT(Count(focused, x0, y0, x1, y1, black), 10);  // the text over it
    // Nothing outside the selection's rectangle.
    EXPECT_EQ(Count(focused, x1 + 1, y0, X(100), y1, selectionPink), 0);
    EXPECT_EQ(Count(focused, X(0), fieldY, X(100), y0, selectionPink), 0);
}

TEST_F(TextFieldTest, CaretColumnFollowsTheCaret) {
    GlowTextFieldWidget* field = MakeField("abc", 2, 2);
    const int m = field->TextMargin();
    const int column = X(m + W("ab"));
    const glowtest::Pixels p = Paint();
    Save(p, "textfield_caret");
    // The stem from one pixel below the line's top to its bottom, the bars
    // two pixels to each side.
    for (int y = fieldY + m + 1; y < fieldY + m + 14; ++y) EXPECT_EQ(At(p, column, y), caretGray);
    EXPECT_EQ(At(p, column - 2, fieldY + m + 1), caretGray);
    EXPECT_EQ(At(p, column + 2, fieldY + m + 1), caretGray);
    EXPECT_EQ(At(p, column - 2, fieldY + m + 13), caretGray);
    EXPECT_NE(At(p, column - 3, fieldY + m + 1), caretGray);
    EXPECT_NE(At(p, column + 3, fieldY + m + 1), caretGray);
}

TEST_F(TextFieldTest, NoTextInTheMarginsOfAScrolledField) {
    GlowTextFieldWidget* field = MakeField("");
    Focus(field);
    for (char c : std::string("WWWWWWWWWWWWWWWWWWWW")) Key(c);
    ASSERT_GT(field->ScrollOffset(), 0);
    field->BlinkTask().Execute();  // caret off: only the text is drawn
    End();
    const glowtest::Pixels p = Paint();
    Save(p, "textfield_scrolled");
    const int m = field->TextMargin();
    // Inside the bevel, outside the text area: background only.
    EXPECT_EQ(Count(p, X(2), fieldY + 2, X(m), fieldY + 22, white), (m - 2) * 20);
    EXPECT_EQ(Count(p, X(100 - m), fieldY + 2, X(98), fieldY + 22, white), (m - 2) * 20);
    EXPECT_GT(Count(p, X(m), fieldY + m, X(100 - m), fieldY + m + 14, black), 20);
}

TEST_F(TextFieldTest, InactiveFieldPaintsGreyWithAnOutline) {
    GlowTextFieldWidget* field = MakeField("abc");
    field->Deactivate();
    End();
    const glowtest::Pixels p = Paint();
    EXPECT_EQ(At(p, X(0), fieldY + 10), borderGray);
    EXPECT_EQ(At(p, X(99), fieldY + 10), borderGray);
    EXPECT_EQ(At(p, X(50), fieldY), borderGray);
    EXPECT_EQ(At(p, X(50), fieldY + 23), borderGray);
    EXPECT_EQ(At(p, X(60), fieldY + 10), inactiveGray);
    EXPECT_EQ(At(p, X(100), fieldY + 10), (Rgb{204, 204, 204}));  // the window behind
}

TEST_F(TextFieldTest, FrameOfEachStyle) {
    const Rgb fill{100, 150, 200}, light{250, 250, 0}, dark{0, 90, 0};
    const int styles[] = {GlowTextFieldParams::plainStyle, GlowTextFieldParams::etchedStyle,
                          GlowTextFieldParams::raisedStyle, GlowTextFieldParams::loweredStyle};
    for (int i = 0; i < 4; ++i) {
        GlowTextFieldParams params;
        params.x = fieldX;
        params.y = 40 * i;
        params.width = 100;
        params.height = 30;
        params.text = "";
        params.style = styles[i];
        params.backColor = glow::GlowColor(fill[0], fill[1], fill[2], 255);
        params.lightBevelColor = glow::GlowColor(light[0], light[1], light[2], 255);
        params.darkBevelColor = glow::GlowColor(dark[0], dark[1], dark[2], 255);
        new GlowTextFieldWidget(sub, params);
    }
    End();
    const glowtest::Pixels p = Paint();
    Save(p, "textfield_styles");
    struct {
        int field, x, y;
        Rgb expected;
    } edges[] = {
        // plain: no frame
        {0, 0, 0, fill},
        {0, 99, 29, fill},
        // etched: a dark frame and a light one a pixel right and down
        {1, 0, 0, dark},
        {1, 0, 15, dark},
        {1, 98, 15, dark},
        {1, 50, 28, dark},
        {1, 1, 1, light},
        {1, 99, 15, light},
        {1, 50, 29, light},
        {1, 99, 0, fill},
        {1, 0, 29, fill},
        // raised: two-pixel light left and top, dark right and bottom
        {2, 0, 15, light},
        {2, 1, 15, light},
        {2, 50, 1, light},
        {2, 99, 15, dark},
        {2, 50, 28, dark},
        // lowered: the reverse
        {3, 0, 15, dark},
        {3, 50, 1, dark},
        {3, 98, 15, light},
        {3, 50, 29, light},
    };
    for (const auto& e : edges) {
        EXPECT_EQ(At(p, fieldX + e.x, 40 * e.field + e.y), e.expected)
            << "field " << e.field << " at " << e.x << "," << e.y;
    }
}

TEST_F(TextFieldTest, FieldInsideAClippingParentStaysInsideIt) {
    // A parent that clips to a box narrower than the field: the field's
    // text area is cut to the parent's box, never widened past it.
    glow::GlowPanelParams panelParams;
    panelParams.x = 50;
    panelParams.y = 50;
    panelParams.width = 40;
    panelParams.height = 40;
    panelParams.clipping = true;
    panelParams.style = glow::GlowPanelParams::transparentStyle;
    auto* panel = new glow::GlowPanelWidget(static_cast<glow::GlowWidgetRoot*>(sub), panelParams);
    // A text field inside a panel is made through the labelled field.
    glow::GlowLabeledTextFieldParams params;
    params.x = 0;
    params.y = 0;
    params.text = "WWWWWWWWWW";
    params.labelText = nullptr;
    new glow::GlowLabeledTextFieldWidget(panel, params);
    End();
    const glowtest::Pixels p = Paint();
    EXPECT_EQ(Count(p, 90, 50, 160, 80, black), 0);
    EXPECT_GT(Count(p, 55, 55, 90, 69, black), 5);
}

TEST_F(TextFieldTest, AutoPack) {
    GlowTextFieldWidget* field = MakeField("abc");
    const int m = field->TextMargin();
    const int u = glow::unspecifiedSize;
    int l = 0, r = 0, t = 0, b = 0;
    struct {
        int width, hSize, vSize, hOption, vOption, result, expectW, expectH;
    } cases[] = {
        {100, u, u, 1, 1, 0, 100, 24},
        {100, u, u, 0, 2, 0, 100, 24},
        {100, 80, u, 1, 1, 1, 100, 24},   // never narrower than it is
        {100, 150, u, 2, 0, 0, 150, 24},  // expand takes the offered width
        {100, u, 30, 0, 3, 0, 100, 30},   // forced height
        {100, u, 20, 0, 1, 2, 100, 24},   // below Leading + 10
        {W('0') + 2 * m - 1, u, u, 1, 1, 1, W('0') + 2 * m - 1, 24},
        {W('0') + 2 * m, u, u, 1, 1, 0, W('0') + 2 * m, 24},
        {100, u, u, 3, 3, 2, 100, 24},  // a forced rule needs a size
    };
    for (const auto& c : cases) {
        field->Reshape(c.width, 24);
        SCOPED_TRACE(c.width * 1000 + c.hOption * 10 + c.vOption);
        EXPECT_EQ(field->AutoPack(0, c.hSize == u ? u : c.hSize, 0, c.vSize == u ? u : c.vSize,
                                  c.hOption, c.vOption, l, r, t, b),
                  c.result);
        EXPECT_EQ(field->Width(), c.expectW);
        EXPECT_EQ(field->Height(), c.expectH);
    }
}

TEST_F(TextFieldTest, SetTextKeepsPositionsAndScrollWithinTheText) {
    GlowTextFieldWidget* field = MakeField("");
    field->SetText("input.seq");
    EXPECT_STREQ(field->GetText(), "input.seq");
    EXPECT_EQ(field->Caret(), 0);
    EXPECT_EQ(field->ScrollOffset(), 0);

    Focus(field);
    for (char c : std::string(" and a much longer tail")) Key(c);
    ASSERT_GT(field->ScrollOffset(), 0);
    field->SetText("ab");
    EXPECT_EQ(field->Caret(), 2);
    EXPECT_EQ(field->Anchor(), 2);
    EXPECT_EQ(field->ScrollOffset(), 0);
    ExpectConsistent(field);
    Paint();
    field->SetText(nullptr);
    EXPECT_STREQ(field->GetText(), "");
    EXPECT_EQ(field->Caret(), 0);
    Paint();
}

TEST_F(TextFieldTest, HiddenFieldKeepsTheTypedTextInStep) {
    GlowTextFieldParams params;
    params.x = fieldX;
    params.y = fieldY;
    auto* field = new glow::GlowHiddenTextFieldWidget(sub, params, '*');
    End();
    Focus(field);
    Key('a');
    Key('b');
    Key('c');
    EXPECT_STREQ(field->GetText(), "***");
    EXPECT_STREQ(field->GetHiddenText(), "abc");
    Key(8);
    EXPECT_STREQ(field->GetText(), "**");
    EXPECT_STREQ(field->GetHiddenText(), "ab");
    Special(GLUT_KEY_LEFT);
    Key('X');
    EXPECT_STREQ(field->GetHiddenText(), "aXb");
    Special(GLUT_KEY_RIGHT, shift);
    Key('Y');  // replaces the selected b
    EXPECT_STREQ(field->GetHiddenText(), "aXY");
    EXPECT_STREQ(field->GetText(), "***");
    Special(GLUT_KEY_LEFT, shift);
    Special(GLUT_KEY_LEFT, shift);
    Key(127);
    EXPECT_STREQ(field->GetHiddenText(), "a");
    EXPECT_STREQ(field->GetText(), "*");

    // SetText, also through the plain field's interface, stays masked.
    static_cast<GlowTextFieldWidget*>(field)->SetText("secret");
    EXPECT_STREQ(field->GetText(), "******");
    EXPECT_STREQ(field->GetHiddenText(), "secret");
    EXPECT_EQ(field->Caret(), 1);
}

TEST_F(TextFieldTest, HiddenFieldWithAControlCharacterMask) {
    // The mask goes into the text as it is, even one that is a key of its own.
    for (char mask : {'\b', '\x7f', '\t', '\xb7'}) {
        SCOPED_TRACE(static_cast<int>(static_cast<unsigned char>(mask)));
        GlowTextFieldParams params;
        params.x = fieldX;
        params.y = fieldY;
        params.text = "pw";
        auto* field = new glow::GlowHiddenTextFieldWidget(sub, params, mask);
        End();
        Focus(field);
        EXPECT_EQ(std::string(field->GetText()), std::string(2, mask));
        Key('x');
        Key('y');
        EXPECT_EQ(std::string(field->GetText()), std::string(4, mask));
        EXPECT_STREQ(field->GetHiddenText(), "xypw");
        EXPECT_EQ(field->Caret(), 2);
        Key(8);
        EXPECT_STREQ(field->GetHiddenText(), "xpw");
        EXPECT_EQ(std::string(field->GetText()), std::string(3, mask));
        Paint();
        delete field;
        End();
    }
}

TEST_F(TextFieldTest, LabelledFieldReservesRoomForItsLabelOnly) {
    glow::GlowPanelParams panelParams;
    panelParams.x = 0;
    panelParams.y = 0;
    panelParams.width = 400;
    panelParams.height = 300;
    auto* panel = new glow::GlowPanelWidget(static_cast<glow::GlowWidgetRoot*>(sub), panelParams);
    glow::GlowLabeledTextFieldParams params;
    params.labelText = nullptr;
    auto* plain = new glow::GlowLabeledTextFieldWidget(panel, params);
    params.labelText = "Name:";
    auto* named = new glow::GlowLabeledTextFieldWidget(panel, params);
    auto* hidden = new glow::GlowLabeledHiddenTextFieldWidget(panel, params, '*');
    End();
    const int u = glow::unspecifiedSize;
    int l, r, t, b;
    EXPECT_EQ(plain->AutoPack(10, u, 10, u, 0x11, 0x11, l, r, t, b), 0);
    EXPECT_EQ(l, 0);
    EXPECT_EQ(plain->PositionX(), 10);
    EXPECT_EQ(plain->Width(), 100);
    EXPECT_EQ(plain->Height(), 24);
    int lw, lh;
    named->Label()->GetPreferredSize(lw, lh);
    for (GlowTextFieldWidget* f :
         {static_cast<GlowTextFieldWidget*>(named), static_cast<GlowTextFieldWidget*>(hidden)}) {
        EXPECT_EQ(f->AutoPack(10, u, 50, u, 0x11, 0x11, l, r, t, b), 0);
        EXPECT_EQ(l, lw + 5);
        EXPECT_EQ(f->PositionX(), 10 + lw + 5);
        EXPECT_EQ(f->Width(), 100);
    }
    EXPECT_EQ(named->Label()->PositionX(), -lw - 5);
    EXPECT_STREQ(named->Label()->GetText(), "Name:");
    // Too narrow once the label has its room.
    EXPECT_EQ(named->AutoPack(0, lw + 5 + 50, 0, u, 0x11, 0x11, l, r, t, b), 1);
}

}  // namespace
