#pragma once

#include <memory>
#include <vector>

#include "analysis/analysismodule.h"

// Grows a run's tree level by level when no front end watches it: the
// groups of a level do not depend on one another, so they train side by
// side on the run's threads and, in an MPI group, are spread over the
// processes, which then tell one another the splits. The lines and the
// Newick text come out as the recursion gives them: progress lines in
// recursion order as soon as the steps before them are done, and the
// call limit counted in that order.
class TreeGrowth {
public:
    TreeGrowth(AnalysisModule* module, WorkerPool* pool, EpochCompute* threaded,
               const EpochSetup& setup);
    ~TreeGrowth();
    TreeGrowth(const TreeGrowth&) = delete;
    TreeGrowth& operator=(const TreeGrowth&) = delete;

    // The whole tree of the run's taxa.
    void grow();

private:
    struct Step {
        std::vector<SeqVector*> group;
        // The two sides of the split, until they become the children.
        std::vector<SeqVector*> sides[2];
        int children[2] = {-1, -1};
        AnalysisModule::StepOutcome outcome;
        bool trained = false;
        // The process that trains the step; -1: all of them, together.
        int owner = -1;
    };

    int add_step(std::vector<SeqVector*> group, std::vector<int>* level);
    void train_level(const std::vector<int>& level);
    // This process's own steps of a level, on its threads.
    void train_here(std::vector<int> steps);
    void train_step(int s, EpochCompute* epoch_compute, bool shared);
    // Every process learns the splits that the others trained.
    void share_splits(const std::vector<int>& level);
    long long cost(int s) const;
    // Progress lines in recursion order, up to the first step not trained.
    void report_ready();
    void write_newick();

    AnalysisModule* module_;
    WorkerPool* pool_;
    EpochCompute* threaded_;
    // One per thread, for steps that train side by side.
    std::vector<std::unique_ptr<EpochCompute>> serial_;
    std::vector<Step> steps_;
    // The recursion's place in report_ready: steps and how far each is.
    struct Place {
        int step;
        int stage;
    };
    std::vector<Place> places_;
};
