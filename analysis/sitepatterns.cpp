#include "analysis/sitepatterns.h"

#include <atomic>

#include "analysis/workerpool.h"

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

void SitePatterns::find(SeqVector* const* group, int n, int length, WorkerPool* pool) {
    hashes_.assign(length, kHashStart);
    // Each task hashes a range of positions, taxon by taxon.
    share_work(pool, static_cast<long long>(n) * length, length, [&](int t, int tasks) {
        const int begin = static_cast<int>(static_cast<long long>(length) * t / tasks);
        const int end = static_cast<int>(static_cast<long long>(length) * (t + 1) / tasks);
        for (int r = 0; r < n; ++r) {
            const unsigned char* letters =
                reinterpret_cast<const unsigned char*>(group[r]->letters.data());
            for (int i = begin; i < end; ++i) {
                hashes_[i] = (hashes_[i] ^ letters[i]) * kHashFactor;
            }
        }
    });
    // Columns of equal hashes are nearly always equal: numbering by the
    // hashes and checking the columns row by row afterwards reads every
    // taxon's letters in order. Only a collision needs the comparison
    // column by column.
    number(group, n, length, false);
    if (!columns_match(group, n, length, pool)) number(group, n, length, true);
}

void SitePatterns::number(SeqVector* const* group, int n, int length, bool exact) {
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
            if (hashes_[first] == hashes_[i] && (!exact || same_column(group, n, first, i))) {
                pattern_of_[i] = pattern;
                break;
            }
            slot = (slot + 1) & mask;
        }
    }
}

bool SitePatterns::columns_match(SeqVector* const* group, int n, int length,
                                 WorkerPool* pool) const {
    std::atomic<bool> match(true);
    share_work(pool, static_cast<long long>(n) * length, n, [&](int t, int tasks) {
        const int begin = static_cast<int>(static_cast<long long>(n) * t / tasks);
        const int end = static_cast<int>(static_cast<long long>(n) * (t + 1) / tasks);
        for (int r = begin; r < end && match.load(std::memory_order_relaxed); ++r) {
            const char* letters = group[r]->letters.data();
            for (int i = 0; i < length; ++i) {
                if (letters[i] != letters[first_position_[pattern_of_[i]]]) {
                    match.store(false, std::memory_order_relaxed);
                    break;
                }
            }
        }
    });
    return match.load();
}
