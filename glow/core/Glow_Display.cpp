// The part of Glow that talks to Xlib itself, kept apart so that Xlib's
// macros stay out of the rest of the toolkit.
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "glow/core/Glow.h"

// XESetWireToEvent, Xlib's hook for the events it reads; its header's min
// and max macros would hide the standard library's.
#include <X11/Xlibint.h>
#undef min
#undef max

namespace glow {

namespace {
// GLUT's own option for the display; the last one given counts, as in GLUT.
constexpr const char* kDisplayOption = "-display";
// The checked connection, until GLUT has its own.
Display* checkedDisplay = nullptr;
// Ends the process once the window system has failed it.
void (*displayLostHandler)() = nullptr;

// Called from inside Xlib, in the middle of a GLUT or GL call: nothing of
// either may run again, and exit would run GLUT's exit handler.
[[noreturn]] void EndWithLostDisplay() {
    if (displayLostHandler != nullptr) displayLostHandler();
    std::_Exit(EXIT_FAILURE);
}

// A request of the program failed: in a correct program, because the
// window it names was destroyed by another program, or the server could
// not carry it out.
int OnXError(Display*, XErrorEvent*) {
    EndWithLostDisplay();
}

// The connection is gone: Xlib ends the process should this return.
int OnXIOError(Display*) {
    EndWithLostDisplay();
}

// GLUT's connection once it is watched; Xlib's own reading of a
// DestroyNotify event off it, and whether one was read since the toolkit
// last asked.
Display* watchedDisplay = nullptr;
Bool (*readDestroyNotify)(Display*, XEvent*, xEvent*) = nullptr;
std::atomic<bool> windowDestroyed{false};

Bool NoteDestroyNotify(Display* display, XEvent* event, xEvent* wire) {
    windowDestroyed.store(true, std::memory_order_relaxed);
    return readDestroyNotify(display, event, wire);
}

}  // namespace

void Glow::WatchWindowDestruction_() {
    Display* display = glXGetCurrentDisplay();
    if (display == nullptr || display == watchedDisplay) return;
    watchedDisplay = display;
    // Every connection reads its core events with the same function of
    // Xlib's; one watched before already has this hook.
    const auto previous = XESetWireToEvent(display, DestroyNotify, NoteDestroyNotify);
    if (previous != NoteDestroyNotify) readDestroyNotify = previous;
}

bool Glow::WindowDestroyed_() {
    return windowDestroyed.exchange(false, std::memory_order_relaxed);
}

void Glow::SetDisplayLostHandler(void (*handler)()) {
    displayLostHandler = handler;
}

void Glow::WatchDisplay_() {
    XSetErrorHandler(OnXError);
    XSetIOErrorHandler(OnXIOError);
}

bool Glow::CanOpenDisplay(int argc, char** argv, std::string* displayName) {
    const char* requested = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], kDisplayOption) != 0) continue;
        // GLUT refuses the option without a value: nothing to open.
        if (i + 1 >= argc) {
            displayName->clear();
            return false;
        }
        requested = argv[++i];
    }
    *displayName = XDisplayName(requested);
    Display* display = XOpenDisplay(requested);
    if (display == nullptr) return false;
    ReleaseDisplayCheck_();
    checkedDisplay = display;
    return true;
}

void Glow::ReleaseDisplayCheck_() {
    if (checkedDisplay == nullptr) return;
    XCloseDisplay(checkedDisplay);
    checkedDisplay = nullptr;
}

}  // namespace glow
