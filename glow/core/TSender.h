#ifndef GLOW_CORE_TSENDER_H
#define GLOW_CORE_TSENDER_H

#include "glow/core/Sender_Base.h"

namespace glow {

// A receiver of messages of type M (a reference type: const X& for
// notifications, X& for records that receivers may change on the way).
template <class M>
class TReceiver : public Receiver_Base {
public:
    ~TReceiver() override = default;
    // May unbind or delete this receiver, or others, or bind new ones.
    virtual void OnMessage(M message) = 0;
};

// A sender that delivers messages of type M to its receivers in binding
// order, once per binding.
template <class M>
class TSender : public Sender_Base {
public:
    ~TSender() override = default;

    // Binding the same receiver twice makes two bindings.
    void Bind(TReceiver<M>* receiver) {
        if (receiver != nullptr) BindReceiver_(receiver);
    }
    // Removes one binding; a receiver that is not bound is ignored.
    void Unbind(TReceiver<M>* receiver) { UnbindReceiver_(receiver); }

    // Receivers removed during the delivery get no further message;
    // receivers bound during the delivery receive this message too; the
    // sender itself may be destroyed by a handler. What a handler throws
    // ends the delivery and goes on to the caller.
    void Send(M message) {
        DeliveryFrame frame{nullptr, false};
        BeginDelivery_(frame);
        try {
            for (std::size_t i = 0; i < EntryCount_(); ++i) {
                Receiver_Base* entry = Entry_(i);
                if (entry == nullptr) continue;
                // Only TSender<M>::Bind puts entries here, always TReceiver<M>.
                static_cast<TReceiver<M>*>(entry)->OnMessage(message);
                if (frame.senderGone) return;
            }
        } catch (...) {
            // The sender must not keep this frame, which is going.
            if (!frame.senderGone) EndDelivery_(frame);
            throw;
        }
        EndDelivery_(frame);
    }
};

}  // namespace glow

#endif
