#ifndef GLOW_WIDGETS_GLOW_MENUBUTTONCOLORS_H
#define GLOW_WIDGETS_GLOW_MENUBUTTONCOLORS_H

#include "glow/widgets/Glow_WidgetColors.h"

namespace glow {

// The twelve colours of a menu button's face, which the parameter records
// of menu buttons and pop-up menus share, with their defaults.
struct Glow_MenuButtonColors {
    constexpr Glow_MenuButtonColors()
        : boxColor(Glow_WidgetColors::gray70),
          textColor(Glow_WidgetColors::black),
          iconColor(Glow_WidgetColors::blue),
          pressedBoxColor(Glow_WidgetColors::gray50),
          pressedTextColor(Glow_WidgetColors::pressedPink),
          pressedIconColor(Glow_WidgetColors::pressedPink),
          inactiveBoxColor(Glow_WidgetColors::gray70),
          inactiveTextColor(Glow_WidgetColors::gray30),
          inactiveIconColor(Glow_WidgetColors::gray30),
          inactiveBorderColor(Glow_WidgetColors::gray30),
          lightBevelColor(Glow_WidgetColors::white),
          darkBevelColor(Glow_WidgetColors::gray20) {}
    // Every colour the same.
    constexpr explicit Glow_MenuButtonColors(GlowColor all)
        : boxColor(all),
          textColor(all),
          iconColor(all),
          pressedBoxColor(all),
          pressedTextColor(all),
          pressedIconColor(all),
          inactiveBoxColor(all),
          inactiveTextColor(all),
          inactiveIconColor(all),
          inactiveBorderColor(all),
          lightBevelColor(all),
          darkBevelColor(all) {}

    GlowColor boxColor;
    GlowColor textColor;
    GlowColor iconColor;
    GlowColor pressedBoxColor;
    GlowColor pressedTextColor;
    GlowColor pressedIconColor;
    GlowColor inactiveBoxColor;
    GlowColor inactiveTextColor;
    GlowColor inactiveIconColor;
    GlowColor inactiveBorderColor;
    GlowColor lightBevelColor;
    GlowColor darkBevelColor;
};

}  // namespace glow

#endif
