#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Memory for the large arrays of a long list: its columns, its orders, the find field's folded
// texts. A block of a megabyte or more comes straight from the system, asked for in huge pages,
// so that filling a list of a million rows takes the memory in a few hundred steps instead of
// tens of thousands of page faults. Where the system offers no huge pages the block simply has
// ordinary ones; smaller blocks come from the ordinary allocator.
namespace LargeBlocks {

void* allocate(std::size_t bytes);
void release(void* block, std::size_t bytes) noexcept;

// Gives what the ordinary allocator keeps of the memory freed to it back to the system, not only
// to its free lists: once a long list is filled, whatever the filling used for a while (the old
// rows, the read-ahead batches, the growing columns).
void giveBackFreed() noexcept;

}  // namespace LargeBlocks

template <class T>
class LargeBlockAllocator {
public:
    using value_type = T;

    LargeBlockAllocator() = default;
    template <class U>
    explicit LargeBlockAllocator(const LargeBlockAllocator<U>&) noexcept {}

    T* allocate(std::size_t count) {
        return static_cast<T*>(LargeBlocks::allocate(count * sizeof(T)));
    }
    void deallocate(T* block, std::size_t count) noexcept {
        LargeBlocks::release(block, count * sizeof(T));
    }
    friend bool operator==(const LargeBlockAllocator&, const LargeBlockAllocator&) { return true; }
};

template <class T>
using LargeVector = std::vector<T, LargeBlockAllocator<T>>;
using LargeString = std::basic_string<char, std::char_traits<char>, LargeBlockAllocator<char>>;
