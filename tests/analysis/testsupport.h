#pragma once

#include <sys/types.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "analysis/analysisfrontend.h"
#include "analysis/seqvector.h"
#include "tests/support/childprocess.h"

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    // Writes `contents` to `name` in the directory and gives its path.
    std::string write(const std::string& name, const std::string& contents) const;

private:
    std::string dir_;
};

std::string read_file(const std::string& path);
bool file_exists(const std::string& path);
std::vector<std::string> lines_of(const std::string& text);
// Whether `line` is the line of a step of a run's recursion, "Num_seqs: N".
bool is_step_line(const std::string& line);
// Whether `line` is one of a run's progress lines: a step's line, and the
// notes of a step that finds no split ("Error: Zero partition",
// "Warning: no split found for N taxa; ...").
bool is_progress_line(const std::string& line);
// The lines without a run's progress lines.
std::vector<std::string> without_progress(const std::vector<std::string>& lines);

struct ProgramResult {
    int exit_code;
    std::vector<std::string> out;  // standard output, one entry per line
};

// The path of the tavrel executable.
std::string tavrel_bin();

// Whether the tests and the program are built with a sanitizer: runs are
// many times slower then, and take more address space than any limit a
// test could set.
bool built_with_sanitizer();
// Why a test of an address space limit does not run in such a build.
extern const char kNoAddressSpaceLimitWithSanitizers[];
// The start of a shell command that runs a program without the leak check
// of such a build, which fails under ptrace (strace) and reports MPICH's
// own allocations at the end of an MPI process; "" in other builds.
std::string without_leak_check();

// What a program needs at least of a resource: the least amount from
// `from` up to `most` for which `works` holds, to within `resolution`
// (found in steps that double, then by halving the last step), or 0 when
// none does.
long long least_that_works(long long from, long long most, long long resolution,
                           const std::function<bool(long long)>& works);

// Runs the tavrel executable with `args`, each passed as one
// argument, standard output captured, standard error dropped.
ProgramResult run_tavrel(const std::vector<std::string>& args);

// A run of a program that must end within a bound.
struct BoundedRun {
    // The program and its arguments.
    std::vector<std::string> args;
    // NAME=value entries added to the environment.
    std::vector<std::string> environment;
    // The working directory; standard output and error go to files there.
    std::string dir;
    // The processors it may use (its affinity): `cores` of them from
    // `first_core` on, wrapping round at the machine's last; 0: all.
    int cores = 0;
    int first_core = 0;
    // How long it may take; then it is killed with all it started.
    int bound_msecs = 60000;
    // Called with the program's pid once it has started, before the wait:
    // what a test does to the running program (a signal to what it started).
    std::function<void(pid_t)> while_running;
};
struct BoundedResult {
    bool timed_out = false;
    // As waitpid gives it.
    int wait_status = 0;
    std::vector<std::string> out;
    std::string err;
    // For a run that timed out: its processes and threads as they stood
    // then (name, state, where the kernel had them wait), and the lines it
    // had written, to tell a hang from a run the machine starved.
    std::string hang_report;
};
// Runs the program directly (no shell) and waits for it, polling.
BoundedResult run_bounded(const BoundedRun& run);
// A process as /proc shows it.
struct ProcessInfo {
    pid_t pid;
    pid_t parent;
    pid_t group;
    // Its command name (comm).
    std::string name;
};
// The processes running now; one that goes meanwhile may be missing.
std::vector<ProcessInfo> running_processes();
// The fields of /proc/PID/stat after the command's name (which may hold
// blanks): the state first (field 3 of proc(5)), then the parent, the
// process group, ...; none when the process has gone.
std::vector<std::string> process_stat_fields(pid_t pid);

// The children of process `parent` whose command name is `name`.
std::vector<pid_t> children_named(pid_t parent, const std::string& name);

// Polls `condition` until it holds, at most `bound_msecs`; whether it held.
bool poll_until(const std::function<bool()>& condition, int bound_msecs);

// A process of another's that a test watches through a descriptor of its
// own (a pidfd), so that neither its end nor a kill can reach another
// process that takes its pid after it.
class ProcessWatch {
public:
    explicit ProcessWatch(pid_t pid);
    ~ProcessWatch();
    ProcessWatch(ProcessWatch&& other) noexcept;
    ProcessWatch(const ProcessWatch&) = delete;
    ProcessWatch& operator=(const ProcessWatch&) = delete;
    ProcessWatch& operator=(ProcessWatch&&) = delete;

    pid_t pid() const { return pid_; }
    // Whether the process has ended (at once: it does not wait).
    bool ended() const;
    // Ends it with SIGKILL, if it still runs.
    void end() const;

private:
    pid_t pid_;
    int fd_;
};

// How a wait status reads in a message: "exit code N" or "signal N".
std::string status_text(int wait_status);

// Runs task(i) for every i in [0, count) on `threads` threads at once.
void run_in_parallel(int count, int threads, const std::function<void(int)>& task);

// A way users start a program with a signal that ends programs ignored:
// `command` is a shell command (for sh -c, its arguments the program's
// command line) that runs them so, `trap '' TERM` or `nohup`.
struct IgnoringLauncher {
    int signal;
    std::string command;
};
// One for each of INT, TERM, HUP and QUIT, and nohup for HUP.
std::vector<IgnoringLauncher> ignoring_launchers();

// `arg` as one word of a shell command line.
std::string shell_quote(const std::string& arg);

// Runs a shell command line; gives its exit code and standard output.
ProgramResult run_command(const std::string& command);

// An exclusive fcntl lock on the whole of a file, as another program that
// writes to the tree file would take it, held from construction until
// Release or destruction. A child process holds it: a lock of the test's
// own process would go as soon as the test read the file (closing any
// descriptor of a file drops the process's locks on it).
class HeldLock {
public:
    explicit HeldLock(const std::string& path);
    ~HeldLock();
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;

    // Whether the lock was taken.
    bool held() const { return held_; }
    // The process that holds it.
    pid_t holder() const;
    // Lets the lock go, and waits until it has gone.
    void release();

private:
    std::unique_ptr<ChildProcess> holder_;
    int tell_ = -1;
    bool held_ = false;
};

// How many requests wait for a lock on the file at `path` (Linux lists
// them in /proc/locks as "->" lines with the file's device and inode).
int lock_waiters(const std::string& path);

// A process other than this one and `besides` that has a file open for
// writing, and the descriptor it has it on; a pid of -1 when there is none.
struct OpenForWriting {
    int pid = -1;
    int fd = -1;
};
OpenForWriting process_writing(const std::string& path, pid_t besides = -1);

// Taxon names of a Newick line, in order (unquoted names only).
std::vector<std::string> newick_names(const std::string& line);

// A sequence file of `taxa` taxa named taxon_0, taxon_1, ..., evolved down
// a random tree from one root sequence; the same seed gives the same file.
std::string simulated_file(int taxa, int length, unsigned seed);

// A sequence file of `taxa` taxa of 8 positions whose names are 96
// characters long (a tree line of about 100 bytes per taxon), named after
// `letter`.
std::string long_names_file(int taxa, char letter, unsigned seed);

// A sequence file of `taxa` taxa named m0, m1, ..., all with one sequence
// of `length` positions: a large input made fast.
std::string repeated_sequence_file(int taxa, int length);

// The taxa of a sequence file's text, read as a run reads them, numbered 0
// to n - 1 in file order and owned here.
class TaxaOfFile {
public:
    explicit TaxaOfFile(const std::string& file);

    int size() const { return static_cast<int>(by_id.size()); }
    int length() const;

    std::vector<SeqVector*> by_id;

private:
    std::vector<std::unique_ptr<SeqVector>> owned_;
};

// A front end that records what the analysis shows: the tree calls in
// `log`, the chart values in `values`, every call in order in `calls`, and
// the threads that made them.
class RecordingFrontEnd : public AnalysisFrontEnd {
public:
    TreeNode* tree_root() override;
    void add_leaves(TreeNode* n, const CharString& a, const CharString& b) override;
    void make_leaf(TreeNode* n, SeqVector* taxon) override;
    void split(TreeNode* n, TreeNode*** children, int count, int depth) override;
    void add_value(int value) override;

    std::vector<std::string> log;
    std::vector<int> values;
    std::vector<std::string> calls;
    std::set<std::thread::id> threads;

private:
    void note(const std::string& call);
    // Fake nodes: distinct addresses that are never dereferenced.
    TreeNode* node(int i);
    std::string id(TreeNode* n) const;
    char storage_[256] = {};
    int next_ = 1;
    std::vector<std::vector<TreeNode*>> arrays_;
};
