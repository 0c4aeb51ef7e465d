#include "analysis/sitepatterns.h"

#include <algorithm>
#include <atomic>

#include "analysis/check.h"
#include "analysis/workerpool.h"

namespace {

constexpr std::uint64_t kHashStart = 0xcbf29ce484222325ULL;
constexpr std::uint64_t kHashFactor = 0x100000001b3ULL;
constexpr int kFullHash = 64;
constexpr int kCodeBits = 2;
// Groups of up to this many taxa key each column by its letter codes whole.
constexpr int kExactRows = kFullHash / kCodeBits;
// Positions a hash task takes at least: whole cache lines of every taxon's
// letters, and of the hashes, that no other task touches.
constexpr int kHashPositions = 512;

// Spreads a column hash over the slot index bits.
std::uint64_t mix(std::uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    return h;
}

// Folds the letters of positions [begin, end) of every taxon into their
// columns' hashes, taxon after taxon: hash = fold(hash, letter).
template <typename Fold>
void fold_rows(SeqVector* const* group, int n, int begin, int end, std::uint64_t* hashes,
               const Fold& fold) {
    int r = 0;
    // Four taxa at a time: each hash is read and written once per four.
    for (; r + 4 <= n; r += 4) {
        const char* a = group[r]->letters.data();
        const char* b = group[r + 1]->letters.data();
        const char* c = group[r + 2]->letters.data();
        const char* d = group[r + 3]->letters.data();
        for (int i = begin; i < end; ++i) {
            hashes[i] = fold(fold(fold(fold(hashes[i], a[i]), b[i]), c[i]), d[i]);
        }
    }
    for (; r < n; ++r) {
        const char* letters = group[r]->letters.data();
        for (int i = begin; i < end; ++i) hashes[i] = fold(hashes[i], letters[i]);
    }
}

bool same_column(SeqVector* const* group, int n, int a, int b) {
    for (int r = 0; r < n; ++r) {
        if (group[r]->letters[a] != group[r]->letters[b]) return false;
    }
    return true;
}

}  // namespace

SitePatterns::SitePatterns(int hash_bits)
    : hash_mask_(hash_bits >= kFullHash ? ~std::uint64_t{0} : (std::uint64_t{1} << hash_bits) - 1) {
    tavrel_assert(hash_bits > 0);
}

void SitePatterns::find(SeqVector* const* group, int n, int length, WorkerPool* pool) {
    // A small group's columns fit their keys whole: equal keys are equal
    // columns.
    const bool exact = n <= kExactRows && hash_mask_ == ~std::uint64_t{0};
    hash_columns(group, n, length, exact, pool);
    // Columns of equal hashes are nearly always equal: numbering by the
    // hashes and checking the columns row by row afterwards reads every
    // taxon's letters in order. Only a collision needs the comparison
    // column by column.
    number(group, n, length, false);
    if (!exact && !columns_match(group, n, pool)) number(group, n, length, true);
}

void SitePatterns::hash_columns(SeqVector* const* group, int n, int length, bool exact,
                                WorkerPool* pool) {
    hashes_.assign(length, exact ? 0 : kHashStart);
    const int chunks = (length + kHashPositions - 1) / kHashPositions;
    // Each task hashes a range of whole chunks, taxon by taxon.
    share_work(pool, static_cast<long long>(n) * length, chunks, [&](int t, int tasks) {
        const int begin =
            static_cast<int>(static_cast<long long>(chunks) * t / tasks) * kHashPositions;
        const int end =
            std::min(length, static_cast<int>(static_cast<long long>(chunks) * (t + 1) / tasks) *
                                 kHashPositions);
        std::uint64_t* const hashes = hashes_.data();
        if (exact) {
            fold_rows(group, n, begin, end, hashes, [](std::uint64_t key, char letter) {
                return key << kCodeBits | Base::code_of_nucleotide(letter);
            });
        } else {
            fold_rows(group, n, begin, end, hashes, [](std::uint64_t hash, char letter) {
                return (hash ^ static_cast<unsigned char>(letter)) * kHashFactor;
            });
        }
        for (int i = begin; i < end; ++i) hashes[i] &= hash_mask_;
    });
}

void SitePatterns::number(SeqVector* const* group, int n, int length, bool exact) {
    // No more patterns than positions, nor than n taxa have columns: a
    // small group's table stays small.
    std::size_t most = static_cast<std::size_t>(length);
    if (n < kExactRows / 2) most = std::min(most, std::size_t{1} << (kCodeBits * n));
    std::size_t slot_count = 1;
    while (slot_count < 2 * most) slot_count *= 2;
    const std::size_t mask = slot_count - 1;
    slots_.assign(slot_count, -1);
    pattern_of_.resize(length);
    first_position_.clear();
    repeats_.clear();
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
                repeats_.push_back(i);
                break;
            }
            slot = (slot + 1) & mask;
        }
    }
}

bool SitePatterns::columns_match(SeqVector* const* group, int n, WorkerPool* pool) const {
    // A pattern's first column is its own: only the repeats can differ.
    const int repeats = static_cast<int>(repeats_.size());
    if (repeats == 0) return true;
    std::atomic<bool> match(true);
    share_work(pool, static_cast<long long>(n) * repeats, n, [&](int t, int tasks) {
        const int begin = static_cast<int>(static_cast<long long>(n) * t / tasks);
        const int end = static_cast<int>(static_cast<long long>(n) * (t + 1) / tasks);
        for (int r = begin; r < end && match.load(std::memory_order_relaxed); ++r) {
            const char* letters = group[r]->letters.data();
            for (const int i : repeats_) {
                if (letters[i] != letters[first_position_[pattern_of_[i]]]) {
                    match.store(false, std::memory_order_relaxed);
                    break;
                }
            }
        }
    });
    return match.load();
}
