#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <span>
#include <type_traits>

#include "large_blocks.h"

// An array of plain values that grows at its end, whose copies share its memory: a copy costs
// nothing, however long the array. Each copy reads only the values up to its own size. Values are
// appended in place, beyond every copy's size, as long as no copy appended further; any other
// change (a value replaced, the array shortened) is made in memory of its own when a copy shares
// it. A copy thus never sees a change, also when it is read on another thread while the array
// grows: the two touch different values. Copies are made and let go of on one thread.
template <class T>
class SharedArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    size_t capacity() const { return m_block ? m_block->capacity : 0; }
    const T* data() const { return m_block ? m_block->values : nullptr; }
    const T* begin() const { return data(); }
    const T* end() const { return data() + m_size; }
    const T& operator[](size_t index) const { return m_block->values[index]; }
    operator std::span<const T>() const { return {data(), m_size}; }

    void push_back(T value) { *extend(1) = value; }
    void append(const T* values, size_t count) { std::copy(values, values + count, extend(count)); }
    // Appends `count` values for the caller to write; gives where they start.
    T* extend(size_t count) {
        const size_t size = m_size + count;
        if (!m_block || m_block->used != m_size || size > m_block->capacity) {
            moveTo(std::max({size, capacity() * 2, size_t{16}}));
        }
        T* const start = m_block->values + m_size;
        m_size = size;
        m_block->used = size;
        return start;
    }
    void set(size_t index, T value) {
        own();
        m_block->values[index] = value;
    }
    void shorten(size_t size) {
        own();
        m_size = std::min(size, m_size);
        if (m_block) {
            m_block->used = m_size;
        }
    }
    void reserve(size_t capacity) {
        if (capacity > this->capacity()) {
            moveTo(capacity);
        }
    }

private:
    struct Block {
        explicit Block(size_t size)
            : values(static_cast<T*>(LargeBlocks::allocate(size * sizeof(T)))), capacity(size) {}
        ~Block() { LargeBlocks::release(values, capacity * sizeof(T)); }
        Block(const Block&) = delete;
        Block& operator=(const Block&) = delete;

        T* const values;
        const size_t capacity;
        size_t used = 0;  // how far the copies that share the block appended
    };

    // The values in memory of their own, when a copy shares them.
    void own() {
        if (m_block && m_block.use_count() > 1) {
            moveTo(m_block->capacity);
        }
    }
    void moveTo(size_t capacity) {
        auto block = std::make_shared<Block>(capacity);
        std::copy(begin(), end(), block->values);
        block->used = m_size;
        m_block = std::move(block);
    }

    std::shared_ptr<Block> m_block;
    size_t m_size = 0;
};
