#ifndef GUI_TREEVIEWER_H
#define GUI_TREEVIEWER_H

#include "glow/core/GlowComponent.h"

class TreeGraphic;

// The component of the tree view that owns the displayed tree and draws it,
// under the view transform of its parent.
class TreeViewer : public glow::GlowComponent {
public:
    explicit TreeViewer(glow::GlowComponent* parent);
    // Deletes the tree with every node.
    ~TreeViewer() override;

    // Replaces the tree by a fresh one: the single node "root" at (0, 1).
    // Call it on the main-loop thread while no analysis grows the tree: the
    // old nodes are freed. When memory runs out it throws std::bad_alloc
    // and the old tree stays.
    void ResetTree();

    TreeGraphic* tree;

protected:
    // Draws the tree while holding its mutex.
    void OnEndPaint() override;
};

#endif
