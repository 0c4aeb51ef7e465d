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
    // `hash_bits` low bits of each column hash are kept: fewer make columns
    // collide, which only tests want.
    explicit SitePatterns(int hash_bits = 64);

    // Numbers the patterns of `group` (n taxa of `length` positions) in the
    // order of their first position, on the pool's threads when it is given.
    void find(SeqVector* const* group, int n, int length, WorkerPool* pool = nullptr);

    int count() const { return static_cast<int>(first_position_.size()); }
    // pattern_of()[i]: the pattern of position i.
    const int* pattern_of() const { return pattern_of_.data(); }
    int first_position(int pattern) const { return first_position_[pattern]; }
    const int* first_positions() const { return first_position_.data(); }

private:
    // Each column's hash into hashes_; with `exact`, its letter codes side
    // by side instead.
    void hash_columns(SeqVector* const* group, int n, int length, bool exact, WorkerPool* pool);
    // Numbers the positions by their columns' hashes alone; with `exact`,
    // equal hashes are compared column by column too.
    void number(SeqVector* const* group, int n, int length, bool exact);
    // Whether every position's column equals its pattern's first column.
    bool columns_match(SeqVector* const* group, int n, WorkerPool* pool) const;

    const std::uint64_t hash_mask_;
    std::vector<int> pattern_of_;
    std::vector<int> first_position_;
    // The positions that are not the first of their pattern.
    std::vector<int> repeats_;
    std::vector<std::uint64_t> hashes_;
    std::vector<int> slots_;
};
