#include "tests/glow/support/FailingAllocation.h"

#include "tests/support/replacednew.h"

namespace {

// The number of this thread's allocations to let through before one fails;
// negative: none fails.
thread_local int allocationsBeforeFailure = -1;

bool ThisThreadFails(void*) {
    if (allocationsBeforeFailure < 0) return false;
    if (allocationsBeforeFailure-- > 0) return false;
    return true;
}

}  // namespace

namespace glowtest {

void FailThisThreadsAllocationAfter(int passing) {
    replacednew::set_decider(ThisThreadFails);
    allocationsBeforeFailure = passing;
}

void StopFailingAllocations() {
    allocationsBeforeFailure = -1;
}

}  // namespace glowtest
