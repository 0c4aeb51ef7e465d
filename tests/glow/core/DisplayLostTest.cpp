// A window that another program destroys, and an X connection that the
// server drops, end the process through the handler that the application
// gives, or with exit code 1 without one, never through exit: GLUT's exit
// handler would wait for ever for the GL driver's lock. Every case runs in
// a child process that starts GLUT of its own; another connection of the
// child takes its window away, as another program would.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "glow/core/Glow.h"
#include "tests/glow/core/RecordingWindow.h"
#include "tests/glow/support/ChildProcess.h"
#include "tests/glow/support/GlowTestSupport.h"

// Last: its macros (None) would break GoogleTest's names.
#include <X11/Xlib.h>

using namespace glow;
using coretest::RecordingWindow;

namespace {

// The code with which the handler below ends the child.
constexpr int kHandlerExitCode = 42;
// How long a child pumps at most for an end that should come at once.
constexpr int kEndMsecs = 20000;

void EndChild() {
    std::_Exit(kHandlerExitCode);
}

RecordingWindow* MakeWindow(int x) {
    return coretest::MakeSmallWindow(x, "lost");
}

// What another program does to an X window: destroys it, or has the server
// drop the connection of the client that made it.
bool TakeAway(unsigned long xWindow, bool dropConnection) {
    Display* other = XOpenDisplay(nullptr);
    if (other == nullptr) return false;
    if (dropConnection) {
        XKillClient(other, xWindow);
    } else {
        XDestroyWindow(other, xWindow);
    }
    XSync(other, False);
    XCloseDisplay(other);
    return true;
}

struct TimerProbe : TReceiver<const GlowTimerMessage&> {
    void OnMessage(const GlowTimerMessage&) override { fired = true; }
    bool fired = false;
};

}  // namespace

// The window has shown its first picture and has nothing more to draw when
// it is taken away: only the window system's notice tells.
TEST(DisplayLostTest, ALostWindowOrConnectionEndsTheProcessAtOnce) {
    struct Case {
        const char* what;
        bool dropConnection;
        bool handler;
        int exitCode;
    };
    const Case cases[] = {
        {"a window destroyed", false, true, kHandlerExitCode},
        {"the connection dropped", true, true, kHandlerExitCode},
        {"a window destroyed, without a handler", false, false, EXIT_FAILURE},
        {"the connection dropped, without a handler", true, false, EXIT_FAILURE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const glowtest::ChildResult child = glowtest::InChild([&c] {
            if (c.handler) Glow::SetDisplayLostHandler(EndChild);
            glowtest::InitGlut();
            MakeWindow(10);
            RecordingWindow* window = MakeWindow(200);
            if (!glowtest::WaitUntilMapped(window)) return std::string("not mapped");
            if (!glowtest::PumpUntil([window] { return window->displays > 0; })) {
                return std::string("not painted");
            }
            if (!TakeAway(glowtest::XWindowOf(window), c.dropConnection)) {
                return std::string("no second connection");
            }
            glowtest::PumpUntil([] { return false; }, kEndMsecs);
            return std::string("went on");
        });
        EXPECT_FALSE(child.timedOut);
        EXPECT_EQ(child.report, "");
        ASSERT_TRUE(WIFEXITED(child.waitStatus)) << "signal " << WTERMSIG(child.waitStatus);
        EXPECT_EQ(WEXITSTATUS(child.waitStatus), c.exitCode);
    }
}

// The toolkit's own deletion of a window destroys it too: the process
// goes on.
TEST(DisplayLostTest, AWindowTheToolkitDeletesEndsNothing) {
    const glowtest::ChildResult child = glowtest::InChild([] {
        Glow::SetDisplayLostHandler(EndChild);
        glowtest::InitGlut();
        MakeWindow(10);
        RecordingWindow* closed = MakeWindow(200);
        if (!glowtest::WaitUntilMapped(closed)) return std::string("not mapped");
        const unsigned long xWindow = glowtest::XWindowOf(closed);
        delete closed;
        Display* display = XOpenDisplay(nullptr);
        if (display == nullptr) return std::string("no second connection");
        // Gone once the server answers that it has no such window.
        const bool gone = glowtest::PumpUntil([display, xWindow] {
            XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
            XWindowAttributes attributes;
            const Status found = XGetWindowAttributes(display, xWindow, &attributes);
            XSetErrorHandler(previous);
            return found == 0;
        });
        XCloseDisplay(display);
        if (!gone) return std::string("not destroyed");
        // The look for destroyed windows comes within a few of the
        // toolkit's refresh polls; this timer comes after them.
        TimerProbe probe;
        Glow::StartTimer(500, &probe);
        glowtest::PumpUntil([&probe] { return probe.fired; }, kEndMsecs);
        return std::string(probe.fired ? "went on" : "no timer");
    });
    glowtest::ExpectEndedNormally(child);
    EXPECT_EQ(child.report, "went on");
}
