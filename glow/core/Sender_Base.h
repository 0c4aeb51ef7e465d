#ifndef GLOW_CORE_SENDER_BASE_H
#define GLOW_CORE_SENDER_BASE_H

#include <vector>

namespace glow {

class Receiver_Base;
class ReceiverTracker;

// The untyped half of a sender: the list of bound receivers, one entry per
// binding, in binding order. Removing an entry while a delivery walks the
// list leaves a hole (null) that the delivery skips; the holes are swept
// when the outermost delivery ends.
class Sender_Base {
public:
    Sender_Base() = default;
    Sender_Base(const Sender_Base&) = delete;
    Sender_Base& operator=(const Sender_Base&) = delete;
    virtual ~Sender_Base();

    // Entries that stand for live bindings; a receiver bound twice counts twice.
    int ReceiverCount() const;
    bool HasReceiver(const Receiver_Base* receiver) const;
    // Drops every binding; the sender stays usable with an empty list.
    void DetachAllReceivers();

protected:
    void BindReceiver_(Receiver_Base* receiver);
    // Unbinds the first entry of the receiver; false when it is not bound.
    bool UnbindReceiver_(Receiver_Base* receiver);

    // Delivery support for TSender: a frame per running delivery, so that a
    // sender destroyed from inside a handler stops its deliveries safely.
    struct DeliveryFrame {
        DeliveryFrame* outer;
        bool senderGone;
    };
    void BeginDelivery_(DeliveryFrame& frame);
    void EndDelivery_(DeliveryFrame& frame);
    // Entry i of the list, null for a removed entry; size read afresh.
    std::size_t EntryCount_() const { return receivers_.size(); }
    Receiver_Base* Entry_(std::size_t i) const { return receivers_[i]; }

private:
    friend class Receiver_Base;
    friend class ReceiverTracker;

    // Removes the first entry of the receiver without telling it.
    bool EraseFirst_(Receiver_Base* receiver);
    void Sweep_();

    std::vector<Receiver_Base*> receivers_;
    DeliveryFrame* deliveries_ = nullptr;
    bool hasHoles_ = false;
};

// The untyped half of a receiver: one entry per binding to a sender plus one
// per tracker that holds it; numBindings counts the bindings only.
class Receiver_Base {
public:
    Receiver_Base() = default;
    Receiver_Base(const Receiver_Base&) = delete;
    Receiver_Base& operator=(const Receiver_Base&) = delete;
    virtual ~Receiver_Base();

    int NumBindings() const { return numBindings_; }
    // Number of trackers holding this receiver.
    int UntrackedSenderCount() const { return static_cast<int>(senders_.size()) - numBindings_; }

    // Called by the sender side only.
    void AttachSender(Sender_Base* sender);
    void DetachSender(Sender_Base* sender);

private:
    friend class Sender_Base;
    friend class ReceiverTracker;

    // Tracker holds are recorded without counting as bindings.
    void AttachTracker_(Sender_Base* tracker);
    bool DetachTracker_(Sender_Base* tracker);

    std::vector<Sender_Base*> senders_;
    int numBindings_ = 0;
};

}  // namespace glow

#endif
