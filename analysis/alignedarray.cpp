#include "analysis/alignedarray.h"

#include <sys/mman.h>

#include <new>

namespace {

// Blocks of this size and more are mapped: the allocator would keep them
// once freed (it raises its own mapping threshold to the largest block
// freed), in the free lists of the thread that allocated them.
constexpr std::size_t kMappedBytes = std::size_t{256} << 10;

}  // namespace

void* allocate_aligned(std::size_t bytes) {
    if (bytes < kMappedBytes) return ::operator new(bytes, std::align_val_t(kCacheLineBytes));
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) throw std::bad_alloc();
    return block;
}

void free_aligned(void* block, std::size_t bytes) {
    if (bytes < kMappedBytes) {
        ::operator delete(block, std::align_val_t(kCacheLineBytes));
        return;
    }
    munmap(block, bytes);
}
