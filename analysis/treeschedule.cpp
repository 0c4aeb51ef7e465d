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

ReadySchedule::ReadySchedule(AnalysisModule* module, WorkerPool* pool, EpochCompute* first,
                             const EpochSetup& setup, Progress progress)
    : module_(module),
      pool_(pool),
      progress_(std::move(progress)),
      step_limit_(static_cast<long long>(module->options.call_limit) + 1) {
    computes_.push_back(first);
    for (int t = 1; t < pool->threads(); ++t) {
        own_computes_.push_back(module->options.epoch_compute(setup));
        computes_.push_back(own_computes_.back().get());
    }
}

ReadySchedule::~ReadySchedule() = default;

void ReadySchedule::train_for(SplitTree* tree, int s) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ready_.assign(1, s);
        training_ = 0;
        stopped_ = false;
        waiting_.store(true, std::memory_order_relaxed);
    }
    pool_->run_on_every_thread([&](int, int thread) { train_steps(tree, thread); });
}

int ReadySchedule::take_step(const SplitTree& tree) {
    if (ready_.empty()) return -1;
    // The largest first: it holds up the most steps below it.
    const auto largest = std::max_element(ready_.begin(), ready_.end(), [&](int a, int b) {
        return tree.step(a).size() < tree.step(b).size() ||
               (tree.step(a).size() == tree.step(b).size() && a > b);
    });
    const int s = *largest;
    ready_.erase(largest);
    return s;
}

void ReadySchedule::branch(SplitTree* tree, int s, const AnalysisModule::StepOutcome& outcome,
                           std::vector<SeqVector*> sides[kNeurons]) {
    tree->record(s, outcome, sides);
    std::vector<int> next;
    tree->branch(s, &module_->counters, &next);
    // Steps past the walker's limit are never shown: they are not trained
    // ahead (the walker asks for any it still reaches).
    if (tree->size() <= step_limit_) ready_.insert(ready_.end(), next.begin(), next.end());
}

void ReadySchedule::note_waiting() {
    waiting_.store(stopped_ || !ready_.empty() || training_ == 0, std::memory_order_release);
}

void ReadySchedule::show_progress() {
    if (!stopped_ && !progress_()) stopped_ = true;
}

void ReadySchedule::train_steps(SplitTree* tree, int thread) {
    try {
        train_until_done(tree, thread);
    } catch (...) {
        // A failure anywhere (a step's training, its branching, the walk)
        // ends the run: every thread stops at once, the steps under way at
        // their next epoch, and the failure goes on to the caller.
        std::lock_guard<std::mutex> lock(mutex_);
        stopped_ = true;
        module_->abandon_training();
        note_waiting();
        throw;
    }
}

void ReadySchedule::train_until_done(SplitTree* tree, int thread) {
    AnalysisModule::StepOutcome outcome;
    std::vector<SeqVector*> sides[kNeurons];
    for (;;) {
        int s = -1;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (thread == 0) show_progress();
            if (stopped_) return;
            s = take_step(*tree);
            if (s < 0 && training_ == 0) return;
            if (s >= 0) ++training_;
            note_waiting();
        }
        if (s < 0) {
            // Steps are being trained elsewhere and may make more ready.
            pool_->help_until([this] { return waiting_.load(std::memory_order_acquire); });
            continue;
        }
        const bool split = tree->split(s, module_, computes_[thread], false, &outcome, sides);
        std::lock_guard<std::mutex> lock(mutex_);
        --training_;
        // A cancelled run leaves its step untrained; the walker stops there.
        if (split) branch(tree, s, outcome, sides);
        note_waiting();
    }
}

LevelSchedule::LevelSchedule(AnalysisModule* module, WorkerPool* pool, EpochCompute* threaded,
                             const EpochSetup& setup)
    : module_(module), pool_(pool), threaded_(threaded) {
    tavrel_assert(module->num_processors > 1);
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
