// What travels between the processes of a group: the pair codes of the
// members after a shared epoch.

#include "analysis/groupmessages.h"

#include <gtest/gtest.h>

TEST(MpiPair, CodesOfTheTableAndTheirInverse) {
    struct Case {
        int x, y, code;
    };
    const Case cases[] = {{0, 0, 0},
                          {0, 1, 1},
                          {1, 0, 2},
                          {2, 0, 3},
                          {2, 1, 6},
                          {5, 1, 21},
                          // The largest taxon id of an MPI run, on either neuron.
                          {member_message::kMaxTaxa - 1, 0, 2147302920},
                          {member_message::kMaxTaxa - 1, 1, 2147395597}};
    for (const Case& c : cases) {
        EXPECT_EQ(member_message::pair(c.x, c.y), c.code) << c.x << ", " << c.y;
        int x = -1;
        int y = -1;
        member_message::unpair(c.code, &x, &y);
        EXPECT_EQ(x, c.x) << c.code;
        EXPECT_EQ(y, c.y) << c.code;
    }
    // Every id of an MPI run comes back through its code.
    for (int x = 0; x < member_message::kMaxTaxa; ++x) {
        for (int y = 0; y < 2; ++y) {
            int back_x = -1;
            int back_y = -1;
            member_message::unpair(member_message::pair(x, y), &back_x, &back_y);
            if (back_x != x || back_y != y) {
                FAIL() << "pair(" << x << ", " << y << ") decodes to " << back_x << ", " << back_y;
            }
        }
    }
}

TEST(MpiPairDeathTest, CodeBeyondTheIntRangeIsRefused) {
    EXPECT_EXIT(member_message::pair(member_message::kMaxTaxa, 1), testing::ExitedWithCode(3),
                "Assertion failed");
}
