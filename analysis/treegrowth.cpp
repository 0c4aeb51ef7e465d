#include "analysis/treegrowth.h"

#include <algorithm>

#include "analysis/check.h"
#include "analysis/processgroup.h"
#include "analysis/workerpool.h"

namespace {

constexpr int kAllProcesses = -1;
// How many times the epochs of a group with one input per process, at
// most, a group of its size tends to need.
constexpr long long kOneEachWeight = 64;
// Stages of a step in the recursion order: its own lines, then its first
// side, then its second.
constexpr int kOwnLines = 0;
constexpr int kFirstSide = 1;
constexpr int kSecondSide = 2;

}  // namespace

TreeGrowth::TreeGrowth(AnalysisModule* module, WorkerPool* pool, EpochCompute* threaded,
                       const EpochSetup& setup)
    : module_(module), pool_(pool), threaded_(threaded) {
    EpochSetup serial = setup;
    serial.pool = nullptr;
    for (int t = 0; t < pool->threads(); ++t) serial_.push_back(module->epoch_compute(serial));
}

TreeGrowth::~TreeGrowth() = default;

int TreeGrowth::add_step(std::vector<SeqVector*> group, std::vector<int>* level) {
    const int index = static_cast<int>(steps_.size());
    steps_.emplace_back();
    Step& step = steps_.back();
    step.group = std::move(group);
    // Groups of one or two taxa need no training.
    if (step.group.size() < 3) {
        step.trained = true;
    } else {
        level->push_back(index);
    }
    return index;
}

void TreeGrowth::grow() {
    std::vector<int> level;
    add_step(module_->vectors_by_id, &level);
    places_.push_back({0, kOwnLines});
    while (!level.empty() && !module_->stopped_by_call_limit()) {
        train_level(level);
        std::vector<int> next;
        for (int s : level) {
            for (int k = 0; k < 2; ++k) {
                const int child = add_step(std::move(steps_[s].sides[k]), &next);
                steps_[s].children[k] = child;
            }
        }
        level.swap(next);
        report_ready();
    }
    report_ready();
    const Step& root = steps_[0];
    module_->counters.first_step_epochs = root.outcome.work.epochs;
    module_->counters.first_step_seconds = root.outcome.seconds;
    write_newick();
}

long long TreeGrowth::cost(int s) const {
    const std::vector<SeqVector*>& group = steps_[s].group;
    const long long work = static_cast<long long>(group.size()) * group[0]->length;
    // A group of at most one input per process tends to run all its
    // attempts: every process's conscience sees only its own input.
    const bool one_each =
        module_->mpi_mode && static_cast<int>(group.size()) <= module_->num_processors;
    return one_each ? work * kOneEachWeight : work;
}

void TreeGrowth::train_step(int s, EpochCompute* epoch_compute, bool shared) {
    Step& step = steps_[s];
    const int n = static_cast<int>(step.group.size());
    std::vector<SeqVector*> storage(2 * static_cast<std::size_t>(n));
    SeqVector** sides[2] = {storage.data(), storage.data() + n};
    int counts[2] = {0, 0};
    module_->split_group(step.group.data(), n, epoch_compute, shared, sides, counts, &step.outcome);
    for (int k = 0; k < 2; ++k) step.sides[k].assign(sides[k], sides[k] + counts[k]);
    step.trained = true;
}

void TreeGrowth::train_level(const std::vector<int>& level) {
    const int processes = module_->mpi_mode ? module_->num_processors : 1;
    if (processes == 1) {
        train_here(level);
    } else {
        // With fewer groups than processes, the processes share the epochs
        // of each group large enough; the others, one process each, the
        // largest first to the least loaded.
        std::vector<int> spread;
        for (int s : level) {
            Step& step = steps_[s];
            const bool shared =
                static_cast<int>(level.size()) < processes &&
                module_->shares_epochs(static_cast<int>(step.group.size()), step.group[0]->length);
            step.owner = kAllProcesses;
            if (!shared) spread.push_back(s);
        }
        std::stable_sort(spread.begin(), spread.end(),
                         [this](int a, int b) { return cost(a) > cost(b); });
        std::vector<long long> load(processes, 0);
        std::vector<int> mine;
        for (int s : spread) {
            const int q =
                static_cast<int>(std::min_element(load.begin(), load.end()) - load.begin());
            steps_[s].owner = q;
            load[q] += cost(s);
            if (q == module_->rank) mine.push_back(s);
        }
        for (int s : level) {
            if (steps_[s].owner == kAllProcesses) train_step(s, threaded_, true);
        }
        train_here(mine);
        if (!spread.empty()) share_splits(level);
    }
    for (int s : level) module_->counters.add(steps_[s].outcome.work);
}

void TreeGrowth::train_here(std::vector<int> steps) {
    std::stable_sort(steps.begin(), steps.end(),
                     [this](int a, int b) { return cost(a) > cost(b); });
    const bool few = static_cast<int>(steps.size()) < pool_->threads();
    std::vector<int> side_by_side;
    for (int s : steps) {
        if (few && cost(s) >= AnalysisModule::kThreadedWork) {
            train_step(s, threaded_, false);
        } else {
            side_by_side.push_back(s);
        }
    }
    pool_->run(static_cast<int>(side_by_side.size()), [&](int i, int thread) {
        train_step(side_by_side[i], serial_[thread].get(), false);
    });
}

void TreeGrowth::share_splits(const std::vector<int>& level) {
    const int processes = module_->num_processors;
    // Per step this process trained, in level order: the two side sizes,
    // the taxon ids of each side in order, the failed attempts and whether
    // the farthest pair split it.
    std::vector<int> sent;
    for (int s : level) {
        const Step& step = steps_[s];
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
        for (int s : level) {
            Step& step = steps_[s];
            if (step.owner != q) continue;
            const int first = *at++;
            const int second = *at++;
            tavrel_assert(first + second == static_cast<int>(step.group.size()));
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

void TreeGrowth::report_ready() {
    while (!places_.empty()) {
        Place& place = places_.back();
        const Step& step = steps_[place.step];
        const int n = static_cast<int>(step.group.size());
        if (place.stage == kOwnLines) {
            if (!step.trained || (n >= 3 && step.children[0] < 0)) return;
            if (!module_->enter_call(step.group.data(), n)) {
                places_.clear();
                return;
            }
            if (n < 3) {
                places_.pop_back();
                continue;
            }
            module_->report_step(step.outcome, n);
            place.stage = kFirstSide;
            places_.push_back({step.children[0], kOwnLines});
        } else if (place.stage == kFirstSide) {
            place.stage = kSecondSide;
            places_.push_back({step.children[1], kOwnLines});
        } else {
            places_.pop_back();
        }
    }
}

void TreeGrowth::write_newick() {
    if (module_->stopped_by_call_limit()) return;
    std::vector<Place> places = {{0, kOwnLines}};
    while (!places.empty()) {
        Place& place = places.back();
        const Step& step = steps_[place.step];
        const int n = static_cast<int>(step.group.size());
        if (n < 3) {
            module_->write_leaves(step.group.data(), n);
            places.pop_back();
        } else if (place.stage == kOwnLines) {
            module_->write_newick('(');
            place.stage = kFirstSide;
            places.push_back({step.children[0], kOwnLines});
        } else if (place.stage == kFirstSide) {
            module_->write_newick(',');
            place.stage = kSecondSide;
            places.push_back({step.children[1], kOwnLines});
        } else {
            module_->write_newick(')');
            places.pop_back();
        }
    }
}
