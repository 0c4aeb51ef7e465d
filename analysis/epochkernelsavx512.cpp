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

template <int kTables>
TAVREL_AVX512 void sum_block_avx512_n(const std::uint8_t* block, const int* pattern_of,
                                      const double* rows, int length, double* sums) {
    // A row's table t holds neuron 0's four terms, then neuron 1's: one
    // vector, from which lane l takes entry code (neuron 0) and code + 4.
    const __m512i second_neuron = _mm512_set1_epi64(Base::kLetters);
    __m512d s[kTables][kPairNeurons];
    for (int t = 0; t < kTables; ++t) {
        for (int k = 0; k < kPairNeurons; ++k) s[t][k] = _mm512_setzero_pd();
    }
    for (int i = 0; i < length; ++i) {
        const double* row = rows + pattern_of[i] * (kTables * kTermsPerTable);
        const __m512i first = eight_codes(block + i * kLanes);
        const __m512i second = _mm512_add_epi64(first, second_neuron);
        for (int t = 0; t < kTables; ++t) {
            const __m512d terms = _mm512_load_pd(row + t * kTermsPerTable);
            s[t][0] = _mm512_add_pd(s[t][0], _mm512_maskz_permutexvar_pd(kEveryLane, first, terms));
            s[t][1] =
                _mm512_add_pd(s[t][1], _mm512_maskz_permutexvar_pd(kEveryLane, second, terms));
        }
    }
    alignas(64) double lanes[kLanes];
    for (int t = 0; t < kTables; ++t) {
        for (int k = 0; k < kPairNeurons; ++k) {
            _mm512_store_pd(lanes, s[t][k]);
            for (int l = 0; l < kLanes; ++l) sums[(l * kTables + t) * kPairNeurons + k] = lanes[l];
        }
    }
}

void sum_block_avx512(const std::uint8_t* block, const int* pattern_of, const double* rows,
                      int tables, int length, double* sums) {
    static const SumBlockOfTables forms[3] = {sum_block_avx512_n<1>, sum_block_avx512_n<2>,
                                              sum_block_avx512_n<3>};
    sum_tables(forms, block, pattern_of, rows, tables, length, sums);
}

TAVREL_AVX512 inline __m512d step_towards(__m512d n, __m512d target, __m512d rate) {
    return _mm512_add_pd(n, _mm512_mul_pd(rate, _mm512_sub_pd(target, n)));
}

// kVectors vectors of each coordinate, up to a whole tile in 24 of the 32
// registers, while every member passes over their patterns. A letter's
// coordinates are bits of its code: x bit 1, z bit 0 and y their exclusive
// or (A 000, C 011, G 110, T 101).
template <int kVectors>
TAVREL_AVX512 void kohonen_tile_avx512(const NeuronPlanes& neuron, int first,
                                       const std::uint8_t* tile, const MemberCodes& members,
                                       __m512d rate) {
    const __m512i bit_x = _mm512_set1_epi64(2);
    const __m512i bit_z = _mm512_set1_epi64(1);
    const __m512d one = _mm512_set1_pd(1.0);
    __m512d x[kVectors];
    __m512d y[kVectors];
    __m512d z[kVectors];
    for (int v = 0; v < kVectors; ++v) {
        x[v] = _mm512_load_pd(neuron.x + first + v * kDoubles);
        y[v] = _mm512_load_pd(neuron.y + first + v * kDoubles);
        z[v] = _mm512_load_pd(neuron.z + first + v * kDoubles);
    }
    for (int m = 0; m < members.count; ++m) {
        const std::uint8_t* codes = tile + members.offsets[m];
        for (int v = 0; v < kVectors; ++v) {
            const __m512i c = eight_codes(codes + v * kDoubles);
            const __mmask8 in_x = _mm512_test_epi64_mask(c, bit_x);
            const __mmask8 in_z = _mm512_test_epi64_mask(c, bit_z);
            const __mmask8 in_y = static_cast<__mmask8>(in_x ^ in_z);
            x[v] = step_towards(x[v], _mm512_maskz_mov_pd(in_x, one), rate);
            y[v] = step_towards(y[v], _mm512_maskz_mov_pd(in_y, one), rate);
            z[v] = step_towards(z[v], _mm512_maskz_mov_pd(in_z, one), rate);
        }
    }
    for (int v = 0; v < kVectors; ++v) {
        _mm512_store_pd(neuron.x + first + v * kDoubles, x[v]);
        _mm512_store_pd(neuron.y + first + v * kDoubles, y[v]);
        _mm512_store_pd(neuron.z + first + v * kDoubles, z[v]);
    }
}

using KohonenTile = void (*)(const NeuronPlanes& neuron, int first, const std::uint8_t* tile,
                             const MemberCodes& members, __m512d rate);

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
    for (int first = begin; first < end; first += kTile) {
        const int width = end - first < kTile ? end - first : kTile;
        const std::uint8_t* tile =
            members.tiles + static_cast<std::size_t>(first / kTile) * members.rows * kTile;
        tile_form(width / kDoubles)(neuron, first, tile, members, r);
    }
}

}  // namespace

const EpochKernels* avx512_epoch_kernels() {
    if (!__builtin_cpu_supports("avx512f")) return nullptr;
    const EpochKernels* avx2 = avx2_epoch_kernels();
    if (!avx2) return nullptr;
    static const EpochKernels form = {"avx512", sum_block_avx512, kohonen_avx512, avx2->build_rows};
    return &form;
}

#else

const EpochKernels* avx512_epoch_kernels() {
    return nullptr;
}

#endif
