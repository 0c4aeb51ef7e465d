#include "analysis/workerpool.h"

#include <sched.h>

#include <chrono>
#include <exception>

#include "analysis/blockedsignals.h"

namespace {

// Phases come in quick succession during an epoch: a waiting thread looks
// for the next one (or for the end of one) this long before it sleeps.
constexpr auto kLookingTime = std::chrono::microseconds(100);
// After this many looks a waiting thread lets others run between looks: on
// a busy machine a thread of the phase may be waiting for a core.
constexpr int kPatientLooks = 64;
constexpr int kLooksPerClock = 16;

template <typename Ready>
bool look_for(const Ready& ready) {
    const auto until = std::chrono::steady_clock::now() + kLookingTime;
    for (int look = 0;; ++look) {
        if (ready()) return true;
        if (look < kPatientLooks) {
#if defined(__x86_64__) || defined(__i386__)
            __builtin_ia32_pause();
#endif
            continue;
        }
        std::this_thread::yield();
        if (look % kLooksPerClock == 0 && std::chrono::steady_clock::now() > until) return false;
    }
}

}  // namespace

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

template <typename Ready>
void WorkerPool::await(std::condition_variable& signal, const Ready& ready) {
    if (look_for(ready)) return;
    std::unique_lock<std::mutex> lock(mutex_);
    signal.wait(lock, ready);
}

void WorkerPool::run_tasks(int count, TaskFunction function, const void* context) {
    if (workers_.empty() || count <= 1) {
        for (int i = 0; i < count; ++i) function(context, i, 0);
        return;
    }
    function_ = function;
    context_ = context;
    count_ = count;
    next_.store(0, std::memory_order_relaxed);
    done_.store(0, std::memory_order_relaxed);
    open_.store(true, std::memory_order_seq_cst);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        generation_.fetch_add(1, std::memory_order_seq_cst);
    }
    started_.notify_all();
    take_tasks(0);
    await(finished_, [this] { return done_.load(std::memory_order_acquire) == count_; });
    // The context lives on the caller's stack: close the phase and wait
    // until no worker can still read it.
    open_.store(false, std::memory_order_seq_cst);
    await(finished_, [this] { return inside_.load(std::memory_order_seq_cst) == 0; });
    if (failed_.load(std::memory_order_acquire)) {
        std::exception_ptr failure;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            failure.swap(failure_);
        }
        failed_.store(false, std::memory_order_relaxed);
        std::rethrow_exception(failure);
    }
}

void WorkerPool::keep_failure(std::exception_ptr failure) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!failure_) failure_ = std::move(failure);
    failed_.store(true, std::memory_order_release);
}

void WorkerPool::take_tasks(int thread) {
    for (int i = next_.fetch_add(1, std::memory_order_relaxed); i < count_;
         i = next_.fetch_add(1, std::memory_order_relaxed)) {
        if (!failed_.load(std::memory_order_acquire)) {
            try {
                function_(context_, i, thread);
            } catch (...) {
                keep_failure(std::current_exception());
            }
        }
        if (done_.fetch_add(1, std::memory_order_acq_rel) + 1 == count_) {
            std::lock_guard<std::mutex> lock(mutex_);
            finished_.notify_all();
        }
    }
}

long WorkerPool::await_phase(long seen) {
    const auto next = [&] {
        return stopping_.load(std::memory_order_acquire) ||
               generation_.load(std::memory_order_acquire) != seen;
    };
    await(started_, next);
    if (stopping_.load(std::memory_order_acquire)) return -1;
    return generation_.load(std::memory_order_acquire);
}

void WorkerPool::work(int thread) {
    long seen = 0;
    for (;;) {
        seen = await_phase(seen);
        if (seen < 0) return;
        inside_.fetch_add(1, std::memory_order_seq_cst);
        if (open_.load(std::memory_order_seq_cst) &&
            generation_.load(std::memory_order_seq_cst) == seen) {
            take_tasks(thread);
        }
        if (inside_.fetch_sub(1, std::memory_order_seq_cst) == 1) {
            std::lock_guard<std::mutex> lock(mutex_);
            finished_.notify_all();
        }
    }
}
