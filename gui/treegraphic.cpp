#include "gui/treegraphic.h"

#include <GL/gl.h>

#include <cstddef>
#include <vector>

#include "analysis/check.h"
#include "analysis/seqvector.h"
#include "gui/RasterText.h"

namespace {

// Layout of the tree's plane: each split puts its children this far below
// the node, at a horizontal distance that shrinks with the depth.
constexpr double kSplitDrop = 0.5;
constexpr double kSplitSpread = 2.0;
// Leaves hang further down and close to their parent.
constexpr double kLeafDrop = 0.8;
constexpr double kLeafOffset = 0.2;
constexpr int kLeafCount = 2;

// Positions are computed in double and kept in single precision, as they
// are drawn. The rounding goes through memory: GCC 12's vectoriser drops a
// plain double-float-double round trip when it pairs the two coordinates.
float Single(double value) {
    volatile float rounded = static_cast<float>(value);
    return rounded;
}

// A new array of `count` children of node, all unnamed at (0, 0), and the
// edges that reach them.
void MakeChildren(TreeNode* node, int count, TreeEdge*& edges, TreeNode**& children) {
    edges = new TreeEdge[count];
    children = new TreeNode*[count];
    for (int i = 0; i < count; ++i) {
        children[i] = new TreeNode(CharString(""), 0.0f, 0.0f);
        edges[i] = TreeEdge(node, children[i]);
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// TreeEdge

// An edge without an end is a fault in whatever built the tree. The failure
// names this file and the line, with the expression as written here.
void TreeEdge::Draw() const {
    tavrel_assert(parent != NULL);
    tavrel_assert(child != NULL);
    glBegin(GL_LINES);
    glVertex3f(static_cast<float>(parent->x), static_cast<float>(parent->y), 0.0f);
    glVertex3f(static_cast<float>(child->x), static_cast<float>(child->y), 0.0f);
    glEnd();
}

// ---------------------------------------------------------------------------
// TreeNode

TreeNode::TreeNode(CharString text, float px, float py, int count)
    : label(text),
      edges(count > 0 ? new TreeEdge[count] : nullptr),
      x(px),
      y(py),
      numChildren(count > 0 ? count : 0),
      childList_(nullptr) {}

TreeNode::~TreeNode() {
    FreeChildren(edges, childList_, numChildren);
}

// Pre-order, with a stack of the edges still to draw instead of recursion,
// so that a deep tree cannot exhaust the stack: label, then for each edge
// the line and the subtree below it.
void TreeNode::Draw() const {
    std::vector<const TreeEdge*> pending;
    const TreeNode* node = this;
    for (;;) {
        node->DrawLabel();
        for (int i = node->numChildren - 1; i >= 0; --i) pending.push_back(&node->edges[i]);
        if (pending.empty()) return;
        const TreeEdge* edge = pending.back();
        pending.pop_back();
        edge->Draw();
        node = edge->child;
    }
}

void TreeNode::DrawLabel() const {
    RasterText::Draw(static_cast<float>(x), static_cast<float>(y), label.c_str());
}

void TreeNode::ReplaceChildren(TreeEdge* newEdges, TreeNode** newChildList, int count,
                               TreeEdge*& oldEdges, TreeNode**& oldChildList, int& oldCount) {
    oldEdges = edges;
    oldChildList = childList_;
    oldCount = numChildren;
    edges = newEdges;
    childList_ = newChildList;
    numChildren = count;
}

void TreeNode::FreeChildren(TreeEdge* oldEdges, TreeNode** oldChildList, int oldCount) {
    std::vector<TreeNode*> pending;
    for (int i = 0; i < oldCount; ++i) pending.push_back(oldEdges[i].child);
    delete[] oldEdges;
    delete[] oldChildList;
    while (!pending.empty()) {
        TreeNode* node = pending.back();
        pending.pop_back();
        if (node == nullptr) continue;
        for (int i = 0; i < node->numChildren; ++i) pending.push_back(node->edges[i].child);
        // Its children are queued: the destructor must not free them again.
        delete[] node->edges;
        delete[] node->childList_;
        node->edges = nullptr;
        node->childList_ = nullptr;
        node->numChildren = 0;
        delete node;
    }
}

// ---------------------------------------------------------------------------
// TreeGraphic

TreeGraphic::TreeGraphic(TreeNode* top) : root(top) {}

TreeGraphic::~TreeGraphic() {
    delete root;
}

void TreeGraphic::Split(TreeNode* node, TreeNode*** children, int count, int depth) {
    if (count < 0) count = 0;
    const double spread = kSplitSpread / (depth + 1.0);
    const float below = Single(node->y - kSplitDrop);
    TreeEdge* newEdges = nullptr;
    TreeNode** newChildren = nullptr;
    MakeChildren(node, count, newEdges, newChildren);
    // Children past the second stay at (0, 0).
    if (count > 0) {
        newChildren[0]->x = Single(node->x - spread);
        newChildren[0]->y = below;
    }
    if (count > 1) {
        newChildren[1]->x = Single(node->x + spread);
        newChildren[1]->y = below;
    }
    if (children != nullptr) *children = newChildren;
    Replace(node, newEdges, newChildren, count);
}

void TreeGraphic::AddLeaves(TreeNode* node, const CharString& a, const CharString& b) {
    const float below = Single(node->y - kLeafDrop);
    TreeEdge* newEdges = new TreeEdge[kLeafCount];
    newEdges[0] = TreeEdge(node, new TreeNode(a, Single(node->x + kLeafOffset), below));
    newEdges[1] = TreeEdge(node, new TreeNode(b, Single(node->x - kLeafOffset), below));
    Replace(node, newEdges, nullptr, kLeafCount);
}

void TreeGraphic::MakeLeaf(TreeNode* node, SeqVector* taxon) {
    TreeEdge* oldEdges = nullptr;
    TreeNode** oldChildList = nullptr;
    int oldCount = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        node->label = taxon->name;
        node->ReplaceChildren(nullptr, nullptr, 0, oldEdges, oldChildList, oldCount);
    }
    TreeNode::FreeChildren(oldEdges, oldChildList, oldCount);
}

void TreeGraphic::Draw() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (root != nullptr) root->Draw();
}

void TreeGraphic::Replace(TreeNode* node, TreeEdge* newEdges, TreeNode** newChildList, int count) {
    TreeEdge* oldEdges = nullptr;
    TreeNode** oldChildList = nullptr;
    int oldCount = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        node->ReplaceChildren(newEdges, newChildList, count, oldEdges, oldChildList, oldCount);
    }
    // Detached under the mutex, so no paint reaches the old subtree any more.
    TreeNode::FreeChildren(oldEdges, oldChildList, oldCount);
}
