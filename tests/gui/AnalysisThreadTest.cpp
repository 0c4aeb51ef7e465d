// The analysis thread when its run cannot even report that memory ran out:
// the start routine lets nothing escape, the main loop hands the refusal
// over as a failed run, and the next run goes as usual. This program links
// the failing operator new, so that an allocation of one thread can be made
// to fail.
#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "analysis/analysismodule.h"
#include "analysis/analysisstatus.h"
#include "gui/AnalysisThread.h"
#include "tests/analysis/testsupport.h"
#include "tests/glow/support/FailingAllocation.h"
#include "tests/glow/support/GlowTestSupport.h"
#include "tests/gui/FiveTaxa.h"

namespace {

constexpr int kRunMsecs = 60000;

using guitest::kFiveTaxa;

// A front end whose first call finds memory gone, and gone again for the
// run's own report of it.
class ShortOfMemory : public RecordingFrontEnd {
public:
    TreeNode* tree_root() override {
        glowtest::FailThisThreadsAllocationAfter(0);
        throw std::bad_alloc();
    }
};

}  // namespace

TEST(AnalysisThreadTest, ARefusalThatLeavesTheRunIsAFailedRunAndTheNextRunGoes) {
    TempDir dir;
    const std::string input = dir.write("five.seq", kFiveTaxa);
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
