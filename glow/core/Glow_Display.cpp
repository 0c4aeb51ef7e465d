// The part of Glow that talks to Xlib itself, kept apart so that Xlib's
// macros stay out of the rest of the toolkit.
#include <X11/Xlib.h>

#include <cstring>

#include "glow/core/Glow.h"

namespace glow {

namespace {
// GLUT's own option for the display; the last one given counts, as in GLUT.
constexpr const char* kDisplayOption = "-display";
// The checked connection, until GLUT has its own.
Display* checkedDisplay = nullptr;
}  // namespace

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
