#ifndef TESTS_GLOW_SUPPORT_FAILINGALLOCATION_H
#define TESTS_GLOW_SUPPORT_FAILINGALLOCATION_H

// A test program that links this replaces the global operator new: an
// allocation of the calling thread can be made to fail, as when memory runs
// out. Other threads' allocations (the GL driver's, say) are left alone.

namespace glowtest {

// This thread's next `passing` allocations succeed, the one after them
// throws std::bad_alloc, and all later ones succeed again.
void FailThisThreadsAllocationAfter(int passing);
// No allocation of this thread fails any more.
void StopFailingAllocations();

}  // namespace glowtest

#endif
