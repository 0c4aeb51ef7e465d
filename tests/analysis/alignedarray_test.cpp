// Large code buffers go back to the system when released, whatever the
// allocator did before and whichever thread held them: otherwise every
// thread that once trained a large group keeps its buffers' memory.

#include "analysis/alignedarray.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <thread>

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;
constexpr std::size_t kLarge = 48 * kMiB;
constexpr std::size_t kBuffer = 16 * kMiB;

// Resident bytes of this process.
std::size_t resident() {
    std::ifstream statm("/proc/self/statm");
    std::size_t size = 0;
    std::size_t pages = 0;
    statm >> size >> pages;
    return pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

}  // namespace

TEST(AlignedArray, ReleasedLargeBuffersLeaveTheProcess) {
    // A large block freed through the allocator raises the size from which
    // it maps blocks, so that blocks below it stay with it once freed.
    {
        std::unique_ptr<char[]> large(new char[kLarge]);
        std::memset(large.get(), 1, kLarge);
    }
    std::thread holder([] {
        AlignedArray<std::uint8_t> codes;
        codes.reserve(kBuffer);
        ASSERT_EQ(reinterpret_cast<std::uintptr_t>(codes.data()) % AlignedArray<int>::kAlignment,
                  0u);
        std::memset(codes.data(), 1, kBuffer);
        const std::size_t holding = resident();
        codes.release();
        EXPECT_LT(resident() + kBuffer / 2, holding);
    });
    holder.join();
}
