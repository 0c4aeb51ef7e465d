#pragma once

#include <signal.h>

// The signals that end a process at someone's request and can be held
// off.
constexpr int kTerminationSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// Blocks a set of signals in the calling thread while it lives, then gives
// the thread its former mask back: a signal that came meanwhile takes
// effect then, as it would have. Threads made meanwhile keep the block.
class BlockedSignals {
public:
    explicit BlockedSignals(const sigset_t& signals);
    ~BlockedSignals();
    BlockedSignals(const BlockedSignals&) = delete;
    BlockedSignals& operator=(const BlockedSignals&) = delete;

    // Whether `signal` was blocked already before this block began.
    bool was_blocked(int signal) const { return sigismember(&previous_, signal) == 1; }

    // kTerminationSignals as a set.
    static sigset_t termination();
    // Every signal that can be held off, but those that a faulting
    // instruction raises (a thread that blocks them cannot report its fault).
    static sigset_t asynchronous();

private:
    sigset_t previous_;
};
