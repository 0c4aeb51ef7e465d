#pragma once

// The forms of the epoch kernels, each in a source of its own so that the
// instructions of a form are compiled only into its functions.

#include "analysis/epochkernels.h"

// Unrolls a loop over a kernel's vectors whole, so that each one stays in a
// register instead of going through memory at every step.
#define TAVREL_UNROLL _Pragma("GCC unroll 16")

// The coordinates of the letter codes, taken from Base itself.
struct LetterCorners {
    double x[Base::kLetters];
    double y[Base::kLetters];
    double z[Base::kLetters];

    static const LetterCorners& get();
};

using SumBlocksOfTables = void (*)(const std::uint8_t* blocks, int count, const int* pattern_of,
                                   const double* rows, int length, double* sums);

// Calls the form of sum_blocks for one, two or three tables.
void sum_tables(const SumBlocksOfTables forms[3], const std::uint8_t* blocks, int count,
                const int* pattern_of, const double* rows, int tables, int length, double* sums);

const EpochKernels& portable_epoch_kernels();
// Null where the compiler or the processor lacks the instructions.
const EpochKernels* avx2_epoch_kernels();
const EpochKernels* avx512_epoch_kernels();
