// The program run on hostile input files, tree files, pipes and full disks,
// as a user runs it: the rule under test is that a run appends one whole
// line or, with a message and exit code 1, nothing at all.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "testsupport.h"

namespace {

using namespace std::string_literals;

const char kOldTree[] = "(old,tree);\n";
const char kPair[] = "2 4\na ACGT\nb TTGA\n";
// Every run leaves the command's exit code on the last line of its output.
const char kExitMark[] = "exit=";
// A run that hangs is ended by timeout and shows as this exit code.
constexpr int kTimedOut = 124;

std::string program() {
    return shell_quote(tavrel_bin());
}

std::string batch_args(const std::string& input, const std::string& output) {
    return " -nogui -input_path " + shell_quote(input) + " -output_path " + shell_quote(output);
}

// A sequence file whose tree line is long: 40 taxa with 95-character names.
std::string long_names_file() {
    std::string file = "40 4\n";
    const char* sequences[] = {"ACGT", "ACGA", "TTGT", "TTGA", "GGCA"};
    for (int i = 0; i < 40; ++i) {
        const std::string number = std::to_string(100 + i);
        file += "t" + number + std::string(91, 'n') + " " + sequences[i % 5] + "\n";
    }
    return file;
}

// What as_unprivileged_user gives when nobody cannot run the program.
const char kCannotRun[] = "(nobody cannot run the program)";

// The start of a command line that runs the program as a user whom file
// permissions bind: root reads and writes every file, so root's runs are
// made as nobody, who may enter the folder `dir` then. Gives kCannotRun
// when nobody cannot run the program; false when the folder cannot be
// opened to nobody.
bool as_unprivileged_user(const TempDir& dir, std::string* prefix) {
    prefix->clear();
    if (geteuid() != 0) return true;
    *prefix = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    if (chmod(dir.path("").c_str(), 0777) != 0) return false;
    if (run_command(*prefix + "test -x " + program()).exit_code != 0) *prefix = kCannotRun;
    return true;
}

}  // namespace

// Each case: the sequence file, what the run says, its exit code, and the
// tree file before and after.
TEST(HostileRun, BadInputAppendsNothingAndSaysWhy) {
    TempDir dir;
    const std::string folder = dir.path("folder");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    const std::string in = dir.write("in.txt", kPair);
    const std::string endless_name = "1 1 " + std::string(5 * 1000 * 1000, 'x') + " A\n";
    struct Case {
        std::string input;  // a path, or the file's text when `write` is set
        bool write;
        std::vector<std::string> lines;
        int exit_code;
    };
    // clang-format off
    const Case cases[] = {
        // A folder, or a file whose reads fail, is not an empty file.
        {folder, false, {"Error: Input file " + folder + " could not be read: Is a directory"}, 1},
        {"/proc/self/mem", false,
         {"Error: Input file /proc/self/mem could not be read: Input/output error"}, 1},
        {dir.path("missing.txt"), false, {"Error: Input file " + dir.path("missing.txt") +
                                          " not found"}, 1},
        {in + "/x", false, {"Error: Input file " + in + "/x not found"}, 1},
        {"2\0x 1\na A\nb C\n"s, true, {"Error: Sequence count is not a whole number: 2\\x00x"}, 1},
        {"2 1\n\0x A\nb C\n"s, true,
         {"Error: Name of taxon 1 holds a control character: \\x00x"}, 1},
        {"2 1\na\0x A\na\0y C\n"s, true,
         {"Error: Name of taxon 1 holds a control character: a\\x00x"}, 1},
        {"2 0\na\nb\n", true,
         {"Error: Sequence length is 0; every sequence needs at least one position"}, 1},
        {endless_name, true, {"Error: Name of taxon 1 is longer than 99 characters: " +
                              std::string(40, 'x') + "..."}, 1},
    };
    // clang-format on
    const std::string out = dir.path("out.tre");
    int index = 0;
    for (const Case& c : cases) {
        const std::string input =
            c.write ? dir.write("case" + std::to_string(index++) + ".txt", c.input) : c.input;
        SCOPED_TRACE(c.lines.front());
        dir.write("out.tre", kOldTree);
        const ProgramResult result =
            run_tavrel({"-nogui", "-input_path", input, "-output_path", out});
        EXPECT_EQ(result.exit_code, c.exit_code);
        EXPECT_EQ(without_progress(result.out), c.lines);
        EXPECT_EQ(read_file(out), kOldTree);
    }
}

TEST(HostileRun, TreeLinesStayWholeAndApart) {
    TempDir dir;
    const std::string out = dir.path("out.tre");
    struct Case {
        std::string input;
        std::string tree_before;
        std::string tree_after;
        std::vector<std::string> lines;
    };
    const std::string repeated = "Warning: taxon name a appears more than once (taxa 1 and 2)";
    const Case cases[] = {
        {kPair, "", "(a,b);\n", {}},
        {kPair, kOldTree, kOldTree + "(a,b);\n"s, {}},
        // A last line without its newline gets one, not the new tree glued on.
        {kPair, "((x,y)", "((x,y)\n(a,b);\n", {}},
        {kPair, "\n", "\n(a,b);\n", {}},
        // The smallest files: the newline goes first whatever their size.
        {kPair, "x", "x\n(a,b);\n", {}},
        {kPair, "xy", "xy\n(a,b);\n", {}},
        {kPair, "x\n", "x\n(a,b);\n", {}},
        {kPair, "\n\n", "\n\n(a,b);\n", {}},
        {kPair, "\nx", "\nx\n(a,b);\n", {}},
        // Two taxa of one name: the run goes on, with a warning.
        {"2 4 a ACGT a TTGA", kOldTree, kOldTree + "(a,a);\n"s, {repeated}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tree_after);
        const std::string in = dir.write("in.txt", c.input);
        dir.write("out.tre", c.tree_before);
        const ProgramResult result = run_tavrel({"-nogui", "-input_path", in, "-output_path", out});
        EXPECT_EQ(result.exit_code, 0);
        EXPECT_EQ(without_progress(result.out), c.lines);
        EXPECT_EQ(read_file(out), c.tree_after);
    }
}

// Pipes and FIFOs are opened once, when the run reads or writes them: a
// check that opened them would take the input away or end the reader.
TEST(HostileRun, PipesAndFifosAreOpenedOnce) {
    TempDir dir;
    const std::string in = dir.write("in.txt", kPair);
    const std::string out = dir.path("out.tre");
    const std::string fifo = dir.path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string run = "timeout -k 5 300 " + program();
    struct Case {
        std::string what;
        std::string command;  // its standard output, less progress lines
        std::vector<std::string> lines;
    };
    // clang-format off
    const Case cases[] = {
        {"input FIFO with a writer",
         "(cat " + shell_quote(in) + " > " + shell_quote(fifo) + " &) ; " + run +
             batch_args(fifo, out), {}},
        {"input from a pipe as /dev/stdin",
         "cat " + shell_quote(in) + " | " + run + batch_args("/dev/stdin", out), {}},
        {"output to a pipe as /dev/stdout",
         run + batch_args(in, "/dev/stdout") + " | grep -v Num_seqs", {"(a,b);"}},
        {"output FIFO with a reader",
         "timeout 300 cat " + shell_quote(fifo) + " > " + shell_quote(out) + " & reader=$! ; " + run +
             batch_args(in, fifo) + " ; status=$? ; wait $reader ; exit $status", {}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Races show only now and then: every case runs several times.
        for (int attempt = 0; attempt < 8; ++attempt) {
            std::remove(out.c_str());
            const ProgramResult result = run_command(c.command);
            ASSERT_NE(result.exit_code, kTimedOut) << "the run hung";
            EXPECT_EQ(result.exit_code, 0);
            EXPECT_EQ(without_progress(result.out), c.lines);
            if (c.lines.empty()) {
                EXPECT_EQ(read_file(out), "(a,b);\n");
            }
        }
    }
}

// A write that fails or falls short leaves the tree file as it was.
TEST(HostileRun, FailedWriteLeavesTheTreeFileAsItWas) {
    TempDir dir;
    const std::string in = dir.write("in.txt", long_names_file());
    const std::string out = dir.path("out.tre");
    // 1,000 bytes under the limit below, which the line does not fit in.
    // The limit is that high because MPICH's start-up under ThreadSanitizer
    // maps files of its own that a smaller one breaks.
    const std::size_t limit = 4096 * 1024;
    const std::string before = std::string(limit - 1001, 'y') + "\n";

    const ProgramResult free_run = run_tavrel({"-nogui", "-input_path", in, "-output_path", out});
    ASSERT_EQ(free_run.exit_code, 0);
    ASSERT_GT(read_file(out).size() + before.size(), limit) << "the line must cross the limit";

    struct Case {
        std::string what;
        std::string command;
        std::string output;
    };
    // clang-format off
    const Case cases[] = {
        // ulimit -f counts blocks of 1,024 bytes.
        {"file size limit, SIGXFSZ at its default",
         "ulimit -f 4096 ; exec " + program() + batch_args(in, out), out},
        {"file size limit, SIGXFSZ ignored",
         "ulimit -f 4096 ; trap '' XFSZ ; exec " + program() + batch_args(in, out), out},
        {"a device that is always full", program() + batch_args(in, "/dev/full"), "/dev/full"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.write("out.tre", before);
        const ProgramResult result = run_command("bash -c " + shell_quote(c.command));
        EXPECT_EQ(result.exit_code, 1);
        const std::string reason = c.output == out ? "File too large" : "No space left on device";
        EXPECT_EQ(without_progress(result.out),
                  std::vector<std::string>{"Error: Output file " + c.output +
                                           " could not be written: " + reason});
        EXPECT_EQ(read_file(out), before);
    }
}

// Standard output that cannot take the progress lines, because it is a
// file at the file size limit, a device that is always full, or a file
// whose writes fail, loses the lines, not the run: it appends its tree and
// ends with code 0, where SIGXFSZ used to end it at the limit.
TEST(HostileRun, ProgressThatCannotBeWrittenIsDroppedAndTheRunFinishes) {
    TempDir dir;
    const std::string in = dir.write("in.txt", kPair);
    const std::string out = dir.path("out.tre");
    const std::string progress = dir.path("progress.txt");
    // The limit is high for MPICH's start-up under ThreadSanitizer (see
    // above); standard output is a file already this close to it, and so
    // reaches it within its first line.
    const std::size_t limit = 4096 * 1024;
    const std::size_t room = 5;
    const std::string filled = std::string(limit - room - 1, 'p') + "\n";
    const bool can_trace = run_command("strace -o /dev/null true").exit_code == 0;
    struct Case {
        std::string what;
        std::string command;
        std::string progress_after;  // what standard output's file holds then
    };
    std::vector<Case> cases = {
        {"a file at the file size limit",
         "prlimit --fsize=" + std::to_string(limit) + " " + program() + batch_args(in, out) +
             " >> " + shell_quote(progress),
         filled + std::string("Num_seqs: 2\n").substr(0, room)},
        {"a device that is always full", program() + batch_args(in, out) + " > /dev/full", filled},
    };
    if (can_trace) {
        cases.push_back({"a file whose every write fails",
                         without_leak_check() + "strace -f -o /dev/null -P " +
                             shell_quote(progress) +
                             " -e trace=write,writev -e inject=write,writev:error=EIO " +
                             program() + batch_args(in, out) + " >> " + shell_quote(progress),
                         filled});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir.write("out.tre", kOldTree);
        dir.write("progress.txt", filled);
        const ProgramResult result = run_command(c.command);
        EXPECT_EQ(result.exit_code, 0);
        EXPECT_EQ(read_file(out), kOldTree + "(a,b);\n"s);
        EXPECT_TRUE(read_file(progress) == c.progress_after)
            << "standard output's file holds " << read_file(progress).size() << " bytes";
    }
    if (!can_trace) GTEST_SKIP() << "strace cannot trace here: the failing writes were not tried";
}

// With standard input, output or error closed (`tavrel >&-`), the program
// opens /dev/null in its place before anything else can take its number:
// the tree file never stands on a standard descriptor, where progress
// lines or a library's complaint would land in it, nor does a pipe of
// MPI's; the run goes on as usual. The run is caught, by a lock held on
// its tree file, while it has the file open.
TEST(HostileRun, ClosedStandardStreamsAreOpenedOnDevNull) {
    TempDir dir;
    const std::string in = dir.write("in.txt", kPair);
    const std::string out = dir.path("out.tre");
    struct Closing {
        const char* redirection;
        std::vector<int> closed;
    };
    const Closing closings[] = {
        {">&-", {1}}, {"<&-", {0}}, {"2>&-", {2}}, {"<&- >&- 2>&-", {0, 1, 2}}};
    for (const char* mode : {"", " -mpi"}) {
        for (const Closing& c : closings) {
            SCOPED_TRACE(std::string(mode) + " " + c.redirection);
            dir.write("out.tre", kOldTree);
            // In the folder: an MPI process writes its call log there.
            const std::string command = "cd " + shell_quote(dir.path("")) + " && exec " +
                                        without_leak_check() + program() + mode +
                                        batch_args(in, out) + " " + c.redirection;
            auto lock = std::make_unique<HeldLock>(out);
            std::atomic<bool> ended{false};
            ProgramResult result{-1, {}};
            std::thread run([&] {
                result = run_command("sh -c " + shell_quote(command));
                ended = true;
            });
            OpenForWriting writer;
            while (!ended && (writer = process_writing(out, lock->holder())).pid < 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            std::vector<std::string> standard;
            for (int fd = 0; fd <= 2 && writer.pid > 0; ++fd) {
                std::error_code gone;
                const std::string link =
                    "/proc/" + std::to_string(writer.pid) + "/fd/" + std::to_string(fd);
                standard.push_back(std::filesystem::read_symlink(link, gone).string());
            }
            lock.reset();
            run.join();
            EXPECT_EQ(result.exit_code, 0);
            EXPECT_EQ(without_progress(result.out), std::vector<std::string>());
            EXPECT_EQ(read_file(out), kOldTree + "(a,b);\n"s);
            ASSERT_GT(writer.pid, 0) << "the run never opened its tree file";
            EXPECT_GT(writer.fd, 2) << "the tree file is a standard descriptor";
            for (int fd : c.closed) EXPECT_EQ(standard[fd], "/dev/null") << "descriptor " << fd;
        }
    }
}

// When /dev/null cannot be opened for a closed standard stream, the
// program says so and makes no run; with none closed it needs none.
TEST(HostileRun, DevNullThatCannotBeOpenedForAClosedStreamEndsTheProgram) {
    if (run_command("strace -o /dev/null true").exit_code != 0) {
        GTEST_SKIP() << "strace cannot trace here";
    }
    TempDir dir;
    const std::string in = dir.write("in.txt", kPair);
    const std::string out = dir.path("out.tre");
    struct Case {
        const char* redirection;
        std::vector<std::string> lines;
        int exit_code;
        std::string tree_after;
    };
    const Case cases[] = {
        {"<&-",
         {"Error: /dev/null could not be opened for a closed standard stream: Permission denied"},
         1,
         kOldTree},
        {"", {}, 0, kOldTree + "(a,b);\n"s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.redirection);
        dir.write("out.tre", kOldTree);
        const ProgramResult result =
            run_command(without_leak_check() +
                        "strace -f -o /dev/null -P /dev/null -e trace=open,openat "
                        "-e inject=open,openat:error=EACCES " +
                        program() + batch_args(in, out) + " " + c.redirection);
        EXPECT_EQ(result.exit_code, c.exit_code);
        EXPECT_EQ(without_progress(result.out), c.lines);
        EXPECT_EQ(read_file(out), c.tree_after);
    }
}

// A real full file system: a tmpfs of 8 KB in a mount namespace of the
// test's own, so that nothing outside sees it.
TEST(HostileRun, FullFileSystemLeavesTheTreeFileAsItWas) {
    TempDir dir;
    const std::string in = dir.write("in.txt", long_names_file());
    const std::string mount_point = dir.path("small");
    ASSERT_EQ(mkdir(mount_point.c_str(), 0755), 0);
    const std::string out = mount_point + "/out.tre";
    const std::string mount =
        "mount -t tmpfs -o size=8k tmpfs " + shell_quote(mount_point) + " || exit 99";
    if (run_command("unshare -rm sh -c " + shell_quote(mount)).exit_code != 0) {
        GTEST_SKIP() << "no mount namespace here; the short write is tested with ulimit -f";
    }
    // 6,000 bytes fill two of the two pages; the line needs a third. What
    // the file holds afterwards is copied out before the namespace ends.
    const std::string script = mount + " ; head -c 6000 /dev/zero | tr '\\0' z > " +
                               shell_quote(out) + " ; " + program() + batch_args(in, out) +
                               " ; echo " + kExitMark + "$? ; cp " + shell_quote(out) + " " +
                               shell_quote(dir.path("after.tre"));
    const ProgramResult result = run_command("unshare -rm sh -c " + shell_quote(script));
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(without_progress(result.out),
              (std::vector<std::string>{
                  "Error: Output file " + out + " could not be written: No space left on device",
                  kExitMark + "1"s}));
    EXPECT_EQ(read_file(dir.path("after.tre")), std::string(6000, 'z'));
}

// A file that exists but may not be read is not "not found".
TEST(HostileRun, UnreadableInputGivesTheSystemsReason) {
    TempDir dir;
    const std::string in = dir.write("in.txt", kPair);
    const std::string out = dir.path("out.tre");
    ASSERT_EQ(chmod(in.c_str(), 0), 0);
    std::string as_user;
    ASSERT_TRUE(as_unprivileged_user(dir, &as_user));
    if (as_user == kCannotRun) GTEST_SKIP() << "nobody cannot run " << tavrel_bin();
    const ProgramResult result = run_command(as_user + program() + batch_args(in, out));
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(result.out, std::vector<std::string>{"Error: Input file " + in +
                                                   " could not be read: Permission denied"});
    EXPECT_FALSE(file_exists(out));
}

// An existing tree file that may not be written is refused before the run:
// its line at once, no progress, the file as it was. One that may be
// written but not read takes the line (it ends in a newline here).
TEST(HostileRun, TreeFileThatCannotBeWrittenIsRefusedBeforeTheRun) {
    TempDir dir;
    const std::string in = dir.write("in.txt", kPair);
    ASSERT_EQ(chmod(in.c_str(), 0644), 0);
    std::string as_user;
    ASSERT_TRUE(as_unprivileged_user(dir, &as_user));
    if (as_user == kCannotRun) GTEST_SKIP() << "nobody cannot run " << tavrel_bin();
    struct Case {
        mode_t mode;
        std::string tree_after;
        std::vector<std::string> lines;  // all of them, progress included
        int exit_code;
    };
    const std::string out = dir.path("out.tre");
    const std::string refused = "Error: Output file " + out + " could not be created";
    const Case cases[] = {
        {0444, kOldTree, {refused}, 1},
        {0400, kOldTree, {refused}, 1},
        {0222, kOldTree + "(a,b);\n"s, {"Num_seqs: 2"}, 0},
    };
    for (const Case& c : cases) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(c.mode));
        SCOPED_TRACE(mode);
        std::remove(out.c_str());
        dir.write("out.tre", kOldTree);
        ASSERT_EQ(chmod(out.c_str(), c.mode), 0);
        const ProgramResult result = run_command(as_user + program() + batch_args(in, out));
        EXPECT_EQ(result.exit_code, c.exit_code);
        EXPECT_EQ(result.out, c.lines);
        struct stat info;
        ASSERT_EQ(stat(out.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, c.mode);
        EXPECT_EQ(read_file(out), c.tree_after);
    }
}

// The reader's limits, through the program: the largest count and length
// are read as numbers (the file then ends early), one more is refused; a
// name of 99 bytes is taken, one of 100 refused; a bad token is shown whole
// up to 40 bytes, and cut after 40 with "..." beyond.
TEST(HostileRun, LimitsOfTheSequenceFile) {
    TempDir dir;
    const std::string n99(99, 'n');
    const std::string x40(40, 'x');
    const std::string a39(39, 'a');
    struct Case {
        std::string input;
        std::vector<std::string> lines;  // without the progress lines
        int exit_code;
        std::string appended;  // the line the run appends, if any
    };
    // clang-format off
    const Case cases[] = {
        {"2147483647 4\n", {"Error: File ends after 0 of 2147483647 taxa"}, 1, ""},
        {"2147483648 4\n",
         {"Error: Sequence count is too large: 2147483648 (the largest is 2147483647)"}, 1, ""},
        {"1 2147483647\na ACGT\n",
         {"Error: Sequence of taxon a has 4 characters, fewer than the sequence length "
          "2147483647"}, 1, ""},
        {"1 2147483648\na ACGT\n",
         {"Error: Sequence length is too large: 2147483648 (the largest is 2147483647)"}, 1, ""},
        // A count of 40 characters is read whole, leading zeros and all, and
        // zeros ahead of its digits take none of their room.
        {std::string(39, '0') + "2 4\na ACGT\nb TTGA\n", {}, 0, "(a,b);"},
        {std::string(40, '0') + "2 4\na ACGT\nb TTGA\n", {}, 0, "(a,b);"},
        {x40 + " 4\n", {"Error: Sequence count is not a whole number: " + x40}, 1, ""},
        {x40 + "x 4\n", {"Error: Sequence count is not a whole number: " + x40 + "..."}, 1, ""},
        {"2 4\n" + n99 + " ACGT\nb TTGA\n", {}, 0, "(" + n99 + ",b);"},
        {"2 4\n" + n99 + "n ACGT\nb TTGA\n",
         {"Error: Name of taxon 1 is longer than 99 characters: " + std::string(40, 'n') + "..."},
         1, ""},
        // A name that is not too long is cut for the message alone.
        {"1 4\n\x01" + a39 + " ACGT\n",
         {"Error: Name of taxon 1 holds a control character: \\x01" + a39}, 1, ""},
        {"1 4\n\x01" + a39 + "a ACGT\n",
         {"Error: Name of taxon 1 holds a control character: \\x01" + a39 + "..."}, 1, ""},
    };
    // clang-format on
    const std::string out = dir.path("out.tre");
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines.empty() ? c.appended : c.lines.front());
        const std::string in = dir.write("case" + std::to_string(index++) + ".txt", c.input);
        dir.write("out.tre", kOldTree);
        const ProgramResult result = run_tavrel({"-nogui", "-input_path", in, "-output_path", out});
        EXPECT_EQ(result.exit_code, c.exit_code);
        EXPECT_EQ(without_progress(result.out), c.lines);
        EXPECT_EQ(read_file(out), kOldTree + (c.appended.empty() ? "" : c.appended + "\n"));
    }
}
