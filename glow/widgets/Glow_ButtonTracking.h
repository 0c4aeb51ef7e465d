#ifndef GLOW_WIDGETS_GLOW_BUTTONTRACKING_H
#define GLOW_WIDGETS_GLOW_BUTTONTRACKING_H

namespace glow {

class GlowWidget;

// The press-drag-release gesture of a button: push buttons, check boxes
// and radio buttons.
struct Glow_ButtonTracking {
    bool tracking = false;
    bool inside = false;
    int button = 0;
    int modifiers = 0;

    bool Pressed() const { return tracking && inside; }
    void Down(GlowWidget* widget, int mouseButton, int mouseModifiers);
    void Drag(GlowWidget* widget, int x, int y);
    // True when the release completes a hit.
    bool Up(GlowWidget* widget);
    // Ends the gesture without a hit (the widget left the mouse list).
    void Cancel(GlowWidget* widget) { Up(widget); }
};

}  // namespace glow

#endif
