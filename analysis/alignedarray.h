#pragma once

#include <cstddef>
#include <new>

// A heap array whose first element sits on a cache-line boundary, for the
// vector loads of the epoch kernels. Its elements are left uninitialised.
template <typename T>
class AlignedArray {
public:
    static constexpr std::size_t kAlignment = 64;

    AlignedArray() = default;
    ~AlignedArray() { release(); }
    AlignedArray(const AlignedArray&) = delete;
    AlignedArray& operator=(const AlignedArray&) = delete;

    // Room for at least `count` elements; the contents are lost when it grows.
    void reserve(std::size_t count) {
        if (count <= capacity_) return;
        release();
        data_ = static_cast<T*>(::operator new(count * sizeof(T), std::align_val_t(kAlignment)));
        capacity_ = count;
    }

    std::size_t capacity() const { return capacity_; }
    // Gives the memory back.
    void release() {
        if (data_) ::operator delete(data_, std::align_val_t(kAlignment));
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
