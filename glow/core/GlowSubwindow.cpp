#include "glow/core/GlowSubwindow.h"

#include <GL/freeglut.h>

#include <algorithm>

#include "glow/core/Glow.h"
#include "glow/core/GlowMenu.h"
#include "glow/core/Glow_Assert.h"
#include "glow/core/Glow_Context.h"

namespace glow {

GlowSubwindowParams GlowSubwindowParams::defaults{true};

namespace {

// A zero or negative size is an X error that ends the process.
int AtLeastOne(int size) {
    return std::max(size, 1);
}

int ButtonIndex(int button) {
    return button == 0 ? 0 : button == 1 ? 1 : 2;
}

}  // namespace

GlowSubwindow::GlowSubwindow() = default;

GlowSubwindow::GlowSubwindow(GlowComponent* parent, const GlowSubwindowParams& params) {
    Init(parent, params);
}

GlowSubwindow::GlowSubwindow(GlowComponent* parent, int x, int y, int width, int height,
                             GlowDisplayMode mode, GlowEventMask eventMask) {
    Init(parent, x, y, width, height, mode, eventMask);
}

GlowSubwindow::~GlowSubwindow() {
    // Child subwindows give up their GLUT windows first.
    DeleteChildren();
    const int id = windowId_;
    ForgetGlutWindow_();
    // Not when the window system has closed it already.
    if (id != 0) {
        ++Glow::windowDestructionDepth_;
        glutDestroyWindow(id);
        --Glow::windowDestructionDepth_;
    }
}

void GlowSubwindow::ForgetGlutWindow_() {
    Glow::ForgetDeferredWindow_(this);
    if (windowId_ == 0) return;
    Glow::UnregisterWindow(windowId_);
    windowId_ = 0;
}

void GlowSubwindow::Init(GlowComponent* parent, const GlowSubwindowParams& params) {
    glow_assert(parent != nullptr);
    GlowComponent::Init(parent);
    glutInitDisplayMode(params.displayMode.Bits());
    GlowSubwindow* enclosing = parent->EnclosingSubwindow();
    glow_assert(enclosing != nullptr);
    width_ = AtLeastOne(params.width == -1 ? enclosing->Width() - params.x : params.width);
    height_ = AtLeastOne(params.height == -1 ? enclosing->Height() - params.y : params.height);
    windowId_ = glutCreateSubWindow(enclosing->WindowId(), params.x, params.y, width_, height_);
    FinishInit_(params.eventMask, params.inactiveEventMask, params.displayMode);
}

void GlowSubwindow::Init(GlowComponent* parent, int x, int y, int width, int height,
                         GlowDisplayMode mode, GlowEventMask eventMask) {
    GlowSubwindowParams params;
    params.x = x;
    params.y = y;
    params.width = width;
    params.height = height;
    params.displayMode = mode;
    params.eventMask = eventMask;
    params.inactiveEventMask = GlowSubwindowParams::defaults.inactiveEventMask;
    Init(parent, params);
}

void GlowSubwindow::FinishInit_(GlowEventMask eventMask, GlowEventMask inactiveEventMask,
                                GlowDisplayMode mode) {
    eventMask_ = eventMask;
    inactiveEventMask_ = inactiveEventMask;
    displayMode_ = mode;
    for (int b = 0; b < 3; ++b) {
        buttonMenus_[b] = nullptr;
        attachedMenuIds_[b] = 0;
    }
    // The active mask whatever the state: an activation change installs the
    // callbacks of the state later.
    InstallGlutCallbacks(eventMask_);
    glutCloseFunc(Glow::OnGlutClose);
    cursor_ = GLUT_CURSOR_INHERIT;
    Glow::RegisterWindow(this, windowId_);
    isDoubleBuffered_ = mode.Has(GlowDisplayMode::doubleBuffer);
    refreshEnabled_ = true;
    autoSwapBuffers_ = true;
    ReadGlobalPosition_();
}

GlowMenu* GlowSubwindow::ButtonMenu(int button) const {
    return buttonMenus_[ButtonIndex(button)];
}

int GlowSubwindow::GlobalX() {
    if (positionStamp_ != Glow::EventCounter()) ReadGlobalPosition_();
    return globalX_;
}

void GlowSubwindow::ReadGlobalPosition_() {
    // freeglut gives a subwindow's position within its parent.
    StoreGlobalPosition_(GetGlutState(GLUT_WINDOW_X), GetGlutState(GLUT_WINDOW_Y));
}

void GlowSubwindow::StoreGlobalPosition_(int x, int y) {
    positionStamp_ = Glow::EventCounter();
    globalX_ = x;
    globalY_ = y;
    if (GlowSubwindow* parent = ParentSubwindow()) {
        globalX_ += parent->GlobalX();
        globalY_ += parent->GlobalY();
    }
}

int GlowSubwindow::GlobalY() {
    GlobalX();
    return globalY_;
}

void GlowSubwindow::Move(int x, int y) {
    StoreGlobalPosition_(x, y);
    Glow_WindowContext context(windowId_);
    glutPositionWindow(x, y);
}

void GlowSubwindow::Reshape(int width, int height) {
    width_ = AtLeastOne(width);
    height_ = AtLeastOne(height);
    Glow_WindowContext context(windowId_);
    glutReshapeWindow(width_, height_);
}

void GlowSubwindow::Raise() {
    Glow_WindowContext context(windowId_);
    glutPopWindow();
}

void GlowSubwindow::Lower() {
    Glow_WindowContext context(windowId_);
    glutPushWindow();
}

void GlowSubwindow::Show() {
    Glow_WindowContext context(windowId_);
    glutShowWindow();
}

void GlowSubwindow::Hide() {
    Glow_WindowContext context(windowId_);
    glutHideWindow();
}

void GlowSubwindow::SetCursor(int cursor) {
    cursor_ = cursor;
    Glow_WindowContext context(windowId_);
    glutSetCursor(cursor);
}

void GlowSubwindow::SetButtonMenu(int button, GlowMenu* menu) {
    buttonMenus_[ButtonIndex(button)] = menu;
    Glow_WindowContext context(windowId_);
    SyncButtonMenus_(MaskInForce_());
}

void GlowSubwindow::SetEventMask(GlowEventMask mask) {
    eventMask_ = mask;
    if (IsActive()) {
        Glow_WindowContext context(windowId_);
        InstallGlutCallbacks(mask);
    }
}

void GlowSubwindow::SetInactiveEventMask(GlowEventMask mask) {
    inactiveEventMask_ = mask;
    if (!IsActive()) {
        Glow_WindowContext context(windowId_);
        InstallGlutCallbacks(mask);
    }
}

int GlowSubwindow::GetGlutState(int what) {
    Glow_WindowContext context(windowId_);
    return glutGet(static_cast<GLenum>(what));
}

void GlowSubwindow::Refresh() {
    if (!refreshEnabled_) return;
    if (Glow::OnMainThread_()) {
        Glow::PostRedisplay(windowId_);
    } else {
        // freeglut's redisplay call is not thread-safe and would not wake
        // the main loop anyway: the main loop's poll posts it.
        refreshRequested_.store(true, std::memory_order_release);
        Glow::NoteThreadRefresh_();
    }
}

void GlowSubwindow::FlushAndSwap() {
    glFlush();
    if (isDoubleBuffered_ && autoSwapBuffers_) glutSwapBuffers();
}

void GlowSubwindow::ApplyActiveState(bool active) {
    if (windowId_ != 0) {
        Glow_WindowContext context(windowId_);
        glutSetCursor(active ? cursor_ : GLUT_CURSOR_INHERIT);
        InstallGlutCallbacks(active ? eventMask_ : inactiveEventMask_);
    }
    Refresh();
}

void GlowSubwindow::InstallGlutCallbacks(GlowEventMask mask) {
    glutDisplayFunc(Glow::OnGlutDisplay);
    glutReshapeFunc(Glow::OnGlutReshape);
    bool keys = mask.Has(GlowEventMask::keyboardEvents);
    glutKeyboardFunc(keys ? Glow::OnGlutKeyboard : nullptr);
    glutSpecialFunc(keys ? Glow::OnGlutSpecial : nullptr);
    glutMouseFunc(mask.Has(GlowEventMask::mouseEvents) ? Glow::OnGlutMouse : nullptr);
    glutMotionFunc(mask.Has(GlowEventMask::dragEvents) ? Glow::OnGlutMotion : nullptr);
    glutPassiveMotionFunc(mask.Has(GlowEventMask::motionEvents) ? Glow::OnGlutPassiveMotion
                                                                : nullptr);
    glutVisibilityFunc(mask.Has(GlowEventMask::visibilityEvents) ? Glow::OnGlutVisibility
                                                                 : nullptr);
    glutEntryFunc(mask.Has(GlowEventMask::focusEvents) ? Glow::OnGlutEntry : nullptr);
    SyncButtonMenus_(mask);
}

void GlowSubwindow::SyncButtonMenus_(GlowEventMask mask) {
    if (Glow::MenuChangesDeferred_()) {
        Glow::DeferButtonMenuSync_(this);
        return;
    }
    bool attach = mask.Has(GlowEventMask::menuEvents);
    for (int b = 0; b < 3; ++b) {
        int wanted = attach && buttonMenus_[b] != nullptr ? buttonMenus_[b]->MenuId() : 0;
        if (wanted == attachedMenuIds_[b]) continue;
        if (wanted != 0) {
            Glow_MenuContext menu(wanted);
            glutAttachMenu(b);
        } else {
            // freeglut ignores a detach without a current menu.
            Glow_MenuContext menu(attachedMenuIds_[b]);
            glutDetachMenu(b);
        }
        attachedMenuIds_[b] = wanted;
    }
}

bool GlowSubwindow::OnBeginPaint() {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return true;
}

void GlowSubwindow::OnReshape(int width, int height) {
    glViewport(0, 0, width, height);
}

}  // namespace glow
