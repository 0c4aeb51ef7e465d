// The AVX2 form of the epoch kernels.

#include "analysis/epochkernelforms.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#define TAVREL_AVX2 __attribute__((target("avx2")))

namespace {

// Inputs of a block in one vector.
constexpr int kQuarter = 4;

// The permutation indices that pick, for each of four lanes, the double of
// its letter code out of a row of four: dwords 2c and 2c + 1.
TAVREL_AVX2 inline __m256i letter_indices(const std::uint8_t* codes) {
    int packed;
    __builtin_memcpy(&packed, codes, sizeof packed);
    const __m256i c = _mm256_cvtepu8_epi64(_mm_cvtsi32_si128(packed));
    const __m256i twice = _mm256_slli_epi64(c, 1);
    const __m256i high_one = _mm256_set1_epi64x(1LL << 32);
    return _mm256_or_si256(_mm256_or_si256(twice, _mm256_slli_epi64(twice, 32)), high_one);
}

TAVREL_AVX2 inline __m256d pick(const double* four, __m256i indices) {
    const __m256i row = _mm256_castpd_si256(_mm256_load_pd(four));
    return _mm256_castsi256_pd(_mm256_permutevar8x32_epi32(row, indices));
}

constexpr int kHalves = kLanes / kQuarter;

template <int kTables>
TAVREL_AVX2 void sum_block_avx2(const std::uint8_t* block, const int* pattern_of,
                                const double* rows, int length, double* sums) {
    __m256d s[kHalves][kTables][kNeurons];
    TAVREL_UNROLL
    for (int h = 0; h < kHalves; ++h) {
        TAVREL_UNROLL
        for (int t = 0; t < kTables; ++t) {
            TAVREL_UNROLL
            for (int k = 0; k < kNeurons; ++k) s[h][t][k] = _mm256_setzero_pd();
        }
    }
    for (int i = 0; i < length; ++i) {
        const double* row = rows + pattern_of[i] * (kTables * kTermsPerTable);
        TAVREL_UNROLL
        for (int h = 0; h < kHalves; ++h) {
            const __m256i indices = letter_indices(block + i * kLanes + h * kQuarter);
            TAVREL_UNROLL
            for (int t = 0; t < kTables; ++t) {
                TAVREL_UNROLL
                for (int k = 0; k < kNeurons; ++k) {
                    s[h][t][k] = _mm256_add_pd(
                        s[h][t][k], pick(row + (t * kNeurons + k) * Base::kLetters, indices));
                }
            }
        }
    }
    alignas(32) double lanes[kQuarter];
    TAVREL_UNROLL
    for (int h = 0; h < kHalves; ++h) {
        TAVREL_UNROLL
        for (int t = 0; t < kTables; ++t) {
            TAVREL_UNROLL
            for (int k = 0; k < kNeurons; ++k) {
                _mm256_store_pd(lanes, s[h][t][k]);
                for (int l = 0; l < kQuarter; ++l) {
                    sums[((h * kQuarter + l) * kTables + t) * kNeurons + k] = lanes[l];
                }
            }
        }
    }
}

template <int kTables>
TAVREL_AVX2 void sum_blocks_avx2_n(const std::uint8_t* blocks, int count, const int* pattern_of,
                                   const double* rows, int length, double* sums) {
    for (int b = 0; b < count; ++b) {
        sum_block_avx2<kTables>(blocks + static_cast<std::size_t>(b) * length * kLanes, pattern_of,
                                rows, length, sums + b * kLanes * kTables * kNeurons);
    }
}

void sum_blocks_avx2(const std::uint8_t* blocks, int count, const int* pattern_of,
                     const double* rows, int tables, int length, double* sums) {
    static const SumBlocksOfTables forms[3] = {sum_blocks_avx2_n<1>, sum_blocks_avx2_n<2>,
                                               sum_blocks_avx2_n<3>};
    sum_tables(forms, blocks, count, pattern_of, rows, tables, length, sums);
}

// The coordinates of four patterns' letters: x is bit 1 of the code, z bit
// 0 and y their exclusive or (A 000, C 011, G 110, T 101).
struct LetterCoordinates {
    __m256d x, y, z;
};

TAVREL_AVX2 inline LetterCoordinates letter_coordinates(const std::uint8_t* codes) {
    int packed;
    __builtin_memcpy(&packed, codes, sizeof packed);
    const __m256i c = _mm256_cvtepu8_epi64(_mm_cvtsi32_si128(packed));
    const __m256i one = _mm256_set1_epi64x(1);
    const __m256i two = _mm256_set1_epi64x(2);
    const __m256i x = _mm256_cmpeq_epi64(_mm256_and_si256(c, two), two);
    const __m256i z = _mm256_cmpeq_epi64(_mm256_and_si256(c, one), one);
    const __m256d unit = _mm256_set1_pd(1.0);
    return {_mm256_and_pd(_mm256_castsi256_pd(x), unit),
            _mm256_and_pd(_mm256_castsi256_pd(_mm256_xor_si256(x, z)), unit),
            _mm256_and_pd(_mm256_castsi256_pd(z), unit)};
}

TAVREL_AVX2 inline __m256d step_towards(__m256d n, __m256d target, __m256d rate) {
    return _mm256_add_pd(n, _mm256_mul_pd(rate, _mm256_sub_pd(target, n)));
}

// kVectors vectors of each coordinate stay in registers while every member
// passes over their patterns.
template <int kVectors>
TAVREL_AVX2 void kohonen_patterns_avx2(const NeuronPlanes& neuron, int first,
                                       const std::uint8_t* tile, const MemberCodes& members,
                                       __m256d rate) {
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
            const LetterCoordinates target = letter_coordinates(codes + v * kQuarter);
            x[v] = step_towards(x[v], target.x, rate);
            y[v] = step_towards(y[v], target.y, rate);
            z[v] = step_towards(z[v], target.z, rate);
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
