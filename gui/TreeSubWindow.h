#ifndef GUI_TREESUBWINDOW_H
#define GUI_TREESUBWINDOW_H

#include "glow/core/GlowSubwindow.h"

namespace glow {
class GlowViewManipulator;
}
class TreeViewer;

// The subwindow of the tree view: a black picture seen through a fixed
// camera, with a view manipulator that the mouse drives (left button turns,
// middle moves, right scales; a flick leaves the tree turning) and below it
// the viewer that draws the tree.
class TreeSubWindow : public glow::GlowSubwindow {
public:
    TreeSubWindow(glow::GlowComponent* parent, const glow::GlowSubwindowParams& params);
    // 400 by 400 pixels at (0, 0), with a depth buffer, for mouse buttons and
    // drags.
    explicit TreeSubWindow(glow::GlowComponent* parent);

    // Window pixels (from the top left, y down) to the manipulator's square
    // from -1 to 1 (y up). A window without width or height maps every point
    // to the centre, (0, 0).
    void NormalizeCoordinates(int x, int y, float& nx, float& ny) const;

    // A press starts a drag of its button's kind unless one is under way;
    // the release of any button ends it.
    void OnMouseDown(int button, int x, int y, int modifiers) override;
    void OnMouseUp(int button, int x, int y, int modifiers) override;
    void OnMouseDrag(int x, int y) override;

    TreeViewer* viewer;
    glow::GlowViewManipulator* manipulator;

protected:
    bool OnBeginPaint() override;
};

#endif
