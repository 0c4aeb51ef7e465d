// Memory that runs out at any allocation of a batch run.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "allocationsweep.h"
#include "testsupport.h"

using namespace allocationsweep;

namespace {

constexpr int kTaxa = 60;
constexpr int kLength = 200;
constexpr int kThreads = 4;
constexpr const char* kOldTree = "(old,tree);\n";

}  // namespace

TEST(AllocationFailure, EveryPointOfABatchRunOnFourThreadsEndsSoundly) {
    TempDir dir;
    const std::string input = dir.write("in.txt", simulated_file(kTaxa, kLength, 11));
    // A folder of its own for each point, with the old tree file in it.
    const auto batch = [&](long long k) {
        BoundedRun run;
        run.dir = dir.path("point-" + std::to_string(k));
        std::filesystem::create_directories(run.dir);
        std::ofstream(run.dir + "/out.tre") << kOldTree;
        run.args = {TAVREL_FAILING_NEW_BIN, "-nogui", "-input_path", input, "-output_path",
                    run.dir + "/out.tre"};
        if (k > 0) run.environment = {"TAVREL_FAIL_NEW_AT=" + std::to_string(k)};
        run.cores = kThreads;
        run.bound_msecs = kBoundMsecs;
        return run;
    };
    BoundedResult plain;
    const BoundedRun counted = batch(0);
    const long long count = count_allocations(counted, &plain);
    ASSERT_EQ(status_text(plain.wait_status), "exit code 0") << plain.err;
    const std::vector<std::string> tree = lines_of(read_file(counted.dir + "/out.tre"));
    ASSERT_EQ(tree.size(), 2u);
    ASSERT_GT(count, 100);

    const std::vector<std::string> memory = memory_lines(kTaxa, kLength);
    // The sanitizers make every run several times slower: there a sample.
    const std::vector<long long> ks =
        built_with_sanitizer() ? sample_of_points(count, 150) : every_point(count);
    const std::string findings =
        sweep(ks, parallel_runs(), batch, [&](long long k, const BoundedResult& result) {
            const std::string folder = dir.path("point-" + std::to_string(k));
            const std::string what =
                judge(result, kOldTree, read_file(folder + "/out.tre"), tree[1], memory);
            std::filesystem::remove_all(folder);
            return what;
        });
    EXPECT_EQ(findings, "");
}
