// Questions to GLUT about the display, and redisplay requests.
#include <GL/freeglut.h>

#include "glow/core/Glow.h"

namespace glow {

bool Glow::HasExtension(const char* name) {
    if (name == nullptr) return false;
    if (glutGetWindow() == 0) {
        if (Windows().empty()) return false;
        glutSetWindow(Windows().begin()->first);
    }
    return glutExtensionSupported(name) != 0;
}

bool Glow::IsDisplayModePossible(GlowDisplayMode mode) {
    int saved = glutGet(GLUT_INIT_DISPLAY_MODE);
    glutInitDisplayMode(mode.Bits());
    bool possible = glutGet(GLUT_DISPLAY_MODE_POSSIBLE) != 0;
    glutInitDisplayMode(static_cast<unsigned int>(saved));
    return possible;
}

void Glow::PostRedisplay(int windowId) {
    // GLUT ends the process on an id it does not know.
    if (WindowForId(windowId) != nullptr) glutPostWindowRedisplay(windowId);
}

}  // namespace glow
