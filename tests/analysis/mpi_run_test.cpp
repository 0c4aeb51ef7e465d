// The program as an MPI group: every case starts the real tavrel under
// mpiexec. A run that hangs is ended by `timeout` (exit code 124) and fails.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/analysismodule.h"
#include "testsupport.h"

namespace {

constexpr int kTimedOut = 124;

std::string quote(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg) quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// One program of an mpiexec command line: N processes with these arguments,
// and an address space limit in KiB (ulimit -v) when it is not 0.
struct Processes {
    int count;
    std::vector<std::string> args;
    long address_space_kib = 0;
};

// How a group may end besides by the processes' own exit codes.
enum class GroupEnd {
    normal,
    // A process may end the group at once (MPI_Abort): one that runs out of
    // memory while the others may wait for it.
    aborted,
    // The processes may not even start (tight limits while a test probes).
    may_fail_to_start,
};

// Runs the group in `dir` (the working directory of every process). Unless
// told that the group may fail to start, the processes must leave no
// sanitizer report and no failed check on standard error, and abort only
// when told, whatever their exit code.
ProgramResult mpiexec(const std::string& dir, const std::vector<Processes>& programs,
                      GroupEnd end = GroupEnd::normal) {
    const std::string errors = dir + "/mpiexec-stderr.txt";
    std::string command = "(cd " + quote(dir) + " && timeout -k 5 300 " + quote(TAVREL_MPIEXEC);
    for (std::size_t i = 0; i < programs.size(); ++i) {
        if (i > 0) command += " :";
        command += " -n " + std::to_string(programs[i].count) + " ";
        if (programs[i].address_space_kib > 0) {
            command +=
                "bash -c " +
                quote("ulimit -c 0 && ulimit -v " + std::to_string(programs[i].address_space_kib) +
                      " && exec \"$0\" \"$@\"") +
                " ";
        }
        command += quote(tavrel_bin());
        for (const std::string& arg : programs[i].args) command += " " + quote(arg);
    }
    command += " 2>" + quote(errors) + ")";
    const ProgramResult result = run_command(command);
    const std::string text = read_file(errors);
    for (const char* sign : {"Sanitizer", "runtime error", "Assertion failed", "MPI_Abort"}) {
        if (end == GroupEnd::may_fail_to_start) break;
        if (end == GroupEnd::aborted && std::string(sign) == "MPI_Abort") continue;
        EXPECT_EQ(text.find(sign), std::string::npos) << text;
    }
    std::filesystem::remove(errors);
    return result;
}

ProgramResult mpiexec(const std::string& dir, int count, const std::vector<std::string>& args) {
    return mpiexec(dir, {{count, args}});
}

std::vector<std::string> with(std::vector<std::string> args, const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

std::vector<std::string> messages_only(const std::vector<std::string>& lines) {
    std::vector<std::string> kept;
    for (const std::string& line : lines) {
        if (!is_progress_line(line) && !line.empty()) kept.push_back(line);
    }
    return kept;
}

int count_of(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

std::vector<std::string> sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

const char kFive[] =
    "5 12\n"
    "ape   ACGTACGTACGT\n"
    "bat   ACGTACGTACGA\n"
    "cat   TTGTACGAACGT\n"
    "dog   TTGTACGAACGA\n"
    "eel   GGCCTTAAGGCC\n";

const char kEight[] =
    "8 10\n"
    "s0 ACGTACGTAC\ns1 ACGTACGTAA\ns2 ACGAACGTCC\ns3 TCGAACGTCC\n"
    "s4 GGTTCCAAGG\ns5 GGTTCCAAGA\ns6 GGTACCTAGG\ns7 CGTTCCAAGG\n";

}  // namespace

TEST(MpiRun, EveryGroupSizeAppendsOneLineWithEveryTaxonOnce) {
    TempDir dir;
    const std::string five = dir.write("five.txt", kFive);
    const std::string three = dir.write("three.txt", "3 4 a ACGT b ACGA c TTGT");
    const std::string none = dir.write("none.txt", "0 0\n");
    struct Case {
        int processes;
        std::string input;
        std::vector<std::string> names;
        std::vector<std::string> tuning;
    };
    const Case cases[] = {
        {1, five, {"ape", "bat", "cat", "dog", "eel"}, {}},
        {2, five, {"ape", "bat", "cat", "dog", "eel"}, {}},
        {3, five, {"ape", "bat", "cat", "dog", "eel"}, {}},
        // More processes than taxa: those without an input still take part.
        {4, three, {"a", "b", "c"}, {"-epochs", "4"}},
        // No taxa: only the two counts travel; the line is ";" alone.
        {2, none, {}, {}},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE("-n " + std::to_string(c.processes) + " on " + c.input);
        const std::string out = dir.path("out" + std::to_string(index++) + ".tre");
        const ProgramResult result = mpiexec(
            dir.path(""), c.processes,
            with({"-mpi", "-nogui", "-input_path", c.input, "-output_path", out}, c.tuning));
        ASSERT_NE(result.exit_code, kTimedOut) << "the group hung";
        EXPECT_EQ(result.exit_code, 0);
        const std::vector<std::string> lines = lines_of(read_file(out));
        ASSERT_EQ(lines.size(), 1u);
        ASSERT_FALSE(lines[0].empty());
        EXPECT_EQ(lines[0].back(), ';');
        EXPECT_EQ(sorted(newick_names(lines[0])), c.names) << lines[0];
        // Every process ran the recursion on all taxa.
        EXPECT_EQ(count_of(result.out, "Num_seqs: " + std::to_string(c.names.size())), c.processes);
        EXPECT_EQ(messages_only(result.out), std::vector<std::string>{});
    }
}

TEST(MpiRun, SameFileAndSettingsGiveTheSameLineForTheSameGroupSize) {
    TempDir dir;
    const std::string input = dir.write("eight.txt", kEight);
    for (int processes : {2, 3}) {
        SCOPED_TRACE("-n " + std::to_string(processes));
        const std::string out = dir.path("out" + std::to_string(processes) + ".tre");
        const std::vector<std::string> args = {"-mpi",         "-nogui", "-input_path", input,
                                               "-output_path", out,      "-epochs",     "20"};
        for (int run = 0; run < 3; ++run) {
            const ProgramResult result = mpiexec(dir.path(""), processes, args);
            ASSERT_NE(result.exit_code, kTimedOut) << "the group hung";
            ASSERT_EQ(result.exit_code, 0);
        }
        const std::vector<std::string> lines = lines_of(read_file(out));
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ(lines[1], lines[0]);
        EXPECT_EQ(lines[2], lines[0]);
        EXPECT_EQ(newick_names(lines[0]).size(), 8u) << lines[0];
    }
}

TEST(MpiRun, IdenticalTaxaReachTheFarthestPairSplitOnEveryProcess) {
    TempDir dir;
    const std::string input = dir.write("same.txt", "4 3 a ACG b ACG c ACG d ACG");
    for (int processes : {2, 3}) {
        SCOPED_TRACE("-n " + std::to_string(processes));
        const std::string out = dir.path("out" + std::to_string(processes) + ".tre");
        const ProgramResult result =
            mpiexec(dir.path(""), processes,
                    {"-mpi", "-nogui", "-input_path", input, "-output_path", out,
                     "-conscience_learning_rate", "0", "-epochs", "1"});
        ASSERT_NE(result.exit_code, kTimedOut) << "the group hung";
        EXPECT_EQ(result.exit_code, 0);
        // The split by the farthest pair goes by the group's order, the
        // same on every process and in batch.
        EXPECT_EQ(read_file(out), "(((a,b),c),d);\n");
        const std::string four =
            "Warning: no split found for 4 taxa; splitting by the farthest pair";
        const std::string three =
            "Warning: no split found for 3 taxa; splitting by the farthest pair";
        EXPECT_EQ(count_of(result.out, four), processes);
        EXPECT_EQ(count_of(result.out, three), processes);
    }
}

TEST(MpiRun, ErrorsOfProcessZeroEndEveryProcessWithItsExitCode) {
    TempDir dir;
    const std::string in = dir.write("in.txt", kFive);
    const std::string out = dir.path("out.tre");
    const std::string missing = dir.path("missing.txt");
    const std::string bad_dir = dir.path("none/out.tre");
    const std::string bad_letter = dir.write("bad.txt", "2 3 a ACG b ACX");
    const std::string truncated = dir.write("short.txt", "3 3 a ACG b ACG");
    // More taxa than pair codes can carry.
    std::ostringstream many;
    const int too_many = AnalysisModule::kMaxMpiTaxa + 1;
    many << too_many << " 1\n";
    for (int i = 0; i < too_many; ++i) many << "t" << i << " A\n";
    const std::string large = dir.write("large.txt", many.str());
    const std::string folder = dir.path("folder");
    std::filesystem::create_directory(folder);
    const std::string nul_count = dir.write("nul.txt", std::string("2\0x 1\na A\nb C\n", 14));

    struct Case {
        std::vector<std::string> args;  // after -mpi
        std::vector<std::string> lines;
        int exit_code;
    };
    const Case cases[] = {
        {{"-nogui"},
         {"Syntax Error: nogui argument requires input_path argument",
          "Syntax Error: nogui argument requires output_path argument"},
         2},
        {{"-nogui", "-output_path", out},
         {"Syntax Error: nogui argument requires input_path argument"},
         2},
        {{"-nogui", "-input_path", missing, "-output_path", out},
         {"Error: Input file " + missing + " not found"},
         1},
        {{"-nogui", "-input_path", in, "-output_path", bad_dir},
         {"Error: Output file " + bad_dir + " could not be created"},
         1},
        {{"-nogui", "-input_path", bad_letter, "-output_path", out}, {"UNKNOWN BASE: X"}, 1},
        {{"-nogui", "-input_path", truncated, "-output_path", out},
         {"Error: File ends after 2 of 3 taxa"},
         1},
        // Every process refuses the same setting; only process 0 says so.
        {{"-nogui", "-input_path", in, "-output_path", out, "-epochs", "0"},
         {"Error: epochs must be at least 1, not 0"},
         1},
        {{"-nogui", "-input_path", in, "-output_path", out, "-distance_metric", "jc"},
         {"Unknown distance metric (model)"},
         1},
        {{"-nogui", "-input_path", in, "-output_path", out, "-epochs"},
         {"Syntax Error: -epochs requires a value"},
         2},
        // Process 0 cannot show its window: the others end with it.
        {{"-input_path", in, "-output_path", out, "-display", ":4242"},
         {"Error: cannot open the display :4242; run with -nogui for batch mode"},
         1},
        {{"-nogui", "-input_path", large, "-output_path", out},
         {"Error: An MPI run takes at most 92677 taxa, not 92678"},
         1},
        // Read errors end the group like any other bad input.
        {{"-nogui", "-input_path", folder, "-output_path", out},
         {"Error: Input file " + folder + " could not be read: Is a directory"},
         1},
        {{"-nogui", "-input_path", "/proc/self/mem", "-output_path", out},
         {"Error: Input file /proc/self/mem could not be read: Input/output error"},
         1},
        {{"-nogui", "-input_path", nul_count, "-output_path", out},
         {"Error: Sequence count is not a whole number: 2\\x00x"},
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines.front());
        std::filesystem::remove(out);
        const ProgramResult result = mpiexec(dir.path(""), 3, with({"-mpi"}, c.args));
        ASSERT_NE(result.exit_code, kTimedOut) << "the group hung";
        EXPECT_EQ(result.exit_code, c.exit_code);
        EXPECT_EQ(messages_only(result.out), c.lines);
        EXPECT_EQ(read_file(out), "") << "no tree line";
    }
}

// A process that runs out of memory after process 0 has shared the input
// (the others wait for it in a collective) ends the whole group: its line,
// exit code 1, nothing appended, no process left waiting.
TEST(MpiRun, ProcessWithoutMemoryEndsTheGroup) {
    if (built_with_sanitizer()) GTEST_SKIP() << kNoAddressSpaceLimitWithSanitizers;
    constexpr int kTaxa = 100;
    constexpr int kLength = 200000;
    TempDir dir;
    const std::string tiny = dir.write("tiny.txt", kFive);
    const std::string out = dir.write("out.tre", "(old,tree);\n");
    // The address space in KiB in which process 1 takes part in a run at
    // all (MPI, its libraries, a tiny input).
    const long least =
        static_cast<long>(least_that_works(64 << 10, 4 << 20, 8 << 10, [&](long long kib) {
            const std::vector<Processes> group = {
                {1, {"-mpi", "-nogui", "-input_path", tiny, "-output_path", dir.path("tiny.tre")}},
                {1, {"-mpi", "-nogui"}, static_cast<long>(kib)}};
            return mpiexec(dir.path(""), group, GroupEnd::may_fail_to_start).exit_code == 0;
        }));
    ASSERT_NE(least, 0) << "process 1 does not run in 4 GiB";

    const std::string in = dir.write("in.txt", repeated_sequence_file(kTaxa, kLength));
    // Half a byte per input position beyond that: the letters alone take
    // one, so process 1 cannot even receive the input.
    const std::vector<Processes> group = {
        {1, {"-mpi", "-nogui", "-input_path", in, "-output_path", out}},
        {1, {"-mpi", "-nogui"}, least + static_cast<long>(kTaxa) * kLength / 2 / 1024}};
    const ProgramResult result = mpiexec(dir.path(""), group, GroupEnd::aborted);
    ASSERT_NE(result.exit_code, kTimedOut) << "the group hung";
    EXPECT_EQ(result.exit_code, 1);
    // mpiexec ends process 0 once process 1 has ended; on a busy machine it
    // may end it by a signal and say so in a banner of its own, whose
    // lines all begin with "=".
    std::vector<std::string> said = messages_only(result.out);
    said.erase(std::remove_if(said.begin(), said.end(),
                              [](const std::string& line) { return line[0] == '='; }),
               said.end());
    EXPECT_EQ(said,
              std::vector<std::string>{"Error: not enough memory to read 100 x 200000 positions"});
    EXPECT_EQ(read_file(out), "(old,tree);\n");
}

// The processes of a group end with mpiexec's proxy, their parent, even
// when it is killed before it has ended them: mpiexec does so when its
// deadline for an aborting group passes too soon, and a process left
// waiting in a collective would keep mpiexec waiting for ever. Here process
// 0 waits for its input (a FIFO without a writer) and process 1 for process
// 0's broadcast when the proxy goes.
TEST(MpiRun, ProcessesEndWithTheirProcessManager) {
    constexpr int kProcesses = 2;
    TempDir dir;
    const std::string fifo = dir.path("in.fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    BoundedRun run;
    run.args = {TAVREL_MPIEXEC,     "-n",   std::to_string(kProcesses),
                tavrel_bin(),       "-mpi", "-nogui",
                "-input_path",      fifo,   "-output_path",
                dir.path("out.tre")};
    run.dir = dir.path("");
    // Watched through descriptors of their own: once a process is gone its
    // pid may be another's.
    std::vector<ProcessWatch> ranks;
    run.while_running = [&](pid_t mpiexec) {
        std::vector<pid_t> proxies;
        std::vector<pid_t> started;
        ASSERT_TRUE(poll_until(
            [&] {
                proxies = children_named(mpiexec, "hydra_pmi_proxy");
                if (proxies.size() == 1) started = children_named(proxies[0], "tavrel");
                // Process 0 waits for a writer of its input only once MPI has
                // started on every process.
                return static_cast<int>(started.size()) == kProcesses &&
                       std::any_of(started.begin(), started.end(), [](pid_t pid) {
                           return read_file("/proc/" + std::to_string(pid) + "/wchan") ==
                                  "wait_for_partner";
                       });
            },
            run.bound_msecs))
            << "the group did not start";
        for (const pid_t pid : started) ranks.emplace_back(pid);
        ASSERT_EQ(::kill(proxies[0], SIGKILL), 0);
    };
    const BoundedResult result = run_bounded(run);
    EXPECT_FALSE(result.timed_out) << "mpiexec waited for ever:\n" << result.hang_report;
    for (ProcessWatch& rank : ranks) {
        EXPECT_TRUE(rank.ended()) << "process " << rank.pid() << " lived on";
        rank.end();
    }
    EXPECT_EQ(read_file(dir.path("out.tre")), "");
}

// MPI learns the machine's layout without looking for X servers: a
// batch run connects to none (an X server that failed such a connection
// would end a process in MPI_Init). Every connection the group tries is
// seen, whether or not a server listens.
TEST(MpiRun, ABatchGroupTriesNoXServer) {
    TempDir dir;
    const std::string in = dir.write("in.txt", kFive);
    const std::string trace = dir.path("connects.txt");
    const ProgramResult result =
        run_command("cd " + quote(dir.path("")) + " && strace -f -qq -e trace=connect -o " +
                    quote(trace) + " " + quote(TAVREL_MPIEXEC) + " -n 2 " + quote(tavrel_bin()) +
                    " -mpi -nogui -input_path in.txt -output_path out.tre");
    ASSERT_EQ(result.exit_code, 0);
    const std::vector<std::string> connects = lines_of(read_file(trace));
    ASSERT_FALSE(connects.empty()) << "strace saw no connection at all";
    for (const std::string& line : connects) {
        EXPECT_EQ(line.find("X11-unix"), std::string::npos) << line;
    }
}

TEST(MpiRun, RefusalOnAnotherProcessEndsTheGroup) {
    TempDir dir;
    const std::string in = dir.write("in.txt", kFive);
    const std::string out = dir.path("out.tre");
    const std::string missing = dir.path("missing.txt");
    const std::vector<std::string> good = {"-mpi", "-nogui",       "-input_path",
                                           in,     "-output_path", out};
    struct Case {
        std::vector<std::string> process_zero;
        std::vector<std::string> other;  // the tuning options of process 1
        std::vector<std::string> lines;
        int exit_code;
    };
    const Case cases[] = {
        {good, {"-epochs", "0"}, {"Error: epochs must be at least 1, not 0"}, 1},
        {good, {"-distance_metric", "x"}, {"Unknown distance metric (model)"}, 1},
        {good, {"-epochs"}, {"Syntax Error: -epochs requires a value"}, 2},
        // Accepted, but the epochs of every process must match: process 0 says so.
        {good,
         {"-epochs", "5"},
         {"Error: epochs must be the same on every MPI process, not from 5 to 100"},
         1},
        // So must every other setting: a split must not depend on which
        // process classifies which taxa.
        {good,
         {"-distance_metric", "JC"},
         {"Error: distance_metric must be the same on every MPI process, not from Euclidian to "
          "JC"},
         1},
        {good,
         {"-kohonen_learning_rate", "0.04000001"},
         {"Error: kohonen_learning_rate must be the same on every MPI process"},
         1},
        {good,
         {"-conscience_learning_rate", "0.002"},
         {"Error: conscience_learning_rate must be the same on every MPI process"},
         1},
        {good,
         {"-convergence_threshold", "0.3"},
         {"Error: convergence_threshold must be the same on every MPI process"},
         1},
        // Process 0 ends first on its own error: only its line.
        {{"-mpi", "-nogui", "-input_path", missing, "-output_path", out},
         {"-epochs", "0"},
         {"Error: Input file " + missing + " not found"},
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines.front());
        std::filesystem::remove(out);
        const ProgramResult result =
            mpiexec(dir.path(""), {{1, c.process_zero}, {1, with({"-mpi", "-nogui"}, c.other)}});
        ASSERT_NE(result.exit_code, kTimedOut) << "the group hung";
        EXPECT_EQ(result.exit_code, c.exit_code);
        EXPECT_EQ(messages_only(result.out), c.lines);
        EXPECT_EQ(read_file(out), "") << "no tree line";
    }
}

namespace {

struct LogLine {
    std::string name;
    int rank;
    double start;
    double end;
    long long bytes;
};

std::vector<LogLine> parse_log(const std::vector<std::string>& lines) {
    std::vector<LogLine> calls;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::istringstream in(lines[i]);
        LogLine call{};
        in >> call.name >> call.rank >> call.start >> call.end >> call.bytes;
        EXPECT_TRUE(in && (in >> std::ws).eof()) << "line " << i << ": " << lines[i];
        calls.push_back(call);
    }
    return calls;
}

int calls_named(const std::vector<LogLine>& calls, const std::string& name) {
    return static_cast<int>(std::count_if(calls.begin(), calls.end(),
                                          [&](const LogLine& c) { return c.name == name; }));
}

// A run of two processes in which no attempt converges, and none splits
// without conscience unless its taxa differ.
ProgramResult run_without_conscience(const TempDir& dir, const std::string& input,
                                     const std::string& out) {
    const ProgramResult result =
        mpiexec(dir.path(""), 2,
                {"-mpi", "-nogui", "-input_path", input, "-output_path", out,
                 "-conscience_learning_rate", "0", "-epochs", "1", "-convergence_threshold", "0"});
    EXPECT_NE(result.exit_code, kTimedOut) << "the group hung";
    EXPECT_EQ(result.exit_code, 0);
    return result;
}

// The calls of one process's log, checked for their form and order.
std::vector<LogLine> read_log(const std::string& dir, int rank, int size) {
    const std::string file = dir + "/tavrel-mpi-" + std::to_string(rank) + ".log";
    EXPECT_TRUE(file_exists(file)) << file;
    EXPECT_FALSE(file_exists(file + ".part")) << "the growing file is renamed";
    const std::vector<std::string> lines = lines_of(read_file(file));
    if (lines.empty()) return {};
    EXPECT_EQ(lines[0].rfind("# tavrel MPI call log, rank " + std::to_string(rank) + " of " +
                                 std::to_string(size),
                             0),
              0u)
        << lines[0];
    const std::vector<LogLine> calls = parse_log(lines);
    double last_start = 0.0;
    for (const LogLine& call : calls) {
        EXPECT_EQ(call.rank, rank) << call.name;
        EXPECT_LE(call.start, call.end) << call.name;
        EXPECT_LE(last_start, call.start) << call.name;
        last_start = call.start;
    }
    if (!calls.empty()) {
        EXPECT_EQ(calls.front().name, "MPI_Init");
        EXPECT_EQ(calls.back().name, "MPI_Finalize");
    }
    return calls;
}

std::vector<long long> bytes_of(const std::vector<LogLine>& calls, const std::string& name) {
    std::vector<long long> bytes;
    for (const LogLine& call : calls) {
        if (call.name == name) bytes.push_back(call.bytes);
    }
    return bytes;
}

}  // namespace

TEST(MpiCallLog, EveryProcessLogsItsCallsAndAnOlderLogIsReplaced) {
    TempDir dir;
    // A group too small to share its epochs: process 0 trains it alone, as
    // the group would, and tells the other its split.
    const std::string input = dir.write("same.txt", "3 3 a ACG bb ACG c ACG");
    const std::string out = dir.path("out.tre");
    dir.write("tavrel-mpi-0.log", "an older log\n");
    if (run_without_conscience(dir, input, out).exit_code != 0) return;
    for (int rank = 0; rank < 2; ++rank) {
        SCOPED_TRACE("rank " + std::to_string(rank));
        const std::vector<LogLine> calls = read_log(dir.path(""), rank, 2);
        // The processes of this machine, found once.
        EXPECT_EQ(calls_named(calls, "MPI_Comm_split_type"), 1);
        EXPECT_EQ(calls_named(calls, "MPI_Comm_free"), 1);
        // The four broadcasts of the input: the two counts, the name
        // lengths, the names and sequences packed. The first, for which the
        // other processes may wait long, is begun and then waited for:
        // process 0 at once, the others by tests between sleeps.
        EXPECT_EQ(bytes_of(calls, "MPI_Ibcast"), (std::vector<long long>{4}));
        EXPECT_GT(calls_named(calls, rank == 0 ? "MPI_Wait" : "MPI_Test"), 0);
        EXPECT_EQ(bytes_of(calls, "MPI_Bcast"), (std::vector<long long>{4, 3 * 4, 4 + 3 * 3}));
        // One agreement on the settings (the refusal, the front end, then
        // the epochs and the model as two words each, and each of the three
        // rates as four), and one int at the end, before the tree is
        // written; no exchange in any epoch; the split goes out in two
        // gathers: the sizes (an int per process), then two side sizes,
        // three ids, the failed attempts and the fallback flag.
        EXPECT_EQ(bytes_of(calls, "MPI_Allreduce"), (std::vector<long long>{18 * 4, 4}));
        EXPECT_EQ(bytes_of(calls, "MPI_Allgatherv"), (std::vector<long long>{2 * 4, 7 * 4}));
    }
    EXPECT_FALSE(file_exists(dir.path("tavrel-mpi-2.log")));
}

TEST(MpiCallLog, SharedEpochsExchangeMembersAndNeuronPartsOncePerEpoch) {
    TempDir dir;
    // Large enough to share: 128 equal taxa of 2048 positions. Without
    // conscience every epoch sends all inputs to one neuron, so all eight
    // attempts fail; each goes on from the one before, 128 epochs in all.
    const int taxa = 128;
    std::string file = std::to_string(taxa) + " 2048\n";
    const std::string letters =
        lines_of(simulated_file(1, 2048, 5))[1].substr(std::string("taxon_0 ").size());
    for (int i = 0; i < taxa; ++i) file += "t" + std::to_string(i) + " " + letters + "\n";
    const std::string input = dir.write("big.txt", file);
    const std::string out = dir.path("out.tre");
    if (run_without_conscience(dir, input, out).exit_code != 0) return;
    EXPECT_EQ(lines_of(read_file(out)).size(), 1u);
    const int epochs = 1 << (AnalysisModule::kMaxAttempts - 1);
    // A code per input and a flag per process.
    const long long members = (taxa + 2) * 4;
    for (int rank = 0; rank < 2; ++rank) {
        SCOPED_TRACE("rank " + std::to_string(rank));
        const std::vector<LogLine> calls = read_log(dir.path(""), rank, 2);
        // Each exchange of the members is followed by the exchange of each
        // process's part of both neurons, three coordinates each. (The
        // splits that go out after a level may happen to be as long.)
        int member_exchanges = 0;
        for (std::size_t i = 0; i + 1 < calls.size(); ++i) {
            if (calls[i].name == "MPI_Allgatherv" && calls[i].bytes == members &&
                calls[i + 1].name == "MPI_Allgatherv" && calls[i + 1].bytes % (2 * 3 * 8) == 0) {
                ++member_exchanges;
            }
        }
        EXPECT_EQ(member_exchanges, epochs);
    }
}

TEST(MpiCallLog, UnwritableLogIsAWarningAndBatchRunsWriteNone) {
    const std::string input_text = "3 3 a ACG bb ACG c ACG";
    // A log that cannot be written is a warning; the run still counts, and
    // no growing file is left behind.
    TempDir blocked;
    const std::string input = blocked.write("same.txt", input_text);
    std::filesystem::create_directory(blocked.path("tavrel-mpi-0.log"));
    const std::string blocked_out = blocked.path("out.tre");
    const ProgramResult warned = mpiexec(
        blocked.path(""), 2, {"-mpi", "-nogui", "-input_path", input, "-output_path", blocked_out});
    ASSERT_NE(warned.exit_code, kTimedOut) << "the group hung";
    EXPECT_EQ(warned.exit_code, 0);
    EXPECT_EQ(count_of(warned.out, "Warning: MPI call log tavrel-mpi-0.log could not be written"),
              1);
    EXPECT_EQ(lines_of(read_file(blocked_out)).size(), 1u);
    EXPECT_TRUE(file_exists(blocked.path("tavrel-mpi-1.log")));
    EXPECT_FALSE(file_exists(blocked.path("tavrel-mpi-0.log.part")));

    // A run without MPI writes no log.
    TempDir batch_dir;
    const ProgramResult batch = run_command(
        "cd " + quote(batch_dir.path("")) + " && " + quote(tavrel_bin()) + " -nogui -input_path " +
        quote(input) + " -output_path " + quote(batch_dir.path("out.tre")));
    EXPECT_EQ(batch.exit_code, 0);
    EXPECT_TRUE(file_exists(batch_dir.path("out.tre")));
    EXPECT_FALSE(file_exists(batch_dir.path("tavrel-mpi-0.log")));
}

TEST(MpiRun, FastAndStraightforwardFormsWriteTheProgramsLineUnderMpiexec) {
    TempDir dir;
    const std::string input = dir.write("sim.txt", simulated_file(40, 300, 12));
    const std::string program = dir.path("program.tre");
    const ProgramResult ran =
        mpiexec(dir.path(""), 3, {"-mpi", "-nogui", "-input_path", input, "-output_path", program});
    ASSERT_NE(ran.exit_code, kTimedOut) << "the group hung";
    ASSERT_EQ(ran.exit_code, 0);
    const std::vector<std::string> line = lines_of(read_file(program));
    ASSERT_EQ(line.size(), 1u);

    const std::string errors = dir.path("probe-stderr.txt");
    const ProgramResult probed =
        run_command("(cd " + quote(dir.path("")) + " && timeout -k 5 300 " + quote(TAVREL_MPIEXEC) +
                    " -n 3 " + quote(TAVREL_MPI_PATHS_PROBE) + " " + quote(input) + " " +
                    quote(dir.path("probe")) + " 2>" + quote(errors) + ")");
    ASSERT_EQ(probed.exit_code, 0) << read_file(errors);
    for (const char* form : {"fast", "fast-shared", "straightforward", "straightforward-shared"}) {
        EXPECT_EQ(lines_of(read_file(dir.path(std::string("probe-") + form + ".tre"))), line)
            << form;
    }
}
