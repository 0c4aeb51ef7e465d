#ifndef GUI_TREEGRAPHIC_H
#define GUI_TREEGRAPHIC_H

// The tree that the window shows while the analysis grows it: nodes with a
// label and a place in the plane, edges to their children, and its drawing
// with OpenGL lines and bitmap text. The three classes are read together.

#include <mutex>
#include <vector>

#include "analysis/charstring.h"

class SeqVector;
class TreeNode;

// A line from a node to one of its children.
class TreeEdge {
public:
    TreeEdge() : parent(nullptr), child(nullptr) {}
    TreeEdge(TreeNode* from, TreeNode* to) : parent(from), child(to) {}

    // One line between the two ends; both must be set.
    void Draw() const;

    TreeNode* parent;
    TreeNode* child;
};

// A node of the displayed tree. It owns its edge array and the children its
// edges reach, and frees them with itself.
class TreeNode {
public:
    // A count above 0 gives that many edges without ends; the tree's
    // operations give a node its children, so they all pass 0.
    TreeNode(CharString text, float px, float py, int count = 0);
    ~TreeNode();
    TreeNode(const TreeNode&) = delete;
    TreeNode& operator=(const TreeNode&) = delete;

    // The label, then each edge and the subtree below it.
    void Draw() const;
    // The label's characters from the node's point to the right.
    void DrawLabel() const;

    CharString label;
    TreeEdge* edges;
    double x;
    double y;
    int numChildren;

private:
    friend class TreeGraphic;

    // A node's edges, the array of children that a split hands out (null
    // for leaves added by name) and their count.
    struct Children {
        TreeEdge* edges;
        TreeNode** list;
        int count;
    };
    // Draw with the caller's stack of edges still to draw, so that a paint
    // need not allocate one; the stack is empty before and after.
    void Draw(std::vector<const TreeEdge*>& pending) const;
    // Gives the node new children and returns the previous ones for freeing.
    Children ReplaceChildren(const Children& replacement);
    // Frees edges, the subtrees they reach and the child array, without
    // recursion, so that a deep tree cannot exhaust the stack, and without
    // allocating.
    static void FreeChildren(const Children& children) noexcept;

    // The array of child pointers that the last split handed out.
    TreeNode** childList_;
    // While FreeChildren frees the node's subtree: the next node to free.
    TreeNode* nextFreed_;
};

// The displayed tree. The analysis thread grows it while the main-loop
// thread draws it: growing and drawing hold one mutex, so a paint sees every
// node either before or after a change, never half made, and nothing freed.
// One thread at a time grows it, with nodes of this tree.
class TreeGraphic {
public:
    // Takes the root and everything below it.
    explicit TreeGraphic(TreeNode* top);
    ~TreeGraphic();
    TreeGraphic(const TreeGraphic&) = delete;
    TreeGraphic& operator=(const TreeGraphic&) = delete;

    // Gives node `count` unnamed children, 2 / (depth + 1) to either side and
    // 0.5 below it, in place of any it had. *children receives the array of
    // the new children; the array belongs to the tree and stays valid until
    // the node's children are replaced or removed. Split and AddLeaves make
    // everything new before they change the node: when memory runs out they
    // throw std::bad_alloc, and the tree stays as it was, nothing lost.
    void Split(TreeNode* node, TreeNode*** children, int count, int depth);
    // Gives node two leaves, a 0.2 to its right and b 0.2 to its left, both
    // 0.8 below it, in place of any children it had.
    void AddLeaves(TreeNode* node, const CharString& a, const CharString& b);
    // Names node after the taxon and frees its children.
    void MakeLeaf(TreeNode* node, SeqVector* taxon);
    // The whole tree from the root, under the mutex.
    void Draw();

    TreeNode* root;

private:
    // Installs the new children under the mutex, then frees the old ones.
    void Replace(TreeNode* node, const TreeNode::Children& replacement);

    std::mutex mutex_;
    // Draw's stack of edges, kept from paint to paint under the mutex.
    std::vector<const TreeEdge*> drawStack_;
};

#endif
