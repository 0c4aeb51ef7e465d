#include "analysis/splittrainer.h"

#include <chrono>
#include <climits>
#include <cmath>
#include <cstring>

#include "analysis/analysisfrontend.h"
#include "analysis/check.h"
#include "analysis/distancemodels.h"
#include "analysis/groupprotocol.h"
#include "analysis/neurons.h"
#include "analysis/seqvector.h"

namespace {

constexpr double kConscienceStart = 0.5;
// What an epoch costs beside its presentations, counted as presentations:
// groups of few taxa run many short epochs between two meetings.
constexpr long long kEpochWork = 1 << 12;

// The index of the first taxon of the group farthest from `reference`.
int farthest_from(SeqVector* const* group, int n, const SeqVector* reference) {
    int farthest = 0;
    double largest = -1.0;
    for (int i = 0; i < n; ++i) {
        const double d = squared_euclidian(reference, group[i]);
        if (d > largest) {
            largest = d;
            farthest = i;
        }
    }
    return farthest;
}

int doubled_budget(int budget) {
    return budget > INT_MAX / 2 ? INT_MAX : budget * 2;
}

}  // namespace

SplitTrainer::SplitTrainer(const AnalysisSettings& settings, const AnalysisOptions& options,
                           GroupProtocol* protocol, AnalysisFrontEnd* chart, bool shown,
                           const std::atomic<bool>& cancel, const std::vector<SeqVector*>& taxa)
    : settings_(settings),
      options_(options),
      protocol_(protocol),
      chart_(chart),
      shown_(shown),
      cancel_(cancel),
      taxa_(taxa) {}

bool SplitTrainer::shares_epochs(int n, int length) const {
    const int processes = settings_.num_processors;
    return processes > 1 && n >= 2 * processes &&
           static_cast<long long>(n) * length >= options_.shared_epoch_work;
}

void SplitTrainer::split(SeqVector** inputs, int n, EpochCompute* arithmetic, bool shared,
                         SeqVector** sides[2], int counts[2], StepOutcome* outcome) {
    const auto started = std::chrono::steady_clock::now();
    *outcome = StepOutcome();
    Training training;
    prepare_training(n, shared, &training);
    arithmetic->start_step(inputs, n, training.classified.data(),
                           static_cast<int>(training.classified.size()));
    bool split = false;
    bool go_on = false;
    int budget = settings_.epochs;
    for (int attempt = 0; attempt < kMaxAttempts && !split && !stopped(); ++attempt) {
        if (go_on) {
            ++outcome->work.continued_attempts;
        } else if (attempt > 0) {
            // A fresh attempt, from the state in which the step started.
            prepare_training(n, shared, &training);
            arithmetic->reset_neurons();
        }
        train(&training, arithmetic, inputs, n, sides, counts, budget, &outcome->work);
        if (stopped()) break;
        if (training.settled) {
            // This attempt and every one after it fail.
            outcome->zero_partitions += kMaxAttempts - attempt;
            break;
        }
        split = counts[0] > 0 && counts[1] > 0;
        if (!split) {
            ++outcome->zero_partitions;
            // Converging before the budget ran out means a retry would
            // repeat this attempt exactly.
            if (training.converged) break;
        }
        budget = doubled_budget(budget);
        // The next attempt starts from the same state and sees the inputs in
        // the same order: its first epochs are this attempt's, so it goes on
        // from here. The chart of a window shows every epoch of every
        // attempt, so with a window it starts afresh, on every process of
        // its group alike.
        go_on = !shown_;
    }
    arithmetic->finish_step();
    if (!split && !stopped()) {
        outcome->farthest_pair = true;
        split_by_farthest_pair(inputs, n, sides, counts);
    }
    outcome->seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

void SplitTrainer::prepare_training(int n, bool shared, Training* training) const {
    const int processes = settings_.num_processors;
    training->shared = shared;
    // Without sharing, a process of a group trains the whole group itself,
    // each input with the conscience of the process that would classify it.
    training->states = shared ? 1 : processes;
    training->classified.clear();
    const int step = shared ? processes : 1;
    for (int i = shared ? settings_.rank : 0; i < n; i += step) training->classified.push_back(i);
    const std::size_t count = training->classified.size();
    training->values.assign(count * kNeurons, 0.0);
    training->winners.assign(count, 0);
    training->conscience.assign(static_cast<std::size_t>(training->states) * kNeurons,
                                kConscienceStart);
    training->epoch = 0;
    training->converged = false;
}

void SplitTrainer::train(Training* training, EpochCompute* arithmetic, SeqVector** inputs, int n,
                         SeqVector** members[2], int counts[2], int budget, EpochCounts* work) {
    const long long presentations =
        static_cast<long long>(training->classified.size()) * kNeurons * inputs[0]->length;
    // Unshared epochs make no exchange: with a front end on process 0, which
    // may cancel the run, the processes meet now and then instead.
    const bool meets = settings_.mpi_mode && shown_;
    while (training->epoch < budget && !training->converged && !training->settled && !stopped()) {
        classify(training, arithmetic, inputs, members, counts);
        // Every process lists the members in the order of the processes
        // that classify them, which is input order with one process.
        if (training->states > 1) list_by_process(*training, inputs, n, members, counts);
        if (training->shared) {
            // Every process must run the same epochs.
            training->converged = exchange(members, counts, n, training->converged);
            // Every process saw the cancel in the same exchange.
            if (cancelled_) break;
            share_kohonen_update(training, arithmetic, members, counts);
            ++work->exchanges;
        } else {
            update_alone(training, arithmetic, n, members, counts);
            if (meets) count_unshared_work(presentations);
        }
        ++training->epoch;
        ++work->epochs;
        work->presentations += presentations;
    }
}

void SplitTrainer::classify(Training* training, EpochCompute* arithmetic, SeqVector** inputs,
                            SeqVector** members[2], int counts[2]) const {
    const double c = settings_.conscience_learning_rate;
    const double keep = 1.0 - c;
    const double threshold = settings_.convergence_threshold;
    const int processes = settings_.num_processors;
    const int rank = settings_.rank;
    const int* classified = training->classified.data();
    const int count = static_cast<int>(training->classified.size());
    double* values = training->values.data();
    double* conscience = training->conscience.data();
    unsigned char* winners = training->winners.data();
    // One conscience per process of the group when this process trains the
    // whole group as the group would; otherwise every input it classifies
    // is its own.
    const bool per_process = training->states > 1;
    arithmetic->model_values(values);
    counts[0] = counts[1] = 0;
    for (int j = 0; j < count; ++j) {
        const int i = classified[j];
        const int owner = per_process ? i % processes : rank;
        double* p = conscience + (per_process ? owner : 0) * kNeurons;
        const double bias0 = std::exp(1.0 - std::log(p[0]));
        const double bias1 = std::exp(1.0 - std::log(p[1]));
        const int w = (values[2 * j + 1] + bias1 < values[2 * j] + bias0) ? 1 : 0;
        winners[j] = static_cast<unsigned char>(w);
        if (!per_process) members[w][counts[w]++] = inputs[i];
        p[w] = keep * p[w];
        p[1 - w] = keep * p[1 - w] + c;
        const double r = arithmetic->rms_error(j, w);
        if (r < threshold) training->converged = true;
        if (chart_ && owner == rank) chart_->add_value(static_cast<int>(r * 100.0));
    }
}

void SplitTrainer::list_by_process(const Training& training, SeqVector** inputs, int n,
                                   SeqVector** members[2], int counts[2]) {
    const int states = training.states;
    for (int q = 0; q < states; ++q) {
        for (int i = q; i < n; i += states) {
            const int w = training.winners[i];
            members[w][counts[w]++] = inputs[i];
        }
    }
}

bool SplitTrainer::exchange(SeqVector** members[2], int counts[2], int n, bool converged) {
    const GroupProtocol::Heard heard = protocol_->exchange_members(
        members, counts, n, converged, cancel_.load(std::memory_order_relaxed), taxa_);
    if (heard.cancelled) cancelled_ = true;
    return heard.converged;
}

void SplitTrainer::update_alone(Training* training, EpochCompute* arithmetic, int n,
                                SeqVector* const* const members[2], const int counts[2]) const {
    const bool settling = may_settle(*training, n, arithmetic);
    arithmetic->kohonen_update(members, counts);
    // The winner did not move: the same epoch repeats for ever.
    if (settling && arithmetic->neurons_equal()) training->settled = true;
}

void SplitTrainer::count_unshared_work(long long presentations) {
    // Every process trains the same epochs, so all meet at the same one.
    unshared_work_ += presentations + kEpochWork;
    if (unshared_work_ < options_.cancel_check_work) return;
    unshared_work_ = 0;
    if (protocol_->meet(cancel_.load(std::memory_order_relaxed))) cancelled_ = true;
}

bool SplitTrainer::may_settle(const Training& training, int n, EpochCompute* arithmetic) const {
    // Without a front end on any process only: a window's chart shows every
    // epoch, and every process must run the epochs of process 0. With
    // one input per process and equal neurons, the model values of both
    // neurons are equal and the equal biases send every input to the same
    // neuron; if that neuron does not move, the next epoch is the same
    // again, with the same RMS errors, and so is every epoch after it.
    if (!options_.stop_settled_groups || shown_ || training.states < n || training.converged) {
        return false;
    }
    for (int i = 1; i < n; ++i) {
        if (training.winners[i] != training.winners[0]) return false;
    }
    const double* p = training.conscience.data();
    for (int q = 1; q < n; ++q) {
        if (std::memcmp(p + q * kNeurons, p, sizeof(double) * kNeurons) != 0) return false;
    }
    return arithmetic->neurons_equal();
}

void SplitTrainer::share_kohonen_update(Training* training, EpochCompute* arithmetic,
                                        SeqVector* const* const members[2], const int counts[2]) {
    const int parts = settings_.num_processors;
    training->part_sizes.resize(parts);
    training->part_places.resize(parts);
    int total = 0;
    for (int q = 0; q < parts; ++q) {
        training->part_sizes[q] = arithmetic->part_size(q, parts);
        training->part_places[q] = total;
        total += training->part_sizes[q];
    }
    training->all_parts.resize(total);
    arithmetic->kohonen_update_part(members, counts, settings_.rank, parts, &training->own_part);
    protocol_->gather_parts(training->own_part, training->part_sizes, training->part_places,
                            &training->all_parts);
    arithmetic->unpack_parts(training->all_parts.data(), parts);
}

void SplitTrainer::split_by_farthest_pair(SeqVector** members, int n, SeqVector** sides[2],
                                          int counts[2]) const {
    const int a = farthest_from(members, n, members[0]);
    const int b = farthest_from(members, n, members[a]);
    counts[0] = counts[1] = 0;
    for (int i = 0; i < n; ++i) {
        const bool nearer_a =
            squared_euclidian(members[i], members[a]) <= squared_euclidian(members[i], members[b]);
        const int side = nearer_a ? 0 : 1;
        sides[side][counts[side]++] = members[i];
    }
    if (counts[1] == 0) sides[1][counts[1]++] = sides[0][--counts[0]];
}
