// The analysis thread when its run cannot even report that memory ran out:
// the start routine lets nothing escape, the main loop hands the refusal
// over as a failed run, and the next run goes as usual. This program
// replaces the global operator new so that an allocation of one thread can
// be made to fail.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "analysis/analysismodule.h"
#include "analysis/analysisstatus.h"
#include "gui/AnalysisThread.h"
#include "tests/analysis/testsupport.h"
#include "tests/glow/support/GlowTestSupport.h"

namespace {

// The number of this thread's allocations to let through before one fails;
// negative: none fails.
thread_local int allocationsBeforeFailure = -1;

void* Allocate(std::size_t size) {
    if (allocationsBeforeFailure == 0) {
        allocationsBeforeFailure = -1;
        throw std::bad_alloc();
    }
    if (allocationsBeforeFailure > 0) --allocationsBeforeFailure;
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

constexpr int kRunMsecs = 60000;

const char kFive[] =
    "5 8\n"
    "alpha ACGTACGT\n"
    "beta  ACGTACGA\n"
    "gamma TTGTACCA\n"
    "delta TTGAACCA\n"
    "eps   GCGTTCGA\n";

// A front end whose first call finds memory gone, and gone again for the
// run's own report of it.
class ShortOfMemory : public RecordingFrontEnd {
public:
    TreeNode* tree_root() override {
        allocationsBeforeFailure = 0;
        throw std::bad_alloc();
    }
};

}  // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

TEST(AnalysisThreadTest, ARefusalThatLeavesTheRunIsAFailedRunAndTheNextRunGoes) {
    TempDir dir;
    const std::string input = dir.write("five.seq", kFive);
    const std::string output = dir.path("five.seq.tre");
    AnalysisModule module;
    ASSERT_TRUE(module.set_input_path(input).ok());
    ASSERT_TRUE(module.set_output_path(output).ok());
    std::vector<AnalysisStatus> finished;
    AnalysisThread thread([&](const AnalysisStatus& status) { finished.push_back(status); });

    ShortOfMemory shortOfMemory;
    module.gui = &shortOfMemory;
    ASSERT_TRUE(thread.Start(&module));
    ASSERT_TRUE(glowtest::PumpUntil([&] { return !thread.IsRunning(); }, kRunMsecs));
    ASSERT_EQ(finished.size(), 1u);
    EXPECT_FALSE(finished[0].ok());
    EXPECT_EQ(finished[0].message(), "Error: not enough memory");
    EXPECT_EQ(finished[0].exit_code(), 1);
    EXPECT_FALSE(finished[0].ends_group_now());
    EXPECT_EQ(read_file(output), "");

    RecordingFrontEnd shown;
    module.gui = &shown;
    ASSERT_TRUE(thread.Start(&module));
    ASSERT_TRUE(glowtest::PumpUntil([&] { return !thread.IsRunning(); }, kRunMsecs));
    ASSERT_EQ(finished.size(), 2u);
    EXPECT_TRUE(finished[1].ok()) << finished[1].message();
    EXPECT_EQ(lines_of(read_file(output)).size(), 1u);
    EXPECT_FALSE(shown.values.empty());
}
