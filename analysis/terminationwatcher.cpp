#include "analysis/terminationwatcher.h"

#include <pthread.h>
#include <signal.h>

#include <cstdlib>
#include <system_error>
#include <thread>

#include "analysis/blockedsignals.h"
#include "analysis/outputrelay.h"
#include "analysis/treefile.h"

namespace {

// The signals of `signals` still at their default action.
sigset_t at_default(const sigset_t& signals) {
    sigset_t result;
    sigemptyset(&result);
    for (int signal = 1; signal < NSIG; ++signal) {
        if (sigismember(&signals, signal) != 1) continue;
        struct sigaction action;
        if (sigaction(signal, nullptr, &action) == 0 && action.sa_handler == SIG_DFL) {
            sigaddset(&result, signal);
        }
    }
    return result;
}

[[noreturn]] void watch(sigset_t watched) {
    int signal = 0;
    while (sigwait(&watched, &signal) != 0) {
    }
    // A line that is going into the tree file goes in whole, and no other
    // starts; then the signal takes its default action on this thread.
    stop_tree_appends();
    // The lines given so far reach a reader that reads.
    end_output_relay();
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    raise(signal);
    // Not reached: the default action of these signals ends the process.
    std::_Exit(EXIT_FAILURE);
}

}  // namespace

void start_termination_watcher() {
    const sigset_t watched = at_default(BlockedSignals::termination());
    if (sigisemptyset(&watched)) return;
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &watched, &previous);
    try {
        std::thread(watch, watched).detach();
    } catch (const std::system_error&) {
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    }
}
