#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "analysis/analysisstatus.h"
#include "analysis/charstring.h"
#include "analysis/distancemodels.h"
#include "analysis/processgroup.h"
#include "analysis/sequencefile.h"
#include "analysis/seqvector.h"

class AnalysisFrontEnd;
class TreeNode;

// The analysis object: settings, paths, the process group of an MPI run,
// and one run at a time from a sequence file to a Newick tree. Everything a
// run needs lives in the object, so objects on different threads never
// share state.
class AnalysisModule {
public:
    AnalysisModule();
    // One process of an MPI group (MPI must be running): the group of
    // MPI_COMM_WORLD, made where the rest of MPI lives.
    explicit AnalysisModule(int process_rank)
        : AnalysisModule(process_rank, make_mpi_process_group()) {}
    // One process of the given group; tests give groups of their own.
    AnalysisModule(int rank, std::unique_ptr<ProcessGroup> process_group);
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

    // Reads the sequence file at input_path, or the file's text from `in`.
    AnalysisStatus read_input(SequenceData* data) const;
    AnalysisStatus read_input(std::istream& in, SequenceData* data) const;
    // The run's taxa in file order, numbered 0 to num_seqs - 1; they live
    // until the next call.
    std::vector<SeqVector*> build_vectors(const SequenceData& data);

    void partition(SeqVector** seq_vectors, int n, TreeNode* node, int depth);
    void mpi_synch_partitions(SeqVector** members[2], int counts[2], int n, int neurons);

    static void init_neuron(SeqVector* neuron);
    void kohonen_update(SeqVector* neuron, const SeqVector* taxon) const;
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
    // Where progress lines and warnings go: standard output unless a test
    // or the window says otherwise.
    std::ostream* console;
    // The outcome of the last run.
    AnalysisStatus run_status = AnalysisStatus::success();

    // A run gives up when partition() is called more than call_limit + 1
    // times; tests lower it to reach the limit with a few taxa.
    static constexpr int kCallLimit = 100000;
    int call_limit = kCallLimit;
    // Attempts of one partition step before it splits by the farthest pair.
    static constexpr int kMaxAttempts = 8;
    // Taxon ids travel between MPI processes as pair codes of int range.
    static constexpr int kMaxMpiTaxa = 92677;

private:
    AnalysisStatus execute();
    AnalysisStatus load_taxa();
    AnalysisStatus share_input(SequenceData* data);
    AnalysisStatus receive_input(SequenceData* data);
    AnalysisStatus write_tree();
    // One warning line on the console per name that several taxa bear.
    void warn_repeated_names(const SequenceData& data) const;
    // One attempt from fresh neurons: up to `budget` epochs, until an RMS
    // error falls below the threshold. Leaves the last epoch's members in
    // the lists; gives whether it converged.
    bool train(SeqVector** inputs, int n, SeqVector neuron[2], SeqVector** members[2],
               int counts[2], int budget);
    bool writes_output() const { return !mpi_mode || rank == 0; }
    void write_label(const CharString& name);
    void split_by_farthest_pair(SeqVector** members, int n, SeqVector** sides[2],
                                int counts[2]) const;

    // The taxa of the last run; they live until the next run starts, so a
    // window can still show their names.
    std::vector<std::unique_ptr<SeqVector>> taxa;
    // The F81 and F84 constants of the run's base frequencies.
    ModelConstants model_constants;
    // The Newick text of the run under way, appended to the tree file in one
    // write when the run has finished.
    std::string newick;
    int calls = 0;
    bool call_limit_reached = false;
    // Process 0 of a group: the other processes have had the input or have
    // been told that none comes; they wait for nothing more from it.
    bool group_served = false;
    // Scratch of the per-epoch exchange, kept to avoid allocating every epoch.
    std::vector<int> exchange_counts;
    std::vector<int> exchange_displacements;
    std::vector<int> exchange_sent;
    std::vector<int> exchange_received;
};
