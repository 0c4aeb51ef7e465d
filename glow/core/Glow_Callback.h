#ifndef GLOW_CORE_GLOW_CALLBACK_H
#define GLOW_CORE_GLOW_CALLBACK_H

// Internal to the toolkit: the one road from a GLUT callback into the
// toolkit's work (see Glow::MainLoop).

#include "glow/core/Glow.h"

namespace glow {

template <typename Work>
void Glow::RunCallback_(Work&& work) noexcept {
    if (HasCallbackFailure_()) return;
    try {
        work();
    } catch (...) {
        KeepCallbackFailure_(std::current_exception());
    }
}

}  // namespace glow

#endif
