#include "large_blocks.h"

#include <cstdint>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif
#ifdef __GLIBC__
#include <malloc.h>
#endif

// The address sanitizer watches only the ordinary allocator's blocks: under it, every block
// comes from there.
#if defined(__SANITIZE_ADDRESS__)
#define HELVARINE_ORDINARY_BLOCKS_ONLY 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HELVARINE_ORDINARY_BLOCKS_ONLY 1
#endif
#endif

namespace {

#if defined(__linux__) && !defined(HELVARINE_ORDINARY_BLOCKS_ONLY)
constexpr bool kSystemBlocks = true;
#else
constexpr bool kSystemBlocks = false;
#endif
constexpr std::size_t kLarge = std::size_t{1} << 20;
constexpr std::size_t kHugePage = std::size_t{2} << 20;

constexpr std::uintptr_t roundUp(std::uintptr_t value, std::size_t step) {
    return (value + step - 1) / step * step;
}

bool fromTheSystem(std::size_t bytes) {
    return kSystemBlocks && bytes >= kLarge;
}

}  // namespace

void* LargeBlocks::allocate(std::size_t bytes) {
    if (!fromTheSystem(bytes)) {
        return ::operator new(bytes);
    }
#if defined(__linux__)
    // A huge page must start on its own boundary: a page's more is asked for, and what lies
    // before the boundary and after the block is given back at once.
    const std::size_t size = roundUp(bytes, kHugePage);
    void* mapped =
        mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) {
        throw std::bad_alloc();
    }
    // The boundary is found by the address's number, and the block stays a pointer into the
    // mapping: the optimiser still knows where it came from.
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::size_t before = roundUp(start, kHugePage) - start;
    char* const block = static_cast<char*>(mapped) + before;
    if (before > 0) {
        munmap(mapped, before);
    }
    if (kHugePage > before) {
        munmap(block + size, kHugePage - before);
    }
    // Only a request: without transparent huge pages the block keeps ordinary ones.
    madvise(block, size, MADV_HUGEPAGE);
    return block;
#else
    return ::operator new(bytes);
#endif
}

void LargeBlocks::release(void* block, std::size_t bytes) noexcept {
    if (block == nullptr) {
        return;
    }
    if (!fromTheSystem(bytes)) {
        ::operator delete(block);
        return;
    }
#if defined(__linux__)
    munmap(block, roundUp(bytes, kHugePage));
#endif
}

void LargeBlocks::giveBackFreed() noexcept {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}
