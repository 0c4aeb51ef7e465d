#ifndef GLOW_CORE_RECEIVER_BASE_H
#define GLOW_CORE_RECEIVER_BASE_H

// Receiver_Base is declared beside Sender_Base: each keeps the other's list.
#include "glow/core/Sender_Base.h"

#endif
