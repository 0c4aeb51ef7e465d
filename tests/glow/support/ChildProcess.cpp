#include "tests/glow/support/ChildProcess.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/childprocess.h"

// Last: its macros (None) would break GoogleTest's names.
#include <X11/Xlib.h>

namespace glowtest {

namespace {

// A fresh X server (as xvfb-run starts one) resets once its last client
// has gone, and a child that connects meanwhile finds no display. From its
// first child on, the test's own process keeps a connection open, which no
// child uses (each opens its own with GLUT).
void KeepTheServerFromResetting() {
    static Display* const kept = XOpenDisplay(nullptr);
    static_cast<void>(kept);
}

}  // namespace

ChildResult InChild(const std::function<std::string()>& body, int timeoutMsecs) {
    KeepTheServerFromResetting();
    int fds[2];
    ChildResult result;
    if (pipe(fds) != 0) {
        ADD_FAILURE() << "pipe failed";
        return result;
    }
    {
        ChildProcess child([&] {
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
            return 0;
        });
        close(fds[1]);
        result.timedOut = !child.wait_for_end(timeoutMsecs);
        if (result.timedOut) {
            // Killed as it stands: the status says by what.
            child.end_group();
            child.wait_for_end();
        }
        result.waitStatus = child.wait_status();
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
