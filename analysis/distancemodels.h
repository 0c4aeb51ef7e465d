#pragma once

#include <algorithm>
#include <cmath>

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
inline double base_distance(const Base* a, const Base* b) {
    const double dx = a->x - b->x;
    const double dy = a->y - b->y;
    const double dz = a->z - b->z;
    return 0.0 - std::sqrt(dx * dx + dy * dy + dz * dz);
}

// Every model is a sum over positions of a term that depends only on the
// neuron's Base and the taxon's Base there, followed by a formula of the
// sums. The position loops below and the look-up tables of the fast epoch
// both use these functions, so that both give the same doubles.

// The Euclidean model's term: the squared base distance.
inline double euclidian_term(const Base& neuron, const Base& taxon) {
    const double d = base_distance(&taxon, &neuron);
    return d * d;
}

// The Jukes-Cantor model's term: the base distance itself.
inline double jc_term(const Base& neuron, const Base& taxon) {
    return base_distance(&neuron, &taxon);
}

// Transition and transversion terms of K2P, F81 and F84. In this encoding z
// tells purine from pyrimidine, so a transversion changes z and a
// transition changes x and y only.
struct SubstitutionTerms {
    double transition;
    double transversion;
};

inline SubstitutionTerms substitution_terms(const Base& neuron, const Base& taxon) {
    const double dx = std::fabs(neuron.x - taxon.x);
    const double dy = std::fabs(neuron.y - taxon.y);
    const double dz = std::fabs(neuron.z - taxon.z);
    return {std::max(0.0, (dx + dy - dz) / 2.0), dz};
}

// The formulas of the sums over `length` positions.
double euclidian_value(double squared_sum);
double jc_value(double distance_sum, int length);
double k2p_value(double transitions, double transversions, int length, const ModelConstants&);
double f81_value(double transitions, double transversions, int length,
                 const ModelConstants& constants);
double f84_value(double transitions, double transversions, int length,
                 const ModelConstants& constants);
// The RMS error of a neuron and a taxon from their Euclidean model value:
// the root of the mean squared base distance per position.
double rms_of_euclidian(double euclidian, int length);

// The sum of the Euclidean model's terms: the squared Euclidean distance of
// the two vectors.
double squared_euclidian(const SeqVector* neuron, const SeqVector* taxon);

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

// The five models by the sums they need.
enum class DistanceModel { euclidian, jc, k2p, f81, f84 };

// Which of the five `function` is; false for any other function.
bool identify_distance_model(DistanceFunction function, DistanceModel* model);

// The name the command line and the window use for `model`.
const char* distance_model_name(DistanceModel model);

BaseFrequencies count_base_frequencies(SeqVector* const* taxa, int count);

// Frequencies that leave a model undefined (a run of purines only, say)
// give that model the constants of equal frequencies.
ModelConstants derive_model_constants(const BaseFrequencies& frequencies);
