#ifndef GLOW_CORE_GLOWIDLEMESSAGE_H
#define GLOW_CORE_GLOWIDLEMESSAGE_H

#include "glow/core/TSender.h"

namespace glow {

// One idle tick of the main loop.
struct GlowIdleMessage {};

using GlowIdleReceiver = TReceiver<const GlowIdleMessage&>;

}  // namespace glow

#endif
