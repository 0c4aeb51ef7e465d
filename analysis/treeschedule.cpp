#include "analysis/treeschedule.h"

#include <algorithm>

#include "analysis/check.h"
#include "analysis/groupmessages.h"
#include "analysis/processgroup.h"
#include "analysis/workerpool.h"

namespace {

constexpr int kAllProcesses = -1;
// How many times the epochs of a group with one input per process, at
// most, a group of its size tends to need.
constexpr long long kOneEachWeight = 64;
// A group of this many input positions or more trains with all the run's
// threads in every epoch, when there are fewer groups to train at once than
// threads; smaller groups train side by side, one thread each.
constexpr long long kThreadedWork = 262144;

}  // namespace

void DepthFirstSchedule::train_for(SplitTree* tree, int s) {
    const SplitStep& step = tree->step(s);
    tree->train(s, module_, arithmetic_,
                module_->shares_epochs(step.size(), step.group[0]->length));
    std::vector<int> next;
    if (tree->step(s).trained) tree->branch(s, &module_->counters, &next);
}

LevelSchedule::LevelSchedule(AnalysisModule* module, WorkerPool* pool, EpochCompute* threaded,
                             const EpochSetup& setup)
    : module_(module), pool_(pool), threaded_(threaded) {
    EpochSetup serial = setup;
    serial.pool = nullptr;
    for (int t = 0; t < pool->threads(); ++t)
        serial_.push_back(module->options.epoch_compute(serial));
}

LevelSchedule::~LevelSchedule() = default;

void LevelSchedule::train_for(SplitTree* tree, int s) {
    tavrel_assert(std::find(level_.begin(), level_.end(), s) != level_.end());
    train_level(tree);
    std::vector<int> next;
    for (int t : level_) tree->branch(t, &module_->counters, &next);
    level_.swap(next);
}

long long LevelSchedule::cost(const SplitTree& tree, int s) const {
    const std::vector<SeqVector*>& group = tree.step(s).group;
    const long long work = static_cast<long long>(group.size()) * group[0]->length;
    // A group of at most one input per process tends to run all its
    // attempts: every process's conscience sees only its own input.
    const bool one_each = static_cast<int>(group.size()) <= module_->num_processors;
    return one_each ? work * kOneEachWeight : work;
}

void LevelSchedule::train_level(SplitTree* tree) {
    const int processes = module_->num_processors;
    if (processes == 1) {
        train_here(tree, level_);
        return;
    }
    // With fewer groups than processes, the processes share the epochs of
    // each group large enough; the others, one process each, the largest
    // first to the least loaded.
    std::vector<int> spread;
    for (int s : level_) {
        SplitStep& step = tree->step(s);
        const bool shared = static_cast<int>(level_.size()) < processes &&
                            module_->shares_epochs(step.size(), step.group[0]->length);
        step.owner = kAllProcesses;
        if (!shared) spread.push_back(s);
    }
    std::stable_sort(spread.begin(), spread.end(),
                     [&](int a, int b) { return cost(*tree, a) > cost(*tree, b); });
    std::vector<long long> load(processes, 0);
    std::vector<int> mine;
    for (int s : spread) {
        const int q = static_cast<int>(std::min_element(load.begin(), load.end()) - load.begin());
        tree->step(s).owner = q;
        load[q] += cost(*tree, s);
        if (q == module_->rank) mine.push_back(s);
    }
    for (int s : level_) {
        if (tree->step(s).owner == kAllProcesses) tree->train(s, module_, threaded_, true);
    }
    train_here(tree, mine);
    if (!spread.empty()) share_splits(tree);
}

void LevelSchedule::train_here(SplitTree* tree, std::vector<int> steps) {
    std::stable_sort(steps.begin(), steps.end(),
                     [&](int a, int b) { return cost(*tree, a) > cost(*tree, b); });
    const bool few = static_cast<int>(steps.size()) < pool_->threads();
    std::vector<int> side_by_side;
    for (int s : steps) {
        if (few && cost(*tree, s) >= kThreadedWork) {
            tree->train(s, module_, threaded_, false);
        } else {
            side_by_side.push_back(s);
        }
    }
    pool_->run(static_cast<int>(side_by_side.size()), [&](int i, int thread) {
        tree->train(side_by_side[i], module_, serial_[thread].get(), false);
    });
}

void LevelSchedule::share_splits(SplitTree* tree) {
    const int processes = module_->num_processors;
    std::vector<int> sent;
    for (int s : level_) {
        const SplitStep& step = tree->step(s);
        if (step.owner != module_->rank) continue;
        split_message::pack(step.sides, step.outcome.zero_partitions, step.outcome.farthest_pair,
                            &sent);
    }
    const std::vector<int> ones(processes, 1);
    std::vector<int> places(processes);
    for (int q = 0; q < processes; ++q) places[q] = q;
    std::vector<int> sizes(processes);
    const int size = static_cast<int>(sent.size());
    module_->group->all_gather(&size, 1, sizes.data(), ones.data(), places.data());
    std::vector<int> displacements(processes, 0);
    for (int q = 1; q < processes; ++q) displacements[q] = displacements[q - 1] + sizes[q - 1];
    std::vector<int> received(static_cast<std::size_t>(displacements.back()) + sizes.back());
    module_->group->all_gather(sent.data(), size, received.data(), sizes.data(),
                               displacements.data());

    for (int q = 0; q < processes; ++q) {
        if (q == module_->rank) continue;
        const int* at = received.data() + displacements[q];
        for (int s : level_) {
            SplitStep& step = tree->step(s);
            if (step.owner != q) continue;
            step.outcome = AnalysisModule::StepOutcome();
            at = split_message::unpack(at, step.size(), module_->vectors_by_id, step.sides,
                                       &step.outcome.zero_partitions, &step.outcome.farthest_pair);
            step.trained = true;
        }
        tavrel_assert(at == received.data() + displacements[q] + sizes[q]);
    }
}
