// Linked into a copy of the program for the tests: every form of the global
// operator new, counted from the moment main begins, so that a test can make
// the K-th allocation of a run fail and see what the program does then.
//
//   TAVREL_FAIL_NEW_AT=K       the K-th allocation (from 1) fails: the
//                              throwing forms throw std::bad_alloc, the
//                              nothrow forms give null; all others succeed
//   TAVREL_NEW_COUNT_FILE=F    the number of allocations made is written to
//                              F when the process exits normally
//   TAVREL_FAIL_NEW_RANK=R     both only in the MPI process of rank R
//                              (PMI_RANK)
//   TAVREL_FAIL_NEW_TRACE=1    the failing allocation's call stack goes to
//                              standard error, for finding where it was
//
// The program is linked with --wrap=main: the allocations of static
// initialisation, which no program could answer with a message, are not
// counted and never fail.

#include <execinfo.h>

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

std::atomic<bool> counting{false};
std::atomic<long long> made{0};
long long fail_at = 0;
bool trace = false;
const char* count_file = nullptr;

long long number_from(const char* name) {
    const char* text = std::getenv(name);
    return text ? std::atoll(text) : 0;
}

// Whether this allocation is the one that fails.
bool fails_now() {
    if (!counting.load(std::memory_order_relaxed)) return false;
    const long long k = made.fetch_add(1, std::memory_order_relaxed) + 1;
    if (k != fail_at) return false;
    if (trace) {
        void* frames[64];
        backtrace_symbols_fd(frames, backtrace(frames, 64), 2);
    }
    return true;
}

void write_count() {
    if (count_file == nullptr) return;
    if (std::FILE* f = std::fopen(count_file, "w")) {
        std::fprintf(f, "%lld\n", made.load());
        std::fclose(f);
    }
}

void* allocate(std::size_t size, std::size_t alignment) {
    if (size == 0) size = 1;
    if (alignment <= alignof(std::max_align_t)) return std::malloc(size);
    const std::size_t rounded = (size + alignment - 1) / alignment * alignment;
    return std::aligned_alloc(alignment, rounded);
}

void* allocate_or_throw(std::size_t size, std::size_t alignment) {
    if (fails_now()) throw std::bad_alloc();
    void* p = allocate(size, alignment);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

void* allocate_or_null(std::size_t size, std::size_t alignment) noexcept {
    if (fails_now()) return nullptr;
    return allocate(size, alignment);
}

constexpr std::size_t kPlain = alignof(std::max_align_t);

}  // namespace

extern "C" int __real_main(int argc, char** argv);

extern "C" int __wrap_main(int argc, char** argv) {
    const char* rank = std::getenv("TAVREL_FAIL_NEW_RANK");
    const char* own_rank = std::getenv("PMI_RANK");
    const bool chosen =
        rank == nullptr || (own_rank != nullptr && std::strcmp(rank, own_rank) == 0);
    if (chosen) {
        fail_at = number_from("TAVREL_FAIL_NEW_AT");
        count_file = std::getenv("TAVREL_NEW_COUNT_FILE");
        trace = number_from("TAVREL_FAIL_NEW_TRACE") != 0;
        std::atexit(write_count);
    }
    counting.store(true);
    return __real_main(argc, argv);
}

void* operator new(std::size_t size) {
    return allocate_or_throw(size, kPlain);
}
void* operator new[](std::size_t size) {
    return allocate_or_throw(size, kPlain);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return allocate_or_throw(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return allocate_or_throw(size, static_cast<std::size_t>(alignment));
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return allocate_or_null(size, kPlain);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return allocate_or_null(size, kPlain);
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return allocate_or_null(size, static_cast<std::size_t>(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return allocate_or_null(size, static_cast<std::size_t>(alignment));
}

// Every form of delete, so that no other definition of the pair is linked.
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
