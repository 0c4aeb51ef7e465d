// The idle service: any number of receivers hear every idle tick; GLUT's
// idle callback is installed while at least one is bound.
#include <GL/freeglut.h>

#include "glow/core/Glow.h"
#include "glow/core/Glow_Callback.h"

namespace glow {

namespace {

// Built at first use and never destroyed: an idle receiver may bind itself
// during start-up, or be destroyed (and leave the sender) during static
// destruction.
TSender<const GlowIdleMessage&>& IdleSender() {
    static auto* sender = new TSender<const GlowIdleMessage&>;
    return *sender;
}

// The receiver of SetIdleFunction, owned here.
Glow_IdleFuncReceiver* idleFunctionReceiver = nullptr;

}  // namespace

void Glow::AddIdleReceiver(TReceiver<const GlowIdleMessage&>* receiver) {
    auto& sender = IdleSender();
    if (receiver == nullptr || sender.HasReceiver(receiver)) return;
    sender.Bind(receiver);
    if (sender.ReceiverCount() == 1) glutIdleFunc(OnGlutIdle);
}

void Glow::RemoveIdleReceiver(TReceiver<const GlowIdleMessage&>* receiver) {
    auto& sender = IdleSender();
    if (receiver == nullptr || !sender.HasReceiver(receiver)) return;
    sender.Unbind(receiver);
    if (sender.ReceiverCount() == 0) glutIdleFunc(nullptr);
}

bool Glow::IsIdleReceiver(TReceiver<const GlowIdleMessage&>* receiver) {
    return IdleSender().HasReceiver(receiver);
}

int Glow::NumIdleReceivers() {
    return IdleSender().ReceiverCount();
}

void Glow::SetIdleFunction(void (*func)()) {
    if (func != nullptr) {
        if (idleFunctionReceiver == nullptr) {
            idleFunctionReceiver = new Glow_IdleFuncReceiver(func);
            AddIdleReceiver(idleFunctionReceiver);
        } else {
            idleFunctionReceiver->function = func;
        }
    } else if (idleFunctionReceiver != nullptr) {
        RemoveIdleReceiver(idleFunctionReceiver);
        delete idleFunctionReceiver;
        idleFunctionReceiver = nullptr;
    }
}

void Glow::OnGlutIdle() {
    RunCallback_([] {
        ++eventCounter_;
        IdleSender().Send(GlowIdleMessage());
        EndEvent();
    });
}

}  // namespace glow
