#pragma once

#include "analysis/analysisstatus.h"

// The index of the last argument among 1 to *argc - 1 that equals `name`
// exactly, or 0 when none does (index 0, the program name, is never
// compared). The value of an option at index i is argument i + 1.
int find_argument(int* argc, char** argv, const char* name);

// The program's command line as the process (and MPI) left it: options are
// looked up with find_argument, each value is the argument after its option.
class CommandLine {
public:
    CommandLine(int* argc, char** argv) : argc_(argc), argv_(argv) {}

    // The index of the option (its last occurrence), 0 when absent.
    int find(const char* name) const { return find_argument(argc_, argv_, name); }
    // The value of the option found at `index`.
    const char* value(int index) const { return argv_[index + 1]; }

    // An option that takes a value but stands last has none: a usage error.
    AnalysisStatus check_values() const;

    // Exit code of a usage error.
    static constexpr int kExitUsage = 2;

private:
    int* argc_;
    char** argv_;
};
