// The worker pool: every task of a phase runs once on a thread of the pool,
// a task that throws ends its phase and the pool goes on, and when several
// threads open phases at once, every task of every phase runs once, a
// thread's own task of run_on_every_thread runs on that thread, the threads
// that wait help the others, and a failure on any thread reaches the caller.

#include "analysis/workerpool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <vector>

namespace {

constexpr int kThreads = 5;
constexpr int kPhases = 40;
constexpr int kTasks = 23;

}  // namespace

TEST(WorkerPool, EveryTaskRunsOnceOnAThreadOfThePool) {
    for (const int threads : {1, 2, 5}) {
        WorkerPool pool(threads);
        EXPECT_EQ(pool.threads(), threads);
        for (const int count : {0, 1, 3, 97}) {
            // Many phases in a row, as the epochs make them.
            for (int phase = 0; phase < 50; ++phase) {
                std::vector<int> runs(count, 0);
                std::vector<int> thread_of(count, -1);
                pool.run(count, [&](int i, int thread) {
                    ++runs[i];
                    thread_of[i] = thread;
                });
                for (int i = 0; i < count; ++i) {
                    ASSERT_EQ(runs[i], 1) << threads << " threads, task " << i;
                    ASSERT_GE(thread_of[i], 0);
                    ASSERT_LT(thread_of[i], threads);
                }
            }
        }
    }
    EXPECT_GE(WorkerPool::usable_cores(), 1);
}

// A task that throws on any thread ends the phase; the exception goes on
// from run() on the calling thread once no task of the phase runs, and the
// pool serves the next phase as before.
TEST(WorkerPoolRefusal, TaskExceptionReachesTheCallerAndThePoolGoesOn) {
    const int tasks = 64;
    WorkerPool pool(4);
    for (int thrower : {0, tasks / 2, tasks - 1}) {
        SCOPED_TRACE(thrower);
        EXPECT_THROW(pool.run(tasks,
                              [&](int i, int) {
                                  if (i == thrower) throw std::bad_alloc();
                              }),
                     std::bad_alloc);
        std::vector<int> done(tasks, 0);
        pool.run(tasks, [&](int i, int) { done[i] = i + 1; });
        for (int i = 0; i < tasks; ++i) EXPECT_EQ(done[i], i + 1);
    }
}

TEST(WorkerPoolPhases, PhasesOpenedOnEveryThreadAtOnceRunEachTaskOnce) {
    WorkerPool pool(kThreads);
    ASSERT_EQ(pool.threads(), kThreads);
    // runs[thread][phase][task]: how often the task ran; each thread's
    // phases write only their own rows.
    std::vector<std::vector<std::vector<int>>> runs(
        kThreads, std::vector<std::vector<int>>(kPhases, std::vector<int>(kTasks, 0)));
    std::vector<int> own_thread(kThreads, -1);
    std::atomic<int> working(kThreads);
    pool.run_on_every_thread([&](int, int thread) {
        own_thread[thread] = thread;
        // Threads with more phases of their own keep the others helping.
        for (int phase = 0; phase < kPhases * (thread + 1) / kThreads; ++phase) {
            pool.run(kTasks, [&](int i, int runner) {
                ++runs[thread][phase][i];
                EXPECT_GE(runner, 0);
                EXPECT_LT(runner, kThreads);
            });
        }
        working.fetch_sub(1);
        pool.help_until([&] { return working.load() == 0; });
    });
    for (int thread = 0; thread < kThreads; ++thread) {
        EXPECT_EQ(own_thread[thread], thread);
        for (int phase = 0; phase < kPhases; ++phase) {
            const int expected = phase < kPhases * (thread + 1) / kThreads ? 1 : 0;
            for (int i = 0; i < kTasks; ++i) {
                ASSERT_EQ(runs[thread][phase][i], expected)
                    << "thread " << thread << " phase " << phase << " task " << i;
            }
        }
    }
    // The pool serves a plain phase afterwards.
    std::vector<int> done(kTasks, 0);
    pool.run(kTasks, [&](int i, int) { done[i] = i + 1; });
    for (int i = 0; i < kTasks; ++i) EXPECT_EQ(done[i], i + 1);
}

TEST(WorkerPoolPhases, AFailureOnAnyThreadReachesTheCallerAndThePoolGoesOn) {
    WorkerPool pool(kThreads);
    for (const int failing : {0, 2, kThreads - 1}) {
        SCOPED_TRACE(failing);
        std::atomic<bool> stop(false);
        EXPECT_THROW(pool.run_on_every_thread([&](int, int thread) {
            // A failure inside a thread's own phase, as a refused buffer;
            // the thread tells the others to stop, as a schedule does.
            try {
                pool.run(kTasks, [&](int i, int) {
                    if (thread == failing && i == kTasks / 2) throw std::bad_alloc();
                });
            } catch (...) {
                stop.store(true);
                throw;
            }
            pool.help_until([&] { return stop.load(); });
        }),
                     std::bad_alloc);
        std::vector<int> done(kTasks, 0);
        pool.run(kTasks, [&](int i, int) { done[i] = i + 1; });
        for (int i = 0; i < kTasks; ++i) EXPECT_EQ(done[i], i + 1);
    }
}
