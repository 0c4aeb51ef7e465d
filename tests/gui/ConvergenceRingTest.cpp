// The chart's ring of values, apart from any window.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "gui/ConvergenceRing.h"

TEST(ConvergenceRing, FillsFromSlotZeroAndWrapsWithoutScrolling) {
    ConvergenceRing ring;
    ASSERT_EQ(ConvergenceRing::capacity, 1300);
    EXPECT_EQ(ring.Count(), 0);
    for (int i = 0; i < ConvergenceRing::capacity; ++i) ASSERT_EQ(ring.Value(i), 0);

    ring.Add(25);
    ring.Add(40);
    EXPECT_EQ(ring.Count(), 2);
    EXPECT_EQ(ring.Value(0), 25);
    EXPECT_EQ(ring.Value(1), 40);
    EXPECT_EQ(ring.Value(2), 0);

    // Up to 1300 values, then the 1301st replaces the first in place.
    for (int i = 2; i < ConvergenceRing::capacity; ++i) ring.Add(i);
    EXPECT_EQ(ring.Count(), 1300);
    EXPECT_EQ(ring.Value(1299), 1299);
    ring.Add(-7);
    EXPECT_EQ(ring.Count(), 1301);
    EXPECT_EQ(ring.Value(0), -7);
    EXPECT_EQ(ring.Value(1), 40);
    ring.Add(99);
    EXPECT_EQ(ring.Value(1), 99);
    EXPECT_EQ(ring.Count(), 1302);
}

TEST(ConvergenceRing, AReaderOnAnotherThreadFindsEveryCountedValueWritten) {
    // The analysis thread adds while the painting thread reads. Value n
    // (from 1) goes to slot (n - 1) modulo the capacity; once the count
    // says n, that slot holds value n, or a later one of the same slot
    // after the writer has gone round again, never an older one.
    // At least this many values, and as many more as it takes the reader
    // to look this often while they come.
    constexpr int kValues = 100000;
    constexpr long long kLooks = 100000;
    constexpr int kCapacity = ConvergenceRing::capacity;
    ConvergenceRing ring;
    std::atomic<bool> reading{false};
    std::atomic<long long> looks{0};
    std::atomic<bool> done{false};
    long long stale = 0;
    std::thread reader([&] {
        reading.store(true, std::memory_order_release);
        while (!done.load(std::memory_order_acquire)) {
            const long long n = ring.Count();
            if (n == 0) continue;
            const int value = ring.Value(static_cast<int>((n - 1) % kCapacity));
            if (value < n || (value - n) % kCapacity != 0) ++stale;
            looks.fetch_add(1, std::memory_order_relaxed);
        }
    });
    while (!reading.load(std::memory_order_acquire)) std::this_thread::yield();
    int added = 0;
    while (added < kValues || looks.load(std::memory_order_relaxed) < kLooks) ring.Add(++added);
    done.store(true, std::memory_order_release);
    reader.join();
    EXPECT_EQ(stale, 0) << "of " << looks.load() << " looks";
    EXPECT_EQ(ring.Count(), added);
}
