#pragma once

#include <cstdint>
#include <vector>

#include "analysis/seqvector.h"

class WorkerPool;

// The distinct columns of a group of taxa. Positions whose columns are equal
// see the same letters in every member, so the neurons of a split step hold
// the same coordinates there in every epoch: one entry per pattern serves
// them all.
class SitePatterns {
public:
    // Numbers the patterns of `group` (n taxa of `length` positions) in the
    // order of their first position, on the pool's threads when it is given.
    void find(SeqVector* const* group, int n, int length, WorkerPool* pool = nullptr);

    int count() const { return static_cast<int>(first_position_.size()); }
    // pattern_of()[i]: the pattern of position i.
    const int* pattern_of() const { return pattern_of_.data(); }
    int first_position(int pattern) const { return first_position_[pattern]; }

private:
    // Numbers the positions by their columns' hashes alone; with `exact`,
    // equal hashes are compared column by column too.
    void number(SeqVector* const* group, int n, int length, bool exact);
    // Whether every position's column equals its pattern's first column.
    bool columns_match(SeqVector* const* group, int n, int length, WorkerPool* pool) const;

    std::vector<int> pattern_of_;
    std::vector<int> first_position_;
    std::vector<std::uint64_t> hashes_;
    std::vector<int> slots_;
};
