#include "analysis/epochkernels.h"

#include "analysis/check.h"
#include "analysis/distancemodels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TAVREL_HAVE_AVX2_KERNELS 1
#endif

namespace {

// Patterns updated together by the Kohonen kernels: a chunk of each plane
// stays in the first-level cache while every member passes over it.
constexpr int kKohonenChunk = 512;

// Coordinates of the letter codes, taken from Base itself.
struct Corners {
    double x[Base::kLetters];
    double y[Base::kLetters];
    double z[Base::kLetters];

    Corners() {
        for (int a = 0; a < Base::kLetters; ++a) {
            x[a] = Base::corner(a).x;
            y[a] = Base::corner(a).y;
            z[a] = Base::corner(a).z;
        }
    }
};

const Corners& corners() {
    static const Corners table;
    return table;
}

template <int kTables>
void sum_block_portable_n(const std::uint8_t* block, const int* pattern_of, const double* rows,
                          int length, double* sums) {
    double s[kLanes][kTables][kPairNeurons] = {};
    for (int i = 0; i < length; ++i) {
        const double* row = rows + pattern_of[i] * (kTables * kTermsPerTable);
        const std::uint8_t* codes = block + i * kLanes;
        for (int l = 0; l < kLanes; ++l) {
            for (int t = 0; t < kTables; ++t) {
                for (int k = 0; k < kPairNeurons; ++k) {
                    s[l][t][k] =
                        s[l][t][k] + row[(t * kPairNeurons + k) * Base::kLetters + codes[l]];
                }
            }
        }
    }
    for (int l = 0; l < kLanes; ++l) {
        for (int t = 0; t < kTables; ++t) {
            for (int k = 0; k < kPairNeurons; ++k) {
                sums[(l * kTables + t) * kPairNeurons + k] = s[l][t][k];
            }
        }
    }
}

using SumBlockOfTables = void (*)(const std::uint8_t* block, const int* pattern_of,
                                  const double* rows, int length, double* sums);

// The form of sum_block for one, two or three tables.
void sum_tables(const SumBlockOfTables forms[3], const std::uint8_t* block, const int* pattern_of,
                const double* rows, int tables, int length, double* sums) {
    tavrel_assert(tables >= 1 && tables <= 3);
    forms[tables - 1](block, pattern_of, rows, length, sums);
}

void sum_block_portable(const std::uint8_t* block, const int* pattern_of, const double* rows,
                        int tables, int length, double* sums) {
    static const SumBlockOfTables forms[3] = {sum_block_portable_n<1>, sum_block_portable_n<2>,
                                              sum_block_portable_n<3>};
    sum_tables(forms, block, pattern_of, rows, tables, length, sums);
}

void kohonen_portable(const NeuronPlanes& neuron, const std::uint8_t* const* members, int count,
                      double rate, int begin, int end) {
    const Corners& c = corners();
    double* x = neuron.x;
    double* y = neuron.y;
    double* z = neuron.z;
    for (int chunk = begin; chunk < end; chunk += kKohonenChunk) {
        const int chunk_end = chunk + kKohonenChunk < end ? chunk + kKohonenChunk : end;
        for (int m = 0; m < count; ++m) {
            const std::uint8_t* codes = members[m];
            for (int p = chunk; p < chunk_end; ++p) {
                const int a = codes[p];
                x[p] = x[p] + rate * (c.x[a] - x[p]);
                y[p] = y[p] + rate * (c.y[a] - y[p]);
                z[p] = z[p] + rate * (c.z[a] - z[p]);
            }
        }
    }
}

void build_rows_portable(TermSet set, const NeuronPlanes* neurons, int begin, int end,
                         double* rows) {
    const int tables = tables_of(set);
    const int squared = tables - 1;
    Base letters[Base::kLetters];
    for (int a = 0; a < Base::kLetters; ++a) letters[a] = Base::corner(a);
    for (int p = begin; p < end; ++p) {
        double* row = rows + p * (tables * kTermsPerTable);
        for (int k = 0; k < kPairNeurons; ++k) {
            Base n;
            n.x = neurons[k].x[p];
            n.y = neurons[k].y[p];
            n.z = neurons[k].z[p];
            for (int a = 0; a < Base::kLetters; ++a) {
                const Base& letter = letters[a];
                double* term = row + k * Base::kLetters + a;
                if (set == TermSet::distance_and_squared) term[0] = jc_term(n, letter);
                if (set == TermSet::substitutions_and_squared) {
                    const SubstitutionTerms s = substitution_terms(n, letter);
                    term[0] = s.transition;
                    term[kTermsPerTable] = s.transversion;
                }
                term[squared * kTermsPerTable] = euclidian_term(n, letter);
            }
        }
    }
}

const EpochKernels kPortable = {"portable", sum_block_portable, kohonen_portable,
                                build_rows_portable};

#ifdef TAVREL_HAVE_AVX2_KERNELS

#define TAVREL_AVX2 __attribute__((target("avx2")))

// The permutation indices that pick, for each of the four lanes, the double
// of its letter code out of a row of four: dwords 2c and 2c + 1.
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

template <int kTables>
TAVREL_AVX2 void sum_block_avx2_n(const std::uint8_t* block, const int* pattern_of,
                                  const double* rows, int length, double* sums) {
    __m256d s[kTables][kPairNeurons];
    for (int t = 0; t < kTables; ++t) {
        for (int k = 0; k < kPairNeurons; ++k) s[t][k] = _mm256_setzero_pd();
    }
    for (int i = 0; i < length; ++i) {
        const double* row = rows + pattern_of[i] * (kTables * kTermsPerTable);
        const __m256i indices = letter_indices(block + i * kLanes);
        for (int t = 0; t < kTables; ++t) {
            for (int k = 0; k < kPairNeurons; ++k) {
                s[t][k] = _mm256_add_pd(
                    s[t][k], pick(row + (t * kPairNeurons + k) * Base::kLetters, indices));
            }
        }
    }
    alignas(32) double lanes[kLanes];
    for (int t = 0; t < kTables; ++t) {
        for (int k = 0; k < kPairNeurons; ++k) {
            _mm256_store_pd(lanes, s[t][k]);
            for (int l = 0; l < kLanes; ++l) {
                sums[(l * kTables + t) * kPairNeurons + k] = lanes[l];
            }
        }
    }
}

void sum_block_avx2(const std::uint8_t* block, const int* pattern_of, const double* rows,
                    int tables, int length, double* sums) {
    static const SumBlockOfTables forms[3] = {sum_block_avx2_n<1>, sum_block_avx2_n<2>,
                                              sum_block_avx2_n<3>};
    sum_tables(forms, block, pattern_of, rows, tables, length, sums);
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

// Eight patterns stay in registers while every member passes over them.
constexpr int kKohonenBlock = 8;

TAVREL_AVX2 void kohonen_avx2(const NeuronPlanes& neuron, const std::uint8_t* const* members,
                              int count, double rate, int begin, int end) {
    const __m256d r = _mm256_set1_pd(rate);
    int p = begin;
    for (; p + kKohonenBlock <= end; p += kKohonenBlock) {
        __m256d x0 = _mm256_load_pd(neuron.x + p);
        __m256d x1 = _mm256_load_pd(neuron.x + p + kPatternStep);
        __m256d y0 = _mm256_load_pd(neuron.y + p);
        __m256d y1 = _mm256_load_pd(neuron.y + p + kPatternStep);
        __m256d z0 = _mm256_load_pd(neuron.z + p);
        __m256d z1 = _mm256_load_pd(neuron.z + p + kPatternStep);
        for (int m = 0; m < count; ++m) {
            const std::uint8_t* codes = members[m] + p;
            const LetterCoordinates first = letter_coordinates(codes);
            const LetterCoordinates second = letter_coordinates(codes + kPatternStep);
            x0 = step_towards(x0, first.x, r);
            y0 = step_towards(y0, first.y, r);
            z0 = step_towards(z0, first.z, r);
            x1 = step_towards(x1, second.x, r);
            y1 = step_towards(y1, second.y, r);
            z1 = step_towards(z1, second.z, r);
        }
        _mm256_store_pd(neuron.x + p, x0);
        _mm256_store_pd(neuron.x + p + kPatternStep, x1);
        _mm256_store_pd(neuron.y + p, y0);
        _mm256_store_pd(neuron.y + p + kPatternStep, y1);
        _mm256_store_pd(neuron.z + p, z0);
        _mm256_store_pd(neuron.z + p + kPatternStep, z1);
    }
    for (; p < end; p += kPatternStep) {
        __m256d x = _mm256_load_pd(neuron.x + p);
        __m256d y = _mm256_load_pd(neuron.y + p);
        __m256d z = _mm256_load_pd(neuron.z + p);
        for (int m = 0; m < count; ++m) {
            const LetterCoordinates target = letter_coordinates(members[m] + p);
            x = step_towards(x, target.x, r);
            y = step_towards(y, target.y, r);
            z = step_towards(z, target.z, r);
        }
        _mm256_store_pd(neuron.x + p, x);
        _mm256_store_pd(neuron.y + p, y);
        _mm256_store_pd(neuron.z + p, z);
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

TAVREL_AVX2 void build_rows_avx2(TermSet set, const NeuronPlanes* neurons, int begin, int end,
                                 double* rows) {
    const int tables = tables_of(set);
    const int stride = tables * kTermsPerTable;
    const int squared = tables - 1;
    const Corners& c = corners();
    const __m256d zero = _mm256_setzero_pd();
    const __m256d two = _mm256_set1_pd(2.0);
    const __m256d magnitude = _mm256_castsi256_pd(_mm256_set1_epi64x(0x7fffffffffffffffLL));
    for (int p = begin; p < end; p += kPatternStep) {
        double* row = rows + p * stride;
        for (int k = 0; k < kPairNeurons; ++k) {
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
                // Set in every set, so that no lane is left unset; the
                // substitution terms replace it.
                first[a] = d;
                if (set == TermSet::substitutions_and_squared) {
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
            if (set != TermSet::squared) store_transposed(first, terms, stride);
            if (set == TermSet::substitutions_and_squared) {
                store_transposed(second, terms + kTermsPerTable, stride);
            }
            store_transposed(squares, terms + squared * kTermsPerTable, stride);
        }
    }
}

const EpochKernels kAvx2 = {"avx2", sum_block_avx2, kohonen_avx2, build_rows_avx2};

bool has_avx2() {
    return __builtin_cpu_supports("avx2");
}

#else

bool has_avx2() {
    return false;
}

#endif

}  // namespace

int tables_of(TermSet set) {
    switch (set) {
        case TermSet::squared:
            return 1;
        case TermSet::distance_and_squared:
            return 2;
        case TermSet::substitutions_and_squared:
            return 3;
    }
    return 1;
}

const EpochKernels* const* EpochKernels::available() {
#ifdef TAVREL_HAVE_AVX2_KERNELS
    static const EpochKernels* const with_avx2[] = {&kPortable, &kAvx2, nullptr};
    if (has_avx2()) return with_avx2;
#endif
    static const EpochKernels* const only_portable[] = {&kPortable, nullptr};
    return only_portable;
}

const EpochKernels& EpochKernels::best() {
    const EpochKernels* const* forms = available();
    const EpochKernels* best = forms[0];
    for (const EpochKernels* const* form = forms; *form; ++form) best = *form;
    return *best;
}
