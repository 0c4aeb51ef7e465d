// The menu callbacks: GLUT's menu status and a menu selection, and where
// the last pop-up menu was used.
#include <GL/freeglut.h>

#include "glow/core/Glow.h"
#include "glow/core/GlowMenu.h"
#include "glow/core/GlowSubwindow.h"
#include "glow/core/Glow_Callback.h"

namespace glow {

// The registry clears menuWindow_ when that window goes (Glow_Registry.cpp).
GlowSubwindow* Glow::menuWindow_ = nullptr;
int Glow::menuX_ = -1;
int Glow::menuY_ = -1;
bool Glow::menuInUse_ = false;
int Glow::windowDestructionDepth_ = 0;

namespace {
// Deferred menu changes wait for the selection that follows a menu's close.
bool holdMenuFlush = false;
}  // namespace

void Glow::OnGlutMenuStatus(int status, int x, int y) {
    RunCallback_([=] {
        ++eventCounter_;
        if (status == GLUT_MENU_IN_USE) {
            menuInUse_ = true;
            menuWindow_ = WindowForId(glutGetWindow());
            menuX_ = x;
            menuY_ = y;
            if (menuWindow_ != nullptr) menuWindow_->OnMenuInUse(x, y);
        } else if (status == GLUT_MENU_NOT_IN_USE) {
            menuInUse_ = false;
            // During the destruction of a toolkit window: the window is no
            // longer known, and the event that destroys it ends it.
            if (windowDestructionDepth_ > 0) return;
            // freeglut reports the selection after this, from the entry it
            // highlighted: rewriting the menu now would change the code chosen.
            holdMenuFlush = true;
            if (menuWindow_ != nullptr) menuWindow_->OnMenuNotInUse();
            EndEvent();
            holdMenuFlush = false;
            return;
        }
        EndEvent();
    });
}

void Glow::OnGlutMenu(int value) {
    RunCallback_([=] {
        ++eventCounter_;
        GlowMenu* m = MenuForId(glutGetMenu());
        if (m == nullptr) return;
        m->HandleSelection(value, menuWindow_, menuX_, menuY_);
        EndEvent();
    });
}

bool Glow::MenuChangesDeferred_() {
    return menuInUse_ || holdMenuFlush;
}

}  // namespace glow
