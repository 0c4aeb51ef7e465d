#pragma once

#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

class AnalysisFrontEnd;
class SeqVector;
class SplitTree;
class TreeNode;
class TreeSchedule;

// Walks a run's tree in recursion order, the one order of everything a run
// shows: per step its "Num_seqs" line and the check of its taxa, the call
// limit, the lines of its training, the front end's calls and the Newick
// text. A step not trained when the walk reaches it is trained then by
// the schedule.
class TreeWalker {
public:
    struct Output {
        // Where the lines go.
        std::ostream* console = nullptr;
        // The window's tree and chart; null without one.
        AnalysisFrontEnd* gui = nullptr;
        // The node of the front end's tree that the first step fills.
        TreeNode* root = nullptr;
        // The depth of the first step in the whole tree.
        int root_depth = 0;
        // This process writes the tree file.
        bool writes_text = true;
    };
    // `taxa` are the run's taxa by id, for the check of each step's group.
    TreeWalker(const Output& output, const std::vector<SeqVector*>& taxa, int call_limit);

    // The whole walk; it stops early at the call limit or when the run is
    // cancelled.
    void walk(SplitTree* tree, TreeSchedule* schedule);
    // Walks on as far as the trained steps go. True: the walk waits for
    // step *waiting_for to be trained; false: it has ended. A schedule that
    // trains ahead calls it between steps (on the walker's thread, while
    // no step changes), so that the lines come as the steps are done.
    bool advance(const SplitTree& tree, int* waiting_for);
    bool stopped_by_call_limit() const { return call_limit_reached_; }
    // Hands over the Newick text of the tree, without the final ";".
    std::string take_newick() { return std::move(newick_); }

private:
    // One call of the recursion: its "Num_seqs" line, the check of its
    // taxa and the call limit. False once the limit is reached.
    bool enter_call(SeqVector* const* group, int n);
    void write_leaves(SeqVector* const* group, int n);
    void write(char c);
    void write_label(const SeqVector* taxon);

    // Where the walk is in a step: entering it, entered and waiting for its
    // split, between its two sides, after its second side.
    enum class Stage { enter, entered, first_side_done, second_side_done };
    struct Place {
        int step;
        Stage stage;
        TreeNode* node;
        int depth;
        // The front end's nodes of the step's two sides.
        TreeNode** children;
    };

    Output output_;
    // The steps the walk is in, the current one last.
    std::vector<Place> places_;
    const std::vector<SeqVector*>& taxa_;
    const int call_limit_;
    int calls_ = 0;
    bool call_limit_reached_ = false;
    std::string newick_;
};
