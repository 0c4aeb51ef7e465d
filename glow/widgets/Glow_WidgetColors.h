#ifndef GLOW_WIDGETS_GLOW_WIDGETCOLORS_H
#define GLOW_WIDGETS_GLOW_WIDGETCOLORS_H

#include "glow/core/GlowColor.h"

namespace glow {

// The colours that the widgets' parameter records start from. Each byte is
// the float component times 255, truncated, as GlowColor's float
// constructor gives it (0.8 is 204, 0.7 is 178, 0.3 is 76); constant, so
// that the records' defaults are ready before any start-up code runs.
struct Glow_WidgetColors {
    static constexpr GlowColor black{0, 0, 0, 255};
    static constexpr GlowColor white{255, 255, 255, 255};
    static constexpr GlowColor blue{0, 0, 255, 255};
    static constexpr GlowColor gray20{51, 51, 51, 255};
    static constexpr GlowColor gray30{76, 76, 76, 255};
    static constexpr GlowColor gray40{102, 102, 102, 255};
    static constexpr GlowColor gray50{127, 127, 127, 255};
    static constexpr GlowColor gray70{178, 178, 178, 255};
    static constexpr GlowColor gray80{204, 204, 204, 255};
    // (0.8, 0, 0): the text of a pressed box button, a highlighted label.
    static constexpr GlowColor darkRed{204, 0, 0, 255};
    // (1, 0.7, 0.7): what a pressed control shows on its darkened face.
    static constexpr GlowColor pressedPink{255, 178, 178, 255};
    // (0.8, 0.6, 0.6): a held thumb or arrow box.
    static constexpr GlowColor rose{204, 153, 153, 255};
};

}  // namespace glow

#endif
