#pragma once

#include <vector>

#include "analysis/neurons.h"
#include "analysis/stepoutcome.h"

class EpochCompute;
class SeqVector;
class SplitTrainer;

// One split step of a run's tree: a group of taxa and, once trained, its
// two sides, which become the steps of its children.
struct SplitStep {
    std::vector<SeqVector*> group;
    // The two sides of the split, until they become the children.
    std::vector<SeqVector*> sides[kNeurons];
    int children[kNeurons] = {-1, -1};
    StepOutcome outcome;
    // Trained, or a group of one or two taxa, which needs no training.
    bool trained = false;
    // The process that trains the step when the steps of a level are spread
    // over an MPI group; -1: all of them, together.
    int owner = -1;

    int size() const { return static_cast<int>(group.size()); }
    // Groups of one or two taxa are leaves of the tree and need no split.
    bool splits() const { return group.size() >= 3; }
};

// The tree of a run's split steps, step 0 holding every taxon. Steps are
// added as their parents are trained; the walker reads them in recursion
// order. Steps keep their place: different steps may be trained on
// different threads while one of them (one at a time) branches.
class SplitTree {
public:
    explicit SplitTree(std::vector<SeqVector*> taxa);

    SplitStep& step(int s) { return steps_[s]; }
    const SplitStep& step(int s) const { return steps_[s]; }
    int size() const { return static_cast<int>(steps_.size()); }

    // Trains step s with `trainer` (see SplitTrainer::split). Leaves it
    // untrained when the run has stopped meanwhile.
    void train(int s, SplitTrainer* trainer, EpochCompute* arithmetic, bool shared);
    // The two halves of train(): split() finds step s's outcome and sides
    // without changing the tree (false: the run has stopped), record()
    // stores them in the step, which is trained then.
    bool split(int s, SplitTrainer* trainer, EpochCompute* arithmetic, bool shared,
               StepOutcome* outcome, std::vector<SeqVector*> sides[kNeurons]);
    void record(int s, const StepOutcome& outcome, std::vector<SeqVector*> sides[kNeurons]);
    // Makes the sides of trained step s its children, counts its work in
    // `counters`, and adds the children that need a split to `next`.
    void branch(int s, RunCounters* counters, std::vector<int>* next);

private:
    int add_step(std::vector<SeqVector*> group);

    std::vector<SplitStep> steps_;
};
