#include "glow/core/Sender_Base.h"

#include <algorithm>

#include "glow/core/Glow_Assert.h"

namespace glow {

Sender_Base::~Sender_Base() {
    DetachAllReceivers();
    // Tell running deliveries (a handler is destroying this sender) to stop.
    for (DeliveryFrame* f = deliveries_; f != nullptr; f = f->outer) f->senderGone = true;
}

int Sender_Base::ReceiverCount() const {
    return static_cast<int>(
        std::count_if(receivers_.begin(), receivers_.end(), [](Receiver_Base* r) { return r; }));
}

bool Sender_Base::HasReceiver(const Receiver_Base* receiver) const {
    return receiver != nullptr &&
           std::find(receivers_.begin(), receivers_.end(), receiver) != receivers_.end();
}

void Sender_Base::DetachAllReceivers() {
    // Each receiver forgets one binding per entry; the list is then emptied
    // (or holed while a delivery runs, so that its index stays valid).
    for (std::size_t i = 0; i < receivers_.size(); ++i) {
        Receiver_Base* r = receivers_[i];
        if (r == nullptr) continue;
        receivers_[i] = nullptr;
        r->DetachSender(this);
    }
    if (deliveries_ == nullptr) {
        receivers_.clear();
        hasHoles_ = false;
    } else {
        hasHoles_ = !receivers_.empty();
    }
}

void Sender_Base::BindReceiver_(Receiver_Base* receiver) {
    receiver->AttachSender(this);
    receivers_.push_back(receiver);
}

bool Sender_Base::UnbindReceiver_(Receiver_Base* receiver) {
    if (receiver == nullptr || !HasReceiver(receiver)) return false;
    receiver->DetachSender(this);
    EraseFirst_(receiver);
    return true;
}

bool Sender_Base::EraseFirst_(Receiver_Base* receiver) {
    auto it = std::find(receivers_.begin(), receivers_.end(), receiver);
    if (it == receivers_.end()) return false;
    if (deliveries_ != nullptr) {
        *it = nullptr;
        hasHoles_ = true;
    } else {
        receivers_.erase(it);
    }
    return true;
}

void Sender_Base::BeginDelivery_(DeliveryFrame& frame) {
    frame.outer = deliveries_;
    frame.senderGone = false;
    deliveries_ = &frame;
}

void Sender_Base::EndDelivery_(DeliveryFrame& frame) {
    glow_assert(deliveries_ == &frame);
    deliveries_ = frame.outer;
    if (deliveries_ == nullptr && hasHoles_) Sweep_();
}

void Sender_Base::Sweep_() {
    receivers_.erase(std::remove(receivers_.begin(), receivers_.end(), nullptr), receivers_.end());
    hasHoles_ = false;
}

Receiver_Base::~Receiver_Base() {
    // Every sender (and tracker) drops its first entry of this receiver once
    // per entry here; nobody keeps a pointer to it afterwards.
    std::vector<Sender_Base*> senders;
    senders.swap(senders_);
    numBindings_ = 0;
    for (Sender_Base* s : senders) s->EraseFirst_(this);
}

void Receiver_Base::AttachSender(Sender_Base* sender) {
    ++numBindings_;
    senders_.push_back(sender);
}

void Receiver_Base::DetachSender(Sender_Base* sender) {
    auto it = std::find(senders_.begin(), senders_.end(), sender);
    if (it == senders_.end()) return;
    --numBindings_;
    senders_.erase(it);
}

void Receiver_Base::AttachTracker_(Sender_Base* tracker) {
    senders_.push_back(tracker);
}

bool Receiver_Base::DetachTracker_(Sender_Base* tracker) {
    auto it = std::find(senders_.begin(), senders_.end(), tracker);
    if (it == senders_.end()) return false;
    senders_.erase(it);
    return true;
}

}  // namespace glow
