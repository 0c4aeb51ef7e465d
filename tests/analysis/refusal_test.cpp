// The run when the system refuses it memory or another resource: the
// refusal ends the run with a line of its own and nothing appended, and
// the same object runs again afterwards (as the window does).

#include <gtest/gtest.h>

#include <cerrno>
#include <new>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "analysis/analysismodule.h"
#include "analysis/workerpool.h"
#include "testsupport.h"

namespace {

constexpr int kThreads = 4;
constexpr int kTasks = 64;

std::unique_ptr<EpochCompute> refuse_memory(const EpochSetup&) {
    throw std::bad_alloc();
}

std::unique_ptr<EpochCompute> refuse_resource(const EpochSetup&) {
    throw std::system_error(EAGAIN, std::generic_category());
}

}  // namespace

// A task that throws on any thread ends the phase; the exception goes on
// from run() on the calling thread once no task of the phase runs, and the
// pool serves the next phase as before.
TEST(WorkerPoolRefusal, TaskExceptionReachesTheCallerAndThePoolGoesOn) {
    WorkerPool pool(kThreads);
    for (int thrower : {0, kTasks / 2, kTasks - 1}) {
        SCOPED_TRACE(thrower);
        EXPECT_THROW(pool.run(kTasks,
                              [&](int i, int) {
                                  if (i == thrower) throw std::bad_alloc();
                              }),
                     std::bad_alloc);
        std::vector<int> done(kTasks, 0);
        pool.run(kTasks, [&](int i, int) { done[i] = i + 1; });
        for (int i = 0; i < kTasks; ++i) EXPECT_EQ(done[i], i + 1);
    }
}

TEST(RunRefusal, RefusedResourcesEndTheRunWithALineAndAppendNothing) {
    struct Case {
        EpochComputeFactory factory;
        std::string line;
    };
    const Case cases[] = {
        {refuse_memory, "Error: not enough memory to analyse 4 x 6 positions"},
        {refuse_resource,
         "Error: The system refused the run a resource: Resource temporarily unavailable"},
    };
    TempDir dir;
    const std::string input =
        dir.write("in.txt", "4 6\nalpha ACGTAC\nbeta ACGTAA\ngamma TTGCAC\ndelta TTGCAA\n");
    const std::string out = dir.write("out.tre", "(old,tree);\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        AnalysisModule module;
        std::ostringstream console;
        module.options.console = &console;
        ASSERT_TRUE(module.set_input_path(input).ok());
        ASSERT_TRUE(module.set_output_path(out).ok());
        module.options.epoch_compute = c.factory;
        AnalysisModule::run(&module);
        EXPECT_EQ(module.run_status.message(), c.line);
        EXPECT_EQ(module.run_status.exit_code(), 1);
        EXPECT_EQ(read_file(out), "(old,tree);\n");

        // The object is whole: its next run appends its line.
        module.options.epoch_compute = make_fast_epoch_compute;
        AnalysisModule::run(&module);
        EXPECT_TRUE(module.run_status.ok()) << module.run_status.message();
        const std::vector<std::string> tree = lines_of(read_file(out));
        ASSERT_EQ(tree.size(), 2u);
        EXPECT_EQ(tree[1].back(), ';');
        dir.write("out.tre", "(old,tree);\n");
    }
}
