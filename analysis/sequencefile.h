#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "analysis/analysisstatus.h"
#include "analysis/charstring.h"

// The contents of a sequence file: a name and a sequence of exactly
// seq_len letters A, C, G, T per taxon.
struct SequenceData {
    int num_seqs = 0;
    int seq_len = 0;
    std::vector<CharString> names;
    std::vector<std::string> sequences;
};

// Reads a whole sequence file from `in` into `data` (emptied first): the
// sequence count, the sequence length, then a name and a sequence per
// taxon, all separated by white space. A malformed file gives one line
// naming the count, the taxon or the token; no token is read further than
// it may be long.
AnalysisStatus read_sequence_data(std::istream& in, SequenceData* data);

// One warning line per name that more than one taxon bears, in the order of
// the names' first taxa: such a tree cannot tell those taxa apart.
std::vector<std::string> repeated_name_warnings(const SequenceData& data);
