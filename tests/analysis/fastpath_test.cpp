// The fast epochs against the formulas themselves: every model value, RMS
// error and Kohonen step must be the same double, bit for bit, in every form
// of the kernels and with any number of threads; whole runs must write the
// same lines.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "analysis/alignedarray.h"
#include "analysis/analysisfrontend.h"
#include "analysis/analysismodule.h"
#include "analysis/epochkernels.h"
#include "analysis/sitepatterns.h"
#include "analysis/straightforwardepochcompute.h"
#include "analysis/workerpool.h"
#include "testsupport.h"

namespace {

const DistanceFunction kModels[] = {euclidian_distance, jc_distance, f81_distance, f84_distance,
                                    k2p_distance};
const char* const kModelNames[] = {"Euclidian", "JC", "F81", "F84", "K2P"};

std::uint64_t bits(double value) {
    std::uint64_t b;
    std::memcpy(&b, &value, sizeof b);
    return b;
}

// Random taxa of a run (ids 0 to n - 1), each column drawn from
// `min_letters` to 4 letters. Columns drawn from one or two letters only
// repeat often, so the site patterns are shared by many positions.
std::vector<SeqVector*> random_taxa(AnalysisModule& builder, int n, int length,
                                    std::mt19937& random, int min_letters = 1) {
    SequenceData data;
    data.num_seqs = n;
    data.seq_len = length;
    const char letters[] = "ACGT";
    std::vector<int> column_letters(length);
    for (int& count : column_letters) {
        count = min_letters + static_cast<int>(random() % (5 - min_letters));
    }
    for (int t = 0; t < n; ++t) {
        data.names.emplace_back(("t" + std::to_string(t)).c_str());
        std::string sequence(length, 'A');
        for (int i = 0; i < length; ++i) sequence[i] = letters[random() % column_letters[i]];
        data.sequences.push_back(sequence);
    }
    return builder.build_vectors(data);
}

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

TEST(EpochKernels, KohonenStepsOfEveryTileWidthAreTheFormulas) {
    // Ranges that end in every width of a last tile, after whole tiles or
    // alone, against n + rate * (x - n) member by member.
    std::mt19937 random(5);
    constexpr int kRows = 6;
    constexpr int kPatterns = 3 * kTile;
    std::vector<std::uint8_t> tiles(static_cast<std::size_t>(kPatterns) * kRows);
    for (std::uint8_t& code : tiles) code = static_cast<std::uint8_t>(random() % 4);
    // Members in an order of their own, one of them twice.
    const std::vector<int> rows = {4, 0, 5, 2, 0};
    std::vector<int> offsets;
    for (int r : rows) offsets.push_back(r * kTile);
    const MemberCodes members = {tiles.data(), kRows, offsets.data(),
                                 static_cast<int>(offsets.size())};
    const double rate = 0.3;
    std::uniform_real_distribution<double> coordinate(-0.5, 1.5);
    for (const EpochKernels* const* form = EpochKernels::available(); *form; ++form) {
        for (const int begin : {0, kTile}) {
            for (int end = begin + kPatternStep; end <= begin + 2 * kTile; end += kPatternStep) {
                SCOPED_TRACE(std::string((*form)->name) + " [" + std::to_string(begin) + ", " +
                             std::to_string(end) + ")");
                AlignedArray<double> planes;
                planes.reserve(3 * kPatterns);
                for (int v = 0; v < 3 * kPatterns; ++v) planes[v] = coordinate(random);
                std::vector<double> expected(planes.data(), planes.data() + 3 * kPatterns);
                for (int r : rows) {
                    for (int p = begin; p < end; ++p) {
                        const std::uint8_t code =
                            tiles[(static_cast<std::size_t>(p / kTile) * kRows + r) * kTile +
                                  p % kTile];
                        const Base& letter = Base::corner(code);
                        const double target[3] = {letter.x, letter.y, letter.z};
                        for (int c = 0; c < 3; ++c) {
                            double& n = expected[c * kPatterns + p];
                            n = n + rate * (target[c] - n);
                        }
                    }
                }
                const NeuronPlanes neuron = {planes.data(), planes.data() + kPatterns,
                                             planes.data() + 2 * kPatterns};
                (*form)->kohonen(neuron, members, rate, begin, end);
                int differing = 0;
                for (int v = 0; v < 3 * kPatterns; ++v) {
                    differing += bits(planes[v]) != bits(expected[v]);
                }
                EXPECT_EQ(differing, 0);
            }
        }
    }
}

TEST(SitePatterns, EqualColumnsShareOnePatternInOrderOfFirstPosition) {
    AnalysisModule builder;
    SequenceData data;
    data.num_seqs = 3;
    data.seq_len = 6;
    data.names = {CharString("a"), CharString("b"), CharString("c")};
    // Columns: AAC, CCA, AAC, GGG, CCA, AAT.
    data.sequences = {"ACAGCA", "ACAGCA", "CACGAT"};
    std::vector<SeqVector*> taxa = builder.build_vectors(data);
    SitePatterns patterns;
    patterns.find(taxa.data(), 3, 6);
    ASSERT_EQ(patterns.count(), 4);
    EXPECT_EQ(std::vector<int>(patterns.pattern_of(), patterns.pattern_of() + 6),
              (std::vector<int>{0, 1, 0, 2, 1, 3}));
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(patterns.pattern_of()[patterns.first_position(p)], p);
    }
    // The columns of a subgroup repeat more.
    patterns.find(taxa.data(), 2, 6);
    EXPECT_EQ(patterns.count(), 3);
}

TEST(SitePatterns, ColumnsWhoseHashesCollideAreStillToldApart) {
    // Few hash bits make distinct columns collide: the patterns must still
    // be the columns' own, numbered in order of their first position.
    std::mt19937 random(3);
    WorkerPool pool(4);
    struct Shape {
        int taxa;
        int length;
        int min_letters;
    };
    // Repeated columns and all distinct ones, groups with more positions
    // than columns they can make, groups around the largest whose columns
    // are keyed whole, and groups the threads share.
    const Shape shapes[] = {{2, 300, 1},  {4, 9, 1},     {7, 300, 1},   {32, 500, 2},
                            {33, 500, 2}, {40, 2003, 1}, {60, 1500, 2}, {20, 5000, 1}};
    for (const Shape& shape : shapes) {
        AnalysisModule builder;
        const std::vector<SeqVector*> taxa =
            random_taxa(builder, shape.taxa, shape.length, random, shape.min_letters);
        // The numbering by the columns themselves.
        std::map<std::string, int> pattern_of_column;
        std::vector<int> expected;
        for (int i = 0; i < shape.length; ++i) {
            std::string column;
            for (const SeqVector* taxon : taxa) column += taxon->letters[i];
            const int next = static_cast<int>(pattern_of_column.size());
            expected.push_back(pattern_of_column.emplace(column, next).first->second);
        }
        for (const int hash_bits : {64, 3, 1}) {
            for (WorkerPool* threads : {static_cast<WorkerPool*>(nullptr), &pool}) {
                SCOPED_TRACE(std::to_string(shape.taxa) + " x " + std::to_string(shape.length) +
                             ", " + std::to_string(hash_bits) + " bits" +
                             (threads ? ", threads" : ""));
                SitePatterns patterns(hash_bits);
                patterns.find(taxa.data(), shape.taxa, shape.length, threads);
                EXPECT_EQ(patterns.count(), static_cast<int>(pattern_of_column.size()));
                EXPECT_EQ(
                    std::vector<int>(patterns.pattern_of(), patterns.pattern_of() + shape.length),
                    expected);
            }
        }
    }
}

TEST(SitePatterns, ColumnsThatDifferInOneTaxonOnlyAreToldApart) {
    // The first taxon alone tells the columns apart, the last alone, or one
    // in the middle, in groups around the largest keyed whole.
    for (const int n : {2, 31, 32, 33, 40}) {
        for (const int odd : {0, n / 2, n - 1}) {
            SCOPED_TRACE(std::to_string(n) + " taxa, taxon " + std::to_string(odd));
            AnalysisModule builder;
            SequenceData data;
            data.num_seqs = n;
            data.seq_len = 8;
            for (int t = 0; t < n; ++t) {
                data.names.emplace_back(("t" + std::to_string(t)).c_str());
                data.sequences.push_back(t == odd ? "ACGTTGCA" : "AAAAAAAA");
            }
            const std::vector<SeqVector*> taxa = builder.build_vectors(data);
            SitePatterns patterns;
            patterns.find(taxa.data(), n, 8);
            EXPECT_EQ(std::vector<int>(patterns.pattern_of(), patterns.pattern_of() + 8),
                      (std::vector<int>{0, 1, 2, 3, 3, 2, 1, 0}));
        }
    }
}

namespace {

struct Lines {
    std::string tree;
    std::string console;
};

Lines run_lines(const std::string& input, const std::vector<std::string>& settings,
                EpochComputeFactory form, int threads, const EpochKernels* kernels,
                AnalysisFrontEnd* front = nullptr) {
    TempDir dir;
    AnalysisModule module;
    module.options.epoch_compute = form;
    module.options.worker_threads = threads;
    module.options.kernels = kernels;
    module.gui = front;
    EXPECT_TRUE(module.set_distance_metric(CharString(settings[0].c_str())));
    module.set_conscience_learning_rate(std::stod(settings[1]));
    module.set_kohonen_learning_rate(std::stod(settings[2]));
    module.set_convergence_threshold(std::stod(settings[3]));
    module.set_epochs(std::stoi(settings[4]));
    EXPECT_TRUE(module.set_input_path(input).ok());
    EXPECT_TRUE(module.set_output_path(dir.path("out.tre")).ok());
    std::ostringstream console;
    module.options.console = &console;
    AnalysisModule::run(&module);
    EXPECT_TRUE(module.run_status.ok()) << module.run_status.message();
    return {read_file(dir.path("out.tre")), console.str()};
}

}  // namespace

TEST(FastPath, WholeRunsWriteTheStraightforwardLines) {
    TempDir dir;
    const std::string sample = std::string(TAVREL_SOURCE_DIR) + "/data/sample.txt";
    const std::string simulated = dir.write("sim.txt", simulated_file(60, 300, 4));
    // Equal taxa: every attempt fails and the farthest pair splits them.
    const std::string equal = dir.write("equal.txt", "5 4 a ACGT b ACGT c ACGT d ACGT e ACGT");
    const std::vector<std::vector<std::string>> settings = {
        {"Euclidian", "0.001", "0.04", "0.25", "100"}, {"JC", "0.001", "0.04", "0.25", "100"},
        {"F81", "0.01", "0.1", "0.3", "40"},           {"F84", "0.001", "0.04", "0.25", "100"},
        {"K2P", "0.05", "0.2", "0.4", "20"},           {"Euclidian", "0", "0.04", "0.25", "2"},
    };
    for (const std::string& input : {sample, simulated, equal}) {
        for (const auto& s : settings) {
            SCOPED_TRACE(input + " " + s[0] + " c=" + s[1] + " epochs=" + s[4]);
            const Lines plain = run_lines(input, s, make_straightforward_epoch_compute, 1, nullptr);
            ASSERT_EQ(lines_of(plain.tree).size(), 1u);
            for (const EpochKernels* const* form = EpochKernels::available(); *form; ++form) {
                for (const int threads : {1, 4}) {
                    const Lines fast = run_lines(input, s, make_fast_epoch_compute, threads, *form);
                    EXPECT_EQ(fast.tree, plain.tree) << (*form)->name << ", " << threads;
                    EXPECT_EQ(fast.console, plain.console) << (*form)->name << ", " << threads;
                }
            }
        }
    }
}

// Groups large enough that the threads share their epochs while other
// groups train beside them: the lines stay those of one thread.
TEST(FastPath, StepsTrainedAheadOnManyThreadsWriteTheLinesOfOne) {
    TempDir dir;
    const std::string input = dir.write("sim.txt", simulated_file(160, 900, 11));
    const std::vector<std::vector<std::string>> settings = {
        {"Euclidian", "0.001", "0.04", "0.25", "100"},
        {"K2P", "0.05", "0.2", "0.4", "20"},
    };
    for (const auto& s : settings) {
        SCOPED_TRACE(s[0]);
        const Lines one = run_lines(input, s, make_fast_epoch_compute, 1, nullptr);
        ASSERT_EQ(lines_of(one.tree).size(), 1u);
        for (const int threads : {3, 8}) {
            const Lines many = run_lines(input, s, make_fast_epoch_compute, threads, nullptr);
            EXPECT_EQ(many.tree, one.tree) << threads;
            EXPECT_EQ(many.console, one.console) << threads;
        }
    }
}

TEST(FastPath, FrontEndSeesTheSameCallsInOrderOnTheCallingThread) {
    TempDir dir;
    const std::string input = dir.write("sim.txt", simulated_file(30, 200, 9));
    // The default settings, and settings whose attempts fail: with a front
    // end every attempt starts afresh, so its chart sees every epoch.
    for (const auto& s : std::vector<std::vector<std::string>>{
             {"Euclidian", "0.001", "0.04", "0.25", "100"}, {"JC", "0", "0.04", "0.25", "2"}}) {
        SCOPED_TRACE(s[0] + " c=" + s[1]);
        RecordingFrontEnd plain_front;
        const Lines plain =
            run_lines(input, s, make_straightforward_epoch_compute, 1, nullptr, &plain_front);
        RecordingFrontEnd fast_front;
        const Lines fast = run_lines(input, s, make_fast_epoch_compute, 4, nullptr, &fast_front);
        EXPECT_EQ(fast.tree, plain.tree);
        EXPECT_EQ(fast.console, plain.console);
        EXPECT_EQ(fast_front.calls, plain_front.calls);
        EXPECT_EQ(fast_front.threads, std::set<std::thread::id>{std::this_thread::get_id()});
        // And the tree is the one a run without a front end writes.
        EXPECT_EQ(run_lines(input, s, make_fast_epoch_compute, 4, nullptr).tree, fast.tree);
    }
}

TEST(WorkerPool, EveryTaskRunsOnceOnAThreadOfThePool) {
    for (const int threads : {1, 2, 5}) {
        WorkerPool pool(threads);
        EXPECT_EQ(pool.threads(), threads);
        for (const int count : {0, 1, 3, 97}) {
            // Many phases in a row, as the epochs make them.
            for (int phase = 0; phase < 50; ++phase) {
                std::vector<int> runs(count, 0);
                std::vector<int> thread_of(count, -1);
                pool.run(count, [&](int i, int thread) {
                    ++runs[i];
                    thread_of[i] = thread;
                });
                for (int i = 0; i < count; ++i) {
                    ASSERT_EQ(runs[i], 1) << threads << " threads, task " << i;
                    ASSERT_GE(thread_of[i], 0);
                    ASSERT_LT(thread_of[i], threads);
                }
            }
        }
    }
    EXPECT_GE(WorkerPool::usable_cores(), 1);
}
