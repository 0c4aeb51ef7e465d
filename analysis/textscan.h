#pragma once

#include <cstddef>

// Characters a scan tests at once: a loop over a block without early exit
// vectorises, and text without a match (the common case) goes by blocks.
constexpr std::size_t kScanBlock = 64;

// The index of the first of `count` characters for which match(c) is 1, or
// `count`. match gives 0 or 1 as a sum of comparisons, without branches:
// then the compiler vectorises the blocks.
template <typename Match>
std::size_t find_first(const char* text, std::size_t count, const Match& match) {
    std::size_t i = 0;
    for (; i + kScanBlock <= count; i += kScanBlock) {
        unsigned char any = 0;
        for (std::size_t j = 0; j < kScanBlock; ++j) any |= match(text[i + j]);
        if (any) break;
    }
    for (; i < count; ++i) {
        if (match(text[i])) return i;
    }
    return count;
}
