#ifndef GLOW_CORE_GLOWSUBWINDOW_H
#define GLOW_CORE_GLOWSUBWINDOW_H

#include <atomic>

#include "glow/core/GlowComponent.h"
#include "glow/core/GlowEventMask.h"
#include "glow/core/GlowMenuMessage.h"

namespace glow {

class GlowMenu;

// Parameters of a subwindow; the default constructor copies `defaults`.
struct GlowSubwindowParams {
    GlowSubwindowParams() : GlowSubwindowParams(defaults) {}
    GlowSubwindowParams(const GlowSubwindowParams&) = default;
    GlowSubwindowParams& operator=(const GlowSubwindowParams&) = default;

    int width;   // -1: the enclosing subwindow's width less x
    int height;  // -1: the enclosing subwindow's height less y
    int x;
    int y;
    GlowEventMask eventMask;
    GlowEventMask inactiveEventMask;
    GlowDisplayMode displayMode;

    static GlowSubwindowParams defaults;

protected:
    // Builds the static defaults; constexpr, so they are ready before any
    // start-up code of another file runs.
    constexpr explicit GlowSubwindowParams(bool)
        : width(-1),
          height(-1),
          x(0),
          y(0),
          eventMask(GlowEventMask::noEvents),
          inactiveEventMask(GlowEventMask::noEvents),
          displayMode(GlowDisplayMode::rgbBuffer | GlowDisplayMode::doubleBuffer) {}
};

// One GLUT window (a subwindow of another window; GlowWindow is the
// top-level kind) with a virtual handler for each kind of GLUT event.
class GlowSubwindow : public GlowComponent {
public:
    GlowSubwindow();
    GlowSubwindow(GlowComponent* parent, const GlowSubwindowParams& params);
    GlowSubwindow(GlowComponent* parent, int x, int y, int width, int height, GlowDisplayMode mode,
                  GlowEventMask eventMask);
    // Deletes the children, unregisters and destroys the GLUT window.
    ~GlowSubwindow() override;

    GlowSubwindow* EnclosingSubwindow() override { return this; }

    void Init(GlowComponent* parent, const GlowSubwindowParams& params);
    void Init(GlowComponent* parent, int x, int y, int width, int height, GlowDisplayMode mode,
              GlowEventMask eventMask);

    int WindowId() const { return windowId_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int GlobalX();
    int GlobalY();
    GlowEventMask EventMask() const { return eventMask_; }
    GlowEventMask InactiveEventMask() const { return inactiveEventMask_; }
    GlowDisplayMode DisplayMode() const { return displayMode_; }
    int Cursor() const { return cursor_; }
    bool IsDoubleBuffered() const { return isDoubleBuffered_; }
    GlowMenu* ButtonMenu(int button) const;

    void Move(int x, int y);
    void Reshape(int width, int height);
    void Raise();
    void Lower();
    void Show();
    void Hide();
    void SetCursor(int cursor);
    // Stores the menu of button 0-2 and attaches it while the mask in force
    // asks for button menus; null detaches.
    void SetButtonMenu(int button, GlowMenu* menu);
    void SetEventMask(GlowEventMask mask);
    void SetInactiveEventMask(GlowEventMask mask);
    int GetGlutState(int what);

    // Asks for a redisplay. Safe from any thread: off the main-loop thread
    // it only raises a flag that the main loop turns into a redisplay.
    void Refresh();
    bool IsRefreshEnabled() const { return refreshEnabled_; }
    void SetRefreshEnabled(bool enable) { refreshEnabled_ = enable; }
    bool IsAutoSwapBuffers() const { return autoSwapBuffers_; }
    void SetAutoSwapBuffers(bool enable) { autoSwapBuffers_ = enable; }

    // glFlush, then the swap of a double-buffered window.
    void FlushAndSwap();
    // Cursor and callbacks of the state; called on activation changes.
    void ApplyActiveState(bool active);
    // Callbacks of the mask for the current GLUT window.
    void InstallGlutCallbacks(GlowEventMask mask);

    // Event handlers, called by Glow's dispatch. Buttons 0 left, 1 middle,
    // 2 right; coordinates in pixels from the top left; modifiers as
    // glutGetModifiers; a key is 0-255 or 256 + a GLUT special-key code.
    virtual void OnReshape(int width, int height);
    virtual void OnMouseEnter() {}
    virtual void OnMouseExit() {}
    virtual void OnMouseDown(int /*button*/, int /*x*/, int /*y*/, int /*modifiers*/) {}
    virtual void OnMouseUp(int /*button*/, int /*x*/, int /*y*/, int /*modifiers*/) {}
    virtual void OnMenuInUse(int /*x*/, int /*y*/) {}
    virtual void OnMenuNotInUse() {}
    virtual void OnMouseMotion(int /*x*/, int /*y*/) {}
    virtual void OnMouseDrag(int /*x*/, int /*y*/) {}
    virtual void OnKeyboard(int /*key*/, int /*x*/, int /*y*/, int /*modifiers*/) {}
    virtual void OnVisible() {}
    virtual void OnInvisible() {}
    // Selections of a menu in delivery mode 2 used over this window.
    virtual void OnMenuSelection(const GlowMenuMessage& /*message*/) {}

protected:
    // Clears colour and depth to black, alpha 0.
    bool OnBeginPaint() override;

    // Creation of the GLUT window once its size and mode are known; the
    // top-level kind overrides the whole of Init instead.
    void FinishInit_(GlowEventMask eventMask, GlowEventMask inactiveEventMask,
                     GlowDisplayMode mode);

private:
    friend class Glow;
    friend class GlowMenu;
    friend class GlowWindow;

    // Brings GLUT's attached button menus in line with the mask, on the
    // current GLUT window; deferred while a menu is open.
    void SyncButtonMenus_(GlowEventMask mask);
    void ReadGlobalPosition_();
    // Caches the screen position of a window at (x, y) within its parent
    // (on the screen, for a top-level window) for the current event.
    void StoreGlobalPosition_(int x, int y);
    GlowEventMask MaskInForce_() const { return IsActive() ? eventMask_ : inactiveEventMask_; }
    // Unregisters the GLUT window, which the window is left without.
    void ForgetGlutWindow_();

    int width_ = 0;
    int height_ = 0;
    int windowId_ = 0;
    GlowEventMask eventMask_;
    GlowEventMask inactiveEventMask_;
    GlowDisplayMode displayMode_;
    int cursor_ = 100;
    int positionStamp_ = 0;
    int globalX_ = 0;
    int globalY_ = 0;
    GlowMenu* buttonMenus_[3] = {nullptr, nullptr, nullptr};
    // GLUT menu ids GLUT has attached to each button, 0 for none.
    int attachedMenuIds_[3] = {0, 0, 0};
    bool isDoubleBuffered_ = false;
    bool refreshEnabled_ = true;
    bool autoSwapBuffers_ = true;
    // Set by Refresh from another thread; read by the main loop.
    std::atomic<bool> refreshRequested_{false};
};

}  // namespace glow

#endif
