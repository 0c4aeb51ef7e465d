// The MPI window mode end to end: mpiexec starts three tavrel processes,
// process 0 shows the window and the others serve its one run.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "tests/analysis/testsupport.h"
#include "tests/gui/WindowProgram.h"

using guitest::kMainTitle;
using guitest::kQuitMsecs;
using guitest::kRunMsecs;
using guitest::kShowMsecs;
using guitest::WindowProgram;

namespace {

constexpr int kProcesses = 3;
// While the window waits for its run, each other process may use this much
// processor time over kIdleMsecs at most: the wait itself costs next to
// nothing.
constexpr int kIdleMsecs = 5000;
constexpr double kIdleCpuSeconds = 0.5;

int ProgressLines(const std::vector<std::string>& lines) {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), is_step_line));
}

int Count(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

// The names of the calls of one process's MPI call log, in order.
std::vector<std::string> LoggedCalls(const std::string& log) {
    std::vector<std::string> calls;
    for (const std::string& line : lines_of(log)) {
        if (!line.empty() && line[0] != '#') calls.push_back(line.substr(0, line.find(' ')));
    }
    return calls;
}

// Whether a thread of the process waits to open a FIFO that nobody writes.
bool WaitsToOpenAFifo(pid_t pid) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    std::error_code gone;
    for (const auto& task : std::filesystem::directory_iterator(tasks, gone)) {
        if (read_file(task.path().string() + "/wchan") == "wait_for_partner") return true;
    }
    return false;
}

class MpiWindowTest : public guitest::WindowProgramTest {
protected:
    std::vector<std::string> Group(std::vector<std::string> args) const {
        args.insert(args.begin(),
                    {TAVREL_MPIEXEC, "-n", std::to_string(kProcesses), tavrel_bin(), "-mpi"});
        return args;
    }

    // The group as the tests start it: the other processes take their
    // settings from their command line, as in MPI batch; the window's first
    // model is JC.
    std::vector<std::string> GroupWithWindowSettings(std::vector<std::string> tuning = {}) const {
        tuning.insert(tuning.begin(), {"-distance_metric", "JC"});
        return Group(tuning);
    }

    // Presses "Run Analysis" and waits until the run's tree line is in the
    // tree file, as process 0 says.
    void RunUntilAppended(const std::string& window, const WindowProgram& group) const {
        ASSERT_TRUE(guitest::ClickAt(window, spots.run));
        ASSERT_TRUE(guitest::WaitFor(
            [&] { return Count(group.Output(), "Tree appended to input.seq.tre") == 1; },
            kRunMsecs))
            << testing::PrintToString(group.Output());
    }

    // Presses "Quit" and sees every process end normally.
    void QuitAndEndCleanly(const std::string& window, WindowProgram& group) const {
        ASSERT_TRUE(guitest::ClickAt(window, spots.quit));
        ASSERT_TRUE(group.WaitForExit(kQuitMsecs));
        ExpectCleanEnd(group);
    }

    // Waits until every process of the group runs; gives them by rank.
    static bool AllStarted(const WindowProgram& group, std::map<int, pid_t>* processes) {
        return guitest::WaitFor(
            [&] {
                *processes = group.TavrelProcesses();
                return static_cast<int>(processes->size()) == kProcesses;
            },
            kShowMsecs);
    }

    // Every process ended normally: mpiexec's exit code is 0 only when every
    // process's is, and it reports no process ended by a signal or exit.
    static void ExpectCleanEnd(WindowProgram& group) {
        EXPECT_EQ(group.ExitCode(), 0) << group.Errors();
        EXPECT_EQ(group.Errors().find("BAD TERMINATION"), std::string::npos) << group.Errors();
        for (const std::string& line : group.Output()) {
            EXPECT_EQ(line.find("BAD TERMINATION"), std::string::npos) << line;
        }
    }

    // The call log of every process, whole: it took its final name when MPI
    // was finalised. Gives the calls of each process.
    std::vector<std::vector<std::string>> CompleteLogs() const {
        std::vector<std::vector<std::string>> logs;
        for (int rank = 0; rank < kProcesses; ++rank) {
            const std::string name = dir.path("tavrel-mpi-" + std::to_string(rank) + ".log");
            EXPECT_FALSE(file_exists(name + ".part")) << rank;
            const std::vector<std::string> calls = LoggedCalls(read_file(name));
            EXPECT_FALSE(calls.empty()) << rank;
            if (!calls.empty()) {
                EXPECT_EQ(calls.front(), "MPI_Init_thread") << rank;
                EXPECT_EQ(calls.back(), "MPI_Finalize") << rank;
            }
            logs.push_back(calls);
        }
        return logs;
    }

    // Opens the field's file, answers its "Success Message" and presses
    // "Run Analysis".
    void OpenAndRun(const std::string& window) const {
        ASSERT_TRUE(guitest::ClickAt(window, spots.open));
        ASSERT_EQ(guitest::AnswerMessage(), "Success Message");
        ASSERT_TRUE(guitest::ClickAt(window, spots.run));
    }

    // Opens the field's file and starts a run with the given epochs and
    // convergence threshold, typed into the palette; waits until every
    // process has begun its first group.
    void StartRun(const std::string& window, const std::string& epochs,
                  const std::string& threshold, WindowProgram& group) const {
        ASSERT_TRUE(guitest::ClickAt(window, spots.open));
        ASSERT_EQ(guitest::AnswerMessage(), "Success Message");
        ASSERT_TRUE(guitest::TypeNumber(window, spots.epochsFieldEnd, 3, epochs));
        ASSERT_TRUE(guitest::TypeNumber(window, spots.thresholdFieldEnd, 4, threshold));
        ASSERT_TRUE(guitest::ClickAt(window, spots.run));
        const bool started = guitest::WaitFor(
            [&] {
                return ProgressLines(group.Output()) >= kProcesses ||
                       !guitest::WindowsTitled("Error Message").empty();
            },
            kRunMsecs);
        if (!started || ProgressLines(group.Output()) < kProcesses) {
            glowtest::SavePicture("mpi_window_run_not_started", guitest::MainWindowPicture(window));
            FAIL() << "the run did not start: " << testing::PrintToString(group.Output())
                   << group.Errors();
        }
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

    WindowProgram group(dir.path(""), GroupWithWindowSettings());
    const std::string window = guitest::WaitForMainWindow();
    ASSERT_FALSE(window.empty()) << group.Errors();
    EXPECT_EQ(guitest::WindowsTitled(kMainTitle).size(), 1u);  // process 0's only
    ASSERT_NO_FATAL_FAILURE(OpenAndRun(window));
    ASSERT_TRUE(guitest::WaitFor(
        [&] { return lines_of(read_file(dir.path("input.seq.tre"))).size() == 1; }, kRunMsecs));
    EXPECT_EQ(lines_of(read_file(dir.path("input.seq.tre"))), batchLines);

    // The group has served its run: a second one is refused, nothing hangs.
    ASSERT_TRUE(guitest::WaitFor(
        [&] { return Count(group.Output(), "Tree appended to input.seq.tre") == 1; }, kRunMsecs));
    ASSERT_TRUE(guitest::ClickAt(window, spots.run));
    ASSERT_EQ(guitest::AnswerMessage(), "Error Message");

    ASSERT_TRUE(guitest::ClickAt(window, spots.quit));
    ASSERT_TRUE(group.WaitForExit(kQuitMsecs));
    ExpectCleanEnd(group);
    // Every process took part in the run, and only in that one.
    EXPECT_EQ(ProgressLines(group.Output()), ProgressLines(batch.out));
    EXPECT_EQ(lines_of(read_file(dir.path("input.seq.tre"))).size(), 1u);
    CompleteLogs();
}

// Until "Run Analysis" the other processes wait for process 0's input
// without keeping their processors busy; "Quit" then ends them all.
TEST_F(MpiWindowTest, TheOtherProcessesWaitIdleAndQuitEndsThemAll) {
    WindowProgram group(dir.path(""), Group({"-epochs", "5"}));
    const std::string window = guitest::WaitForMainWindow();
    ASSERT_FALSE(window.empty()) << group.Errors();
    std::map<int, pid_t> processes;
    ASSERT_TRUE(AllStarted(group, &processes));
    std::map<int, double> before;
    for (const auto& [rank, pid] : processes) before[rank] = guitest::CpuSeconds(pid);
    std::this_thread::sleep_for(std::chrono::milliseconds(kIdleMsecs));
    for (const auto& [rank, pid] : processes) {
        if (rank == 0) continue;
        const double used = guitest::CpuSeconds(pid) - before[rank];
        EXPECT_GE(before[rank], 0.0) << rank;
        EXPECT_LT(used, kIdleCpuSeconds) << "process " << rank << " spun while it waited";
    }

    ASSERT_TRUE(guitest::ClickAt(window, spots.quit));
    ASSERT_TRUE(group.WaitForExit(kQuitMsecs));
    ExpectCleanEnd(group);
    EXPECT_EQ(group.Output(), std::vector<std::string>{});
    EXPECT_FALSE(file_exists(dir.path("input.seq.tre")));
    // The wait of each other process: one broadcast begun, then tests of it.
    const std::vector<std::vector<std::string>> logs = CompleteLogs();
    for (int rank = 1; rank < kProcesses && rank < static_cast<int>(logs.size()); ++rank) {
        EXPECT_EQ(std::count(logs[rank].begin(), logs[rank].end(), "MPI_Ibcast"), 1) << rank;
        EXPECT_GT(std::count(logs[rank].begin(), logs[rank].end(), "MPI_Test"), 1) << rank;
    }
}

// The window manager's close button ends the group as "Quit" does, before
// the run and after it.
TEST_F(MpiWindowTest, TheCloseButtonEndsTheGroupAsQuitDoes) {
    for (const bool afterRun : {false, true}) {
        SCOPED_TRACE(afterRun ? "after the run" : "before any run");
        std::remove(dir.path("input.seq.tre").c_str());
        WindowProgram group(dir.path(""), GroupWithWindowSettings());
        const std::string window = guitest::WaitForMainWindow();
        ASSERT_FALSE(window.empty()) << group.Errors();
        if (afterRun) {
            ASSERT_NO_FATAL_FAILURE(OpenAndRun(window));
            ASSERT_TRUE(guitest::WaitFor(
                [&] { return Count(group.Output(), "Tree appended to input.seq.tre") == 1; },
                kRunMsecs));
        }
        ASSERT_TRUE(guitest::CloseButton(window));
        ASSERT_TRUE(group.WaitForExit(kShowMsecs)) << group.Errors();
        ExpectCleanEnd(group);
        EXPECT_EQ(lines_of(read_file(dir.path("input.seq.tre"))).size(), afterRun ? 1u : 0u);
        CompleteLogs();
    }
}

// Settings of the window that differ from the other processes' end the run
// before its first epoch, and no process's own settings are wrong: the
// others wait again, so the window can run with its settings mended, and
// "Quit" ends every process with exit code 0 either way.
TEST_F(MpiWindowTest, ARunRefusedForDifferentSettingsLetsAMendedRunGo) {
    for (const bool mend : {false, true}) {
        SCOPED_TRACE(mend ? "mended and run again" : "quit after the refusal");
        std::remove(dir.path("input.seq.tre").c_str());
        // The other processes' model is Euclidian, the window's JC.
        WindowProgram group(dir.path(""), Group({}));
        const std::string window = guitest::WaitForMainWindow();
        ASSERT_FALSE(window.empty()) << group.Errors();
        ASSERT_NO_FATAL_FAILURE(OpenAndRun(window));
        ASSERT_EQ(guitest::AnswerMessage(), "Error Message");
        if (mend) {
            ASSERT_TRUE(guitest::ClickAt(window, spots.euclidian));
            ASSERT_NO_FATAL_FAILURE(RunUntilAppended(window, group));
        }
        ASSERT_NO_FATAL_FAILURE(QuitAndEndCleanly(window, group));
        EXPECT_EQ(lines_of(read_file(dir.path("input.seq.tre"))).size(), mend ? 1u : 0u);
        // Every process began the mended run's first group, once.
        EXPECT_EQ(Count(group.Output(), "Num_seqs: 10"), mend ? kProcesses : 0);
        CompleteLogs();
    }
}

// A process whose own command line holds a setting that cannot run refuses
// the run and says why; the whole group ends with it, since no window can
// mend it: the window says that another process ended the run, refuses the
// next one, and mpiexec exits with the refusal's code 1 after "Quit".
TEST_F(MpiWindowTest, AProcessThatRefusesItsOwnSettingsEndsTheGroup) {
    WindowProgram group(dir.path(""), GroupWithWindowSettings({"-epochs", "0"}));
    const std::string window = guitest::WaitForMainWindow();
    ASSERT_FALSE(window.empty()) << group.Errors();
    ASSERT_NO_FATAL_FAILURE(OpenAndRun(window));
    ASSERT_EQ(guitest::AnswerMessage(), "Error Message");
    ASSERT_TRUE(guitest::WaitFor(
        [&] {
            return Count(group.Output(), "Error: epochs must be at least 1, not 0") ==
                   kProcesses - 1;
        },
        kRunMsecs))
        << testing::PrintToString(group.Output());
    ASSERT_TRUE(guitest::ClickAt(window, spots.run));
    ASSERT_EQ(guitest::AnswerMessage(), "Error Message");
    ASSERT_TRUE(guitest::ClickAt(window, spots.quit));
    ASSERT_TRUE(group.WaitForExit(kQuitMsecs));
    EXPECT_EQ(group.ExitCode(), 1) << group.Errors();
    EXPECT_EQ(read_file(dir.path("input.seq.tre")), "");
}

// "Quit" (or the close button) during a run that would last minutes stops
// every process within seconds, wherever the run is: in a group whose
// epochs the processes share, exchanging after every epoch, or in groups
// that every process trains alone. Nothing is appended.
TEST_F(MpiWindowTest, QuitDuringALongRunStopsEveryProcess) {
    struct Case {
        const char* what;
        int taxa;
        int length;
        bool closeButton;
        bool shared;  // the first group's epochs are shared
    };
    // Groups are shared from 262144 input positions on.
    const Case cases[] = {
        {"Quit while every process trains alone", 600, 400, false, false},
        {"Quit while the processes share the epochs", 600, 600, false, true},
        {"the close button while every process trains alone", 600, 400, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.write("input.seq", simulated_file(c.taxa, c.length, 5));
        std::remove(dir.path("input.seq.tre").c_str());
        // A budget that no attempt ends early: the first group alone takes
        // minutes, far longer than the end may take.
        const std::string epochs = "1000000";
        const std::string threshold = "0";
        WindowProgram group(
            dir.path(""),
            GroupWithWindowSettings({"-epochs", epochs, "-convergence_threshold", threshold}));
        const std::string window = guitest::WaitForMainWindow();
        ASSERT_FALSE(window.empty()) << group.Errors();
        ASSERT_NO_FATAL_FAILURE(StartRun(window, epochs, threshold, group));
        if (c.closeButton) {
            ASSERT_TRUE(guitest::CloseButton(window));
        } else {
            ASSERT_TRUE(guitest::ClickAt(window, spots.quit));
        }
        ASSERT_TRUE(group.WaitForExit(kShowMsecs)) << "the run went on after the window closed";
        ExpectCleanEnd(group);
        const std::vector<std::string> out = group.Output();
        EXPECT_EQ(Count(out, "Num_seqs: " + std::to_string(c.taxa)), kProcesses);
        EXPECT_EQ(Count(out, "Tree appended to input.seq.tre"), 0);
        EXPECT_EQ(read_file(dir.path("input.seq.tre")), "");
        // Where each process learnt of it: the exchange after a shared
        // epoch, or a meeting of its own (a broadcast beyond the input's).
        const int inputBroadcasts = 3;
        for (const std::vector<std::string>& calls : CompleteLogs()) {
            const auto count = [&calls](const char* name) {
                return std::count(calls.begin(), calls.end(), name);
            };
            EXPECT_EQ(count("MPI_Allgatherv") > 0, c.shared);
            EXPECT_EQ(count("MPI_Bcast") > inputBroadcasts, !c.shared);
        }
    }
}

// A window lost under a group (destroyed by another program, or its X
// connection dropped) ends every process at once, before the run and
// during it: process 0 says so, mpiexec exits with its code 1, nothing is
// appended and no process is left.
TEST_F(MpiWindowTest, ALostWindowEndsTheGroup) {
    struct Case {
        const char* what;
        const char* loss;  // what xdotool does to the window
        bool duringRun;
    };
    const Case cases[] = {
        {"the window destroyed before the run", "windowclose", false},
        {"the window destroyed during the run", "windowclose", true},
        {"the connection dropped during the run", "windowkill", true},
    };
    const char kLost[] = "Error: the window or its display was lost";
    const char kOldTree[] = "(old,tree);\n";
    const std::string sample = read_file(dir.path("input.seq"));
    // A run of minutes, as in QuitDuringALongRunStopsEveryProcess.
    const std::string large = simulated_file(600, 400, 5);
    const std::string epochs = "1000000";
    const std::string threshold = "0";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.write("input.seq", c.duringRun ? large : sample);
        dir.write("input.seq.tre", kOldTree);
        guitest::OwnXServer server(dir.path("xvfb.log"));
        ASSERT_TRUE(server.Started());
        WindowProgram group(
            dir.path(""),
            GroupWithWindowSettings({"-epochs", epochs, "-convergence_threshold", threshold}));
        const std::string window = guitest::WaitForMainWindow();
        ASSERT_FALSE(window.empty()) << group.Errors();
        std::map<int, pid_t> processes;
        ASSERT_TRUE(AllStarted(group, &processes));
        if (c.duringRun) {
            ASSERT_NO_FATAL_FAILURE(StartRun(window, epochs, threshold, group));
        }
        ASSERT_TRUE(glowtest::Xdotool(std::string(c.loss) + " " + window));
        if (!group.WaitForExit(kShowMsecs)) {
            ADD_FAILURE() << "the group goes on without its window: "
                          << testing::PrintToString(group.Output()) << group.Errors();
            continue;
        }
        EXPECT_EQ(group.ExitCode(), 1) << group.Errors();
        // Process 0 ends the group with MPI_Abort, which MPICH reports.
        for (const std::string& line : lines_of(group.Errors())) {
            if (line.empty()) continue;
            EXPECT_NE(line.find("application called MPI_Abort(MPI_COMM_WORLD, 1)"),
                      std::string::npos)
                << line;
        }
        const std::vector<std::string> out = group.Output();
        EXPECT_EQ(Count(out, kLost), 1) << testing::PrintToString(out);
        EXPECT_EQ(Count(out, "Tree appended to input.seq.tre"), 0);
        EXPECT_EQ(read_file(dir.path("input.seq.tre")), kOldTree);
        for (const auto& [rank, pid] : processes) {
            EXPECT_TRUE(
                guitest::WaitFor([pid = pid] { return !guitest::IsAlive(pid); }, kShowMsecs))
                << "process " << rank << " is left";
        }
    }
}

// "Quit" while the run waits for something outside the program ends every
// process at once, silently, with exit code 0 and nothing appended: a run
// that waits to open its input (a FIFO that no program writes) before the
// others have it, or one that waits for another program's lock on the tree
// file once every process has done its part.
TEST_F(MpiWindowTest, QuitWhileTheRunWaitsOutsideTheProgramEndsEveryProcessAtOnce) {
    const char kOldTree[] = "(old,tree);\n";
    const std::string tree = dir.path("input.seq.tre");
    const std::string fifo = dir.path("input.seq");
    const std::string sample = read_file(fifo);
    for (const bool lock : {false, true}) {
        SCOPED_TRACE(lock ? "another program's lock on the tree file"
                          : "a FIFO that nobody writes");
        dir.write("input.seq.tre", kOldTree);
        if (lock) {
            std::remove(fifo.c_str());
            dir.write("input.seq", sample);
        } else {
            ASSERT_TRUE(guitest::MakeFifo(fifo));
        }
        HeldLock holder(tree);
        if (!lock) holder.release();
        ASSERT_TRUE(!lock || holder.held());
        WindowProgram group(dir.path(""), GroupWithWindowSettings());
        const std::string window = guitest::WaitForMainWindow();
        ASSERT_FALSE(window.empty()) << group.Errors();
        ASSERT_NO_FATAL_FAILURE(OpenAndRun(window));
        const pid_t zero = group.TavrelProcesses()[0];
        ASSERT_TRUE(guitest::WaitFor(
            [&] { return lock ? lock_waiters(tree) > 0 : WaitsToOpenAFifo(zero); }, kRunMsecs));
        ASSERT_TRUE(guitest::ClickAt(window, spots.quit));
        const bool ended = group.WaitForExit(kQuitMsecs);
        // Let a run that still waits go on, to see what it would do.
        holder.release();
        int writer = -1;
        if (!ended && !lock) writer = guitest::WriterOnceTheRunReads(fifo);
        if (writer >= 0) guitest::WriteAndClose(writer, sample);
        ASSERT_TRUE(ended || group.WaitForExit(kRunMsecs));
        EXPECT_TRUE(ended) << "the group waited for the run";
        ExpectCleanEnd(group);
        // The run's lines, from every process, when it had its input; no
        // other line.
        const std::vector<std::string> out = group.Output();
        EXPECT_EQ(Count(out, "Num_seqs: 10"), lock ? kProcesses : 0);
        EXPECT_EQ(without_progress(out), std::vector<std::string>{"Open File Button Pressed"});
        EXPECT_EQ(read_file(tree), kOldTree);
        EXPECT_TRUE(guitest::TavrelProcessesIn(dir.path("")).empty());
        CompleteLogs();
    }
}

// An input that process 0 cannot read or refuses is a refusal before the
// run, as settings that differ are: the others wait again, the mended
// input runs, and "Quit" ends every process with exit code 0 either way.
TEST_F(MpiWindowTest, ARefusedInputLeavesTheGroupWaitingForTheMendedOne) {
    const std::string sample = read_file(dir.path("input.seq"));
    struct Case {
        const char* what;
        const char* input;  // null: the file is removed after "Open Input File"
        bool mend;
    };
    const Case cases[] = {
        {"a base that is not ACGT, then Quit", "2 4\na ACGT\nb ACGN\n", false},
        {"a base that is not ACGT, mended", "2 4\na ACGT\nb ACGN\n", true},
        {"a file removed after Open, then Quit", nullptr, false},
        {"a file removed after Open, mended", nullptr, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::remove(dir.path("input.seq.tre").c_str());
        dir.write("input.seq", c.input != nullptr ? c.input : sample);
        WindowProgram group(dir.path(""), GroupWithWindowSettings());
        const std::string window = guitest::WaitForMainWindow();
        ASSERT_FALSE(window.empty()) << group.Errors();
        ASSERT_TRUE(guitest::ClickAt(window, spots.open));
        ASSERT_EQ(guitest::AnswerMessage(), "Success Message");
        if (c.input == nullptr) {
            ASSERT_EQ(std::remove(dir.path("input.seq").c_str()), 0);
        }
        ASSERT_TRUE(guitest::ClickAt(window, spots.run));
        ASSERT_EQ(guitest::AnswerMessage(), "Error Message");
        if (c.mend) {
            dir.write("input.seq", sample);
            ASSERT_NO_FATAL_FAILURE(RunUntilAppended(window, group));
        }
        ASSERT_NO_FATAL_FAILURE(QuitAndEndCleanly(window, group));
        const std::vector<std::string> out = group.Output();
        // Every process took part in the mended run's first group, once.
        EXPECT_EQ(Count(out, "Num_seqs: 10"), c.mend ? kProcesses : 0);
        // No line of the refusal: the window showed it.
        std::vector<std::string> said = {"Open File Button Pressed"};
        if (c.mend) said.push_back("Tree appended to input.seq.tre");
        EXPECT_EQ(without_progress(out), said);
        EXPECT_EQ(lines_of(read_file(dir.path("input.seq.tre"))).size(), c.mend ? 1u : 0u);
        CompleteLogs();
    }
}

// "Quit" that the window takes once the run has found that the settings
// differ, before it has shown that: every process ends silently with exit
// code 0. The other processes are stopped until the window has gone, so
// that the run waits in the agreement with them meanwhile.
TEST_F(MpiWindowTest, QuitJustAfterARefusedAgreementEndsEveryProcessSilently) {
    const std::string fifo = dir.path("input.seq");
    const std::string sample = read_file(fifo);
    ASSERT_TRUE(guitest::MakeFifo(fifo));
    // The other processes' model is Euclidian, the window's JC.
    WindowProgram group(dir.path(""), Group({}));
    const std::string window = guitest::WaitForMainWindow();
    ASSERT_FALSE(window.empty()) << group.Errors();
    std::map<int, pid_t> processes;
    ASSERT_TRUE(AllStarted(group, &processes));
    ASSERT_NO_FATAL_FAILURE(OpenAndRun(window));
    for (const auto& [rank, pid] : processes) {
        if (rank != 0) {
            ASSERT_EQ(kill(pid, SIGSTOP), 0);
        }
    }
    // The run reads the whole input, then shares it and waits in the
    // agreement; the reader's end closed shows that it has read.
    const int writer = guitest::WriterOnceTheRunReads(fifo);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(write(writer, sample.data(), sample.size()), static_cast<ssize_t>(sample.size()));
    ASSERT_TRUE(guitest::WaitFor(
        [&] {
            pollfd end = {writer, POLLOUT, 0};
            return poll(&end, 1, 0) == 1 && (end.revents & POLLERR) != 0;
        },
        kRunMsecs));
    close(writer);
    ASSERT_TRUE(guitest::ClickAt(window, spots.quit));
    ASSERT_TRUE(guitest::WaitUntilNoWindow(kMainTitle));
    for (const auto& [rank, pid] : processes) {
        if (rank != 0) {
            ASSERT_EQ(kill(pid, SIGCONT), 0);
        }
    }
    ASSERT_TRUE(group.WaitForExit(kQuitMsecs));
    ExpectCleanEnd(group);
    EXPECT_EQ(group.Output(), std::vector<std::string>{"Open File Button Pressed"});
    EXPECT_FALSE(file_exists(dir.path("input.seq.tre")) &&
                 !read_file(dir.path("input.seq.tre")).empty());
    CompleteLogs();
}

}  // namespace
