#include "analysis/analysismodule.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <utility>

#include "analysis/analysisfrontend.h"
#include "analysis/check.h"
#include "analysis/currentrefusal.h"
#include "analysis/groupmessages.h"
#include "analysis/grouprelease.h"
#include "analysis/inputfile.h"
#include "analysis/settingsagreement.h"
#include "analysis/showntext.h"
#include "analysis/splittree.h"
#include "analysis/treefile.h"
#include "analysis/treeschedule.h"
#include "analysis/treewalker.h"
#include "analysis/workerpool.h"

namespace {

constexpr double kConscienceStart = 0.5;
// A run cancelled by process 0's "Quit" ends every process silently, as a
// "Quit" before any run does.
constexpr int kCancelledExitCode = 0;
// What an epoch costs beside its presentations, counted as presentations:
// groups of few taxa run many short epochs between two meetings.
constexpr long long kEpochWork = 1 << 12;

std::string number_text(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

// Newick's own characters, and those that common readers refuse in a name
// written without quotes. Underscores stay unquoted: read as written by
// convention, they are what most tree files hold.
bool needs_quotes(const char* text) {
    return std::strpbrk(text, "(),;:[]'\"\\{}=") != nullptr;
}

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

std::string AnalysisModule::newick_label(const CharString& name) {
    const char* text = name.c_str();
    if (!needs_quotes(text)) return text;
    std::string quoted = "'";
    for (const char* c = text; *c; ++c) {
        if (*c == '\'') quoted += '\'';
        quoted += *c;
    }
    quoted += '\'';
    return quoted;
}

AnalysisModule::AnalysisModule(const AnalysisOptions& run_options) : options(run_options) {}

AnalysisModule::AnalysisModule(int process_rank, std::unique_ptr<ProcessGroup> process_group,
                               const AnalysisOptions& run_options)
    : AnalysisModule(run_options) {
    group = std::move(process_group);
    num_processors = group->size();
    rank = process_rank;
    mpi_mode = true;
}

AnalysisModule::~AnalysisModule() = default;

AnalysisStatus AnalysisModule::set_input_path(const std::string& path) {
    const AnalysisStatus status = InputFile::check(path);
    if (status.ok()) input_path = path;
    return status;
}

AnalysisStatus AnalysisModule::set_output_path(const std::string& path) {
    const AnalysisStatus status = check_tree_file(path);
    if (status.ok()) output_path = path;
    return status;
}

bool AnalysisModule::set_distance_metric(CharString name) {
    const DistanceFunction model = find_distance_model(name);
    if (!model) return false;
    distance_metric = model;
    return true;
}

AnalysisStatus AnalysisModule::check_settings() const {
    if (epochs < 1) {
        return AnalysisStatus::failure("Error: epochs must be at least 1, not " +
                                       std::to_string(epochs));
    }
    if (!std::isfinite(conscience_learning_rate) || conscience_learning_rate < 0.0 ||
        conscience_learning_rate >= 1.0) {
        return AnalysisStatus::failure(
            "Error: conscience_learning_rate must be at least 0 and below 1, not " +
            number_text(conscience_learning_rate));
    }
    if (!std::isfinite(kohonen_learning_rate) || kohonen_learning_rate < 0.0) {
        return AnalysisStatus::failure(
            "Error: kohonen_learning_rate must be a finite number of at least 0, not " +
            number_text(kohonen_learning_rate));
    }
    if (!std::isfinite(convergence_threshold)) {
        return AnalysisStatus::failure(
            "Error: convergence_threshold must be a finite number, not " +
            number_text(convergence_threshold));
    }
    return AnalysisStatus::success();
}

AnalysisStatus AnalysisModule::read_input(SequenceData* data) const {
    *data = SequenceData();
    if (input_path.empty()) return AnalysisStatus::failure("Error: No input file chosen");
    InputFile file;
    AnalysisStatus status = file.open(input_path);
    if (!status.ok()) return status;
    std::istream in(&file);
    status = read_sequence_data(in, data);
    // A read that failed explains whatever the reader made of the text.
    const AnalysisStatus read = file.read_status();
    if (!read.ok()) {
        *data = SequenceData();
        return read;
    }
    if (status.ok()) warn_repeated_names(*data);
    return status;
}

AnalysisStatus AnalysisModule::read_input(std::istream& in, SequenceData* data) const {
    const AnalysisStatus status = read_sequence_data(in, data);
    if (status.ok()) warn_repeated_names(*data);
    return status;
}

void AnalysisModule::warn_repeated_names(const SequenceData& data) const {
    for (const std::string& warning : repeated_name_warnings(data)) {
        *options.console << warning << std::endl;
    }
}

std::vector<SeqVector*> AnalysisModule::build_vectors(SequenceData data) {
    taxa.clear();
    std::vector<SeqVector*> vectors;
    vectors.reserve(data.num_seqs);
    for (int i = 0; i < data.num_seqs; ++i) {
        auto taxon = std::make_unique<SeqVector>();
        taxon->id = i;
        taxon->name = data.names[i];
        // The taxon takes the letters over: the text is held once.
        taxon->set_letters(std::move(data.sequences[i]));
        tavrel_assert(taxon->length == data.seq_len);
        vectors.push_back(taxon.get());
        taxa.push_back(std::move(taxon));
    }
    model_constants = derive_model_constants(count_base_frequencies(vectors.data(), data.num_seqs));
    return vectors;
}

void AnalysisModule::init_neuron(SeqVector* neuron) {
    for (int i = 0; i < neuron->length; ++i) {
        neuron->data[i].x = kNeuronStart;
        neuron->data[i].y = kNeuronStart;
        neuron->data[i].z = kNeuronStart;
    }
}

void AnalysisModule::kohonen_update(SeqVector* neuron, const SeqVector* taxon) const {
    kohonen_update(neuron, taxon, kohonen_learning_rate, 0, neuron->length);
}

void AnalysisModule::kohonen_update(SeqVector* neuron, const SeqVector* taxon, double rate,
                                    int begin, int end) {
    Base* n = neuron->data;
    taxon->with_bases([&](const auto& x) {
        for (int i = begin; i < end; ++i) {
            n[i].x = n[i].x + rate * (x(i).x - n[i].x);
            n[i].y = n[i].y + rate * (x(i).y - n[i].y);
            n[i].z = n[i].z + rate * (x(i).z - n[i].z);
        }
    });
}

double AnalysisModule::rms_error(const SeqVector* neuron, const SeqVector* taxon) {
    return rms_of_euclidian(euclidian_distance(neuron, taxon, ModelConstants()), neuron->length);
}

void AnalysisModule::split_by_farthest_pair(SeqVector** members, int n, SeqVector** sides[2],
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

void AnalysisModule::EpochCounts::add(const EpochCounts& other) {
    epochs += other.epochs;
    presentations += other.presentations;
    exchanges += other.exchanges;
    continued_attempts += other.continued_attempts;
}

bool AnalysisModule::shares_epochs(int n, int length) const {
    return num_processors > 1 && n >= 2 * num_processors &&
           static_cast<long long>(n) * length >= options.shared_epoch_work;
}

void AnalysisModule::prepare_training(int n, bool shared, Training* training) const {
    training->shared = shared;
    // Without sharing, a process of a group trains the whole group itself,
    // each input with the conscience of the process that would classify it.
    training->states = shared ? 1 : num_processors;
    training->classified.clear();
    const int step = shared ? num_processors : 1;
    for (int i = shared ? rank : 0; i < n; i += step) training->classified.push_back(i);
    const std::size_t count = training->classified.size();
    training->values.assign(count * kNeurons, 0.0);
    training->winners.assign(count, 0);
    training->conscience.assign(static_cast<std::size_t>(training->states) * kNeurons,
                                kConscienceStart);
    training->epoch = 0;
    training->converged = false;
}

void AnalysisModule::train(Training* training, EpochCompute* arithmetic, SeqVector** inputs, int n,
                           SeqVector** members[2], int counts[2], int budget, EpochCounts* work) {
    const long long presentations =
        static_cast<long long>(training->classified.size()) * kNeurons * inputs[0]->length;
    // Unshared epochs make no exchange: with a front end on process 0, which
    // may cancel the run, the processes meet now and then instead.
    const bool meets = mpi_mode && in_order;
    while (training->epoch < budget && !training->converged && !training->settled && !cancelled &&
           !training_abandoned()) {
        classify(training, arithmetic, inputs, members, counts);
        // Every process lists the members in the order of the processes
        // that classify them, which is input order with one process.
        if (training->states > 1) list_by_process(*training, inputs, n, members, counts);
        if (training->shared) {
            // Every process must run the same epochs.
            training->converged =
                mpi_synch_partitions(members, counts, n, kNeurons, training->converged);
            // Every process saw the cancel in the same exchange.
            if (cancelled) break;
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

void AnalysisModule::classify(Training* training, EpochCompute* arithmetic, SeqVector** inputs,
                              SeqVector** members[2], int counts[2]) const {
    const double c = conscience_learning_rate;
    const double keep = 1.0 - c;
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
        const int owner = per_process ? i % num_processors : rank;
        double* p = conscience + (per_process ? owner : 0) * kNeurons;
        const double bias0 = std::exp(1.0 - std::log(p[0]));
        const double bias1 = std::exp(1.0 - std::log(p[1]));
        const int w = (values[2 * j + 1] + bias1 < values[2 * j] + bias0) ? 1 : 0;
        winners[j] = static_cast<unsigned char>(w);
        if (!per_process) members[w][counts[w]++] = inputs[i];
        p[w] = keep * p[w];
        p[1 - w] = keep * p[1 - w] + c;
        const double r = arithmetic->rms_error(j, w);
        if (r < convergence_threshold) training->converged = true;
        if (gui && owner == rank) gui->add_value(static_cast<int>(r * 100.0));
    }
}

void AnalysisModule::list_by_process(const Training& training, SeqVector** inputs, int n,
                                     SeqVector** members[2], int counts[2]) {
    const int states = training.states;
    for (int q = 0; q < states; ++q) {
        for (int i = q; i < n; i += states) {
            const int w = training.winners[i];
            members[w][counts[w]++] = inputs[i];
        }
    }
}

void AnalysisModule::update_alone(Training* training, EpochCompute* arithmetic, int n,
                                  SeqVector* const* const members[2], const int counts[2]) const {
    const bool settling = may_settle(*training, n, arithmetic);
    arithmetic->kohonen_update(members, counts);
    // The winner did not move: the same epoch repeats for ever.
    if (settling && arithmetic->neurons_equal()) training->settled = true;
}

void AnalysisModule::count_unshared_work(long long presentations) {
    // Every process trains the same epochs, so all meet at the same one.
    unshared_work += presentations + kEpochWork;
    if (unshared_work < options.cancel_check_work) return;
    unshared_work = 0;
    int cancel = cancel_requested.load(std::memory_order_relaxed) ? 1 : 0;
    group->broadcast(&cancel, 1);
    if (cancel != 0) cancelled = true;
}

bool AnalysisModule::may_settle(const Training& training, int n, EpochCompute* arithmetic) const {
    // Without a front end on any process only: a window's chart shows every
    // epoch, and every process must run the epochs of process 0. With
    // one input per process and equal neurons, the model values of both
    // neurons are equal and the equal biases send every input to the same
    // neuron; if that neuron does not move, the next epoch is the same
    // again, with the same RMS errors, and so is every epoch after it.
    if (!options.stop_settled_groups || in_order || training.states < n || training.converged) {
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

void AnalysisModule::share_kohonen_update(Training* training, EpochCompute* arithmetic,
                                          SeqVector* const* const members[2], const int counts[2]) {
    const int parts = num_processors;
    training->part_sizes.resize(parts);
    training->part_places.resize(parts);
    int total = 0;
    for (int q = 0; q < parts; ++q) {
        training->part_sizes[q] = arithmetic->part_size(q, parts);
        training->part_places[q] = total;
        total += training->part_sizes[q];
    }
    training->all_parts.resize(total);
    arithmetic->kohonen_update_part(members, counts, rank, parts, &training->own_part);
    group->all_gather(training->own_part.data(), static_cast<int>(training->own_part.size()),
                      training->all_parts.data(), training->part_sizes.data(),
                      training->part_places.data());
    arithmetic->unpack_parts(training->all_parts.data(), parts);
}

void AnalysisModule::split_group(SeqVector** inputs, int n, EpochCompute* arithmetic, bool shared,
                                 SeqVector** sides[2], int counts[2], StepOutcome* outcome) {
    const auto started = std::chrono::steady_clock::now();
    *outcome = StepOutcome();
    Training training;
    prepare_training(n, shared, &training);
    arithmetic->start_step(inputs, n, training.classified.data(),
                           static_cast<int>(training.classified.size()));
    bool split = false;
    bool go_on = false;
    int budget = epochs;
    for (int attempt = 0; attempt < kMaxAttempts && !split && !cancelled_run(); ++attempt) {
        if (go_on) {
            ++outcome->work.continued_attempts;
        } else if (attempt > 0) {
            // A fresh attempt, from the state in which the step started.
            prepare_training(n, shared, &training);
            arithmetic->reset_neurons();
        }
        train(&training, arithmetic, inputs, n, sides, counts, budget, &outcome->work);
        if (cancelled_run()) break;
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
        go_on = !in_order;
    }
    arithmetic->finish_step();
    if (!split && !cancelled_run()) {
        outcome->farthest_pair = true;
        split_by_farthest_pair(inputs, n, sides, counts);
    }
    outcome->seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

void AnalysisModule::partition(SeqVector** seq_vectors, int n, TreeNode* node, int depth) {
    SplitTree tree(std::vector<SeqVector*>(seq_vectors, seq_vectors + n));
    TreeWalker::Output output;
    output.console = options.console;
    output.gui = gui;
    output.root = node;
    output.root_depth = depth;
    output.writes_text = writes_output();
    TreeWalker walker(output, vectors_by_id, options.call_limit);
    if (in_order) {
        DepthFirstSchedule schedule(this, compute.get());
        walker.walk(&tree, &schedule);
    } else if (num_processors == 1) {
        const auto progress = [&walker, &tree] {
            int waiting_for = 0;
            return walker.advance(tree, &waiting_for);
        };
        ReadySchedule schedule(this, pool.get(), compute.get(), epoch_setup(), progress);
        walker.walk(&tree, &schedule);
    } else {
        LevelSchedule schedule(this, pool.get(), compute.get(), epoch_setup());
        walker.walk(&tree, &schedule);
    }
    call_limit_reached = walker.stopped_by_call_limit();
    newick += walker.take_newick();
}

EpochSetup AnalysisModule::epoch_setup() const {
    EpochSetup setup;
    setup.model = distance_metric;
    setup.constants = model_constants;
    setup.kohonen_rate = kohonen_learning_rate;
    setup.taxa = static_cast<int>(vectors_by_id.size());
    setup.pool = pool.get();
    setup.kernels = options.kernels;
    return setup;
}

void* AnalysisModule::run(void* module) {
    AnalysisModule* self = static_cast<AnalysisModule*>(module);
    {
        GroupRelease release(self);
        self->run_status = self->execute_within_means();
        release.ending(self->run_status.exit_code());
    }
    // The others wait for process 0's next input, or to be told that none
    // comes.
    if (self->waits_again) self->group_served = false;
    return nullptr;
}

AnalysisStatus AnalysisModule::execute_within_means() {
    SequenceData input;
    bool loaded = false;
    AnalysisStatus status = AnalysisStatus::success();
    try {
        return execute(&input, &loaded);
    } catch (...) {
        status = current_refusal(memory_shortage(input, loaded));
    }
    // What the run holds goes at once: the memory ran short, and a window
    // goes on after the failure.
    compute.reset();
    pool.reset();
    newick = std::string();
    vectors_by_id = std::vector<SeqVector*>();
    taxa = std::vector<std::unique_ptr<SeqVector>>();
    // The other processes may be waiting for this one in a collective that
    // it will never make.
    return status.ending_group(mpi_mode && (rank != 0 || group_served));
}

std::string AnalysisModule::memory_shortage(const SequenceData& input, bool loaded) {
    if (input.num_seqs == 0) return std::string(kNoMemory) + " to read the input";
    return std::string("Error: not enough memory to ") + (loaded ? "analyse " : "read ") +
           std::to_string(input.num_seqs) + " x " + std::to_string(input.seq_len) + " positions";
}

AnalysisStatus AnalysisModule::execute(SequenceData* input, bool* loaded) {
    AnalysisStatus status = check_settings();
    if (!status.ok()) {
        // Process 0 cannot know of a refusal elsewhere: the group ends together.
        if (mpi_mode && rank != 0) return refuse_run(status);
        return status;
    }
    if (writes_output() && output_path.empty()) {
        return AnalysisStatus::failure("Error: No output file chosen");
    }
    waits_again = false;
    status = load_taxa(input);
    if (!status.ok()) return status;
    *loaded = true;

    newick.clear();
    call_limit_reached = false;
    cancelled = false;
    abandoned.store(false, std::memory_order_relaxed);
    unshared_work = 0;
    counters = RunCounters();
    pool = std::make_unique<WorkerPool>(options.worker_threads > 0 ? options.worker_threads
                                                                   : default_threads());
    counters.threads = pool->threads();
    compute = options.epoch_compute(epoch_setup());
    // The taxa in file order are the first group; partition only reads it.
    partition(vectors_by_id.data(), static_cast<int>(vectors_by_id.size()),
              gui ? gui->tree_root() : nullptr, 0);
    compute.reset();
    pool.reset();
    if (mpi_mode) end_message::agree(group.get());
    if (call_limit_reached) {
        newick.clear();
        return AnalysisStatus::failure("Hardcoded limit reached... exiting");
    }
    // A request that came too late for an exchange still keeps the tree out.
    if (cancelled || cancel_requested.load(std::memory_order_relaxed)) {
        newick.clear();
        return AnalysisStatus::silent_failure(kCancelledExitCode);
    }
    return write_tree();
}

AnalysisStatus AnalysisModule::load_taxa(SequenceData* data) {
    AnalysisStatus status = AnalysisStatus::success();
    if (!mpi_mode || rank == 0) {
        status = read_input(data);
        if (mpi_mode && status.ok()) status = share_input(data);
    } else {
        status = receive_input(data);
    }
    if (!status.ok()) return status;
    if (mpi_mode) {
        // The processes agree before the first epoch. A process other than
        // 0 may have refused its own settings: then every process ends with
        // its exit code (see refuse_run). Otherwise every process must run
        // with the same settings.
        DistanceModel model = DistanceModel::euclidian;
        const bool known_model = identify_distance_model(distance_metric, &model);
        tavrel_assert(known_model);
        SettingsAgreement agreement(
            {epochs, model, conscience_learning_rate, kohonen_learning_rate, convergence_threshold},
            gui != nullptr);
        agreement.agree(group.get());
        in_order = agreement.front_end();
        if (agreement.refusal() != 0) return AnalysisStatus::silent_failure(agreement.refusal());
        status = agreement.differences(rank);
        if (!status.ok()) {
            // With a window on process 0 its settings can be mended there:
            // every process waits for the next run, as before this one.
            if (agreement.front_end()) waits_again = true;
            return status;
        }
    }
    if (!mpi_mode) in_order = gui != nullptr;
    vectors_by_id = build_vectors(std::move(*data));
    for (SeqVector* taxon : vectors_by_id) tavrel_assert(vectors_by_id[taxon->id] == taxon);
    // The taxa hold the input now; only its counts stay, for a message.
    data->names = std::vector<CharString>();
    data->sequences = std::vector<std::string>();
    return AnalysisStatus::success();
}

int AnalysisModule::default_threads() const {
    const int processes = mpi_mode ? group->processes_on_node() : 1;
    // A window's event loop keeps a core of its own, so that it stays live.
    const int cores = WorkerPool::usable_cores() - (gui ? 1 : 0);
    return std::max(1, cores / std::max(1, processes));
}

void AnalysisModule::release_group(int exit_code) {
    if (!mpi_mode || rank != 0 || group_served) return;
    // Code 0: process 0 ended normally without a run (its window's "Quit").
    tavrel_assert(exit_code >= 0);
    group_served = true;
    input_message::send_release(group.get(), exit_code);
}

AnalysisStatus AnalysisModule::refuse_run(const AnalysisStatus& refusal) {
    tavrel_assert(mpi_mode && rank != 0 && !refusal.ok());
    SequenceData data;
    const AnalysisStatus received = receive_input(&data);
    // Process 0 makes no run: it reports its own end, and this process
    // ends with it, silently.
    if (!received.ok()) return received;
    // None of this process's own settings takes part in the comparison.
    SettingsAgreement agreement(refusal.exit_code());
    agreement.agree(group.get());
    return AnalysisStatus::failure(refusal.message(), agreement.refusal());
}

AnalysisStatus AnalysisModule::share_input(SequenceData* data) {
    std::string refusal;
    if (data->num_seqs > kMaxMpiTaxa) {
        refusal = "Error: An MPI run takes at most " + std::to_string(kMaxMpiTaxa) + " taxa, not " +
                  std::to_string(data->num_seqs);
    } else if (input_message::body_bytes(*data) > INT_MAX) {
        refusal = "Error: Input file " + shown_text(input_path) +
                  " is too large to share between MPI processes";
    }
    if (!refusal.empty()) return AnalysisStatus::failure(refusal);
    input_message::send(group.get(), *data, &group_served);
    return AnalysisStatus::success();
}

AnalysisStatus AnalysisModule::receive_input(SequenceData* data) {
    int exit_code = 0;
    if (!input_message::receive(group.get(), data, &exit_code)) {
        return AnalysisStatus::silent_failure(exit_code);
    }
    return AnalysisStatus::success();
}

int AnalysisModule::pair(int x, int y) {
    const long long h = (static_cast<long long>(x) + 1) / 2;
    const long long code = (h + y) * (h + y) + x;
    tavrel_assert(x >= 0 && y >= 0 && code <= INT_MAX);
    return static_cast<int>(code);
}

void AnalysisModule::unpair(int z, int* x, int* y) {
    long long root = static_cast<long long>(std::sqrt(static_cast<double>(z)));
    while (root * root > z) --root;
    while ((root + 1) * (root + 1) <= z) ++root;
    *x = static_cast<int>(z - root * root);
    *y = static_cast<int>(root - (static_cast<long long>(*x) + 1) / 2);
}

bool AnalysisModule::mpi_synch_partitions(SeqVector** members[2], int counts[2], int n, int neurons,
                                          bool converged) {
    tavrel_assert(neurons == kNeurons);
    const int flags =
        (converged ? member_message::kConvergedFlag : 0) |
        (cancel_requested.load(std::memory_order_relaxed) ? member_message::kCancelFlag : 0);
    member_message::layout(n, num_processors, &exchange_counts, &exchange_displacements);
    member_message::pack(members, counts, flags, &exchange_sent);
    tavrel_assert(static_cast<int>(exchange_sent.size()) == exchange_counts[rank]);
    exchange_received.resize(n + num_processors);
    group->all_gather(exchange_sent.data(), exchange_counts[rank], exchange_received.data(),
                      exchange_counts.data(), exchange_displacements.data());
    const int all_flags =
        member_message::unpack(exchange_received.data(), exchange_counts, exchange_displacements,
                               vectors_by_id, members, counts);
    if ((all_flags & member_message::kCancelFlag) != 0) cancelled = true;
    return (all_flags & member_message::kConvergedFlag) != 0;
}

AnalysisStatus AnalysisModule::write_tree() {
    if (!writes_output()) return AnalysisStatus::success();
    newick += ";\n";
    const AnalysisStatus status = append_tree_line(output_path, newick);
    newick.clear();
    return status;
}
