// Whole runs in every form of the epochs' arithmetic: the straightforward
// formulas, the fast form with each form of its kernels, on one thread or
// many, with a front end or without, must write the same lines.

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "analysis/analysisfrontend.h"
#include "analysis/analysismodule.h"
#include "analysis/epochkernels.h"
#include "analysis/straightforwardepochcompute.h"
#include "testsupport.h"

namespace {

struct Lines {
    std::string tree;
    std::string console;
};

Lines run_lines(const std::string& input, const std::vector<std::string>& settings,
                EpochComputeFactory form, int threads, const EpochKernels* kernels,
                AnalysisFrontEnd* front = nullptr) {
    TempDir dir;
    AnalysisModule module;
    module.options.epoch_compute = form;
    module.options.worker_threads = threads;
    module.options.kernels = kernels;
    module.gui = front;
    EXPECT_TRUE(module.set_distance_metric(CharString(settings[0].c_str())));
    module.set_conscience_learning_rate(std::stod(settings[1]));
    module.set_kohonen_learning_rate(std::stod(settings[2]));
    module.set_convergence_threshold(std::stod(settings[3]));
    module.set_epochs(std::stoi(settings[4]));
    EXPECT_TRUE(module.set_input_path(input).ok());
    EXPECT_TRUE(module.set_output_path(dir.path("out.tre")).ok());
    std::ostringstream console;
    module.options.console = &console;
    AnalysisModule::run(&module);
    EXPECT_TRUE(module.run_status.ok()) << module.run_status.message();
    return {read_file(dir.path("out.tre")), console.str()};
}

}  // namespace

TEST(FastPath, WholeRunsWriteTheStraightforwardLines) {
    TempDir dir;
    const std::string sample = std::string(TAVREL_SOURCE_DIR) + "/data/sample.txt";
    const std::string simulated = dir.write("sim.txt", simulated_file(60, 300, 4));
    // Equal taxa: every attempt fails and the farthest pair splits them.
    const std::string equal = dir.write("equal.txt", "5 4 a ACGT b ACGT c ACGT d ACGT e ACGT");
    const std::vector<std::vector<std::string>> settings = {
        {"Euclidian", "0.001", "0.04", "0.25", "100"}, {"JC", "0.001", "0.04", "0.25", "100"},
        {"F81", "0.01", "0.1", "0.3", "40"},           {"F84", "0.001", "0.04", "0.25", "100"},
        {"K2P", "0.05", "0.2", "0.4", "20"},           {"Euclidian", "0", "0.04", "0.25", "2"},
    };
    for (const std::string& input : {sample, simulated, equal}) {
        for (const auto& s : settings) {
            SCOPED_TRACE(input + " " + s[0] + " c=" + s[1] + " epochs=" + s[4]);
            const Lines plain = run_lines(input, s, make_straightforward_epoch_compute, 1, nullptr);
            ASSERT_EQ(lines_of(plain.tree).size(), 1u);
            for (const EpochKernels* const* form = EpochKernels::available(); *form; ++form) {
                for (const int threads : {1, 4}) {
                    const Lines fast = run_lines(input, s, make_fast_epoch_compute, threads, *form);
                    EXPECT_EQ(fast.tree, plain.tree) << (*form)->name << ", " << threads;
                    EXPECT_EQ(fast.console, plain.console) << (*form)->name << ", " << threads;
                }
            }
        }
    }
}

// Groups large enough that the threads share their epochs while other
// groups train beside them: the lines stay those of one thread.
TEST(FastPath, StepsTrainedAheadOnManyThreadsWriteTheLinesOfOne) {
    TempDir dir;
    const std::string input = dir.write("sim.txt", simulated_file(160, 900, 11));
    const std::vector<std::vector<std::string>> settings = {
        {"Euclidian", "0.001", "0.04", "0.25", "100"},
        {"K2P", "0.05", "0.2", "0.4", "20"},
    };
    for (const auto& s : settings) {
        SCOPED_TRACE(s[0]);
        const Lines one = run_lines(input, s, make_fast_epoch_compute, 1, nullptr);
        ASSERT_EQ(lines_of(one.tree).size(), 1u);
        for (const int threads : {3, 8}) {
            const Lines many = run_lines(input, s, make_fast_epoch_compute, threads, nullptr);
            EXPECT_EQ(many.tree, one.tree) << threads;
            EXPECT_EQ(many.console, one.console) << threads;
        }
    }
}

TEST(FastPath, FrontEndSeesTheSameCallsInOrderOnTheCallingThread) {
    TempDir dir;
    const std::string input = dir.write("sim.txt", simulated_file(30, 200, 9));
    // The default settings, and settings whose attempts fail: with a front
    // end every attempt starts afresh, so its chart sees every epoch.
    for (const auto& s : std::vector<std::vector<std::string>>{
             {"Euclidian", "0.001", "0.04", "0.25", "100"}, {"JC", "0", "0.04", "0.25", "2"}}) {
        SCOPED_TRACE(s[0] + " c=" + s[1]);
        RecordingFrontEnd plain_front;
        const Lines plain =
            run_lines(input, s, make_straightforward_epoch_compute, 1, nullptr, &plain_front);
        RecordingFrontEnd fast_front;
        const Lines fast = run_lines(input, s, make_fast_epoch_compute, 4, nullptr, &fast_front);
        EXPECT_EQ(fast.tree, plain.tree);
        EXPECT_EQ(fast.console, plain.console);
        EXPECT_EQ(fast_front.calls, plain_front.calls);
        EXPECT_EQ(fast_front.threads, std::set<std::thread::id>{std::this_thread::get_id()});
        // And the tree is the one a run without a front end writes.
        EXPECT_EQ(run_lines(input, s, make_fast_epoch_compute, 4, nullptr).tree, fast.tree);
    }
}
