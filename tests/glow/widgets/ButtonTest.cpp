// Push buttons, dismiss buttons and the key-to-button filter.

#include <GL/freeglut.h>

#include "glow/widgets/GlowDismissPushButtonWidget.h"
#include "glow/widgets/GlowPanelWidget.h"
#include "glow/widgets/GlowPushButtonWidget.h"
#include "glow/widgets/GlowWidgetMapToPushButtonFilter.h"
#include "tests/glow/widgets/WidgetFixture.h"

using glow::GlowColor;
using glow::GlowFont;
using glow::GlowPushButtonMessage;
using glow::GlowPushButtonParams;
using glow::GlowPushButtonWidget;
using glow::GlowWidget;
using widgettest::Log;
using widgettest::Recorder;

namespace {

const int U = glow::unspecifiedSize;

GlowPushButtonParams ButtonAt(int x, int y, int behavior, Recorder<GlowPushButtonMessage>* r) {
    GlowPushButtonParams p;
    p.text = "Run Analysis";
    p.x = x;
    p.y = y;
    p.width = 80;
    p.height = 30;
    p.behavior = behavior;
    p.receiver = r;
    return p;
}

}  // namespace

class PushButtons : public widgettest::WidgetFixture {};

TEST_F(PushButtons, GestureInEachBehavior) {
    struct Step {
        char what;  // p press, d drag, r release (window pixels)
        int x, y;
    };
    struct Case {
        const char* name;
        int behavior;
        bool initiallyDown;
        std::vector<std::vector<Step>> clicks;
        int messages;
        std::vector<bool> downAfterEach;
    };
    // The button covers (20, 20) to (100, 50); both far edges count as inside.
    const std::vector<Step> click = {{'p', 30, 30}, {'r', 30, 30}};
    const std::vector<Step> outAndBack = {
        {'p', 30, 30}, {'d', 150, 30}, {'d', 40, 40}, {'r', 40, 40}};
    const std::vector<Step> out = {{'p', 30, 30}, {'d', 150, 30}, {'r', 150, 30}};
    const std::vector<Step> onEdge = {{'p', 30, 30}, {'d', 100, 50}, {'r', 200, 200}};
    const std::vector<Step> justOutside = {{'p', 30, 30}, {'d', 19, 30}, {'r', 30, 30}};
    const Case cases[] = {
        {"normal click", 0, false, {click}, 1, {false}},
        {"normal, created down, stays down", 0, true, {click, click}, 2, {true, true}},
        {"drag out and release outside", 0, false, {out}, 0, {false}},
        {"drag out and back in", 0, false, {outAndBack}, 1, {false}},
        {"the far edges are inside", 0, false, {onEdge}, 1, {false}},
        {"one pixel left is outside, whatever the release", 0, false, {justOutside}, 0, {false}},
        {"toggle", 1, false, {click, click, out}, 2, {true, false, false}},
        {"latch", 2, false, {click, click}, 2, {true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Recorder<GlowPushButtonMessage> rec;
        GlowPushButtonParams p = ButtonAt(20, 20, c.behavior, &rec);
        p.down = c.initiallyDown;
        auto* button = new GlowPushButtonWidget(Root(), p);
        for (std::size_t i = 0; i < c.clicks.size(); ++i) {
            for (const Step& s : c.clicks[i]) {
                if (s.what == 'p') Press(s.x, s.y, 2, GLUT_ACTIVE_SHIFT);
                if (s.what == 'd') Drag(s.x, s.y);
                if (s.what == 'r') Release(s.x, s.y, 2, GLUT_ACTIVE_CTRL);
            }
            EXPECT_FALSE(button->IsPressed());
            EXPECT_EQ(button->IsDown(), c.downAfterEach[i]) << "after gesture " << i;
        }
        ASSERT_EQ(static_cast<int>(rec.messages.size()), c.messages);
        for (const auto& m : rec.messages) {
            EXPECT_EQ(m.widget, button);
            EXPECT_EQ(m.mouseButton, 2) << "the button of the press";
            EXPECT_EQ(m.modifiers, GLUT_ACTIVE_SHIFT) << "the modifiers of the press";
        }
        delete button;
    }
}

TEST_F(PushButtons, PressedOnlyWhileInside) {
    auto* button = new GlowPushButtonWidget(Root(), ButtonAt(20, 20, 0, nullptr));
    Press(30, 30);
    EXPECT_TRUE(button->IsPressed());
    Drag(150, 30);
    EXPECT_FALSE(button->IsPressed());
    Drag(99, 49);
    EXPECT_TRUE(button->IsPressed());
    Release(99, 49);
    EXPECT_FALSE(button->IsPressed());
}

TEST_F(PushButtons, GestureEndsWhenTheButtonLeavesTheMouseList) {
    Recorder<GlowPushButtonMessage> rec;
    auto* button = new GlowPushButtonWidget(Root(), ButtonAt(20, 20, 0, &rec));
    Press(30, 30);
    button->Deactivate();
    EndEvent();
    EXPECT_FALSE(button->IsPressed()) << "an inactive button does not stay pressed";
    button->Activate();
    EndEvent();
    Release(30, 30);
    EXPECT_TRUE(rec.messages.empty());

    Press(30, 30);
    button->Hide();
    EndEvent();
    button->Show();
    EXPECT_FALSE(button->IsPressed());
    Release(30, 30);
    EXPECT_TRUE(rec.messages.empty());
    Click(30, 30);
    EXPECT_EQ(rec.messages.size(), 1u);
}

TEST_F(PushButtons, KeyFilter) {
    Recorder<GlowPushButtonMessage> okRec, ctrlRec;
    auto* ok = new GlowPushButtonWidget(Root(), ButtonAt(20, 20, 0, &okRec));
    auto* ctrl = new GlowPushButtonWidget(Root(), ButtonAt(20, 80, 0, &ctrlRec));
    widgettest::Probe focused(Root(), nullptr, "f", &log, 200, 20, 20, 20);
    focused.RegisterKeyboardEvents();
    focused.GrabKeyboardFocus();
    glow::GlowWidgetMapToPushButtonFilter enter(ok, 13, 0);
    glow::GlowWidgetMapToPushButtonFilter ctrlX(ctrl, 'x', GLUT_ACTIVE_CTRL);
    glow::GlowWidgetMapToPushButtonFilter none(nullptr, 'n', 0);
    Root()->AddKeyboardFilter(&none);
    Root()->AddKeyboardFilter(&enter);
    Root()->AddKeyboardFilter(&ctrlX);
    EndEvent();
    log.clear();
    struct {
        int key, modifiers;
        int okHits, ctrlHits;
        bool reachesWidget;
    } cases[] = {
        {13, 0, 1, 0, false},
        {13, GLUT_ACTIVE_SHIFT | GLUT_ACTIVE_ALT, 1, 0, false},  // extra modifiers do not matter
        {'x', 0, 0, 0, true},                                    // the filter's modifier is missing
        {'x', GLUT_ACTIVE_CTRL | GLUT_ACTIVE_SHIFT, 0, 1, false},
        {'n', 0, 0, 0, true},  // a filter without a button lets every key pass
        {27, 0, 0, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        SCOPED_TRACE(c.modifiers);
        okRec.messages.clear();
        ctrlRec.messages.clear();
        log.clear();
        Key(static_cast<unsigned char>(c.key), c.modifiers);
        EXPECT_EQ(static_cast<int>(okRec.messages.size()), c.okHits);
        EXPECT_EQ(static_cast<int>(ctrlRec.messages.size()), c.ctrlHits);
        EXPECT_EQ(!log.empty(), c.reachesWidget);
        for (const auto& m : okRec.messages) {
            EXPECT_EQ(m.mouseButton, 0);
            EXPECT_EQ(m.modifiers, 0);
        }
    }
    delete ok;
    delete ctrl;
}

TEST_F(PushButtons, DismissButtonClosesItsTargetAfterTheMessage) {
    struct ClosingProbe : Recorder<GlowPushButtonMessage> {
        glow::GlowComponent* target = nullptr;
        bool closingAtMessage = true;
        void OnMessage(const GlowPushButtonMessage& m) override {
            Recorder::OnMessage(m);
            closingAtMessage = target->IsClosing();
        }
    } rec;
    auto* panel = new glow::GlowPanelWidget(Root(), glow::GlowPanelParams());
    rec.target = panel;
    GlowPushButtonParams p = ButtonAt(10, 10, 0, &rec);
    auto* dismiss = new glow::GlowDismissPushButtonWidget(panel, p, panel);
    EXPECT_EQ(dismiss->ToDismiss(), panel);
    Click(20, 20);
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_FALSE(rec.closingAtMessage) << "the message comes before the close";
    EXPECT_EQ(subwindow->FirstChild(), nullptr) << "deleted at the end of the event";
    EXPECT_TRUE(Root()->MouseWidgets().empty());

    auto* holder = new glow::GlowPanelWidget(Root(), glow::GlowPanelParams());
    Recorder<GlowPushButtonMessage> plain;
    auto* noTarget =
        new glow::GlowDismissPushButtonWidget(holder, ButtonAt(10, 10, 1, &plain), nullptr);
    Click(20, 20);
    EXPECT_EQ(plain.messages.size(), 1u);
    EXPECT_TRUE(noTarget->IsDown());
    EXPECT_EQ(subwindow->FirstChild(), holder);
}

TEST_F(PushButtons, AutoPack) {
    const int tw = GlowWidget::StringWidth(GlowFont(), "Run Analysis");
    struct {
        const char* name;
        int hSize, vSize, hOption, vOption;
        int result, width, height;
    } cases[] = {
        {"preferred", U, U, glow::preferredSize, glow::preferredSize, 0, tw + 20, 26},
        {"too narrow", tw + 9, U, glow::preferredSize, glow::preferredSize, 1, 80, 30},
        {"narrow but enough", tw + 10, U, glow::preferredSize, glow::preferredSize, 0, tw + 20, 26},
        {"too low", U, 21, glow::preferredSize, glow::preferredSize, 2, 80, 30},
        {"expand widens but keeps the preferred height", 300, 60, glow::expandPreferredSize,
         glow::expandPreferredSize, 0, 300, 26},
        {"expand without a size", U, U, glow::expandPreferredSize, glow::expandPreferredSize, 0,
         tw + 20, 26},
        {"forced", 120, 40, glow::forcedSize, glow::forcedSize, 0, 120, 40},
        {"forced without a width", U, 40, glow::forcedSize, glow::forcedSize, 1, 80, 30},
        {"forced without a height", 120, U, glow::forcedSize, glow::forcedSize, 2, 80, 30},
        {"keep", U, U, glow::noReshape, glow::noReshape, 0, 80, 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto* b = new GlowPushButtonWidget(Root(), ButtonAt(0, 0, 0, nullptr));
        EXPECT_EQ(b->AutoPackWith(c.hSize == U ? U : 0, c.hSize, c.vSize == U ? U : 0, c.vSize,
                                  c.hOption, c.vOption),
                  c.result);
        EXPECT_EQ(b->Width(), c.width);
        EXPECT_EQ(b->Height(), c.height);
        delete b;
    }
    GlowPushButtonParams p;
    p.text = nullptr;
    auto* empty = new GlowPushButtonWidget(Root(), p);
    EXPECT_STREQ(empty->GetText(), "");
    empty->SetText(empty->GetText());
    EXPECT_EQ(empty->AutoPackDefault(), 0);
    EXPECT_EQ(empty->Width(), 20);
}

TEST_F(PushButtons, BevelsAndTheInactiveOutline) {
    const GlowColor white(255, 255, 255, 255), dark(51, 51, 51, 255), face(178, 178, 178, 255),
        pressedFace(127, 127, 127, 255), outline(76, 76, 76, 255);
    auto* button = new GlowPushButtonWidget(Root(), ButtonAt(20, 20, 1, nullptr));
    auto* inactive = new GlowPushButtonWidget(Root(), ButtonAt(20, 80, 0, nullptr));
    inactive->Deactivate();
    EndEvent();
    Paint();
    Shot("buttons-raised");
    struct Probe {
        int x, y;
        GlowColor raised;
    } raisedEdges[] = {
        {20, 35, white}, {21, 35, white}, {22, 35, face}, {60, 20, white},
        {60, 21, white}, {60, 22, face},  {99, 35, dark}, {98, 35, dark},
        {97, 35, face},  {60, 49, dark},  {60, 48, dark}, {60, 47, face},
    };
    for (const auto& e : raisedEdges) EXPECT_COLOR(Color(e.x, e.y), e.raised) << e.x << "," << e.y;
    // Inactive: a one-pixel outline on the outermost pixels, every edge.
    for (auto [x, y] : {std::pair{20, 80},
                        {99, 80},
                        {20, 109},
                        {99, 109},
                        {60, 80},
                        {60, 109},
                        {20, 95},
                        {99, 95}}) {
        EXPECT_COLOR(Color(x, y), outline) << "outline at " << x << "," << y;
    }
    for (auto [x, y] : {std::pair{21, 81}, {98, 108}, {21, 95}, {98, 95}}) {
        EXPECT_COLOR(Color(x, y), face) << "inside at " << x << "," << y;
    }

    Press(30, 30);  // pressed: sunken bevel, pressed face
    Paint();
    Shot("buttons-pressed");
    EXPECT_COLOR(Color(20, 35), dark);
    EXPECT_COLOR(Color(22, 35), pressedFace);
    EXPECT_COLOR(Color(99, 35), white);
    EXPECT_COLOR(Color(60, 49), white);
    Release(30, 30);  // toggled down: raised bevel, down face
    Paint();
    EXPECT_TRUE(button->IsDown());
    EXPECT_COLOR(Color(20, 35), white);
    EXPECT_COLOR(Color(22, 35), pressedFace) << "the down face is 0.5 grey as well";
    EXPECT_COLOR(Color(99, 35), dark);
}

TEST_F(PushButtons, RealWheelDuringARightClick) {
    // Real X input: freeglut itself turns the wheel into buttons 3 and 4.
    Recorder<GlowPushButtonMessage> rec;
    new GlowPushButtonWidget(Root(), ButtonAt(20, 20, 0, &rec));
    nextModifiers = -1;
    const std::string win = std::to_string(glowtest::XWindowOf(subwindow));
    ASSERT_TRUE(glowtest::Xdotool("mousemove --window " + win + " 40 35"));
    glowtest::Pump(50);
    ASSERT_TRUE(
        glowtest::Xdotool("keydown shift mousedown 3 click 4 click 5 mouseup 3 keyup shift"));
    ASSERT_TRUE(glowtest::PumpUntil([&] { return !rec.messages.empty(); }));
    glowtest::Pump(100);
    ASSERT_EQ(rec.messages.size(), 1u) << "the wheel makes no hit of its own";
    EXPECT_EQ(rec.messages[0].mouseButton, 2);
    EXPECT_EQ(rec.messages[0].modifiers, GLUT_ACTIVE_SHIFT);
    for (int button = 0; button < 3; ++button) EXPECT_EQ(Root()->ButtonWidget(button), nullptr);
}
