#pragma once

#include "analysis/seqvector.h"

// Proportions of A, C, G and T over a run's taxa, which F81 and F84 use.
struct BaseFrequencies {
    double a = 0.25;
    double c = 0.25;
    double g = 0.25;
    double t = 0.25;
};

// The constants of F81 and F84, derived from a run's base frequencies; the
// default values are those of equal frequencies. Each run keeps its own.
struct ModelConstants {
    double f81_b = 0.75;
    double f84_a = 0.25;
    double f84_b = 0.125;
    double f84_c = 0.25;
};

// A distance model compares a neuron with a taxon. Every model gives the
// negated distance, zero or below, so larger differences give smaller values.
// Only F81 and F84 read the run's constants.
using DistanceFunction = double (*)(const SeqVector* neuron, const SeqVector* taxon,
                                    const ModelConstants& constants);

// 0 minus the Euclidean distance of two points: -sqrt(2) for two different
// nucleotides.
double base_distance(const Base* a, const Base* b);

double euclidian_distance(const SeqVector* neuron, const SeqVector* taxon,
                          const ModelConstants& constants);
double jc_distance(const SeqVector* neuron, const SeqVector* taxon,
                   const ModelConstants& constants);
double f81_distance(const SeqVector* neuron, const SeqVector* taxon,
                    const ModelConstants& constants);
double f84_distance(const SeqVector* neuron, const SeqVector* taxon,
                    const ModelConstants& constants);
double k2p_distance(const SeqVector* neuron, const SeqVector* taxon,
                    const ModelConstants& constants);

// Looks a model up by the name the command line and the window use
// ("JC", "Euclidian", "F81", "F84", "K2P"); null for any other name.
DistanceFunction find_distance_model(const CharString& name);

BaseFrequencies count_base_frequencies(SeqVector* const* taxa, int count);

// Frequencies that leave a model undefined (a run of purines only, say)
// give that model the constants of equal frequencies.
ModelConstants derive_model_constants(const BaseFrequencies& frequencies);
