// One-shot timers over GLUT's: each delivers its expiry to the one receiver
// that started it, unless it was cancelled first.
#include <GL/freeglut.h>

#include <climits>
#include <map>
#include <memory>

#include "glow/core/Glow.h"
#include "glow/core/Glow_Callback.h"

namespace glow {

namespace {

// Live timers by id, each with its own sender. Built at first use and
// never destroyed: the scroll bars' shared repeat task and other static
// receivers may start or cancel timers during static initialisation or
// destruction.
std::map<int, TSender<const GlowTimerMessage&>*>& Timers() {
    static auto* timers = new std::map<int, TSender<const GlowTimerMessage&>*>;
    return *timers;
}

int nextTimerId = 1;

}  // namespace

int Glow::StartTimer(unsigned int msecs, TReceiver<const GlowTimerMessage&>* receiver) {
    auto& timers = Timers();
    int id = nextTimerId;
    // Wraps from the largest int back to 1 without overflowing; 0 and live
    // ids are skipped.
    while (id <= 0 || timers.count(id) != 0) id = (id <= 0 || id == INT_MAX) ? 1 : id + 1;
    nextTimerId = id == INT_MAX ? 1 : id + 1;
    auto* sender = new TSender<const GlowTimerMessage&>;
    if (receiver != nullptr) sender->Bind(receiver);
    timers.emplace(id, sender);
    glutTimerFunc(msecs, OnGlutTimer, id);
    return id;
}

void Glow::CancelTimer(int id) {
    auto& timers = Timers();
    auto it = timers.find(id);
    if (it == timers.end()) return;
    delete it->second;
    timers.erase(it);
}

bool Glow::IsTimerPending(int id) {
    return Timers().count(id) != 0;
}

void Glow::OnGlutTimer(int id) {
    RunCallback_([=] {
        ++eventCounter_;
        auto& timers = Timers();
        auto it = timers.find(id);
        if (it == timers.end()) return;
        // Gone with the call, whatever its receiver does.
        std::unique_ptr<TSender<const GlowTimerMessage&>> sender(it->second);
        timers.erase(it);
        sender->Send(GlowTimerMessage(id));
        sender.reset();
        EndEvent();
    });
}

}  // namespace glow
