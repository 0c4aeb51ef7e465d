#include "glow/core/Glow.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <atomic>
#include <cassert>
#include <climits>
#include <set>
#include <thread>

#include "glow/core/GlowComponent.h"
#include "glow/core/GlowMenu.h"
#include "glow/core/GlowSubwindow.h"
#include "glow/core/GlowWindow.h"
#include "glow/core/Glow_Context.h"

namespace glow {

// Global state, built before main in this order.
std::map<int, GlowSubwindow*> Glow::windowRegistry_;
std::map<int, GlowMenu*> Glow::menuRegistry_;
std::map<GlowComponent*, bool> Glow::pendingActivations_;
std::map<GlowComponent*, bool> Glow::pendingDeletions_;
std::vector<GlowWindow*> Glow::modalStack_;
TSender<const GlowIdleMessage&> Glow::idleSender_;
std::map<int, TSender<const GlowTimerMessage&>*> Glow::timers_;
TSender<GlowMouseData&> Glow::mouseFilters_;
TSender<GlowKeyboardData&> Glow::keyboardFilters_;

int Glow::eventCounter_ = 0;
void (*Glow::endEventHook_)() = nullptr;
GlowSubwindow* Glow::menuWindow_ = nullptr;
int Glow::menuX_ = -1;
int Glow::menuY_ = -1;
bool Glow::menuInUse_ = false;
int Glow::nextTimerId_ = 1;
Glow_IdleFuncReceiver* Glow::idleFunctionReceiver_ = nullptr;
bool Glow::initialized_ = false;
int Glow::windowDestructionDepth_ = 0;
bool Glow::inEndEvent_ = false;

namespace {

// GLUT changes that freeglut refuses (by ending the process) while a menu
// is open, kept until no menu is open.
std::vector<GlowMenu*> deferredCreations;
std::set<GlowMenu*> deferredRewrites;
std::set<GlowSubwindow*> deferredButtonSyncs;
std::vector<int> deferredDestructions;

// Refresh from other threads: the flag of each window plus this summary,
// polled by a short main-loop timer while windows exist.
std::thread::id mainThread;
std::atomic<bool> threadRefreshPending{false};
bool refreshPollArmed = false;
// Deferred menu changes wait for the selection that follows a menu's close.
bool holdMenuFlush = false;
// LeaveMainLoop has been asked since MainLoop began.
bool leavingMainLoop = false;
constexpr unsigned int refreshPollMsecs = 40;

}  // namespace

// ---------------------------------------------------------------------------
// Start-up and main loop

void Glow::Init(int* argc, char** argv) {
    glutInit(argc, argv);
    ReleaseDisplayCheck_();
    // GLUT would end the process from inside its loop when the window system
    // closes a window, or leave the loop whatever the window; OnGlutClose
    // decides instead.
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
    glutMenuStatusFunc(OnGlutMenuStatus);
    mainThread = std::this_thread::get_id();
    initialized_ = true;
}

void Glow::MainLoop() {
    leavingMainLoop = false;
    glutMainLoop();
}

void Glow::LeaveMainLoop() {
    // GLUT's own end of the loop closes every window: then it is gone.
    if (leavingMainLoop) return;
    leavingMainLoop = true;
    glutLeaveMainLoop();
}

void Glow::OnGlutClose() {
    // The toolkit's own deletions unregister a window before GLUT destroys
    // it; GLUT destroys a subwindow before its parent.
    GlowSubwindow* w = WindowForId(glutGetWindow());
    if (w == nullptr) return;
    const bool modal = std::find(modalStack_.begin(), modalStack_.end(), w) != modalStack_.end();
    w->ForgetGlutWindow_();
    if (!w->IsTopLevel()) return;
    // A dialog goes as its own buttons would make it go; any other window
    // ends the program's loop.
    if (modal) {
        w->Close();
    } else {
        LeaveMainLoop();
    }
}

// ---------------------------------------------------------------------------
// Registries

void Glow::RegisterWindow(GlowSubwindow* window, int windowId) {
    windowRegistry_.emplace(windowId, window);
    ArmRefreshPoll_();
}

void Glow::UnregisterWindow(int windowId) {
    auto it = windowRegistry_.find(windowId);
    if (it == windowRegistry_.end()) return;
    GlowSubwindow* w = it->second;
    if (!modalStack_.empty()) {
        if (static_cast<GlowSubwindow*>(modalStack_.back()) == w) {
            PopModal();
        } else {
            auto pos = std::find_if(modalStack_.begin(), modalStack_.end(), [w](GlowWindow* m) {
                return static_cast<GlowSubwindow*>(m) == w;
            });
            if (pos != modalStack_.end()) modalStack_.erase(pos);
        }
    }
    // freeglut reports the end of a menu opened over this window while it
    // destroys the window: by then the object must be forgotten.
    if (menuWindow_ == w) menuWindow_ = nullptr;
    ForgetDeferredWindow_(w);
    windowRegistry_.erase(windowId);
}

GlowSubwindow* Glow::WindowForId(int windowId) {
    auto it = windowRegistry_.find(windowId);
    return it != windowRegistry_.end() ? it->second : nullptr;
}

void Glow::RegisterMenu(GlowMenu* menu, int menuId) {
    menuRegistry_.emplace(menuId, menu);
}

void Glow::UnregisterMenu(int menuId) {
    menuRegistry_.erase(menuId);
}

GlowMenu* Glow::MenuForId(int menuId) {
    auto it = menuRegistry_.find(menuId);
    return it != menuRegistry_.end() ? it->second : nullptr;
}

// ---------------------------------------------------------------------------
// Modal windows

void Glow::PushModal(GlowWindow* window) {
    if (window == nullptr) return;
    if (std::find(modalStack_.begin(), modalStack_.end(), window) != modalStack_.end()) return;
    if (modalStack_.empty()) {
        SetOtherTopLevelWindowsActive_(window, false);
    } else {
        modalStack_.back()->ChangeActiveState(false, false);
        window->ChangeActiveState(true, false);
    }
    modalStack_.push_back(window);
    window->Raise();
}

void Glow::PopModal() {
    if (modalStack_.empty()) return;
    GlowWindow* top = modalStack_.back();
    modalStack_.pop_back();
    if (modalStack_.empty()) {
        SetOtherTopLevelWindowsActive_(top, true);
    } else {
        top->ChangeActiveState(false, false);
        modalStack_.back()->ChangeActiveState(true, false);
        modalStack_.back()->Raise();
    }
}

void Glow::SetOtherTopLevelWindowsActive_(const GlowWindow* except, bool active) {
    // The windows are listed first: the registry is not walked while their
    // states change.
    std::vector<GlowSubwindow*> others;
    for (auto& entry : windowRegistry_)
        if (entry.second->IsTopLevel() && entry.second != except) others.push_back(entry.second);
    for (GlowSubwindow* w : others) w->ChangeActiveState(active, false);
}

// ---------------------------------------------------------------------------
// Queries and redisplay

bool Glow::HasExtension(const char* name) {
    if (name == nullptr) return false;
    if (glutGetWindow() == 0) {
        if (windowRegistry_.empty()) return false;
        glutSetWindow(windowRegistry_.begin()->first);
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

bool Glow::OnMainThread_() {
    // Before Init nothing runs a main loop; every caller counts as on it.
    return mainThread == std::thread::id() || std::this_thread::get_id() == mainThread;
}

void Glow::NoteThreadRefresh_() {
    threadRefreshPending.store(true, std::memory_order_release);
}

void Glow::ArmRefreshPoll_() {
    if (refreshPollArmed || !initialized_) return;
    refreshPollArmed = true;
    glutTimerFunc(refreshPollMsecs, OnRefreshPoll_, 0);
}

void Glow::OnRefreshPoll_(int) {
    // Not an event of the toolkit: no counter, no handler, no end of event.
    refreshPollArmed = false;
    if (threadRefreshPending.exchange(false, std::memory_order_acq_rel)) {
        for (auto& entry : windowRegistry_) {
            GlowSubwindow* w = entry.second;
            if (w->refreshRequested_.exchange(false, std::memory_order_acq_rel) &&
                w->refreshEnabled_)
                PostRedisplay(entry.first);
        }
    }
    // Deferred menu changes of a menu closed without a selection.
    if (!inEndEvent_) FlushDeferredMenuChanges_();
    if (!windowRegistry_.empty()) ArmRefreshPoll_();
}

// ---------------------------------------------------------------------------
// Filters

void Glow::AddMouseFilter(GlowMouseFilter* filter) {
    if (filter != nullptr && !mouseFilters_.HasReceiver(filter)) mouseFilters_.Bind(filter);
}

void Glow::RemoveMouseFilter(GlowMouseFilter* filter) {
    mouseFilters_.Unbind(filter);
}

void Glow::AddKeyboardFilter(GlowKeyboardFilter* filter) {
    if (filter != nullptr && !keyboardFilters_.HasReceiver(filter)) keyboardFilters_.Bind(filter);
}

void Glow::RemoveKeyboardFilter(GlowKeyboardFilter* filter) {
    keyboardFilters_.Unbind(filter);
}

// ---------------------------------------------------------------------------
// Component tables

void Glow::QueueActivation_(GlowComponent* component, bool activate) {
    auto it = pendingActivations_.find(component);
    if (it == pendingActivations_.end()) {
        pendingActivations_.emplace(component, activate);
    } else if (it->second != activate) {
        pendingActivations_.erase(it);  // the two changes cancel
    }
}

void Glow::QueueDeletion_(GlowComponent* component) {
    pendingDeletions_.emplace(component, true);
}

void Glow::ForgetComponent_(GlowComponent* component) {
    pendingActivations_.erase(component);
    pendingDeletions_.erase(component);
}

// ---------------------------------------------------------------------------
// End of event

void Glow::EndEvent() {
    // A window destroyed during this pass may make freeglut call back into
    // the toolkit; the pass already running finishes the work.
    if (inEndEvent_) return;
    inEndEvent_ = true;

    if (endEventHook_ != nullptr) endEventHook_();

    // Deleting a modal window gives the windows below it their activity
    // back: their notices come in this pass too, or the widgets would miss
    // the next event (a click right after a dialog closes) while they wait
    // to rejoin their root's lists. Every round deletes something, so the
    // rounds end.
    bool deleted = false;
    do {
        DeliverActivationNotices_();
        deleted = !pendingDeletions_.empty();
        while (!pendingDeletions_.empty()) {
            GlowComponent* component = pendingDeletions_.begin()->first;
            pendingDeletions_.erase(pendingDeletions_.begin());
            delete component;
        }
    } while (deleted && !pendingActivations_.empty());

    FlushDeferredMenuChanges_();
    inEndEvent_ = false;
}

void Glow::DeliverActivationNotices_() {
    // Notices in key order. Each entry leaves the map before its handler
    // runs, and the next one is looked up afresh, so a handler may delete
    // components that still wait for their notice. Entries that handlers
    // add before the current key stay queued for the next event.
    auto it = pendingActivations_.begin();
    while (it != pendingActivations_.end()) {
        GlowComponent* component = it->first;
        const bool activate = it->second;
        pendingActivations_.erase(it);
        if (activate) {
            component->OnActivate();
        } else {
            component->OnDeactivate();
        }
        it = pendingActivations_.upper_bound(component);
    }
}

// ---------------------------------------------------------------------------
// Window callbacks

GlowSubwindow* Glow::BeginWindowEvent_() {
    ++eventCounter_;
    return WindowForId(glutGetWindow());
}

void Glow::OnGlutDisplay() {
    GlowSubwindow* w = BeginWindowEvent_();
    if (w == nullptr) return;
    // Painting may delete the window: it is looked up again before the swap.
    const int id = w->WindowId();
    w->PaintTree();
    if (WindowForId(id) == w) w->FlushAndSwap();
    EndEvent();
}

void Glow::OnGlutReshape(int width, int height) {
    GlowSubwindow* w = BeginWindowEvent_();
    if (w == nullptr) return;
    w->width_ = width;
    w->height_ = height;
    w->OnReshape(width, height);
    EndEvent();
}

void Glow::DispatchKey_(GlowSubwindow* window, int key, int x, int y) {
    GlowKeyboardData data;
    data.subwindow = window;
    data.key = key;
    data.x = x;
    data.y = y;
    data.modifiers = glutGetModifiers();
    keyboardFilters_.Send(data);
    if (data.continueDelivery && data.subwindow != nullptr)
        data.subwindow->OnKeyboard(data.key, data.x, data.y, data.modifiers);
}

void Glow::OnGlutKeyboard(unsigned char key, int x, int y) {
    GlowSubwindow* w = BeginWindowEvent_();
    if (w == nullptr) return;
    DispatchKey_(w, key, x, y);
    EndEvent();
}

void Glow::OnGlutSpecial(int key, int x, int y) {
    GlowSubwindow* w = BeginWindowEvent_();
    if (w == nullptr) return;
    DispatchKey_(w, key + GlowKeyboardData::specialKeyOffset, x, y);
    EndEvent();
}

void Glow::OnGlutMouse(int button, int state, int x, int y) {
    GlowSubwindow* w = BeginWindowEvent_();
    if (w == nullptr) return;
    GlowMouseData data;
    data.subwindow = w;
    data.kind = state == GLUT_DOWN ? GlowMouseData::mouseDown : GlowMouseData::mouseUp;
    data.button = button;
    data.x = x;
    data.y = y;
    data.modifiers = glutGetModifiers();
    mouseFilters_.Send(data);
    if (data.continueDelivery && data.subwindow != nullptr) {
        if (data.kind == GlowMouseData::mouseDown) {
            data.subwindow->OnMouseDown(data.button, data.x, data.y, data.modifiers);
        } else if (data.kind == GlowMouseData::mouseUp) {
            data.subwindow->OnMouseUp(data.button, data.x, data.y, data.modifiers);
        }
    }
    EndEvent();
}

void Glow::OnGlutMotion(int x, int y) {
    GlowSubwindow* w = BeginWindowEvent_();
    if (w == nullptr) return;
    w->OnMouseDrag(x, y);
    EndEvent();
}

void Glow::OnGlutPassiveMotion(int x, int y) {
    GlowSubwindow* w = BeginWindowEvent_();
    if (w == nullptr) return;
    w->OnMouseMotion(x, y);
    EndEvent();
}

void Glow::OnGlutVisibility(int state) {
    GlowSubwindow* w = BeginWindowEvent_();
    if (w == nullptr) return;
    if (state == GLUT_VISIBLE) {
        w->OnVisible();
    } else if (state == GLUT_NOT_VISIBLE) {
        w->OnInvisible();
    }
    EndEvent();
}

void Glow::OnGlutEntry(int state) {
    GlowSubwindow* w = BeginWindowEvent_();
    if (w == nullptr) return;
    if (state == GLUT_ENTERED) {
        w->OnMouseEnter();
    } else if (state == GLUT_LEFT) {
        w->OnMouseExit();
    }
    EndEvent();
}

// ---------------------------------------------------------------------------
// Menus

void Glow::OnGlutMenuStatus(int status, int x, int y) {
    ++eventCounter_;
    if (status == GLUT_MENU_IN_USE) {
        menuInUse_ = true;
        menuWindow_ = WindowForId(glutGetWindow());
        menuX_ = x;
        menuY_ = y;
        if (menuWindow_ != nullptr) menuWindow_->OnMenuInUse(x, y);
    } else if (status == GLUT_MENU_NOT_IN_USE) {
        menuInUse_ = false;
        // During the destruction of a toolkit window: the window is no
        // longer known, and the event that destroys it ends it.
        if (windowDestructionDepth_ > 0) return;
        // freeglut reports the selection after this, from the entry it
        // highlighted: rewriting the menu now would change the code chosen.
        holdMenuFlush = true;
        if (menuWindow_ != nullptr) menuWindow_->OnMenuNotInUse();
        EndEvent();
        holdMenuFlush = false;
        return;
    }
    EndEvent();
}

void Glow::OnGlutMenu(int value) {
    ++eventCounter_;
    GlowMenu* m = MenuForId(glutGetMenu());
    if (m == nullptr) return;
    m->HandleSelection(value, menuWindow_, menuX_, menuY_);
    EndEvent();
}

bool Glow::MenuChangesDeferred_() {
    return menuInUse_ || holdMenuFlush;
}

void Glow::DeferMenuCreation_(GlowMenu* menu) {
    deferredCreations.push_back(menu);
}

void Glow::DeferMenuRewrite_(GlowMenu* menu) {
    deferredRewrites.insert(menu);
}

void Glow::DeferMenuDestruction_(int menuId) {
    deferredDestructions.push_back(menuId);
}

void Glow::DeferButtonMenuSync_(GlowSubwindow* window) {
    deferredButtonSyncs.insert(window);
}

void Glow::ForgetDeferredMenu_(GlowMenu* menu) {
    deferredCreations.erase(std::remove(deferredCreations.begin(), deferredCreations.end(), menu),
                            deferredCreations.end());
    deferredRewrites.erase(menu);
}

void Glow::ForgetDeferredWindow_(GlowSubwindow* window) {
    deferredButtonSyncs.erase(window);
}

void Glow::FlushDeferredMenuChanges_() {
    if (MenuChangesDeferred_()) return;
    if (!deferredCreations.empty()) {
        std::vector<GlowMenu*> menus;
        menus.swap(deferredCreations);
        int saved = glutGetMenu();
        for (GlowMenu* m : menus) m->CreateGlutMenu_();
        if (saved != 0) glutSetMenu(saved);
        // Buttons given one of these menus before it existed in GLUT.
        std::set<GlowMenu*> created(menus.begin(), menus.end());
        for (auto& entry : windowRegistry_) {
            for (GlowMenu* m : entry.second->buttonMenus_)
                if (m != nullptr && created.count(m) != 0) deferredButtonSyncs.insert(entry.second);
        }
    }
    if (!deferredRewrites.empty()) {
        std::set<GlowMenu*> menus;
        menus.swap(deferredRewrites);
        for (GlowMenu* m : menus) m->RewriteAll_();
    }
    if (!deferredButtonSyncs.empty()) {
        std::set<GlowSubwindow*> windows;
        windows.swap(deferredButtonSyncs);
        for (GlowSubwindow* w : windows) {
            Glow_WindowContext context(w->windowId_);
            w->SyncButtonMenus_(w->MaskInForce_());
        }
    }
    if (!deferredDestructions.empty()) {
        std::vector<int> ids;
        ids.swap(deferredDestructions);
        for (int id : ids) GlowMenu::DestroyGlutMenu_(id);
    }
}

// ---------------------------------------------------------------------------
// Idle service

void Glow::AddIdleReceiver(TReceiver<const GlowIdleMessage&>* receiver) {
    if (receiver == nullptr || idleSender_.HasReceiver(receiver)) return;
    idleSender_.Bind(receiver);
    if (idleSender_.ReceiverCount() == 1) glutIdleFunc(OnGlutIdle);
}

void Glow::RemoveIdleReceiver(TReceiver<const GlowIdleMessage&>* receiver) {
    if (receiver == nullptr || !idleSender_.HasReceiver(receiver)) return;
    idleSender_.Unbind(receiver);
    if (idleSender_.ReceiverCount() == 0) glutIdleFunc(nullptr);
}

bool Glow::IsIdleReceiver(TReceiver<const GlowIdleMessage&>* receiver) {
    return idleSender_.HasReceiver(receiver);
}

void Glow::SetIdleFunction(void (*func)()) {
    if (func != nullptr) {
        if (idleFunctionReceiver_ == nullptr) {
            idleFunctionReceiver_ = new Glow_IdleFuncReceiver(func);
            AddIdleReceiver(idleFunctionReceiver_);
        } else {
            idleFunctionReceiver_->function = func;
        }
    } else if (idleFunctionReceiver_ != nullptr) {
        RemoveIdleReceiver(idleFunctionReceiver_);
        delete idleFunctionReceiver_;
        idleFunctionReceiver_ = nullptr;
    }
}

void Glow::OnGlutIdle() {
    ++eventCounter_;
    idleSender_.Send(GlowIdleMessage());
    EndEvent();
}

// ---------------------------------------------------------------------------
// Timers

int Glow::StartTimer(unsigned int msecs, TReceiver<const GlowTimerMessage&>* receiver) {
    int id = nextTimerId_;
    // Wraps from the largest int back to 1 without overflowing; 0 and live
    // ids are skipped.
    while (id <= 0 || timers_.count(id) != 0) id = (id <= 0 || id == INT_MAX) ? 1 : id + 1;
    nextTimerId_ = id == INT_MAX ? 1 : id + 1;
    auto* sender = new TSender<const GlowTimerMessage&>;
    if (receiver != nullptr) sender->Bind(receiver);
    timers_.emplace(id, sender);
    glutTimerFunc(msecs, OnGlutTimer, id);
    return id;
}

void Glow::CancelTimer(int id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    delete it->second;
    timers_.erase(it);
}

bool Glow::IsTimerPending(int id) {
    return timers_.count(id) != 0;
}

void Glow::OnGlutTimer(int id) {
    ++eventCounter_;
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    TSender<const GlowTimerMessage&>* sender = it->second;
    timers_.erase(it);
    sender->Send(GlowTimerMessage(id));
    delete sender;
    EndEvent();
}

}  // namespace glow
