#include "tests/glow/support/ChildProcess.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace glowtest {

ChildResult InChild(const std::function<std::string()>& body, int timeoutMsecs) {
    int fds[2];
    ChildResult result;
    if (pipe(fds) != 0) {
        ADD_FAILURE() << "pipe failed";
        return result;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        std::string report;
        try {
            report = body();
        } catch (...) {
            report = "an exception left the child's work";
        }
        size_t done = 0;
        while (done < report.size()) {
            const ssize_t n = write(fds[1], report.data() + done, report.size() - done);
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        _exit(0);
    }
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        ADD_FAILURE() << "fork failed";
        return result;
    }
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMsecs);
    while (waitpid(pid, &result.waitStatus, WNOHANG) != pid) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &result.waitStatus, 0);
            result.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    char buffer[256];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0) result.report.append(buffer, n);
    close(fds[0]);
    return result;
}

void ExpectEndedNormally(const ChildResult& child) {
    EXPECT_FALSE(child.timedOut) << "the child did not end in time";
    if (WIFSIGNALED(child.waitStatus)) {
        ADD_FAILURE() << "the child was ended by signal " << WTERMSIG(child.waitStatus);
    } else {
        EXPECT_EQ(WEXITSTATUS(child.waitStatus), 0);
    }
}

}  // namespace glowtest
