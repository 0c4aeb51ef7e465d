#include "analysis/distancemodels.h"

#include <algorithm>
#include <cmath>

#include "analysis/check.h"
#include "analysis/textscan.h"

namespace {

// Saturated pairs give a large finite distance instead of -log(0).
constexpr double kSmallestLogArgument = 1e-12;

double safe_log(double argument) {
    return std::log(std::max(argument, kSmallestLogArgument));
}

struct SubstitutionSums {
    double transitions = 0.0;
    double transversions = 0.0;
};

// Calls add(neuron's Base, taxon's Base) at positions 0 to length - 1 in
// order.
template <typename Add>
void each_position(const SeqVector* neuron, const SeqVector* taxon, int length, const Add& add) {
    neuron->with_bases([&](const auto& neuron_base) {
        taxon->with_bases([&](const auto& taxon_base) {
            for (int i = 0; i < length; ++i) add(neuron_base(i), taxon_base(i));
        });
    });
}

SubstitutionSums substitution_sums(const SeqVector* neuron, const SeqVector* taxon) {
    SubstitutionSums sums;
    each_position(neuron, taxon, neuron->length, [&sums](const Base& n, const Base& x) {
        const SubstitutionTerms terms = substitution_terms(n, x);
        sums.transversions += terms.transversion;
        sums.transitions += terms.transition;
    });
    return sums;
}

// The Euclidean term of every pair of letters, as the formula gives it for
// their Bases.
struct LetterPairTerms {
    double term[Base::kLetters][Base::kLetters];

    LetterPairTerms() {
        for (int a = 0; a < Base::kLetters; ++a) {
            for (int b = 0; b < Base::kLetters; ++b) {
                term[a][b] = euclidian_term(Base::corner(a), Base::corner(b));
            }
        }
    }
};

// squared_euclidian of two taxa: the same sum, position by position, of
// terms looked up by their letters.
double squared_letter_distance(const SeqVector* first, const SeqVector* second) {
    static const LetterPairTerms pairs;
    const char* a = first->letters.data();
    const char* b = second->letters.data();
    double s = 0.0;
    for (int i = 0; i < second->length; ++i) {
        s = s + pairs.term[Base::code_of_nucleotide(a[i])][Base::code_of_nucleotide(b[i])];
    }
    return s;
}

// The proportions of transitions and of transversions per position.
struct Proportions {
    double p;
    double q;
};

Proportions proportions(double transitions, double transversions, int length) {
    return {transitions / length, transversions / length};
}

}  // namespace

ModelConstants derive_model_constants(const BaseFrequencies& f) {
    const ModelConstants equal;
    ModelConstants derived;
    const double b = 1.0 - (f.a * f.a + f.c * f.c + f.g * f.g + f.t * f.t);
    derived.f81_b = b > 0.0 ? b : equal.f81_b;

    const double purines = f.a + f.g;
    const double pyrimidines = f.c + f.t;
    if (purines > 0.0 && pyrimidines > 0.0) {
        derived.f84_a = f.c * f.t / pyrimidines + f.a * f.g / purines;
        derived.f84_b = f.c * f.t + f.a * f.g;
        derived.f84_c = purines * pyrimidines;
    }
    if (!(purines > 0.0 && pyrimidines > 0.0) || derived.f84_a <= 0.0) {
        derived.f84_a = equal.f84_a;
        derived.f84_b = equal.f84_b;
        derived.f84_c = equal.f84_c;
    }
    return derived;
}

double euclidian_value(double squared_sum) {
    return 0.0 - std::sqrt(squared_sum);
}

double rms_of_euclidian(double euclidian, int length) {
    return std::sqrt(euclidian * euclidian / length);
}

double jc_value(double distance_sum, int length) {
    const double p = distance_sum / length;
    return 0.0 - 0.75 * std::log(1.0 - 1.3333333333333333 * p);
}

double k2p_value(double transitions, double transversions, int length, const ModelConstants&) {
    const auto [p, q] = proportions(transitions, transversions, length);
    const double d = -0.5 * safe_log(1.0 - 2.0 * p - q) - 0.25 * safe_log(1.0 - 2.0 * q);
    return 0.0 - d;
}

double f81_value(double transitions, double transversions, int length,
                 const ModelConstants& constants) {
    const auto [p, q] = proportions(transitions, transversions, length);
    const double b = constants.f81_b;
    const double d = -b * safe_log(1.0 - (p + q) / b);
    return 0.0 - d;
}

double f84_value(double transitions, double transversions, int length,
                 const ModelConstants& constants) {
    const auto [p, q] = proportions(transitions, transversions, length);
    const double a = constants.f84_a;
    const double b = constants.f84_b;
    const double c = constants.f84_c;
    const double d = -2.0 * a * safe_log(1.0 - p / (2.0 * a) - (a - b) * q / (2.0 * a * c)) +
                     2.0 * (a - b - c) * safe_log(1.0 - q / (2.0 * c));
    return 0.0 - d;
}

double squared_euclidian(const SeqVector* neuron, const SeqVector* taxon) {
    if (!neuron->data && !taxon->data) return squared_letter_distance(neuron, taxon);
    double s = 0.0;
    each_position(neuron, taxon, taxon->length,
                  [&s](const Base& n, const Base& x) { s = s + euclidian_term(n, x); });
    return s;
}

double euclidian_distance(const SeqVector* neuron, const SeqVector* taxon, const ModelConstants&) {
    return euclidian_value(squared_euclidian(neuron, taxon));
}

double jc_distance(const SeqVector* neuron, const SeqVector* taxon, const ModelConstants&) {
    const int length = neuron->length;
    double s = 0.0;
    each_position(neuron, taxon, length,
                  [&s](const Base& n, const Base& x) { s = s + jc_term(n, x); });
    return jc_value(s, length);
}

double k2p_distance(const SeqVector* neuron, const SeqVector* taxon,
                    const ModelConstants& constants) {
    const SubstitutionSums s = substitution_sums(neuron, taxon);
    return k2p_value(s.transitions, s.transversions, neuron->length, constants);
}

double f81_distance(const SeqVector* neuron, const SeqVector* taxon,
                    const ModelConstants& constants) {
    const SubstitutionSums s = substitution_sums(neuron, taxon);
    return f81_value(s.transitions, s.transversions, neuron->length, constants);
}

double f84_distance(const SeqVector* neuron, const SeqVector* taxon,
                    const ModelConstants& constants) {
    const SubstitutionSums s = substitution_sums(neuron, taxon);
    return f84_value(s.transitions, s.transversions, neuron->length, constants);
}

namespace {

struct NamedModel {
    const char* name;
    DistanceFunction function;
    DistanceModel model;
};

// clang-format off
const NamedModel kModels[] = {
    {"JC", jc_distance, DistanceModel::jc},
    {"Euclidian", euclidian_distance, DistanceModel::euclidian},
    {"F81", f81_distance, DistanceModel::f81},
    {"F84", f84_distance, DistanceModel::f84},
    {"K2P", k2p_distance, DistanceModel::k2p},
};
// clang-format on

}  // namespace

DistanceFunction find_distance_model(const CharString& name) {
    for (const NamedModel& model : kModels) {
        if (name == CharString(model.name)) return model.function;
    }
    return nullptr;
}

const char* distance_model_name(DistanceModel model) {
    for (const NamedModel& named : kModels) {
        if (named.model == model) return named.name;
    }
    return "?";
}

bool identify_distance_model(DistanceFunction function, DistanceModel* model) {
    for (const NamedModel& named : kModels) {
        if (named.function == function) {
            *model = named.model;
            return true;
        }
    }
    return false;
}

BaseFrequencies count_base_frequencies(SeqVector* const* taxa, int count) {
    long long a = 0;
    long long c = 0;
    long long g = 0;
    long long t = 0;
    for (int i = 0; i < count; ++i) {
        tavrel_assert(!taxa[i]->data);
        // Counted by comparisons, a block at a time in bytes, the loop
        // vectorises; a taxon holds nucleotides only, so the rest are A.
        const char* letters = taxa[i]->letters.data();
        const std::size_t length = taxa[i]->letters.size();
        unsigned taxon_c = 0;
        unsigned taxon_g = 0;
        unsigned taxon_t = 0;
        std::size_t p = 0;
        for (; p + kScanBlock <= length; p += kScanBlock) {
            unsigned char block_c = 0;
            unsigned char block_g = 0;
            unsigned char block_t = 0;
            for (std::size_t q = p; q < p + kScanBlock; ++q) {
                block_c += letters[q] == 'C';
                block_g += letters[q] == 'G';
                block_t += letters[q] == 'T';
            }
            taxon_c += block_c;
            taxon_g += block_g;
            taxon_t += block_t;
        }
        for (; p < length; ++p) {
            taxon_c += letters[p] == 'C';
            taxon_g += letters[p] == 'G';
            taxon_t += letters[p] == 'T';
        }
        a += static_cast<long long>(taxa[i]->letters.size()) - taxon_c - taxon_g - taxon_t;
        c += taxon_c;
        g += taxon_g;
        t += taxon_t;
    }
    BaseFrequencies f;
    const double total = static_cast<double>(a + c + g + t);
    if (total > 0.0) {
        f.a = a / total;
        f.c = c / total;
        f.g = g / total;
        f.t = t / total;
    }
    return f;
}
