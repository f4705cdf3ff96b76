#pragma once

#include <cstddef>
#include <new>

namespace quorvane {

// Makes the C library give every large block (a batch of rows, the list's
// row array) its own mapping, returned to the system as soon as it is freed.
// By default the threshold for that grows with the largest block freed so
// far, and then freed batches stay resident in the heap of each thread that
// made them: with a million rows handed from the walk's threads to the
// window, several megabytes per thread. Affects the whole process; calling it
// again does nothing more.
void ReturnLargeBlocksAtOnce();

// A block of at least `bytes` for a table that is read at random: from 2 MiB
// up it is its own mapping on huge pages where the kernel grants them, so a
// lookup costs no page-table walk and filling it costs one fault per 2 MiB
// instead of one per 4 KiB. Throws std::bad_alloc when nothing is left.
void* AllocateLargeBlock(std::size_t bytes);
void FreeLargeBlock(void* block, std::size_t bytes) noexcept;

// For std::vector and friends.
template <typename T> struct LargeBlockAllocator {
    using value_type = T;
    LargeBlockAllocator() noexcept = default;
    template <typename U> LargeBlockAllocator(const LargeBlockAllocator<U>&) noexcept {}
    T* allocate(std::size_t count) {
        if (count > static_cast<std::size_t>(-1) / sizeof(T))
            throw std::bad_alloc();
        return static_cast<T*>(AllocateLargeBlock(count * sizeof(T)));
    }
    void deallocate(T* block, std::size_t count) noexcept {
        FreeLargeBlock(block, count * sizeof(T));
    }
    template <typename U> bool operator==(const LargeBlockAllocator<U>&) const noexcept {
        return true;
    }
};

} // namespace quorvane
