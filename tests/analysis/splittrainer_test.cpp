// The split of one group: the attempts and their budgets, the first epoch,
// convergence, the farthest-pair split, when the processes of a group share
// the epochs, abandoning a split, and what a front end's chart receives.
// The expected numbers follow from the training rules; each test says how.

#include "analysis/splittrainer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/distancemodels.h"
#include "analysis/groupprotocol.h"
#include "analysis/sequencefile.h"
#include "analysis/seqvector.h"
#include "analysis/straightforwardepochcompute.h"
#include "testsupport.h"
#include "threadgroup.h"

namespace {

// n taxa t0, t1, ... that all hold the same letters.
std::string identical_taxa(int n, const std::string& letters) {
    std::string file = std::to_string(n) + " " + std::to_string(letters.size());
    for (int i = 0; i < n; ++i) file += " t" + std::to_string(i) + " " + letters;
    return file;
}

std::vector<std::string> names_of(SeqVector* const* list, int count) {
    std::vector<std::string> names;
    for (int j = 0; j < count; ++j) names.push_back(list[j]->name.c_str());
    return names;
}

// The arithmetic of a run over `taxa` with these settings.
std::unique_ptr<EpochCompute> arithmetic_for(const TaxaOfFile& taxa,
                                             const AnalysisSettings& settings,
                                             EpochComputeFactory form) {
    EpochSetup setup;
    setup.model = settings.distance_metric;
    setup.constants =
        derive_model_constants(count_base_frequencies(taxa.by_id.data(), taxa.size()));
    setup.kohonen_rate = settings.kohonen_learning_rate;
    setup.taxa = taxa.size();
    return form(setup);
}

// What one split gave: the names on each side and the outcome.
struct Split {
    std::vector<std::string> sides[2];
    std::vector<int> ids[2];
    StepOutcome outcome;
};

// Room for the sides of a group of n, and the split into it.
class SplitRoom {
public:
    explicit SplitRoom(int n) : storage_(2 * static_cast<std::size_t>(n)) {
        sides[0] = storage_.data();
        sides[1] = storage_.data() + n;
    }

    Split result(const StepOutcome& outcome) const {
        Split split;
        for (int k = 0; k < 2; ++k) {
            split.sides[k] = names_of(sides[k], counts[k]);
            split.ids[k] = ids_of(sides[k], counts[k]);
        }
        split.outcome = outcome;
        return split;
    }

    SeqVector** sides[2];
    int counts[2] = {0, 0};

private:
    std::vector<SeqVector*> storage_;
};

// How one trainer of a single process is set up.
struct Training {
    AnalysisSettings settings;
    AnalysisOptions options;
    EpochComputeFactory form = make_fast_epoch_compute;
    AnalysisFrontEnd* chart = nullptr;
    bool shown = false;
};

// Splits all of `taxa` with a trainer of its own.
Split split_all(const TaxaOfFile& taxa, const Training& how) {
    const std::atomic<bool> cancel(false);
    SplitTrainer trainer(how.settings, how.options, nullptr, how.chart, how.shown, cancel,
                         taxa.by_id);
    std::unique_ptr<EpochCompute> arithmetic = arithmetic_for(taxa, how.settings, how.form);
    std::vector<SeqVector*> inputs = taxa.by_id;
    SplitRoom room(taxa.size());
    StepOutcome outcome;
    trainer.split(inputs.data(), taxa.size(), arithmetic.get(), false, room.sides, room.counts,
                  &outcome);
    return room.result(outcome);
}

const EpochComputeFactory kForms[] = {make_fast_epoch_compute, make_straightforward_epoch_compute};

std::string form_name(EpochComputeFactory form) {
    return form == make_fast_epoch_compute ? "fast" : "straightforward";
}

// A chart that abandons the split at its n-th value.
class AbandoningChart : public RecordingFrontEnd {
public:
    explicit AbandoningChart(std::size_t abandon_at) : abandon_at_(abandon_at) {}
    void add_value(int value) override {
        RecordingFrontEnd::add_value(value);
        if (values.size() == abandon_at_ && trainer) trainer->abandon();
    }
    SplitTrainer* trainer = nullptr;

private:
    std::size_t abandon_at_;
};

}  // namespace

// Identical taxa without conscience: both biases stay e / 0.5, so the model
// alone decides. In the first epoch of an attempt the neurons are equal,
// every input ties and goes to neuron 0, which then moves n Kohonen steps
// towards the taxa; in the next epoch neuron 1 is the farther one and takes
// every input (the model values are negated distances), moves n steps and
// is equal to neuron 0 again. So every epoch leaves a side empty, and in
// epoch e (from 1) the winner has made n * floor((e - 1) / 2) steps, each
// of which shortens its distance to the taxa by the factor 1 - rate. Its
// RMS error, sqrt(0.75) at the start, falls below 0.25 once that factor's
// power is below 0.25 / sqrt(0.75) = 0.2887: after 31 steps at rate 0.04
// (0.96^30 = 0.294, 0.96^31 = 0.282), after 1243 at rate 0.001. The attempt
// whose budget reaches that epoch converges with a side empty and is the
// last; so are the 8 attempts that a step makes at most. Going on from
// where a failed attempt ended, the step runs up to that epoch once; with a
// front end shown, every attempt starts afresh and runs its whole budget.
// When no attempt splits, the farthest pair does: all taxa equal, the last
// one goes to a side of its own.
TEST(SplitTrainer, AttemptsDoubleTheirBudgetAndGoOnFromTheFailedOne) {
    struct Case {
        int n;
        int epochs;
        double rate;
        int zero_partitions;
        long long epochs_going_on;
        long long epochs_afresh;
    };
    const Case cases[] = {
        // Converges in epoch 23 (11 turns of 3 steps), within budget 32.
        {3, 1, 0.04, 6, 23, 1 + 2 + 4 + 8 + 16 + 23},
        // Epoch 17 (8 turns of 4 steps), within budget 32.
        {4, 1, 0.04, 6, 17, 1 + 2 + 4 + 8 + 16 + 17},
        // Epoch 15 (7 turns of 5 steps), within budget 16.
        {5, 1, 0.04, 5, 15, 1 + 2 + 4 + 8 + 15},
        // Epoch 17 again, within budget 24 of budgets 3, 6, 12, 24.
        {4, 3, 0.04, 4, 17, 3 + 6 + 12 + 17},
        // Epoch 829 would be the first to converge: all 8 attempts fail.
        {3, 1, 0.001, 8, 128, 1 + 2 + 4 + 8 + 16 + 32 + 64 + 128},
    };
    for (const Case& c : cases) {
        const TaxaOfFile taxa(identical_taxa(c.n, "ACG"));
        for (const EpochComputeFactory form : kForms) {
            for (const bool shown : {false, true}) {
                SCOPED_TRACE(std::to_string(c.n) + " taxa, epochs " + std::to_string(c.epochs) +
                             ", rate " + std::to_string(c.rate) + ", " + form_name(form) +
                             (shown ? ", shown" : ""));
                Training how;
                how.settings.conscience_learning_rate = 0.0;
                how.settings.kohonen_learning_rate = c.rate;
                how.settings.epochs = c.epochs;
                how.form = form;
                how.shown = shown;
                const Split split = split_all(taxa, how);
                const EpochCounts& work = split.outcome.work;
                const long long epochs = shown ? c.epochs_afresh : c.epochs_going_on;
                EXPECT_EQ(split.outcome.zero_partitions, c.zero_partitions);
                EXPECT_EQ(work.epochs, epochs);
                EXPECT_EQ(work.continued_attempts, shown ? 0 : c.zero_partitions - 1);
                // Every input against both neurons at every position.
                EXPECT_EQ(work.presentations, epochs * c.n * 2 * taxa.length());
                EXPECT_EQ(work.exchanges, 0);
                EXPECT_TRUE(split.outcome.farthest_pair);
                std::vector<std::string> first;
                for (int i = 0; i < c.n - 1; ++i) first.push_back("t" + std::to_string(i));
                EXPECT_EQ(split.sides[0], first);
                EXPECT_EQ(split.sides[1], std::vector<std::string>{"t" + std::to_string(c.n - 1)});
            }
        }
    }
}

// A failed attempt's successor sees the inputs in the same order from the
// same state, so going on from where it ended must reach the split that
// starting afresh reaches, in as many epochs less as the failed attempts
// ran: epochs * (2^z - 1) for z failed attempts of budgets epochs,
// 2 * epochs, ...
TEST(SplitTrainer, GoingOnFromAFailedAttemptSplitsAsStartingAfresh) {
    const TaxaOfFile taxa(simulated_file(17, 60, 8));
    for (const int epochs : {2, 3}) {
        SCOPED_TRACE(epochs);
        Training how;
        how.settings.conscience_learning_rate = 0.0;
        how.settings.epochs = epochs;
        const Split going_on = split_all(taxa, how);
        how.shown = true;
        const Split afresh = split_all(taxa, how);
        // The fixture is chosen so that attempts fail before one splits.
        const int failed = going_on.outcome.zero_partitions;
        ASSERT_GE(failed, 1);
        ASSERT_FALSE(going_on.outcome.farthest_pair);
        EXPECT_EQ(afresh.outcome.zero_partitions, failed);
        EXPECT_FALSE(afresh.outcome.farthest_pair);
        EXPECT_EQ(afresh.ids[0], going_on.ids[0]);
        EXPECT_EQ(afresh.ids[1], going_on.ids[1]);
        EXPECT_EQ(going_on.outcome.work.continued_attempts, failed);
        EXPECT_EQ(afresh.outcome.work.continued_attempts, 0);
        EXPECT_EQ(afresh.outcome.work.epochs - going_on.outcome.work.epochs,
                  static_cast<long long>(epochs) * ((1LL << failed) - 1));
    }
}

// Without conscience and with a threshold above any RMS error, the first
// epoch converges with every input on neuron 0: a retry would repeat it
// exactly, so there is none, whatever the budget.
TEST(SplitTrainer, ConvergedAttemptWithAnEmptySideIsNotRepeated) {
    const TaxaOfFile taxa("3 2 a AC b AC c AC");
    for (const bool shown : {false, true}) {
        SCOPED_TRACE(shown ? "shown" : "not shown");
        Training how;
        how.settings.conscience_learning_rate = 0.0;
        how.settings.convergence_threshold = 10.0;
        how.settings.epochs = INT_MAX / 2 + 1;
        how.shown = shown;
        const Split split = split_all(taxa, how);
        EXPECT_EQ(split.outcome.zero_partitions, 1);
        EXPECT_EQ(split.outcome.work.epochs, 1);
        EXPECT_EQ(split.outcome.work.continued_attempts, 0);
        EXPECT_TRUE(split.outcome.farthest_pair);
        EXPECT_EQ(split.sides[0], (std::vector<std::string>{"a", "b"}));
        EXPECT_EQ(split.sides[1], std::vector<std::string>{"c"});
    }
}

// In the first epoch both neurons are equal, so every model gives both the
// same value and the biases e / p decide. Input 0 ties and goes to neuron
// 0 (p 0.4995 against 0.5005); neuron 1 then has the smaller bias and takes
// input 1, which leaves p 0.5000005 against 0.4999995: input 2 goes to
// neuron 0 by a hair, input 3 to neuron 1 as input 1 did, input 4 to
// neuron 0 as input 2 did. One epoch with an RMS error of sqrt(0.75), above
// the threshold, and a budget of 1: that is the split.
TEST(SplitTrainer, FirstEpochIsDecidedByTheBiases) {
    struct Case {
        const char* file;
        std::vector<std::string> side0;
        std::vector<std::string> side1;
    };
    const Case cases[] = {
        {"3 4 a AAAA b CCCC c GGGG", {"a", "c"}, {"b"}},
        {"5 2 a AA b AC c GG d GT e TT", {"a", "c", "e"}, {"b", "d"}},
    };
    for (const Case& c : cases) {
        const TaxaOfFile taxa(c.file);
        for (const char* model : {"Euclidian", "JC", "F81", "F84", "K2P"}) {
            SCOPED_TRACE(std::string(c.file) + " " + model);
            Training how;
            how.settings.epochs = 1;
            how.settings.distance_metric = find_distance_model(model);
            ASSERT_NE(how.settings.distance_metric, nullptr);
            const Split split = split_all(taxa, how);
            EXPECT_EQ(split.sides[0], c.side0);
            EXPECT_EQ(split.sides[1], c.side1);
            EXPECT_EQ(split.outcome.zero_partitions, 0);
            EXPECT_EQ(split.outcome.work.epochs, 1);
            EXPECT_FALSE(split.outcome.farthest_pair);
        }
    }
}

// Every attempt converges at once with a side empty (no conscience, a
// threshold above any RMS error), so the farthest pair splits the group:
// a is the first taxon farthest from the group's first, b the first
// farthest from a (squared distance 2 between any two letters at a
// position); a taxon no farther from a than from b goes with a.
TEST(SplitTrainer, FarthestPairSplitTakesTheFirstFarthestTaxa) {
    struct Case {
        const char* file;
        std::vector<std::string> side0;
        std::vector<std::string> side1;
    };
    const Case cases[] = {
        // All at distance 2: a = b (the first farthest from a), b = a; c and
        // d tie and go with b.
        {"4 1 a A b C c G d T", {"b", "c", "d"}, {"a"}},
        // From a: c and d at 4, c first; from c: a, b and e at 4, a first.
        // d is nearer c (2 against 4); b and e are nearer a.
        {"5 2 a AA b AC c GG d GT e AA", {"c", "d"}, {"a", "b", "e"}},
        // From a: b and c at 4, b first; from b: a and d at 4, a first.
        {"4 2 a AA b CC c CC d AA", {"b", "c"}, {"a", "d"}},
        // All equal: every taxon is as near a as b, and the last one is split
        // off.
        {"3 2 a AC b AC c AC", {"a", "b"}, {"c"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const TaxaOfFile taxa(c.file);
        Training how;
        how.settings.conscience_learning_rate = 0.0;
        how.settings.convergence_threshold = 10.0;
        const Split split = split_all(taxa, how);
        EXPECT_TRUE(split.outcome.farthest_pair);
        EXPECT_EQ(split.outcome.zero_partitions, 1);
        EXPECT_EQ(split.sides[0], c.side0);
        EXPECT_EQ(split.sides[1], c.side1);
    }
}

// The processes share a group's epochs when there are several, each has two
// inputs at least, and the group holds enough positions (n x length).
TEST(SplitTrainer, SharesEpochs) {
    const long long kDefault = AnalysisOptions::kSharedEpochWork;  // 262144
    struct Case {
        int processes;
        long long work;
        int n;
        int length;
        bool shared;
    };
    const Case cases[] = {
        {1, kDefault, 1000, 1000000, false},
        {2, kDefault, 3, 1000000, false},
        {2, kDefault, 4, 65536, true},
        {2, kDefault, 4, 65535, false},
        {3, kDefault, 6, 43691, true},
        {3, kDefault, 5, 1000000, false},
        {2, 0, 4, 1, true},
        // n x length = 2^32, beyond the int range (0 when an int wraps).
        {2, kDefault, 65536, 65536, true},
        {4, LLONG_MAX, 100000, 100000, false},
    };
    const std::atomic<bool> cancel(false);
    const std::vector<SeqVector*> no_taxa;
    for (const Case& c : cases) {
        AnalysisSettings settings;
        settings.mpi_mode = c.processes > 1;
        settings.num_processors = c.processes;
        AnalysisOptions options;
        options.shared_epoch_work = c.work;
        const SplitTrainer trainer(settings, options, nullptr, nullptr, false, cancel, no_taxa);
        EXPECT_EQ(trainer.shares_epochs(c.n, c.length), c.shared)
            << c.processes << " processes, " << c.work << ", " << c.n << " x " << c.length;
    }
}

// Identical taxa without conscience, as above: four taxa, budget 1. The
// attempts of budgets 1 and 2 fail in epochs 1 and 2; the abandon comes
// with the 10th chart value, in epoch 3 of the attempt of budget 4. That
// epoch ends, and nothing follows: no further attempt, no farthest-pair
// split, and no epoch of any later split of the trainer.
TEST(SplitTrainer, AbandonStopsTheSplitAndLeavesNoFarthestPairSplit) {
    const TaxaOfFile taxa(identical_taxa(4, "ACG"));
    AnalysisSettings settings;
    settings.conscience_learning_rate = 0.0;
    settings.epochs = 1;
    const AnalysisOptions options;
    const std::atomic<bool> cancel(false);
    AbandoningChart chart(10);
    SplitTrainer trainer(settings, options, nullptr, &chart, false, cancel, taxa.by_id);
    chart.trainer = &trainer;
    std::unique_ptr<EpochCompute> arithmetic =
        arithmetic_for(taxa, settings, make_fast_epoch_compute);
    std::vector<SeqVector*> inputs = taxa.by_id;
    SplitRoom room(4);
    StepOutcome outcome;
    trainer.split(inputs.data(), 4, arithmetic.get(), false, room.sides, room.counts, &outcome);
    EXPECT_TRUE(trainer.stopped());
    EXPECT_FALSE(trainer.cancelled());
    EXPECT_EQ(outcome.work.epochs, 3);
    EXPECT_EQ(outcome.zero_partitions, 2);
    EXPECT_FALSE(outcome.farthest_pair);
    EXPECT_EQ(chart.values.size(), 12u);

    trainer.split(inputs.data(), 4, arithmetic.get(), false, room.sides, room.counts, &outcome);
    EXPECT_EQ(outcome.work.epochs, 0);
    EXPECT_EQ(outcome.zero_partitions, 0);
    EXPECT_FALSE(outcome.farthest_pair);
    EXPECT_EQ(chart.values.size(), 12u);
}

// The chart of a front end receives the RMS error of every input this
// process classifies, times 100 and truncated, in every epoch of every
// attempt (a front end is shown, so every attempt starts afresh). Identical
// taxa without conscience, as above: four taxa, budgets 1, 2, 4, 8, 16 and
// 32, the last converging in its epoch 17; in epoch e of an attempt each
// input's error is sqrt(0.75) x 0.96^(4 floor((e - 1) / 2)). Process 0 of
// three that train the group alone, as the group would, shows its own
// inputs only: 0 and 3.
TEST(SplitTrainer, ChartReceivesTheErrorsOfThisProcesssInputsInEveryEpoch) {
    const TaxaOfFile taxa(identical_taxa(4, "ACG"));
    const int budgets[] = {1, 2, 4, 8, 16, 17};
    struct Case {
        int processes;
        int per_epoch;  // this process's inputs
    };
    for (const Case& c : {Case{1, 4}, Case{3, 2}}) {
        SCOPED_TRACE(std::to_string(c.processes) + " processes");
        std::vector<int> expected;
        for (const int budget : budgets) {
            for (int e = 1; e <= budget; ++e) {
                const double error = std::sqrt(0.75) * std::pow(0.96, 4 * ((e - 1) / 2));
                for (int i = 0; i < c.per_epoch; ++i) {
                    expected.push_back(static_cast<int>(error * 100.0));
                }
            }
        }
        // Fresh neurons give 86; 0.96^4 first in epoch 3 of budget 4, 73;
        // 0.96^8 first in epoch 5 of budget 8, 62.
        ASSERT_EQ(expected[0], 86);
        ASSERT_EQ(expected[(1 + 2 + 2) * c.per_epoch], 73);
        ASSERT_EQ(expected[(1 + 2 + 4 + 4) * c.per_epoch], 62);
        RecordingFrontEnd chart;
        Training how;
        how.settings.conscience_learning_rate = 0.0;
        how.settings.epochs = 1;
        how.settings.mpi_mode = c.processes > 1;
        how.settings.num_processors = c.processes;
        // No meeting with the other processes, which this test does not have.
        how.options.cancel_check_work = LLONG_MAX;
        how.chart = &chart;
        how.shown = true;
        const Split split = split_all(taxa, how);
        EXPECT_EQ(split.outcome.work.epochs, 48);
        EXPECT_EQ(chart.values, expected);
        // Only the chart: the tree is the walker's.
        EXPECT_TRUE(chart.log.empty());
    }
}

// The processes of a group that share a group's epochs, each classifying
// its own inputs and exchanging the members after every epoch, reach the
// split that one process reaches training the group alone as the group
// would (each input with the conscience of the process that classifies
// it), in the same epochs, with two exchanges per epoch (the members, the
// parts of the Kohonen update). A cancel from process 0 stops every process
// at the first exchange, and no process splits by the farthest pair.
TEST(SplitTrainer, SharedEpochsSplitAsOneProcessTrainingForTheGroup) {
    constexpr int kProcesses = 3;
    const TaxaOfFile taxa(simulated_file(17, 60, 8));
    const int n = taxa.size();
    struct Case {
        const char* what;
        double conscience;
        int epochs;
        bool cancel;
    };
    const Case cases[] = {
        {"default settings", 0.001, 100, false},
        {"failed attempts first", 0.0, 3, false},
        {"cancelled", 0.001, 100, true},
    };
    for (const Case& c : cases) {
        for (const EpochComputeFactory form : kForms) {
            SCOPED_TRACE(std::string(c.what) + ", " + form_name(form));
            AnalysisSettings settings;
            settings.conscience_learning_rate = c.conscience;
            settings.epochs = c.epochs;
            settings.mpi_mode = true;
            settings.num_processors = kProcesses;
            const AnalysisOptions options;
            Training alone;
            alone.settings = settings;
            alone.form = form;
            const Split expected = split_all(taxa, alone);
            ASSERT_GE(expected.outcome.work.epochs, 1);

            Meeting meeting(kProcesses);
            std::vector<Split> splits(kProcesses);
            std::vector<char> cancelled(kProcesses, 0);
            on_every_rank(kProcesses, [&](int rank) {
                AnalysisSettings own = settings;
                own.rank = rank;
                ThreadGroup group(&meeting, rank);
                GroupProtocol protocol(&group);
                const std::atomic<bool> cancel(c.cancel && rank == 0);
                SplitTrainer trainer(own, options, &protocol, nullptr, false, cancel, taxa.by_id);
                std::unique_ptr<EpochCompute> arithmetic = arithmetic_for(taxa, own, form);
                std::vector<SeqVector*> inputs = taxa.by_id;
                SplitRoom room(n);
                StepOutcome outcome;
                trainer.split(inputs.data(), n, arithmetic.get(), true, room.sides, room.counts,
                              &outcome);
                splits[rank] = room.result(outcome);
                cancelled[rank] = trainer.cancelled();
            });
            for (int r = 0; r < kProcesses; ++r) {
                SCOPED_TRACE(r);
                const StepOutcome& outcome = splits[r].outcome;
                EXPECT_EQ(cancelled[r] != 0, c.cancel);
                EXPECT_EQ(outcome.work.exchanges, outcome.work.epochs);
                // Cancelled, the first epoch ends at its exchange of members,
                // uncounted.
                EXPECT_EQ(meeting.calls[r].size(),
                          c.cancel ? 1u : static_cast<std::size_t>(2 * outcome.work.epochs));
                // This process's inputs only, against both neurons.
                const int own_inputs = (n - r + kProcesses - 1) / kProcesses;
                EXPECT_EQ(outcome.work.presentations,
                          outcome.work.epochs * own_inputs * 2 * taxa.length());
                if (c.cancel) {
                    EXPECT_EQ(outcome.work.epochs, 0);
                    EXPECT_FALSE(outcome.farthest_pair);
                    continue;
                }
                EXPECT_EQ(splits[r].ids[0], expected.ids[0]);
                EXPECT_EQ(splits[r].ids[1], expected.ids[1]);
                EXPECT_EQ(outcome.zero_partitions, expected.outcome.zero_partitions);
                EXPECT_EQ(outcome.farthest_pair, expected.outcome.farthest_pair);
                EXPECT_EQ(outcome.work.epochs, expected.outcome.work.epochs);
                EXPECT_EQ(outcome.work.continued_attempts,
                          expected.outcome.work.continued_attempts);
            }
        }
    }
}
