#pragma once

#include <memory>
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

// Without a front end: the groups of a level do not depend on one another,
// so they train side by side on the run's threads and, in an MPI group,
// are spread over the processes, which then tell one another the splits.
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
