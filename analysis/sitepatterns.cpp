#include "analysis/sitepatterns.h"

namespace {

constexpr std::uint64_t kHashStart = 0xcbf29ce484222325ULL;
constexpr std::uint64_t kHashFactor = 0x100000001b3ULL;

// Spreads a column hash over the slot index bits.
std::uint64_t mix(std::uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    return h;
}

bool same_column(SeqVector* const* group, int n, int a, int b) {
    for (int r = 0; r < n; ++r) {
        if (group[r]->letters[a] != group[r]->letters[b]) return false;
    }
    return true;
}

}  // namespace

void SitePatterns::find(SeqVector* const* group, int n, int length) {
    hashes_.assign(length, kHashStart);
    for (int r = 0; r < n; ++r) {
        const unsigned char* letters =
            reinterpret_cast<const unsigned char*>(group[r]->letters.data());
        for (int i = 0; i < length; ++i) hashes_[i] = (hashes_[i] ^ letters[i]) * kHashFactor;
    }
    std::size_t slot_count = 1;
    while (slot_count < 2 * static_cast<std::size_t>(length)) slot_count *= 2;
    const std::size_t mask = slot_count - 1;
    slots_.assign(slot_count, -1);
    pattern_of_.resize(length);
    first_position_.clear();
    for (int i = 0; i < length; ++i) {
        std::size_t slot = mix(hashes_[i]) & mask;
        for (;;) {
            const int pattern = slots_[slot];
            if (pattern < 0) {
                slots_[slot] = count();
                pattern_of_[i] = count();
                first_position_.push_back(i);
                break;
            }
            const int first = first_position_[pattern];
            if (hashes_[first] == hashes_[i] && same_column(group, n, first, i)) {
                pattern_of_[i] = pattern;
                break;
            }
            slot = (slot + 1) & mask;
        }
    }
}
