// Subwindows and top-level windows: sizes, callbacks by mask, cursors,
// cached positions, fixed sizes, titles, the current window, Refresh.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "glow/core/Glow.h"
#include "glow/core/GlowFixedSizeWindow.h"
#include "tests/glow/core/RecordingWindow.h"
#include "tests/glow/support/GlowTestSupport.h"

using namespace glow;
using coretest::Entries;
using coretest::Log;
using coretest::RecordingSubwindow;
using coretest::RecordingWindow;

namespace {

const GlowDisplayMode rgbDouble = GlowDisplayMode::rgbBuffer | GlowDisplayMode::doubleBuffer;

std::unique_ptr<RecordingWindow> MakeWindow(const char* title, int x, int y, int w, int h,
                                            unsigned int mask) {
    auto win = std::make_unique<RecordingWindow>();
    win->name = title;
    win->Init(title, x, y, w, h, rgbDouble, mask);
    return win;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { Log().clear(); }
    void TearDown() override { Glow::EndEvent(); }
};

TEST_F(WindowTest, SizesFromTheParentAreNeverBelowOne) {
    auto top = MakeWindow("sizes", 0, 0, 200, 120, 0);
    struct Case {
        int x, y, width, height;
        int expectedWidth, expectedHeight;
    };
    const Case cases[] = {
        {20, 30, -1, -1, 180, 90},  // fills to the right and bottom edges
        {0, 0, 50, -1, 50, 120},    // one size given
        {200, 0, -1, 10, 1, 10},    // at the right edge: 0 becomes 1
        {250, 130, -1, -1, 1, 1},   // beyond the edges: negative becomes 1
        {0, 0, 0, -5, 1, 1},        // sizes given as 0 or below
    };
    for (const Case& c : cases) {
        GlowSubwindowParams params;
        params.x = c.x;
        params.y = c.y;
        params.width = c.width;
        params.height = c.height;
        auto* sub = new GlowSubwindow(top.get(), params);
        EXPECT_EQ(sub->Width(), c.expectedWidth);
        EXPECT_EQ(sub->Height(), c.expectedHeight);
        EXPECT_EQ(sub->GetGlutState(GLUT_WINDOW_WIDTH), c.expectedWidth);
        EXPECT_EQ(sub->GetGlutState(GLUT_WINDOW_HEIGHT), c.expectedHeight);
        EXPECT_EQ(sub->ParentSubwindow(), top.get());
        EXPECT_EQ(sub->EnclosingSubwindow(), sub);
    }
    glowtest::Pump(50);  // the X server has accepted every size
    EXPECT_EQ(top->NumChildren(), 5);
}

TEST_F(WindowTest, ParamDefaults) {
    GlowSubwindowParams sub;
    EXPECT_EQ(sub.width, -1);
    EXPECT_EQ(sub.height, -1);
    EXPECT_EQ(sub.x, 0);
    EXPECT_EQ(sub.displayMode, rgbDouble);
    GlowWindowParams win;
    EXPECT_EQ(win.width, 100);
    EXPECT_EQ(win.x, -1);
    EXPECT_STREQ(win.title, "");
    EXPECT_EQ(win.iconTitle, nullptr);
}

// GLUT itself decides which callbacks run: real clicks through xdotool.
TEST_F(WindowTest, TheMaskChoosesTheCallbacks) {
    auto top = MakeWindow("mask", 400, 100, 200, 100, GlowEventMask::mouseEvents);
    auto* deaf = new RecordingSubwindow;
    deaf->name = "deaf";
    deaf->Init(top.get(), 100, 0, 100, 100, rgbDouble, GlowEventMask::keyboardEvents);
    ASSERT_TRUE(glowtest::WaitUntilMapped(top.get()));
    ASSERT_TRUE(glowtest::PumpUntil([&] { return deaf->displays > 0 && deaf->reshapes > 0; }));
    std::string topId = std::to_string(glowtest::XWindowOf(top.get()));
    std::string deafId = std::to_string(glowtest::XWindowOf(deaf));

    ASSERT_TRUE(glowtest::Xdotool("mousemove --window " + deafId + " 10 10 click 1"));
    ASSERT_TRUE(glowtest::Xdotool("mousemove --window " + topId + " 10 10 click 1"));
    ASSERT_TRUE(glowtest::PumpUntil([] { return !Entries("mask.up").empty(); }));
    EXPECT_TRUE(Entries("deaf.down").empty());
    EXPECT_EQ(Entries("mask.down"), (std::vector<std::string>{"mask.down 0 10 10 0"}));

    // A new mask takes effect at once.
    deaf->SetEventMask(GlowEventMask::mouseEvents);
    ASSERT_TRUE(glowtest::Xdotool("mousemove --window " + deafId + " 5 6 click 2"));
    ASSERT_TRUE(glowtest::PumpUntil([] { return !Entries("deaf.up").empty(); }));
    EXPECT_EQ(Entries("deaf.down"), (std::vector<std::string>{"deaf.down 1 5 6 0"}));
}

TEST_F(WindowTest, InactiveWindowsShowTheInheritedCursor) {
    auto w = MakeWindow("cursor", 0, 0, 100, 100, GlowEventMask::mouseEvents);
    w->SetCursor(GLUT_CURSOR_CROSSHAIR);
    EXPECT_EQ(w->GetGlutState(GLUT_WINDOW_CURSOR), GLUT_CURSOR_CROSSHAIR);
    w->Deactivate();
    EXPECT_EQ(w->GetGlutState(GLUT_WINDOW_CURSOR), GLUT_CURSOR_INHERIT);
    EXPECT_EQ(w->Cursor(), GLUT_CURSOR_CROSSHAIR);
    w->SetCursor(GLUT_CURSOR_WAIT);  // also while inactive
    EXPECT_EQ(w->GetGlutState(GLUT_WINDOW_CURSOR), GLUT_CURSOR_WAIT);
    w->Activate();
    EXPECT_EQ(w->GetGlutState(GLUT_WINDOW_CURSOR), GLUT_CURSOR_WAIT);
    Glow::EndEvent();
    EXPECT_EQ(Entries("cursor."),
              (std::vector<std::string>{}));  // deactivation and activation cancelled
}

TEST_F(WindowTest, OperationsKeepTheCurrentWindow) {
    auto a = MakeWindow("a", 0, 0, 100, 100, 0);
    auto b = MakeWindow("b", 0, 0, 100, 100, 0);
    auto* sub = new GlowSubwindow(b.get(), 0, 0, 10, 10, rgbDouble, 0);
    // Creation leaves the new window current.
    EXPECT_EQ(glutGetWindow(), sub->WindowId());
    glutSetWindow(a->WindowId());
    sub->Move(3, 4);
    sub->Reshape(20, 20);
    sub->Raise();
    sub->Lower();
    sub->Hide();
    sub->Show();
    sub->SetCursor(GLUT_CURSOR_HELP);
    sub->SetEventMask(GlowEventMask::keyboardEvents);
    sub->GetGlutState(GLUT_WINDOW_X);
    sub->GlobalX();
    b->SetTitle("b2");
    b->SetIconTitle("b2 icon");
    b->Deactivate();
    b->Activate();
    EXPECT_EQ(glutGetWindow(), a->WindowId());
}

TEST_F(WindowTest, GlobalPositionIsCachedPerEvent) {
    auto w = MakeWindow("pos", 100, 200, 150, 150, 0);
    auto* sub = new GlowSubwindow(w.get(), 10, 20, 30, 30, rgbDouble, 0);
    ASSERT_TRUE(glowtest::WaitUntilMapped(w.get()));
    Glow::OnGlutIdle();  // a new event: the cache is stale
    int x = sub->GlobalX();
    EXPECT_EQ(x, w->GlobalX() + 10);
    EXPECT_EQ(sub->GlobalY(), w->GlobalY() + 20);
    // After Move the new position is there at once, before GLUT moves it.
    sub->Move(50, 60);
    EXPECT_EQ(sub->GlobalX(), w->GlobalX() + 50);
    EXPECT_EQ(sub->GlobalY(), w->GlobalY() + 60);
    glowtest::Pump(50);
    Glow::OnGlutIdle();
    EXPECT_EQ(sub->GlobalX(), w->GlobalX() + 50);
}

TEST_F(WindowTest, FixedSizeWindowSnapsBack) {
    GlowFixedSizeWindow w;
    w.Init("fixed", 50, 50, 160, 120, rgbDouble, 0);
    ASSERT_TRUE(glowtest::WaitUntilMapped(&w));
    glowtest::SendReshape(&w, 300, 200);  // as after a user's resize
    EXPECT_EQ(w.Width(), 160);
    EXPECT_EQ(w.Height(), 120);
    ASSERT_TRUE(glowtest::PumpUntil([&] { return w.GetGlutState(GLUT_WINDOW_WIDTH) == 160; }));
    w.ForceReshape(90, 70);
    ASSERT_TRUE(glowtest::PumpUntil([&] { return w.GetGlutState(GLUT_WINDOW_WIDTH) == 90; }));
    glowtest::SendReshape(&w, 160, 120);
    ASSERT_TRUE(glowtest::PumpUntil([&] { return w.GetGlutState(GLUT_WINDOW_HEIGHT) == 70; }));
    EXPECT_EQ(w.FixedWidth(), 90);
}

TEST_F(WindowTest, TitlesAreOwnedCopies) {
    std::string title = "first";
    GlowWindowParams params;
    params.title = title.c_str();
    GlowWindow w(params);
    title = "changed";
    EXPECT_STREQ(w.Title(), "first");
    EXPECT_STREQ(w.IconTitle(), "first");
    w.SetTitle("second");
    w.SetTitle(nullptr);  // a null title is an empty title
    EXPECT_STREQ(w.Title(), "");
    w.SetIconTitle("icon");
    EXPECT_STREQ(w.IconTitle(), "icon");
    // A title set from the window's own title.
    w.SetTitle("own");
    w.SetTitle(w.Title());
    EXPECT_STREQ(w.Title(), "own");
    w.SetIconTitle(w.IconTitle());
    EXPECT_STREQ(w.IconTitle(), "icon");
    GlowWindow untitled(nullptr, 0, 0, 50, 50, rgbDouble, 0);
    EXPECT_STREQ(untitled.Title(), "");
    EXPECT_STREQ(untitled.IconTitle(), "");
}

TEST_F(WindowTest, RefreshFromAnotherThreadReachesTheMainLoop) {
    auto w = MakeWindow("refresh", 300, 300, 60, 60, 0);
    ASSERT_TRUE(glowtest::WaitUntilMapped(w.get()));
    glowtest::Pump(100);
    int before = w->displays;
    std::atomic<bool> done{false};
    std::thread analysis([&] {
        for (int i = 0; i < 50; ++i) w->Refresh();
        done = true;
    });
    analysis.join();
    ASSERT_TRUE(done);
    // Only flags were raised off the main thread; the poll turns them into
    // one redisplay.
    ASSERT_TRUE(glowtest::PumpUntil([&] { return w->displays > before; }));
    int after = w->displays;
    glowtest::Pump(150);
    EXPECT_EQ(w->displays, after);

    // On the main thread Refresh posts at once.
    w->Refresh();
    glutMainLoopEvent();
    EXPECT_EQ(w->displays, after + 1);
}

TEST_F(WindowTest, DestroyingAWindowDestroysItsSubwindowsFirst) {
    auto* w = new RecordingWindow;
    w->Init("parent", 0, 0, 100, 100, rgbDouble, 0);
    auto* sub = new GlowSubwindow(w, 0, 0, 10, 10, rgbDouble, 0);
    auto* inner = new GlowSubwindow(sub, 0, 0, 5, 5, rgbDouble, 0);
    int ids[] = {w->WindowId(), sub->WindowId(), inner->WindowId()};
    delete w;
    for (int id : ids) EXPECT_EQ(Glow::WindowForId(id), nullptr);
    glowtest::Pump(30);
}

TEST_F(WindowTest, ExtensionAndDisplayModeQueries) {
    auto w = MakeWindow("queries", 0, 0, 40, 40, 0);
    glutSetWindow(w->WindowId());
    std::string extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    std::string first = extensions.substr(0, extensions.find(' '));
    EXPECT_TRUE(Glow::HasExtension(first.c_str()));
    EXPECT_FALSE(Glow::HasExtension("GL_TAVREL_no_such_extension"));
    EXPECT_FALSE(Glow::HasExtension(nullptr));

    glutInitDisplayMode(GLUT_RGB | GLUT_SINGLE);
    EXPECT_TRUE(Glow::IsDisplayModePossible(rgbDouble | GlowDisplayMode::depthBuffer));
    // The initial display mode is restored.
    EXPECT_EQ(glutGet(GLUT_INIT_DISPLAY_MODE), GLUT_RGB | GLUT_SINGLE);
}

}  // namespace
