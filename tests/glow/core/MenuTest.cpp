// Pop-up menus: items and marks, delivery modes, submenus, attachment to
// mouse buttons, and real menu use through the X server.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "glow/core/Glow.h"
#include "glow/core/GlowMenu.h"
#include "tests/glow/core/RecordingWindow.h"
#include "tests/glow/support/GlowTestSupport.h"

using namespace glow;
using coretest::Entries;
using coretest::Log;
using coretest::RecordingWindow;
using coretest::Str;

namespace {

const GlowDisplayMode rgbDouble = GlowDisplayMode::rgbBuffer | GlowDisplayMode::doubleBuffer;

// The number of items GLUT has for the menu.
int GlutItems(const GlowMenu& menu) {
    int saved = glutGetMenu();
    glutSetMenu(menu.MenuId());
    int n = glutGet(GLUT_MENU_NUM_ITEMS);
    if (saved != 0) glutSetMenu(saved);
    return n;
}

std::vector<std::string> Texts(const GlowMenu& menu) {
    std::vector<std::string> out;
    for (int i = 0; i < menu.NumItems(); ++i) out.push_back(menu.ItemText(i));
    return out;
}

struct MenuLog : GlowMenuReceiver {
    void OnMessage(const GlowMenuMessage& m) override {
        Log().push_back("message " + Str(m.code) + " " + (m.window ? "window" : "null") + " " +
                        Str(m.x) + " " + Str(m.y));
        last = m;
    }
    GlowMenuMessage last{};
};

// A selection as GLUT reports it: the menu holding the entry is current.
void Select(GlowMenu& menu, int code) {
    glutSetMenu(menu.MenuId());
    Glow::OnGlutMenu(code);
}

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override { Log().clear(); }
    void TearDown() override { Glow::EndEvent(); }
};

TEST_F(MenuTest, ItemsMirroredInGlut) {
    GlowMenu menu;
    EXPECT_EQ(Glow::MenuForId(menu.MenuId()), &menu);
    menu.AddEntry("one", 1);
    menu.AddEntry("two", 2);
    menu.AddEntry("three", 3);
    menu.InsertEntry(0, "zero", 0);
    EXPECT_EQ(Texts(menu), (std::vector<std::string>{"zero", "one", "two", "three"}));
    EXPECT_EQ(GlutItems(menu), 4);
    menu.RemoveItem(2);
    EXPECT_EQ(Texts(menu), (std::vector<std::string>{"zero", "one", "three"}));
    EXPECT_EQ(menu.GetItemCode(2), 3);  // codes are not renumbered
    EXPECT_EQ(GlutItems(menu), 3);
    menu.NumberItemsByIndex();
    EXPECT_EQ(menu.GetItemCode(2), 2);

    // Indexes outside the list are refused.
    menu.RemoveItem(3);
    menu.RemoveItem(-1);
    menu.SetItemLabel(7, "x");
    menu.InsertEntry(5, "far", 9);
    menu.InsertEntry(3, "end", 9);  // the count appends
    EXPECT_EQ(menu.NumItems(), 4);
    EXPECT_EQ(GlutItems(menu), 4);
    EXPECT_EQ(menu.GetItemLabel(4), nullptr);
    EXPECT_EQ(menu.GetItemLabel(-1), nullptr);
    EXPECT_STREQ(menu.GetItemLabel(3), "end");

    // A text far beyond any fixed buffer is kept whole.
    std::string longLabel(500, 'L');
    menu.SetItemLabel(0, longLabel.c_str());
    menu.SetItemMark(0, "> ");
    EXPECT_EQ(menu.ItemText(0), "> " + longLabel);
}

TEST_F(MenuTest, MarksGoInFrontOfTheLabel) {
    GlowMenu menu;
    for (const char* label : {"JC", "F81", "K2P"}) menu.AddEntry(label, 0);
    menu.SetItemMark(1, "> ");
    EXPECT_EQ(Texts(menu), (std::vector<std::string>{"JC", "> F81", "K2P"}));
    EXPECT_EQ(menu.NextMarkedItem(-1), 1);
    EXPECT_EQ(menu.NextMarkedItem(1), -1);
    menu.ToggleItemMark(2, "* ");
    menu.ToggleItemMark(2, "* ");
    EXPECT_EQ(menu.ItemText(2), "K2P");
    menu.ToggleItemMark(0, nullptr);  // no text: stays unmarked
    EXPECT_FALSE(menu.IsItemMarked(0));
    menu.SetItemMark(0, "+");
    EXPECT_EQ(menu.NextMarkedItem(-1), 0);
    EXPECT_EQ(menu.NextMarkedItem(0), 1);
    menu.UnmarkItem(1);
    EXPECT_EQ(menu.NextMarkedItem(0), -1);
    menu.SetItemMark(2, "> ");
    menu.UnmarkAllItems();
    EXPECT_EQ(Texts(menu), (std::vector<std::string>{"JC", "F81", "K2P"}));
    menu.SetItemMark(1, "> ");
    menu.SetItemEntry(1, "F84", 7);  // a plain entry: no mark
    EXPECT_EQ(menu.ItemText(1), "F84");
    EXPECT_EQ(menu.GetItemCode(1), 7);
    EXPECT_EQ(GlutItems(menu), 3);
}

TEST_F(MenuTest, DeliveryModes) {
    RecordingWindow w;
    w.name = "w";
    w.Init("modes", 0, 0, 50, 50, rgbDouble, 0);
    GlowMenu menu;
    menu.AddEntry("a", 5);
    MenuLog receiver;
    menu.Bind(&receiver);
    // The menu was used over w at (12, 34).
    glutSetWindow(w.WindowId());
    Glow::OnGlutMenuStatus(GLUT_MENU_IN_USE, 12, 34);
    Glow::OnGlutMenuStatus(GLUT_MENU_NOT_IN_USE, 0, 0);
    EXPECT_EQ(Glow::MenuWindow(), &w);
    Log().clear();

    Select(menu, 5);  // mode 1: the receivers
    EXPECT_EQ(receiver.last.menu, &menu);
    menu.SetDeliveryMode(GlowMenu::noMessages);
    Select(menu, 6);
    menu.SetDeliveryMode(GlowMenu::windowMessages);
    Select(menu, 7);
    EXPECT_EQ(Log(), (std::vector<std::string>{"message 5 window 12 34", "w.selection 7"}));

    // Used over a GLUT window the toolkit does not know: a null window,
    // which mode 2 cannot hand the selection to.
    int foreign = glutCreateWindow("foreign");
    glutSetWindow(foreign);
    Glow::OnGlutMenuStatus(GLUT_MENU_IN_USE, 3, 4);
    Glow::OnGlutMenuStatus(GLUT_MENU_NOT_IN_USE, 0, 0);
    EXPECT_EQ(Glow::MenuWindow(), nullptr);
    Log().clear();
    Select(menu, 8);
    menu.SetDeliveryMode(GlowMenu::senderMessages);
    Select(menu, 9);
    EXPECT_EQ(Log(), (std::vector<std::string>{"message 9 null 3 4"}));
    glutDestroyWindow(foreign);

    // An unknown GLUT menu: dropped.
    int stray = glutCreateMenu(Glow::OnGlutMenu);
    int counter = Glow::EventCounter();
    glutSetMenu(stray);
    Glow::OnGlutMenu(1);
    EXPECT_EQ(Glow::EventCounter(), counter + 1);
    glutDestroyMenu(stray);
}

TEST_F(MenuTest, SubmenuChoicesAreHandledByTheSubmenu) {
    GlowMenu top, sub;
    MenuLog topLog, subLog;
    top.Bind(&topLog);
    sub.Bind(&subLog);
    sub.AddEntry("deep", 42);
    top.AddEntry("plain", 1);
    top.AddSubmenu("more", &sub);
    EXPECT_TRUE(top.IsItemSubmenu(1));
    EXPECT_EQ(top.GetItemCode(1), 0);
    top.NumberItemsByIndex();  // the submenu item keeps code 0
    EXPECT_EQ(top.GetItemCode(1), 0);
    EXPECT_EQ(top.GetItemCode(0), 0);
    Select(sub, 42);
    EXPECT_EQ(subLog.last.code, 42);
    EXPECT_EQ(subLog.last.menu, &sub);
    sub.SetDeliveryMode(GlowMenu::noMessages);
    Log().clear();
    Select(sub, 42);
    EXPECT_TRUE(Log().empty());
    top.SetItemCode(1, 5);  // a plain entry now
    EXPECT_FALSE(top.IsItemSubmenu(1));
    top.SetItemSubmenu(0, "again", &sub);
    EXPECT_EQ(top.GetItemSubmenu(0), &sub);
    EXPECT_EQ(GlutItems(top), 2);
}

TEST_F(MenuTest, DestroyedMenuLeavesWindowsAndParents) {
    RecordingWindow w;
    w.name = "w";
    w.Init("detach", 0, 0, 50, 50, rgbDouble, GlowEventMask::menuEvents);
    GlowMenu parent;
    parent.AddEntry("before", 1);
    auto* child = new GlowMenu;
    child->AddEntry("x", 2);
    parent.AddSubmenu("child", child);
    parent.AddEntry("after", 3);
    parent.InsertSubmenu(0, "child again", child);
    w.SetButtonMenu(GLUT_RIGHT_BUTTON, child);
    w.SetButtonMenu(GLUT_LEFT_BUTTON, &parent);
    delete child;
    EXPECT_EQ(w.ButtonMenu(GLUT_RIGHT_BUTTON), nullptr);
    EXPECT_EQ(w.ButtonMenu(GLUT_LEFT_BUTTON), &parent);
    EXPECT_EQ(Texts(parent), (std::vector<std::string>{"before", "after"}));
    EXPECT_EQ(GlutItems(parent), 2);
    EXPECT_EQ(parent.GetItemCode(1), 3);
}

// Real menu use: freeglut opens the menu on the press of the button it is
// attached to and picks the entry under the pointer on the next click.
class RealMenuTest : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        window_ = std::make_unique<RecordingWindow>();
        window_->name = "w";
        window_->Init("menu", 200, 200, 300, 300, rgbDouble,
                      GlowEventMask::menuEvents | GlowEventMask::mouseEvents);
        ASSERT_TRUE(glowtest::WaitUntilMapped(window_.get()));
        xid_ = std::to_string(glowtest::XWindowOf(window_.get()));
        Log().clear();
    }
    void TearDown() override {
        // Leave no menu open for the next test.
        if (Glow::IsMenuInUse()) {
            glowtest::Xdotool("mousemove 5 1000 click 1");
            glowtest::PumpUntil([] { return !Glow::IsMenuInUse(); });
        }
        window_.reset();
        MenuTest::TearDown();
    }
    // Presses the right button at (x, y) in the window; true once GLUT
    // reports the menu in use.
    bool Open(int x, int y, int timeoutMsecs = 2000) {
        glowtest::Xdotool("mousemove --window " + xid_ + " " + Str(x) + " " + Str(y) +
                          " mousedown 3");
        bool open = glowtest::PumpUntil([] { return Glow::IsMenuInUse(); }, timeoutMsecs);
        glowtest::Xdotool("mouseup 3");
        glowtest::Pump(30);
        return open;
    }
    // Clicks item i of the menu opened at (x, y).
    // A picture of the open menu is kept under the name, when one is given.
    void Pick(int x, int y, int item, const std::string& screenshot = "") {
        int wx = window_->GetGlutState(GLUT_WINDOW_X);
        int wy = window_->GetGlutState(GLUT_WINDOW_Y);
        glowtest::Xdotool("mousemove " + Str(wx + x + 20) + " " + Str(wy + y + 2 + 25 * item + 12));
        glowtest::Pump(screenshot.empty() ? 50 : 200);
        if (!screenshot.empty())
            glowtest::SavePicture(screenshot, glowtest::ReadScreen(wx, wy, 300, 200));
        glowtest::Xdotool("click 1");
        glowtest::PumpUntil([] { return !Glow::IsMenuInUse(); });
        glowtest::Pump(30);
    }
    std::unique_ptr<RecordingWindow> window_;
    std::string xid_;
};

TEST_F(RealMenuTest, InUseThenNotInUseThenTheSelection) {
    GlowMenu menu;
    menu.AddEntry("one", 1);
    menu.AddEntry("two", 2);
    menu.AddEntry("three", 3);
    menu.InsertEntry(0, "new first", 99);
    menu.SetItemMark(2, "> ");
    menu.SetDeliveryMode(GlowMenu::windowMessages);
    window_->SetButtonMenu(GLUT_RIGHT_BUTTON, &menu);
    ASSERT_TRUE(Open(30, 40));
    Pick(30, 40, 0, "menu_in_use");
    EXPECT_EQ(Log(),
              (std::vector<std::string>{"w.menuInUse 30 40", "w.menuNotInUse", "w.selection 99"}));
    Log().clear();
    ASSERT_TRUE(Open(30, 40));
    Pick(30, 40, 3);
    EXPECT_EQ(Entries("w.selection"), (std::vector<std::string>{"w.selection 3"}));
}

TEST_F(RealMenuTest, MenusAttachOnlyWhileTheMaskAsksForThem) {
    GlowMenu menu;
    menu.AddEntry("only", 1);
    window_->SetEventMask(GlowEventMask::mouseEvents);
    window_->SetButtonMenu(GLUT_RIGHT_BUTTON, &menu);  // stored, not attached
    EXPECT_FALSE(Open(50, 50, 300));
    EXPECT_EQ(Entries("w.down").size(), 1u);  // the press reached the window
    window_->SetEventMask(GlowEventMask::mouseEvents | GlowEventMask::menuEvents);
    ASSERT_TRUE(Open(50, 50));
    Pick(50, 50, 0);
    // Detaching and destroying: no menu any more.
    window_->SetButtonMenu(GLUT_RIGHT_BUTTON, nullptr);
    EXPECT_FALSE(Open(50, 50, 300));
    window_->SetButtonMenu(GLUT_RIGHT_BUTTON, &menu);
    ASSERT_TRUE(Open(50, 50));
    Pick(50, 50, 0);
    // Inactive windows use their inactive mask, which has no menu bit.
    window_->Deactivate();
    EXPECT_FALSE(Open(50, 50, 300));
    window_->Activate();
    ASSERT_TRUE(Open(50, 50));
    Pick(50, 50, 0);
}

TEST_F(RealMenuTest, DestroyedMenuIsNoLongerAttached) {
    auto* menu = new GlowMenu;
    menu->AddEntry("gone", 1);
    window_->SetButtonMenu(GLUT_RIGHT_BUTTON, menu);
    delete menu;
    EXPECT_FALSE(Open(50, 50, 300));
}

// freeglut ends the process on menu changes while a menu is open; timers
// and idle work still run then.
TEST_F(RealMenuTest, ChangesWhileAMenuIsOpenWaitUntilItCloses) {
    GlowMenu menu;
    menu.SetDeliveryMode(GlowMenu::windowMessages);
    menu.AddEntry("one", 1);
    menu.AddEntry("two", 2);
    auto* doomed = new GlowMenu;
    doomed->AddEntry("doomed", 5);
    menu.AddSubmenu("sub", doomed);
    window_->SetButtonMenu(GLUT_RIGHT_BUTTON, &menu);
    GlowMenu* made = nullptr;
    window_->onMenuInUse = [&] {
        made = new GlowMenu;
        made->AddEntry("made while open", 7);
        made->AddEntry("second", 8);
        made->RemoveItem(1);
        menu.InsertEntry(0, "inserted", 50);
        menu.SetItemMark(1, "> ");
        menu.RemoveItem(2);
        delete doomed;
        window_->SetButtonMenu(GLUT_MIDDLE_BUTTON, made);
        window_->SetButtonMenu(GLUT_RIGHT_BUTTON, made);
    };
    // Closing the menu: changes made then wait for the selection too.
    window_->onMenuNotInUse = [&] { menu.SetItemEntry(1, "changed on close", 77); };
    ASSERT_TRUE(Open(30, 30));
    EXPECT_EQ(made->MenuId(), 0);  // waits to be created
    Pick(30, 30, 1);
    window_->onMenuNotInUse = nullptr;
    // The open menu still had its old items: its second entry was "two".
    EXPECT_EQ(Entries("w.selection"), (std::vector<std::string>{"w.selection 2"}));
    ASSERT_NE(made->MenuId(), 0);
    EXPECT_EQ(Glow::MenuForId(made->MenuId()), made);
    EXPECT_EQ(GlutItems(*made), 1);
    EXPECT_EQ(Texts(menu), (std::vector<std::string>{"inserted", "changed on close"}));
    EXPECT_EQ(GlutItems(menu), 2);
    // The right button now opens the new menu.
    made->SetDeliveryMode(GlowMenu::windowMessages);
    window_->onMenuInUse = nullptr;
    Log().clear();
    ASSERT_TRUE(Open(30, 30));
    Pick(30, 30, 0);
    EXPECT_EQ(Entries("w.selection"), (std::vector<std::string>{"w.selection 7"}));
    delete made;
}

TEST_F(RealMenuTest, WindowDestroyedWhileItsMenuIsOpen) {
    GlowMenu menu;
    menu.AddEntry("one", 1);
    window_->SetButtonMenu(GLUT_RIGHT_BUTTON, &menu);
    ASSERT_TRUE(Open(30, 30));
    EXPECT_EQ(Glow::MenuWindow(), window_.get());
    // A timer runs while the menu is open and deletes the window.
    struct Closer : GlowTimerReceiver {
        std::unique_ptr<RecordingWindow>* window;
        void OnMessage(const GlowTimerMessage&) override { window->reset(); }
    } closer;
    closer.window = &window_;
    Glow::StartTimer(5, &closer);
    ASSERT_TRUE(glowtest::PumpUntil([&] { return window_ == nullptr; }));
    glowtest::Pump(50);
    EXPECT_EQ(Glow::MenuWindow(), nullptr);
    EXPECT_FALSE(Glow::IsMenuInUse());
    // Menu changes work again.
    menu.AddEntry("two", 2);
    EXPECT_EQ(GlutItems(menu), 2);
}

}  // namespace
