#ifndef GLOW_WIDGETS_GLOW_SCROLLBARCOLORS_H
#define GLOW_WIDGETS_GLOW_SCROLLBARCOLORS_H

#include "glow/widgets/Glow_WidgetColors.h"

namespace glow {

// The sixteen colours of a scroll bar, which its parameter record carries
// and the bar keeps, with their defaults.
struct Glow_ScrollBarColors {
    constexpr Glow_ScrollBarColors()
        : troughColor(Glow_WidgetColors::gray50),
          thumbColor(Glow_WidgetColors::gray70),
          dragOriginColor(Glow_WidgetColors::gray50),
          arrowBoxColor(Glow_WidgetColors::gray70),
          arrowColor(Glow_WidgetColors::blue),
          pressedTroughColor(153, 127, 127, 255),
          pressedThumbColor(Glow_WidgetColors::rose),
          pressedArrowBoxColor(Glow_WidgetColors::rose),
          pressedArrowColor(255, 0, 0, 255),
          inactiveTroughColor(Glow_WidgetColors::gray80),
          inactiveThumbColor(Glow_WidgetColors::gray70),
          inactiveArrowBoxColor(Glow_WidgetColors::gray70),
          inactiveArrowColor(Glow_WidgetColors::gray30),
          inactiveBorderColor(Glow_WidgetColors::gray30),
          lightBevelColor(Glow_WidgetColors::white),
          darkBevelColor(Glow_WidgetColors::gray30) {}

    GlowColor troughColor;
    GlowColor thumbColor;
    GlowColor dragOriginColor;  // where the thumb was when a drag began
    GlowColor arrowBoxColor;
    GlowColor arrowColor;
    GlowColor pressedTroughColor;  // the page area of the held page part
    GlowColor pressedThumbColor;
    GlowColor pressedArrowBoxColor;
    GlowColor pressedArrowColor;
    GlowColor inactiveTroughColor;
    GlowColor inactiveThumbColor;
    GlowColor inactiveArrowBoxColor;
    GlowColor inactiveArrowColor;
    GlowColor inactiveBorderColor;
    GlowColor lightBevelColor;
    GlowColor darkBevelColor;
};

}  // namespace glow

#endif
