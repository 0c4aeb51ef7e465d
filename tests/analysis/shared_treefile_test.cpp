// The program as users run it for replicates and sweeps: several runs at
// once appending to one tree file, runs ended by a signal while they write,
// and runs that the system refuses memory or threads. The rule under test
// is the tree file's: every run that reports success has its whole line in
// the file, and nothing else is ever left there (no part of a line, no
// empty line).

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/support/childprocess.h"
#include "testsupport.h"

namespace {

// The sanitizers slow a run down many times: their builds run the large
// inputs at a quarter of the size,
int size_divisor() {
    return built_with_sanitizer() ? 4 : 1;
}

// and four runs at once where the others run more: many sanitized programs
// at once would starve the window tests that run beside these.
constexpr int kSanitizedRunsAtOnce = 4;

int runs_at_once(int runs) {
    return built_with_sanitizer() ? kSanitizedRunsAtOnce : runs;
}

const char kFiveTaxa[] =
    "5 8\nalpha ACGTACGT\nbeta ACGTACGA\ngamma TTGCACGT\ndelta TTGCAAGT\n"
    "eps GGGCAAGT\n";
const char kOldTree[] = "(old,tree);\n";
// No run the tests start may take longer than this, however busy the
// machine; a run that does has hung.
constexpr auto kPatience = std::chrono::minutes(4);

std::vector<std::string> batch_args(const std::string& input, const std::string& output) {
    return {"-nogui", "-input_path", input, "-output_path", output};
}

// Runs of large inputs with one epoch per attempt: whole runs, their long
// lines sooner.
std::vector<std::string> quick_args(const std::string& input, const std::string& output) {
    std::vector<std::string> args = batch_args(input, output);
    args.insert(args.end(), {"-epochs", "1"});
    return args;
}

// How a process ended: its exit code, or the signal that ended it.
struct Ending {
    bool by_signal;
    int code;
    bool operator==(const Ending& o) const { return by_signal == o.by_signal && code == o.code; }
};
std::ostream& operator<<(std::ostream& out, const Ending& e) {
    return out << (e.by_signal ? "signal " : "exit ") << e.code;
}
constexpr Ending kSuccess = {false, 0};
constexpr Ending kError = {false, 1};

// A run of the program in the background, its standard output in a file
// (standard error dropped), with resource limits of its own. It starts as
// from a shell that leaves every signal at its default.
class BackgroundRun {
public:
    // `cores`: the processors the run may use (and so the threads it
    // makes), or null for those of the test. `launcher`: a command that
    // takes the program and its arguments and ends by exec'ing them (the
    // run's process id stays the program's).
    BackgroundRun(const std::vector<std::string>& args, const std::string& output_file,
                  const std::vector<std::pair<int, rlim_t>>& limits = {},
                  const cpu_set_t* cores = nullptr, const std::vector<std::string>& launcher = {})
        : process_(spec(args, output_file, limits, cores, launcher)) {}

    pid_t pid() const { return process_.pid(); }

    // Whether the run has ended; its ending is then known.
    bool ended() { return process_.has_ended() && process_.wait_for_end(); }
    // Waits for the end, at most kPatience; a run that takes longer is
    // ended and counts as a failure.
    Ending wait() {
        const int patience = static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(kPatience).count());
        if (!process_.wait_for_end(patience)) {
            ADD_FAILURE() << "the run hung";
            process_.end_group();
            process_.wait_for_end();
        }
        const int signal = process_.term_signal();
        return signal != 0 ? Ending{true, signal} : Ending{false, process_.exit_code()};
    }

private:
    static ChildSpec spec(const std::vector<std::string>& args, const std::string& output_file,
                          const std::vector<std::pair<int, rlim_t>>& limits, const cpu_set_t* cores,
                          const std::vector<std::string>& launcher) {
        ChildSpec spec;
        spec.args = launcher;
        spec.args.push_back(tavrel_bin());
        spec.args.insert(spec.args.end(), args.begin(), args.end());
        spec.out_file = output_file;
        spec.limits = limits;
        spec.cores = cores;
        return spec;
    }

    ChildProcess process_;
};

// Two of the test's processors for run `i` of many at once, a different two
// for the next run: the runs still meet at the tree file, with a thread
// pool each, but leave the rest of the machine be.
cpu_set_t two_cores(int i) {
    cpu_set_t mine;
    CPU_ZERO(&mine);
    ::sched_getaffinity(0, sizeof mine, &mine);
    std::vector<int> usable;
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
        if (CPU_ISSET(cpu, &mine)) usable.push_back(cpu);
    }
    cpu_set_t two;
    CPU_ZERO(&two);
    for (int k = 0; k < 2 && !usable.empty(); ++k) {
        CPU_SET(usable[(2 * i + k) % usable.size()], &two);
    }
    return two;
}

// The tree line that a run with `args` appends to `out`, found by a run of
// its own.
std::string tree_line_of(const std::vector<std::string>& args, const std::string& out) {
    std::remove(out.c_str());
    const ProgramResult result = run_tavrel(args);
    EXPECT_EQ(result.exit_code, 0);
    const std::vector<std::string> lines = lines_of(read_file(out));
    EXPECT_EQ(lines.size(), 1u);
    return lines.empty() ? std::string() : lines[0];
}

off_t file_size(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 ? info.st_size : -1;
}

// Texts of megabytes compared without printing them.
testing::AssertionResult same_text(const std::string& actual, const std::string& expected) {
    if (actual == expected) return testing::AssertionSuccess();
    const auto differ =
        std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    return testing::AssertionFailure()
           << actual.size() << " bytes instead of " << expected.size()
           << ", the first difference at byte " << (differ.first - actual.begin());
}

// Whether process `pid` has the file at `path` open for writing (a child
// that has not yet started the program still holds the test's reader).
bool writes_to(pid_t pid, const std::string& path) {
    const std::string process = "/proc/" + std::to_string(pid);
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(process + "/fd", ignored)) {
        if (std::filesystem::read_symlink(entry.path(), ignored).string() != path) continue;
        const std::string info = read_file(process + "/fdinfo/" + entry.path().filename().string());
        const std::size_t flags = info.find("flags:");
        if (flags == std::string::npos) continue;
        const long mode = std::strtol(info.c_str() + flags + 6, nullptr, 8) & O_ACCMODE;
        if (mode == O_WRONLY || mode == O_RDWR) return true;
    }
    return false;
}

}  // namespace

// Runs whose writes fail under a file size limit, on a tree file already
// past it, cut the file back while other runs append to it: they cut back
// only what they wrote themselves, and SIGXFSZ ends none of them. In the
// first round the file is locked, as another program would lock it, until
// every run waits for the lock: no run touches the file before it has it.
TEST(SharedTreeFile, FailedWritesCutBackNothingOfOtherRuns) {
    const int at_once = runs_at_once(16);
    constexpr int kRounds = 4;
    constexpr rlim_t kFileSizeLimit = 4096;
    TempDir dir;
    const std::string in = dir.write("in.txt", kFiveTaxa);
    const std::string out = dir.path("out.tre");
    const std::string line = tree_line_of(batch_args(in, out), out);
    const std::string before = std::string(2 * kFileSizeLimit - 1, 'x') + "\n";
    const std::vector<std::string> refusal = {"Error: Output file " + out +
                                              " could not be written: File too large"};
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        dir.write("out.tre", before);
        auto lock = round == 0 ? std::make_unique<HeldLock>(out) : nullptr;
        std::vector<std::unique_ptr<BackgroundRun>> runs;
        for (int i = 0; i < at_once; ++i) {
            std::vector<std::pair<int, rlim_t>> limits;
            if (i % 2 == 1) limits.emplace_back(RLIMIT_FSIZE, kFileSizeLimit);
            const cpu_set_t cores = two_cores(i);
            runs.push_back(std::make_unique<BackgroundRun>(
                batch_args(in, out), dir.path("stdout" + std::to_string(i)), limits, &cores));
        }
        if (lock) {
            const auto until = std::chrono::steady_clock::now() + kPatience;
            // The count of one look: a later look may miss a waiter for a
            // moment (a wait that a signal interrupted and the run takes up
            // again, or a list that changed while it was read).
            int waiting = lock_waiters(out);
            while (waiting < at_once && std::chrono::steady_clock::now() < until &&
                   std::none_of(runs.begin(), runs.end(), [](auto& run) { return run->ended(); })) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                waiting = lock_waiters(out);
            }
            EXPECT_EQ(waiting, at_once) << "runs that did not wait for the lock";
            EXPECT_TRUE(same_text(read_file(out), before));
            lock.reset();
        }
        int appended = 0;
        for (int i = 0; i < at_once; ++i) {
            const Ending ending = runs[i]->wait();
            const std::vector<std::string> said =
                without_progress(lines_of(read_file(dir.path("stdout" + std::to_string(i)))));
            if (i % 2 == 1) {
                EXPECT_EQ(ending, kError) << "limited run " << i;
                EXPECT_EQ(said, refusal) << "limited run " << i;
            } else {
                EXPECT_EQ(ending, kSuccess) << "run " << i;
                EXPECT_EQ(said, std::vector<std::string>()) << "run " << i;
            }
            if (ending == kSuccess) ++appended;
        }
        std::string expected = before;
        for (int i = 0; i < appended; ++i) expected += line + "\n";
        EXPECT_TRUE(same_text(read_file(out), expected));
    }
}

// Runs of two inputs at once: each line is whole, and no run writes a
// newline of its own before its line because another run's line was still
// growing when it looked at the file's last byte.
TEST(SharedTreeFile, ConcurrentRunsKeepEveryLineWholeAndApart) {
    const int at_once = runs_at_once(10);
    constexpr int kRounds = 2;
    // Lines of about 300 KB (a quarter of it under the sanitizers), long
    // enough to be written while another run looks at the file.
    const int taxa = 3000 / size_divisor();
    TempDir dir;
    const std::string inputs[2] = {dir.write("a.txt", long_names_file(taxa, 'a', 1)),
                                   dir.write("b.txt", long_names_file(taxa, 'b', 2))};
    const std::string out = dir.path("out.tre");
    const std::string lines[2] = {tree_line_of(quick_args(inputs[0], out), out),
                                  tree_line_of(quick_args(inputs[1], out), out)};
    dir.write("out.tre", kOldTree);
    for (int round = 0; round < kRounds; ++round) {
        std::vector<std::unique_ptr<BackgroundRun>> runs;
        for (int i = 0; i < at_once; ++i) {
            const cpu_set_t cores = two_cores(i);
            runs.push_back(
                std::make_unique<BackgroundRun>(quick_args(inputs[i % 2], out), "/dev/null",
                                                std::vector<std::pair<int, rlim_t>>(), &cores));
        }
        for (auto& run : runs) EXPECT_EQ(run->wait(), kSuccess);
    }
    const std::vector<std::string> written = lines_of(read_file(out));
    ASSERT_EQ(written.size(), 1u + at_once * kRounds);
    EXPECT_EQ(written[0] + "\n", kOldTree);
    for (std::size_t i = 1; i < written.size(); ++i) {
        EXPECT_TRUE(written[i] == lines[0] || written[i] == lines[1])
            << "line " << i << " of " << written[i].size() << " bytes is no run's line";
    }
    for (const std::string& line : lines) {
        EXPECT_EQ(std::count(written.begin(), written.end(), line), at_once * kRounds / 2);
    }
}

// A request to end the program that comes while its line grows in the file
// waits until the line is whole, then ends the program as it would have.
TEST(SharedTreeFile, SignalDuringTheWriteWaitsForTheWholeLine) {
    // A line of 4 MB (1 MB under the sanitizers): its write lasts long
    // enough to be caught growing.
    const int taxa = 40000 / size_divisor();
    // Tries until one catches the run alive when the signal comes (it may
    // end first on a busy machine).
    constexpr int kTries = 10;
    TempDir dir;
    const std::string in = dir.write("in.txt", long_names_file(taxa, 't', 3));
    const std::string out = dir.path("out.tre");
    const std::string expected = kOldTree + tree_line_of(quick_args(in, out), out) + "\n";
    for (int signal : {SIGTERM, SIGINT, SIGQUIT, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        bool caught = false;
        for (int attempt = 0; attempt < kTries && !caught; ++attempt) {
            dir.write("out.tre", kOldTree);
            const off_t before = file_size(out);
            BackgroundRun run(quick_args(in, out), "/dev/null");
            const auto until = std::chrono::steady_clock::now() + kPatience;
            while (file_size(out) == before && !run.ended() &&
                   std::chrono::steady_clock::now() < until) {
            }
            ::kill(run.pid(), signal);
            const Ending ending = run.wait();
            EXPECT_TRUE(same_text(read_file(out), expected)) << "the file holds part of the line";
            caught = ending == Ending{true, signal};
            // Otherwise the run had ended before the signal came.
            if (!caught) {
                EXPECT_EQ(ending, kSuccess);
            }
        }
        EXPECT_TRUE(caught) << "no run was still writing when its signal came";
    }
}

// A request to end the program that comes while it trains ends it at once,
// by that very signal (not an exit code of its own), with nothing appended.
TEST(SharedTreeFile, SignalDuringTheEpochsEndsTheRunByThatSignal) {
    // Epochs that never converge: every split trains its whole budget, and
    // the run lasts seconds after its first progress line.
    const int taxa = 4000 / size_divisor();
    // Tries until one catches the run alive when the signal comes.
    constexpr int kTries = 5;
    TempDir dir;
    const std::string in = dir.write("in.txt", simulated_file(taxa, 600, 11));
    const std::string out = dir.path("out.tre");
    const std::string stdout_file = dir.path("stdout");
    std::vector<std::string> args = batch_args(in, out);
    args.insert(args.end(), {"-epochs", "2000", "-convergence_threshold", "0"});
    for (int signal : {SIGTERM, SIGINT, SIGQUIT, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        bool caught = false;
        for (int attempt = 0; attempt < kTries && !caught; ++attempt) {
            dir.write("out.tre", kOldTree);
            BackgroundRun run(args, stdout_file);
            const auto until = std::chrono::steady_clock::now() + kPatience;
            while (read_file(stdout_file).rfind("Num_seqs: ", 0) != 0 && !run.ended() &&
                   std::chrono::steady_clock::now() < until) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            ::kill(run.pid(), signal);
            const Ending ending = run.wait();
            caught = ending == Ending{true, signal};
            if (caught) {
                EXPECT_EQ(read_file(out), kOldTree) << "a run ended by a signal appended";
            } else {
                // Otherwise the run had ended before the signal came.
                EXPECT_EQ(ending, kSuccess);
            }
        }
        EXPECT_TRUE(caught) << "no run was still training when its signal came";
    }
}

// The writing end of a FIFO once a run has opened it to read (until then
// the open fails), or -1 when the run ends first or takes too long.
int writer_once_read(const std::string& fifo, BackgroundRun& run) {
    const auto until = std::chrono::steady_clock::now() + kPatience;
    int fd = -1;
    while ((fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) < 0 && !run.ended() &&
           std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return fd;
}

// Writes all of `text` and closes `fd`; false when the reader has gone.
// The SIGPIPE that a write raises then is taken away unseen.
bool write_and_close(int fd, const std::string& text) {
    sigset_t pipe_signal;
    sigemptyset(&pipe_signal);
    sigaddset(&pipe_signal, SIGPIPE);
    sigset_t previous;
    ::pthread_sigmask(SIG_BLOCK, &pipe_signal, &previous);
    bool ok = ::fcntl(fd, F_SETFL, 0) == 0;
    for (std::size_t done = 0; ok && done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<std::size_t>(n);
    }
    const timespec no_wait = {0, 0};
    while (::sigtimedwait(&pipe_signal, nullptr, &no_wait) == SIGPIPE) {
    }
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return ::close(fd) == 0 && ok;
}

// A signal that was ignored when the program started (by the shell's trap,
// or SIGHUP by nohup) stays ignored: a run that it reaches, here while the
// run waits for its input, finishes and appends its line.
TEST(SharedTreeFile, SignalIgnoredAtTheStartLeavesTheRunToFinish) {
    TempDir dir;
    const std::string sample = dir.write("sample.txt", kFiveTaxa);
    const std::string out = dir.path("out.tre");
    const std::string expected = kOldTree + tree_line_of(batch_args(sample, out), out) + "\n";
    const std::string fifo = dir.path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string stdout_file = dir.path("stdout");
    for (const IgnoringLauncher& c : ignoring_launchers()) {
        SCOPED_TRACE(c.command);
        dir.write("out.tre", kOldTree);
        const std::vector<std::string> ignoring = {"/bin/sh", "-c", c.command, "sh"};
        BackgroundRun run(batch_args(fifo, out), stdout_file, {}, nullptr, ignoring);
        const int fd = writer_once_read(fifo, run);
        ASSERT_GE(fd, 0) << "the run did not read its input";
        ASSERT_EQ(::kill(run.pid(), c.signal), 0);
        EXPECT_TRUE(write_and_close(fd, kFiveTaxa)) << "the run has gone";
        EXPECT_EQ(run.wait(), kSuccess);
        EXPECT_EQ(without_progress(lines_of(read_file(stdout_file))), std::vector<std::string>());
        EXPECT_TRUE(same_text(read_file(out), expected));
    }
}

// A pipe whose reader goes away while the line goes into it: the write
// fails with EPIPE, the run says so, and no SIGPIPE ends the run.
TEST(SharedTreeFile, ReaderThatGoesAwayEndsTheWriteNotTheRun) {
    TempDir dir;
    // A line far longer than a pipe holds: the write waits for the reader.
    const std::string in = dir.write("in.txt", long_names_file(3000 / size_divisor(), 'p', 5));
    const std::string fifo = dir.path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    BackgroundRun run(quick_args(in, fifo), dir.path("stdout"));
    // The run opens the FIFO for its line; then the reader goes.
    const auto until = std::chrono::steady_clock::now() + kPatience;
    while (!writes_to(run.pid(), fifo) && !run.ended() &&
           std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::close(reader);
    EXPECT_EQ(run.wait(), kError);
    EXPECT_EQ(without_progress(lines_of(read_file(dir.path("stdout")))),
              std::vector<std::string>{"Error: Output file " + fifo +
                                       " could not be written: Broken pipe"});
}

// Progress lines into a pipe whose reader has read one and gone: the lines
// are lost, not the run, which appends its tree and ends as it would have.
TEST(SharedTreeFile, ProgressReaderThatGoesAwayLosesTheLinesNotTheTree) {
    TempDir dir;
    // More progress lines than a pipe holds: the run still writes them
    // when the reader has gone.
    const std::string in = dir.write("in.txt", long_names_file(3000 / size_divisor(), 'h', 6));
    const std::string out = dir.path("out.tre");
    const std::string line = tree_line_of(quick_args(in, out), out);
    dir.write("out.tre", kOldTree);
    std::string command = shell_quote(tavrel_bin()) + " ";
    for (const std::string& arg : quick_args(in, out)) command += shell_quote(arg) + " ";
    const ProgramResult result = run_command(
        "bash -c " + shell_quote(command + "| head -1 >/dev/null; exit ${PIPESTATUS[0]}"));
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_TRUE(same_text(read_file(out), kOldTree + line + "\n"));
}

// A run under an address space limit that cannot hold its input: one line,
// exit code 1, the tree file as it was.
TEST(RefusedResources, RunThatCannotHoldItsInputSaysSo) {
    if (built_with_sanitizer()) GTEST_SKIP() << kNoAddressSpaceLimitWithSanitizers;
    constexpr int kTaxa = 100;
    constexpr int kLength = 500000;
    TempDir dir;
    const std::string tiny = dir.write("tiny.txt", kFiveTaxa);
    const std::string out = dir.write("out.tre", kOldTree);
    // The address space in which the program runs at all (its libraries, a
    // tiny input).
    const rlim_t least = least_that_works(16 << 20, 4LL << 30, 8 << 20, [&](long long bytes) {
        BackgroundRun run(batch_args(tiny, dir.path("tiny.tre")), "/dev/null",
                          {{RLIMIT_AS, static_cast<rlim_t>(bytes)}});
        return run.wait() == kSuccess;
    });
    ASSERT_NE(least, 0u) << "the program does not run in 4 GiB";

    const std::string in = dir.write("in.txt", repeated_sequence_file(kTaxa, kLength));
    // Half a byte per input position beyond that: the letters alone take
    // one, so the input cannot even be held.
    const rlim_t limit = least + static_cast<rlim_t>(kTaxa) * kLength / 2;
    BackgroundRun run(batch_args(in, out), dir.path("stdout"), {{RLIMIT_AS, limit}});
    EXPECT_EQ(run.wait(), kError);
    EXPECT_EQ(lines_of(read_file(dir.path("stdout"))),
              std::vector<std::string>{"Error: not enough memory to read 100 x 500000 positions"});
    EXPECT_EQ(read_file(out), kOldTree);
}

// A run whose worker threads the system refuses goes on with the threads it
// has and gives the line, and the progress, of a run that has them all.
TEST(RefusedResources, RefusedThreadsStillGiveTheBatchLine) {
    if (std::thread::hardware_concurrency() < 2) {
        GTEST_SKIP() << "one core: a run asks for no thread of its own";
    }
    TempDir dir;
    const std::string in = dir.write("in.txt", long_names_file(300, 'r', 4));
    const std::string free_out = dir.path("free.tre");
    const std::string limited_out = dir.path("limited.tre");
    // A process limit of 1 refuses every new thread, unless the user is
    // root: then the run is made as nobody, who may enter the folder.
    std::string as_user;
    // The sanitizers' leak check at the end needs a thread of its own.
    if (built_with_sanitizer()) as_user = "env ASAN_OPTIONS=detect_leaks=0 ";
    if (::geteuid() == 0) {
        as_user += "setpriv --reuid=65534 --regid=65534 --clear-groups ";
        ASSERT_EQ(::chmod(dir.path("").c_str(), 0777), 0);
    }
    const std::string limited = as_user + "prlimit --nproc=1 ";
    if (run_command(limited + "sh -c 'true & wait $!'").exit_code == 0) {
        GTEST_SKIP() << "the process limit refuses nothing here";
    }
    if (run_command(as_user + "test -x " + shell_quote(tavrel_bin())).exit_code != 0) {
        GTEST_SKIP() << "nobody cannot run " << tavrel_bin();
    }
    std::string args;
    for (const std::string& arg : batch_args(in, limited_out)) args += " " + shell_quote(arg);
    const ProgramResult refused = run_command(limited + shell_quote(tavrel_bin()) + args);
    const ProgramResult free_run = run_tavrel(batch_args(in, free_out));
    EXPECT_EQ(refused.exit_code, 0);
    EXPECT_EQ(refused.out, free_run.out);
    EXPECT_EQ(lines_of(read_file(free_out)).size(), 1u);
    EXPECT_TRUE(same_text(read_file(limited_out), read_file(free_out)));
}
