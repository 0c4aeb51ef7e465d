#pragma once

#include <atomic>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "analysis/analysisoptions.h"
#include "analysis/analysisstatus.h"
#include "analysis/charstring.h"
#include "analysis/distancemodels.h"
#include "analysis/epochcompute.h"
#include "analysis/processgroup.h"
#include "analysis/sequencefile.h"
#include "analysis/seqvector.h"

class AnalysisFrontEnd;
class WorkerPool;
class TreeNode;

// The analysis object: settings, paths, the process group of an MPI run,
// and one run at a time from a sequence file to a Newick tree. Everything a
// run needs lives in the object, so objects on different threads never
// share state.
class AnalysisModule {
public:
    explicit AnalysisModule(const AnalysisOptions& run_options = AnalysisOptions());
    // One process of an MPI group (MPI must be running): the group of
    // MPI_COMM_WORLD, made where the rest of MPI lives.
    explicit AnalysisModule(int process_rank,
                            const AnalysisOptions& run_options = AnalysisOptions())
        : AnalysisModule(process_rank, make_mpi_process_group(), run_options) {}
    // One process of the given group; tests give groups of their own.
    AnalysisModule(int rank, std::unique_ptr<ProcessGroup> process_group,
                   const AnalysisOptions& run_options = AnalysisOptions());
    ~AnalysisModule();
    AnalysisModule(const AnalysisModule&) = delete;
    AnalysisModule& operator=(const AnalysisModule&) = delete;

    // Each checks that its file can be used and keeps a copy of the path;
    // a refusal carries the line to show and changes nothing.
    AnalysisStatus set_input_path(const std::string& path);
    AnalysisStatus set_output_path(const std::string& path);
    void set_conscience_learning_rate(double rate) { conscience_learning_rate = rate; }
    void set_kohonen_learning_rate(double rate) { kohonen_learning_rate = rate; }
    void set_convergence_threshold(double threshold) { convergence_threshold = threshold; }
    void set_epochs(int count) { epochs = count; }
    bool set_distance_metric(CharString name);

    // Refuses settings with which a run cannot work.
    AnalysisStatus check_settings() const;

    // One run, the start routine of the window's analysis thread and a plain
    // function alike: `module` is the AnalysisModule. Its outcome is left in
    // run_status. Returns null.
    static void* run(void* module);

    // Process 0 of a group that ends without having shared its input (no
    // run, or a run that failed before the input went out): tells the other
    // processes, which wait for that input, to end with `exit_code` (0 when
    // process 0 ends normally without a run). Does nothing on other
    // processes, without a group, or once told.
    void release_group(int exit_code);
    // A process other than 0 whose own settings are refused: it still takes
    // its part in the input broadcasts and the agreement that follows them,
    // so that every process ends together with the refusal's exit code (the
    // largest, when several refuse). Gives the refusal, or process 0's
    // silent end when process 0 makes no run itself.
    AnalysisStatus refuse_run(const AnalysisStatus& refusal);
    // The last run of an MPI group with a window on process 0 ended before
    // its first epoch because the processes' settings differ: the group
    // serves another run, which every process waits for.
    bool group_waits_again() const { return waits_again; }
    // Asks the run under way to stop, from any thread (the window's "Quit"
    // on process 0 of a group): the processes of the group learn it at
    // their next exchange and end the run together, silently with exit code
    // 0 and without appending anything. The request is never withdrawn.
    void cancel_run() { cancel_requested.store(true, std::memory_order_relaxed); }

    // Reads the sequence file at input_path, or the file's text from `in`.
    AnalysisStatus read_input(SequenceData* data) const;
    AnalysisStatus read_input(std::istream& in, SequenceData* data) const;
    // The run's taxa in file order, numbered 0 to num_seqs - 1; they live
    // until the next call. The taxa take the sequences over.
    std::vector<SeqVector*> build_vectors(SequenceData data);

    // The tree of a group: every step's lines, the front end's calls for
    // `node` and below (depth 0 for all taxa) and the Newick text, in
    // recursion order. With a front end each split is trained as the walk
    // reaches it; without one, level by level ahead of the walk.
    void partition(SeqVector** seq_vectors, int n, TreeNode* node, int depth);
    // The exchange after an epoch of a group whose processes share it: each
    // process's member lists and its flags go to every process. Gives
    // whether any process converged; a process that asked to cancel the run
    // cancels it for all.
    bool mpi_synch_partitions(SeqVector** members[2], int counts[2], int n, int neurons,
                              bool converged);

    static void init_neuron(SeqVector* neuron);
    void kohonen_update(SeqVector* neuron, const SeqVector* taxon) const;
    // The update of positions [begin, end) only, with learning rate `rate`.
    static void kohonen_update(SeqVector* neuron, const SeqVector* taxon, double rate, int begin,
                               int end);
    // The root of the mean squared base distance per position.
    static double rms_error(const SeqVector* neuron, const SeqVector* taxon);

    // Codes a taxon id x and a neuron index y in one int, for the exchange:
    // (h + y)^2 + x with h = (x + 1) / 2. unpair is its exact inverse.
    static int pair(int x, int y);
    static void unpair(int z, int* x, int* y);

    // The Newick form of a taxon name: unchanged, or single-quoted with every
    // quote doubled when it holds a character that Newick gives a meaning.
    static std::string newick_label(const CharString& name);

    AnalysisFrontEnd* gui = nullptr;
    std::vector<SeqVector*> vectors_by_id;
    int num_processors = 1;
    int rank = 0;
    bool mpi_mode = false;
    // Copies of the accepted paths; empty until a setter accepts one.
    std::string input_path;
    std::string output_path;
    double conscience_learning_rate = 0.001;
    double kohonen_learning_rate = 0.04;
    double convergence_threshold = 0.25;
    int epochs = 100;
    DistanceFunction distance_metric = euclidian_distance;

    // The collectives of an MPI run; null without MPI. Owned.
    std::unique_ptr<ProcessGroup> group;
    // How runs work, which only the tests and the benchmark change.
    AnalysisOptions options;
    // The outcome of the last run.
    AnalysisStatus run_status = AnalysisStatus::success();

    // Epochs and what they did, for the benchmark and the tests.
    struct EpochCounts {
        long long epochs = 0;
        // An input compared with a neuron at one position in one epoch.
        long long presentations = 0;
        // Exchanges with the other processes after an epoch.
        long long exchanges = 0;
        // Attempts that went on from where the failed one before ended.
        long long continued_attempts = 0;

        void add(const EpochCounts& other);
    };
    // What the last run did on this process.
    struct RunCounters : EpochCounts {
        int threads = 1;
        // The training of the first group (all taxa): epochs and seconds.
        long long first_step_epochs = 0;
        double first_step_seconds = 0.0;
    };
    RunCounters counters;

    // What a split step did besides the split: the lines it reports after
    // its "Num_seqs" line, and its work.
    struct StepOutcome {
        int zero_partitions = 0;
        bool farthest_pair = false;
        EpochCounts work;
        double seconds = 0.0;
    };
    // Attempts of one partition step before it splits by the farthest pair.
    static constexpr int kMaxAttempts = 8;
    // Taxon ids travel between MPI processes as pair codes of int range.
    static constexpr int kMaxMpiTaxa = 92677;

private:
    // The tree's steps train through split_group.
    friend class SplitTree;
    friend class DepthFirstSchedule;
    friend class LevelSchedule;
    friend class ReadySchedule;

    // Trains `group` (n >= 3 taxa) until it splits and leaves the two sides
    // in `sides` (room for n taxa each): the attempts, then the farthest-pair
    // split when none succeeds. With `shared` the group's processes share
    // every epoch, and every process must make the same call; otherwise this
    // process trains the whole group itself, as the group would. Steps may
    // run at once on different threads, each with its own compute object,
    // when they are not shared and no front end is attached.
    void split_group(SeqVector** inputs, int n, EpochCompute* arithmetic, bool shared,
                     SeqVector** sides[2], int counts[2], StepOutcome* outcome);
    // Whether the processes of the group share the epochs of a group of n
    // taxa of `length` positions (when they have no other group to train).
    bool shares_epochs(int n, int length) const;
    // The run under way was cancelled (see cancel_run) and learnt it, or its
    // training was abandoned: its steps stay untrained.
    bool cancelled_run() const { return cancelled || training_abandoned(); }
    // A failure on one thread ends the run: the steps that other threads
    // train stop at their next epoch.
    void abandon_training() { abandoned.store(true, std::memory_order_relaxed); }
    bool training_abandoned() const { return abandoned.load(std::memory_order_relaxed); }

    // The run's boundary: the standard library's refusals (memory, threads)
    // end the run here, with a line of their own and nothing appended; in
    // the middle of an MPI run they end the whole group.
    AnalysisStatus execute_within_means();
    // The line for memory that ran out while the input was read (`loaded`
    // false) or analysed; `input` holds the counts read so far.
    static std::string memory_shortage(const SequenceData& input, bool loaded);
    // The run; `input` receives the counts of the input and `loaded` says
    // when its taxa have been built.
    AnalysisStatus execute(SequenceData* input, bool* loaded);
    // Reads or receives the input into `data`, builds the taxa, and leaves
    // only the counts in `data`.
    AnalysisStatus load_taxa(SequenceData* data);
    AnalysisStatus share_input(SequenceData* data);
    AnalysisStatus receive_input(SequenceData* data);
    AnalysisStatus write_tree();
    // One warning line on the console per name that several taxa bear.
    void warn_repeated_names(const SequenceData& data) const;
    // The state of a split step's training, from which a failed attempt's
    // successor can go on.
    struct Training {
        // The group's processes share every epoch and exchange the results.
        bool shared = false;
        // Conscience states: one per process of the group when this process
        // trains the whole group as the group would, else its own.
        int states = 1;
        // Indices of the inputs whose model values this process computes.
        std::vector<int> classified;
        std::vector<double> conscience;
        std::vector<double> values;
        std::vector<unsigned char> winners;
        // The shared Kohonen update: this process's part, all parts.
        std::vector<double> own_part;
        std::vector<double> all_parts;
        std::vector<int> part_sizes;
        std::vector<int> part_places;
        int epoch = 0;
        bool converged = false;
        // Every later epoch of this attempt and of the attempts after it is
        // known to leave a side empty without converging.
        bool settled = false;
    };
    // Whether the epoch just classified can begin a settled state: every
    // input went to one neuron while the neurons were equal, no input came
    // within the threshold, and the processes that classify the inputs,
    // one each, hold the same conscience.
    bool may_settle(const Training& training, int n, EpochCompute* arithmetic) const;
    // Each process of the group updates its part of the neurons; then every
    // process takes every part.
    void share_kohonen_update(Training* training, EpochCompute* arithmetic,
                              SeqVector* const* const members[2], const int counts[2]);
    void prepare_training(int n, bool shared, Training* training) const;
    // Epochs from training->epoch up to `budget`, until an RMS error falls
    // below the threshold. Leaves the last epoch's members in the lists.
    void train(Training* training, EpochCompute* arithmetic, SeqVector** inputs, int n,
               SeqVector** members[2], int counts[2], int budget, EpochCounts* work);
    // An epoch's classification on this process: each input it classifies
    // goes to the neuron whose model value plus conscience bias is the
    // smaller, the conscience favours the loser, an RMS error below the
    // threshold converges the attempt and the chart shows the errors of
    // this process's own inputs. With one conscience the winners go to the
    // member lists at once.
    void classify(Training* training, EpochCompute* arithmetic, SeqVector** inputs,
                  SeqVector** members[2], int counts[2]) const;
    // The member lists in the order of the processes that classify the
    // inputs, as the exchange of a shared group lists them.
    static void list_by_process(const Training& training, SeqVector** inputs, int n,
                                SeqVector** members[2], int counts[2]);
    // The Kohonen update of a group this process trains alone, and whether
    // the epoch leaves the group settled.
    void update_alone(Training* training, EpochCompute* arithmetic, int n,
                      SeqVector* const* const members[2], const int counts[2]) const;
    // The epochs' arithmetic of the run: its settings and threads.
    EpochSetup epoch_setup() const;
    // Counts an unshared epoch of `presentations` towards the next meeting
    // with the other processes, which tells whether process 0 cancels.
    void count_unshared_work(long long presentations);
    int default_threads() const;
    bool writes_output() const { return !mpi_mode || rank == 0; }
    void split_by_farthest_pair(SeqVector** members, int n, SeqVector** sides[2],
                                int counts[2]) const;

    // The taxa of the last run; they live until the next run starts, so a
    // window can still show their names.
    std::vector<std::unique_ptr<SeqVector>> taxa;
    // The F81 and F84 constants of the run's base frequencies.
    ModelConstants model_constants;
    // The run's threads, and the epochs' arithmetic with them, during a run.
    std::unique_ptr<WorkerPool> pool;
    std::unique_ptr<EpochCompute> compute;
    // A front end is attached to a process of the run: the tree grows in
    // recursion order on the calling thread.
    bool in_order = false;
    // The Newick text of the run under way, appended to the tree file in one
    // write when the run has finished.
    std::string newick;
    bool call_limit_reached = false;
    // See cancel_run. The run learns of a request at an exchange, or at a
    // meeting of count_unshared_work, and then makes no other.
    std::atomic<bool> cancel_requested{false};
    bool cancelled = false;
    // See abandon_training; read by every thread that trains a step.
    std::atomic<bool> abandoned{false};
    // The work of unshared epochs since the processes last met.
    long long unshared_work = 0;
    // Process 0 of a group: the other processes have had the input or have
    // been told that none comes; they wait for nothing more from it.
    bool group_served = false;
    // See group_waits_again.
    bool waits_again = false;
    // Scratch of the per-epoch exchange, kept to avoid allocating every epoch.
    std::vector<int> exchange_counts;
    std::vector<int> exchange_displacements;
    std::vector<int> exchange_sent;
    std::vector<int> exchange_received;
};
