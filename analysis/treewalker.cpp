#include "analysis/treewalker.h"

#include <ostream>

#include "analysis/analysisfrontend.h"
#include "analysis/check.h"
#include "analysis/newicklabel.h"
#include "analysis/seqvector.h"
#include "analysis/splittree.h"
#include "analysis/treeschedule.h"

TreeWalker::TreeWalker(const Output& output, const std::vector<SeqVector*>& taxa, int call_limit)
    : output_(output), taxa_(taxa), call_limit_(call_limit) {}

void TreeWalker::walk(SplitTree* tree, TreeSchedule* schedule) {
    places_ = {{0, Stage::enter, output_.root, output_.root_depth, nullptr}};
    int waiting_for = -1;
    while (advance(*tree, &waiting_for)) {
        schedule->train_for(tree, waiting_for);
        // Cancelled: the step stays untrained.
        if (!tree->step(waiting_for).trained) return;
    }
}

bool TreeWalker::advance(const SplitTree& tree, int* waiting_for) {
    AnalysisFrontEnd* const gui = output_.gui;
    while (!places_.empty()) {
        const Place place = places_.back();
        const SplitStep& step = tree.step(place.step);
        const int n = step.size();
        if (place.stage == Stage::first_side_done) {
            write(',');
            places_.back().stage = Stage::second_side_done;
            places_.push_back({step.children[1], Stage::enter,
                               place.children ? place.children[1] : nullptr, place.depth + 1,
                               nullptr});
            continue;
        }
        if (place.stage == Stage::second_side_done) {
            write(')');
            places_.pop_back();
            continue;
        }
        if (place.stage == Stage::enter) {
            // Once the limit is reached the recursion only unwinds: nothing
            // more is shown or written.
            if (!enter_call(step.group.data(), n)) {
                places_.clear();
                return false;
            }
            if (!step.splits()) {
                write_leaves(step.group.data(), n);
                if (gui && n == 2)
                    gui->add_leaves(place.node, step.group[0]->name, step.group[1]->name);
                if (gui && n == 1) gui->make_leaf(place.node, step.group[0]);
                places_.pop_back();
                continue;
            }
            places_.back().stage = Stage::entered;
        }
        if (!step.trained) {
            *waiting_for = place.step;
            return true;
        }
        const StepOutcome& outcome = step.outcome;
        std::ostream& console = *output_.console;
        for (int i = 0; i < outcome.zero_partitions; ++i) {
            console << "Error: Zero partition" << std::endl;
        }
        if (outcome.farthest_pair) {
            console << "Warning: no split found for " << n
                    << " taxa; splitting by the farthest pair" << std::endl;
        }
        write('(');
        TreeNode** children = nullptr;
        if (gui) gui->split(place.node, &children, kNeurons, place.depth);
        places_.back().stage = Stage::first_side_done;
        places_.back().children = children;
        places_.push_back({step.children[0], Stage::enter, children ? children[0] : nullptr,
                           place.depth + 1, nullptr});
    }
    return false;
}

bool TreeWalker::enter_call(SeqVector* const* group, int n) {
    *output_.console << "Num_seqs: " << n << std::endl;
    for (int i = 0; i < n; ++i) tavrel_assert(taxa_[group[i]->id] == group[i]);
    if (calls_++ > call_limit_) {
        call_limit_reached_ = true;
        return false;
    }
    return true;
}

void TreeWalker::write_leaves(SeqVector* const* group, int n) {
    if (n == 1) write_label(group[0]);
    if (n != 2) return;
    write('(');
    write_label(group[0]);
    write(',');
    write_label(group[1]);
    write(')');
}

void TreeWalker::write(char c) {
    if (output_.writes_text) newick_ += c;
}

void TreeWalker::write_label(const SeqVector* taxon) {
    if (output_.writes_text) newick_ += newick_label(taxon->name);
}
