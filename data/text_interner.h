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
// the texts can keep them by number: a record set numbers the texts it reads with the interner
// of whoever keeps them (a list column, RecordSet::numberedText), or with one of its own. Equal
// numbers are equal texts.
//
// A text is found by the bytes it was made from (a value as the engine stored it), or by the text
// itself; the two never stand for each other, since a stored value's bytes need not be its text
// (a date). The look-up touches little memory, as it runs for every cell of a large list: a table
// of 8-byte slots, and the stored values' bytes side by side.
class TextInterner {
public:
    static constexpr size_t kLimit = 65536;
    // The number of a text that is not shared.
    static constexpr uint32_t kNone = UINT32_MAX;

    struct Shared {
        const QString* text = nullptr;  // null once the column is no longer shared
        uint32_t number = kNone;
    };

    // The text for the stored bytes, made by `make` the first time these bytes are seen, with
    // its number; or, once the column is no longer shared, nothing (the caller makes the text).
    template <class Make>
    Shared find(std::string_view bytes, Make&& make) {
        return findBy(
            hashOf(bytes),
            [&](const Entry& entry) {
                return !entry.byText &&
                       std::string_view(m_bytes.data() + entry.start, entry.size) == bytes;
            },
            [&] {
                Entry entry{make(), m_bytes.size(), static_cast<uint32_t>(bytes.size()), false};
                m_bytes.append(bytes);
                return entry;
            });
    }

    // The same text kept once, found by the text itself; or nothing once no longer shared.
    Shared find(const QString& text) {
        return findBy(
            hashOf(text), [&](const Entry& entry) { return entry.byText && entry.text == text; },
            [&] {
                // A text that does not own its characters (raw data) is copied: what it points
                // to may go.
                return Entry{
                    text.data_ptr().isMutable() ? text : QString(text.constData(), text.size()), 0,
                    0, true};
            });
    }

    // False once a text was one too many: nothing is found from then on, and the texts kept
    // until then stay readable by number until release().
    bool sharing() const { return m_sharing; }
    size_t count() const { return m_entries.size(); }
    const QString& text(uint32_t number) const { return m_entries[number].text; }
    // Lets go of the texts of an interner that no longer shares.
    void release() {
        if (!m_sharing && !m_entries.empty()) {
            m_entries = {};
        }
    }

private:
    struct Slot {
        uint32_t tag = 0;    // the high half of the text's hash
        uint32_t entry = 0;  // 1 + the entry's index; 0 for an empty slot
    };
    struct Entry {
        QString text;
        size_t start = 0;   // the stored bytes in m_bytes
        uint32_t size = 0;  // (none for a text found by itself)
        bool byText = false;
    };

    static size_t hashOf(std::string_view bytes) { return std::hash<std::string_view>{}(bytes); }
    static size_t hashOf(const QString& text) {
        return std::hash<std::u16string_view>{}(std::u16string_view(
            reinterpret_cast<const char16_t*>(text.constData()), static_cast<size_t>(text.size())));
    }
    size_t hashOf(const Entry& entry) const {
        return entry.byText ? hashOf(entry.text)
                            : hashOf(std::string_view(m_bytes.data() + entry.start, entry.size));
    }

    template <class Same, class Make>
    Shared findBy(size_t hash, Same&& same, Make&& make) {
        if (!m_sharing) {
            return {};
        }
        if (m_slots.empty()) {
            m_slots.resize(64);
        }
        const auto tag = static_cast<uint32_t>(hash >> 32);
        const size_t mask = m_slots.size() - 1;
        size_t index = hash & mask;
        for (; m_slots[index].entry != 0; index = (index + 1) & mask) {
            const Slot slot = m_slots[index];
            if (slot.tag == tag && same(m_entries[slot.entry - 1])) {
                return {&m_entries[slot.entry - 1].text, slot.entry - 1};
            }
        }
        if (m_entries.size() >= kLimit) {
            m_sharing = false;
            m_slots = {};
            m_bytes = {};
            return {};
        }
        m_entries.push_back(make());
        m_slots[index] = {tag, static_cast<uint32_t>(m_entries.size())};
        if (m_entries.size() * 2 > m_slots.size()) {
            grow();
        }
        return {&m_entries.back().text, static_cast<uint32_t>(m_entries.size() - 1)};
    }

    void grow() {
        std::vector<Slot> table(m_slots.size() * 2);
        const size_t mask = table.size() - 1;
        for (const Entry& entry : m_entries) {
            const size_t hash = hashOf(entry);
            size_t index = hash & mask;
            while (table[index].entry != 0) {
                index = (index + 1) & mask;
            }
            table[index] = {static_cast<uint32_t>(hash >> 32),
                            static_cast<uint32_t>(&entry - m_entries.data() + 1)};
        }
        m_slots = std::move(table);
    }

    std::vector<Slot> m_slots;
    std::vector<Entry> m_entries;  // by number
    std::string m_bytes;
    bool m_sharing = true;
};
