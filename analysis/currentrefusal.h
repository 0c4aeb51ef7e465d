#pragma once

#include <string>

#include "analysis/analysisstatus.h"

// The program's own code throws nothing; what it meets are the standard
// library's refusals: std::bad_alloc when memory runs out, std::system_error
// when the system refuses a thread or another resource. Called in a catch
// block, gives the refusal being handled as the line that reports it,
// `out_of_memory` for memory; any other exception goes on.
AnalysisStatus current_refusal(const char* out_of_memory);
AnalysisStatus current_refusal(const std::string& out_of_memory);

// The line of memory that ran out where no input was being read or
// analysed.
constexpr const char* kNoMemory = "Error: not enough memory";
