#include "analysis/analysismodule.h"

#include <algorithm>
#include <cmath>
#include <ostream>
#include <sstream>
#include <utility>

#include "analysis/analysisfrontend.h"
#include "analysis/check.h"
#include "analysis/currentrefusal.h"
#include "analysis/groupprotocol.h"
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

// A run cancelled by process 0's "Quit" ends every process silently, as a
// "Quit" before any run does.
constexpr int kCancelledExitCode = 0;

std::string number_text(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

}  // namespace

AnalysisModule::AnalysisModule(const AnalysisOptions& run_options) : options(run_options) {}

AnalysisModule::AnalysisModule(int process_rank, std::unique_ptr<ProcessGroup> process_group,
                               const AnalysisOptions& run_options)
    : AnalysisModule(run_options) {
    group = std::move(process_group);
    protocol = std::make_unique<GroupProtocol>(group.get());
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

void AnalysisModule::partition(SeqVector** seq_vectors, int n, TreeNode* node, int depth) {
    tavrel_assert(trainer != nullptr);
    SplitTree tree(std::vector<SeqVector*>(seq_vectors, seq_vectors + n));
    TreeWalker::Output output;
    output.console = options.console;
    output.gui = gui;
    output.root = node;
    output.root_depth = depth;
    output.writes_text = writes_output();
    TreeWalker walker(output, vectors_by_id, options.call_limit);
    TrainingMeans means;
    means.trainer = trainer.get();
    means.counters = &counters;
    means.compute = compute.get();
    means.pool = pool.get();
    means.make_compute = options.epoch_compute;
    means.setup = epoch_setup();
    if (front_end_attached) {
        DepthFirstSchedule schedule(means);
        walker.walk(&tree, &schedule);
    } else if (num_processors == 1) {
        // The walker asks the schedule for the step it waits for; the
        // schedule, training ahead, lets the walker go on between steps, so
        // that the lines come as the steps are done.
        const auto progress = [&walker, &tree] {
            int waiting_for = 0;
            return walker.advance(tree, &waiting_for);
        };
        ReadySchedule schedule(means, options.call_limit, progress);
        walker.walk(&tree, &schedule);
    } else {
        LevelSchedule schedule(means, protocol.get(), vectors_by_id);
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
    // A window on process 0 outlasts its runs: one that ends before its
    // input went out (a file that cannot be read or is refused) leaves the
    // others waiting for the next, and the window's end releases them.
    const bool window = self->gui != nullptr && self->protocol && self->rank == 0;
    {
        GroupRelease release(window ? nullptr : self->protocol.get());
        self->run_status = self->execute_within_means();
        release.ending(self->run_status.exit_code());
    }
    if (window && !self->protocol->served()) self->waits_again = true;
    // The others wait for process 0's next input, or to be told that none
    // comes.
    if (self->waits_again) self->protocol->serve_again();
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
    trainer.reset();
    compute.reset();
    pool.reset();
    newick = std::string();
    vectors_by_id = std::vector<SeqVector*>();
    taxa = std::vector<std::unique_ptr<SeqVector>>();
    // The other processes may be waiting for this one in a collective that
    // it will never make.
    return status.ending_group(protocol && (rank != 0 || protocol->served()));
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
    counters = RunCounters();
    pool = std::make_unique<WorkerPool>(options.worker_threads > 0 ? options.worker_threads
                                                                   : default_threads());
    counters.threads = pool->threads();
    compute = options.epoch_compute(epoch_setup());
    trainer = std::make_unique<SplitTrainer>(*this, options, protocol.get(), gui,
                                             front_end_attached, cancel_requested, vectors_by_id);
    // The taxa in file order are the first group; partition only reads it.
    partition(vectors_by_id.data(), static_cast<int>(vectors_by_id.size()),
              gui ? gui->tree_root() : nullptr, 0);
    const bool cancelled = trainer->cancelled();
    trainer.reset();
    compute.reset();
    pool.reset();
    if (protocol) protocol->agree_end();
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
        if (protocol && status.ok()) status = protocol->share_input(*data, input_path);
    } else {
        status = protocol->receive_input(data);
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
        protocol->agree(&agreement);
        front_end_attached = agreement.front_end();
        if (agreement.refusal() != 0) return AnalysisStatus::silent_failure(agreement.refusal());
        status = agreement.differences(rank);
        if (!status.ok()) {
            // With a window on process 0 its settings can be mended there:
            // every process waits for the next run, as before this one.
            if (agreement.front_end()) waits_again = true;
            return status;
        }
    }
    if (!mpi_mode) front_end_attached = gui != nullptr;
    vectors_by_id = build_vectors(std::move(*data));
    for (SeqVector* taxon : vectors_by_id) tavrel_assert(vectors_by_id[taxon->id] == taxon);
    // The taxa hold the input now; only its counts stay, for a message.
    data->names = std::vector<CharString>();
    data->sequences = std::vector<std::string>();
    return AnalysisStatus::success();
}

int AnalysisModule::default_threads() const {
    const int processes = protocol ? protocol->processes_on_node() : 1;
    // A window's event loop keeps a core of its own, so that it stays live.
    const int cores = WorkerPool::usable_cores() - (gui ? 1 : 0);
    return std::max(1, cores / std::max(1, processes));
}

bool AnalysisModule::leave_group_run() {
    return protocol && protocol->leave(kCancelledExitCode);
}

bool AnalysisModule::left_group_run() const {
    return protocol && protocol->left();
}

void AnalysisModule::release_group(int exit_code) {
    if (protocol) protocol->release(exit_code);
}

AnalysisStatus AnalysisModule::refuse_run(const AnalysisStatus& refusal) {
    tavrel_assert(mpi_mode && rank != 0 && !refusal.ok());
    SequenceData data;
    const AnalysisStatus received = protocol->receive_input(&data);
    // Process 0 makes no run: it reports its own end, and this process
    // ends with it, silently.
    if (!received.ok()) return received;
    // None of this process's own settings takes part in the comparison.
    SettingsAgreement agreement(refusal.exit_code());
    protocol->agree(&agreement);
    return AnalysisStatus::failure(refusal.message(), agreement.refusal());
}

bool AnalysisModule::mpi_synch_partitions(SeqVector** members[2], int counts[2], int n, int neurons,
                                          bool converged) {
    tavrel_assert(neurons == kNeurons);
    return protocol
        ->exchange_members(members, counts, n, converged,
                           cancel_requested.load(std::memory_order_relaxed), vectors_by_id)
        .converged;
}

AnalysisStatus AnalysisModule::write_tree() {
    if (!writes_output()) return AnalysisStatus::success();
    newick += ";\n";
    const AnalysisStatus status = append_tree_line(output_path, newick);
    newick.clear();
    return status;
}
