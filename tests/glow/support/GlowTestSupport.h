#ifndef TESTS_GLOW_SUPPORT_GLOWTESTSUPPORT_H
#define TESTS_GLOW_SUPPORT_GLOWTESTSUPPORT_H

// Helpers for window tests under Xvfb: one GLUT initialisation per process,
// event pumping, the toolkit's GLUT callbacks called for a given window,
// back-buffer pixels, PNG screenshots and real X input through xdotool.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace glow {
class GlowSubwindow;
}

namespace glowtest {

// Glow::Init once per process (later calls do nothing).
void InitGlut();

// Rounds of GLUT's main loop for about msecs milliseconds, sleeping a little
// between rounds so that the X server and GLUT timers get their turn. A round
// is what glutMainLoop does each time: glutMainLoopEvent, then the idle
// callback installed with glutIdleFunc, if one is (freeglut's
// glutMainLoopEvent alone never calls it, and glutMainLoop ends GLUT when it
// returns).
void Pump(int msecs);
// Pumps until cond() holds or timeoutMsecs pass; returns cond().
bool PumpUntil(const std::function<bool()>& cond, int timeoutMsecs = 60000);
// The idle callback last given to glutIdleFunc in this process (null when it
// was removed or never set): what GLUT's main loop calls between events.
using IdleCallback = void (*)();
IdleCallback GlutIdleCallback();

// The X window behind a toolkit window, and whether the X server shows it.
unsigned long XWindowOf(glow::GlowSubwindow* window);
bool IsMapped(glow::GlowSubwindow* window);
// Pumps until the window is mapped (and its first events are handled).
bool WaitUntilMapped(glow::GlowSubwindow* window, int timeoutMsecs = 60000);

// The toolkit's GLUT callbacks, called as GLUT would for this window.
void SendDisplay(glow::GlowSubwindow* window);
void SendReshape(glow::GlowSubwindow* window, int width, int height);
void SendKey(glow::GlowSubwindow* window, unsigned char key, int x = 0, int y = 0);
void SendSpecial(glow::GlowSubwindow* window, int glutKey, int x = 0, int y = 0);
// state: GLUT_DOWN (0) or GLUT_UP (1).
void SendMouse(glow::GlowSubwindow* window, int button, int state, int x, int y);
void SendMotion(glow::GlowSubwindow* window, int x, int y);
void SendPassiveMotion(glow::GlowSubwindow* window, int x, int y);
void SendVisibility(glow::GlowSubwindow* window, int state);
void SendEntry(glow::GlowSubwindow* window, int state);

// RGBA pixels of the current window's back buffer, rows bottom first.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
    // (x, y) from the bottom left, as OpenGL counts.
    const std::uint8_t* At(int x, int y) const { return &rgba[4 * (y * width + x)]; }
};
Pixels ReadBackBuffer(int x, int y, int width, int height);
// Paints the window into its back buffer and reads the whole of it; the
// window's buffers are no longer swapped after its paints.
Pixels PaintAndRead(glow::GlowSubwindow* window);
// Writes pixels as an RGB PNG, top row first.
bool WritePng(const std::string& path, const Pixels& pixels);
// Writes pixels as <name>.png in the build tree's picture folder (made when
// missing), for looking at after a run; true when it was written.
bool SavePicture(const std::string& name, const Pixels& pixels);

// Pixels of the X screen (what the X server shows, menus included), as
// ReadBackBuffer gives them: rows bottom first. x, y from the top left.
Pixels ReadScreen(int x, int y, int width, int height);

// Runs xdotool with the arguments; true when it succeeded.
bool Xdotool(const std::string& args);

// What a window manager's close button does: a WM_DELETE_WINDOW message of
// the WM_PROTOCOLS kind to the X window, on the default display or the one
// named. True when it was sent.
bool RequestClose(unsigned long xWindow, const char* displayName = nullptr);

}  // namespace glowtest

#endif
