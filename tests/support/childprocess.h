#pragma once

// The one way the tests start a process of their own: a program, or a piece
// of the test's work, in a child process that leads a process group of its
// own and starts as from a shell that leaves every signal at its default.

#include <sched.h>
#include <sys/resource.h>
#include <sys/types.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// What to start, and how.
struct ChildSpec {
    // The program (looked up in PATH when it has no slash) and its arguments.
    std::vector<std::string> args;
    // NAME=value entries added to the test's environment.
    std::vector<std::string> environment;
    // The working directory; empty: the test's.
    std::string dir;
    // Where standard output goes: this descriptor when it is not -1, else
    // this file (made afresh), else /dev/null. Likewise standard error.
    int out_fd = -1;
    std::string out_file;
    std::string err_file;
    // Resource limits (soft and hard), besides no core file.
    std::vector<std::pair<int, rlim_t>> limits;
    // The processors it may use; null: the test's.
    const cpu_set_t* cores = nullptr;
    // A descriptor of the test's that the program keeps, under its number
    // (one opened close-on-exec, as every descriptor of a test should be).
    int kept_fd = -1;
};

class ChildProcess {
public:
    // Starts the program. A failed fork is a test failure and leaves no
    // process (pid() is -1).
    explicit ChildProcess(const ChildSpec& spec);
    // Runs `body` in the child, without an exec; what it returns is the
    // child's exit code. For work that must not share the test's process.
    explicit ChildProcess(const std::function<int()>& body);
    // Ends it with everything in its process group, if it has not ended.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    // Whether it has ended, at once. Until it is reaped (below), its pid and
    // process group stay its own, so signals reach no other process.
    bool has_ended() const;
    // Waits, polling, until it ends, at most `bound_msecs` (negative: as
    // long as it takes), and reaps it; false when it still runs.
    bool wait_for_end(int bound_msecs = -1);
    // SIGKILL to its process group: what it started and left behind too.
    // Only until it is reaped.
    void end_group() const;
    // Once reaped: the status as waitpid gives it, the exit code (128 and
    // the signal for one that a signal ended), the signal or 0.
    bool reaped() const { return reaped_; }
    int wait_status() const { return status_; }
    int exit_code() const;
    int term_signal() const;

private:
    pid_t pid_ = -1;
    bool reaped_ = false;
    int status_ = 0;
};
