#ifndef GLOW_CORE_RECEIVERTRACKER_H
#define GLOW_CORE_RECEIVERTRACKER_H

#include "glow/core/Sender_Base.h"

namespace glow {

// Owns receivers: when the tracker goes away it deletes the receivers it
// tracks, all of them (policy 1) or those no other tracker holds (policy 2).
class ReceiverTracker : public Sender_Base {
public:
    enum { deleteAll = 1, deleteUnshared = 2 };

    explicit ReceiverTracker(int policy = deleteAll) : policy_(policy) {}
    ~ReceiverTracker() override;

    // Takes the receiver under this tracker; tracking it twice has no effect.
    void Track(Receiver_Base* receiver);
    // Lets go of one receiver without deleting it; false when not tracked.
    bool Untrack(Receiver_Base* receiver);

    int Policy() const { return policy_; }
    void SetPolicy(int policy) { policy_ = policy; }

    // Lets go of every tracked receiver, deleting each as the policy says.
    void ReleaseReceivers();
    // Deletes every tracked receiver whatever the policy.
    void DeleteAllReceivers();
    // Tracked receivers are not bindings: letting go of them goes through
    // ReleaseReceivers.
    void DetachAllReceivers() = delete;

private:
    int policy_;
};

}  // namespace glow

#endif
