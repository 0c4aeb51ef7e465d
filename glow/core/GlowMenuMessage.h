#ifndef GLOW_CORE_GLOWMENUMESSAGE_H
#define GLOW_CORE_GLOWMENUMESSAGE_H

#include "glow/core/TSender.h"

namespace glow {

class GlowMenu;
class GlowSubwindow;

// A menu selection; lives only for the duration of its delivery.
struct GlowMenuMessage {
    int code;               // the chosen entry's code
    GlowMenu* menu;         // the menu that handled the choice
    GlowSubwindow* window;  // where the menu was used; null if not a toolkit window
    int x;                  // where the menu was used, window coordinates
    int y;
};

using GlowMenuReceiver = TReceiver<const GlowMenuMessage&>;

}  // namespace glow

#endif
