#include "analysis/epochkernels.h"

#include "analysis/check.h"
#include "analysis/distancemodels.h"
#include "analysis/epochkernelforms.h"

namespace {

template <int kTables>
void sum_block_portable(const std::uint8_t* block, const int* pattern_of, const double* rows,
                        int length, double* sums) {
    double s[kLanes][kTables][kNeurons] = {};
    for (int i = 0; i < length; ++i) {
        const double* row = rows + pattern_of[i] * (kTables * kTermsPerTable);
        const std::uint8_t* codes = block + i * kLanes;
        for (int l = 0; l < kLanes; ++l) {
            for (int t = 0; t < kTables; ++t) {
                for (int k = 0; k < kNeurons; ++k) {
                    s[l][t][k] = s[l][t][k] + row[(t * kNeurons + k) * Base::kLetters + codes[l]];
                }
            }
        }
    }
    for (int l = 0; l < kLanes; ++l) {
        for (int t = 0; t < kTables; ++t) {
            for (int k = 0; k < kNeurons; ++k) {
                sums[(l * kTables + t) * kNeurons + k] = s[l][t][k];
            }
        }
    }
}

template <int kTables>
void sum_blocks_portable_n(const std::uint8_t* blocks, int count, const int* pattern_of,
                           const double* rows, int length, double* sums) {
    for (int b = 0; b < count; ++b) {
        sum_block_portable<kTables>(blocks + static_cast<std::size_t>(b) * length * kLanes,
                                    pattern_of, rows, length,
                                    sums + b * kLanes * kTables * kNeurons);
    }
}

void sum_blocks_portable(const std::uint8_t* blocks, int count, const int* pattern_of,
                         const double* rows, int tables, int length, double* sums) {
    static const SumBlocksOfTables forms[3] = {sum_blocks_portable_n<1>, sum_blocks_portable_n<2>,
                                               sum_blocks_portable_n<3>};
    sum_tables(forms, blocks, count, pattern_of, rows, tables, length, sums);
}

void kohonen_portable(const NeuronPlanes& neuron, const MemberCodes& members, double rate,
                      int begin, int end) {
    const LetterCorners& c = LetterCorners::get();
    for (int first = begin; first < end; first += kTile) {
        const int width = end - first < kTile ? end - first : kTile;
        const std::uint8_t* tile =
            members.tiles + static_cast<std::size_t>(first / kTile) * members.rows * kTile;
        double* x = neuron.x + first;
        double* y = neuron.y + first;
        double* z = neuron.z + first;
        for (int m = 0; m < members.count; ++m) {
            const std::uint8_t* codes = tile + members.offsets[m];
            for (int p = 0; p < width; ++p) {
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
        for (int k = 0; k < kNeurons; ++k) {
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

const EpochKernels kPortable = {"portable", sum_blocks_portable, kohonen_portable,
                                build_rows_portable};

}  // namespace

const LetterCorners& LetterCorners::get() {
    static const LetterCorners table = [] {
        LetterCorners c;
        for (int a = 0; a < Base::kLetters; ++a) {
            c.x[a] = Base::corner(a).x;
            c.y[a] = Base::corner(a).y;
            c.z[a] = Base::corner(a).z;
        }
        return c;
    }();
    return table;
}

void sum_tables(const SumBlocksOfTables forms[3], const std::uint8_t* blocks, int count,
                const int* pattern_of, const double* rows, int tables, int length, double* sums) {
    tavrel_assert(tables >= 1 && tables <= 3);
    forms[tables - 1](blocks, count, pattern_of, rows, length, sums);
}

const EpochKernels& portable_epoch_kernels() {
    return kPortable;
}

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
    // Portable first, then every faster form the processor runs.
    static const struct Forms {
        const EpochKernels* list[4] = {};

        Forms() {
            int count = 0;
            list[count++] = &portable_epoch_kernels();
            for (const EpochKernels* form : {avx2_epoch_kernels(), avx512_epoch_kernels()}) {
                if (form) list[count++] = form;
            }
        }
    } forms;
    return forms.list;
}

const EpochKernels& EpochKernels::best() {
    const EpochKernels* const* forms = available();
    const EpochKernels* best = forms[0];
    for (const EpochKernels* const* form = forms; *form; ++form) best = *form;
    return *best;
}
