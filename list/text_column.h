#pragma once

#include <QString>
#include <cstdint>
#include <span>
#include <string_view>
#include <unordered_map>

#include "shared_array.h"
#include "text_interner.h"

// The texts of one list column, row by row, held compactly. While the column repeats its texts
// (statuses, names, dates) it is shared: each different text is kept once, numbered by the
// column's TextInterner, and a row holds only the number of its text. Once its interner stops
// sharing (more than kSharedLimit different texts: titles, identifiers) the column is packed: the
// rows' texts stand one after another in one UTF-8 buffer. A column of many rows thus costs a few
// bytes a row instead of a string of its own.
// The storage is never shrunk after a filling: the capacity a growing buffer never wrote to
// takes no memory, and shrinking would copy (and fault in) the whole column once more. A copy of
// the column shares its buffers (SharedArray), so that copying a long column costs little.
class TextColumn {
public:
    // A shared row holds its text's number in 16 bits.
    static constexpr size_t kSharedLimit = TextInterner::kLimit;
    static_assert(kSharedLimit <= size_t{UINT16_MAX} + 1);

    size_t size() const { return m_shared ? m_values.size() : m_ends.size(); }
    void clear();
    void append(const QString& text);
    // The texts a shared column keeps, numbered in the order they came; null once it is packed.
    // A reader that numbers the texts it reads with them (RecordSet::numberedText) appends each
    // by its number, which finds the text without comparing it.
    TextInterner* sharedTexts() { return m_shared ? &m_texts : nullptr; }
    // Appends a text numbered among sharedTexts(), or with TextInterner::kNone a text of its own.
    void append(const QString& text, uint32_t number);
    // Replaces the text of a row; the last row's cheaply, any other row's in a packed column by
    // packing the column anew.
    void set(size_t row, const QString& text);
    QString text(size_t row) const;

    // Shared: the column's different texts, and the one of each row.
    bool shared() const { return m_shared; }
    size_t distinctCount() const { return m_texts.count(); }
    const QString& distinct(uint32_t value) const { return m_texts.text(value); }
    uint32_t valueOf(size_t row) const { return m_values[row]; }

    // Packed: the row's text as UTF-8 bytes, when it has them. A text that UTF-8 cannot hold
    // (a lone surrogate) has none; text() gives it.
    bool hasUtf8(size_t row) const { return m_odd.empty() || m_odd.count(row) == 0; }
    std::string_view utf8(size_t row) const {
        const size_t start = row == 0 ? 0 : m_ends[row - 1];
        return {m_bytes.data() + start, m_ends[row] - start};
    }
    // Packed: every row's bytes one after another, and where each row's end.
    bool everyRowHasUtf8() const { return m_odd.empty(); }
    std::string_view allUtf8() const { return {m_bytes.data(), m_bytes.size()}; }
    std::span<const size_t> utf8Ends() const { return m_ends; }

private:
    void pack();
    void appendPacked(const QString& text);

    bool m_shared = true;
    // Shared.
    TextInterner m_texts;
    SharedArray<uint16_t> m_values;
    // Packed.
    SharedArray<char> m_bytes;
    SharedArray<size_t> m_ends;
    std::unordered_map<size_t, QString> m_odd;
};
