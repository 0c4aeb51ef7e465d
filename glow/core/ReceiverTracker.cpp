#include "glow/core/ReceiverTracker.h"

namespace glow {

ReceiverTracker::~ReceiverTracker() {
    // Empties the list, so the base destructor detaches no binding.
    ReleaseReceivers();
}

void ReceiverTracker::Track(Receiver_Base* receiver) {
    if (receiver == nullptr || HasReceiver(receiver)) return;
    receiver->AttachTracker_(this);
    receivers_.push_back(receiver);
}

bool ReceiverTracker::Untrack(Receiver_Base* receiver) {
    if (receiver == nullptr || !HasReceiver(receiver)) return false;
    receiver->DetachTracker_(this);
    EraseFirst_(receiver);
    return true;
}

void ReceiverTracker::ReleaseReceivers() {
    // Take one entry off the list at a time: a receiver deleted here may own
    // other tracked receivers, whose destructors then erase their own entries.
    while (!receivers_.empty()) {
        Receiver_Base* r = receivers_.front();
        receivers_.erase(receivers_.begin());
        if (r == nullptr) continue;
        r->DetachTracker_(this);
        if (policy_ == deleteAll || r->UntrackedSenderCount() == 0) delete r;
    }
}

void ReceiverTracker::DeleteAllReceivers() {
    while (!receivers_.empty()) {
        Receiver_Base* r = receivers_.front();
        if (r == nullptr) {
            receivers_.erase(receivers_.begin());
            continue;
        }
        delete r;  // its destructor erases its entry from this list
    }
}

}  // namespace glow
