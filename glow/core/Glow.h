#ifndef GLOW_CORE_GLOW_H
#define GLOW_CORE_GLOW_H

#include <exception>
#include <map>
#include <string>

#include "glow/core/GlowDisplayMode.h"
#include "glow/core/GlowIdleMessage.h"
#include "glow/core/GlowKeyboardData.h"
#include "glow/core/GlowMouseData.h"
#include "glow/core/GlowTimerMessage.h"
#include "glow/core/TSender.h"

namespace glow {

class GlowComponent;
class GlowSubwindow;
class GlowWindow;
class GlowMenu;

// A plain function as idle receiver (Glow::SetIdleFunction).
class Glow_IdleFuncReceiver : public TReceiver<const GlowIdleMessage&> {
public:
    explicit Glow_IdleFuncReceiver(void (*func)()) : function(func) {}
    void OnMessage(const GlowIdleMessage&) override {
        if (function != nullptr) function();
    }
    void (*function)();
};

// The toolkit's static services over GLUT: initialisation and main loop,
// registries of windows and menus, dispatch of GLUT callbacks to objects,
// event filters, end-of-event processing, the modal stack, idle and timer
// services. Everything runs on the main-loop thread, except
// GlowSubwindow::Refresh.
//
// Each service has a source file of its own in glow/core, with its state:
//   Glow.cpp                start-up, main loop, the window system's close,
//                           what callbacks throw (with Glow_Callback.h)
//   Glow_Display.cpp        the display check before start-up, and a
//                           display lost after it (Xlib)
//   Glow_Registry.cpp       the window and menu registries
//   Glow_Modal.cpp          the modal stack
//   Glow_Queries.cpp        extensions, display modes, redisplay
//   Glow_ThreadRefresh.cpp  refresh requests from other threads, and the
//                           look for windows that another program destroyed
//   Glow_Filters.cpp        the mouse and keyboard filters
//   Glow_EndEvent.cpp       the pending activations and deletions, end of event
//   Glow_Dispatch.cpp       the window callbacks and the event counter
//   Glow_MenuEvents.cpp     the menu callbacks and where a menu was used
//   Glow_MenuDeferral.cpp   GLUT menu changes kept while a menu is open
//   Glow_Idle.cpp           the idle service
//   Glow_Timers.cpp         the timers
// A service's state lives in its file; containers are built at first use, so
// that other files' start-up code may already use the services. The few
// static members below are the state that inline accessors read.
class Glow {
public:
    Glow() = delete;

    // Whether GLUT's initialisation will reach its X display: the one that
    // a "-display" argument names, else DISPLAY's. *displayName receives
    // that name ("" when none is given). Init ends the process when the
    // display cannot be opened; this asks first, so that the caller can
    // say so in its own words. The connection it opens stays open until
    // Init has made GLUT's own: an X server that resets when its last
    // client leaves (as a fresh Xvfb does) would otherwise be resetting
    // just when GLUT connects, and GLUT would fail.
    static bool CanOpenDisplay(int argc, char** argv, std::string* displayName);
    // What ends the process once the window system has failed it: another
    // program destroyed one of its windows (not by the close button, which
    // MainLoop handles), or the connection to the X server broke. Xlib
    // reports either from inside the GLUT or GL call that met it (after a
    // window's destruction, the toolkit's next refresh poll makes a request
    // that names each of its windows), and neither library may be used
    // again, nor may GLUT's exit handlers run: they would wait for ever for
    // the GL driver's lock, which that call holds. The handler is called
    // there, on the main-loop thread, and must end the process without exit
    // handlers (std::_Exit); without one, or should it return, the process
    // ends so with exit code 1. Every X error counts, on any connection of
    // the process: Xlib's own handler ends the process on any. Set it
    // before Init, which installs the Xlib handlers.
    static void SetDisplayLostHandler(void (*handler)());
    // glutInit with the command line (GLUT may take its options out of it)
    // and the menu-status callback. Call once, before the first window.
    static void Init(int* argc, char** argv);
    static bool IsInitialized() { return initialized_; }
    // glutMainLoop; returns after LeaveMainLoop, or once the window system
    // has closed a top-level window that is not modal (its close button).
    // GLUT destroys a closed window at once; the toolkit forgets it (and its
    // subwindows), closes it when it is modal and otherwise leaves the loop
    // as LeaveMainLoop does.
    //
    // Nothing that a handler throws (std::bad_alloc, std::system_error) may
    // pass through GLUT's C frames: C code is not made to be unwound, and
    // where it can be at all, GLUT is left in the middle of its work. Every
    // GLUT callback of the toolkit catches it, keeps the first one, and
    // leaves the loop. From then on the callbacks that GLUT still makes on its way
    // out (the rest of the round's events, the idle tick, the closing of
    // every window) run no handler: the state the exception left may be
    // half-changed. Once glutMainLoop has returned, MainLoop rethrows the
    // kept exception on this thread. One kept before MainLoop (callbacks
    // pumped by hand) is rethrown at once, without entering GLUT's loop.
    static void MainLoop();
    // Makes MainLoop return once the current event is done. GLUT closes
    // every window and ends itself on the way out: nothing of the toolkit
    // may be used afterwards.
    static void LeaveMainLoop();

    // Registries.
    static void RegisterWindow(GlowSubwindow* window, int windowId);
    static void UnregisterWindow(int windowId);
    static GlowSubwindow* WindowForId(int windowId);
    static void RegisterMenu(GlowMenu* menu, int menuId);
    static void UnregisterMenu(int menuId);
    static GlowMenu* MenuForId(int menuId);
    static const std::map<int, GlowSubwindow*>& Windows();
    static const std::map<int, GlowMenu*>& Menus();

    // Modal windows. Pushing a window that is already on the stack is refused.
    static void PushModal(GlowWindow* window);
    static void PopModal();
    static int ModalCount();
    static GlowWindow* ModalTop();

    // Queries.
    static bool HasExtension(const char* name);
    static bool IsDisplayModePossible(GlowDisplayMode mode);
    static void PostRedisplay(int windowId);
    static int EventCounter() { return eventCounter_; }

    // Event filters: every mouse button and key event passes through them.
    static void AddMouseFilter(GlowMouseFilter* filter);
    static void RemoveMouseFilter(GlowMouseFilter* filter);
    static void AddKeyboardFilter(GlowKeyboardFilter* filter);
    static void RemoveKeyboardFilter(GlowKeyboardFilter* filter);

    // Called first at every end of event (the widget toolkit's notices).
    static void SetEndEventHook(void (*hook)()) { endEventHook_ = hook; }
    static void (*EndEventHook())() { return endEventHook_; }

    // Where the last pop-up menu was used, and whether a menu is open now.
    static GlowSubwindow* MenuWindow() { return menuWindow_; }
    static int MenuX() { return menuX_; }
    static int MenuY() { return menuY_; }
    static bool IsMenuInUse() { return menuInUse_; }

    // Idle service. The GLUT idle callback is installed while receivers are.
    static void AddIdleReceiver(TReceiver<const GlowIdleMessage&>* receiver);
    static void RemoveIdleReceiver(TReceiver<const GlowIdleMessage&>* receiver);
    static bool IsIdleReceiver(TReceiver<const GlowIdleMessage&>* receiver);
    static int NumIdleReceivers();
    static void SetIdleFunction(void (*func)());

    // One-shot timers; ids count from 1 and are never 0.
    static int StartTimer(unsigned int msecs, TReceiver<const GlowTimerMessage&>* receiver);
    static void CancelTimer(int id);
    static bool IsTimerPending(int id);

    // End-of-event processing: the hook, the activation notices, then the
    // deletions. Run by every callback after its handler.
    static void EndEvent();

    // The GLUT callbacks. Tests call them after glutSetWindow as GLUT would.
    static void OnGlutDisplay();
    static void OnGlutReshape(int width, int height);
    static void OnGlutKeyboard(unsigned char key, int x, int y);
    static void OnGlutSpecial(int key, int x, int y);
    static void OnGlutMouse(int button, int state, int x, int y);
    static void OnGlutMotion(int x, int y);
    static void OnGlutPassiveMotion(int x, int y);
    static void OnGlutVisibility(int state);
    static void OnGlutEntry(int state);
    static void OnGlutMenuStatus(int status, int x, int y);
    static void OnGlutMenu(int value);
    static void OnGlutIdle();
    static void OnGlutTimer(int id);
    // GLUT destroys a window: one the toolkit still knows was closed by the
    // window system.
    static void OnGlutClose();

private:
    // Every GLUT callback runs its work through this: nothing once a
    // callback has failed, else the work, whose exception is kept for
    // MainLoop (Glow_Callback.h).
    template <typename Work>
    static void RunCallback_(Work&& work) noexcept;
    static bool HasCallbackFailure_();
    static void KeepCallbackFailure_(std::exception_ptr failure) noexcept;

    friend class GlowComponent;
    friend class GlowSubwindow;
    friend class GlowMenu;

    // Deferred-work tables of the component tree.
    static void QueueActivation_(GlowComponent* component, bool activate);
    static void QueueDeletion_(GlowComponent* component);
    static void ForgetComponent_(GlowComponent* component);
    // Delivers the queued OnActivate and OnDeactivate notices.
    static void DeliverActivationNotices_();
    // Whether an end-of-event pass is running.
    static bool InEndEvent_();

    // GLUT menu changes deferred while a menu is open, and from its close
    // until the selection that follows.
    static bool MenuChangesDeferred_();
    static void DeferMenuCreation_(GlowMenu* menu);
    static void DeferMenuRewrite_(GlowMenu* menu);
    static void DeferMenuDestruction_(int menuId);
    static void DeferButtonMenuSync_(GlowSubwindow* window);
    static void ForgetDeferredMenu_(GlowMenu* menu);
    static void ForgetDeferredWindow_(GlowSubwindow* window);
    static void FlushDeferredMenuChanges_();

    // The first modal window's push and the last one's pop: activation
    // changes of every top-level window but that one.
    static void SetOtherTopLevelWindowsActive_(const GlowWindow* except, bool active);
    static bool IsOnModalStack_(const GlowSubwindow* window);
    // A window that goes away leaves the stack: popped when it is the top,
    // else taken out without any activation change.
    static void ForgetModalWindow_(const GlowSubwindow* window);

    // Closes the connection CanOpenDisplay kept open, if any.
    static void ReleaseDisplayCheck_();
    // Xlib's error and I/O error handlers of the toolkit, for every
    // connection of the process.
    static void WatchDisplay_();
    // freeglut ignores the window system's notice that a window was
    // destroyed, so a window that another program destroyed would stay
    // GLUT's until something drew into it. Once GLUT's connection has a
    // window (the current one), this notes every such notice on it;
    // WindowDestroyed_ tells whether one came since it last told.
    static void WatchWindowDestruction_();
    static bool WindowDestroyed_();

    // Refresh requests from other threads.
    static void RecordMainThread_();
    static bool OnMainThread_();
    static void NoteThreadRefresh_();
    static void ArmRefreshPoll_();
    static void OnRefreshPoll_(int);

    // Sends an event's record through the filters; the record's
    // continueDelivery says whether the window's handler is to see it.
    static void FilterMouseEvent_(GlowMouseData& data);
    static void FilterKeyboardEvent_(GlowKeyboardData& data);

    // Every window callback starts here: counts the event and finds the
    // object of the current GLUT window, null when the toolkit does not know
    // it (the event is then dropped).
    static GlowSubwindow* BeginWindowEvent_();
    static void DispatchKey_(GlowSubwindow* window, int key, int x, int y);

    // The state that the inline accessors above read, or that GlowSubwindow
    // changes, each defined in its service's file. All are constant-
    // initialised: ready before any other file's start-up code runs.
    static int eventCounter_;           // Glow_Dispatch.cpp
    static void (*endEventHook_)();     // Glow_EndEvent.cpp
    static GlowSubwindow* menuWindow_;  // Glow_MenuEvents.cpp
    static int menuX_;
    static int menuY_;
    static bool menuInUse_;
    static bool initialized_;  // Glow.cpp
    // Non-zero while a toolkit window gives up its GLUT window: raised by
    // GlowSubwindow's destructor, read by the menu-status callback
    // (Glow_MenuEvents.cpp).
    static int windowDestructionDepth_;
};

}  // namespace glow

#endif
