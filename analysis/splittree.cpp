#include "analysis/splittree.h"

#include <algorithm>

#include "analysis/check.h"
#include "analysis/splittrainer.h"

SplitTree::SplitTree(std::vector<SeqVector*> taxa) {
    // Every step with three or more taxa has two children and the others
    // none, so n taxa make at most 2n - 1 steps.
    steps_.reserve(2 * std::max<std::size_t>(taxa.size(), 1) - 1);
    add_step(std::move(taxa));
}

int SplitTree::add_step(std::vector<SeqVector*> group) {
    // The steps never move: a step may be trained on one thread while
    // another adds steps.
    tavrel_assert(steps_.size() < steps_.capacity());
    const int index = static_cast<int>(steps_.size());
    steps_.emplace_back();
    SplitStep& step = steps_.back();
    step.group = std::move(group);
    step.trained = !step.splits();
    return index;
}

bool SplitTree::split(int s, SplitTrainer* trainer, EpochCompute* arithmetic, bool shared,
                      StepOutcome* outcome, std::vector<SeqVector*> sides[kNeurons]) {
    SplitStep& step = steps_[s];
    const int n = step.size();
    std::vector<SeqVector*> storage(2 * static_cast<std::size_t>(n));
    SeqVector** made[2] = {storage.data(), storage.data() + n};
    int counts[2] = {0, 0};
    trainer->split(step.group.data(), n, arithmetic, shared, made, counts, outcome);
    if (trainer->stopped()) return false;
    for (int k = 0; k < 2; ++k) sides[k].assign(made[k], made[k] + counts[k]);
    return true;
}

void SplitTree::record(int s, const StepOutcome& outcome, std::vector<SeqVector*> sides[kNeurons]) {
    SplitStep& step = steps_[s];
    step.outcome = outcome;
    for (int k = 0; k < 2; ++k) step.sides[k] = std::move(sides[k]);
    step.trained = true;
}

void SplitTree::train(int s, SplitTrainer* trainer, EpochCompute* arithmetic, bool shared) {
    StepOutcome outcome;
    std::vector<SeqVector*> sides[kNeurons];
    if (split(s, trainer, arithmetic, shared, &outcome, sides)) record(s, outcome, sides);
}

void SplitTree::branch(int s, RunCounters* counters, std::vector<int>* next) {
    tavrel_assert(steps_[s].trained && steps_[s].splits() && steps_[s].children[0] < 0);
    counters->add(steps_[s].outcome.work);
    if (s == 0) {
        counters->first_step_epochs = steps_[s].outcome.work.epochs;
        counters->first_step_seconds = steps_[s].outcome.seconds;
    }
    for (int k = 0; k < 2; ++k) {
        const int child = add_step(std::move(steps_[s].sides[k]));
        steps_[s].sides[k] = std::vector<SeqVector*>();
        steps_[s].children[k] = child;
        if (steps_[child].splits()) next->push_back(child);
    }
}
