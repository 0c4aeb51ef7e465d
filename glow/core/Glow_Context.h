#ifndef GLOW_CORE_GLOW_CONTEXT_H
#define GLOW_CORE_GLOW_CONTEXT_H

// Internal to the toolkit: makes a GLUT window or menu current for the
// lifetime of the guard and restores the one that was current before.

#include <GL/freeglut.h>

namespace glow {

class Glow_WindowContext {
public:
    explicit Glow_WindowContext(int windowId) : saved_(glutGetWindow()), id_(windowId) {
        if (saved_ != id_) glutSetWindow(id_);
    }
    ~Glow_WindowContext() {
        if (saved_ != 0 && saved_ != id_) glutSetWindow(saved_);
    }
    Glow_WindowContext(const Glow_WindowContext&) = delete;
    Glow_WindowContext& operator=(const Glow_WindowContext&) = delete;

private:
    int saved_;
    int id_;
};

class Glow_MenuContext {
public:
    explicit Glow_MenuContext(int menuId) : saved_(glutGetMenu()), id_(menuId) {
        if (saved_ != id_) glutSetMenu(id_);
    }
    ~Glow_MenuContext() {
        if (saved_ != 0 && saved_ != id_) glutSetMenu(saved_);
    }
    Glow_MenuContext(const Glow_MenuContext&) = delete;
    Glow_MenuContext& operator=(const Glow_MenuContext&) = delete;

private:
    int saved_;
    int id_;
};

}  // namespace glow

#endif
