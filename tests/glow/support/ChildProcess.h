#ifndef TESTS_GLOW_SUPPORT_CHILDPROCESS_H
#define TESTS_GLOW_SUPPORT_CHILDPROCESS_H

// A test's work in a child process of its own: for what ends GLUT for the
// whole process (glutMainLoop) or leaves it failed. The test program's own
// process must not have started GLUT, whose X connection the child would
// share; it keeps a connection of its own, which no child uses, so that the
// X server does not reset between children.

#include <functional>
#include <string>

namespace glowtest {

struct ChildResult {
    bool timedOut = false;
    // As waitpid gives it.
    int waitStatus = 0;
    // What the child's body returned.
    std::string report;
};

// Runs body() in a child process and gives what it returned; the child is
// killed when it has not ended within timeoutMsecs. An exception that
// leaves body() is reported, never passed to the child's copy of the test
// runner.
ChildResult InChild(const std::function<std::string()>& body, int timeoutMsecs = 60000);

// Whether the child ended by itself with exit code 0; else why not, as a
// test failure.
void ExpectEndedNormally(const ChildResult& child);

}  // namespace glowtest

#endif
