#include "gui/TreeViewer.h"

#include <memory>

#include "gui/treegraphic.h"

namespace {
// Where a fresh tree's root stands in the tree's plane.
constexpr float kRootX = 0.0f;
constexpr float kRootY = 1.0f;
}  // namespace

TreeViewer::TreeViewer(glow::GlowComponent* parent) : glow::GlowComponent(parent), tree(nullptr) {
    ResetTree();
}

TreeViewer::~TreeViewer() {
    delete tree;
}

void TreeViewer::ResetTree() {
    // The new tree is made first: when memory runs out, the old one stays.
    std::unique_ptr<TreeNode> root(new TreeNode(CharString("root"), kRootX, kRootY));
    std::unique_ptr<TreeGraphic> fresh(new TreeGraphic(root.get()));
    root.release();
    delete tree;
    tree = fresh.release();
}

void TreeViewer::OnEndPaint() {
    if (tree != nullptr) tree->Draw();
}
