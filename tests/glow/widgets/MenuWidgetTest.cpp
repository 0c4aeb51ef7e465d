// Menu buttons and pop-up menu widgets: their faces in their own GLUT
// subwindows, the items, marks and messages, the menu status driven through
// the toolkit's callbacks and by real X presses.

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "glow/core/GlowMenu.h"
#include "glow/widgets/GlowLabeledPopupMenuWidget.h"
#include "glow/widgets/GlowMenuButtonWidget.h"
#include "glow/widgets/GlowPanelWidget.h"
#include "glow/widgets/GlowPopupMenuWidget.h"
#include "tests/glow/widgets/WidgetFixture.h"

namespace {

using glow::Glow;
using glow::GlowColor;
using glow::GlowMenu;
using glow::GlowPopupMenuMessage;
using glow::GlowPopupMenuWidget;
using widgettest::Recorder;

class MenuWidgetTest : public widgettest::WidgetFixture {
protected:
    GlowPopupMenuWidget* MakePopup(const char* items, int initial = -1, const char* mark = "> ") {
        glow::GlowPopupMenuParams p;
        p.x = 20;
        p.y = 30;
        p.items = items;
        p.initial = initial;
        p.mark = mark;
        p.receiver = &chosen;
        auto* w = new GlowPopupMenuWidget;
        w->Init(Root(), nullptr, p);
        EndEvent();
        return w;
    }
    glow::GlowMenuButtonWidget* MakeButton(GlowMenu* menu, const char* text) {
        glow::GlowMenuButtonParams p;
        p.x = 20;
        p.y = 100;
        p.menu = menu;
        p.text = text;
        auto* w = new glow::GlowMenuButtonWidget;
        w->Init(Root(), nullptr, p);
        EndEvent();
        return w;
    }
    // The texts GLUT shows for the items, marks included.
    static std::vector<std::string> Texts(const GlowPopupMenuWidget* w) {
        std::vector<std::string> texts;
        for (int i = 0; i < w->NumItems(); ++i) texts.push_back(w->Menu()->ItemText(i));
        return texts;
    }
    // Item i's code is i.
    static void ExpectCodesAreIndexes(const GlowPopupMenuWidget* w) {
        for (int i = 0; i < w->NumItems(); ++i) EXPECT_EQ(w->Menu()->GetItemCode(i), i);
    }
    // GLUT reports the menu of the face in use, then no longer in use.
    static void MenuStatus(glow::GlowSubwindow* face, bool inUse) {
        glutSetWindow(face->WindowId());
        Glow::OnGlutMenuStatus(inUse ? GLUT_MENU_IN_USE : GLUT_MENU_NOT_IN_USE, 5, 5);
    }
    // GLUT reports the choice of code from menu.
    static void Choose(GlowMenu* menu, int code) {
        glutSetMenu(menu->MenuId());
        Glow::OnGlutMenu(code);
    }
    // The number of items GLUT has.
    static int GlutItems(GlowMenu* menu) {
        const int saved = glutGetMenu();
        glutSetMenu(menu->MenuId());
        const int n = glutGet(GLUT_MENU_NUM_ITEMS);
        if (saved != 0) glutSetMenu(saved);
        return n;
    }
    // Paints a face into its back buffer and reads it.
    static glowtest::Pixels PaintFace(glow::GlowSubwindow* face) {
        return glowtest::PaintAndRead(face);
    }
    // (x, y) from the top left.
    static GlowColor At(const glowtest::Pixels& p, int x, int y) {
        const std::uint8_t* c = p.At(x, p.height - 1 - y);
        return GlowColor(c[0], c[1], c[2], c[3]);
    }

    Recorder<GlowPopupMenuMessage> chosen;
};

TEST_F(MenuWidgetTest, ItemsCurrentItemAndMark) {
    GlowPopupMenuWidget* w = MakePopup("Red\tGreen\tBlue");
    EXPECT_EQ(w->NumItems(), 3);
    EXPECT_EQ(w->GetCurrentItem(), 0);
    EXPECT_STREQ(w->Face()->GetText(), "Red");
    EXPECT_EQ(Texts(w), (std::vector<std::string>{"> Red", "Green", "Blue"}));
    ExpectCodesAreIndexes(w);

    // Choosing an item makes it current, moves the mark and says so; the
    // current one again says so again; setting it from code says nothing.
    w->OnItemChosen(2);
    EXPECT_EQ(w->GetCurrentItem(), 2);
    EXPECT_STREQ(w->Face()->GetText(), "Blue");
    EXPECT_EQ(Texts(w), (std::vector<std::string>{"Red", "Green", "> Blue"}));
    w->OnItemChosen(2);
    ASSERT_EQ(chosen.messages.size(), 2u);
    for (const GlowPopupMenuMessage& m : chosen.messages) {
        EXPECT_EQ(m.widget, w);
        EXPECT_EQ(m.item, 2);
    }
    w->SetCurrentItem(0);
    EXPECT_EQ(Texts(w), (std::vector<std::string>{"> Red", "Green", "Blue"}));
    EXPECT_EQ(chosen.messages.size(), 2u);

    // Indexes that name no item change nothing.
    w->SetCurrentItem(3);
    w->SetCurrentItem(-1);
    w->SetItemLabel(7, "x");
    w->RemoveItem(3);
    w->OnItemChosen(9);
    EXPECT_EQ(w->GetItemLabel(3), nullptr);
    EXPECT_EQ(Texts(w), (std::vector<std::string>{"> Red", "Green", "Blue"}));
    EXPECT_EQ(chosen.messages.size(), 2u);

    // A new label of the current item shows on the face at once.
    w->SetItemLabel(0, "Crimson");
    EXPECT_STREQ(w->Face()->GetText(), "Crimson");
    EXPECT_EQ(Texts(w)[0], "> Crimson");
    // Another mark, and none.
    w->SetMark("* ");
    EXPECT_EQ(Texts(w)[0], "* Crimson");
    w->SetMark(nullptr);
    EXPECT_EQ(Texts(w)[0], "Crimson");
    w->OnItemChosen(1);
    EXPECT_EQ(Texts(w), (std::vector<std::string>{"Crimson", "Green", "Blue"}));
}

TEST_F(MenuWidgetTest, InitialItemIsBroughtIntoRange) {
    const struct {
        const char* items;
        int initial;
        int current;
        const char* face;
    } cases[] = {
        {"a\tb\tc", -5, 0, "a"},   {"a\tb\tc", 1, 1, "b"}, {"a\tb\tc", 9, 2, "c"},
        {"\ta\t\tb\t", 1, 1, "b"}, {nullptr, 0, -1, ""},   {"", 3, -1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.items != nullptr ? c.items : "null");
        GlowPopupMenuWidget* w = MakePopup(c.items, c.initial);
        EXPECT_EQ(w->GetCurrentItem(), c.current);
        EXPECT_STREQ(w->Face()->GetText(), c.face);
        if (c.current >= 0) {
            EXPECT_TRUE(w->Menu()->IsItemMarked(c.current));
        }
        delete w;
    }
}

TEST_F(MenuWidgetTest, RemovingItemsKeepsCodesAndTheCurrentItem) {
    // The current item removed: the first remaining one becomes current,
    // shows and is marked at once.
    GlowPopupMenuWidget* w = MakePopup("Red\tGreen\tBlue");
    w->RemoveItem(0);
    EXPECT_EQ(w->GetCurrentItem(), 0);
    EXPECT_STREQ(w->Face()->GetText(), "Green");
    EXPECT_EQ(Texts(w), (std::vector<std::string>{"> Green", "Blue"}));
    ExpectCodesAreIndexes(w);

    // Current last, removed: the first one takes over.
    w->AddItem("Cyan");
    w->SetCurrentItem(2);
    w->RemoveItem(2);
    EXPECT_EQ(w->GetCurrentItem(), 0);
    EXPECT_EQ(Texts(w), (std::vector<std::string>{"> Green", "Blue"}));

    // An item before the current one: the same item stays current.
    w->AddItem("Cyan");
    w->SetCurrentItem(2);
    w->RemoveItem(0);
    EXPECT_EQ(w->GetCurrentItem(), 1);
    EXPECT_STREQ(w->Face()->GetText(), "Cyan");
    EXPECT_EQ(Texts(w), (std::vector<std::string>{"Blue", "> Cyan"}));
    ExpectCodesAreIndexes(w);

    // After the current one: nothing moves.
    w->SetCurrentItem(0);
    w->RemoveItem(1);
    EXPECT_EQ(w->GetCurrentItem(), 0);

    // The last item gone: no current item and an empty face.
    w->RemoveItem(0);
    EXPECT_EQ(w->NumItems(), 0);
    EXPECT_EQ(w->GetCurrentItem(), -1);
    EXPECT_STREQ(w->Face()->GetText(), "");

    // The first item added to an empty menu is current and marked at once,
    // later ones change neither.
    EXPECT_EQ(w->AddItem("One"), 0);
    EXPECT_EQ(w->AddItem("Two"), 1);
    EXPECT_EQ(w->GetCurrentItem(), 0);
    EXPECT_STREQ(w->Face()->GetText(), "One");
    EXPECT_EQ(Texts(w), (std::vector<std::string>{"> One", "Two"}));
    EXPECT_TRUE(chosen.messages.empty());
}

TEST_F(MenuWidgetTest, MenuStatusThenSelectionThroughTheToolkit) {
    auto* w = new glow::GlowLabeledPopupMenuWidget(
        new glow::GlowPanelWidget(Root(), glow::GlowPanelParams()), [this] {
            glow::GlowLabeledPopupMenuParams p;
            p.x = 120;
            p.y = 20;
            p.items = "Red\tGreen\tBlue";
            p.labelText = "Colour";
            p.receiver = &chosen;
            return p;
        }());
    EndEvent();
    glow::GlowSubwindow* face = w->Face();
    ASSERT_TRUE(glowtest::WaitUntilMapped(face));
    const int h = face->Height();

    GlowColor up = At(PaintFace(face), 4, h / 2);
    EXPECT_COLOR(up, GlowColor(178, 178, 178, 255));

    MenuStatus(face, true);
    EXPECT_TRUE(w->IsDown());
    const glowtest::Pixels pressed = PaintFace(face);
    glowtest::SavePicture("popup_face_pressed", pressed);
    EXPECT_COLOR(At(pressed, 4, h / 2), GlowColor(127, 127, 127, 255));
    // The bevel turns round: dark on the top edge, light on the bottom.
    EXPECT_COLOR(At(pressed, face->Width() / 2, 0), GlowColor(51, 51, 51, 255));
    EXPECT_COLOR(At(pressed, face->Width() / 2, h - 1), GlowColor(255, 255, 255, 255));
    // The label lights up with the menu.
    Paint();
    EXPECT_TRUE(widgettest::SameColor(w->Label()->GetTextColor(), GlowColor(204, 0, 0, 255)));

    MenuStatus(face, false);
    EXPECT_FALSE(w->IsDown());
    Paint();
    EXPECT_TRUE(widgettest::SameColor(w->Label()->GetTextColor(), GlowColor(0, 0, 0, 255)));
    EXPECT_TRUE(chosen.messages.empty());

    Choose(w->Menu(), 1);
    ASSERT_EQ(chosen.messages.size(), 1u);
    EXPECT_EQ(chosen.messages[0].widget, w);
    EXPECT_EQ(chosen.messages[0].item, 1);
    EXPECT_EQ(w->GetCurrentItem(), 1);
    EXPECT_EQ(Texts(w), (std::vector<std::string>{"Red", "> Green", "Blue"}));
    EXPECT_COLOR(At(PaintFace(face), 4, h / 2), up);
}

TEST_F(MenuWidgetTest, FacesOfAMenuButtonAndAnInactivePopup) {
    glow::GlowMenuButtonWidget* b = MakeButton(nullptr, "Menu");
    b->AutoPackDefault();
    GlowPopupMenuWidget* w = MakePopup("Disabled");
    w->AutoPackDefault();
    w->Deactivate();
    EndEvent();
    ASSERT_TRUE(glowtest::WaitUntilMapped(b->Face()));
    ASSERT_TRUE(glowtest::WaitUntilMapped(w->Face()));
    const glowtest::Pixels button = PaintFace(b->Face());
    const glowtest::Pixels popup = PaintFace(w->Face());
    glowtest::SavePicture("menu_button_face", button);
    glowtest::SavePicture("popup_face_inactive", popup);
    // The menu icon: a white page under a blue bar, a quarter of the height
    // from the right edge.
    const int W = button.width, H = button.height;
    const int right = W - H / 4;
    const int left = right - H / 2;
    const int mid = (left + right) / 2;
    EXPECT_COLOR(At(button, mid, H / 2 + 3), GlowColor(255, 255, 255, 255));
    EXPECT_COLOR(At(button, mid, H / 2 - 5), GlowColor(0, 0, 255, 255));
    EXPECT_COLOR(At(button, 0, H / 2), GlowColor(255, 255, 255, 255));  // bevel
    // Inactive: no bevel but a one-pixel outline, and grey text.
    EXPECT_COLOR(At(popup, 0, popup.height / 2), GlowColor(76, 76, 76, 255));
    EXPECT_COLOR(At(popup, 1, popup.height / 2), GlowColor(178, 178, 178, 255));
    EXPECT_COLOR(At(popup, popup.width - 1, 1), GlowColor(76, 76, 76, 255));
}

TEST_F(MenuWidgetTest, PreferredSizes) {
    GlowPopupMenuWidget* w = MakePopup("a\tmuch longer item\tb");
    const glow::GlowFont font;
    const int height = font.Leading() + 12;
    const int arrow = height * 3 / 4;
    w->AutoPackDefault();
    EXPECT_EQ(w->Height(), height);
    EXPECT_EQ(w->Width(), 20 + glow::GlowWidget::StringWidth(font, "much longer item") + arrow);
    // The face follows at the end of the event.
    EndEvent();
    EXPECT_EQ(w->Face()->Width(), w->Width());
    EXPECT_EQ(w->Face()->Height(), w->Height());

    // A menu button follows its own label; expanded it stretches along
    // but not across unless forced.
    glow::GlowMenuButtonWidget* b = MakeButton(nullptr, "File");
    const int prefWidth = 20 + glow::GlowWidget::StringWidth(font, "File") + arrow;
    const struct {
        int hSize, vSize, hOption, vOption;
        int result, width, height;
    } cases[] = {
        {glow::unspecifiedSize, glow::unspecifiedSize, 1, 1, 0, prefWidth, height},
        {300, 100, 2, 2, 0, 300, height},
        {300, 100, 3, 3, 0, 300, 100},
        {prefWidth - 1, 100, 1, 1, 1, 300, 100},
        {300, height - 1, 2, 2, 2, 300, 100},
        {glow::unspecifiedSize, 100, 3, 1, 1, 300, 100},
        {300, glow::unspecifiedSize, 2, 3, 2, 300, 100},
        {glow::unspecifiedSize, glow::unspecifiedSize, 0, 0, 0, 300, 100},
    };
    for (const auto& c : cases) {
        int l, r, t, bm;
        const int left = 0;
        const int right = c.hSize == glow::unspecifiedSize ? glow::unspecifiedPos : c.hSize;
        const int bottom = c.vSize == glow::unspecifiedSize ? glow::unspecifiedPos : c.vSize;
        EXPECT_EQ(b->AutoPack(left, right, 0, bottom, c.hOption, c.vOption, l, r, t, bm), c.result);
        EXPECT_EQ(b->Width(), c.width);
        EXPECT_EQ(b->Height(), c.height);
    }
}

TEST_F(MenuWidgetTest, FaceFollowsTheWidget) {
    glow::GlowMenuButtonWidget* b = MakeButton(nullptr, "Edit");
    glow::GlowSubwindow* face = b->Face();
    ASSERT_TRUE(glowtest::WaitUntilMapped(face));
    b->Move(40, 50);
    b->Reshape(90, 30);
    EndEvent();
    glowtest::Pump(30);
    EXPECT_EQ(face->GetGlutState(GLUT_WINDOW_X), 40);
    EXPECT_EQ(face->GetGlutState(GLUT_WINDOW_Y), 50);
    EXPECT_EQ(face->Width(), 90);
    EXPECT_EQ(face->Height(), 30);
    b->Hide();
    EndEvent();
    EXPECT_TRUE(glowtest::PumpUntil([face] { return !glowtest::IsMapped(face); }));
    b->Show();
    EndEvent();
    EXPECT_TRUE(glowtest::PumpUntil([face] { return glowtest::IsMapped(face); }));

    // Under a hidden parent widget the face starts hidden too.
    auto* panel = new glow::GlowPanelWidget(Root(), glow::GlowPanelParams());
    panel->Hide();
    glow::GlowMenuButtonParams p;
    auto* hidden = new glow::GlowMenuButtonWidget(panel, p);
    EndEvent();
    glowtest::Pump(50);
    EXPECT_FALSE(glowtest::IsMapped(hidden->Face()));
}

TEST_F(MenuWidgetTest, KeysOverTheFaceGoToTheWidgetWindow) {
    auto* probe = new widgettest::Probe(Root(), nullptr, "p", &log, 200, 150, 50, 50);
    probe->RegisterKeyboardEvents();
    probe->GrabKeyboardFocus();
    glow::GlowMenuButtonWidget* b = MakeButton(nullptr, "Keys");
    log.clear();
    b->Face()->OnKeyboard('k', 3, 4, 0);
    EndEvent();
    // Window pixels (20 + 3, 100 + 4), made local to the focused probe.
    EXPECT_EQ(log, (widgettest::Log{"p.Key(107,-177,-46,0)"}));
}

TEST_F(MenuWidgetTest, ClientMenusMayGoFirstAndOwnMenusGoWithTheWidget) {
    // A menu button leaves the client's menu alone, and a client menu
    // deleted first leaves no pointer behind.
    auto* clientMenu = new GlowMenu;
    clientMenu->AddEntry("Open", 1);
    glow::GlowMenuButtonWidget* b = MakeButton(clientMenu, "File");
    EXPECT_EQ(b->GetMenu(), clientMenu);
    delete clientMenu;
    EXPECT_EQ(b->GetMenu(), nullptr);
    for (int button = 0; button < 3; ++button) EXPECT_EQ(b->Face()->ButtonMenu(button), nullptr);
    delete b;
    EndEvent();

    auto* kept = new GlowMenu;
    b = MakeButton(kept, "Kept");
    const int keptId = kept->MenuId();
    delete b;
    EndEvent();
    EXPECT_EQ(Glow::MenuForId(keptId), kept);
    delete kept;

    // A pop-up menu deletes its own menu, detached from its face first.
    GlowPopupMenuWidget* w = MakePopup("a\tb");
    const int id = w->Menu()->MenuId();
    ASSERT_NE(id, 0);
    EXPECT_EQ(Glow::MenuForId(id), w->Menu());
    delete w;
    EndEvent();
    EXPECT_EQ(Glow::MenuForId(id), nullptr);
}

// freeglut opens the menu on a real press of a button it is attached to and
// chooses the entry under the pointer on the next click.
TEST_F(MenuWidgetTest, RealPressOpensTheMenuAndAClickChooses) {
    nextModifiers = -1;
    GlowPopupMenuWidget* w = MakePopup("Red\tGreen\tBlue");
    w->AutoPackDefault();
    EndEvent();
    glow::GlowSubwindow* face = w->Face();
    ASSERT_TRUE(glowtest::WaitUntilMapped(face));
    glowtest::Pump(50);
    const std::string xid = std::to_string(glowtest::XWindowOf(face));
    glowtest::Xdotool("mousemove --window " + xid + " 10 8 mousedown 1");
    ASSERT_TRUE(glowtest::PumpUntil([] { return Glow::IsMenuInUse(); }));
    glowtest::Xdotool("mouseup 1");
    glowtest::Pump(50);
    EXPECT_TRUE(w->IsDown());
    // freeglut ends the process on a change of an open menu: the toolkit
    // holds the widget's changes until the menu is closed.
    w->AddItem("Cyan");
    w->SetItemLabel(0, "Crimson");
    EXPECT_EQ(w->NumItems(), 4);
    EXPECT_EQ(GlutItems(w->Menu()), 3);
    // The third entry, 25 pixels a row below where the menu opened.
    const int sx = face->GlobalX() + 10;
    const int sy = face->GlobalY() + 8;
    glowtest::Xdotool("mousemove " + std::to_string(sx + 20) + " " +
                      std::to_string(sy + 2 + 25 * 2 + 12));
    glowtest::Pump(200);
    glowtest::SavePicture("popup_menu_open", glowtest::ReadScreen(0, 0, 320, 240));
    glowtest::Xdotool("click 1");
    ASSERT_TRUE(glowtest::PumpUntil([] { return !Glow::IsMenuInUse(); }));
    ASSERT_TRUE(glowtest::PumpUntil([this] { return !chosen.messages.empty(); }));
    EXPECT_FALSE(w->IsDown());
    EXPECT_EQ(chosen.messages[0].item, 2);
    EXPECT_EQ(w->GetCurrentItem(), 2);
    EXPECT_EQ(Texts(w), (std::vector<std::string>{"Crimson", "Green", "> Blue", "Cyan"}));
    EXPECT_EQ(GlutItems(w->Menu()), 4);
}

// The face of a pop-up menu: its label spacing pixels from the left edge,
// the arrow icon half the height wide with its right edge a quarter of the
// height from the right edge, pointing down; both in the pressed text and
// icon colour while the menu is shown.
TEST_F(MenuWidgetTest, PopupFaceDrawsLabelAndArrowInEachState) {
    GlowPopupMenuWidget* w = MakePopup("Red\tGreen");
    w->AutoPackDefault();
    EndEvent();
    glow::GlowSubwindow* face = w->Face();
    ASSERT_TRUE(glowtest::WaitUntilMapped(face));
    // GLUT reports the face's first size before the packed one.
    ASSERT_TRUE(glowtest::PumpUntil([&] { return face->Width() == w->Width(); }));
    const glow::GlowFont font;
    const int labelEnd = 10 + glow::GlowWidget::StringWidth(font, "Red");
    auto count = [](const glowtest::Pixels& p, int x0, int x1, GlowColor c) {
        int n = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = x0; x < x1; ++x) n += widgettest::SameColor(At(p, x, y), c) ? 1 : 0;
        return n;
    };
    const GlowColor box(178, 178, 178, 255), pressedBox(127, 127, 127, 255);
    const GlowColor black(0, 0, 0, 255), blue(0, 0, 255, 255), pink(255, 178, 178, 255);
    const struct {
        const char* name;
        bool down;
        GlowColor back, text, icon, otherText;
    } states[] = {
        {"up", false, box, black, blue, pink},
        {"down", true, pressedBox, pink, pink, black},
    };
    for (const auto& state : states) {
        SCOPED_TRACE(state.name);
        MenuStatus(face, state.down);
        const glowtest::Pixels p = PaintFace(face);
        glowtest::SavePicture(std::string("popup_face_") + state.name, p);
        const int W = p.width, H = p.height;
        // The label, and nothing of it between its end and the icon.
        const int right = W - H / 4, left = right - H / 2;
        EXPECT_GT(count(p, 10, labelEnd, state.text), 10);
        EXPECT_EQ(count(p, 10, labelEnd, state.otherText), 0);
        EXPECT_EQ(count(p, 0, 9, state.text), 0);
        EXPECT_EQ(count(p, labelEnd + 1, left - 1, state.text), 0);
        // The arrow: wide under its top edge at 0.35 of the height, a point
        // at 0.65; the face's box colour around it.
        const int mid = (left + right) / 2;
        EXPECT_COLOR(At(p, mid, H * 45 / 100), state.icon);
        EXPECT_COLOR(At(p, left + 2, H * 40 / 100), state.icon);
        EXPECT_COLOR(At(p, left + 2, H * 60 / 100), state.back);
        EXPECT_COLOR(At(p, mid, H * 30 / 100), state.back);
        EXPECT_COLOR(At(p, mid, H * 70 / 100), state.back);
    }
    MenuStatus(face, false);
}

class MenuMouseButtonTest : public MenuWidgetTest {
protected:
    // Presses X button xButton over the face and waits for its menu; then
    // closes the menu with a press beside it, choosing nothing.
    bool OpensItsMenu(glow::GlowSubwindow* face, int xButton) {
        const std::string button = std::to_string(xButton);
        const std::string xid = std::to_string(glowtest::XWindowOf(face));
        glowtest::Xdotool("mousemove --window " + xid + " 10 8 mousedown " + button);
        const bool opened = glowtest::PumpUntil([] { return Glow::IsMenuInUse(); });
        glowtest::Xdotool("mouseup " + button);
        glowtest::Pump(30);
        const std::string fixture = std::to_string(glowtest::XWindowOf(subwindow));
        glowtest::Xdotool("mousemove --window " + fixture + " 310 230 click 1");
        EXPECT_TRUE(glowtest::PumpUntil([] { return !Glow::IsMenuInUse(); }));
        glowtest::Pump(30);
        return opened;
    }
};

// Every mouse button opens the menu of a menu button and of a pop-up menu
// (X buttons 1 to 3 are GLUT's left, middle and right).
TEST_F(MenuMouseButtonTest, EveryButtonOpensTheMenuAndTheFaceIsDownMeanwhile) {
    nextModifiers = -1;
    auto* clientMenu = new GlowMenu;
    clientMenu->AddEntry("Open", 1);
    glow::GlowMenuButtonWidget* button = MakeButton(clientMenu, "File");
    GlowPopupMenuWidget* popup = MakePopup("Red\tGreen\tBlue");
    for (glow::GlowWidget* w : std::vector<glow::GlowWidget*>{button, popup}) w->AutoPackDefault();
    EndEvent();
    const struct {
        const char* name;
        glow::Glow_MenuButtonSubwindow* face;
    } widgets[] = {{"menu button", button->Face()}, {"pop-up menu", popup->Face()}};
    for (const auto& w : widgets) {
        ASSERT_TRUE(glowtest::WaitUntilMapped(w.face));
        for (int xButton = 1; xButton <= 3; ++xButton) {
            SCOPED_TRACE(std::string(w.name) + ", X button " + std::to_string(xButton));
            EXPECT_TRUE(OpensItsMenu(w.face, xButton));
            EXPECT_FALSE(w.face->IsDown());
        }
    }
    EXPECT_TRUE(chosen.messages.empty());
    EXPECT_EQ(popup->GetCurrentItem(), 0);
    delete button;
    EndEvent();
    delete clientMenu;
}

// The label of a labelled pop-up lights up while its menu is shown: the
// menu's opening and closing repaint the widget window, which the main loop
// paints with the label in the colour of the moment. The pop-up sits in the
// window's bottom right corner and its menu opens from there outwards, so
// that no part of the widget window is uncovered, and repainted, when the
// menu goes.
TEST_F(MenuMouseButtonTest, LabelLightsUpWhileTheMenuIsShown) {
    nextModifiers = -1;
    glow::GlowLabeledPopupMenuParams p;
    p.items = "Red\tGreen";
    p.labelText = "Colour";
    p.receiver = &chosen;
    // A panel over the whole subwindow: panels clip their children.
    glow::GlowPanelParams panel;
    panel.width = kWidth;
    panel.height = kHeight;
    auto* w = new glow::GlowLabeledPopupMenuWidget(new glow::GlowPanelWidget(Root(), panel), p);
    w->AutoPackDefault();
    w->Move(kWidth - w->Width(), kHeight - w->Height());
    EndEvent();
    glow::GlowSubwindow* face = w->Face();
    ASSERT_TRUE(glowtest::WaitUntilMapped(face));
    ASSERT_TRUE(glowtest::PumpUntil([&] {
        return face->Width() == w->Width() && face->GetGlutState(GLUT_WINDOW_X) == w->PositionX();
    }));
    glowtest::Pump(50);
    const GlowColor black(0, 0, 0, 255), hilite(204, 0, 0, 255);
    const glow::GlowWidget* label = w->Label();
    // The label's pixels as the main loop last painted them.
    auto labelPixels = [&](GlowColor c) {
        glutSetWindow(subwindow->WindowId());
        const glowtest::Pixels pixels =
            glowtest::ReadBackBuffer(0, 0, WidgetFixture::kWidth, WidgetFixture::kHeight);
        int n = 0;
        for (int y = label->RootPositionY(); y < label->RootPositionY() + label->Height(); ++y)
            for (int x = label->RootPositionX(); x < label->RootPositionX() + label->Width(); ++x)
                n += widgettest::SameColor(At(pixels, x, y), c) ? 1 : 0;
        return n;
    };
    EXPECT_GT(labelPixels(black), 10);
    const std::string xid = std::to_string(glowtest::XWindowOf(face));
    glowtest::Xdotool("mousemove --window " + xid + " " + std::to_string(w->Width() - 2) + " " +
                      std::to_string(w->Height() - 2) + " mousedown 1");
    ASSERT_TRUE(glowtest::PumpUntil([] { return Glow::IsMenuInUse(); }));
    glowtest::Xdotool("mouseup 1");
    EXPECT_TRUE(glowtest::PumpUntil(
        [&] { return widgettest::SameColor(w->Label()->GetTextColor(), hilite); }));
    EXPECT_GT(labelPixels(hilite), 10);
    EXPECT_EQ(labelPixels(black), 0);
    const std::string fixture = std::to_string(glowtest::XWindowOf(subwindow));
    glowtest::Xdotool("mousemove --window " + fixture + " 10 10 click 1");
    ASSERT_TRUE(glowtest::PumpUntil([] { return !Glow::IsMenuInUse(); }));
    EXPECT_TRUE(glowtest::PumpUntil(
        [&] { return widgettest::SameColor(w->Label()->GetTextColor(), black); }));
    EXPECT_GT(labelPixels(black), 10);
    EXPECT_EQ(labelPixels(hilite), 0);
    EXPECT_TRUE(chosen.messages.empty());
}

}  // namespace
