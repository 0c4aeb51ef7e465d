#pragma once

#include <cstdint>

#include "analysis/neurons.h"
#include "analysis/seqvector.h"

// The hot loops of a fast epoch, in portable C++ and, where the processor
// has them, in AVX2 and in AVX-512. Every form performs the same IEEE
// operations on every value in the same order, so every form gives the
// same doubles.
//
// Data they share:
// - A block of input codes holds the letter codes of kLanes inputs position
//   by position: byte i * kLanes + l is input l's code at position i.
// - A row of terms per site pattern: `tables` term tables, each the term of
//   neuron 0 for the letters A, C, G, T, then of neuron 1:
//   row[(t * kNeurons + k) * Base::kLetters + code].
// - A neuron as three planes of coordinates, one entry per site pattern.
// - The group's codes per pattern in tiles of kTile patterns (MemberCodes):
//   what the Kohonen update of one tile reads lies together, whatever the
//   members and their order.

constexpr int kLanes = 8;
constexpr int kTermsPerTable = kNeurons * Base::kLetters;
// Planes and term rows are padded to whole groups of this many patterns.
constexpr int kPatternStep = 8;
// Patterns of a code tile: one cache line of codes per taxon.
constexpr int kTile = 64;

// Which term tables a model's sums need; the squared base distance comes
// last in every set, for the RMS error.
enum class TermSet {
    squared,                    // Euclidean
    distance_and_squared,       // Jukes-Cantor
    substitutions_and_squared,  // K2P, F81, F84: transitions, transversions
};

int tables_of(TermSet set);

struct NeuronPlanes {
    double* x;
    double* y;
    double* z;
};

// The codes of a neuron's members. Tile t holds kTile codes of each of the
// group's `rows` taxa, row after row: taxon r's code at pattern
// t * kTile + p is tiles[(t * rows + r) * kTile + p]. offsets[m] is
// r * kTile for member m's row r, in member order.
struct MemberCodes {
    const std::uint8_t* tiles;
    int rows;
    const int* offsets;
    int count;
};

struct EpochKernels {
    const char* name;
    // Sums over positions 0 to length - 1 of the inputs of `count` blocks,
    // block b at blocks + b * length * kLanes: for lane l, table t and neuron
    // k, sums[((b * kLanes + l) * tables + t) * kNeurons + k], each added
    // position by position from 0.0.
    void (*sum_blocks)(const std::uint8_t* blocks, int count, const int* pattern_of,
                       const double* rows, int tables, int length, double* sums);
    // Moves the neuron's patterns [begin, end) towards each member in turn,
    // coordinate by coordinate: n + rate * (x - n). `begin` is the start of
    // a tile, `end` a multiple of kPatternStep.
    void (*kohonen)(const NeuronPlanes& neuron, const MemberCodes& members, double rate, int begin,
                    int end);
    // The rows of patterns [begin, end), multiples of kPatternStep, from
    // both neurons.
    void (*build_rows)(TermSet set, const NeuronPlanes* neurons, int begin, int end, double* rows);

    // The fastest form this processor runs.
    static const EpochKernels& best();
    // Every form this processor runs, portable first; null-terminated.
    static const EpochKernels* const* available();
};
