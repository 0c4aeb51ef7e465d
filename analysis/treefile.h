#pragma once

#include <string>

#include "analysis/analysisstatus.h"

// The tree file takes one whole Newick line per run, or nothing.

// Whether `path` can take a tree line, found without opening what is there
// (a FIFO's reader would see its end): an existing file must be writable and
// not a folder; a missing one is created, as the run's append would.
AnalysisStatus check_tree_file(const std::string& path);

// Appends `line` (ended by a newline) to the file at `path` in one write,
// preceded by a newline when the file does not end in one. On a regular
// file everything it decides from the file (its length, its last byte, the
// write and any cut-back) happens under an exclusive lock that every run
// takes, and with the signals that would end the process held off, so the
// line goes in whole or not at all: a write that fails or falls short cuts
// the file back to its former length. A file size limit or a pipe without a
// reader is reported like a full disk instead of ending the process.
AnalysisStatus append_tree_line(const std::string& path, const std::string& line);

// For a process about to end at once with a run still under way on another
// thread: waits until no line is going into a regular file, and keeps any
// run from beginning to write one after it, so that the end cuts no line
// in two.
void stop_tree_appends();
