// Memory that runs out at an allocation of one process of an MPI group.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "allocationsweep.h"
#include "testsupport.h"

using namespace allocationsweep;

namespace {

constexpr int kTaxa = 60;
constexpr int kLength = 200;
constexpr int kProcesses = 2;
// The processes of a group share its cores: one thread each.
constexpr int kCores = kProcesses;
// Points a rank's sweep takes, besides its first and last ten.
constexpr int kSampled = 50;

}  // namespace

TEST(MpiAllocationFailure, APointOfEitherProcessEndsTheGroupSoundly) {
    TempDir dir;
    const std::string input = dir.write("in.txt", simulated_file(kTaxa, kLength, 11));
    const std::vector<std::string> memory = memory_lines(kTaxa, kLength);
    for (int rank = 0; rank < kProcesses; ++rank) {
        SCOPED_TRACE("allocations of process " + std::to_string(rank));
        const std::string name = "rank" + std::to_string(rank) + "-";
        const auto group = [&](long long k) {
            BoundedRun run;
            run.dir = dir.path(name + std::to_string(k));
            prepare_point(run.dir);
            run.args = {TAVREL_MPIEXEC,          "-n",   std::to_string(kProcesses),
                        TAVREL_FAILING_NEW_BIN,  "-mpi", "-nogui",
                        "-input_path",           input,  "-output_path",
                        point_tree_file(run.dir)};
            run.environment = {"TAVREL_FAIL_NEW_RANK=" + std::to_string(rank)};
            if (k > 0) run.environment.push_back("TAVREL_FAIL_NEW_AT=" + std::to_string(k));
            run.cores = kCores;
            run.bound_msecs = kBoundMsecs;
            return run;
        };
        BoundedResult plain;
        const BoundedRun counted = group(0);
        const long long count = count_allocations(counted, &plain);
        ASSERT_EQ(status_text(plain.wait_status), "exit code 0") << plain.err;
        const std::vector<std::string> tree = lines_of(read_file(point_tree_file(counted.dir)));
        ASSERT_EQ(tree.size(), 2u);
        ASSERT_GT(count, 100);

        const int parallel = std::max(2, parallel_runs() / kCores);
        const std::string findings = sweep(
            sample_of_points(count, kSampled), parallel, group,
            [&](long long k, const BoundedResult& result) {
                return judge_point(result, dir.path(name + std::to_string(k)), tree[1], memory);
            });
        EXPECT_EQ(findings, "");
    }
}
