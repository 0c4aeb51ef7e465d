#include "analysis/workerpool.h"

#include <sched.h>

#include <chrono>
#include <exception>

#include "analysis/blockedsignals.h"
#include "analysis/check.h"

namespace {

// Phases come in quick succession during an epoch: a waiting thread looks
// for the next one (or for the end of one) this long before it sleeps.
constexpr auto kLookingTime = std::chrono::microseconds(100);
// After this many looks a waiting thread lets others run between looks: on
// a busy machine a thread of the phase may be waiting for a core.
constexpr int kPatientLooks = 64;
constexpr int kLooksPerClock = 16;

void pause_looking(int look) {
    if (look < kPatientLooks) {
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
        return;
    }
    std::this_thread::yield();
}

template <typename Ready>
bool look_for(const Ready& ready) {
    const auto until = std::chrono::steady_clock::now() + kLookingTime;
    for (int look = 0;; ++look) {
        if (ready()) return true;
        pause_looking(look);
        if (look >= kPatientLooks && look % kLooksPerClock == 0 &&
            std::chrono::steady_clock::now() > until) {
            return false;
        }
    }
}

// The pool whose thread this is, and its number there.
thread_local const WorkerPool* tl_pool = nullptr;
thread_local int tl_thread = 0;

}  // namespace

// A phase: written by its opener before it is published; `next`, `taken`
// and the failure change under the pool's mutex only.
struct WorkerPool::Phase {
    TaskFunction function = nullptr;
    const void* context = nullptr;
    int count = 0;
    // Task i belongs to thread i (run_on_every_thread).
    bool every_thread = false;
    // Tasks taken (or skipped after a failure), and of an every-thread phase
    // which ones.
    int next = 0;
    std::vector<char> taken;
    std::atomic<int> done{0};
    std::atomic<bool> failed{false};
    std::exception_ptr failure;
};

WorkerPool::WorkerPool(int threads) {
    // The threads are made with every signal blocked and keep it so.
    const BlockedSignals blocked(BlockedSignals::asynchronous());
    if (threads > 1) workers_.reserve(threads - 1);
    // A thread that is refused ends the making: the pool works with those it
    // has (a thread that throws out of here would end the process).
    for (int i = 1; i < threads; ++i) {
        try {
            workers_.emplace_back([this, i] { work(i); });
        } catch (const std::exception&) {
            // std::system_error, or std::bad_alloc for the thread's state.
            break;
        }
    }
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_.store(true, std::memory_order_release);
    }
    started_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

int WorkerPool::usable_cores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        const int count = CPU_COUNT(&set);
        if (count > 0) return count;
    }
    const unsigned hardware = std::thread::hardware_concurrency();
    return hardware > 0 ? static_cast<int>(hardware) : 1;
}

void WorkerPool::pause(int look) {
    pause_looking(look);
}

int WorkerPool::current_thread() const {
    return tl_pool == this ? tl_thread : 0;
}

template <typename Ready>
void WorkerPool::await(std::condition_variable& signal, const Ready& ready) {
    if (look_for(ready)) return;
    std::unique_lock<std::mutex> lock(mutex_);
    signal.wait(lock, ready);
}

void WorkerPool::take(Phase* phase, int task) {
    ++phase->next;
    if (phase->every_thread) phase->taken[task] = 1;
    open_tasks_.fetch_sub(1, std::memory_order_relaxed);
    if (phase->next == phase->count) open_.erase(std::find(open_.begin(), open_.end(), phase));
}

bool WorkerPool::claim(int thread, const Phase* only, bool every_thread_tasks, Claim* claimed) {
    for (Phase* phase : open_) {
        if (only && phase != only) continue;
        int task = -1;
        if (!phase->every_thread) {
            task = phase->next;
        } else if (every_thread_tasks && thread < phase->count && !phase->taken[thread]) {
            task = thread;
        }
        if (task < 0) continue;
        take(phase, task);
        *claimed = {phase, task};
        return true;
    }
    return false;
}

void WorkerPool::close_failed(Phase* phase, std::exception_ptr failure) {
    if (!phase->failure) phase->failure = std::move(failure);
    phase->failed.store(true, std::memory_order_release);
    // The tasks nobody has taken are skipped: they count as done at once.
    int skipped = 0;
    for (int task = 0; phase->next < phase->count; ++task) {
        if (phase->every_thread && phase->taken[task]) continue;
        take(phase, phase->every_thread ? task : phase->next);
        ++skipped;
    }
    phase->done.fetch_add(skipped, std::memory_order_acq_rel);
}

void WorkerPool::execute(const Claim& claimed, int thread) {
    Phase* phase = claimed.phase;
    const int count = phase->count;
    if (!phase->failed.load(std::memory_order_acquire)) {
        try {
            phase->function(phase->context, claimed.task, thread);
        } catch (...) {
            std::lock_guard<std::mutex> lock(mutex_);
            close_failed(phase, std::current_exception());
        }
    }
    // The phase may be gone once the last task is counted: only the pool is
    // touched after it.
    if (phase->done.fetch_add(1, std::memory_order_acq_rel) + 1 == count) {
        std::lock_guard<std::mutex> lock(mutex_);
        finished_.notify_all();
    }
}

void WorkerPool::run_tasks(int count, TaskFunction function, const void* context,
                           bool every_thread) {
    const int thread = current_thread();
    tavrel_assert(!every_thread || thread == 0);
    if (workers_.empty() || count <= 1) {
        for (int i = 0; i < count; ++i) function(context, i, thread);
        return;
    }
    Phase phase;
    phase.function = function;
    phase.context = context;
    phase.count = count;
    phase.every_thread = every_thread;
    if (every_thread) phase.taken.assign(count, 0);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        open_.push_back(&phase);
        open_tasks_.fetch_add(count, std::memory_order_release);
        if (sleepers_ > 0) started_.notify_all();
    }
    for (;;) {
        Claim claimed;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!claim(thread, &phase, every_thread, &claimed)) break;
        }
        execute(claimed, thread);
        if (every_thread) break;
    }
    await(finished_,
          [&phase, count] { return phase.done.load(std::memory_order_acquire) == count; });
    if (phase.failed.load(std::memory_order_acquire)) {
        std::exception_ptr failure;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            failure.swap(phase.failure);
        }
        std::rethrow_exception(failure);
    }
}

bool WorkerPool::help() {
    if (open_tasks_.load(std::memory_order_acquire) == 0) return false;
    const int thread = current_thread();
    Claim claimed;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!claim(thread, nullptr, false, &claimed)) return false;
    }
    execute(claimed, thread);
    return true;
}

void WorkerPool::work(int thread) {
    tl_pool = this;
    tl_thread = thread;
    for (;;) {
        Claim claimed;
        {
            const Idle idle(&idle_);
            const auto ready = [this] {
                return stopping_.load(std::memory_order_acquire) ||
                       open_tasks_.load(std::memory_order_acquire) > 0;
            };
            look_for(ready);
            std::unique_lock<std::mutex> lock(mutex_);
            for (;;) {
                if (stopping_.load(std::memory_order_acquire)) return;
                if (claim(thread, nullptr, true, &claimed)) break;
                ++sleepers_;
                started_.wait(lock);
                --sleepers_;
            }
        }
        execute(claimed, thread);
    }
}
