// The AVX-512 form of the epoch kernels. A tile of the Kohonen update stays
// in registers while every member passes over it, and a block's sums take
// one vector per table and neuron. The term rows are built as in AVX2.

#include "analysis/epochkernelforms.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#define TAVREL_AVX512 __attribute__((target("avx2,avx512f")))

namespace {

static_assert(kLanes == 8, "a block of inputs fills one vector of doubles");
constexpr int kDoubles = 8;
// GCC's unmasked forms of some intrinsics start from an "undefined" vector
// that its own flow analysis then reports as uninitialised; the zero-masked
// forms with every lane chosen are the same instructions without it.
constexpr __mmask8 kEveryLane = 0xff;

// The eight codes at `codes` widened to one per 64-bit lane.
TAVREL_AVX512 inline __m512i eight_codes(const std::uint8_t* codes) {
    long long packed;
    __builtin_memcpy(&packed, codes, sizeof packed);
    return _mm512_maskz_cvtepu8_epi64(kEveryLane, _mm_cvtsi64_si128(packed));
}

// The sums of kBlocks blocks at once: each position's additions depend on
// the last, so more blocks give the processor more of them to overlap.
template <int kTables, int kBlocks>
TAVREL_AVX512 void sum_together(const std::uint8_t* blocks, const int* pattern_of,
                                const double* rows, int length, double* sums) {
    // A row's table t holds neuron 0's four terms, then neuron 1's: one
    // vector, from which lane l takes entry code (neuron 0) and code + 4.
    const __m512i second_neuron = _mm512_set1_epi64(Base::kLetters);
    const std::size_t block_bytes = static_cast<std::size_t>(length) * kLanes;
    __m512d s[kBlocks][kTables][kNeurons];
    TAVREL_UNROLL
    for (int b = 0; b < kBlocks; ++b) {
        TAVREL_UNROLL
        for (int t = 0; t < kTables; ++t) {
            TAVREL_UNROLL
            for (int k = 0; k < kNeurons; ++k) s[b][t][k] = _mm512_setzero_pd();
        }
    }
    for (int i = 0; i < length; ++i) {
        const double* row = rows + pattern_of[i] * (kTables * kTermsPerTable);
        TAVREL_UNROLL
        for (int b = 0; b < kBlocks; ++b) {
            const __m512i first = eight_codes(blocks + b * block_bytes + i * kLanes);
            const __m512i second = _mm512_add_epi64(first, second_neuron);
            TAVREL_UNROLL
            for (int t = 0; t < kTables; ++t) {
                const __m512d terms = _mm512_load_pd(row + t * kTermsPerTable);
                s[b][t][0] = _mm512_add_pd(s[b][t][0],
                                           _mm512_maskz_permutexvar_pd(kEveryLane, first, terms));
                s[b][t][1] = _mm512_add_pd(s[b][t][1],
                                           _mm512_maskz_permutexvar_pd(kEveryLane, second, terms));
            }
        }
    }
    alignas(64) double lanes[kLanes];
    TAVREL_UNROLL
    for (int b = 0; b < kBlocks; ++b) {
        double* block_sums = sums + b * kLanes * kTables * kNeurons;
        TAVREL_UNROLL
        for (int t = 0; t < kTables; ++t) {
            TAVREL_UNROLL
            for (int k = 0; k < kNeurons; ++k) {
                _mm512_store_pd(lanes, s[b][t][k]);
                for (int l = 0; l < kLanes; ++l) {
                    block_sums[(l * kTables + t) * kNeurons + k] = lanes[l];
                }
            }
        }
    }
}

// Two blocks at a time, and a last one alone.
constexpr int kBlocksTogether = 2;

template <int kTables>
TAVREL_AVX512 void sum_blocks_avx512_n(const std::uint8_t* blocks, int count, const int* pattern_of,
                                       const double* rows, int length, double* sums) {
    const std::size_t block_bytes = static_cast<std::size_t>(length) * kLanes;
    const int block_sums = kLanes * kTables * kNeurons;
    int b = 0;
    for (; b + kBlocksTogether <= count; b += kBlocksTogether) {
        sum_together<kTables, kBlocksTogether>(blocks + b * block_bytes, pattern_of, rows, length,
                                               sums + b * block_sums);
    }
    if (b < count) {
        sum_together<kTables, 1>(blocks + b * block_bytes, pattern_of, rows, length,
                                 sums + b * block_sums);
    }
}

void sum_blocks_avx512(const std::uint8_t* blocks, int count, const int* pattern_of,
                       const double* rows, int tables, int length, double* sums) {
    static const SumBlocksOfTables forms[3] = {sum_blocks_avx512_n<1>, sum_blocks_avx512_n<2>,
                                               sum_blocks_avx512_n<3>};
    sum_tables(forms, blocks, count, pattern_of, rows, tables, length, sums);
}

TAVREL_AVX512 inline __m512d step_towards(__m512d n, __m512d target, __m512d rate) {
    return _mm512_add_pd(n, _mm512_mul_pd(rate, _mm512_sub_pd(target, n)));
}

// A letter's coordinates for eight codes at once: lane l of x takes entry
// code l of the four x coordinates, and so on.
struct CornerVectors {
    __m512d x, y, z;
};

// kVectors vectors of each coordinate, up to a whole tile in 24 of the 32
// registers, while every member passes over their patterns.
template <int kVectors>
TAVREL_AVX512 void kohonen_tile_avx512(const NeuronPlanes& neuron, int first,
                                       const std::uint8_t* tile, const MemberCodes& members,
                                       __m512d rate, const CornerVectors& corners) {
    __m512d x[kVectors];
    __m512d y[kVectors];
    __m512d z[kVectors];
    TAVREL_UNROLL
    for (int v = 0; v < kVectors; ++v) {
        x[v] = _mm512_load_pd(neuron.x + first + v * kDoubles);
        y[v] = _mm512_load_pd(neuron.y + first + v * kDoubles);
        z[v] = _mm512_load_pd(neuron.z + first + v * kDoubles);
    }
    for (int m = 0; m < members.count; ++m) {
        const std::uint8_t* codes = tile + members.offsets[m];
        TAVREL_UNROLL
        for (int v = 0; v < kVectors; ++v) {
            const __m512i c = eight_codes(codes + v * kDoubles);
            x[v] = step_towards(x[v], _mm512_maskz_permutexvar_pd(kEveryLane, c, corners.x), rate);
            y[v] = step_towards(y[v], _mm512_maskz_permutexvar_pd(kEveryLane, c, corners.y), rate);
            z[v] = step_towards(z[v], _mm512_maskz_permutexvar_pd(kEveryLane, c, corners.z), rate);
        }
    }
    TAVREL_UNROLL
    for (int v = 0; v < kVectors; ++v) {
        _mm512_store_pd(neuron.x + first + v * kDoubles, x[v]);
        _mm512_store_pd(neuron.y + first + v * kDoubles, y[v]);
        _mm512_store_pd(neuron.z + first + v * kDoubles, z[v]);
    }
}

using KohonenTile = void (*)(const NeuronPlanes& neuron, int first, const std::uint8_t* tile,
                             const MemberCodes& members, __m512d rate,
                             const CornerVectors& corners);

static_assert(kPatternStep == kDoubles, "a tile's width is a whole number of vectors");
constexpr int kTileVectors = kTile / kDoubles;

// The form for a tile of `vectors` vectors: a whole tile, or the last one.
TAVREL_AVX512 KohonenTile tile_form(int vectors) {
    static const KohonenTile forms[kTileVectors] = {kohonen_tile_avx512<1>, kohonen_tile_avx512<2>,
                                                    kohonen_tile_avx512<3>, kohonen_tile_avx512<4>,
                                                    kohonen_tile_avx512<5>, kohonen_tile_avx512<6>,
                                                    kohonen_tile_avx512<7>, kohonen_tile_avx512<8>};
    return forms[vectors - 1];
}

TAVREL_AVX512 void kohonen_avx512(const NeuronPlanes& neuron, const MemberCodes& members,
                                  double rate, int begin, int end) {
    const __m512d r = _mm512_set1_pd(rate);
    const LetterCorners& c = LetterCorners::get();
    constexpr __mmask8 kFour = 0x0f;
    const CornerVectors corners = {_mm512_maskz_loadu_pd(kFour, c.x),
                                   _mm512_maskz_loadu_pd(kFour, c.y),
                                   _mm512_maskz_loadu_pd(kFour, c.z)};
    for (int first = begin; first < end; first += kTile) {
        const int width = end - first < kTile ? end - first : kTile;
        const std::uint8_t* tile =
            members.tiles + static_cast<std::size_t>(first / kTile) * members.rows * kTile;
        tile_form(width / kDoubles)(neuron, first, tile, members, r, corners);
    }
}

}  // namespace

const EpochKernels* avx512_epoch_kernels() {
    if (!__builtin_cpu_supports("avx512f")) return nullptr;
    const EpochKernels* avx2 = avx2_epoch_kernels();
    if (!avx2) return nullptr;
    static const EpochKernels form = {"avx512", sum_blocks_avx512, kohonen_avx512,
                                      avx2->build_rows};
    return &form;
}

#else

const EpochKernels* avx512_epoch_kernels() {
    return nullptr;
}

#endif
