// The MPI window mode end to end: mpiexec starts three tavrel processes,
// process 0 shows the window and the others serve its one run.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/analysis/testsupport.h"
#include "tests/gui/WindowProgram.h"

using guitest::kMainTitle;
using guitest::kQuitMsecs;
using guitest::kRunMsecs;
using guitest::WindowProgram;

namespace {

constexpr int kProcesses = 3;

int ProgressLines(const std::vector<std::string>& lines) {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [](const std::string& l) {
        return l.rfind("Num_seqs: ", 0) == 0;
    }));
}

class MpiWindowTest : public guitest::WindowProgramTest {
protected:
    std::vector<std::string> Group(std::vector<std::string> args) const {
        args.insert(args.begin(),
                    {TAVREL_MPIEXEC, "-n", std::to_string(kProcesses), tavrel_bin(), "-mpi"});
        return args;
    }
};

TEST_F(MpiWindowTest, ProcessZeroRunsOnceFromTheWindow) {
    const ProgramResult batch = run_command(
        "cd " + shell_quote(dir.path("")) + " && " + shell_quote(TAVREL_MPIEXEC) + " -n " +
        std::to_string(kProcesses) + " " + shell_quote(tavrel_bin()) +
        " -mpi -nogui -input_path input.seq -output_path batch.tre -distance_metric JC");
    ASSERT_EQ(batch.exit_code, 0);
    const std::vector<std::string> batchLines = lines_of(read_file(dir.path("batch.tre")));
    ASSERT_EQ(batchLines.size(), 1u);

    // The other processes take their settings from their command line, as
    // in MPI batch: the window's first model, JC.
    WindowProgram group(dir.path(""), Group({"-distance_metric", "JC"}));
    const std::string window = guitest::WaitForMainWindow();
    ASSERT_FALSE(window.empty()) << group.Errors();
    EXPECT_EQ(guitest::WindowsTitled(kMainTitle).size(), 1u);  // process 0's only
    ASSERT_TRUE(guitest::ClickAt(window, spots.open));
    ASSERT_EQ(guitest::AnswerMessage(), "Success Message");
    ASSERT_TRUE(guitest::ClickAt(window, spots.run));
    ASSERT_TRUE(guitest::WaitFor(
        [&] { return lines_of(read_file(dir.path("input.seq.tre"))).size() == 1; }, kRunMsecs));
    EXPECT_EQ(lines_of(read_file(dir.path("input.seq.tre"))), batchLines);

    // The group has served its run: a second one is refused, nothing hangs.
    ASSERT_TRUE(guitest::WaitFor(
        [&] {
            const std::vector<std::string> out = group.Output();
            return std::count(out.begin(), out.end(), "Tree appended to input.seq.tre") == 1;
        },
        kRunMsecs));
    ASSERT_TRUE(guitest::ClickAt(window, spots.run));
    ASSERT_EQ(guitest::AnswerMessage(), "Error Message");

    ASSERT_TRUE(guitest::ClickAt(window, spots.quit));
    ASSERT_TRUE(group.WaitForExit(kQuitMsecs));
    EXPECT_EQ(group.ExitCode(), 0) << group.Errors();
    // Every process took part in the run, and only in that one.
    EXPECT_EQ(ProgressLines(group.Output()), ProgressLines(batch.out));
    EXPECT_EQ(lines_of(read_file(dir.path("input.seq.tre"))).size(), 1u);
    // Every process logged its MPI calls, process 0 from its start with
    // threads.
    for (int rank = 0; rank < kProcesses; ++rank) {
        const std::string log = read_file(dir.path("tavrel-mpi-" + std::to_string(rank) + ".log"));
        EXPECT_NE(log.find("\nMPI_Init_thread "), std::string::npos) << rank;
        EXPECT_NE(log.find("\nMPI_Finalize "), std::string::npos) << rank;
    }
}

TEST_F(MpiWindowTest, QuitDuringTheRunLetsItEndForTheOthers) {
    // The run waits for its input until after the click, however fast it is.
    const std::string fifo = dir.path("input.seq");
    ASSERT_TRUE(guitest::MakeFifo(fifo));
    WindowProgram group(dir.path(""), Group({"-distance_metric", "JC"}));
    const std::string window = guitest::WaitForMainWindow();
    ASSERT_FALSE(window.empty()) << group.Errors();
    ASSERT_TRUE(guitest::ClickAt(window, spots.open));
    ASSERT_EQ(guitest::AnswerMessage(), "Success Message");
    ASSERT_TRUE(guitest::ClickAt(window, spots.run));
    const int fd = guitest::WriterOnceTheRunReads(fifo);
    ASSERT_GE(fd, 0) << group.Errors();
    ASSERT_TRUE(guitest::ClickAt(window, spots.quit));
    // The window goes at once; the processes end with the run.
    EXPECT_TRUE(guitest::WaitUntilNoWindow(kMainTitle));
    ASSERT_TRUE(guitest::WriteAndClose(fd, simulated_file(60, 200, 5)));
    ASSERT_TRUE(group.WaitForExit(kRunMsecs));
    EXPECT_EQ(group.ExitCode(), 0) << group.Errors();
    const std::vector<std::string> out = group.Output();
    EXPECT_EQ(std::count(out.begin(), out.end(),
                         "Quit: the run under way ends first, for the other MPI processes"),
              1);
    EXPECT_EQ(std::count(out.begin(), out.end(), "Tree appended to input.seq.tre"), 1);
    EXPECT_EQ(lines_of(read_file(dir.path("input.seq.tre"))).size(), 1u);
}

TEST_F(MpiWindowTest, QuitBeforeAnyRunEndsEveryProcessWithCodeZero) {
    WindowProgram group(dir.path(""), Group({"-epochs", "5"}));
    const std::string window = guitest::WaitForMainWindow();
    ASSERT_FALSE(window.empty()) << group.Errors();
    ASSERT_TRUE(guitest::ClickAt(window, spots.quit));
    ASSERT_TRUE(group.WaitForExit(kQuitMsecs));
    EXPECT_EQ(group.ExitCode(), 0) << group.Errors();
    EXPECT_EQ(group.Output(), std::vector<std::string>{});
    EXPECT_FALSE(file_exists(dir.path("input.seq.tre")));
}

}  // namespace
