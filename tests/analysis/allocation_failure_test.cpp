// Memory that runs out at any allocation of a batch run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "allocationsweep.h"
#include "testsupport.h"

using namespace allocationsweep;

namespace {

constexpr int kTaxa = 60;
constexpr int kLength = 200;
constexpr int kThreads = 4;

}  // namespace

TEST(AllocationFailure, EveryPointOfABatchRunOnFourThreadsEndsSoundly) {
    TempDir dir;
    const std::string input = dir.write("in.txt", simulated_file(kTaxa, kLength, 11));
    // A folder of its own for each point, with the old tree file in it.
    const auto batch = [&](long long k) {
        BoundedRun run;
        run.dir = dir.path("point-" + std::to_string(k));
        prepare_point(run.dir);
        run.args = {TAVREL_FAILING_NEW_BIN,  "-nogui", "-input_path", input, "-output_path",
                    point_tree_file(run.dir)};
        if (k > 0) run.environment = {"TAVREL_FAIL_NEW_AT=" + std::to_string(k)};
        run.cores = kThreads;
        run.bound_msecs = kBoundMsecs;
        return run;
    };
    BoundedResult plain;
    const BoundedRun counted = batch(0);
    const long long count = count_allocations(counted, &plain);
    ASSERT_EQ(status_text(plain.wait_status), "exit code 0") << plain.err;
    const std::vector<std::string> tree = lines_of(read_file(point_tree_file(counted.dir)));
    ASSERT_EQ(tree.size(), 2u);
    ASSERT_GT(count, 100);

    const std::vector<std::string> memory = memory_lines(kTaxa, kLength);
    // The sanitizers make every run several times slower: there a sample.
    const std::vector<long long> ks =
        built_with_sanitizer() ? sample_of_points(count, 150) : every_point(count);
    const std::string findings =
        sweep(ks, parallel_runs(), batch, [&](long long k, const BoundedResult& result) {
            return judge_point(result, dir.path("point-" + std::to_string(k)), tree[1], memory);
        });
    EXPECT_EQ(findings, "");
}
