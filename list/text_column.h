#pragma once

#include <QHash>
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "large_blocks.h"

// The texts of one list column, row by row, held compactly. While the column repeats its texts
// (statuses, names, dates) it is shared: each different text is kept once and a row holds only
// the number of its text. Once it has shown more than kSharedLimit different texts (titles,
// identifiers) it is packed: the rows' texts stand one after another in one UTF-8 buffer. A
// column of many rows thus costs a few bytes a row instead of a string of its own.
// The storage is never shrunk after a filling: the capacity a growing buffer never wrote to
// takes no memory, and shrinking would copy (and fault in) the whole column once more.
class TextColumn {
public:
    // A shared row holds its text's number in 16 bits.
    static constexpr size_t kSharedLimit = 65536;

    size_t size() const { return m_shared ? m_values.size() : m_ends.size(); }
    void clear();
    void append(const QString& text);
    // Appends a text that comes with its number among the texts given so far (see
    // RecordSet::numberedText): a number seen before is the same text, found without comparing
    // it. Every number given between two clear() calls must come from one numbering.
    static constexpr uint32_t kNotNumbered = UINT32_MAX;
    void append(const QString& text, uint32_t number);
    // Replaces the text of a row; the last row's cheaply, any other row's in a packed column by
    // packing the column anew.
    void set(size_t row, const QString& text);
    QString text(size_t row) const;

    // Shared: the column's different texts, and the one of each row.
    bool shared() const { return m_shared; }
    size_t distinctCount() const { return m_distinct.size(); }
    const QString& distinct(uint32_t value) const { return m_distinct[value]; }
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
    std::string_view allUtf8() const { return m_bytes; }
    const LargeVector<size_t>& utf8Ends() const { return m_ends; }

private:
    uint32_t valueFor(const QString& text);
    void pack();
    void appendPacked(const QString& text);

    bool m_shared = true;
    // Shared.
    std::vector<QString> m_distinct;
    QHash<QString, uint32_t> m_byText;
    std::vector<uint32_t> m_byNumber;  // a text's number -> its value, or kNotNumbered
    LargeVector<uint16_t> m_values;
    // Packed.
    LargeString m_bytes;
    LargeVector<size_t> m_ends;
    std::unordered_map<size_t, QString> m_odd;
};
