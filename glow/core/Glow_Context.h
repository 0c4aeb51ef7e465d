#ifndef GLOW_CORE_GLOW_CONTEXT_H
#define GLOW_CORE_GLOW_CONTEXT_H

// Internal to the toolkit: makes a GLUT window or menu current for the
// lifetime of the guard and restores the one that was current before.

#include <GL/freeglut.h>

namespace glow {

// GLUT's current window and current menu work alike: Get gives the current
// id (0 for none), Set makes an id current.
template <int (*Get)(), void (*Set)(int)>
class Glow_CurrentGuard {
public:
    explicit Glow_CurrentGuard(int id) : saved_(Get()), id_(id) {
        if (saved_ != id_) Set(id_);
    }
    ~Glow_CurrentGuard() {
        if (saved_ != 0 && saved_ != id_) Set(saved_);
    }
    Glow_CurrentGuard(const Glow_CurrentGuard&) = delete;
    Glow_CurrentGuard& operator=(const Glow_CurrentGuard&) = delete;

private:
    int saved_;
    int id_;
};

using Glow_WindowContext = Glow_CurrentGuard<glutGetWindow, glutSetWindow>;
using Glow_MenuContext = Glow_CurrentGuard<glutGetMenu, glutSetMenu>;

}  // namespace glow

#endif
