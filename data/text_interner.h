#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Shares one QString among equal texts of a column: statuses, names and dates repeat from row to
// row, so a list of many rows keeps each of them once instead of once a row, and reading them
// costs a hash look-up instead of a conversion. A column whose texts keep differing (titles,
// identifiers) stops being shared once it has shown more than kLimit different texts.
//
// Each different text has a number, in the order the texts first came, so that whoever keeps
// the texts can keep them by number. The look-up touches little memory, as it runs for every
// cell of a large list: a table of 8-byte slots, and the different texts' bytes side by side.
class TextInterner {
public:
    static constexpr size_t kLimit = 65536;

    struct Shared {
        const QString* text = nullptr;  // null once the column is no longer shared
        uint32_t number = 0;
    };

    // The text for the bytes, made by `make` the first time these bytes are seen, with its
    // number; or, once the column is no longer shared, nothing (the caller makes the text).
    template <class Make>
    Shared find(std::string_view bytes, Make&& make) {
        if (!m_sharing) {
            return {};
        }
        if (m_slots.empty()) {
            m_slots.resize(64);
        }
        const size_t hash = std::hash<std::string_view>{}(bytes);
        const auto tag = static_cast<uint32_t>(hash >> 32);
        const size_t mask = m_slots.size() - 1;
        size_t index = hash & mask;
        for (; m_slots[index].entry != 0; index = (index + 1) & mask) {
            const Slot slot = m_slots[index];
            if (slot.tag == tag) {
                const Entry& entry = m_entries[slot.entry - 1];
                if (std::string_view(m_bytes.data() + entry.start, entry.size) == bytes) {
                    return {&entry.text, slot.entry - 1};
                }
            }
        }
        if (m_entries.size() >= kLimit) {
            m_sharing = false;
            m_slots = {};
            m_entries = {};
            m_bytes = {};
            return {};
        }
        m_entries.push_back({make(), m_bytes.size(), bytes.size()});
        m_bytes.append(bytes);
        m_slots[index] = {tag, static_cast<uint32_t>(m_entries.size())};
        if (m_entries.size() * 2 > m_slots.size()) {
            grow();
        }
        return {&m_entries.back().text, static_cast<uint32_t>(m_entries.size() - 1)};
    }

private:
    struct Slot {
        uint32_t tag = 0;    // the high half of the text's hash
        uint32_t entry = 0;  // 1 + the entry's index; 0 for an empty slot
    };
    struct Entry {
        QString text;
        size_t start = 0;  // the bytes in m_bytes
        size_t size = 0;
    };

    void grow() {
        std::vector<Slot> slots(m_slots.size() * 2);
        const size_t mask = slots.size() - 1;
        for (const Entry& entry : m_entries) {
            const size_t hash = std::hash<std::string_view>{}(
                std::string_view(m_bytes.data() + entry.start, entry.size));
            size_t index = hash & mask;
            while (slots[index].entry != 0) {
                index = (index + 1) & mask;
            }
            slots[index] = {static_cast<uint32_t>(hash >> 32),
                            static_cast<uint32_t>(&entry - m_entries.data() + 1)};
        }
        m_slots = std::move(slots);
    }

    std::vector<Slot> m_slots;
    std::vector<Entry> m_entries;  // by number
    std::string m_bytes;
    bool m_sharing = true;
};
