// Refresh requests from threads other than the main loop's: such a thread
// only raises its window's flag and this summary; a short main-loop timer,
// armed while windows exist, turns them into redisplays. The same timer
// looks for windows that another program destroyed.
#include <GL/freeglut.h>

#include <atomic>
#include <thread>

#include "glow/core/Glow.h"
#include "glow/core/GlowSubwindow.h"
#include "glow/core/Glow_Callback.h"

namespace glow {

namespace {

// Set by Init, before any other thread can ask; the default id (before
// Init) counts every caller as on the main thread.
std::thread::id mainThread;
// Constant-initialised: ready for a request at any time.
std::atomic<bool> threadRefreshPending{false};
bool refreshPollArmed = false;
constexpr unsigned int refreshPollMsecs = 40;

}  // namespace

void Glow::RecordMainThread_() {
    mainThread = std::this_thread::get_id();
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
    RunCallback_([] {
        // Not an event of the toolkit: no counter, no handler, no end of event.
        refreshPollArmed = false;
        if (threadRefreshPending.exchange(false, std::memory_order_acq_rel)) {
            for (auto& entry : Windows()) {
                GlowSubwindow* w = entry.second;
                if (w->refreshRequested_.exchange(false, std::memory_order_acq_rel) &&
                    w->refreshEnabled_)
                    PostRedisplay(entry.first);
            }
        }
        // A window was destroyed, by the toolkit or by another program: a
        // request naming each window that the toolkit still has makes Xlib
        // report one that is gone (see SetDisplayLostHandler).
        if (WindowDestroyed_()) {
            for (auto& entry : Windows()) entry.second->GetGlutState(GLUT_WINDOW_X);
        }
        // Deferred menu changes of a menu closed without a selection.
        if (!InEndEvent_()) FlushDeferredMenuChanges_();
        if (!Windows().empty()) ArmRefreshPoll_();
    });
}

}  // namespace glow
