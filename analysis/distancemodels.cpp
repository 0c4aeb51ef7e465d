#include "analysis/distancemodels.h"

#include <algorithm>
#include <cmath>

namespace {

// Saturated pairs give a large finite distance instead of -log(0).
constexpr double kSmallestLogArgument = 1e-12;

double safe_log(double argument) {
    return std::log(std::max(argument, kSmallestLogArgument));
}

// Transition and transversion proportions between a neuron and a taxon.
// In this encoding z tells purine from pyrimidine, so a transversion
// changes z and a transition changes x and y only.
struct Substitutions {
    double p;  // transitions
    double q;  // transversions
};

Substitutions substitutions(const SeqVector* neuron, const SeqVector* taxon) {
    const Base* n = neuron->data;
    const Base* x = taxon->data;
    const int length = neuron->length;
    double transitions = 0.0;
    double transversions = 0.0;
    for (int i = 0; i < length; ++i) {
        const double dx = std::fabs(n[i].x - x[i].x);
        const double dy = std::fabs(n[i].y - x[i].y);
        const double dz = std::fabs(n[i].z - x[i].z);
        transversions += dz;
        transitions += std::max(0.0, (dx + dy - dz) / 2.0);
    }
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

double base_distance(const Base* a, const Base* b) {
    const double dx = a->x - b->x;
    const double dy = a->y - b->y;
    const double dz = a->z - b->z;
    return 0.0 - std::sqrt(dx * dx + dy * dy + dz * dz);
}

double euclidian_distance(const SeqVector* neuron, const SeqVector* taxon, const ModelConstants&) {
    const Base* n = neuron->data;
    const Base* x = taxon->data;
    const int length = taxon->length;
    double s = 0.0;
    for (int i = 0; i < length; ++i) {
        const double d = base_distance(&x[i], &n[i]);
        s = s + d * d;
    }
    return 0.0 - std::sqrt(s);
}

double jc_distance(const SeqVector* neuron, const SeqVector* taxon, const ModelConstants&) {
    const Base* n = neuron->data;
    const Base* x = taxon->data;
    const int length = neuron->length;
    double s = 0.0;
    for (int i = 0; i < length; ++i) {
        s = s + base_distance(&n[i], &x[i]);
    }
    const double p = s / length;
    return 0.0 - 0.75 * std::log(1.0 - 1.3333333333333333 * p);
}

double k2p_distance(const SeqVector* neuron, const SeqVector* taxon, const ModelConstants&) {
    const Substitutions s = substitutions(neuron, taxon);
    const double d = -0.5 * safe_log(1.0 - 2.0 * s.p - s.q) - 0.25 * safe_log(1.0 - 2.0 * s.q);
    return 0.0 - d;
}

double f81_distance(const SeqVector* neuron, const SeqVector* taxon,
                    const ModelConstants& constants) {
    const Substitutions s = substitutions(neuron, taxon);
    const double b = constants.f81_b;
    const double d = -b * safe_log(1.0 - (s.p + s.q) / b);
    return 0.0 - d;
}

double f84_distance(const SeqVector* neuron, const SeqVector* taxon,
                    const ModelConstants& constants) {
    const Substitutions s = substitutions(neuron, taxon);
    const double a = constants.f84_a;
    const double b = constants.f84_b;
    const double c = constants.f84_c;
    const double d = -2.0 * a * safe_log(1.0 - s.p / (2.0 * a) - (a - b) * s.q / (2.0 * a * c)) +
                     2.0 * (a - b - c) * safe_log(1.0 - s.q / (2.0 * c));
    return 0.0 - d;
}

DistanceFunction find_distance_model(const CharString& name) {
    struct Model {
        const char* name;
        DistanceFunction function;
    };
    static const Model models[] = {
        {"JC", jc_distance},   {"Euclidian", euclidian_distance},
        {"F81", f81_distance}, {"F84", f84_distance},
        {"K2P", k2p_distance},
    };
    for (const Model& model : models) {
        if (name == CharString(model.name)) return model.function;
    }
    return nullptr;
}

BaseFrequencies count_base_frequencies(SeqVector* const* taxa, int count) {
    long long a = 0, c = 0, g = 0, t = 0;
    for (int i = 0; i < count; ++i) {
        const SeqVector* taxon = taxa[i];
        for (int j = 0; j < taxon->length; ++j) {
            const Base& base = taxon->data[j];
            if (base.z == 0.0) {
                (base.x == 0.0 ? a : g) += 1;
            } else {
                (base.y == 1.0 ? c : t) += 1;
            }
        }
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
