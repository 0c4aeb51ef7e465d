#include <gtest/gtest.h>

#include <vector>

#include "glow/widgets/GlowTextBuffer.h"

using glow::GlowTextBuffer;

namespace {

// Lower-case letters 4 pixels, 'W' 10, blank 2, tab 3, e-acute (Latin-1 233)
// 7, everything else 6.
class TableWidth : public GlowTextBuffer::CharWidth {
public:
    int operator()(unsigned char c) const override {
        if (c >= 'a' && c <= 'z') return 4;
        if (c == 'W') return 10;
        if (c == ' ') return 2;
        if (c == '\t') return 3;
        if (c == 233) return 7;
        return 6;
    }
};

const TableWidth kWidth;

GlowTextBuffer Buffer(const char* text) {
    GlowTextBuffer b;
    b.SetText(text);
    return b;
}

std::vector<int> Starts(const GlowTextBuffer& b) {
    std::vector<int> starts;
    for (int i = 0; i < b.NumLines(); ++i) starts.push_back(b.LineStart(i));
    return starts;
}

}  // namespace

TEST(GlowTextBuffer, NewBufferIsEmptyWithOneLine) {
    GlowTextBuffer b;
    EXPECT_STREQ(b.CString(), "");
    EXPECT_EQ(b.NumLines(), 1);
    EXPECT_EQ(b.LineStart(0), 0);
    EXPECT_EQ(b.SelectionStart(), 0);
    EXPECT_EQ(b.SelectionEnd(), 0);
    b.SetText(nullptr);
    EXPECT_STREQ(b.CString(), "");
}

TEST(GlowTextBuffer, FindLine) {
    GlowTextBuffer b = Buffer("abcd\nefg\nhij");
    ASSERT_TRUE(b.RebreakLines(kWidth, -1, 0));
    ASSERT_EQ(Starts(b), (std::vector<int>{0, 5, 9}));
    const struct {
        int pos, line;
    } cases[] = {{-4, 0}, {0, 0}, {4, 0}, {5, 1}, {7, 1}, {8, 1}, {9, 2}, {12, 2}, {40, 2}};
    for (const auto& c : cases) EXPECT_EQ(b.FindLine(c.pos), c.line) << "position " << c.pos;
}

TEST(GlowTextBuffer, PixelOfPosition) {
    GlowTextBuffer b = Buffer("ab W\xe9\ncd");
    ASSERT_TRUE(b.RebreakLines(kWidth, -1, 0));
    const struct {
        int pos, line, pixel;
    } cases[] = {
        {0, 0, 0},   {1, 0, 4},  {2, 0, 8}, {3, 0, 10},
        {4, 0, 20},  {5, 0, 27},  // Latin-1 byte measured as 233, not as a negative code
        {8, -1, 8},  {7, -1, 4},  // line found from the position
        {99, -1, 8}, {-3, 0, 0},  // positions outside the text are clamped
        {2, 9, 0},                // a line past the last one is the last one
    };
    for (const auto& c : cases) {
        EXPECT_EQ(b.PixelOfPosition(kWidth, c.pos, c.line), c.pixel)
            << "position " << c.pos << " line " << c.line;
    }
}

TEST(GlowTextBuffer, PositionAtPixelRoundsToNearestEdge) {
    GlowTextBuffer b = Buffer("abc\nWa");
    ASSERT_TRUE(b.RebreakLines(kWidth, -1, 0));
    const struct {
        int line, x, pos;
    } cases[] = {
        {0, -1, 0}, {0, 0, 0},  {0, 1, 0},  {0, 2, 1},  // the middle gives the position after
        {0, 3, 1},  {0, 4, 1},  {0, 5, 1},  {0, 6, 2},  // the right edge gives the position after
        {0, 12, 3}, {0, 99, 4},  // the line-end character belongs to its line
        {1, -5, 4}, {1, 4, 4},  {1, 5, 5},  {1, 14, 6},
        {1, 99, 6}, {-2, 2, 1}, {5, 99, 6},  // lines outside the table are clamped
    };
    for (const auto& c : cases) {
        EXPECT_EQ(b.PositionAtPixel(kWidth, c.line, c.x), c.pos)
            << "line " << c.line << " x " << c.x;
    }
}

TEST(GlowTextBuffer, VisibleRange) {
    GlowTextBuffer b = Buffer("abcdef");
    const struct {
        int start, width, first, end, offset;
    } cases[] = {
        {-1, 10, 6, 6, 0},  // a window left of the text shows nothing
        {0, 8, 0, 3, 0},    // the character whose left edge is at 8 is touched
        {0, 7, 0, 2, 0},   {5, 4, 1, 3, 1},     {4, 0, 1, 2, 0},          {23, 10, 5, 6, 3},
        {24, 10, 6, 6, 0}, {100, 10, 6, 6, 76}, {2, 2147483647, 0, 6, 2},  // no overflow of start +
                                                                           // width
    };
    for (const auto& c : cases) {
        int first = -1, end = -1, offset = -1;
        b.VisibleRange(kWidth, 0, c.start, c.width, first, end, offset);
        EXPECT_EQ(first, c.first) << "start " << c.start << " width " << c.width;
        EXPECT_EQ(end, c.end) << "start " << c.start << " width " << c.width;
        EXPECT_EQ(offset, c.offset) << "start " << c.start << " width " << c.width;
    }
}

TEST(GlowTextBuffer, RebreakLines) {
    const struct {
        const char* text;
        int maxWidth;
        std::vector<int> starts;
    } cases[] = {
        {"ab cd", 14, {0, 3}},  // the blank ends the first line
        {"ab cd", 18, {0}},
        {"a\r\nb", -1, {0, 3}},  // CR LF is one break
        {"a\rb\nc", -1, {0, 2, 4}},
        {"a\n", -1, {0, 2}},       // a final break makes an empty last line
        {"abcdef", 8, {0, 2, 4}},  // no blank: break before the overflowing character
        {"abc d", 12, {0, 3}},     // an overflowing blank moves to the next line
        {"a\tbc", 9, {0, 2}},      // a tab is a break point as well
        {"aWb", 8, {0, 1, 2}},     // a character wider than the wrap width stands alone
        {"WWW", 5, {0, 1, 2}},
        {"W", 5, {0}},
        {"W\nab", 8, {0, 2}},           // ... without an extra empty line before a line end
        {"aaaa aaaa\nb", -1, {0, 10}},  // negative width breaks only at line ends
        {"", 10, {0}},
    };
    for (const auto& c : cases) {
        GlowTextBuffer b = Buffer(c.text);
        EXPECT_TRUE(b.RebreakLines(kWidth, c.maxWidth, 0));
        EXPECT_EQ(Starts(b), c.starts) << "text \"" << c.text << "\" width " << c.maxWidth;
    }
}

TEST(GlowTextBuffer, RebreakLinesKeepsEarlierLinesAndRefusesBadArguments) {
    GlowTextBuffer b = Buffer("abcd\nefgh");
    ASSERT_TRUE(b.RebreakLines(kWidth, -1, 0));
    ASSERT_EQ(Starts(b), (std::vector<int>{0, 5}));
    EXPECT_TRUE(b.RebreakLines(kWidth, 8, 1));
    EXPECT_EQ(Starts(b), (std::vector<int>{0, 5, 7}));
    EXPECT_TRUE(b.RebreakLines(kWidth, 8, 7));  // a line past the end keeps the whole table
    EXPECT_EQ(Starts(b), (std::vector<int>{0, 5, 7}));
    EXPECT_TRUE(b.RebreakLines(kWidth, 8, 0));
    EXPECT_EQ(Starts(b), (std::vector<int>{0, 2, 5, 7}));

    EXPECT_FALSE(b.RebreakLines(kWidth, 0, 0));
    EXPECT_FALSE(b.RebreakLines(kWidth, 10, -1));
    EXPECT_EQ(Starts(b), (std::vector<int>{0, 2, 5, 7}));
}

TEST(GlowTextBuffer, LineWidths) {
    GlowTextBuffer b = Buffer("ab\nWWW\n");
    ASSERT_TRUE(b.RebreakLines(kWidth, -1, 0));
    // Line 0 counts its line-end character like any other; the last line is empty.
    EXPECT_EQ(b.LineWidth(kWidth, 0), 14);
    EXPECT_EQ(b.LineWidth(kWidth, 1), 36);
    EXPECT_EQ(b.LineWidth(kWidth, 2), 0);
    EXPECT_EQ(b.MaxLineWidth(kWidth), 36);
    EXPECT_EQ(GlowTextBuffer().MaxLineWidth(kWidth), 0);
}

TEST(GlowTextBuffer, SelectionIsOrderedAndClamped) {
    const struct {
        int a, b, start, end;
    } cases[] = {{1, 3, 1, 3},   {3, 1, 1, 3}, {2, 2, 2, 2},
                 {-3, 99, 0, 5}, {9, 4, 4, 5}, {-1, -7, 0, 0}};
    for (const auto& c : cases) {
        GlowTextBuffer b = Buffer("hello");
        b.SetSelection(c.a, c.b);
        EXPECT_EQ(b.SelectionStart(), c.start) << c.a << ", " << c.b;
        EXPECT_EQ(b.SelectionEnd(), c.end) << c.a << ", " << c.b;
        EXPECT_EQ(b.SelectionLength(), c.end - c.start);
    }
    GlowTextBuffer b = Buffer("hello");
    b.SetInsertionPoint(12);
    EXPECT_EQ(b.SelectionStart(), 5);
    EXPECT_EQ(b.SelectionEnd(), 5);
}

TEST(GlowTextBuffer, ReplaceAndDeleteSelection) {
    enum Op { kReplace, kDelete };
    const struct {
        const char* text;
        int a, b;
        Op op;
        const char* result;
        int start, end;
    } cases[] = {
        {"hello", 1, 4, kReplace, "hXo", 1, 2},
        {"hello", 2, 2, kReplace, "heXllo", 2, 3},  // empty selection inserts
        {"hello", 5, 5, kReplace, "helloX", 5, 6},
        {"", 0, 0, kReplace, "X", 0, 1},
        {"hello", 0, 5, kReplace, "X", 0, 1},
        {"hello", 1, 4, kDelete, "ho", 1, 1},
        {"hello", 3, 3, kDelete, "hello", 3, 3},
        {"hello", 0, 5, kDelete, "", 0, 0},
    };
    for (const auto& c : cases) {
        GlowTextBuffer b = Buffer(c.text);
        b.SetSelection(c.a, c.b);
        if (c.op == kReplace) {
            b.ReplaceSelection('X');
        } else {
            b.DeleteSelection();
        }
        EXPECT_STREQ(b.CString(), c.result) << c.text << " " << c.a << "-" << c.b;
        EXPECT_EQ(b.SelectionStart(), c.start) << c.text << " " << c.a << "-" << c.b;
        EXPECT_EQ(b.SelectionEnd(), c.end) << c.text << " " << c.a << "-" << c.b;
    }
}

TEST(GlowTextBuffer, ShorterTextClampsSelectionAndLines) {
    GlowTextBuffer b = Buffer("abcd\nefgh");
    ASSERT_TRUE(b.RebreakLines(kWidth, -1, 0));
    b.SetSelection(6, 9);
    b.SetText("ab");
    EXPECT_EQ(b.SelectionStart(), 2);
    EXPECT_EQ(b.SelectionEnd(), 2);
    EXPECT_EQ(Starts(b), (std::vector<int>{0}));
    // Editing after the shrink stays inside the text.
    b.ReplaceSelection('c');
    EXPECT_STREQ(b.CString(), "abc");
    b.SetText("abcdefgh");
    b.SetSelection(3, 8);
    b.SetText("abcde");
    EXPECT_EQ(b.SelectionStart(), 3);
    EXPECT_EQ(b.SelectionEnd(), 5);
    b.ClampSelection();
    EXPECT_EQ(b.SelectionEnd(), 5);
}
