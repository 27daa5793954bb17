#pragma once

#include <QString>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Shares one QString among equal texts of a column: statuses, names and dates repeat from row to
// row, so a list of many rows keeps each of them once instead of once a row, and reading them
// costs a hash look-up instead of a conversion. A column whose texts keep differing (titles,
// identifiers) stops being shared once it has shown more than kLimit different texts.
class TextInterner {
public:
    static constexpr size_t kLimit = 65536;

    // The text for the bytes, made by `make` the first time these bytes are seen.
    template <class Make>
    QString text(std::string_view bytes, Make&& make) {
        if (!m_sharing) {
            return make();
        }
        if (m_slots.empty()) {
            m_slots.resize(64);
        }
        const size_t hash = std::hash<std::string_view>{}(bytes);
        size_t index = hash & (m_slots.size() - 1);
        while (m_slots[index].used) {
            const Slot& slot = m_slots[index];
            if (slot.hash == hash && slot.bytes == bytes) {
                return slot.text;
            }
            index = (index + 1) & (m_slots.size() - 1);
        }
        QString made = make();
        if (m_count >= kLimit) {
            m_sharing = false;
            m_slots = {};
            return made;
        }
        m_slots[index] = {hash, std::string(bytes), made, true};
        if (++m_count * 2 > m_slots.size()) {
            grow();
        }
        return made;
    }

private:
    struct Slot {
        size_t hash = 0;
        std::string bytes;
        QString text;
        bool used = false;
    };

    void grow() {
        std::vector<Slot> old = std::move(m_slots);
        m_slots.assign(old.size() * 2, Slot{});
        for (Slot& slot : old) {
            if (slot.used) {
                size_t index = slot.hash & (m_slots.size() - 1);
                while (m_slots[index].used) {
                    index = (index + 1) & (m_slots.size() - 1);
                }
                m_slots[index] = std::move(slot);
            }
        }
    }

    std::vector<Slot> m_slots;
    size_t m_count = 0;
    bool m_sharing = true;
};
