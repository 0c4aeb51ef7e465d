// The chart's ring of values, apart from any window.
#include <gtest/gtest.h>

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
