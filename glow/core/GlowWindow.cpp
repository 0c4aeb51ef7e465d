#include "glow/core/GlowWindow.h"

#include <GL/freeglut.h>

#include <algorithm>

#include "glow/core/Glow.h"
#include "glow/core/Glow_Context.h"
#include "glow/core/Glow_Text.h"

namespace glow {

GlowWindowParams GlowWindowParams::defaults{true};

GlowWindow::GlowWindow() = default;

GlowWindow::GlowWindow(const GlowWindowParams& params) {
    Init(params);
}

GlowWindow::GlowWindow(const char* title, int x, int y, int width, int height, GlowDisplayMode mode,
                       GlowEventMask eventMask) {
    Init(title, x, y, width, height, mode, eventMask);
}

GlowWindow::~GlowWindow() = default;

void GlowWindow::Init(const GlowWindowParams& params) {
    Create_(params.title, params.iconTitle != nullptr ? params.iconTitle : params.title, true,
            params.x, params.y, params.width, params.height, params.displayMode, params.eventMask,
            params.inactiveEventMask);
}

void GlowWindow::Init(const char* title, int x, int y, int width, int height, GlowDisplayMode mode,
                      GlowEventMask eventMask) {
    // GLUT gives a new window its title as icon title.
    Create_(title, title, false, x, y, width, height, mode, eventMask,
            GlowWindowParams::defaults.inactiveEventMask);
}

void GlowWindow::Create_(const char* title, const char* iconTitle, bool setIconTitle, int x, int y,
                         int width, int height, GlowDisplayMode mode, GlowEventMask eventMask,
                         GlowEventMask inactiveEventMask) {
    GlowComponent::Init(nullptr);
    width_ = std::max(width, 1);
    height_ = std::max(height, 1);
    title_ = Glow_OrEmpty(title);
    iconTitle_ = Glow_OrEmpty(iconTitle);
    glutInitWindowSize(width_, height_);
    glutInitWindowPosition(x, y);
    glutInitDisplayMode(mode.Bits());
    windowId_ = glutCreateWindow(title_.c_str());
    if (setIconTitle) glutSetIconTitle(iconTitle_.c_str());
    FinishInit_(eventMask, inactiveEventMask, mode);
    if (Glow::ModalCount() > 0) {
        // Starts inactive under the modal window, with the callbacks of its
        // active mask until its next activation change.
        SetActiveStateQuietly(stateInactive);
        Glow::ModalTop()->Raise();
    }
}

void GlowWindow::SetTitle(const char* title) {
    title_ = Glow_OrEmpty(title);
    Glow_WindowContext context(windowId_);
    glutSetWindowTitle(title_.c_str());
}

void GlowWindow::SetIconTitle(const char* title) {
    iconTitle_ = Glow_OrEmpty(title);
    Glow_WindowContext context(windowId_);
    glutSetIconTitle(iconTitle_.c_str());
}

void GlowWindow::FullScreen() {
    Glow_WindowContext context(windowId_);
    glutFullScreen();
}

void GlowWindow::Iconify() {
    Glow_WindowContext context(windowId_);
    glutIconifyWindow();
}

}  // namespace glow
