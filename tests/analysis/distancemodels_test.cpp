#include "analysis/distancemodels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "analysis/analysismodule.h"

namespace {

std::unique_ptr<SeqVector> taxon(const std::string& letters) {
    auto v = std::make_unique<SeqVector>();
    v->set_letters(letters);
    return v;
}

// The same letters as Bases of the vector's own, as a neuron holds them.
std::unique_ptr<SeqVector> bases_of(const std::string& letters) {
    auto v = std::make_unique<SeqVector>();
    v->allocate(static_cast<int>(letters.size()));
    for (std::size_t i = 0; i < letters.size(); ++i) v->data[i].set(letters[i]);
    return v;
}

std::unique_ptr<SeqVector> fresh_neuron(int length) {
    auto v = std::make_unique<SeqVector>();
    v->allocate(length);
    AnalysisModule::init_neuron(v.get());
    return v;
}

class DistanceModels : public testing::Test {
protected:
    // The constants of equal base frequencies.
    const ModelConstants equal{};
};

}  // namespace

TEST_F(DistanceModels, BaseDistanceIsZeroOrMinusRootTwo) {
    Base a, c;
    c.set('C');
    EXPECT_EQ(base_distance(&a, &a), 0.0);
    EXPECT_DOUBLE_EQ(base_distance(&a, &c), -1.4142135623730951);
}

TEST_F(DistanceModels, FreshNeuronValues) {
    for (int length : {1, 4, 9}) {
        auto neuron = fresh_neuron(length);
        auto x = taxon(std::string(length, 'G'));
        EXPECT_DOUBLE_EQ(euclidian_distance(neuron.get(), x.get(), equal),
                         -std::sqrt(0.75 * length));
        EXPECT_DOUBLE_EQ(jc_distance(neuron.get(), x.get(), equal), -0.5757388144430713);
    }
    auto neuron = fresh_neuron(4);
    auto x = taxon("ACGT");
    EXPECT_DOUBLE_EQ(euclidian_distance(neuron.get(), x.get(), equal), -1.7320508075688772);
}

TEST_F(DistanceModels, EveryModelGivesZeroForATaxonAndItself) {
    auto x = taxon("ACGTTGCA");
    for (DistanceFunction model :
         {euclidian_distance, jc_distance, f81_distance, f84_distance, k2p_distance}) {
        EXPECT_DOUBLE_EQ(model(x.get(), x.get(), equal), 0.0);
    }
}

TEST_F(DistanceModels, TaxaDifferingEverywhere) {
    auto a = taxon("AAAA");
    auto c = taxon("CCCC");
    EXPECT_DOUBLE_EQ(euclidian_distance(a.get(), c.get(), equal), -std::sqrt(2.0 * 4));
    EXPECT_DOUBLE_EQ(jc_distance(a.get(), c.get(), equal), -0.7948043379590674);
}

// One transition (A-G) and one transversion (A-C) in four positions:
// P = Q = 0.25.
TEST_F(DistanceModels, SubstitutionModelsOnTransitionsAndTransversions) {
    auto a = taxon("AAAA");
    auto b = taxon("GCAA");
    const double p = 0.25, q = 0.25;
    const double k2p = -0.5 * std::log(1 - 2 * p - q) - 0.25 * std::log(1 - 2 * q);
    EXPECT_DOUBLE_EQ(k2p_distance(a.get(), b.get(), equal), -k2p);
    const double f81 = -0.75 * std::log(1 - (p + q) / 0.75);
    EXPECT_DOUBLE_EQ(f81_distance(a.get(), b.get(), equal), -f81);
    // With equal base frequencies F84 is K2P.
    EXPECT_DOUBLE_EQ(f84_distance(a.get(), b.get(), equal), -k2p);
}

TEST_F(DistanceModels, TransitionsCountOnlyWhereZStaysPut) {
    // A-G and C-T are transitions, the other four pairs transversions.
    struct Case {
        const char* x;
        const char* y;
        double p, q;
    };
    const Case cases[] = {{"A", "G", 1, 0}, {"C", "T", 1, 0}, {"A", "C", 0, 1},
                          {"A", "T", 0, 1}, {"G", "C", 0, 1}, {"G", "T", 0, 1}};
    for (const Case& c : cases) {
        auto x = taxon(c.x);
        auto y = taxon(c.y);
        // 1 - 2P - Q and 1 - 2Q: both saturate or only the first does.
        const double expected = 0.5 * std::log(std::max(1 - 2 * c.p - c.q, 1e-12)) +
                                0.25 * std::log(std::max(1 - 2 * c.q, 1e-12));
        EXPECT_DOUBLE_EQ(k2p_distance(x.get(), y.get(), equal), expected) << c.x << c.y;
    }
}

TEST_F(DistanceModels, ATaxonsLettersGiveTheSameValuesAsItsBases) {
    const auto letters = taxon("ACGTTGCAAG");
    const auto bases = bases_of("ACGTTGCAAG");
    EXPECT_EQ(letters->data, nullptr);
    for (int i = 0; i < letters->length; ++i) {
        EXPECT_EQ(letters->base(i).x, bases->data[i].x) << i;
        EXPECT_EQ(letters->base(i).y, bases->data[i].y) << i;
        EXPECT_EQ(letters->base(i).z, bases->data[i].z) << i;
    }
    auto neuron = fresh_neuron(10);
    neuron->data[3].x = 0.125;
    neuron->data[7].z = -0.75;
    const auto other = taxon("TTGTAGCACG");
    for (DistanceFunction model :
         {euclidian_distance, jc_distance, f81_distance, f84_distance, k2p_distance}) {
        EXPECT_EQ(model(neuron.get(), letters.get(), equal),
                  model(neuron.get(), bases.get(), equal));
        EXPECT_EQ(model(other.get(), letters.get(), equal), model(other.get(), bases.get(), equal));
    }
}

TEST_F(DistanceModels, BaseFrequenciesAreCountedOverAllTaxa) {
    auto a = taxon("AAAA");
    auto b = taxon("GCAT");
    SeqVector* taxa[] = {a.get(), b.get()};
    const BaseFrequencies f = count_base_frequencies(taxa, 2);
    EXPECT_DOUBLE_EQ(f.a, 5.0 / 8);
    EXPECT_DOUBLE_EQ(f.c, 1.0 / 8);
    EXPECT_DOUBLE_EQ(f.g, 1.0 / 8);
    EXPECT_DOUBLE_EQ(f.t, 1.0 / 8);
    // A long taxon is counted in blocks, one letter filling some of them.
    auto c = taxon(std::string(130, 'C') + std::string(41, 'G') + std::string(29, 'A'));
    SeqVector* more[] = {a.get(), b.get(), c.get()};
    const BaseFrequencies g = count_base_frequencies(more, 3);
    EXPECT_DOUBLE_EQ(g.a, 34.0 / 208);
    EXPECT_DOUBLE_EQ(g.c, 131.0 / 208);
    EXPECT_DOUBLE_EQ(g.g, 42.0 / 208);
    EXPECT_DOUBLE_EQ(g.t, 1.0 / 208);
}

TEST_F(DistanceModels, FrequenciesChangeF81AndF84) {
    auto a = taxon("AAAA");
    auto b = taxon("GCAA");  // P = Q = 0.25
    BaseFrequencies f;
    f.a = 0.1;
    f.c = 0.2;
    f.g = 0.3;
    f.t = 0.4;
    const ModelConstants k = derive_model_constants(f);
    const double bf = 1 - (0.01 + 0.04 + 0.09 + 0.16);
    EXPECT_DOUBLE_EQ(f81_distance(a.get(), b.get(), k), bf * std::log(1 - 0.5 / bf));

    const double pr = f.a + f.g, py = f.c + f.t;
    const double A = f.c * f.t / py + f.a * f.g / pr, B = f.c * f.t + f.a * f.g, C = pr * py;
    const double d = -2 * A * std::log(1 - 0.25 / (2 * A) - (A - B) * 0.25 / (2 * A * C)) +
                     2 * (A - B - C) * std::log(1 - 0.25 / (2 * C));
    EXPECT_DOUBLE_EQ(f84_distance(a.get(), b.get(), k), -d);
    EXPECT_NE(f84_distance(a.get(), b.get(), k), k2p_distance(a.get(), b.get(), k));
}

TEST_F(DistanceModels, UndefinedFrequenciesFallBackToEqualOnes) {
    auto a = taxon("AAGG");
    auto b = taxon("AAGA");
    SeqVector* purines_only[] = {a.get(), b.get()};
    const ModelConstants k = derive_model_constants(count_base_frequencies(purines_only, 2));
    const double f84 = f84_distance(a.get(), b.get(), k);
    EXPECT_TRUE(std::isfinite(f84));
    EXPECT_DOUBLE_EQ(f84, k2p_distance(a.get(), b.get(), k));
}

TEST_F(DistanceModels, LargerDifferencesGiveSmallerValues) {
    auto ref = taxon("ACGTACGT");
    auto near = taxon("ACGTACGA");
    auto far = taxon("TGCATGCA");
    for (DistanceFunction model :
         {euclidian_distance, jc_distance, f81_distance, f84_distance, k2p_distance}) {
        const double n = model(ref.get(), near.get(), equal);
        const double f = model(ref.get(), far.get(), equal);
        EXPECT_LT(n, 0.0);
        EXPECT_LT(f, n);
        EXPECT_TRUE(std::isfinite(f));
    }
}

TEST_F(DistanceModels, NamesAreFoundExactly) {
    EXPECT_EQ(find_distance_model("JC"), jc_distance);
    EXPECT_EQ(find_distance_model("Euclidian"), euclidian_distance);
    EXPECT_EQ(find_distance_model("F81"), f81_distance);
    EXPECT_EQ(find_distance_model("F84"), f84_distance);
    EXPECT_EQ(find_distance_model("K2P"), k2p_distance);
    for (const char* wrong : {"jc", "Euclidean", "euclidian", "k2p", "", "JC "}) {
        EXPECT_EQ(find_distance_model(wrong), nullptr) << wrong;
    }
}
