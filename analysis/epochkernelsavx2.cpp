// The AVX2 form of the epoch kernels.

#include "analysis/epochkernelforms.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#define TAVREL_AVX2 __attribute__((target("avx2")))

namespace {

// Inputs of a block, or patterns, in one vector.
constexpr int kQuarter = 4;
constexpr int kHalves = kLanes / kQuarter;
static_assert(kLanes == 2 * kQuarter, "a block of inputs fills two vectors");

// A block's sums pick each input's term out of a row of four doubles with
// one permutation of dwords (2c and 2c + 1 for code c). The indices of four
// inputs come from a table, by their codes packed two bits each: scalar
// work that leaves the vector units to the picks and the additions.
struct PickIndices {
    alignas(32) std::int32_t entries[256][2 * kQuarter];
};

constexpr PickIndices make_pick_indices() {
    PickIndices table{};
    for (int packed = 0; packed < 256; ++packed) {
        for (int l = 0; l < kQuarter; ++l) {
            const int code = (packed >> (2 * l)) & 3;
            table.entries[packed][2 * l] = 2 * code;
            table.entries[packed][2 * l + 1] = 2 * code + 1;
        }
    }
    return table;
}

constexpr PickIndices kPickIndices = make_pick_indices();

// The eight codes of a block at one position (one per byte, each below 4)
// packed two bits each: the byte fields times the multiplier land, without
// overlapping, codes 0 to 3 in bits 18 to 25 and codes 4 to 7 in bits 50 to
// 57.
constexpr std::uint64_t kCodeBits = 0x0303030303030303ULL;
constexpr std::uint64_t kPackingMultiplier = (1ULL << 18) | (1ULL << 12) | (1ULL << 6) | 1ULL;
constexpr int kLowQuarterShift = 18;
constexpr int kHighQuarterShift = 50;

constexpr std::uint64_t packed_codes(std::uint64_t codes) {
    return (codes & kCodeBits) * kPackingMultiplier;
}

// The partial products of the multiplication never overlap (with every code
// 3 their sum is their union), so no code carries into another, and each
// code alone lands in its place.
constexpr bool packing_keeps_every_code() {
    std::uint64_t partial_products = 0;
    for (int l = 0; l < kLanes; ++l) {
        for (int j = 0; j < kQuarter; ++j) partial_products |= 3ULL << (8 * l) << (6 * j);
    }
    if (packed_codes(kCodeBits) != partial_products) return false;
    for (int l = 0; l < kLanes; ++l) {
        for (std::uint64_t code = 0; code < 4; ++code) {
            const int shift = l < kQuarter ? kLowQuarterShift : kHighQuarterShift;
            const std::uint64_t m = packed_codes(code << (8 * l));
            if (((m >> shift) & 0xff) != code << (2 * (l % kQuarter))) return false;
        }
    }
    return true;
}
static_assert(packing_keeps_every_code(), "the packed codes are the block's codes");

// The pick indices of both halves of a block at one position.
TAVREL_AVX2 inline void pick_indices(const std::uint8_t* codes, __m256i indices[kHalves]) {
    std::uint64_t word;
    __builtin_memcpy(&word, codes, sizeof word);
    const std::uint64_t m = packed_codes(word);
    indices[0] = _mm256_load_si256(
        reinterpret_cast<const __m256i*>(kPickIndices.entries[(m >> kLowQuarterShift) & 0xff]));
    indices[1] = _mm256_load_si256(
        reinterpret_cast<const __m256i*>(kPickIndices.entries[(m >> kHighQuarterShift) & 0xff]));
}

TAVREL_AVX2 inline __m256d pick(const double* four, __m256i indices) {
    const __m256i row = _mm256_castpd_si256(_mm256_load_pd(four));
    return _mm256_castsi256_pd(_mm256_permutevar8x32_epi32(row, indices));
}

// The sums of kBlocks blocks at once: each position's additions depend on
// the last, so more blocks give the processor more of them to overlap, as
// far as the sixteen registers hold their sums.
template <int kTables, int kBlocks>
TAVREL_AVX2 void sum_together(const std::uint8_t* blocks, const int* pattern_of, const double* rows,
                              int length, double* sums) {
    const std::size_t block_bytes = static_cast<std::size_t>(length) * kLanes;
    __m256d s[kBlocks][kHalves][kTables][kNeurons];
    TAVREL_UNROLL
    for (int b = 0; b < kBlocks; ++b) {
        TAVREL_UNROLL
        for (int h = 0; h < kHalves; ++h) {
            TAVREL_UNROLL
            for (int t = 0; t < kTables; ++t) {
                TAVREL_UNROLL
                for (int k = 0; k < kNeurons; ++k) s[b][h][t][k] = _mm256_setzero_pd();
            }
        }
    }
    for (int i = 0; i < length; ++i) {
        const double* row = rows + pattern_of[i] * (kTables * kTermsPerTable);
        TAVREL_UNROLL
        for (int b = 0; b < kBlocks; ++b) {
            __m256i indices[kHalves];
            pick_indices(blocks + b * block_bytes + i * kLanes, indices);
            TAVREL_UNROLL
            for (int h = 0; h < kHalves; ++h) {
                TAVREL_UNROLL
                for (int t = 0; t < kTables; ++t) {
                    TAVREL_UNROLL
                    for (int k = 0; k < kNeurons; ++k) {
                        s[b][h][t][k] = _mm256_add_pd(
                            s[b][h][t][k],
                            pick(row + (t * kNeurons + k) * Base::kLetters, indices[h]));
                    }
                }
            }
        }
    }
    alignas(32) double lanes[kQuarter];
    TAVREL_UNROLL
    for (int b = 0; b < kBlocks; ++b) {
        double* block_sums = sums + b * kLanes * kTables * kNeurons;
        TAVREL_UNROLL
        for (int h = 0; h < kHalves; ++h) {
            TAVREL_UNROLL
            for (int t = 0; t < kTables; ++t) {
                TAVREL_UNROLL
                for (int k = 0; k < kNeurons; ++k) {
                    _mm256_store_pd(lanes, s[b][h][t][k]);
                    for (int l = 0; l < kQuarter; ++l) {
                        block_sums[((h * kQuarter + l) * kTables + t) * kNeurons + k] = lanes[l];
                    }
                }
            }
        }
    }
}

// Blocks summed together: two with one table (eight sums in registers),
// one with two or three.
template <int kTables>
constexpr int kBlocksTogether = kTables == 1 ? 2 : 1;

template <int kTables>
TAVREL_AVX2 void sum_blocks_avx2_n(const std::uint8_t* blocks, int count, const int* pattern_of,
                                   const double* rows, int length, double* sums) {
    constexpr int kTogether = kBlocksTogether<kTables>;
    const std::size_t block_bytes = static_cast<std::size_t>(length) * kLanes;
    const int block_sums = kLanes * kTables * kNeurons;
    int b = 0;
    for (; b + kTogether <= count; b += kTogether) {
        sum_together<kTables, kTogether>(blocks + b * block_bytes, pattern_of, rows, length,
                                         sums + b * block_sums);
    }
    for (; b < count; ++b) {
        sum_together<kTables, 1>(blocks + b * block_bytes, pattern_of, rows, length,
                                 sums + b * block_sums);
    }
}

void sum_blocks_avx2(const std::uint8_t* blocks, int count, const int* pattern_of,
                     const double* rows, int tables, int length, double* sums) {
    static const SumBlocksOfTables forms[3] = {sum_blocks_avx2_n<1>, sum_blocks_avx2_n<2>,
                                               sum_blocks_avx2_n<3>};
    sum_tables(forms, blocks, count, pattern_of, rows, tables, length, sums);
}

// A letter's coordinates are 0 or 1: x is bit 1 of its code, z bit 0 and y
// their exclusive or (A 000, C 011, G 110, T 101).
constexpr bool corners_are_code_bits() {
    for (int a = 0; a < Base::kLetters; ++a) {
        const Base& c = base_tables::kCorners[a];
        const int x = (a >> 1) & 1;
        const int z = a & 1;
        if (c.x != x || c.z != z || c.y != (x ^ z)) return false;
    }
    return true;
}
static_assert(corners_are_code_bits(), "the coordinates of a letter are bits of its code");

TAVREL_AVX2 inline __m256d step_towards(__m256d n, __m256d target, __m256d rate) {
    return _mm256_add_pd(n, _mm256_mul_pd(rate, _mm256_sub_pd(target, n)));
}

// Moves four patterns' coordinates towards their letters. x and z are
// looked up within each half of the vector, with no lane crossing the
// halves: vpermilpd takes entry bit 1 of a lane's index from 0.0, 1.0, and
// the indices are the codes as they are (x) and doubled, bit 0 moved up
// (z). y is their exclusive or, bit by bit: 0.0 is all zero bits, so that
// gives 1.0 or 0.0 exactly.
TAVREL_AVX2 inline void step_four(__m256d* x, __m256d* y, __m256d* z, const std::uint8_t* codes,
                                  __m256d rate, __m256d unit_pair) {
    int packed;
    __builtin_memcpy(&packed, codes, sizeof packed);
    const __m256i c = _mm256_cvtepu8_epi64(_mm_cvtsi32_si128(packed));
    const __m256d tx = _mm256_permutevar_pd(unit_pair, c);
    const __m256d tz = _mm256_permutevar_pd(unit_pair, _mm256_add_epi64(c, c));
    *x = step_towards(*x, tx, rate);
    *z = step_towards(*z, tz, rate);
    *y = step_towards(*y, _mm256_xor_pd(tx, tz), rate);
}

// kVectors vectors of each coordinate stay in registers while every member
// passes over their patterns.
template <int kVectors>
TAVREL_AVX2 void kohonen_patterns_avx2(const NeuronPlanes& neuron, int first,
                                       const std::uint8_t* tile, const MemberCodes& members,
                                       __m256d rate) {
    const __m256d unit_pair = _mm256_setr_pd(0.0, 1.0, 0.0, 1.0);
    __m256d x[kVectors];
    __m256d y[kVectors];
    __m256d z[kVectors];
    TAVREL_UNROLL
    for (int v = 0; v < kVectors; ++v) {
        x[v] = _mm256_load_pd(neuron.x + first + v * kQuarter);
        y[v] = _mm256_load_pd(neuron.y + first + v * kQuarter);
        z[v] = _mm256_load_pd(neuron.z + first + v * kQuarter);
    }
    for (int m = 0; m < members.count; ++m) {
        const std::uint8_t* codes = tile + members.offsets[m];
        TAVREL_UNROLL
        for (int v = 0; v < kVectors; ++v) {
            step_four(&x[v], &y[v], &z[v], codes + v * kQuarter, rate, unit_pair);
        }
    }
    TAVREL_UNROLL
    for (int v = 0; v < kVectors; ++v) {
        _mm256_store_pd(neuron.x + first + v * kQuarter, x[v]);
        _mm256_store_pd(neuron.y + first + v * kQuarter, y[v]);
        _mm256_store_pd(neuron.z + first + v * kQuarter, z[v]);
    }
}

// Sixteen patterns at a time: twelve of the sixteen registers.
constexpr int kWideVectors = 4;

TAVREL_AVX2 void kohonen_avx2(const NeuronPlanes& neuron, const MemberCodes& members, double rate,
                              int begin, int end) {
    const __m256d r = _mm256_set1_pd(rate);
    for (int first = begin; first < end; first += kTile) {
        const int last = end - first < kTile ? end : first + kTile;
        const std::uint8_t* tile =
            members.tiles + static_cast<std::size_t>(first / kTile) * members.rows * kTile;
        int p = first;
        for (; p + kWideVectors * kQuarter <= last; p += kWideVectors * kQuarter) {
            kohonen_patterns_avx2<kWideVectors>(neuron, p, tile + (p - first), members, r);
        }
        for (; p < last; p += kPatternStep) {
            kohonen_patterns_avx2<kPatternStep / kQuarter>(neuron, p, tile + (p - first), members,
                                                           r);
        }
    }
}

// Four patterns' terms for letters A, C, G, T (one vector each, a lane per
// pattern) stored as four rows: lane j of every vector goes to row j.
TAVREL_AVX2 inline void store_transposed(const __m256d letters[Base::kLetters], double* row,
                                         int row_stride) {
    const __m256d ac_low = _mm256_unpacklo_pd(letters[0], letters[1]);
    const __m256d ac_high = _mm256_unpackhi_pd(letters[0], letters[1]);
    const __m256d gt_low = _mm256_unpacklo_pd(letters[2], letters[3]);
    const __m256d gt_high = _mm256_unpackhi_pd(letters[2], letters[3]);
    _mm256_store_pd(row, _mm256_permute2f128_pd(ac_low, gt_low, 0x20));
    _mm256_store_pd(row + row_stride, _mm256_permute2f128_pd(ac_high, gt_high, 0x20));
    _mm256_store_pd(row + 2 * row_stride, _mm256_permute2f128_pd(ac_low, gt_low, 0x31));
    _mm256_store_pd(row + 3 * row_stride, _mm256_permute2f128_pd(ac_high, gt_high, 0x31));
}

// The tables of one term set: each is computed and stored only for the
// sets that have it.
template <TermSet kSet>
TAVREL_AVX2 void build_rows_avx2_n(const NeuronPlanes* neurons, int begin, int end, double* rows) {
    constexpr bool kDistances = kSet == TermSet::distance_and_squared;
    constexpr bool kSubstitutions = kSet == TermSet::substitutions_and_squared;
    const int tables = tables_of(kSet);
    const int stride = tables * kTermsPerTable;
    const int squared = tables - 1;
    const LetterCorners& c = LetterCorners::get();
    const __m256d zero = _mm256_setzero_pd();
    const __m256d two = _mm256_set1_pd(2.0);
    const __m256d magnitude = _mm256_castsi256_pd(_mm256_set1_epi64x(0x7fffffffffffffffLL));
    for (int p = begin; p < end; p += kQuarter) {
        double* row = rows + p * stride;
        for (int k = 0; k < kNeurons; ++k) {
            const __m256d nx = _mm256_load_pd(neurons[k].x + p);
            const __m256d ny = _mm256_load_pd(neurons[k].y + p);
            const __m256d nz = _mm256_load_pd(neurons[k].z + p);
            __m256d first[Base::kLetters];
            __m256d second[Base::kLetters];
            __m256d squares[Base::kLetters];
            for (int a = 0; a < Base::kLetters; ++a) {
                const __m256d ax = _mm256_set1_pd(c.x[a]);
                const __m256d ay = _mm256_set1_pd(c.y[a]);
                const __m256d az = _mm256_set1_pd(c.z[a]);
                // base_distance of the neuron and the letter; the squared
                // differences do not depend on the order of the two.
                const __m256d dx = _mm256_sub_pd(nx, ax);
                const __m256d dy = _mm256_sub_pd(ny, ay);
                const __m256d dz = _mm256_sub_pd(nz, az);
                const __m256d sum =
                    _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(dx, dx), _mm256_mul_pd(dy, dy)),
                                  _mm256_mul_pd(dz, dz));
                const __m256d d = _mm256_sub_pd(zero, _mm256_sqrt_pd(sum));
                squares[a] = _mm256_mul_pd(d, d);
                if constexpr (kDistances) first[a] = d;
                if constexpr (kSubstitutions) {
                    const __m256d ux = _mm256_and_pd(dx, magnitude);
                    const __m256d uy = _mm256_and_pd(dy, magnitude);
                    const __m256d uz = _mm256_and_pd(dz, magnitude);
                    // max(0.0, v) of std::max: 0.0 unless v > 0.0.
                    first[a] = _mm256_max_pd(
                        _mm256_div_pd(_mm256_sub_pd(_mm256_add_pd(ux, uy), uz), two), zero);
                    second[a] = uz;
                }
            }
            double* terms = row + k * Base::kLetters;
            if constexpr (kDistances || kSubstitutions) store_transposed(first, terms, stride);
            if constexpr (kSubstitutions) store_transposed(second, terms + kTermsPerTable, stride);
            store_transposed(squares, terms + squared * kTermsPerTable, stride);
        }
    }
}

void build_rows_avx2(TermSet set, const NeuronPlanes* neurons, int begin, int end, double* rows) {
    switch (set) {
        case TermSet::squared:
            build_rows_avx2_n<TermSet::squared>(neurons, begin, end, rows);
            return;
        case TermSet::distance_and_squared:
            build_rows_avx2_n<TermSet::distance_and_squared>(neurons, begin, end, rows);
            return;
        case TermSet::substitutions_and_squared:
            build_rows_avx2_n<TermSet::substitutions_and_squared>(neurons, begin, end, rows);
            return;
    }
}

const EpochKernels kAvx2 = {"avx2", sum_blocks_avx2, kohonen_avx2, build_rows_avx2};

}  // namespace

const EpochKernels* avx2_epoch_kernels() {
    return __builtin_cpu_supports("avx2") ? &kAvx2 : nullptr;
}

#else

const EpochKernels* avx2_epoch_kernels() {
    return nullptr;
}

#endif
