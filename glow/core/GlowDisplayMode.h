#ifndef GLOW_CORE_GLOWDISPLAYMODE_H
#define GLOW_CORE_GLOWDISPLAYMODE_H

// GlowDisplayMode is declared beside GlowEventMask: the two bit sets of a window.
#include "glow/core/GlowEventMask.h"

#endif
