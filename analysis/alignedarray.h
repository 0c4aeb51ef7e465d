#pragma once

#include <cstddef>

constexpr std::size_t kCacheLineBytes = 64;

// Memory for AlignedArray: `bytes` on a cache-line boundary; throws
// std::bad_alloc as operator new does. Large blocks are mapped from the
// system and given back to it when freed, whichever thread frees them, so
// that the large code buffers of one split step are not kept by the
// allocator for the thread that happened to train it.
void* allocate_aligned(std::size_t bytes);
void free_aligned(void* block, std::size_t bytes);

// A heap array whose first element sits on a cache-line boundary, for the
// vector loads of the epoch kernels. Its elements are left uninitialised.
template <typename T>
class AlignedArray {
public:
    static constexpr std::size_t kAlignment = kCacheLineBytes;

    AlignedArray() = default;
    ~AlignedArray() { release(); }
    AlignedArray(const AlignedArray&) = delete;
    AlignedArray& operator=(const AlignedArray&) = delete;

    // Room for at least `count` elements; the contents are lost when it grows.
    void reserve(std::size_t count) {
        if (count <= capacity_) return;
        release();
        data_ = static_cast<T*>(allocate_aligned(count * sizeof(T)));
        capacity_ = count;
    }

    std::size_t capacity() const { return capacity_; }
    // Gives the memory back.
    void release() {
        if (data_) free_aligned(data_, capacity_ * sizeof(T));
        data_ = nullptr;
        capacity_ = 0;
    }

    T* data() { return data_; }
    const T* data() const { return data_; }
    T& operator[](std::size_t i) { return data_[i]; }
    const T& operator[](std::size_t i) const { return data_[i]; }

private:
    T* data_ = nullptr;
    std::size_t capacity_ = 0;
};
