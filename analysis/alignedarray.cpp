#include "analysis/alignedarray.h"

#include <sys/mman.h>

#include <algorithm>
#include <mutex>
#include <new>
#include <vector>

#include "analysis/check.h"

namespace {

// Blocks of this size and more are mapped from the system: the allocator
// would keep them once freed (it raises its own mapping threshold to the
// largest block freed), in the free lists of the thread that allocated
// them.
constexpr std::size_t kMappedBytes = std::size_t{256} << 10;
// A kept block serves a request that leaves at most this share of it unused.
constexpr std::size_t kMostUnusedShare = 4;

// The large blocks of the process. A freed block is kept for the next
// request of a similar size from any thread (a split step's buffers after
// those of the step before it), which saves mapping it and faulting its
// pages in again; the blocks in use and kept together never hold more
// than the most that was ever asked for at once.
class LargeBlocks {
public:
    void* take(std::size_t* bytes) {
        const std::size_t wanted = *bytes;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            wanted_ += wanted;
            most_wanted_ = std::max(most_wanted_, wanted_);
            auto best = kept_.end();
            for (auto b = kept_.begin(); b != kept_.end(); ++b) {
                const bool fits =
                    b->bytes >= wanted && b->bytes - wanted <= b->bytes / kMostUnusedShare;
                if (fits && (best == kept_.end() || b->bytes < best->bytes)) best = b;
            }
            if (best != kept_.end()) {
                Block block = *best;
                kept_.erase(best);
                kept_bytes_ -= block.bytes;
                block.wanted = wanted;
                use(block);
                *bytes = block.bytes;
                return block.start;
            }
            // Room for the new block first.
            held_ += wanted;
            unmap_excess();
            held_ -= wanted;
        }
        void* start =
            mmap(nullptr, wanted, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        std::lock_guard<std::mutex> lock(mutex_);
        if (start == MAP_FAILED) {
            wanted_ -= wanted;
            throw std::bad_alloc();
        }
        use({start, wanted, wanted});
        return start;
    }

    void give(void* start) {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = std::find_if(in_use_.begin(), in_use_.end(),
                                        [start](const Block& b) { return b.start == start; });
        tavrel_assert(found != in_use_.end());
        const Block block = *found;
        in_use_.erase(found);
        held_ -= block.bytes;
        wanted_ -= block.wanted;
        kept_.push_back(block);
        kept_bytes_ += block.bytes;
        unmap_excess();
    }

private:
    struct Block {
        void* start;
        std::size_t bytes;
        // What the request that holds it asked for.
        std::size_t wanted;
    };

    void use(const Block& block) {
        in_use_.push_back(block);
        held_ += block.bytes;
    }

    // Under the mutex: gives the largest kept blocks back to the system
    // until no more is held than was ever asked for at once.
    void unmap_excess() {
        while (!kept_.empty() && held_ + kept_bytes_ > most_wanted_) {
            const auto largest =
                std::max_element(kept_.begin(), kept_.end(),
                                 [](const Block& a, const Block& b) { return a.bytes < b.bytes; });
            munmap(largest->start, largest->bytes);
            kept_bytes_ -= largest->bytes;
            kept_.erase(largest);
        }
    }

    std::mutex mutex_;
    std::vector<Block> in_use_;
    std::vector<Block> kept_;
    // Bytes of the blocks in use, of those kept, and asked for by those in
    // use; the most ever asked for at once.
    std::size_t held_ = 0;
    std::size_t kept_bytes_ = 0;
    std::size_t wanted_ = 0;
    std::size_t most_wanted_ = 0;
};

LargeBlocks& large_blocks() {
    static LargeBlocks blocks;
    return blocks;
}

}  // namespace

void* allocate_aligned(std::size_t* bytes) {
    if (*bytes < kMappedBytes) return ::operator new(*bytes, std::align_val_t(kCacheLineBytes));
    return large_blocks().take(bytes);
}

void free_aligned(void* block, std::size_t bytes) {
    if (bytes < kMappedBytes) {
        ::operator delete(block, std::align_val_t(kCacheLineBytes));
        return;
    }
    large_blocks().give(block);
}
