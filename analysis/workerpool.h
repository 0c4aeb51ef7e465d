#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

// Threads that share the independent tasks of one phase of an epoch. The
// thread that calls run() takes tasks too and returns when every task is
// done, so everything else (and every call into a front end) stays on that
// thread. Tasks must write disjoint results: then the results do not
// depend on which thread ran which task. The pool's threads take no signal
// meant for the process: it goes to the threads that may hold it off.
class WorkerPool {
public:
    // `threads` counts the calling thread: 1 makes no thread of its own.
    // When the system refuses some of them, the pool works with those it
    // got (the calling thread at least).
    explicit WorkerPool(int threads);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    int threads() const { return static_cast<int>(workers_.size()) + 1; }

    // task(i, thread) for every i in [0, count), in any order and on any
    // thread; `thread` numbers the thread running it, 0 the caller, up to
    // threads() - 1. What a task throws (the standard library's refusals,
    // such as std::bad_alloc) ends the phase: the tasks not yet begun are
    // skipped, and the first exception goes on from run() on the calling
    // thread once no thread is inside the phase.
    template <typename Task>
    void run(int count, const Task& task) {
        run_tasks(
            count,
            [](const void* context, int i, int thread) {
                (*static_cast<const Task*>(context))(i, thread);
            },
            &task);
    }

    // The cores this process may run on (its CPU affinity), at least 1.
    static int usable_cores();

private:
    using TaskFunction = void (*)(const void* context, int task, int thread);

    void run_tasks(int count, TaskFunction function, const void* context);
    void take_tasks(int thread);
    // Keeps the first exception of a phase's tasks.
    void keep_failure(std::exception_ptr failure);
    void work(int thread);
    // The next phase's generation, or -1 when the pool is stopping.
    long await_phase(long seen);
    // Looks for `ready` briefly, then sleeps until `signal` finds it true.
    template <typename Ready>
    void await(std::condition_variable& signal, const Ready& ready);

    std::vector<std::thread> workers_;
    // The phase under way: written before its generation is published, and
    // not again until its tasks are done and no worker is inside it. A
    // worker that comes late (it was not running when the phase began)
    // finds the phase closed and waits for the next one: a phase never
    // waits for a thread that has not joined it.
    TaskFunction function_ = nullptr;
    const void* context_ = nullptr;
    int count_ = 0;
    std::atomic<int> next_{0};
    std::atomic<int> done_{0};
    std::atomic<long> generation_{0};
    std::atomic<bool> open_{false};
    std::atomic<int> inside_{0};
    std::atomic<bool> stopping_{false};
    // A task of the phase has thrown: the rest are skipped, and `failure_`
    // (written under the mutex) goes on from run().
    std::atomic<bool> failed_{false};
    std::exception_ptr failure_;
    // Phases come in quick succession during an epoch, so the threads wait
    // for the next one (and the caller for the end of one) briefly by
    // looking, and only then sleep here.
    std::mutex mutex_;
    std::condition_variable started_;
    std::condition_variable finished_;
};

// Units of work (an input or member at a position or pattern) below which
// handing a task to another thread costs more than it saves.
constexpr long long kTaskWork = 32768;

// Splits `work` units into tasks of at least kTaskWork units, at most `most`
// tasks (at least one), and runs task(t, tasks) for each: on the pool, or
// here without one.
template <typename Task>
void share_work(WorkerPool* pool, long long work, int most, const Task& task) {
    long long tasks = work / kTaskWork;
    if (!pool || tasks < 2) tasks = 1;
    tasks = std::min<long long>(tasks, most);
    const int count = static_cast<int>(std::max<long long>(tasks, 1));
    if (count == 1) {
        task(0, 1);
        return;
    }
    pool->run(count, [&](int t, int) { task(t, count); });
}
