#include "analysis/blockedsignals.h"

#include <pthread.h>

#include <initializer_list>

BlockedSignals::BlockedSignals(const sigset_t& signals) {
    pthread_sigmask(SIG_BLOCK, &signals, &previous_);
}

BlockedSignals::~BlockedSignals() {
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

sigset_t BlockedSignals::termination() {
    sigset_t signals;
    sigemptyset(&signals);
    for (int signal : kTerminationSignals) sigaddset(&signals, signal);
    return signals;
}

sigset_t BlockedSignals::asynchronous() {
    sigset_t signals;
    sigfillset(&signals);
    for (int fault : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS, SIGABRT}) {
        sigdelset(&signals, fault);
    }
    return signals;
}
