#include "gui/ConvergenceRing.h"

ConvergenceRing::ConvergenceRing() : count_(0) {
    for (std::atomic<int>& slot : values_) slot.store(0, std::memory_order_relaxed);
}

void ConvergenceRing::Add(int value) {
    // The only writer reads its own count.
    const long long index = count_.load(std::memory_order_relaxed);
    values_[index % capacity].store(value, std::memory_order_relaxed);
    count_.store(index + 1, std::memory_order_release);
}
