#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

// Threads that share the independent tasks of the phases of an epoch. The
// thread that calls run() takes tasks of its phase too and returns when every
// task is done, so everything else (and every call into a front end) stays
// on that thread. Tasks must write disjoint results: then the results do not
// depend on which thread ran which task. Several phases may be open at once:
// a task of run_on_every_thread may open phases of its own, and the threads
// that have nothing else to do take tasks of every open phase. The pool's
// threads take no signal meant for the process: it goes to the threads that
// may hold it off.
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
    // thread; `thread` numbers the thread running it: 1 to threads() - 1 for
    // the pool's own threads, 0 for any other. What a task throws (the
    // standard library's refusals, such as std::bad_alloc) ends the phase:
    // the tasks not yet begun are skipped, and the first exception goes on
    // from run() on the calling thread once no task of the phase runs. The
    // calling thread takes only tasks of its own phase; one thread outside
    // the pool calls it at a time.
    template <typename Task>
    void run(int count, const Task& task) {
        run_tasks(count, function_of<Task>(), &task, false);
    }

    // task(0, thread) once on every thread of the pool, the calling thread
    // (outside the pool) as thread 0; returns when every one has returned.
    // For long tasks that open phases of their own and help() one another
    // while they wait. Exceptions go on as from run().
    template <typename Task>
    void run_on_every_thread(const Task& task) {
        run_tasks(threads(), function_of<Task>(), &task, true);
    }

    // Runs tasks of the open phases on the calling thread until done()
    // holds. For a task of run_on_every_thread that has nothing of its own
    // to do for now.
    template <typename Done>
    void help_until(const Done& done) {
        const Idle idle(&idle_);
        for (int look = 0; !done(); ++look) {
            if (!help()) pause(look);
        }
    }

    // Whether a thread waits for tasks: a phase opened now is shared.
    bool has_idle_threads() const { return idle_.load(std::memory_order_relaxed) > 0; }

    // The cores this process may run on (its CPU affinity), at least 1.
    static int usable_cores();

private:
    using TaskFunction = void (*)(const void* context, int task, int thread);
    // Counts a thread as idle while it lives.
    class Idle {
    public:
        explicit Idle(std::atomic<int>* idle) : idle_(idle) {
            idle_->fetch_add(1, std::memory_order_relaxed);
        }
        ~Idle() { idle_->fetch_sub(1, std::memory_order_relaxed); }
        Idle(const Idle&) = delete;
        Idle& operator=(const Idle&) = delete;

    private:
        std::atomic<int>* idle_;
    };
    struct Phase;
    struct Claim {
        Phase* phase = nullptr;
        int task = 0;
    };

    template <typename Task>
    static TaskFunction function_of() {
        return [](const void* context, int i, int thread) {
            (*static_cast<const Task*>(context))(i, thread);
        };
    }

    void run_tasks(int count, TaskFunction function, const void* context, bool every_thread);
    // Runs one task of an open phase, when there is one; whether it ran one.
    bool help();
    // The `look`th time in a row a waiting thread found nothing to do.
    static void pause(int look);
    // The number of the calling thread in this pool (0 outside it).
    int current_thread() const;
    // Under the mutex: a task that `thread` may take, of `only` or of any
    // phase (then also its own task of a run_on_every_thread).
    bool claim(int thread, const Phase* only, bool every_thread_tasks, Claim* claimed);
    void take(Phase* phase, int task);
    void execute(const Claim& claimed, int thread);
    // Under the mutex: ends a failed phase, its unclaimed tasks done.
    void close_failed(Phase* phase, std::exception_ptr failure);
    void work(int thread);
    // Looks for `ready` briefly, then sleeps until `signal` finds it true.
    template <typename Ready>
    void await(std::condition_variable& signal, const Ready& ready);

    std::vector<std::thread> workers_;
    // The phases with tasks nobody has taken yet; each lives on the stack of
    // the thread that opened it, which waits until all its tasks are done.
    std::vector<Phase*> open_;
    // Tasks not yet taken, over the open phases: a waiting thread looks at it
    // without the mutex.
    std::atomic<int> open_tasks_{0};
    std::atomic<bool> stopping_{false};
    // Threads waiting for tasks.
    std::atomic<int> idle_{0};
    int sleepers_ = 0;
    // Phases come in quick succession during an epoch, so the threads wait
    // for the next one (and a caller for the end of one) briefly by
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
// here without one or when every thread of the pool is busy.
template <typename Task>
void share_work(WorkerPool* pool, long long work, int most, const Task& task) {
    long long tasks = work / kTaskWork;
    if (!pool || tasks < 2 || !pool->has_idle_threads()) tasks = 1;
    tasks = std::min<long long>(tasks, most);
    const int count = static_cast<int>(std::max<long long>(tasks, 1));
    if (count == 1) {
        task(0, 1);
        return;
    }
    pool->run(count, [&](int t, int) { task(t, count); });
}
