#pragma once

#include <string>

#include "analysis/analysisstatus.h"

// The tree file takes one whole Newick line per run, or nothing.

// Whether `path` can take a tree line, found without opening what is there
// (a FIFO's reader would see its end): an existing file must be writable and
// not a folder; a missing one is created, as the run's append would.
AnalysisStatus check_tree_file(const std::string& path);

// Appends `line` (ended by a newline) to the file at `path` in one write,
// preceded by a newline when the file does not end in one. A write that
// fails or falls short cuts the file back to its former length, and a file
// size limit is reported like a full disk instead of ending the process.
AnalysisStatus append_tree_line(const std::string& path, const std::string& line);
