// When the steps of a run's tree are trained: the ready schedule of one
// process, which trains every step as soon as its parent has split on the
// run's threads, and the level schedule of an MPI group (over the in-memory
// group), which spreads the steps of a level over the processes. Each is
// compared with the depth-first schedule, which trains a step when the
// walker reaches it: the walk must show the same lines and the same tree,
// whichever schedule trained it. The arithmetic of every step is watched
// through a compute object that logs when each step's training starts and
// ends, on which process.

#include "analysis/treeschedule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "analysis/groupprotocol.h"
#include "analysis/sequencefile.h"
#include "analysis/seqvector.h"
#include "analysis/splittrainer.h"
#include "analysis/splittree.h"
#include "analysis/treewalker.h"
#include "analysis/workerpool.h"
#include "testsupport.h"
#include "threadgroup.h"

namespace {

using Group = std::vector<int>;

// The ids of a group, in ascending order: a step's identity in any tree.
Group ids_in_order(SeqVector* const* group, int n) {
    Group ids = ids_of(group, n);
    std::sort(ids.begin(), ids.end());
    return ids;
}

// The start and end of every step's training, in the order they happened
// over all threads and processes.
struct TrainingLog {
    struct Event {
        bool start;
        Group group;
        int rank;
    };
    std::mutex mutex;
    std::vector<Event> events;
    // Called at every epoch of every step, on the thread that trains it,
    // before its model values: what a test does then.
    std::function<void(const Group&)> on_epoch;

    void note(bool start, const Group& group, int rank) {
        std::lock_guard<std::mutex> lock(mutex);
        events.push_back({start, group, rank});
    }
};

// The factory of the run's arithmetic is a plain function: it finds the log
// of the test here, and the process it computes for in the thread that
// makes it.
TrainingLog* the_log = nullptr;
thread_local int making_rank = 0;

// The program's own arithmetic, each step's start and end noted.
class LoggedCompute : public EpochCompute {
public:
    explicit LoggedCompute(const EpochSetup& setup)
        : inner_(make_fast_epoch_compute(setup)), rank_(making_rank) {}

    void start_step(SeqVector* const* group, int n, const int* classified, int count) override {
        group_ = ids_in_order(group, n);
        the_log->note(true, group_, rank_);
        inner_->start_step(group, n, classified, count);
    }
    void finish_step() override {
        inner_->finish_step();
        the_log->note(false, group_, rank_);
    }
    void model_values(double* values) override {
        if (the_log->on_epoch) the_log->on_epoch(group_);
        inner_->model_values(values);
    }
    void reset_neurons() override { inner_->reset_neurons(); }
    double rms_error(int j, int k) override { return inner_->rms_error(j, k); }
    void kohonen_update(SeqVector* const* const members[2], const int counts[2]) override {
        inner_->kohonen_update(members, counts);
    }
    void kohonen_update_part(SeqVector* const* const members[2], const int counts[2], int part,
                             int parts, std::vector<double>* packed) override {
        inner_->kohonen_update_part(members, counts, part, parts, packed);
    }
    int part_size(int part, int parts) const override { return inner_->part_size(part, parts); }
    void unpack_parts(const double* all, int parts) override { inner_->unpack_parts(all, parts); }
    bool neurons_equal() const override { return inner_->neurons_equal(); }
    void copy_neuron(int k, SeqVector* to) const override { inner_->copy_neuron(k, to); }
    void set_neuron(int k, const SeqVector& from) override { inner_->set_neuron(k, from); }

private:
    std::unique_ptr<EpochCompute> inner_;
    int rank_;
    Group group_;
};

std::unique_ptr<EpochCompute> make_logged_compute(const EpochSetup& setup) {
    return std::make_unique<LoggedCompute>(setup);
}

enum class Kind { depth_first, ready, level };

// One run's tree walked with one schedule, as the analysis object does it:
// on process `rank` of a group of `processes` (`group` null for one).
struct Walk {
    Kind kind = Kind::depth_first;
    int threads = 1;
    int call_limit = AnalysisOptions::kCallLimit;
    int processes = 1;
    int rank = 0;
    ProcessGroup* group = nullptr;
    // Receives the run's trainer before the walk.
    std::atomic<SplitTrainer*>* trainer = nullptr;
};

struct Walked {
    std::vector<std::string> lines;
    std::string newick;
    bool stopped_by_call_limit = false;
    // The tree as the walk left it: each step's group, owner and state.
    std::vector<Group> groups;
    std::vector<int> owners;
    std::vector<bool> trained;
    std::vector<int> parents;
};

Walked walk(const TaxaOfFile& taxa, const Walk& how) {
    making_rank = how.rank;
    AnalysisSettings settings;
    settings.mpi_mode = how.processes > 1;
    settings.num_processors = how.processes;
    settings.rank = how.rank;
    AnalysisOptions options;
    std::ostringstream console;
    options.console = &console;
    options.epoch_compute = make_logged_compute;
    // Groups of a few taxa share their epochs too, so that a level has
    // shared steps as well as spread ones.
    options.shared_epoch_work = 64;
    options.call_limit = how.call_limit;
    std::unique_ptr<GroupProtocol> protocol;
    if (how.group) protocol = std::make_unique<GroupProtocol>(how.group);
    const std::atomic<bool> cancel{false};
    SplitTrainer trainer(settings, options, protocol.get(), nullptr, false, cancel, taxa.by_id);
    if (how.trainer) how.trainer->store(&trainer);
    WorkerPool pool(how.threads);
    EpochSetup setup;
    setup.model = settings.distance_metric;
    setup.constants = derive_model_constants(
        count_base_frequencies(taxa.by_id.data(), static_cast<int>(taxa.by_id.size())));
    setup.kohonen_rate = settings.kohonen_learning_rate;
    setup.taxa = static_cast<int>(taxa.by_id.size());
    setup.pool = &pool;
    const std::unique_ptr<EpochCompute> compute = make_logged_compute(setup);
    RunCounters counters;
    TrainingMeans means;
    means.trainer = &trainer;
    means.counters = &counters;
    means.compute = compute.get();
    means.pool = &pool;
    means.make_compute = make_logged_compute;
    means.setup = setup;

    SplitTree tree(taxa.by_id);
    TreeWalker::Output output;
    output.console = &console;
    TreeWalker walker(output, taxa.by_id, how.call_limit);
    if (how.kind == Kind::depth_first) {
        DepthFirstSchedule schedule(means);
        walker.walk(&tree, &schedule);
    } else if (how.kind == Kind::ready) {
        const auto progress = [&walker, &tree] {
            int waiting_for = 0;
            return walker.advance(tree, &waiting_for);
        };
        ReadySchedule schedule(means, how.call_limit, progress);
        walker.walk(&tree, &schedule);
    } else {
        LevelSchedule schedule(means, protocol.get(), taxa.by_id);
        walker.walk(&tree, &schedule);
    }

    Walked walked;
    walked.lines = lines_of(console.str());
    walked.newick = walker.take_newick();
    walked.stopped_by_call_limit = walker.stopped_by_call_limit();
    walked.parents.assign(tree.size(), -1);
    for (int s = 0; s < tree.size(); ++s) {
        const SplitStep& step = tree.step(s);
        walked.groups.push_back(ids_in_order(step.group.data(), step.size()));
        walked.owners.push_back(step.owner);
        walked.trained.push_back(step.trained && step.splits());
        for (int child : step.children)
            if (child >= 0) walked.parents[child] = s;
    }
    return walked;
}

// Where each step's training started and ended in the log, per process.
struct Trainings {
    std::map<std::pair<int, Group>, int> starts;
    std::map<std::pair<int, Group>, int> ends;
};

// Checks that no process started a step twice, nor, unless a step
// failed, left one unfinished.
Trainings trainings_of(const TrainingLog& log, bool every_step_ends = true) {
    Trainings t;
    for (int i = 0; i < static_cast<int>(log.events.size()); ++i) {
        const TrainingLog::Event& e = log.events[i];
        auto& at = e.start ? t.starts : t.ends;
        const bool first = at.emplace(std::make_pair(e.rank, e.group), i).second;
        EXPECT_TRUE(first) << "process " << e.rank << " " << (e.start ? "started" : "ended")
                           << " a step of " << e.group.size() << " taxa twice";
    }
    for (const auto& start : t.starts) {
        if (!every_step_ends) break;
        const auto end = t.ends.find(start.first);
        EXPECT_TRUE(end != t.ends.end() && end->second > start.second)
            << "a step of " << start.first.second.size() << " taxa was never finished";
    }
    return t;
}

// Every step that process `rank` trained began after its parent's training
// had ended, on this process or on the one that trained it for the group.
void expect_after_parents(const Walked& walked, const Trainings& t, int rank) {
    for (int s = 1; s < static_cast<int>(walked.groups.size()); ++s) {
        const auto start = t.starts.find({rank, walked.groups[s]});
        if (start == t.starts.end()) continue;
        // This process's own training of the parent, or else that of the
        // one process that trained it for the group.
        const Group& parent = walked.groups[walked.parents[s]];
        int parent_end = -1;
        const auto own = t.ends.find({rank, parent});
        if (own != t.ends.end()) {
            parent_end = own->second;
        } else {
            for (const auto& end : t.ends)
                if (end.first.second == parent) parent_end = end.second;
        }
        EXPECT_GE(parent_end, 0) << "step " << s << "'s parent was never trained";
        EXPECT_LT(parent_end, start->second) << "step " << s << " began before its parent split";
    }
}

std::string thirty_taxa() {
    return simulated_file(30, 48, 11);
}

class TreeScheduleTest : public testing::Test {
protected:
    void SetUp() override { the_log = &log; }
    void TearDown() override { the_log = nullptr; }

    TrainingLog log;
};

}  // namespace

TEST_F(TreeScheduleTest, ReadyStepsTrainOnceEachAfterTheirParentAndWalkAsDepthFirst) {
    const TaxaOfFile taxa(thirty_taxa());
    const Walked depth_first = walk(taxa, {Kind::depth_first, 1});
    log.events.clear();
    const Walked ready = walk(taxa, {Kind::ready, 4});

    EXPECT_EQ(ready.lines, depth_first.lines);
    EXPECT_EQ(ready.newick, depth_first.newick);
    EXPECT_FALSE(ready.stopped_by_call_limit);
    const Trainings t = trainings_of(log);
    // Every step that splits was trained, each once: the whole tree.
    int splitting = 0;
    for (int s = 0; s < static_cast<int>(ready.groups.size()); ++s) {
        if (ready.groups[s].size() < 3) continue;
        ++splitting;
        EXPECT_TRUE(ready.trained[s]) << "step " << s;
        EXPECT_EQ(t.starts.count({0, ready.groups[s]}), 1u) << "step " << s;
    }
    EXPECT_EQ(static_cast<int>(t.starts.size()), splitting);
    EXPECT_GT(splitting, 10);
    expect_after_parents(ready, t, 0);
}

TEST_F(TreeScheduleTest, ReadyStepsStopAtTheCallLimit) {
    // The walker enters at most limit + 1 steps. The schedule trains ahead
    // of it only the first limit + 1 steps of the tree, and those the walker
    // asks for (those the depth-first schedule trains): not the whole tree.
    const TaxaOfFile taxa(thirty_taxa());
    for (int limit : {0, 1, 4, 9}) {
        SCOPED_TRACE("call limit " + std::to_string(limit));
        log.events.clear();
        const Walked depth_first = walk(taxa, {Kind::depth_first, 1, limit});
        std::set<Group> asked;
        for (const TrainingLog::Event& e : log.events) asked.insert(e.group);
        log.events.clear();
        const Walked ready = walk(taxa, {Kind::ready, 4, limit});

        EXPECT_TRUE(depth_first.stopped_by_call_limit);
        EXPECT_TRUE(ready.stopped_by_call_limit);
        EXPECT_EQ(ready.lines, depth_first.lines);
        EXPECT_EQ(ready.newick, depth_first.newick);
        const Trainings t = trainings_of(log);
        for (const auto& start : t.starts) {
            const Group& group = start.first.second;
            const auto at = std::find(ready.groups.begin(), ready.groups.end(), group);
            ASSERT_NE(at, ready.groups.end());
            const int s = static_cast<int>(at - ready.groups.begin());
            EXPECT_TRUE(s <= limit || asked.count(group) == 1)
                << "step " << s << " of " << group.size() << " taxa trained past the limit";
        }
        expect_after_parents(ready, t, 0);
    }
}

TEST_F(TreeScheduleTest, AFailureOnOneThreadStopsEveryThread) {
    // Once the first split is made, its two sides train at once on two of
    // the run's three threads. The first epoch of one side fails (as when
    // memory runs out) while the other side is about to begin its own; the
    // other side makes that one epoch at most, once every thread has been
    // told to stop, no step starts afterwards, and the failure reaches the
    // walk's caller when every thread has stopped.
    const TaxaOfFile taxa(thirty_taxa());
    const std::size_t all = taxa.by_id.size();
    std::mutex mutex;
    Group failing;
    bool other_started = false;
    std::atomic<bool> failed{false};
    std::atomic<bool> never_stopped{false};
    std::atomic<int> epochs_after_the_failure{0};
    std::atomic<SplitTrainer*> trainer{nullptr};
    log.on_epoch = [&](const Group& group) {
        // The first split trains as usual.
        if (group.size() == all) return;
        bool fails = false;
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (failing.empty()) failing = group;
            fails = group == failing;
            if (!fails) other_started = true;
        }
        if (fails) {
            ASSERT_TRUE(poll_until(
                [&] {
                    std::lock_guard<std::mutex> lock(mutex);
                    return other_started;
                },
                300000));
            failed = true;
            throw std::bad_alloc();
        }
        // The other side waits for the failure, then for the run to stop.
        if (never_stopped) return;
        poll_until([&] { return failed.load(); }, 300000);
        if (!poll_until([&] { return trainer.load()->stopped(); }, 300000)) never_stopped = true;
        epochs_after_the_failure.fetch_add(1);
    };

    bool threw = false;
    try {
        Walk how;
        how.kind = Kind::ready;
        how.threads = 3;
        how.trainer = &trainer;
        walk(taxa, how);
    } catch (const std::bad_alloc&) {
        threw = true;
    }
    EXPECT_TRUE(threw);
    EXPECT_TRUE(failed);
    EXPECT_FALSE(never_stopped) << "the other thread's step went on";
    EXPECT_EQ(epochs_after_the_failure.load(), 1);
    // The first split, then its two sides, and nothing after; the failing
    // side's training never ends.
    const Trainings t = trainings_of(log, false);
    EXPECT_EQ(t.starts.size(), 3u);
    EXPECT_EQ(t.ends.size(), 2u);
}

// The level schedule of a group of three processes: every step is trained
// once, by the process that owns it or by all of them together, after its
// parent's split has reached every process, and each process walks the
// same tree as the depth-first schedule of the same group.
TEST_F(TreeScheduleTest, LevelStepsTrainOnceOverTheGroupAndWalkAsDepthFirst) {
    constexpr int kProcesses = 3;
    const TaxaOfFile taxa(thirty_taxa());
    const auto walk_group = [&](Kind kind) {
        Meeting meeting(kProcesses);
        std::vector<Walked> walked(kProcesses);
        on_every_rank(kProcesses, [&](int rank) {
            ThreadGroup group(&meeting, rank);
            walked[rank] =
                walk(taxa, {kind, 2, AnalysisOptions::kCallLimit, kProcesses, rank, &group});
        });
        return walked;
    };
    const std::vector<Walked> depth_first = walk_group(Kind::depth_first);
    log.events.clear();
    const std::vector<Walked> level = walk_group(Kind::level);

    const Trainings t = trainings_of(log);
    int shared = 0;
    int spread = 0;
    for (int rank = 0; rank < kProcesses; ++rank) {
        SCOPED_TRACE("process " + std::to_string(rank));
        EXPECT_EQ(level[rank].lines, depth_first[rank].lines);
        EXPECT_EQ(level[rank].newick, depth_first[0].newick);
        EXPECT_EQ(level[rank].groups, level[0].groups);
        EXPECT_EQ(level[rank].owners, level[0].owners);
        expect_after_parents(level[rank], t, rank);
    }
    const Walked& tree = level[0];
    for (int s = 0; s < static_cast<int>(tree.groups.size()); ++s) {
        if (tree.groups[s].size() < 3) continue;
        SCOPED_TRACE("step " + std::to_string(s));
        const int owner = tree.owners[s];
        (owner < 0 ? shared : spread) += 1;
        for (int rank = 0; rank < kProcesses; ++rank) {
            const bool trains = owner < 0 || owner == rank;
            EXPECT_EQ(t.starts.count({rank, tree.groups[s]}), trains ? 1u : 0u) << rank;
            EXPECT_TRUE(level[rank].trained[s]);
        }
    }
    // Both kinds of step occur in this tree.
    EXPECT_GT(shared, 0);
    EXPECT_GT(spread, 0);
}
