// Idle receivers, one-shot timers and deferred tasks.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>

#include "glow/core/Glow.h"
#include "glow/core/GlowDeferredTask.h"
#include "tests/glow/core/RecordingWindow.h"
#include "tests/glow/support/GlowTestSupport.h"

using namespace glow;
using coretest::Log;

namespace {

int hookCalls = 0;

class IdleTimerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Log().clear();
        hookCalls = 0;
        Glow::SetEndEventHook([] { ++hookCalls; });
        // No window: every end of event counted here is a timer's or idle's.
        ASSERT_TRUE(Glow::Windows().empty());
    }
    void TearDown() override {
        Glow::SetEndEventHook(nullptr);
        Glow::EndEvent();
    }
};

struct IdleProbe : TReceiver<const GlowIdleMessage&> {
    explicit IdleProbe(std::string n) : name(std::move(n)) {}
    void OnMessage(const GlowIdleMessage&) override {
        Log().push_back("idle " + name);
        if (action) action();
    }
    std::string name;
    std::function<void()> action;
};

TEST_F(IdleTimerTest, IdleReceiversAreBoundOnce) {
    IdleProbe a("a"), b("b");
    Glow::AddIdleReceiver(&a);
    Glow::AddIdleReceiver(&a);
    Glow::AddIdleReceiver(&b);
    EXPECT_EQ(Glow::NumIdleReceivers(), 2);
    Glow::OnGlutIdle();
    EXPECT_EQ(Log(), (std::vector<std::string>{"idle a", "idle b"}));
    EXPECT_EQ(hookCalls, 1);
    Glow::RemoveIdleReceiver(&a);
    Glow::RemoveIdleReceiver(&a);  // not registered: ignored
    Glow::RemoveIdleReceiver(&b);
    EXPECT_EQ(Glow::NumIdleReceivers(), 0);
}

TEST_F(IdleTimerTest, OneIdleReceiverRemovingAnother) {
    IdleProbe* victim = new IdleProbe("victim");
    IdleProbe killer("killer"), remover("remover"), last("last");
    killer.action = [&] {
        delete victim;
        victim = nullptr;
    };
    remover.action = [&] { Glow::RemoveIdleReceiver(&last); };
    Glow::AddIdleReceiver(&killer);
    Glow::AddIdleReceiver(victim);
    Glow::AddIdleReceiver(&remover);
    Glow::AddIdleReceiver(&last);
    Glow::OnGlutIdle();
    EXPECT_EQ(Log(), (std::vector<std::string>{"idle killer", "idle remover"}));
    EXPECT_EQ(Glow::NumIdleReceivers(), 2);
    Glow::RemoveIdleReceiver(&killer);
    Glow::RemoveIdleReceiver(&remover);
}

// The main loop itself, not a direct call, reaches the receivers: GLUT has
// the toolkit's idle callback while any receiver is bound, and only then.
TEST_F(IdleTimerTest, MainLoopCallsIdleReceiversWhileAnyIsBound) {
    IdleProbe a("a"), b("b");
    auto count = [](const std::string& entry) {
        return std::count(Log().begin(), Log().end(), entry);
    };
    Glow::AddIdleReceiver(&a);
    ASSERT_TRUE(glowtest::PumpUntil([&] { return count("idle a") >= 3; }));
    EXPECT_EQ(count("idle b"), 0);

    Glow::AddIdleReceiver(&b);
    Log().clear();
    ASSERT_TRUE(glowtest::PumpUntil([&] { return count("idle b") >= 3; }));
    // Every tick reaches both, in the order they were added.
    for (std::size_t i = 0; i < Log().size(); ++i)
        EXPECT_EQ(Log()[i], i % 2 == 0 ? "idle a" : "idle b") << "entry " << i;

    // One of two removed: the other one's ticks go on.
    Glow::RemoveIdleReceiver(&a);
    Log().clear();
    ASSERT_TRUE(glowtest::PumpUntil([&] { return count("idle b") >= 3; }));
    EXPECT_EQ(count("idle a"), 0);

    // The last one removed: GLUT has no idle callback left, and a while of
    // the loop calls nobody.
    Glow::RemoveIdleReceiver(&b);
    EXPECT_EQ(glowtest::GlutIdleCallback(), nullptr);
    Log().clear();
    const int events = Glow::EventCounter();
    glowtest::Pump(200);
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(Glow::EventCounter(), events);
}

int idleFunctionCalls = 0;
void IdleOne() {
    idleFunctionCalls += 1;
}
void IdleTen() {
    idleFunctionCalls += 10;
}

TEST_F(IdleTimerTest, IdleFunctionIsOneReplaceableReceiver) {
    idleFunctionCalls = 0;
    Glow::SetIdleFunction(IdleOne);
    Glow::SetIdleFunction(IdleTen);
    EXPECT_EQ(Glow::NumIdleReceivers(), 1);
    Glow::OnGlutIdle();
    EXPECT_EQ(idleFunctionCalls, 10);
    Glow::SetIdleFunction(nullptr);
    Glow::SetIdleFunction(nullptr);
    EXPECT_EQ(Glow::NumIdleReceivers(), 0);
    Glow::OnGlutIdle();
    EXPECT_EQ(idleFunctionCalls, 10);
}

struct TimerProbe : TReceiver<const GlowTimerMessage&> {
    void OnMessage(const GlowTimerMessage& m) override {
        Log().push_back("timer " + coretest::Str(m.id));
        if (action) action(m.id);
    }
    std::function<void(int)> action;
};

TEST_F(IdleTimerTest, TimersFireOnceAndCancelledOnesAreSilent) {
    TimerProbe probe;
    int first = Glow::StartTimer(10, &probe);
    int second = Glow::StartTimer(10, &probe);
    int third = Glow::StartTimer(10, &probe);
    EXPECT_GT(first, 0);
    EXPECT_EQ(second, first + 1);
    EXPECT_EQ(third, second + 1);
    Glow::CancelTimer(second);
    Glow::CancelTimer(second);  // not live: ignored
    EXPECT_FALSE(Glow::IsTimerPending(second));
    ASSERT_TRUE(glowtest::PumpUntil([&] { return !Glow::IsTimerPending(third); }));
    EXPECT_EQ(Log(), (std::vector<std::string>{"timer " + coretest::Str(first),
                                               "timer " + coretest::Str(third)}));
    EXPECT_EQ(hookCalls, 2);
    // The cancelled timer's GLUT callback comes too, and does nothing.
    glowtest::Pump(30);
    Glow::OnGlutTimer(second);
    EXPECT_EQ(hookCalls, 2);
}

TEST_F(IdleTimerTest, ReceiverMayStartAndCancelTimersWhileHandlingOne) {
    TimerProbe probe;
    int again = 0;
    probe.action = [&](int id) {
        Glow::CancelTimer(id);  // its own, already gone: ignored
        if (again == 0) again = Glow::StartTimer(5, &probe);
    };
    int id = Glow::StartTimer(5, &probe);
    ASSERT_TRUE(glowtest::PumpUntil([&] { return again != 0 && !Glow::IsTimerPending(again); }));
    EXPECT_EQ(Log(), (std::vector<std::string>{"timer " + coretest::Str(id),
                                               "timer " + coretest::Str(again)}));
}

TEST_F(IdleTimerTest, ReceiverDestroyedWhileItsTimerIsLive) {
    auto* probe = new TimerProbe;
    int id = Glow::StartTimer(5, probe);
    delete probe;
    EXPECT_TRUE(Glow::IsTimerPending(id));
    ASSERT_TRUE(glowtest::PumpUntil([&] { return !Glow::IsTimerPending(id); }));
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(hookCalls, 1);  // fired into an empty sender
}

struct Task : GlowDeferredTask {
    void Execute() override {
        ++runs;
        Log().push_back("run");
        if (periodic) Schedule(5);
    }
    int runs = 0;
    bool periodic = false;
};

TEST_F(IdleTimerTest, DeferredTaskRescheduledRunsOnceAtTheLaterDelay) {
    using Clock = std::chrono::steady_clock;
    Task task;
    auto start = Clock::now();
    task.Schedule(10);
    int firstId = task.TimerId();
    task.Schedule(120);
    EXPECT_FALSE(Glow::IsTimerPending(firstId));
    EXPECT_TRUE(task.IsPending());
    ASSERT_TRUE(glowtest::PumpUntil([&] { return task.runs > 0; }));
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    EXPECT_GE(elapsed.count(), 110);
    glowtest::Pump(50);
    EXPECT_EQ(task.runs, 1);
    EXPECT_FALSE(task.IsPending());
}

TEST_F(IdleTimerTest, PeriodicTaskStopsWhenCancelledOrDestroyed) {
    Task task;
    task.periodic = true;
    task.Schedule(5);
    ASSERT_TRUE(glowtest::PumpUntil([&] { return task.runs >= 3; }));
    task.Cancel();
    int runs = task.runs;
    glowtest::Pump(50);
    EXPECT_EQ(task.runs, runs);
    task.Cancel();  // nothing pending: nothing

    auto* pending = new Task;
    pending->Schedule(5);
    int id = pending->TimerId();
    delete pending;
    EXPECT_FALSE(Glow::IsTimerPending(id));
    glowtest::Pump(50);  // its GLUT callback finds nothing
}

}  // namespace
