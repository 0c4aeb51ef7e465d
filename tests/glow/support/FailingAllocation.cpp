#include "tests/glow/support/FailingAllocation.h"

#include <cstdlib>
#include <new>

namespace {

// The number of this thread's allocations to let through before one fails;
// negative: none fails.
thread_local int allocationsBeforeFailure = -1;

void* Allocate(std::size_t size) {
    if (allocationsBeforeFailure == 0) {
        allocationsBeforeFailure = -1;
        throw std::bad_alloc();
    }
    if (allocationsBeforeFailure > 0) --allocationsBeforeFailure;
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

}  // namespace

namespace glowtest {

void FailThisThreadsAllocationAfter(int passing) {
    allocationsBeforeFailure = passing;
}

void StopFailingAllocations() {
    allocationsBeforeFailure = -1;
}

}  // namespace glowtest

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
