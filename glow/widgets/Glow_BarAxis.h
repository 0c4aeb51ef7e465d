#ifndef GLOW_WIDGETS_GLOW_BARAXIS_H
#define GLOW_WIDGETS_GLOW_BARAXIS_H

#include "glow/widgets/GlowWidget.h"

namespace glow {

// The axis of a control that runs along its longer side, as scroll bars and
// sliders do: taller than wide it runs from top to bottom, otherwise (a
// square too) from left to right.
struct Glow_BarAxis {
    constexpr Glow_BarAxis(int width, int height)
        : vertical(height > width),
          length(vertical ? height : width),
          breadth(vertical ? width : height) {}
    static Glow_BarAxis Of(const GlowWidget& widget) {
        return Glow_BarAxis(widget.Width(), widget.Height());
    }

    // The coordinates of a widget pixel along the bar and across it.
    constexpr int Along(int x, int y) const { return vertical ? y : x; }
    constexpr int Across(int x, int y) const { return vertical ? x : y; }

    bool vertical;
    int length;   // pixels along
    int breadth;  // pixels across
};

}  // namespace glow

#endif
