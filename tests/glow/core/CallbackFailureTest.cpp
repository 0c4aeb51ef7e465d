// What a handler throws inside a real GLUT callback: the callback keeps it
// out of GLUT, the loop is left, no handler runs afterwards, and MainLoop
// rethrows it. glutMainLoop ends GLUT for the whole process, so every case
// runs in a child process of its own, which starts GLUT, makes its window
// and reports what it saw through a pipe. This program's own process never
// starts GLUT. It links the failing operator new, so that an allocation of
// the main thread can be made to fail.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>
#include <system_error>

#include "glow/core/Glow.h"
#include "tests/glow/core/RecordingWindow.h"
#include "tests/glow/support/ChildProcess.h"
#include "tests/glow/support/FailingAllocation.h"
#include "tests/glow/support/GlowTestSupport.h"

using namespace glow;
using coretest::RecordingWindow;

namespace {

RecordingWindow* MakeWindow(int x) {
    return coretest::MakeSmallWindow(x, "failure");
}

// Has the handlers' failure happened yet; what ran afterwards is counted.
bool failed = false;

struct TimerProbe : TReceiver<const GlowTimerMessage&> {
    explicit TimerProbe(std::function<void()> a) : action(std::move(a)) {}
    void OnMessage(const GlowTimerMessage&) override {
        ++calls;
        action();
    }
    std::function<void()> action;
    int calls = 0;
};

struct IdleCounter : TReceiver<const GlowIdleMessage&> {
    void OnMessage(const GlowIdleMessage&) override {
        if (failed) ++afterFailure;
    }
    int afterFailure = 0;
};

// What MainLoop ended with.
std::string MainLoopOutcome() {
    try {
        Glow::MainLoop();
        return "returned";
    } catch (const std::bad_alloc&) {
        return "bad_alloc";
    } catch (const std::system_error& e) {
        return "system_error " + std::to_string(e.code().value());
    } catch (...) {
        return "another exception";
    }
}

std::string Count(const char* what, int n) {
    return std::string(what) + " " + std::to_string(n) + "\n";
}

}  // namespace

// Pumped as the window tests pump GLUT: the throw stays inside its timer
// callback, the timer due after it and the idle ticks run no handler, a
// redisplay asked before the throw paints nothing, and MainLoop rethrows at
// once.
TEST(CallbackFailureTest, AThrowInAPumpedCallbackIsKeptForMainLoop) {
    const glowtest::ChildResult child = glowtest::InChild([] {
        glowtest::InitGlut();
        RecordingWindow* window = MakeWindow(10);
        if (!glowtest::WaitUntilMapped(window)) return std::string("not mapped");
        IdleCounter idle;
        Glow::AddIdleReceiver(&idle);
        const int paintsBefore = window->displays;
        TimerProbe first([window] {
            window->Refresh();
            failed = true;
            throw std::bad_alloc();
        });
        TimerProbe second([] {
            throw std::system_error(std::make_error_code(std::errc::device_or_resource_busy));
        });
        Glow::StartTimer(0, &first);
        Glow::StartTimer(20, &second);
        glowtest::PumpUntil([&] { return first.calls > 0; });
        glowtest::Pump(300);
        std::string report = Count("first", first.calls) + Count("second", second.calls) +
                             Count("idle after", idle.afterFailure) +
                             Count("paints after", window->displays - paintsBefore);
        return report + MainLoopOutcome();
    });
    glowtest::ExpectEndedNormally(child);
    EXPECT_EQ(child.report, "first 1\nsecond 0\nidle after 0\npaints after 0\nbad_alloc");
}

// Inside glutMainLoop: the loop ends, GLUT's way out (the idle tick after
// the round, the redisplay asked, the closing of the window) runs no
// handler, and MainLoop rethrows the exception once GLUT has ended.
TEST(CallbackFailureTest, MainLoopRethrowsOnceGlutHasEnded) {
    const glowtest::ChildResult child = glowtest::InChild([] {
        glowtest::InitGlut();
        RecordingWindow* window = MakeWindow(10);
        RecordingWindow* other = MakeWindow(200);
        IdleCounter idle;
        Glow::AddIdleReceiver(&idle);
        int paintsAtFailure = 0;
        TimerProbe failing([&] {
            other->Refresh();
            paintsAtFailure = window->displays + other->displays;
            failed = true;
            throw std::system_error(
                std::make_error_code(std::errc::resource_unavailable_try_again));
        });
        // After the windows' first pictures.
        Glow::StartTimer(300, &failing);
        const std::string outcome = MainLoopOutcome();
        return Count("failing", failing.calls) + Count("idle after", idle.afterFailure) +
               Count("paints after", window->displays + other->displays - paintsAtFailure) +
               Count("glut initialised", glutGet(GLUT_INIT_STATE)) + outcome;
    });
    glowtest::ExpectEndedNormally(child);
    EXPECT_EQ(child.report,
              "failing 1\nidle after 0\npaints after 0\nglut initialised 0\nsystem_error " +
                  std::to_string(static_cast<int>(std::errc::resource_unavailable_try_again)));
}

// Without a failure MainLoop returns as before once the loop is left.
TEST(CallbackFailureTest, LeavingWithoutAFailureReturns) {
    const glowtest::ChildResult child = glowtest::InChild([] {
        glowtest::InitGlut();
        MakeWindow(10);
        TimerProbe leave([] { Glow::LeaveMainLoop(); });
        Glow::StartTimer(100, &leave);
        const std::string outcome = MainLoopOutcome();
        return Count("leave", leave.calls) + outcome;
    });
    glowtest::ExpectEndedNormally(child);
    EXPECT_EQ(child.report, "leave 1\nreturned");
}

// Deleting a modal window gives the windows below it their activity back,
// inside a destructor, where nothing may be thrown: memory that runs out
// there fails the loop, and the window is forgotten all the same.
TEST(CallbackFailureTest, MemoryThatRunsOutWhileAModalWindowGoesFailsTheLoop) {
    const glowtest::ChildResult child = glowtest::InChild([] {
        glowtest::InitGlut();
        MakeWindow(10);
        RecordingWindow* modal = MakeWindow(200);
        Glow::PushModal(modal);
        const int modalId = modal->WindowId();
        TimerProbe remove([modal] {
            glowtest::FailThisThreadsAllocationAfter(0);
            delete modal;
            glowtest::StopFailingAllocations();
        });
        Glow::StartTimer(0, &remove);
        glowtest::PumpUntil([&] { return remove.calls > 0; });
        return Count("remove", remove.calls) +
               Count("registered", Glow::WindowForId(modalId) != nullptr) +
               Count("modal", Glow::ModalCount()) + MainLoopOutcome();
    });
    glowtest::ExpectEndedNormally(child);
    EXPECT_EQ(child.report, "remove 1\nregistered 0\nmodal 0\nbad_alloc");
}
