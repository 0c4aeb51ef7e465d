#ifndef GLOW_CORE_GLOWTIMERMESSAGE_H
#define GLOW_CORE_GLOWTIMERMESSAGE_H

#include "glow/core/TSender.h"

namespace glow {

// Expiry of the timer that Glow::StartTimer returned id for.
struct GlowTimerMessage {
    explicit GlowTimerMessage(int timerId) : id(timerId) {}
    int id;
};

using GlowTimerReceiver = TReceiver<const GlowTimerMessage&>;

}  // namespace glow

#endif
