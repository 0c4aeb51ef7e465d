#include "analysis/processsignals.h"

#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <initializer_list>

#include "analysis/blockedsignals.h"

namespace {

// The kernel's record of a disposition, as rt_sigaction reads it.
struct KernelDisposition {
    void (*handler)(int);
    unsigned long flags;
    void (*restorer)();
    unsigned long mask;
};

// Signals ignored when the program started, as a bit set by number. Read
// before any library's initialiser runs, so nothing has changed them yet;
// at that moment a disposition is either the default or ignored, since a
// program starts without handlers of its own.
unsigned long long ignored_at_start = 0;

// Straight from the kernel through syscall, which no sanitizer takes over:
// a sanitizer's runtime, which takes over sigaction and the signal sets,
// may not be ready this early.
void record_start_dispositions(int, char**, char**) {
    for (int signal : kTerminationSignals) {
        KernelDisposition disposition{};
        if (syscall(SYS_rt_sigaction, signal, nullptr, &disposition, sizeof disposition.mask) ==
                0 &&
            disposition.handler == SIG_IGN) {
            ignored_at_start |= 1ull << signal;
        }
    }
}

// The executable's .preinit_array runs before the initialisers of every
// library it loads.
__attribute__((section(".preinit_array"),
               used)) void (*const record_at_start)(int, char**,
                                                    char**) = record_start_dispositions;

}  // namespace

void restore_start_dispositions() {
    for (int signal : kTerminationSignals) {
        struct sigaction action {};
        sigemptyset(&action.sa_mask);
        action.sa_handler = (ignored_at_start >> signal) & 1 ? SIG_IGN : SIG_DFL;
        sigaction(signal, &action, nullptr);
    }
}

void drop_unwritable_output() {
    for (int signal : {SIGPIPE, SIGXFSZ}) {
        struct sigaction action {};
        sigemptyset(&action.sa_mask);
        action.sa_handler = SIG_IGN;
        sigaction(signal, &action, nullptr);
    }
}
