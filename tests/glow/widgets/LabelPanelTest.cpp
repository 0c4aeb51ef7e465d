// Labels, the label helper of labelled widgets, panels and separators.

#include <GL/freeglut.h>

#include "glow/widgets/GlowLabelWidget.h"
#include "glow/widgets/GlowPanelWidget.h"
#include "glow/widgets/GlowSeparatorWidget.h"
#include "glow/widgets/GlowWidgetLabelHelper.h"
#include "tests/glow/widgets/WidgetFixture.h"

using glow::GlowColor;
using glow::GlowFont;
using glow::GlowLabelParams;
using glow::GlowLabelWidget;
using glow::GlowPanelParams;
using glow::GlowPanelWidget;
using glow::GlowSeparatorParams;
using glow::GlowSeparatorWidget;
using glow::GlowWidget;
using widgettest::SameColor;

namespace {

const int U = glow::unspecifiedSize;
const GlowColor kGrey(204, 204, 204, 255);
const GlowColor kBlack(0, 0, 0, 255);
const GlowColor kWhite(255, 255, 255, 255);

int W(const char* s) {
    return GlowWidget::StringWidth(GlowFont(), s);
}

GlowLabelParams LabelAt(const char* text, int x, int y) {
    GlowLabelParams p;
    p.text = text;
    p.x = x;
    p.y = y;
    return p;
}

// A fixed-size widget with a label beside it, packed as labelled widgets
// pack themselves.
class Labelled : public GlowWidget, public glow::GlowWidgetLabelHelper {
public:
    Labelled(glow::GlowWidgetRoot* root, int position, const char* text, int spacing, int width,
             int height) {
        glow::GlowWidgetParams p;
        p.x = 100;
        p.y = 100;
        p.width = width;
        p.height = height;
        Init(root, nullptr, p);
        InitLabel(this, position, 10, 10, spacing, text, GlowFont(), kBlack, kBlack);
    }

protected:
    int OnAutoPack(int hSize, int vSize, int hOption, int /*vOption*/, int& l, int& r, int& t,
                   int& b) override {
        int h = hSize, v = vSize;
        int result = ReserveLabelSpace(h, v, l, r, t, b);
        if (result != 0) return result;
        // Takes the width it is offered, keeps its height.
        int newWidth = hOption == glow::expandPreferredSize && h != U ? h : Width();
        Reshape(newWidth, Height());
        PlaceLabel();
        return 0;
    }
};

}  // namespace

class Labels : public widgettest::WidgetFixture {};

TEST_F(Labels, TextMetrics) {
    const int leading = GlowFont().Leading();
    struct {
        const char* text;
        int width, lines;
    } cases[] = {
        {nullptr, 0, 1},
        {"", 0, 1},
        {"ab", W("ab"), 1},
        {"ab\r\nwide", W("wide"), 2},  // CR LF is one break
        {"wide\rab", W("wide"), 2},
        {"ab\nwide", W("wide"), 2},
        {"ab\n", W("ab"), 2},  // a final break counts one more line
        {"ab\r", W("ab"), 2},
        {"\xe9t\xe9", W("\xe9t\xe9"), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text != nullptr ? c.text : "(null)");
        auto* label = new GlowLabelWidget(Root(), LabelAt(c.text, 0, 0));
        EXPECT_EQ(label->TextWidth(), c.width);
        EXPECT_EQ(label->TextHeight(), c.lines * leading);
        EXPECT_STREQ(label->GetText(), c.text != nullptr ? c.text : "");
        EXPECT_EQ(label->AutoPackDefault(), 0);
        EXPECT_EQ(label->Width(), c.width + 2);
        EXPECT_EQ(label->Height(), c.lines * leading);
        delete label;
    }
    EXPECT_GT(GlowWidget::CharWidth(GlowFont(), '\xe9'), 0) << "Latin-1 characters have a width";
}

TEST_F(Labels, AutoPackRules) {
    const int pw = W("Settings") + 2;  // hMargin 1 on each side
    const int ph = GlowFont().Leading();
    struct {
        const char* name;
        bool shrinking;  // the label part of a labelled widget
        int hSize, vSize, hOption, vOption;
        int result, width, height;
    } cases[] = {
        {"preferred", false, U, U, glow::preferredSize, glow::preferredSize, 0, pw, ph},
        {"keep", false, U, U, glow::noReshape, glow::noReshape, 0, 100, 100},
        {"one pixel short fails even when kept", false, pw - 1, U, glow::noReshape, glow::noReshape,
         1, 100, 100},
        {"height short", false, U, ph - 1, glow::preferredSize, glow::preferredSize, 2, 100, 100},
        {"expand takes the box", false, 200, 30, glow::expandPreferredSize,
         glow::expandPreferredSize, 0, 200, 30},
        {"expand without a size is preferred", false, U, U, glow::expandPreferredSize,
         glow::expandPreferredSize, 0, pw, ph},
        {"forced", false, 150, 40, glow::forcedSize, glow::forcedSize, 0, 150, 40},
        {"forced without a width fails", false, U, 40, glow::forcedSize, glow::forcedSize, 1, 100,
         100},
        {"forced without a height fails", false, 150, U, glow::forcedSize, glow::forcedSize, 2, 100,
         100},
        {"shrinking label takes a small box", true, pw - 5, U, glow::preferredSize,
         glow::preferredSize, 0, pw - 5, ph},
        {"shrinking label: preferred in a big box", true, 500, 500, glow::preferredSize,
         glow::preferredSize, 0, pw, ph},
        {"shrinking label: a width of 1 fails", true, 1, U, glow::preferredSize,
         glow::preferredSize, 1, 100, 100},
        {"shrinking label: a height of 1 fails", true, U, 1, glow::preferredSize,
         glow::preferredSize, 2, 100, 100},
    };
    auto* parent = new glow::GlowPanelWidget(Root(), GlowPanelParams());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GlowLabelWidget* label =
            c.shrinking ? new glow::GlowWidgetLabelWidget(parent, LabelAt("Settings", 0, 0))
                        : new GlowLabelWidget(Root(), LabelAt("Settings", 0, 0));
        const int right = c.hSize == U ? U : 10 + c.hSize;
        const int bottom = c.vSize == U ? U : 10 + c.vSize;
        EXPECT_EQ(label->AutoPackWith(c.hSize == U ? U : 10, right, c.vSize == U ? U : 10, bottom,
                                      c.hOption, c.vOption),
                  c.result);
        EXPECT_EQ(label->Width(), c.width);
        EXPECT_EQ(label->Height(), c.height);
        delete label;
    }
}

TEST_F(Labels, SetTextWithItsOwnTextAndNull) {
    auto* label = new GlowLabelWidget(Root(), LabelAt("first line", 0, 0));
    label->AutoPackDefault();
    const int width = label->Width();
    label->SetText(label->GetText());
    EXPECT_STREQ(label->GetText(), "first line");
    label->SetText("a much longer text than before");
    EXPECT_EQ(label->Width(), width) << "only the next auto-pack resizes";
    label->SetText(nullptr);
    EXPECT_STREQ(label->GetText(), "");
    EXPECT_EQ(label->TextWidth(), 0);
}

TEST_F(Labels, PaintingOpaqueClippedAndInactive) {
    GlowLabelParams p = LabelAt("WWWWWWWWWWWWWWWWWWWW", 10, 10);
    p.opaque = true;
    p.backColor = GlowColor(0, 0, 255, 255);
    p.width = 40;
    p.height = 20;
    auto* label = new GlowLabelWidget(Root(), p);
    GlowLabelParams q = LabelAt("Text", 100, 10);
    q.textColor = GlowColor(255, 0, 0, 255);
    q.inactiveTextColor = GlowColor(0, 255, 0, 255);
    auto* coloured = new GlowLabelWidget(Root(), q);
    coloured->AutoPackDefault();
    Paint();
    Shot("labels");
    EXPECT_COLOR(Color(10, 10), GlowColor(0, 0, 255, 255));
    EXPECT_COLOR(Color(49, 29), GlowColor(0, 0, 255, 255));
    int blackInside = 0, blackOutside = 0, red = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 100; ++x) {
            if (SameColor(Color(x, y), kBlack))
                ++(x < 50 && y >= 10 && y < 30 ? blackInside : blackOutside);
        }
        for (int x = 100; x < 140; ++x) red += SameColor(Color(x, y), GlowColor(255, 0, 0, 255));
    }
    EXPECT_GT(blackInside, 20) << "the text is drawn";
    EXPECT_EQ(blackOutside, 0) << "clipping cuts the text at the label's rectangle";
    EXPECT_GT(red, 10);

    coloured->Deactivate();
    EndEvent();
    Paint();
    int green = 0;
    red = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 100; x < 140; ++x) {
            green += SameColor(Color(x, y), GlowColor(0, 255, 0, 255));
            red += SameColor(Color(x, y), GlowColor(255, 0, 0, 255));
        }
    }
    EXPECT_GT(green, 10) << "inactive text colour";
    EXPECT_EQ(red, 0);
    (void)label;
}

TEST_F(Labels, LatinOneCharactersDraw) {
    auto* label = new GlowLabelWidget(Root(), LabelAt("\xe9\xe8\xe0", 10, 10));
    label->AutoPackDefault();
    Paint();
    int black = 0;
    for (int y = 10; y < 10 + label->Height(); ++y)
        for (int x = 10; x < 10 + label->Width(); ++x) black += SameColor(Color(x, y), kBlack);
    EXPECT_GT(black, 5);
}

TEST_F(Labels, LabelHelperReservesRoomAndPlacesTheLabel) {
    const char* text = "Distance";
    const int lw = W(text) + 2;
    const int lh = GlowFont().Leading();
    {
        SCOPED_TRACE("left label, 200 pixels");
        auto* w = new Labelled(Root(), 0, text, 5, 50, 20);
        int l, r, t, b;
        EXPECT_EQ(w->AutoPack(0, 200, 0, 100, glow::expandPreferredSize | glow::leftPos,
                              glow::noReshape | glow::topPos, l, r, t, b),
                  0);
        EXPECT_EQ(l, lw + 5);
        EXPECT_EQ(r, 0);
        EXPECT_EQ(w->Width(), 200 - lw - 5);
        EXPECT_EQ(w->PositionX(), lw + 5);
        EXPECT_EQ(w->Label()->PositionX(), -lw - 5) << "right-aligned against the widget";
        EXPECT_EQ(w->Label()->Width(), lw);
        EXPECT_EQ(w->Label()->PositionY(), ((20 - lh - 1) / 2 + (20 + lh + 1) / 2 - lh) / 2)
            << "centred on the widget";
        delete w;
    }
    {
        SCOPED_TRACE("label taller than its widget");
        auto* w = new Labelled(Root(), 1, text, 4, 50, 6);
        int l, r, t, b;
        EXPECT_EQ(w->AutoPack(0, 300, 0, 100, glow::noReshape | glow::leftPos,
                              glow::noReshape | glow::topPos, l, r, t, b),
                  0);
        EXPECT_EQ(r, lw + 4);
        EXPECT_EQ(t, (lh - 6) / 2);
        EXPECT_EQ(b, (lh - 6) / 2);
        EXPECT_EQ(w->PositionY(), (lh - 6) / 2);
        EXPECT_EQ(w->Label()->PositionX(), 50 + 4);
        delete w;
    }
    {
        SCOPED_TRACE("label above");
        auto* w = new Labelled(Root(), 2, text, 3, 20, 20);
        int l, r, t, b;
        EXPECT_EQ(w->AutoPack(0, 300, 0, 100, glow::noReshape | glow::leftPos,
                              glow::noReshape | glow::topPos, l, r, t, b),
                  0);
        EXPECT_EQ(t, lh + 3);
        EXPECT_EQ(r, lw - 20) << "a wider label than the widget needs room on the right";
        EXPECT_EQ(w->PositionY(), lh + 3);
        EXPECT_EQ(w->Label()->PositionX(), 0);
        EXPECT_EQ(w->Label()->PositionY(), -lh - 3);
        delete w;
    }
    {
        SCOPED_TRACE("no room");
        auto* w = new Labelled(Root(), 0, text, 5, 50, 20);
        EXPECT_EQ(w->AutoPackWith(0, lw + 6, 0, 100, glow::expandPreferredSize, glow::noReshape),
                  1);
        auto* above = new Labelled(Root(), 3, text, 5, 50, 20);
        EXPECT_EQ(
            above->AutoPackWith(0, 300, 0, lh + 6, glow::noReshape, glow::expandPreferredSize), 2);
        delete w;
        delete above;
    }
    for (const char* none : {static_cast<const char*>(nullptr), ""}) {
        SCOPED_TRACE("a label without text takes no room");
        auto* w = new Labelled(Root(), 0, none, 5, 50, 20);
        int l, r, t, b;
        EXPECT_EQ(w->AutoPack(0, 200, 0, 100, glow::expandPreferredSize | glow::leftPos,
                              glow::noReshape | glow::topPos, l, r, t, b),
                  0);
        EXPECT_EQ(l + r + t + b, 0);
        EXPECT_EQ(w->Width(), 200);
        EXPECT_EQ(w->PositionX(), 0);
        EXPECT_NE(w->Label(), nullptr) << "the label widget still exists and is placed";
        delete w;
    }
}

class Panels : public widgettest::WidgetFixture {};

TEST_F(Panels, AutoPack) {
    struct {
        int hSize, option, result, width;
    } cases[] = {
        {120, glow::preferredSize, 0, 100},
        {80, glow::preferredSize, 1, 100},
        {120, glow::expandPreferredSize, 0, 100},
        {80, glow::forcedSize, 0, 80},
        {3, glow::forcedSize, 1, 100},
        {U, glow::forcedSize, 1, 100},
        {U, glow::preferredSize, 0, 100},
        {10, glow::noReshape, 0, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hSize);
        SCOPED_TRACE(c.option);
        auto* panel = new GlowPanelWidget(Root(), GlowPanelParams());
        EXPECT_EQ(
            panel->AutoPackWith(c.hSize == U ? U : 0, c.hSize, U, U, c.option, glow::noReshape),
            c.result);
        EXPECT_EQ(panel->Width(), c.width);
        EXPECT_EQ(panel->Height(), 100);
        delete panel;
    }
}

TEST_F(Panels, FiveStyles) {
    const GlowColor fill(100, 150, 200, 255), light(250, 250, 0, 255), dark(0, 90, 0, 255);
    GlowPanelWidget* panels[5];
    for (int style = 0; style < 5; ++style) {
        GlowPanelParams p;
        p.style = style;
        p.x = 10 + 60 * style;
        p.y = 20;
        p.width = 40;
        p.height = 40;
        p.backColor = fill;
        p.lightBevelColor = light;
        p.darkBevelColor = dark;
        panels[style] = new GlowPanelWidget(Root(), p);
    }
    widgettest::Probe child(Root(), panels[0], "child", &log, 10, 10, 10, 10);
    Paint();
    Shot("panels");
    auto at = [&](int style, int x, int y) { return Color(10 + 60 * style + x, 20 + y); };
    EXPECT_COLOR(at(0, 2, 2), kGrey) << "style 0 draws nothing";
    EXPECT_COLOR(at(0, 15, 15), GlowColor(255, 0, 0, 255)) << "yet its children paint";
    for (auto [x, y] : {std::pair{0, 0}, {39, 39}, {20, 20}, {39, 0}}) {
        EXPECT_COLOR(at(1, x, y), fill) << "plain at " << x << "," << y;
    }
    struct {
        int style, x, y;
        GlowColor expected;
    } edges[] = {
        // etched: a dark frame and a light one a pixel right and down
        {2, 0, 0, dark},
        {2, 0, 20, dark},
        {2, 20, 0, dark},
        {2, 38, 20, dark},
        {2, 20, 38, dark},
        {2, 1, 1, light},
        {2, 1, 20, light},
        {2, 39, 20, light},
        {2, 20, 39, light},
        {2, 39, 39, light},
        {2, 2, 2, fill},
        {2, 39, 0, fill},
        {2, 0, 39, fill},
        {2, 20, 20, fill},
        // raised: two-pixel light left and top, dark right and bottom
        {3, 0, 20, light},
        {3, 1, 20, light},
        {3, 2, 20, fill},
        {3, 20, 0, light},
        {3, 20, 1, light},
        {3, 20, 2, fill},
        {3, 39, 20, dark},
        {3, 38, 20, dark},
        {3, 37, 20, fill},
        {3, 20, 39, dark},
        {3, 20, 38, dark},
        {3, 20, 37, fill},
        // lowered: the reverse
        {4, 0, 20, dark},
        {4, 1, 20, dark},
        {4, 20, 0, dark},
        {4, 39, 20, light},
        {4, 20, 39, light},
        {4, 20, 20, fill},
    };
    for (const auto& e : edges) {
        EXPECT_COLOR(at(e.style, e.x, e.y), e.expected)
            << "style " << e.style << " at " << e.x << "," << e.y;
    }
}

class Separators : public widgettest::WidgetFixture {};

TEST_F(Separators, Painting) {
    const GlowColor dark(76, 76, 76, 255);
    auto make = [&](int x, int y, int w, int h, int style) {
        GlowSeparatorParams p;
        p.x = x;
        p.y = y;
        p.width = w;
        p.height = h;
        p.style = style;
        return new GlowSeparatorWidget(Root(), p);
    };
    make(10, 150, 100, 4, GlowSeparatorParams::grooveStyle);
    make(150, 150, 4, 60, GlowSeparatorParams::grooveStyle);
    make(10, 170, 100, 4, GlowSeparatorParams::ridgeStyle);
    make(10, 190, 100, 4, GlowSeparatorParams::transparentStyle);
    EXPECT_EQ(GlowSeparatorParams().height, 4);
    EXPECT_EQ(GlowSeparatorParams().style, GlowSeparatorParams::grooveStyle);
    Paint();
    Shot("separators");
    for (int x : {10, 60, 109}) {
        SCOPED_TRACE(x);
        EXPECT_COLOR(Color(x, 150), kGrey);
        EXPECT_COLOR(Color(x, 151), dark) << "groove: the dark line above";
        EXPECT_COLOR(Color(x, 152), kWhite);
        EXPECT_COLOR(Color(x, 153), kGrey);
        EXPECT_COLOR(Color(x, 171), kWhite) << "ridge: the light line above";
        EXPECT_COLOR(Color(x, 172), dark);
        EXPECT_COLOR(Color(x, 191), kGrey) << "style 0 draws nothing";
        EXPECT_COLOR(Color(x, 192), kGrey);
    }
    EXPECT_COLOR(Color(110, 151), kGrey);
    for (int y : {150, 180, 209}) {
        SCOPED_TRACE(y);
        EXPECT_COLOR(Color(150, y), kGrey);
        EXPECT_COLOR(Color(151, y), dark) << "vertical: the dark line left of the centre";
        EXPECT_COLOR(Color(152, y), kWhite);
        EXPECT_COLOR(Color(153, y), kGrey);
    }
}

TEST_F(Separators, AutoPack) {
    struct {
        const char* name;
        int width, height;  // before
        int hSize, vSize, hOption, vOption;
        int result, newWidth, newHeight;
    } cases[] = {
        {"horizontal expands along its length", 100, 4, 300, 50, glow::expandPreferredSize,
         glow::expandPreferredSize, 0, 300, 4},
        {"square counts as vertical", 10, 10, 300, 50, glow::preferredSize, glow::preferredSize, 0,
         4, 50},
        {"vertical forced thickness", 4, 100, 9, 80, glow::forcedSize, glow::preferredSize, 0, 9,
         80},
        {"length kept without a size", 100, 4, U, U, glow::preferredSize, glow::preferredSize, 0,
         100, 4},
        {"width below 2", 100, 4, 1, 50, glow::preferredSize, glow::preferredSize, 1, 100, 4},
        {"height below 2", 100, 4, 50, 1, glow::preferredSize, glow::preferredSize, 2, 100, 4},
        {"forced thickness without a size", 100, 4, 300, U, glow::preferredSize, glow::forcedSize,
         2, 100, 4},
        {"forced length without a size", 100, 4, U, 10, glow::forcedSize, glow::preferredSize, 1,
         100, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GlowSeparatorParams p;
        p.width = c.width;
        p.height = c.height;
        auto* sep = new GlowSeparatorWidget(Root(), p);
        EXPECT_EQ(sep->AutoPackWith(c.hSize == U ? U : 0, c.hSize, c.vSize == U ? U : 0, c.vSize,
                                    c.hOption, c.vOption),
                  c.result);
        EXPECT_EQ(sep->Width(), c.newWidth);
        EXPECT_EQ(sep->Height(), c.newHeight);
        delete sep;
    }
}
