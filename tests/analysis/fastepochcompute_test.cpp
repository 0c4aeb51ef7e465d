// The fast epochs against the formulas themselves: every model value, RMS
// error and Kohonen step must be the same double, bit for bit, in every form
// of the kernels and with any number of threads, and so must the Kohonen
// update that processes share in parts.

#include "analysis/fastepochcompute.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "analysis/analysismodule.h"
#include "analysis/epochkernels.h"
#include "analysis/straightforwardepochcompute.h"
#include "analysis/workerpool.h"
#include "epochsupport.h"

namespace {

const DistanceFunction kModels[] = {euclidian_distance, jc_distance, f81_distance, f84_distance,
                                    k2p_distance};
const char* const kModelNames[] = {"Euclidian", "JC", "F81", "F84", "K2P"};

// A neuron anywhere around the cube, as the Kohonen steps may take it.
void randomise(SeqVector* neuron, int length, std::mt19937& random) {
    std::uniform_real_distribution<double> coordinate(-0.5, 1.5);
    neuron->allocate(length);
    for (int i = 0; i < length; ++i) {
        neuron->data[i].x = coordinate(random);
        neuron->data[i].y = coordinate(random);
        neuron->data[i].z = coordinate(random);
    }
}

void expect_same_neurons(const EpochCompute& fast, const EpochCompute& plain, const char* what) {
    for (int k = 0; k < 2; ++k) {
        SeqVector a;
        SeqVector b;
        fast.copy_neuron(k, &a);
        plain.copy_neuron(k, &b);
        ASSERT_EQ(a.length, b.length);
        int differing = 0;
        for (int i = 0; i < a.length; ++i) {
            differing += bits(a.data[i].x) != bits(b.data[i].x) ||
                         bits(a.data[i].y) != bits(b.data[i].y) ||
                         bits(a.data[i].z) != bits(b.data[i].z);
        }
        EXPECT_EQ(differing, 0) << what << ": neuron " << k;
    }
}

// The model values of every classified input and the RMS errors against
// both neurons, fast and plain.
void expect_same_values(EpochCompute& fast, EpochCompute& plain, int count, const char* what) {
    std::vector<double> fast_values(2 * count);
    std::vector<double> plain_values(2 * count);
    fast.model_values(fast_values.data());
    plain.model_values(plain_values.data());
    int differing = 0;
    for (int v = 0; v < 2 * count; ++v) differing += bits(fast_values[v]) != bits(plain_values[v]);
    EXPECT_EQ(differing, 0) << what << ": model values";
    differing = 0;
    for (int j = 0; j < count; ++j) {
        for (int k = 0; k < 2; ++k) {
            differing += bits(fast.rms_error(j, k)) != bits(plain.rms_error(j, k));
        }
    }
    EXPECT_EQ(differing, 0) << what << ": RMS errors";
}

struct Pairing {
    std::unique_ptr<EpochCompute> fast;
    std::unique_ptr<EpochCompute> plain;
};

// A fast and a plain computation of the same step on the same neurons.
Pairing start_pair(const EpochSetup& setup, const std::vector<SeqVector*>& group,
                   const std::vector<int>& classified, std::mt19937& random) {
    Pairing pair{make_fast_epoch_compute(setup), make_straightforward_epoch_compute(setup)};
    const int n = static_cast<int>(group.size());
    const int length = group[0]->length;
    for (EpochCompute* c : {pair.fast.get(), pair.plain.get()}) {
        c->start_step(group.data(), n, classified.data(), static_cast<int>(classified.size()));
    }
    for (int k = 0; k < 2; ++k) {
        // Positions of one site pattern share their coordinates in the fast
        // form: read the neuron back from it before giving it to the plain
        // one.
        SeqVector neuron;
        randomise(&neuron, length, random);
        pair.fast->set_neuron(k, neuron);
        SeqVector shared;
        pair.fast->copy_neuron(k, &shared);
        pair.plain->set_neuron(k, shared);
    }
    return pair;
}

EpochSetup setup_for(DistanceFunction model, const std::vector<SeqVector*>& taxa, double rate,
                     const EpochKernels* kernels, WorkerPool* pool) {
    EpochSetup setup;
    setup.model = model;
    setup.constants = derive_model_constants(count_base_frequencies(
        const_cast<SeqVector**>(taxa.data()), static_cast<int>(taxa.size())));
    setup.kohonen_rate = rate;
    setup.taxa = static_cast<int>(taxa.size());
    setup.kernels = kernels;
    setup.pool = pool;
    return setup;
}

}  // namespace

TEST(FastEpoch, ModelValuesRmsErrorsAndKohonenStepsAreTheFormulasDoubles) {
    std::mt19937 random(7);
    WorkerPool pool(4);
    struct Shape {
        int taxa;
        int length;
        bool threads;
        int min_letters;
    };
    // Lengths that are no multiple of the vector width, groups smaller than
    // a block of inputs, groups large enough for the threads to share, and
    // one whose columns all differ.
    const Shape shapes[] = {{3, 1, false, 1},
                            {5, 7, false, 1},
                            {9, 61, false, 1},
                            {40, 2003, true, 1},
                            {150, 700, true, 2}};
    for (const EpochKernels* const* form = EpochKernels::available(); *form; ++form) {
        for (std::size_t m = 0; m < std::size(kModels); ++m) {
            for (const Shape& shape : shapes) {
                SCOPED_TRACE(std::string((*form)->name) + " " + kModelNames[m] + " " +
                             std::to_string(shape.taxa) + " x " + std::to_string(shape.length));
                AnalysisModule builder;
                const std::vector<SeqVector*> taxa =
                    random_taxa(builder, shape.taxa, shape.length, random, shape.min_letters);
                const EpochSetup setup = setup_for(kModels[m], taxa, 0.04 + 0.3 * (m % 2), *form,
                                                   shape.threads ? &pool : nullptr);
                // Every input, and every other one as one process of two sees them.
                std::vector<int> all;
                std::vector<int> odd;
                for (int i = 0; i < shape.taxa; ++i) {
                    all.push_back(i);
                    if (i % 2) odd.push_back(i);
                }
                for (const std::vector<int>* classified : {&all, &odd}) {
                    Pairing pair = start_pair(setup, taxa, *classified, random);
                    const int count = static_cast<int>(classified->size());
                    expect_same_values(*pair.fast, *pair.plain, count, "fresh");
                    // A few epochs of updates with members in random order.
                    for (int epoch = 0; epoch < 3; ++epoch) {
                        std::vector<SeqVector*> order = taxa;
                        std::shuffle(order.begin(), order.end(), random);
                        const int cut = static_cast<int>(random() % (order.size() + 1));
                        SeqVector* const* members[2] = {order.data(), order.data() + cut};
                        const int counts[2] = {cut, static_cast<int>(order.size()) - cut};
                        pair.fast->kohonen_update(members, counts);
                        pair.plain->kohonen_update(members, counts);
                        expect_same_neurons(*pair.fast, *pair.plain, "after an update");
                        expect_same_values(*pair.fast, *pair.plain, count, "after an update");
                    }
                    pair.fast->reset_neurons();
                    pair.plain->reset_neurons();
                    expect_same_neurons(*pair.fast, *pair.plain, "reset");
                    expect_same_values(*pair.fast, *pair.plain, count, "reset");
                }
            }
        }
    }
}

TEST(FastEpoch, KohonenUpdateInPartsEqualsTheWholeUpdate) {
    // Processes that share an epoch each update their part and take the
    // others'; the result must be the whole update, in either form.
    std::mt19937 random(11);
    AnalysisModule builder;
    const std::vector<SeqVector*> taxa = random_taxa(builder, 12, 157, random);
    std::vector<int> all;
    for (int i = 0; i < 12; ++i) all.push_back(i);
    for (const int parts : {1, 2, 3, 5}) {
        SCOPED_TRACE(std::to_string(parts) + " parts");
        const EpochSetup setup = setup_for(euclidian_distance, taxa, 0.1, nullptr, nullptr);
        for (const EpochComputeFactory make :
             {make_fast_epoch_compute, make_straightforward_epoch_compute}) {
            std::unique_ptr<EpochCompute> whole = make(setup);
            std::vector<std::unique_ptr<EpochCompute>> pieces;
            for (int q = 0; q < parts; ++q) pieces.push_back(make(setup));
            for (EpochCompute* c : {whole.get()}) c->start_step(taxa.data(), 12, all.data(), 12);
            for (auto& c : pieces) c->start_step(taxa.data(), 12, all.data(), 12);
            SeqVector* const* members[2] = {taxa.data(), taxa.data() + 5};
            const int counts[2] = {5, 7};
            whole->kohonen_update(members, counts);
            std::vector<double> gathered;
            for (int q = 0; q < parts; ++q) {
                std::vector<double> part;
                pieces[q]->kohonen_update_part(members, counts, q, parts, &part);
                EXPECT_EQ(static_cast<int>(part.size()), pieces[q]->part_size(q, parts));
                gathered.insert(gathered.end(), part.begin(), part.end());
            }
            for (auto& c : pieces) {
                c->unpack_parts(gathered.data(), parts);
                expect_same_neurons(*c, *whole, "parts");
                expect_same_values(*c, *whole, 12, "parts");
            }
        }
    }
}
