// GLUT callbacks reaching the right toolkit object, the event filters and
// end-of-event processing.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "glow/core/Glow.h"
#include "tests/glow/core/RecordingWindow.h"
#include "tests/glow/support/GlowTestSupport.h"

using namespace glow;
using coretest::Entries;
using coretest::Log;
using coretest::RecordingSubwindow;
using coretest::RecordingWindow;

namespace {

constexpr unsigned int allInput = GlowEventMask::keyboardEvents | GlowEventMask::mouseEvents |
                                  GlowEventMask::dragEvents | GlowEventMask::motionEvents |
                                  GlowEventMask::visibilityEvents | GlowEventMask::focusEvents;

RecordingWindow* MakeWindow(const std::string& name, int x = 10, int y = 10, int w = 200,
                            int h = 150, unsigned int mask = allInput) {
    auto* win = new RecordingWindow;
    win->name = name;
    GlowWindowParams params;
    params.x = x;
    params.y = y;
    params.width = w;
    params.height = h;
    params.title = name.c_str();
    params.eventMask = mask;
    win->Init(params);
    return win;
}

int hookCalls = 0;
void CountingHook() {
    ++hookCalls;
    Log().push_back("hook");
}

class DispatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        Log().clear();
        hookCalls = 0;
        Glow::SetEndEventHook(CountingHook);
    }
    void TearDown() override {
        Glow::SetEndEventHook(nullptr);
        Glow::EndEvent();
    }
};

TEST_F(DispatchTest, EventsReachTheObjectOfTheCurrentWindow) {
    std::unique_ptr<RecordingWindow> a(MakeWindow("a"));
    std::unique_ptr<RecordingWindow> b(MakeWindow("b", 300));
    RecordingSubwindow* sub = new RecordingSubwindow;
    sub->name = "sub";
    sub->Init(b.get(), 10, 10, 50, 50, GlowDisplayMode::rgbBuffer | GlowDisplayMode::doubleBuffer,
              allInput);
    EXPECT_EQ(Glow::WindowForId(a->WindowId()), a.get());
    EXPECT_EQ(Glow::WindowForId(sub->WindowId()), sub);

    glowtest::SendKey(b.get(), 'q', 3, 4);
    glowtest::SendKey(a.get(), 'a', 5, 6);
    glowtest::SendMouse(sub, 2, GLUT_DOWN, 7, 8);
    glowtest::SendMouse(sub, 2, GLUT_UP, 9, 10);
    glowtest::SendMotion(a.get(), 11, 12);
    glowtest::SendPassiveMotion(b.get(), 13, 14);
    glowtest::SendVisibility(a.get(), GLUT_VISIBLE);
    glowtest::SendVisibility(a.get(), GLUT_NOT_VISIBLE);
    glowtest::SendVisibility(a.get(), 7);  // unknown state: nothing
    glowtest::SendEntry(sub, GLUT_ENTERED);
    glowtest::SendEntry(sub, GLUT_LEFT);
    glowtest::SendReshape(b.get(), 120, 90);

    std::vector<std::string> handlers;
    for (const std::string& s : Log())
        if (s != "hook") handlers.push_back(s);
    EXPECT_EQ(handlers, (std::vector<std::string>{
                            "b.key 113 3 4 0", "a.key 97 5 6 0", "sub.down 2 7 8 0",
                            "sub.up 2 9 10 0", "a.drag 11 12", "b.motion 13 14", "a.visible",
                            "a.invisible", "sub.enter", "sub.exit", "b.reshape 120 90"}));
    EXPECT_EQ(b->Width(), 120);
    EXPECT_EQ(b->Height(), 90);
    EXPECT_EQ(hookCalls, 12);  // every event ends with end-of-event processing
}

TEST_F(DispatchTest, SpecialKeysArriveAsCodePlus256) {
    std::unique_ptr<RecordingWindow> w(MakeWindow("w"));
    glowtest::SendSpecial(w.get(), GLUT_KEY_F1);
    glowtest::SendSpecial(w.get(), GLUT_KEY_LEFT);
    glowtest::SendKey(w.get(), 'a');
    glowtest::SendKey(w.get(), 255);
    EXPECT_EQ(Entries("w.key"), (std::vector<std::string>{"w.key 257 0 0 0", "w.key 356 0 0 0",
                                                          "w.key 97 0 0 0", "w.key 255 0 0 0"}));
}

TEST_F(DispatchTest, EventsOfUnknownWindowsAreDropped) {
    std::unique_ptr<RecordingWindow> known(MakeWindow("known"));
    glutInitWindowSize(50, 50);
    int foreign = glutCreateWindow("foreign");
    int before = Glow::EventCounter();
    glutSetWindow(foreign);
    Glow::OnGlutKeyboard('x', 1, 1);
    Glow::OnGlutMouse(0, GLUT_DOWN, 1, 1);
    Glow::OnGlutDisplay();
    Glow::OnGlutReshape(10, 10);
    EXPECT_EQ(Glow::EventCounter(), before + 4);  // only the counter moves
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(hookCalls, 0);
    glutDestroyWindow(foreign);
}

// Filters that log, stop or rewrite.
struct KeyFilter : GlowKeyboardFilter {
    std::string name;
    bool pass = true;
    std::function<void(GlowKeyboardData&)> rewrite;
    bool Filter(GlowKeyboardData& data) override {
        Log().push_back("filter " + name);
        if (rewrite) rewrite(data);
        return pass;
    }
};

struct ButtonFilter : GlowMouseFilter {
    bool pass = true;
    bool Filter(GlowMouseData& data) override {
        Log().push_back("mousefilter " + coretest::Str(data.kind) + " " +
                        coretest::Str(data.button));
        return pass;
    }
};

TEST_F(DispatchTest, KeyboardFiltersStopOrRewriteTheEvent) {
    std::unique_ptr<RecordingWindow> w(MakeWindow("w"));
    std::unique_ptr<RecordingWindow> other(MakeWindow("other", 300));
    KeyFilter first, stopper, last;
    first.name = "first";
    stopper.name = "stopper";
    last.name = "last";
    Glow::AddKeyboardFilter(&first);
    Glow::AddKeyboardFilter(&stopper);
    Glow::AddKeyboardFilter(&stopper);  // bound once
    Glow::AddKeyboardFilter(&last);

    stopper.pass = false;
    glowtest::SendKey(w.get(), 'k');
    // The stopping filter's successors are not asked; the handler is not
    // called; end-of-event processing still runs.
    EXPECT_EQ(Log(), (std::vector<std::string>{"filter first", "filter stopper", "hook"}));

    Log().clear();
    stopper.pass = true;
    stopper.rewrite = [&](GlowKeyboardData& d) {
        d.key = 'z';
        d.x = 40;
        d.y = 41;
        d.subwindow = other.get();
    };
    glowtest::SendSpecial(w.get(), GLUT_KEY_UP);
    EXPECT_EQ(Log(), (std::vector<std::string>{"filter first", "filter stopper", "filter last",
                                               "other.key 122 40 41 0", "hook"}));

    Log().clear();
    stopper.rewrite = [](GlowKeyboardData& d) { d.subwindow = nullptr; };
    glowtest::SendKey(w.get(), 'n');  // no window left: nobody to call
    EXPECT_EQ(Log(),
              (std::vector<std::string>{"filter first", "filter stopper", "filter last", "hook"}));

    Glow::RemoveKeyboardFilter(&first);
    Glow::RemoveKeyboardFilter(&stopper);
    Glow::RemoveKeyboardFilter(&last);
    Glow::RemoveKeyboardFilter(&last);  // not bound any more: ignored
}

TEST_F(DispatchTest, MouseFiltersSeeKindAndCanStop) {
    std::unique_ptr<RecordingWindow> w(MakeWindow("w"));
    ButtonFilter filter;
    Glow::AddMouseFilter(&filter);
    glowtest::SendMouse(w.get(), 1, GLUT_DOWN, 5, 5);
    filter.pass = false;
    glowtest::SendMouse(w.get(), 1, GLUT_UP, 5, 5);
    Glow::RemoveMouseFilter(&filter);
    EXPECT_EQ(Log(), (std::vector<std::string>{"mousefilter 1 1", "w.down 1 5 5 0", "hook",
                                               "mousefilter 2 1", "hook"}));
}

// A probe component in a window: logs notices and deletion.
struct Part : GlowComponent {
    explicit Part(GlowComponent* parent, std::string n) : name(std::move(n)) { Init(parent); }
    ~Part() override { Log().push_back("~" + name); }
    void OnActivate() override { Log().push_back(name + ".activate"); }
    void OnDeactivate() override { Log().push_back(name + ".deactivate"); }
    std::string name;
};

TEST_F(DispatchTest, CloseInsideAHandlerDeletesAtTheEndOfTheEvent) {
    std::unique_ptr<RecordingWindow> w(MakeWindow("w"));
    Part* part = new Part(w.get(), "part");
    w->onMouseDown = [&](int, int, int, int) {
        part->Deactivate();
        part->Close();
        Log().push_back(part->IsClosing() ? "still alive, closing" : "?");
    };
    glowtest::SendMouse(w.get(), 0, GLUT_DOWN, 1, 1);
    EXPECT_EQ(Log(), (std::vector<std::string>{"w.down 0 1 1 0", "still alive, closing", "hook",
                                               "part.deactivate", "~part"}));
    EXPECT_EQ(w->NumChildren(), 0);
}

TEST_F(DispatchTest, WindowDeletedByItsOwnHandler) {
    RecordingWindow* w = MakeWindow("w");
    int id = w->WindowId();
    w->onKeyboard = [w](int, int, int, int) { delete w; };
    glowtest::SendKey(w, 'd');
    EXPECT_EQ(Glow::WindowForId(id), nullptr);
    EXPECT_EQ(hookCalls, 1);
}

// The display callback: the tree painted into the back buffer, then swapped.
struct RedSquare : GlowComponent {
    explicit RedSquare(GlowComponent* parent) { Init(parent); }
    bool OnBeginPaint() override {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor3ub(255, 0, 0);
        glRectf(-0.5f, -0.5f, 0.5f, 0.5f);
        return true;
    }
};

TEST_F(DispatchTest, DisplayPaintsTheTreeBeforeTheSwap) {
    std::unique_ptr<RecordingWindow> w(MakeWindow("paint", 20, 20, 100, 80));
    new RedSquare(w.get());
    // A subwindow child is painted by its own callback, not by the parent.
    auto* sub = new RecordingSubwindow;
    sub->name = "sub";
    sub->Init(w.get(), 0, 0, 10, 10, GlowDisplayMode::rgbBuffer | GlowDisplayMode::doubleBuffer, 0);
    ASSERT_TRUE(glowtest::WaitUntilMapped(w.get()));
    glowtest::Pixels pixels;
    w->onPaint = [&] { pixels = glowtest::ReadBackBuffer(0, 0, 100, 80); };
    int subDisplays = sub->displays;
    glowtest::SendDisplay(w.get());
    ASSERT_EQ(pixels.width, 100);
    glowtest::SavePicture("dispatch_paint", pixels);
    const std::uint8_t* centre = pixels.At(50, 40);
    EXPECT_EQ(centre[0], 255);
    EXPECT_EQ(centre[1], 0);
    const std::uint8_t* corner = pixels.At(95, 5);  // cleared to black
    EXPECT_EQ(corner[0], 0);
    EXPECT_EQ(corner[1], 0);
    EXPECT_EQ(sub->displays, subDisplays);
}

// Real X input: GLUT itself reads the modifiers.
TEST_F(DispatchTest, ModifiersOfRealClicksAndKeys) {
    std::unique_ptr<RecordingWindow> w(MakeWindow("real", 100, 100, 200, 150));
    ASSERT_TRUE(glowtest::WaitUntilMapped(w.get()));
    std::string xid = std::to_string(glowtest::XWindowOf(w.get()));
    Log().clear();
    ASSERT_TRUE(glowtest::Xdotool("mousemove --window " + xid + " 30 40"));
    ASSERT_TRUE(glowtest::Xdotool("keydown shift click 1 keyup shift"));
    ASSERT_TRUE(glowtest::PumpUntil([] { return Entries("real.up").size() == 1; }));
    ASSERT_TRUE(glowtest::Xdotool("keydown ctrl click 3 keyup ctrl"));
    ASSERT_TRUE(glowtest::PumpUntil([] { return Entries("real.up").size() == 2; }));
    EXPECT_EQ(Entries("real.down"),
              (std::vector<std::string>{"real.down 0 30 40 1", "real.down 2 30 40 2"}));
    // freeglut also reports the modifier keys themselves as special keys
    // (GLUT_KEY_SHIFT_L and so on); look for the two keys typed.
    auto find = [](const std::string& prefix) {
        std::vector<std::string> keys = Entries(prefix);
        return keys.empty() ? std::string() : keys.front();
    };
    ASSERT_TRUE(glowtest::Xdotool("key F1"));
    ASSERT_TRUE(glowtest::Xdotool("key alt+b"));
    ASSERT_TRUE(glowtest::PumpUntil([&] { return !find("real.key 98 ").empty(); }));
    EXPECT_EQ(find("real.key 257 "), "real.key 257 30 40 0");
    EXPECT_EQ(find("real.key 98 "), "real.key 98 30 40 4");
}

}  // namespace
