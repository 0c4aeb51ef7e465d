#ifndef GLOW_WIDGETS_GLOWSUBWINDOWINWIDGET_H
#define GLOW_WIDGETS_GLOWSUBWINDOWINWIDGET_H

#include "glow/core/GlowSubwindow.h"

namespace glow {

class GlowWidget;

// A small GLUT subwindow owned by a widget (its parent component) and laid
// over it in the widget root's window, for what GLUT gives windows only
// (menus attached to mouse buttons). It follows its owner's position, size
// and visibility when the owner tells it to.
class GlowSubwindowInWidget : public GlowSubwindow {
public:
    GlowSubwindowInWidget();
    ~GlowSubwindowInWidget() override;

    // At (x, y) from the owner's top left, with the given size; hidden when
    // the owner is not visible.
    void Init(GlowWidget* owner, int x, int y, int width, int height, GlowDisplayMode mode,
              GlowEventMask eventMask);

    GlowWidget* Owner() const { return owner_; }

    // The owner moved, was reshaped, or was shown or hidden.
    void FollowOwnerPosition();
    void FollowOwnerSize();
    void FollowOwnerVisibility();

    // Keys typed over this subwindow go to the owner's widget window, in
    // that window's coordinates, so that its filters and focus apply.
    void OnKeyboard(int key, int x, int y, int modifiers) override;

private:
    GlowWidget* owner_ = nullptr;
    int offsetX_ = 0;
    int offsetY_ = 0;
};

}  // namespace glow

#endif
