#include "tests/support/replacednew.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

// Constant-initialised: allocations of static initialisation find it.
std::atomic<replacednew::Decider> decider{nullptr};

constexpr std::size_t kPlain = alignof(std::max_align_t);

bool fails(void* caller) {
    const replacednew::Decider decide = decider.load(std::memory_order_relaxed);
    return decide != nullptr && decide(caller);
}

void* allocate(std::size_t size, std::size_t alignment) {
    if (size == 0) size = 1;
    if (alignment <= kPlain) return std::malloc(size);
    const std::size_t rounded = (size + alignment - 1) / alignment * alignment;
    return std::aligned_alloc(alignment, rounded);
}

void* allocate_or_throw(std::size_t size, std::size_t alignment, void* caller) {
    if (fails(caller)) throw std::bad_alloc();
    void* p = allocate(size, alignment);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

void* allocate_or_null(std::size_t size, std::size_t alignment, void* caller) noexcept {
    if (fails(caller)) return nullptr;
    return allocate(size, alignment);
}

std::size_t size_of(std::align_val_t alignment) {
    return static_cast<std::size_t>(alignment);
}

}  // namespace

namespace replacednew {

void set_decider(Decider decide) {
    decider.store(decide, std::memory_order_relaxed);
}

}  // namespace replacednew

void* operator new(std::size_t size) {
    return allocate_or_throw(size, kPlain, __builtin_return_address(0));
}
void* operator new[](std::size_t size) {
    return allocate_or_throw(size, kPlain, __builtin_return_address(0));
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return allocate_or_throw(size, size_of(alignment), __builtin_return_address(0));
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return allocate_or_throw(size, size_of(alignment), __builtin_return_address(0));
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return allocate_or_null(size, kPlain, __builtin_return_address(0));
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return allocate_or_null(size, kPlain, __builtin_return_address(0));
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return allocate_or_null(size, size_of(alignment), __builtin_return_address(0));
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return allocate_or_null(size, size_of(alignment), __builtin_return_address(0));
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
void operator delete(void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    std::free(p);
}
