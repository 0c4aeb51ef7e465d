#include "childprocess.h"

#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>

namespace {

constexpr int kExecFailed = 127;
constexpr const char* kGnuTime = "/usr/bin/time";

// Everything a pipe gives until its writers close it; closes it.
std::string read_all(int fd) {
    std::string text;
    char buffer[4096];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, got);
    close(fd);
    return text;
}

// The first `cores` cores of the parent's affinity.
void restrict_cores(int cores) {
    cpu_set_t own;
    CPU_ZERO(&own);
    if (sched_getaffinity(0, sizeof own, &own) != 0) return;
    cpu_set_t chosen;
    CPU_ZERO(&chosen);
    int taken = 0;
    for (int cpu = 0; cpu < CPU_SETSIZE && taken < cores; ++cpu) {
        if (CPU_ISSET(cpu, &own)) {
            CPU_SET(cpu, &chosen);
            ++taken;
        }
    }
    sched_setaffinity(0, sizeof chosen, &chosen);
}

}  // namespace

ChildRun run_child(const std::vector<std::string>& argv, const ChildOptions& options) {
    ChildRun run;
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0) return run;
    // A process's peak memory counts from that of the process it was forked
    // from (the kernel keeps the larger), here the benchmark with its
    // alignments: GNU time, a small process, forks the command and writes
    // the command's own peak in KiB to a pipe of its own.
    int peak_ends[2] = {-1, -1};
    const bool timed = access(kGnuTime, X_OK) == 0 && pipe(peak_ends) == 0;
    std::vector<std::string> command;
    if (timed) {
        command = {kGnuTime, "-f", "%M", "-o", "/dev/fd/" + std::to_string(peak_ends[1])};
    }
    command.insert(command.end(), argv.begin(), argv.end());
    const auto started = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipe_ends[0]);
        if (timed) close(peak_ends[0]);
        dup2(pipe_ends[1], STDOUT_FILENO);
        close(pipe_ends[1]);
        if (options.cores > 0) restrict_cores(options.cores);
        if (!options.directory.empty() && chdir(options.directory.c_str()) != 0) {
            _exit(kExecFailed);
        }
        std::vector<char*> args;
        for (const std::string& arg : command) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(kExecFailed);
    }
    close(pipe_ends[1]);
    if (timed) close(peak_ends[1]);
    if (pid < 0) {
        close(pipe_ends[0]);
        if (timed) close(peak_ends[0]);
        return run;
    }
    run.out = read_all(pipe_ends[0]);
    const std::string peak = timed ? read_all(peak_ends[0]) : std::string();
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    // GNU time's last line is the peak; a line before it tells of a signal.
    const std::size_t last = peak.find_last_of('\n', peak.size() >= 2 ? peak.size() - 2 : 0);
    const long long kib =
        timed ? std::atoll(peak.c_str() + (last == std::string::npos ? 0 : last + 1))
              : static_cast<long long>(usage.ru_maxrss);
    run.peak_bytes = kib * 1024;
    return run;
}

bool on_path(const std::string& program) {
    const char* path = std::getenv("PATH");
    if (!path) return false;
    std::istringstream folders(path);
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        if (!folder.empty() && access((folder + "/" + program).c_str(), X_OK) == 0) return true;
    }
    return false;
}
