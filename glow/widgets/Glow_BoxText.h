#ifndef GLOW_WIDGETS_GLOW_BOXTEXT_H
#define GLOW_WIDGETS_GLOW_BOXTEXT_H

#include "glow/widgets/GlowWidget.h"

namespace glow {

// What radio buttons and check boxes share: a square box as wide as the
// widget is high, then one line of text; mouse tracking from the press.
class Glow_BoxText {
public:
    // Size to fit: height first (leading + 1), then the width
    // (text + spacing + height + 1); neither grows on expand.
    static int AutoPack(GlowWidget* widget, int textWidth, int spacing, GlowFont font, int hSize,
                        int vSize, int hOption, int vOption);
    // Box fill and bevel (or the inactive outline); returns the box's right
    // edge in normalised x.
    static float DrawBox(const GlowWidget* widget, bool active, bool pressed, const GlowColor& box,
                         const GlowColor& light, const GlowColor& dark,
                         const GlowColor& inactiveBorder);
    static void DrawText(const GlowWidget* widget, float boxRight, int spacing, GlowFont font,
                         const char* text);
};

// The press-drag-release gesture of a box button.
struct Glow_BoxTracking {
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
