// The tree's plane: the root stands at (0, 1) and every generation lies
// further down. A split at depth d puts its two children 0.5 below the node
// and 2 / (d + 1) to either side (2 at the top, then 1, 2/3, 1/2, ...); the
// first child goes left. Two named leaves hang 0.8 below their parent, the
// first 0.2 to its right, the second 0.2 to its left. The tree view's camera
// shows the square from -2.5 to 2.5 until the user turns or moves it, so the
// outer grandchildren of the root (at -3 and 3) already lie outside it.
// Growing and drawing run on different threads; see TreeGraphic.

#include "gui/treegraphic.h"

#include <GL/gl.h>

#include <cstddef>
#include <memory>
#include <vector>

#include "analysis/check.h"
#include "analysis/seqvector.h"
#include "gui/RasterText.h"

namespace {

// Offsets in the tree's plane (above).
constexpr double kSplitDrop = 0.5;
constexpr double kSplitSpread = 2.0;
constexpr double kLeafDrop = 0.8;
constexpr double kLeafOffset = 0.2;
// AddLeaves gives a node exactly two leaves.
constexpr int kLeafCount = 2;

// Positions are computed in double and kept in single precision, as they
// are drawn. The rounding goes through memory: GCC 12's vectoriser drops a
// plain double-float-double round trip when it pairs the two coordinates.
float Single(double value) {
    volatile float rounded = static_cast<float>(value);
    return rounded;
}

}  // namespace

// ---------------------------------------------------------------------------
// TreeEdge

// An edge without an end is a fault in whatever built the tree: the tree's
// own operations set both ends before an edge is counted, so a failure here
// means a node was given a count without children. The failure names this
// file and the line, with the expression as written here (NULL included).
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
      childList_(nullptr),
      nextFreed_(nullptr) {}

TreeNode::~TreeNode() {
    FreeChildren({edges, childList_, numChildren});
}

// Pre-order, with a stack of the edges still to draw instead of recursion,
// so that a deep tree cannot exhaust the stack: label, then for each edge
// the line and the subtree below it.
void TreeNode::Draw() const {
    std::vector<const TreeEdge*> pending;
    Draw(pending);
}

void TreeNode::Draw(std::vector<const TreeEdge*>& pending) const {
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

TreeNode::Children TreeNode::ReplaceChildren(const Children& replacement) {
    const Children previous = {edges, childList_, numChildren};
    edges = replacement.edges;
    childList_ = replacement.list;
    // Last, as the count makes the children visible.
    numChildren = replacement.count;
    return previous;
}

void TreeNode::FreeChildren(const Children& children) noexcept {
    // The nodes still to free, linked through the nodes themselves: freeing
    // needs no memory, so it works when memory has run out, and a tree's
    // operation that has put its new children in place cannot fail after.
    TreeNode* pending = nullptr;
    const auto queue = [&pending](const TreeEdge* from, int count) {
        for (int i = 0; i < count; ++i) {
            TreeNode* child = from[i].child;
            if (child == nullptr) continue;
            child->nextFreed_ = pending;
            pending = child;
        }
    };
    queue(children.edges, children.count);
    delete[] children.edges;
    delete[] children.list;
    while (pending != nullptr) {
        TreeNode* node = pending;
        pending = node->nextFreed_;
        queue(node->edges, node->numChildren);
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
    // Unnamed children at (0, 0) with their edges, all made before the node
    // shows any of them. Each is held here until the node has them all, so
    // that an allocation refused on the way frees what came before it.
    std::unique_ptr<TreeEdge[]> edges(new TreeEdge[count]);
    std::unique_ptr<TreeNode*[]> list(new TreeNode*[count]);
    std::unique_ptr<std::unique_ptr<TreeNode>[]> made(new std::unique_ptr<TreeNode>[count]);
    for (int i = 0; i < count; ++i) {
        made[i].reset(new TreeNode(CharString(""), 0.0f, 0.0f));
        list[i] = made[i].get();
        edges[i] = TreeEdge(node, list[i]);
    }
    // The first two move below the node, to either side; more stay at (0, 0).
    const double spread = kSplitSpread / (depth + 1.0);
    const float below = Single(node->y - kSplitDrop);
    if (count > 0) {
        list[0]->x = Single(node->x - spread);
        list[0]->y = below;
    }
    if (count > 1) {
        list[1]->x = Single(node->x + spread);
        list[1]->y = below;
    }
    Replace(node, {edges.get(), list.get(), count});
    // The tree has them now.
    edges.release();
    for (int i = 0; i < count; ++i) made[i].release();
    TreeNode** const handed = list.release();
    if (children != nullptr) *children = handed;
}

void TreeGraphic::AddLeaves(TreeNode* node, const CharString& a, const CharString& b) {
    const float below = Single(node->y - kLeafDrop);
    // Held here until the node has them, as in Split.
    std::unique_ptr<TreeEdge[]> edges(new TreeEdge[kLeafCount]);
    std::unique_ptr<TreeNode> first(new TreeNode(a, Single(node->x + kLeafOffset), below));
    std::unique_ptr<TreeNode> second(new TreeNode(b, Single(node->x - kLeafOffset), below));
    edges[0] = TreeEdge(node, first.get());
    edges[1] = TreeEdge(node, second.get());
    Replace(node, {edges.get(), nullptr, kLeafCount});
    edges.release();
    first.release();
    second.release();
}

void TreeGraphic::MakeLeaf(TreeNode* node, SeqVector* taxon) {
    TreeNode::Children previous;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        node->label = taxon->name;
        previous = node->ReplaceChildren({nullptr, nullptr, 0});
    }
    TreeNode::FreeChildren(previous);
}

void TreeGraphic::Draw() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (root != nullptr) root->Draw(drawStack_);
}

void TreeGraphic::Replace(TreeNode* node, const TreeNode::Children& replacement) {
    TreeNode::Children previous;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        previous = node->ReplaceChildren(replacement);
    }
    // Detached under the mutex, so no paint reaches the old subtree any more.
    TreeNode::FreeChildren(previous);
}
