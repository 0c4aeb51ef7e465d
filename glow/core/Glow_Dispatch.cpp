// The window callbacks: each GLUT window event goes to the object of its
// window, keys and mouse buttons through the filters first, and ends with
// the end-of-event pass. Like every callback of the toolkit, each runs
// through RunCallback_, which keeps what a handler throws out of GLUT.
#include <GL/freeglut.h>

#include "glow/core/Glow.h"
#include "glow/core/GlowSubwindow.h"
#include "glow/core/Glow_Callback.h"

namespace glow {

// Raised by every callback that is an event: the window callbacks here, the
// menu callbacks (Glow_MenuEvents.cpp), idle ticks (Glow_Idle.cpp) and
// timers (Glow_Timers.cpp).
int Glow::eventCounter_ = 0;

GlowSubwindow* Glow::BeginWindowEvent_() {
    ++eventCounter_;
    return WindowForId(glutGetWindow());
}

void Glow::OnGlutDisplay() {
    RunCallback_([] {
        GlowSubwindow* w = BeginWindowEvent_();
        if (w == nullptr) return;
        // Painting may delete the window: it is looked up again before the swap.
        const int id = w->WindowId();
        w->PaintTree();
        if (WindowForId(id) == w) w->FlushAndSwap();
        EndEvent();
    });
}

void Glow::OnGlutReshape(int width, int height) {
    RunCallback_([=] {
        GlowSubwindow* w = BeginWindowEvent_();
        if (w == nullptr) return;
        w->width_ = width;
        w->height_ = height;
        w->OnReshape(width, height);
        EndEvent();
    });
}

void Glow::DispatchKey_(GlowSubwindow* window, int key, int x, int y) {
    GlowKeyboardData data;
    data.subwindow = window;
    data.key = key;
    data.x = x;
    data.y = y;
    data.modifiers = glutGetModifiers();
    FilterKeyboardEvent_(data);
    if (data.continueDelivery && data.subwindow != nullptr)
        data.subwindow->OnKeyboard(data.key, data.x, data.y, data.modifiers);
}

void Glow::OnGlutKeyboard(unsigned char key, int x, int y) {
    RunCallback_([=] {
        GlowSubwindow* w = BeginWindowEvent_();
        if (w == nullptr) return;
        DispatchKey_(w, key, x, y);
        EndEvent();
    });
}

void Glow::OnGlutSpecial(int key, int x, int y) {
    RunCallback_([=] {
        GlowSubwindow* w = BeginWindowEvent_();
        if (w == nullptr) return;
        DispatchKey_(w, key + GlowKeyboardData::specialKeyOffset, x, y);
        EndEvent();
    });
}

void Glow::OnGlutMouse(int button, int state, int x, int y) {
    RunCallback_([=] {
        GlowSubwindow* w = BeginWindowEvent_();
        if (w == nullptr) return;
        GlowMouseData data;
        data.subwindow = w;
        data.kind = state == GLUT_DOWN ? GlowMouseData::mouseDown : GlowMouseData::mouseUp;
        data.button = button;
        data.x = x;
        data.y = y;
        data.modifiers = glutGetModifiers();
        FilterMouseEvent_(data);
        if (data.continueDelivery && data.subwindow != nullptr) {
            if (data.kind == GlowMouseData::mouseDown) {
                data.subwindow->OnMouseDown(data.button, data.x, data.y, data.modifiers);
            } else if (data.kind == GlowMouseData::mouseUp) {
                data.subwindow->OnMouseUp(data.button, data.x, data.y, data.modifiers);
            }
        }
        EndEvent();
    });
}

void Glow::OnGlutMotion(int x, int y) {
    RunCallback_([=] {
        GlowSubwindow* w = BeginWindowEvent_();
        if (w == nullptr) return;
        w->OnMouseDrag(x, y);
        EndEvent();
    });
}

void Glow::OnGlutPassiveMotion(int x, int y) {
    RunCallback_([=] {
        GlowSubwindow* w = BeginWindowEvent_();
        if (w == nullptr) return;
        w->OnMouseMotion(x, y);
        EndEvent();
    });
}

void Glow::OnGlutVisibility(int state) {
    RunCallback_([=] {
        GlowSubwindow* w = BeginWindowEvent_();
        if (w == nullptr) return;
        if (state == GLUT_VISIBLE) {
            w->OnVisible();
        } else if (state == GLUT_NOT_VISIBLE) {
            w->OnInvisible();
        }
        EndEvent();
    });
}

void Glow::OnGlutEntry(int state) {
    RunCallback_([=] {
        GlowSubwindow* w = BeginWindowEvent_();
        if (w == nullptr) return;
        if (state == GLUT_ENTERED) {
            w->OnMouseEnter();
        } else if (state == GLUT_LEFT) {
            w->OnMouseExit();
        }
        EndEvent();
    });
}

}  // namespace glow
