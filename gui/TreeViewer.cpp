#include "gui/TreeViewer.h"

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
    delete tree;
    tree = new TreeGraphic(new TreeNode(CharString("root"), kRootX, kRootY));
}

void TreeViewer::OnEndPaint() {
    if (tree != nullptr) tree->Draw();
}
