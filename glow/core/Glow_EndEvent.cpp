// The component tree's deferred work and the end-of-event pass that does
// it: activation notices and deletions wait here until the event is over.
#include <map>

#include "glow/core/Glow.h"
#include "glow/core/GlowComponent.h"

namespace glow {

void (*Glow::endEventHook_)() = nullptr;

namespace {

// Built at first use and never destroyed: components closed or deleted
// during other files' static initialisation or destruction still find them.
std::map<GlowComponent*, bool>& PendingActivations() {
    static auto* pending = new std::map<GlowComponent*, bool>;
    return *pending;
}

std::map<GlowComponent*, bool>& PendingDeletions() {
    static auto* pending = new std::map<GlowComponent*, bool>;
    return *pending;
}

bool inEndEvent = false;

}  // namespace

void Glow::QueueActivation_(GlowComponent* component, bool activate) {
    auto& pending = PendingActivations();
    auto it = pending.find(component);
    if (it == pending.end()) {
        pending.emplace(component, activate);
    } else if (it->second != activate) {
        pending.erase(it);  // the two changes cancel
    }
}

void Glow::QueueDeletion_(GlowComponent* component) {
    PendingDeletions().emplace(component, true);
}

void Glow::ForgetComponent_(GlowComponent* component) {
    PendingActivations().erase(component);
    PendingDeletions().erase(component);
}

bool Glow::InEndEvent_() {
    return inEndEvent;
}

void Glow::EndEvent() {
    // A window destroyed during this pass may make freeglut call back into
    // the toolkit; the pass already running finishes the work.
    if (inEndEvent) return;
    inEndEvent = true;

    if (endEventHook_ != nullptr) endEventHook_();

    // Deleting a modal window gives the windows below it their activity
    // back: their notices come in this pass too, or the widgets would miss
    // the next event (a click right after a dialog closes) while they wait
    // to rejoin their root's lists. Every round deletes something, so the
    // rounds end.
    auto& deletions = PendingDeletions();
    bool deleted = false;
    do {
        DeliverActivationNotices_();
        deleted = !deletions.empty();
        while (!deletions.empty()) {
            GlowComponent* component = deletions.begin()->first;
            deletions.erase(deletions.begin());
            delete component;
        }
    } while (deleted && !PendingActivations().empty());

    FlushDeferredMenuChanges_();
    inEndEvent = false;
}

void Glow::DeliverActivationNotices_() {
    // Notices in key order. Each entry leaves the map before its handler
    // runs, and the next one is looked up afresh, so a handler may delete
    // components that still wait for their notice. Entries that handlers
    // add before the current key stay queued for the next event.
    auto& pending = PendingActivations();
    auto it = pending.begin();
    while (it != pending.end()) {
        GlowComponent* component = it->first;
        const bool activate = it->second;
        pending.erase(it);
        if (activate) {
            component->OnActivate();
        } else {
            component->OnDeactivate();
        }
        it = pending.upper_bound(component);
    }
}

}  // namespace glow
