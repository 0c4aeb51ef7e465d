#pragma once

#include "analysis/seqvector.h"

// A distance model compares a neuron with a taxon. Every model gives the
// negated distance, zero or below, so larger differences give smaller values.
using DistanceFunction = double (*)(const SeqVector* neuron, const SeqVector* taxon);

// 0 minus the Euclidean distance of two points: -sqrt(2) for two different
// nucleotides.
double base_distance(const Base* a, const Base* b);

double euclidian_distance(const SeqVector* neuron, const SeqVector* taxon);
double jc_distance(const SeqVector* neuron, const SeqVector* taxon);
double f81_distance(const SeqVector* neuron, const SeqVector* taxon);
double f84_distance(const SeqVector* neuron, const SeqVector* taxon);
double k2p_distance(const SeqVector* neuron, const SeqVector* taxon);

// Looks a model up by the name the command line and the window use
// ("JC", "Euclidian", "F81", "F84", "K2P"); null for any other name.
DistanceFunction find_distance_model(const CharString& name);

// Proportions of A, C, G and T over a run's taxa, which F81 and F84 use.
struct BaseFrequencies {
    double a = 0.25;
    double c = 0.25;
    double g = 0.25;
    double t = 0.25;
};

BaseFrequencies count_base_frequencies(SeqVector* const* taxa, int count);

// Takes the frequencies for the models that need them. Frequencies that
// leave a model undefined (a run of purines only, say) fall back to equal
// frequencies for that model.
void set_base_frequencies(const BaseFrequencies& frequencies);
