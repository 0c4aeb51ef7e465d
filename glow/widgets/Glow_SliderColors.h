#ifndef GLOW_WIDGETS_GLOW_SLIDERCOLORS_H
#define GLOW_WIDGETS_GLOW_SLIDERCOLORS_H

#include "glow/widgets/Glow_WidgetColors.h"

namespace glow {

// The ten colours of a slider, which its parameter record carries and the
// slider keeps, with their defaults.
struct Glow_SliderColors {
    constexpr Glow_SliderColors()
        : troughColor(Glow_WidgetColors::gray50),
          thumbColor(Glow_WidgetColors::gray70),
          tickColor(Glow_WidgetColors::black),
          pressedThumbColor(Glow_WidgetColors::rose),
          inactiveTroughColor(Glow_WidgetColors::gray70),
          inactiveThumbColor(Glow_WidgetColors::gray70),
          inactiveTickColor(Glow_WidgetColors::gray30),
          inactiveBorderColor(Glow_WidgetColors::gray30),
          lightBevelColor(Glow_WidgetColors::white),
          darkBevelColor(Glow_WidgetColors::gray30) {}

    GlowColor troughColor;
    GlowColor thumbColor;
    GlowColor tickColor;
    GlowColor pressedThumbColor;  // while the thumb is dragged
    GlowColor inactiveTroughColor;
    GlowColor inactiveThumbColor;
    GlowColor inactiveTickColor;
    GlowColor inactiveBorderColor;
    GlowColor lightBevelColor;
    GlowColor darkBevelColor;
};

}  // namespace glow

#endif
