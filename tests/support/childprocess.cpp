#include "tests/support/childprocess.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

extern char** environ;

namespace {

constexpr int kPollMsecs = 5;
constexpr int kCannotStart = 127;

// The signals a shell leaves at their default for the programs it starts.
constexpr int kDefaultSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGXFSZ};

// In the child, between fork and exec: only async-signal-safe calls.
void become_own_process() {
    setpgid(0, 0);
    const rlimit no_core = {0, 0};
    setrlimit(RLIMIT_CORE, &no_core);
    for (const int signal : kDefaultSignals) ::signal(signal, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
}

// `fd` when it is given, else the file made afresh, else /dev/null.
int output_for(int fd, const char* file) {
    if (fd >= 0) return fd;
    if (file != nullptr) return open(file, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    return open("/dev/null", O_WRONLY);
}

}  // namespace

ChildProcess::ChildProcess(const ChildSpec& spec) {
    // Everything the child needs is made before it exists.
    std::vector<std::string> args = spec.args;
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> entries;
    for (char** e = environ; *e != nullptr; ++e) entries.emplace_back(*e);
    entries.insert(entries.end(), spec.environment.begin(), spec.environment.end());
    std::vector<char*> envp;
    for (std::string& e : entries) envp.push_back(e.data());
    envp.push_back(nullptr);
    const char* dir = spec.dir.empty() ? nullptr : spec.dir.c_str();
    const char* out_file = spec.out_file.empty() ? nullptr : spec.out_file.c_str();
    const char* err_file = spec.err_file.empty() ? nullptr : spec.err_file.c_str();
    std::vector<rlimit> limits;
    for (const auto& limit : spec.limits) limits.push_back({limit.second, limit.second});

    pid_ = fork();
    if (pid_ == 0) {
        become_own_process();
        for (std::size_t i = 0; i < limits.size(); ++i) {
            setrlimit(spec.limits[i].first, &limits[i]);
        }
        if (spec.cores != nullptr) sched_setaffinity(0, sizeof *spec.cores, spec.cores);
        const int out = output_for(spec.out_fd, out_file);
        const int err = output_for(-1, err_file);
        if (out < 0 || err < 0 || (dir != nullptr && chdir(dir) != 0)) _exit(kCannotStart);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        if (spec.kept_fd >= 0) fcntl(spec.kept_fd, F_SETFD, 0);
        execvpe(argv[0], argv.data(), envp.data());
        _exit(kCannotStart);
    }
    // Its own group at once, also should the test signal it before the
    // child has run.
    if (pid_ > 0) setpgid(pid_, pid_);
    EXPECT_GT(pid_, 0) << "fork failed";
}

ChildProcess::ChildProcess(const std::function<int()>& body) {
    pid_ = fork();
    if (pid_ == 0) {
        become_own_process();
        int code = 1;
        try {
            code = body();
        } catch (...) {
        }
        _exit(code);
    }
    if (pid_ > 0) setpgid(pid_, pid_);
    EXPECT_GT(pid_, 0) << "fork failed";
}

ChildProcess::~ChildProcess() {
    if (pid_ <= 0 || reaped_) return;
    end_group();
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
}

bool ChildProcess::has_ended() const {
    if (pid_ <= 0 || reaped_) return true;
    siginfo_t info{};
    return waitid(P_PID, pid_, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid_;
}

bool ChildProcess::wait_for_end(int bound_msecs) {
    if (pid_ <= 0 || reaped_) return true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(bound_msecs);
    while (!has_ended()) {
        if (bound_msecs >= 0 && std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMsecs));
    }
    waitpid(pid_, &status_, 0);
    reaped_ = true;
    return true;
}

void ChildProcess::end_group() const {
    if (pid_ > 0 && !reaped_) kill(-pid_, SIGKILL);
}

int ChildProcess::exit_code() const {
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : 128 + WTERMSIG(status_);
}

int ChildProcess::term_signal() const {
    return WIFSIGNALED(status_) ? WTERMSIG(status_) : 0;
}
