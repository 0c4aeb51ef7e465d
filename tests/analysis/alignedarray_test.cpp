// Large code buffers: a released one serves the next request of a similar
// size from any thread (the next split step's, wherever it trains), and
// the process never holds more of them than it once asked for at once: a
// buffer that no request fits goes back to the system.

#include "analysis/alignedarray.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <thread>

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;
// Larger than any buffer of the other tests in this program.
constexpr std::size_t kFirst = 96 * kMiB;
constexpr std::size_t kSimilar = 90 * kMiB;
constexpr std::size_t kSmall = 8 * kMiB;

// Resident bytes of this process.
std::size_t resident() {
    std::ifstream statm("/proc/self/statm");
    std::size_t size = 0;
    std::size_t pages = 0;
    statm >> size >> pages;
    return pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

constexpr std::uint8_t kFill = 1;

struct Buffer {
    const std::uint8_t* where;
    // It came holding a fill of before: a block kept, not a new mapping
    // (whose pages read as zeros), even at the same address.
    bool reused;
};

// Fills a buffer of `bytes` on a thread of its own and releases it there.
Buffer fill_and_release(std::size_t bytes) {
    Buffer buffer = {nullptr, false};
    std::thread([&] {
        AlignedArray<std::uint8_t> codes;
        codes.reserve(bytes);
        EXPECT_GE(codes.capacity(), bytes);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(codes.data()) % kCacheLineBytes, 0u);
        buffer.reused = codes[0] == kFill && codes[bytes - 1] == kFill;
        std::memset(codes.data(), kFill, bytes);
        buffer.where = codes.data();
    }).join();
    return buffer;
}

}  // namespace

TEST(AlignedArray, ReleasedLargeBuffersServeTheNextStepOrLeaveTheProcess) {
    const Buffer first = fill_and_release(kFirst);
    EXPECT_FALSE(first.reused);
    // Kept: the next request of a similar size, on another thread, gets it
    // without a new mapping.
    const std::size_t holding = resident();
    const Buffer similar = fill_and_release(kSimilar);
    EXPECT_TRUE(similar.reused);
    EXPECT_EQ(similar.where, first.where);
    EXPECT_LT(resident(), holding + kSmall);
    // A small request does not take it; with the small one the process
    // would hold more than it ever asked for at once, so the large one goes.
    EXPECT_FALSE(fill_and_release(kSmall).reused);
    EXPECT_LT(resident() + kFirst / 2, holding);
}
