#pragma once

#include <string>
#include <vector>

// What a finished child process used.
struct ChildRun {
    int exit_code = -1;
    double seconds = 0.0;
    // Peak resident memory of the child (or of its largest descendant),
    // its own where GNU time is installed (/usr/bin/time).
    long long peak_bytes = 0;
    std::string out;  // standard output
};

struct ChildOptions {
    // Runs the child on this many cores of the parent's (0: all of them).
    int cores = 0;
    // Working directory of the child; empty: the parent's.
    std::string directory;
};

// Runs `argv` (argv[0] looked up on the PATH), standard output captured,
// standard error passed through; waits for it.
ChildRun run_child(const std::vector<std::string>& argv, const ChildOptions& options = {});

// Whether a program is on the PATH.
bool on_path(const std::string& program);
