// The walk of a run's tree: its lines, the front end's calls and the
// Newick text come in recursion order whichever schedule trains the steps,
// and the call limit stops the walk at the same call in both.

#include "analysis/treewalker.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "analysis/analysisfrontend.h"
#include "analysis/analysismodule.h"
#include "analysis/splittree.h"
#include "analysis/treeschedule.h"
#include "testsupport.h"

namespace {

// Lines written to a stream and front-end calls, in the order they came.
class EventLog : public std::streambuf {
public:
    std::vector<std::string> events;

    void add(const std::string& event) { events.push_back(event); }

protected:
    int overflow(int c) override {
        if (c == '\n') {
            events.push_back(line_);
            line_.clear();
        } else if (c != EOF) {
            line_ += static_cast<char>(c);
        }
        return c;
    }

private:
    std::string line_;
};

// Records the tree calls in the log; chart values as one "values" event
// per run of them.
class LoggingFrontEnd : public AnalysisFrontEnd {
public:
    explicit LoggingFrontEnd(EventLog* log) : log_(log) {}

    TreeNode* tree_root() override { return node(0); }
    void add_leaves(TreeNode* n, const CharString& a, const CharString& b) override {
        log_->add("leaves " + id(n) + " " + a.c_str() + " " + b.c_str());
    }
    void make_leaf(TreeNode* n, SeqVector* taxon) override {
        log_->add("leaf " + id(n) + " " + taxon->name.c_str());
    }
    void split(TreeNode* n, TreeNode*** children, int count, int depth) override {
        log_->add("split " + id(n) + " depth " + std::to_string(depth));
        arrays_.emplace_back(count);
        for (int i = 0; i < count; ++i) arrays_.back()[i] = node(next_++);
        *children = arrays_.back().data();
    }
    void add_value(int) override {
        if (log_->events.empty() || log_->events.back() != "values") log_->add("values");
    }

private:
    // Distinct addresses that are never dereferenced.
    TreeNode* node(int i) { return reinterpret_cast<TreeNode*>(&storage_[i]); }
    std::string id(TreeNode* n) const {
        return std::to_string(reinterpret_cast<const char*>(n) - storage_);
    }
    EventLog* log_;
    char storage_[64] = {};
    int next_ = 1;
    std::vector<std::vector<TreeNode*>> arrays_;
};

// Taxa named a, b, c, ... with ids in order.
struct Taxa {
    explicit Taxa(int n) {
        for (int i = 0; i < n; ++i) {
            owned.push_back(std::make_unique<SeqVector>());
            owned.back()->id = i;
            owned.back()->name = CharString(std::string(1, static_cast<char>('a' + i)).c_str());
            by_id.push_back(owned.back().get());
        }
    }
    std::vector<std::unique_ptr<SeqVector>> owned;
    std::vector<SeqVector*> by_id;
};

bool starts_with(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The lines of a log, without the front end's calls.
std::vector<std::string> lines_only(const std::vector<std::string>& events) {
    std::vector<std::string> lines;
    for (const std::string& e : events) {
        if (!starts_with(e, "split ") && !starts_with(e, "leaf ") && !starts_with(e, "leaves ") &&
            e != "values") {
            lines.push_back(e);
        }
    }
    return lines;
}

int progress_lines(const std::vector<std::string>& events) {
    int count = 0;
    for (const std::string& e : events) count += is_step_line(e) ? 1 : 0;
    return count;
}

std::string names(const std::vector<SeqVector*>& group) {
    std::string text;
    for (const SeqVector* taxon : group) text += taxon->name.c_str();
    return text;
}

// Splits as a plan says: each group (its names in order) to a first side
// of the taxa named, the rest to the second, with the outcome's lines.
// Depth first trains the step asked for; ahead trains every step it can,
// as far as the plan goes, the first time it is asked.
class PlannedSchedule : public TreeSchedule {
public:
    struct Split {
        std::string first;
        int zero_partitions;
        bool farthest_pair;
    };
    PlannedSchedule(std::map<std::string, Split> plan, bool ahead)
        : plan_(std::move(plan)), ahead_(ahead) {}

    void train_for(SplitTree* tree, int s) override {
        asked.push_back(names(tree->step(s).group));
        if (!ahead_) {
            train(tree, s);
            return;
        }
        std::vector<int> level = {s};
        while (!level.empty()) {
            std::vector<int> next;
            for (int t : level) train(tree, t, &next);
            level.swap(next);
        }
    }

    std::vector<std::string> asked;

private:
    void train(SplitTree* tree, int s, std::vector<int>* next = nullptr) {
        SplitStep& step = tree->step(s);
        const Split& split = plan_.at(names(step.group));
        for (SeqVector* taxon : step.group) {
            const bool first = split.first.find(taxon->name.c_str()) != std::string::npos;
            step.sides[first ? 0 : 1].push_back(taxon);
        }
        step.outcome.zero_partitions = split.zero_partitions;
        step.outcome.farthest_pair = split.farthest_pair;
        step.trained = true;
        std::vector<int> ignored;
        tree->branch(s, &counters_, next ? next : &ignored);
    }

    std::map<std::string, Split> plan_;
    bool ahead_;
    RunCounters counters_;
};

struct Walk {
    std::vector<std::string> events;
    std::string newick;
    bool stopped = false;
    std::vector<std::string> asked;
};

Walk walk(const Taxa& taxa, const std::map<std::string, PlannedSchedule::Split>& plan, bool ahead,
          int call_limit, bool with_front_end) {
    EventLog log;
    std::ostream console(&log);
    LoggingFrontEnd front(&log);
    TreeWalker::Output output;
    output.console = &console;
    output.gui = with_front_end ? &front : nullptr;
    output.root = with_front_end ? front.tree_root() : nullptr;
    TreeWalker walker(output, taxa.by_id, call_limit);
    SplitTree tree(taxa.by_id);
    PlannedSchedule schedule(plan, ahead);
    walker.walk(&tree, &schedule);
    return {log.events, walker.take_newick(), walker.stopped_by_call_limit(), schedule.asked};
}

// Six taxa: abcdef splits into abc | def after two failed attempts;
// abc into a | bc; def into de | f by the farthest pair.
const std::map<std::string, PlannedSchedule::Split> kPlan = {
    {"abcdef", {"abc", 2, false}},
    {"abc", {"a", 0, false}},
    {"def", {"de", 1, true}},
};

}  // namespace

TEST(TreeWalker, LinesFrontEndCallsAndTextInRecursionOrderInEitherSchedule) {
    const Taxa taxa(6);
    const std::vector<std::string> expected = {
        "Num_seqs: 6",
        "Error: Zero partition",
        "Error: Zero partition",
        "split 0 depth 0",
        "Num_seqs: 3",
        "split 1 depth 1",
        "Num_seqs: 1",
        "leaf 3 a",
        "Num_seqs: 2",
        "leaves 4 b c",
        "Num_seqs: 3",
        "Error: Zero partition",
        "Warning: no split found for 3 taxa; splitting by the farthest pair",
        "split 2 depth 1",
        "Num_seqs: 2",
        "leaves 5 d e",
        "Num_seqs: 1",
        "leaf 6 f",
    };
    for (const bool ahead : {false, true}) {
        const Walk w = walk(taxa, kPlan, ahead, AnalysisOptions::kCallLimit, true);
        EXPECT_EQ(w.events, expected) << ahead;
        EXPECT_EQ(w.newick, "((a,(b,c)),((d,e),f))") << ahead;
        EXPECT_FALSE(w.stopped);
        // A step is trained once the walk reaches it, never before: depth
        // first asks for each, ahead only for the first.
        const std::vector<std::string> asked =
            ahead ? std::vector<std::string>{"abcdef"}
                  : std::vector<std::string>{"abcdef", "abc", "def"};
        EXPECT_EQ(w.asked, asked) << ahead;
    }
    // Without a front end the same lines and text, and no call.
    const Walk plain = walk(taxa, kPlan, true, AnalysisOptions::kCallLimit, false);
    EXPECT_EQ(plain.events, lines_only(expected));
    EXPECT_EQ(plain.newick, "((a,(b,c)),((d,e),f))");
}

TEST(TreeWalker, CallLimitStopsTheWalkAtTheSameCallInEitherSchedule) {
    const Taxa taxa(6);
    // The tree takes seven calls. A limit of L lets L + 1 calls pass: the
    // next shows its line and stops the walk, with nothing after it.
    struct Case {
        int limit;
        std::vector<std::string> last;
        bool stopped;
    };
    const Case cases[] = {
        {0, {"split 0 depth 0", "Num_seqs: 3"}, true},
        {2, {"split 1 depth 1", "Num_seqs: 1", "leaf 3 a", "Num_seqs: 2"}, true},
        {5, {"split 2 depth 1", "Num_seqs: 2", "leaves 5 d e", "Num_seqs: 1"}, true},
        {6, {"leaves 5 d e", "Num_seqs: 1", "leaf 6 f"}, false},
    };
    for (const Case& c : cases) {
        for (const bool ahead : {false, true}) {
            const Walk w = walk(taxa, kPlan, ahead, c.limit, true);
            EXPECT_EQ(w.stopped, c.stopped) << c.limit << " " << ahead;
            EXPECT_EQ(progress_lines(w.events), c.stopped ? c.limit + 2 : 7)
                << c.limit << " " << ahead;
            ASSERT_GE(w.events.size(), c.last.size());
            const std::vector<std::string> last(w.events.end() - c.last.size(), w.events.end());
            EXPECT_EQ(last, c.last) << c.limit << " " << ahead;
        }
    }
}

// The real schedules: with a front end each step trains when the walk
// reaches it, so its chart values come after its own "Num_seqs" line and
// before its split; without one, level by level. Both give the same lines
// and the same tree, and both stop at the call limit.
TEST(TreeWalker, BothSchedulesOfARunShowTheSameLinesAndStopAtTheLimit) {
    TempDir dir;
    const std::string input = dir.write("sim.txt", simulated_file(12, 80, 5));
    struct Run {
        std::vector<std::string> events;
        std::string tree;
        AnalysisStatus status = AnalysisStatus::success();
    };
    const auto run = [&](bool with_front_end, int call_limit) {
        AnalysisModule module;
        EventLog log;
        std::ostream console(&log);
        LoggingFrontEnd front(&log);
        if (with_front_end) module.gui = &front;
        module.options.console = &console;
        module.options.call_limit = call_limit;
        const std::string output = dir.path(with_front_end ? "front.tre" : "plain.tre");
        EXPECT_TRUE(module.set_input_path(input).ok());
        EXPECT_TRUE(module.set_output_path(output).ok());
        AnalysisModule::run(&module);
        Run r{log.events, file_exists(output) ? read_file(output) : "", module.run_status};
        std::remove(output.c_str());
        return r;
    };
    const Run front = run(true, AnalysisOptions::kCallLimit);
    const Run plain = run(false, AnalysisOptions::kCallLimit);
    ASSERT_TRUE(front.status.ok()) << front.status.message();
    ASSERT_TRUE(plain.status.ok()) << plain.status.message();
    EXPECT_EQ(front.tree, plain.tree);
    for (std::size_t i = 0; i < front.events.size(); ++i) {
        const std::string& e = front.events[i];
        if (starts_with(e, "split ")) {
            // A split follows its step's training and its lines.
            ASSERT_GE(i, 2u);
            const std::string& before = front.events[i - 1];
            EXPECT_TRUE(before == "values" || starts_with(before, "Error: ") ||
                        starts_with(before, "Warning: "))
                << before;
        } else if (e == "values") {
            EXPECT_TRUE(is_step_line(front.events[i - 1])) << front.events[i - 1];
        }
    }
    EXPECT_EQ(lines_only(front.events), plain.events);

    // A limit of 3 lets four calls pass and stops at the fifth line.
    for (const bool with_front_end : {true, false}) {
        const Run limited = run(with_front_end, 3);
        EXPECT_EQ(limited.status.message(), "Hardcoded limit reached... exiting");
        EXPECT_EQ(limited.status.exit_code(), 1);
        EXPECT_EQ(limited.tree, "");
        const std::vector<std::string> limited_lines = lines_only(limited.events);
        ASSERT_LE(limited_lines.size(), plain.events.size());
        // The lines up to the limit are the full run's first lines.
        const std::vector<std::string> head(plain.events.begin(),
                                            plain.events.begin() + limited_lines.size());
        EXPECT_EQ(limited_lines, head) << with_front_end;
        EXPECT_EQ(progress_lines(limited_lines), 5) << with_front_end;
        EXPECT_TRUE(is_step_line(limited_lines.back())) << with_front_end;
    }
}
