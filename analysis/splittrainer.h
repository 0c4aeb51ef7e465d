#pragma once

#include <atomic>
#include <vector>

#include "analysis/analysisoptions.h"
#include "analysis/analysissettings.h"
#include "analysis/epochcompute.h"
#include "analysis/stepoutcome.h"

class AnalysisFrontEnd;
class GroupProtocol;
class SeqVector;

// Splits one group of taxa in two with the map of two neurons: attempts
// with a doubling epoch budget, each epoch's classification with its
// conscience, the Kohonen steps, convergence on the RMS error, and the
// farthest-pair split when no attempt finds two sides. One trainer serves
// a run; the steps of a run's tree may train at once on several threads,
// each with its own compute object, when they are not shared and no front
// end is attached.
class SplitTrainer {
public:
    // Attempts of one step before it splits by the farthest pair.
    static constexpr int kMaxAttempts = 8;

    // `settings` are the analysis object's own fields, read where they are
    // used; `protocol` carries the exchanges of an MPI group (null without
    // one); `chart` shows the RMS errors of this process's inputs (null
    // without a front end here); `shown`: a front end is attached to a
    // process of the run, which then shows every epoch of every attempt, on
    // every process alike; `cancel` is process 0's request to cancel the
    // run, made from any thread; `taxa` are the run's taxa by id.
    SplitTrainer(const AnalysisSettings& settings, const AnalysisOptions& options,
                 GroupProtocol* protocol, AnalysisFrontEnd* chart, bool shown,
                 const std::atomic<bool>& cancel, const std::vector<SeqVector*>& taxa);
    SplitTrainer(const SplitTrainer&) = delete;
    SplitTrainer& operator=(const SplitTrainer&) = delete;

    // Trains `inputs` (n >= 3 taxa) until it splits and leaves the two sides
    // in `sides` (room for n taxa each). With `shared` the group's processes
    // share every epoch, and every process must make the same call;
    // otherwise this process trains the whole group itself, as the group
    // would. Leaves the sides undefined once the run has stopped.
    void split(SeqVector** inputs, int n, EpochCompute* arithmetic, bool shared,
               SeqVector** sides[2], int counts[2], StepOutcome* outcome);

    // Whether the processes of the group share the epochs of a group of n
    // taxa of `length` positions (when they have no other group to train).
    bool shares_epochs(int n, int length) const;
    int processes() const { return settings_.num_processors; }
    int rank() const { return settings_.rank; }

    // The run was cancelled by process 0 and learnt it at an exchange or a
    // meeting; every process of the group learns it at the same one.
    bool cancelled() const { return cancelled_; }
    // A failure on one thread ends the run: the steps that other threads
    // train stop at their next epoch. From any thread.
    void abandon() { abandoned_.store(true, std::memory_order_relaxed); }
    // Cancelled or abandoned: no step trains any further.
    bool stopped() const { return cancelled_ || abandoned_.load(std::memory_order_relaxed); }

private:
    // The state of a step's training, from which a failed attempt's
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
    // The exchange after a shared epoch: every process's members; gives
    // whether any process converged, and learns whether process 0 cancels.
    bool exchange(SeqVector** members[2], int counts[2], int n, bool converged);
    // Each process of the group updates its part of the neurons; then every
    // process takes every part.
    void share_kohonen_update(Training* training, EpochCompute* arithmetic,
                              SeqVector* const* const members[2], const int counts[2]);
    // The Kohonen update of a group this process trains alone, and whether
    // the epoch leaves the group settled.
    void update_alone(Training* training, EpochCompute* arithmetic, int n,
                      SeqVector* const* const members[2], const int counts[2]) const;
    // Whether the epoch just classified can begin a settled state: every
    // input went to one neuron while the neurons were equal, no input came
    // within the threshold, and the processes that classify the inputs,
    // one each, hold the same conscience.
    bool may_settle(const Training& training, int n, EpochCompute* arithmetic) const;
    // Counts an unshared epoch of `presentations` towards the next meeting
    // with the other processes, which tells whether process 0 cancels.
    void count_unshared_work(long long presentations);
    void split_by_farthest_pair(SeqVector** members, int n, SeqVector** sides[2],
                                int counts[2]) const;

    const AnalysisSettings& settings_;
    const AnalysisOptions& options_;
    GroupProtocol* protocol_;
    AnalysisFrontEnd* chart_;
    const bool shown_;
    const std::atomic<bool>& cancel_;
    const std::vector<SeqVector*>& taxa_;
    bool cancelled_ = false;
    std::atomic<bool> abandoned_{false};
    // The work of unshared epochs since the processes last met.
    long long unshared_work_ = 0;
};
