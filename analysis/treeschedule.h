#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "analysis/analysismodule.h"
#include "analysis/splittree.h"

class WorkerPool;

// When the steps of a run's tree are trained. The walker asks for a step
// when it reaches one that is not trained yet; a schedule trains at least
// that step and branches every step it trains.
class TreeSchedule {
public:
    virtual ~TreeSchedule() = default;
    // Trains step s of `tree` (and perhaps others); leaves it untrained
    // when the run was cancelled.
    virtual void train_for(SplitTree* tree, int s) = 0;
};

// With a front end: each step is trained when the walker reaches it, so
// the tree grows on screen in recursion order, on the calling thread.
class DepthFirstSchedule : public TreeSchedule {
public:
    DepthFirstSchedule(AnalysisModule* module, EpochCompute* arithmetic)
        : module_(module), arithmetic_(arithmetic) {}
    void train_for(SplitTree* tree, int s) override;

private:
    AnalysisModule* module_;
    EpochCompute* arithmetic_;
};

// Without a front end in one process: a step trains as soon as its parent
// has split, the largest first, each on a thread of its own; the threads
// without a step of their own help compute the epochs of the others. No
// step waits for the rest of its level.
class ReadySchedule : public TreeSchedule {
public:
    // Shows the walk as far as the trained steps go; false once the walk
    // has ended (at the call limit), when training stops.
    using Progress = std::function<bool()>;

    // `first` computes the epochs of the calling thread; the other threads
    // get their own. `progress` is called on the calling thread.
    ReadySchedule(AnalysisModule* module, WorkerPool* pool, EpochCompute* first,
                  const EpochSetup& setup, Progress progress);
    ~ReadySchedule() override;
    ReadySchedule(const ReadySchedule&) = delete;
    ReadySchedule& operator=(const ReadySchedule&) = delete;

    // Trains step s and every step below it, until the tree holds more
    // steps than the walker may enter.
    void train_for(SplitTree* tree, int s) override;

private:
    // What each thread does until every step is trained; a failure on any
    // thread stops them all.
    void train_steps(SplitTree* tree, int thread);
    void train_until_done(SplitTree* tree, int thread);
    // Under the mutex: the largest step ready to train, or -1.
    int take_step(const SplitTree& tree);
    // Under the mutex: records step s's split, branches it and makes its
    // children ready.
    void branch(SplitTree* tree, int s, const AnalysisModule::StepOutcome& outcome,
                std::vector<SeqVector*> sides[kNeurons]);
    // Under the mutex: tells the threads without a step whether there is
    // something for them (a step ready, or the end).
    void note_waiting();
    // On the calling thread, under the mutex: shows the walk so far.
    void show_progress();

    AnalysisModule* module_;
    WorkerPool* pool_;
    std::vector<EpochCompute*> computes_;
    std::vector<std::unique_ptr<EpochCompute>> own_computes_;
    Progress progress_;
    // The walker enters at most this many steps.
    long long step_limit_;
    std::mutex mutex_;
    std::vector<int> ready_;
    // Steps being trained.
    int training_ = 0;
    // A thread failed, or the walk has ended: the threads stop.
    bool stopped_ = false;
    // Something for a thread without a step: a step ready, or the end.
    std::atomic<bool> waiting_{false};
};

// Without a front end in an MPI group: the groups of a level do not depend
// on one another, so they train side by side on the run's threads and are
// spread over the processes, which then tell one another the splits.
class LevelSchedule : public TreeSchedule {
public:
    LevelSchedule(AnalysisModule* module, WorkerPool* pool, EpochCompute* threaded,
                  const EpochSetup& setup);
    ~LevelSchedule() override;
    LevelSchedule(const LevelSchedule&) = delete;
    LevelSchedule& operator=(const LevelSchedule&) = delete;

    // Trains the whole level that step s belongs to.
    void train_for(SplitTree* tree, int s) override;

private:
    void train_level(SplitTree* tree);
    // This process's own steps of the level, on its threads.
    void train_here(SplitTree* tree, std::vector<int> steps);
    // Every process learns the splits that the others trained.
    void share_splits(SplitTree* tree);
    long long cost(const SplitTree& tree, int s) const;

    AnalysisModule* module_;
    WorkerPool* pool_;
    EpochCompute* threaded_;
    // One per thread, for steps that train side by side.
    std::vector<std::unique_ptr<EpochCompute>> serial_;
    // The steps of the level to train next; the first is the whole tree.
    std::vector<int> level_ = {0};
};
