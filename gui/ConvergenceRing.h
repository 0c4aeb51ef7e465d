#ifndef GUI_CONVERGENCERING_H
#define GUI_CONVERGENCERING_H

#include <atomic>

// The values of the convergence chart: a ring of slots that one thread fills
// while another reads it. Each slot and the count are atomic, so a reader
// sees every slot either before or after its update; the count is 64 bits
// wide and the slot is taken modulo the capacity, so it never goes negative.
// A reader that has seen the count finds every value it counts written:
// the slot is written before the count is published.
class ConvergenceRing {
public:
    static constexpr int capacity = 1300;

    ConvergenceRing();
    ConvergenceRing(const ConvergenceRing&) = delete;
    ConvergenceRing& operator=(const ConvergenceRing&) = delete;

    // Writes the slot of the count modulo the capacity, then counts it: past
    // the capacity new values overwrite the oldest in place. One thread adds
    // (the analysis thread, one run at a time).
    void Add(int value);
    // Slot 0 to capacity - 1; a slot not reached yet holds 0.
    int Value(int slot) const { return values_[slot].load(std::memory_order_relaxed); }
    // Values added so far.
    long long Count() const { return count_.load(std::memory_order_acquire); }

private:
    std::atomic<int> values_[capacity];
    std::atomic<long long> count_;
};

#endif
