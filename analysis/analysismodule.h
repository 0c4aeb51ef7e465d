#pragma once

#include <atomic>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "analysis/analysisoptions.h"
#include "analysis/analysissettings.h"
#include "analysis/analysisstatus.h"
#include "analysis/charstring.h"
#include "analysis/distancemodels.h"
#include "analysis/epochcompute.h"
#include "analysis/groupmessages.h"
#include "analysis/processgroup.h"
#include "analysis/sequencefile.h"
#include "analysis/seqvector.h"
#include "analysis/splittrainer.h"
#include "analysis/stepoutcome.h"

class AnalysisFrontEnd;
class GroupProtocol;
class WorkerPool;
class TreeNode;

// The analysis object: the settings (its AnalysisSettings, the user's tuning
// and the MPI identity), the paths, the process group of an MPI run, and one
// run at a time from a sequence file to a Newick tree. Everything a run needs
// lives in the object, so objects on different threads never share state.
// A run's parts have homes of their own: the reading (sequencefile), the
// training of each split (SplitTrainer), the tree of split steps and when
// they train (SplitTree, treeschedule), the walk that shows and writes them
// (TreeWalker), the steps taken with the other processes (GroupProtocol)
// and the tree file (treefile).
class AnalysisModule : public AnalysisSettings {
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

    // One run, on the calling thread: `module` is the AnalysisModule (the
    // window's analysis thread calls it as batch mode does). Its outcome is
    // left in run_status. Returns null.
    static void* run(void* module);

    // The steps this process takes with the other processes of its MPI
    // group; null without a group.
    GroupProtocol* group_protocol() const { return protocol.get(); }
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
    // its first epoch because the processes' settings differ, or (on
    // process 0) before its input went out: the group serves another run,
    // which every process waits for.
    bool group_waits_again() const { return waits_again; }
    // Asks the run under way to stop, from any thread (the window's "Quit"
    // on process 0 of a group): the processes of the group learn it at
    // their next exchange and end the run together, silently with exit code
    // 0 and without appending anything. The request is never withdrawn.
    void cancel_run() { cancel_requested.store(true, std::memory_order_relaxed); }
    // On process 0 of a group, from another thread after cancel_run: whether
    // the run under way will make no further call with the other processes,
    // so that this one may end without waiting for it (see
    // GroupProtocol::leave): they had no input yet, and now end silently
    // with exit code 0, or every process has done its part of the run.
    bool leave_group_run();
    // leave_group_run has said so.
    bool left_group_run() const;

    // Reads the sequence file at input_path, or the file's text from `in`.
    AnalysisStatus read_input(SequenceData* data) const;
    AnalysisStatus read_input(std::istream& in, SequenceData* data) const;
    // The run's taxa in file order, numbered 0 to num_seqs - 1; they live
    // until the next call. The taxa take the sequences over.
    std::vector<SeqVector*> build_vectors(SequenceData data);

    // The tree of a group, during a run: every step's lines, the front
    // end's calls for `node` and below (depth 0 for all taxa) and the Newick
    // text, in recursion order. With a front end each split is trained as
    // the walk reaches it; without one, one process trains every step as
    // soon as its parent has split, and the processes of a group train the
    // steps of a level side by side.
    void partition(SeqVector** seq_vectors, int n, TreeNode* node, int depth);
    // The exchange after an epoch of a group whose processes share it: each
    // process's member lists and its flags go to every process. Gives
    // whether any process converged. The run's trainer makes the same
    // exchange through the group's protocol.
    bool mpi_synch_partitions(SeqVector** members[2], int counts[2], int n, int neurons,
                              bool converged);

    static void init_neuron(SeqVector* neuron);
    void kohonen_update(SeqVector* neuron, const SeqVector* taxon) const;
    // The update of positions [begin, end) only, with learning rate `rate`.
    static void kohonen_update(SeqVector* neuron, const SeqVector* taxon, double rate, int begin,
                               int end);
    // The root of the mean squared base distance per position.
    static double rms_error(const SeqVector* neuron, const SeqVector* taxon);

    // The pair codes of the exchange (see member_message::pair).
    static int pair(int x, int y) { return member_message::pair(x, y); }
    static void unpair(int z, int* x, int* y) { member_message::unpair(z, x, y); }

    AnalysisFrontEnd* gui = nullptr;
    std::vector<SeqVector*> vectors_by_id;
    // Copies of the accepted paths; empty until a setter accepts one.
    std::string input_path;
    std::string output_path;

    // The collectives of an MPI run; null without MPI. Owned.
    std::unique_ptr<ProcessGroup> group;
    // How runs work, which only the tests and the benchmark change.
    AnalysisOptions options;
    // The outcome of the last run.
    AnalysisStatus run_status = AnalysisStatus::success();
    // What the last run did on this process, for the benchmark and the tests.
    RunCounters counters;

    static constexpr int kMaxAttempts = SplitTrainer::kMaxAttempts;
    static constexpr int kMaxMpiTaxa = member_message::kMaxTaxa;

private:
    // The run's boundary: the standard library's refusals (memory, threads)
    // end the run here, with a line of their own and nothing appended; in
    // the middle of an MPI run the status says that the group must end at
    // once.
    AnalysisStatus execute_within_means();
    // The line for memory that ran out while the input was read (`loaded`
    // false) or analysed; `input` holds the counts read so far.
    static std::string memory_shortage(const SequenceData& input, bool loaded);
    // The run; `input` receives the counts of the input and `loaded` says
    // when its taxa have been built.
    AnalysisStatus execute(SequenceData* input, bool* loaded);
    // Reads or receives the input into `data`, agrees with the group, builds
    // the taxa, and leaves only the counts in `data`.
    AnalysisStatus load_taxa(SequenceData* data);
    AnalysisStatus write_tree();
    // One warning line on the console per name that several taxa bear.
    void warn_repeated_names(const SequenceData& data) const;
    // The epochs' arithmetic of the run: its settings and threads.
    EpochSetup epoch_setup() const;
    int default_threads() const;
    bool writes_output() const { return !mpi_mode || rank == 0; }

    // The group's steps; null without a group.
    std::unique_ptr<GroupProtocol> protocol;
    // The taxa of the last run; they live until the next run starts, so a
    // window can still show their names.
    std::vector<std::unique_ptr<SeqVector>> taxa;
    // The F81 and F84 constants of the run's base frequencies.
    ModelConstants model_constants;
    // During a run: its threads, the epochs' arithmetic with them, and the
    // trainer of its splits.
    std::unique_ptr<WorkerPool> pool;
    std::unique_ptr<EpochCompute> compute;
    std::unique_ptr<SplitTrainer> trainer;
    // A front end is attached to a process of the run (this one or process
    // 0 of its group): every process trains the tree in recursion order,
    // on the calling thread, and shows every epoch.
    bool front_end_attached = false;
    // The Newick text of the run under way, appended to the tree file in one
    // write when the run has finished.
    std::string newick;
    bool call_limit_reached = false;
    // See cancel_run. The run learns of a request at an exchange, or at a
    // meeting among epochs without one, and then makes no other.
    std::atomic<bool> cancel_requested{false};
    // See group_waits_again.
    bool waits_again = false;
};
