// Start-up and the main loop; the other services of Glow have files of
// their own (see Glow.h).
#include "glow/core/Glow.h"

#include <GL/freeglut.h>

#include <exception>

#include "glow/core/GlowSubwindow.h"
#include "glow/core/Glow_Callback.h"

namespace glow {

bool Glow::initialized_ = false;

namespace {
// LeaveMainLoop has been asked since MainLoop began.
bool leavingMainLoop = false;
// The first exception a callback threw, until MainLoop rethrows it.
std::exception_ptr callbackFailure;
}  // namespace

void Glow::Init(int* argc, char** argv) {
    WatchDisplay_();
    glutInit(argc, argv);
    ReleaseDisplayCheck_();
    // GLUT would end the process from inside its loop when the window system
    // closes a window, or leave the loop whatever the window; OnGlutClose
    // decides instead.
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
    glutMenuStatusFunc(OnGlutMenuStatus);
    RecordMainThread_();
    initialized_ = true;
}

void Glow::MainLoop() {
    // GLUT's loop would forget a leave asked before it starts.
    if (callbackFailure == nullptr) {
        leavingMainLoop = false;
        glutMainLoop();
    }
    if (callbackFailure != nullptr) {
        std::exception_ptr failure = callbackFailure;
        callbackFailure = nullptr;
        std::rethrow_exception(failure);
    }
}

bool Glow::HasCallbackFailure_() {
    return callbackFailure != nullptr;
}

void Glow::KeepCallbackFailure_(std::exception_ptr failure) noexcept {
    if (callbackFailure == nullptr) callbackFailure = failure;
    LeaveMainLoop();
}

void Glow::LeaveMainLoop() {
    // GLUT's own end of the loop closes every window: then it is gone.
    if (leavingMainLoop) return;
    leavingMainLoop = true;
    glutLeaveMainLoop();
}

void Glow::OnGlutClose() {
    RunCallback_([] {
        // The toolkit's own deletions unregister a window before GLUT
        // destroys it; GLUT destroys a subwindow before its parent.
        GlowSubwindow* w = WindowForId(glutGetWindow());
        if (w == nullptr) return;
        const bool modal = IsOnModalStack_(w);
        w->ForgetGlutWindow_();
        if (!w->IsTopLevel()) return;
        // A dialog goes as its own buttons would make it go; any other
        // window ends the program's loop.
        if (modal) {
            w->Close();
        } else {
            LeaveMainLoop();
        }
    });
}

}  // namespace glow
