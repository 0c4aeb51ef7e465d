#ifndef GLOW_CORE_TRECEIVER_H
#define GLOW_CORE_TRECEIVER_H

// TReceiver is declared beside TSender, which it is always used with.
#include "glow/core/TSender.h"

#endif
