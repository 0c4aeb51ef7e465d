#include "analysis/treeschedule.h"

#include <algorithm>

#include "analysis/check.h"
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
    // Per step this process trained, in level order: the two side sizes,
    // the taxon ids of each side in order, the failed attempts and whether
    // the farthest pair split it.
    std::vector<int> sent;
    for (int s : level_) {
        const SplitStep& step = tree->step(s);
        if (step.owner != module_->rank) continue;
        sent.push_back(static_cast<int>(step.sides[0].size()));
        sent.push_back(static_cast<int>(step.sides[1].size()));
        for (const std::vector<SeqVector*>& side : step.sides) {
            for (const SeqVector* taxon : side) sent.push_back(taxon->id);
        }
        sent.push_back(step.outcome.zero_partitions);
        sent.push_back(step.outcome.farthest_pair ? 1 : 0);
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

    const std::vector<SeqVector*>& taxa = module_->vectors_by_id;
    const auto taxon = [&taxa](int id) {
        tavrel_assert(id >= 0 && id < static_cast<int>(taxa.size()));
        return taxa[id];
    };
    for (int q = 0; q < processes; ++q) {
        if (q == module_->rank) continue;
        const int* at = received.data() + displacements[q];
        for (int s : level_) {
            SplitStep& step = tree->step(s);
            if (step.owner != q) continue;
            const int first = *at++;
            const int second = *at++;
            tavrel_assert(first + second == step.size());
            step.sides[0].clear();
            step.sides[1].clear();
            for (int j = 0; j < first; ++j) step.sides[0].push_back(taxon(*at++));
            for (int j = 0; j < second; ++j) step.sides[1].push_back(taxon(*at++));
            step.outcome = AnalysisModule::StepOutcome();
            step.outcome.zero_partitions = *at++;
            step.outcome.farthest_pair = *at++ != 0;
            step.trained = true;
        }
        tavrel_assert(at == received.data() + displacements[q] + sizes[q]);
    }
}
