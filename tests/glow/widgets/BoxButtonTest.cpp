// Check boxes, radio buttons and radio groups.

#include <GL/freeglut.h>

#include "glow/widgets/GlowCheckBoxWidget.h"
#include "glow/widgets/GlowRadioButtonWidget.h"
#include "glow/widgets/GlowRadioGroupWidget.h"
#include "tests/glow/widgets/WidgetFixture.h"

using glow::GlowCheckBoxMessage;
using glow::GlowCheckBoxParams;
using glow::GlowCheckBoxWidget;
using glow::GlowColor;
using glow::GlowFont;
using glow::GlowRadioButtonMessage;
using glow::GlowRadioButtonParams;
using glow::GlowRadioButtonWidget;
using glow::GlowRadioGroupParams;
using glow::GlowRadioGroupWidget;
using glow::GlowWidget;
using widgettest::Recorder;

namespace {

const int U = glow::unspecifiedSize;
const GlowColor kBox(178, 178, 178, 255), kBlue(0, 0, 255, 255), kDim(76, 76, 76, 255),
    kWhite(255, 255, 255, 255), kDark(51, 51, 51, 255);

GlowCheckBoxParams CheckAt(int x, int y, int state, int behavior,
                           Recorder<GlowCheckBoxMessage>* r) {
    GlowCheckBoxParams p;
    p.text = "Verbose";
    p.x = x;
    p.y = y;
    p.width = 100;
    p.height = 15;
    p.state = state;
    p.behavior = behavior;
    p.receiver = r;
    return p;
}

GlowRadioButtonParams RadioAt(const char* text, int y) {
    GlowRadioButtonParams p;
    p.text = text;
    p.x = 5;
    p.y = y;
    p.width = 100;
    p.height = 15;
    return p;
}

}  // namespace

class CheckBoxes : public widgettest::WidgetFixture {};

TEST_F(CheckBoxes, StateCycle) {
    struct {
        int behavior, initial;
        std::vector<int> states;  // sent by successive clicks
    } cases[] = {
        {0, 0, {1, 0, 1}},  // off and on
        {0, 2, {1, 0}},     // half goes to on
        {1, 0, {2, 1, 0}},  // off, half, on
        {6, 0, {1, 2, 0}},  // off, on, half
        {7, 0, {2, 0, 2}},  // on is never reached
        {3, 0, {2, 1, 2}},  // half and on alternate
        {4, 5, {0}},        // an unknown state counts as half
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.behavior);
        Recorder<GlowCheckBoxMessage> rec;
        auto* box = new GlowCheckBoxWidget(Root(), CheckAt(20, 20, c.initial, c.behavior, &rec));
        for (std::size_t i = 0; i < c.states.size(); ++i) {
            Press(25, 25, 1, GLUT_ACTIVE_ALT);
            Release(25, 25, 1, 0);
        }
        ASSERT_EQ(rec.messages.size(), c.states.size());
        for (std::size_t i = 0; i < c.states.size(); ++i) {
            EXPECT_EQ(rec.messages[i].state, c.states[i]) << "click " << i;
            EXPECT_EQ(rec.messages[i].widget, box);
            EXPECT_EQ(rec.messages[i].mouseButton, 1);
            EXPECT_EQ(rec.messages[i].modifiers, GLUT_ACTIVE_ALT);
        }
        delete box;
    }
}

TEST_F(CheckBoxes, ReleaseOutsideChangesNothing) {
    Recorder<GlowCheckBoxMessage> rec;
    new GlowCheckBoxWidget(Root(), CheckAt(20, 20, 0, 0, &rec));
    Press(25, 25);
    Drag(25, 60);
    Release(25, 25);  // the last drag decides, not the release's position
    EXPECT_TRUE(rec.messages.empty());
    Press(25, 25);
    Drag(120, 35);  // the far corner is inside
    Release(300, 200);
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0].state, 1);
}

TEST_F(CheckBoxes, GestureEndsWhenTheBoxIsHidden) {
    Recorder<GlowCheckBoxMessage> rec;
    auto* box = new GlowCheckBoxWidget(Root(), CheckAt(20, 20, 0, 0, &rec));
    Press(25, 25);
    box->Hide();
    EndEvent();
    box->Show();
    Release(25, 25);
    EXPECT_TRUE(rec.messages.empty());
    Press(25, 25);
    box->Deactivate();
    EndEvent();
    box->Activate();
    EndEvent();
    Paint();
    EXPECT_COLOR(Color(27, 27), kBox) << "not left in the pressed look";
    Release(25, 25);
    EXPECT_TRUE(rec.messages.empty());
}

TEST_F(CheckBoxes, AutoPack) {
    const int tw = GlowWidget::StringWidth(GlowFont(), "Verbose");
    struct {
        const char* name;
        int hSize, vSize, hOption, vOption;
        int result, width, height;
    } cases[] = {
        {"preferred", U, U, glow::preferredSize, glow::preferredSize, 0, tw + 21, 15},
        {"expand does not grow", 400, 40, glow::expandPreferredSize, glow::expandPreferredSize, 0,
         tw + 21, 15},
        {"height 14 fails", U, 14, glow::preferredSize, glow::preferredSize, 2, 100, 15},
        {"width short", tw + 20, U, glow::preferredSize, glow::preferredSize, 1, 100, 15},
        {"forced", 200, 20, glow::forcedSize, glow::forcedSize, 0, 200, 20},
        {"forced without a height", 200, U, glow::forcedSize, glow::forcedSize, 2, 100, 15},
        {"forced without a width", U, 20, glow::forcedSize, glow::forcedSize, 1, 100, 15},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto* box = new GlowCheckBoxWidget(Root(), CheckAt(0, 0, 0, 0, nullptr));
        EXPECT_EQ(box->AutoPackWith(c.hSize == U ? U : 0, c.hSize, c.vSize == U ? U : 0, c.vSize,
                                    c.hOption, c.vOption),
                  c.result);
        EXPECT_EQ(box->Width(), c.width);
        EXPECT_EQ(box->Height(), c.height);
        box->TrimWidth();
        EXPECT_LE(box->Width(), std::max(c.width, tw + 5 + box->Height() + 1));
        delete box;
    }
}

TEST_F(CheckBoxes, MarksAndTheInactiveLook) {
    // Boxes of 30 x 30 so that the marks have room.
    auto make = [&](int y, int state) {
        GlowCheckBoxParams p = CheckAt(20, y, state, 0, nullptr);
        p.height = 30;
        return new GlowCheckBoxWidget(Root(), p);
    };
    make(10, 0);
    make(50, 1);
    make(90, 2);
    auto* inactive = make(130, 1);
    inactive->Deactivate();
    EndEvent();
    Paint();
    Shot("check-boxes");
    EXPECT_COLOR(Color(35, 25), kBox) << "off: no mark";
    EXPECT_COLOR(Color(35, 65), kBlue) << "on: the cross meets in the middle";
    EXPECT_COLOR(Color(28, 58), kBlue) << "on: the bar from the top left";
    EXPECT_COLOR(Color(42, 58), kBlue) << "on: the bar from the top right";
    EXPECT_COLOR(Color(35, 58), kBox) << "between the bars";
    EXPECT_COLOR(Color(35, 105), kBlue) << "half: the middle bar";
    EXPECT_COLOR(Color(35, 98), kBox);
    EXPECT_COLOR(Color(24, 105), kBox) << "the bar is the middle half of the box";
    EXPECT_COLOR(Color(20, 60), kWhite) << "raised: light left edge";
    EXPECT_COLOR(Color(49, 60), kDark) << "raised: dark right edge of the box";
    EXPECT_COLOR(Color(35, 145), kDim) << "inactive: a grey cross";
    for (auto [x, y] : {std::pair{20, 130}, {49, 130}, {20, 159}, {49, 159}, {35, 130}}) {
        EXPECT_COLOR(Color(x, y), kDim) << "inactive outline at " << x << "," << y;
    }
    EXPECT_COLOR(Color(21, 131), kBox);
    int dimText = 0;
    for (int y = 130; y < 160; ++y)
        for (int x = 52; x < 120; ++x) dimText += widgettest::SameColor(Color(x, y), kDim);
    EXPECT_GT(dimText, 10) << "inactive text in 0.3 grey";
}

class RadioGroups : public widgettest::WidgetFixture {
protected:
    // Receivers see the new state already in force.
    struct Checker : Recorder<GlowRadioButtonMessage> {
        bool consistent = true;
        void OnMessage(const GlowRadioButtonMessage& m) override {
            Recorder::OnMessage(m);
            consistent = consistent && m.group->GetCurrentButton() == m.newButton &&
                         m.newButton->GetState() &&
                         (m.oldButton == nullptr || !m.oldButton->GetState());
        }
    };

    void MakeGroup() {
        GlowRadioGroupParams p;
        p.x = 10;
        p.y = 10;
        p.width = 150;
        p.height = 80;
        p.receiver = &checker;
        group = new GlowRadioGroupWidget(Root(), p);
        jc = new GlowRadioButtonWidget(group, RadioAt("Jukes Cantor", 5));
        f81 = new GlowRadioButtonWidget(group, RadioAt("F81", 25));
        k2p = new GlowRadioButtonWidget(group, RadioAt("K2P", 45));
    }

    Checker checker;
    GlowRadioGroupWidget* group = nullptr;
    GlowRadioButtonWidget* jc = nullptr;
    GlowRadioButtonWidget* f81 = nullptr;
    GlowRadioButtonWidget* k2p = nullptr;
};

TEST_F(RadioGroups, FirstButtonIsCurrentSilently) {
    MakeGroup();
    EXPECT_EQ(group->GetCurrentButton(), jc);
    EXPECT_TRUE(jc->GetState());
    EXPECT_FALSE(f81->GetState());
    EXPECT_FALSE(k2p->GetState());
    EXPECT_TRUE(checker.messages.empty());
    EXPECT_EQ(GlowRadioGroupParams().style, glow::GlowPanelParams::transparentStyle);
    EXPECT_FALSE(GlowRadioGroupParams().clipping);
}

TEST_F(RadioGroups, ClicksAndMessages) {
    MakeGroup();
    // Buttons at (15, 15), (15, 35), (15, 55) in the window, 100 x 15.
    struct {
        int y;
        bool dragOut;
        int expectedCurrent;  // 0 jc, 1 f81, 2 k2p
        int messages;
    } steps[] = {
        {20, false, 0, 0},  // the current button again: nothing
        {40, false, 1, 1},  // another: one message
        {60, true, 1, 1},   // dragged out before the release: nothing
        {60, false, 2, 2}, {20, false, 0, 3},
    };
    GlowRadioButtonWidget* previous = jc;
    for (const auto& s : steps) {
        SCOPED_TRACE(s.y);
        Press(20, s.y, 2, GLUT_ACTIVE_CTRL);
        if (s.dragOut) Drag(20, 200);
        Release(20, s.y, 2);
        GlowRadioButtonWidget* const buttons[] = {jc, f81, k2p};
        GlowRadioButtonWidget* current = buttons[s.expectedCurrent];
        EXPECT_EQ(group->GetCurrentButton(), current);
        ASSERT_EQ(static_cast<int>(checker.messages.size()), s.messages);
        if (current != previous) {
            const auto& m = checker.messages.back();
            EXPECT_EQ(m.group, group);
            EXPECT_EQ(m.newButton, current);
            EXPECT_EQ(m.oldButton, previous);
            EXPECT_EQ(m.mouseButton, 2);
            EXPECT_EQ(m.modifiers, GLUT_ACTIVE_CTRL);
        }
        int on = 0;
        for (auto* b : {jc, f81, k2p}) on += b->GetState();
        EXPECT_EQ(on, 1) << "exactly one spot";
        previous = current;
    }
    EXPECT_TRUE(checker.consistent);
}

TEST_F(RadioGroups, DeletingButtons) {
    MakeGroup();
    Click(20, 60);  // k2p current
    checker.messages.clear();
    delete k2p;
    EXPECT_EQ(group->GetCurrentButton(), jc) << "the first remaining button in child order";
    EXPECT_TRUE(jc->GetState());
    delete f81;
    EXPECT_EQ(group->GetCurrentButton(), jc) << "deleting another button changes nothing";
    delete jc;
    EXPECT_EQ(group->GetCurrentButton(), nullptr);
    EXPECT_TRUE(checker.messages.empty()) << "deletions send nothing";
    auto* late = new GlowRadioButtonWidget(group, RadioAt("late", 5));
    EXPECT_EQ(group->GetCurrentButton(), late);
    // The group goes with its buttons; no button reaches a destroyed group.
    delete group;
    EXPECT_TRUE(Root()->MouseWidgets().empty());
}

TEST_F(RadioGroups, AutoPack) {
    MakeGroup();
    const int tw = GlowWidget::StringWidth(GlowFont(), "F81");
    EXPECT_EQ(f81->AutoPackWith(U, U, U, U, glow::preferredSize, glow::preferredSize), 0);
    EXPECT_EQ(f81->Width(), tw + 5 + 15 + 1);
    EXPECT_EQ(f81->Height(), 15);
    EXPECT_EQ(k2p->AutoPackWith(0, 300, 0, 14, glow::preferredSize, glow::preferredSize), 2);
    EXPECT_EQ(k2p->Width(), 100);
    EXPECT_EQ(k2p->AutoPackWith(0, 10, U, U, glow::preferredSize, glow::preferredSize), 1);
    EXPECT_EQ(k2p->AutoPackWith(U, U, U, U, glow::forcedSize, glow::preferredSize), 1);
    jc->TrimWidth();
    EXPECT_EQ(jc->Width(), GlowWidget::StringWidth(GlowFont(), "Jukes Cantor") + 5 + 15 + 1);
}

TEST_F(RadioGroups, SpotAndInactiveMembers) {
    MakeGroup();
    Paint();
    Shot("radio-active");
    // Boxes 15 x 15 at x 15 to 29; the spot is the middle half.
    EXPECT_COLOR(Color(22, 22), kBlue) << "spot of the current button";
    EXPECT_COLOR(Color(17, 22), kBox) << "box around the spot";
    EXPECT_COLOR(Color(22, 42), kBox) << "no spot on the others";
    EXPECT_COLOR(Color(15, 22), kWhite);
    EXPECT_COLOR(Color(29, 22), kDark);
    EXPECT_COLOR(Color(12, 12), GlowColor(204, 204, 204, 255)) << "the group itself draws nothing";
    group->Deactivate();
    EndEvent();
    Paint();
    Shot("radio-inactive");
    EXPECT_COLOR(Color(22, 22), kDim) << "inactive spot in 0.3 grey";
    for (auto [x, y] : {std::pair{15, 15}, {29, 15}, {15, 29}, {29, 29}, {15, 42}, {29, 42}}) {
        EXPECT_COLOR(Color(x, y), kDim) << "flat outlined box at " << x << "," << y;
    }
    Press(20, 40);
    Release(20, 40);
    EXPECT_EQ(group->GetCurrentButton(), jc) << "inactive buttons take no clicks";
}
