#pragma once

class CharString;
class SeqVector;
class TreeNode;

// What the analysis shows while it runs, when a window is attached: the
// growing tree and the RMS error chart. Called on the analysis thread.
class AnalysisFrontEnd {
public:
    virtual ~AnalysisFrontEnd() = default;

    virtual TreeNode* tree_root() = 0;
    virtual void add_leaves(TreeNode* node, const CharString& first, const CharString& second) = 0;
    virtual void make_leaf(TreeNode* node, SeqVector* taxon) = 0;
    // Gives `node` `count` children and hands them back in a new array.
    virtual void split(TreeNode* node, TreeNode*** children, int count, int depth) = 0;
    // One RMS error value times 100, truncated.
    virtual void add_value(int value) = 0;
};
