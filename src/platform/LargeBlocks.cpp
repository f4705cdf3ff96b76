#include "platform/LargeBlocks.h"

#include <malloc.h>
#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace quorvane {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t MappedSize(std::size_t bytes) {
    return (bytes + kHugePage - 1) & ~(kHugePage - 1);
}

} // namespace

void ReturnLargeBlocksAtOnce() {
    // The default threshold, set once: a fixed value keeps it from growing.
    static const bool set = mallopt(M_MMAP_THRESHOLD, 128 * 1024) != 0;
    (void)set;
}

void* AllocateLargeBlock(std::size_t bytes) {
    if (bytes < kHugePage) {
        if (void* block = std::malloc(bytes == 0 ? 1 : bytes))
            return block;
        throw std::bad_alloc();
    }
    // Huge pages need an aligned start: map one more, then give back what
    // lies before and after the aligned part.
    const std::size_t size = MappedSize(bytes);
    void* mapped =
        mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        throw std::bad_alloc();
    char* const start = static_cast<char*>(mapped);
    const std::size_t misalign = reinterpret_cast<std::uintptr_t>(start) & (kHugePage - 1);
    const std::size_t lead = misalign == 0 ? 0 : kHugePage - misalign;
    char* const block = start + lead;
    if (lead > 0)
        munmap(start, lead);
    if (lead < kHugePage)
        munmap(block + size, kHugePage - lead);
    madvise(block, size, MADV_HUGEPAGE); // a hint: without it the block works the same
    return block;
}

void FreeLargeBlock(void* block, std::size_t bytes) noexcept {
    if (bytes < kHugePage)
        std::free(block);
    else
        munmap(block, MappedSize(bytes));
}

} // namespace quorvane
