#include "list_rows.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <limits>
#include <string>
#include <string_view>

#include "date_text.h"

namespace {

using SortKind = ListRows::SortKind;

// Numbers and dates: an empty cell, or one that is neither, sorts before every value.
constexpr qint64 kNoValue = std::numeric_limits<qint64>::min();

bool isAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The key a number or date cell sorts by. Plain decimal digits are read without a QString.
qint64 numericKey(const QString& text, SortKind kind, const DateFormatter& dates) {
    if (text.isEmpty()) {
        return kNoValue;
    }
    if (kind == SortKind::Number) {
        bool ok = false;
        const qint64 number = text.toLongLong(&ok);
        return ok ? number : kNoValue;
    }
    return dates.sortKey(text).value_or(kNoValue);
}

qint64 numericKey(const TextColumn& texts, size_t row, SortKind kind, const DateFormatter& dates) {
    if (kind == SortKind::Number && texts.hasUtf8(row)) {
        const std::string_view bytes = texts.utf8(row);
        qint64 number = 0;
        const auto [end, error] =
            std::from_chars(bytes.data(), bytes.data() + bytes.size(), number);
        if (!bytes.empty() && bytes.front() != '-' && error == std::errc() &&
            end == bytes.data() + bytes.size()) {
            return number;
        }
    }
    return numericKey(texts.text(row), kind, dates);
}

// A text's key as its folded letters in an encoding whose byte order is the order of QString's
// comparison (its UTF-16 code units): each code unit on its own, in one to three bytes.
void appendTextKey(std::string& out, const QString& text) {
    for (const QChar c : text.toCaseFolded()) {
        const char16_t unit = c.unicode();
        if (unit < 0x80) {
            out.push_back(static_cast<char>(unit));
        } else if (unit < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (unit >> 6)));
            out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (unit >> 12)));
            out.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
        }
    }
}

// Sorts the rows of a packed text column by their folded texts, equal texts in stored order.
// The keys are compared eight bytes at a time, each row's next eight bytes kept beside it, so
// that the sort runs over a plain array and reads each key only once a round.
class TextKeySort {
public:
    TextKeySort(const TextColumn& texts, Qt::SortOrder order) : m_order(order) {
        const size_t rows = texts.size();
        m_ends.reserve(rows);
        for (size_t row = 0; row < rows; ++row) {
            const std::string_view bytes =
                texts.hasUtf8(row) ? texts.utf8(row) : std::string_view();
            if (texts.hasUtf8(row) && isAscii(bytes)) {
                for (const char c : bytes) {
                    m_keys.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
                }
            } else {
                appendTextKey(m_keys, texts.text(row));
            }
            m_ends.push_back(m_keys.size());
        }
    }

    std::vector<int> rows() {
        std::vector<Item> items(m_ends.size());
        for (size_t row = 0; row < items.size(); ++row) {
            items[row].row = static_cast<uint32_t>(row);
        }
        struct Range {
            size_t begin;
            size_t end;
            size_t depth;
        };
        std::vector<Range> pending{{0, items.size(), 0}};
        while (!pending.empty()) {
            const Range range = pending.back();
            pending.pop_back();
            const auto first = items.begin() + static_cast<std::ptrdiff_t>(range.begin);
            const auto last = items.begin() + static_cast<std::ptrdiff_t>(range.end);
            for (auto item = first; item != last; ++item) {
                load(*item, range.depth);
            }
            const bool allAlike = std::all_of(first, last, [&](const Item& item) {
                return item.chunk == first->chunk && item.left == first->left;
            });
            if (!allAlike) {
                std::sort(first, last, [this](const Item& a, const Item& b) {
                    if (a.chunk != b.chunk || a.left != b.left) {
                        const bool less = a.chunk != b.chunk ? a.chunk < b.chunk : a.left < b.left;
                        return m_order == Qt::AscendingOrder ? less : !less;
                    }
                    return a.row < b.row;
                });
            }
            // Rows alike so far whose keys go on are told apart by their next eight bytes.
            for (size_t begin = range.begin; begin < range.end;) {
                size_t end = begin + 1;
                while (end < range.end && items[end].chunk == items[begin].chunk &&
                       items[end].left == items[begin].left) {
                    ++end;
                }
                if (end - begin > 1 && items[begin].left > kChunk) {
                    pending.push_back({begin, end, range.depth + kChunk});
                }
                begin = end;
            }
        }
        std::vector<int> order;
        order.reserve(items.size());
        for (const Item& item : items) {
            order.push_back(static_cast<int>(item.row));
        }
        return order;
    }

private:
    static constexpr size_t kChunk = 8;
    struct Item {
        uint64_t chunk = 0;  // the key's bytes from the depth, big-endian, zeros past its end
        uint32_t left = 0;   // how many bytes of the key are left from the depth, at most 9
        uint32_t row = 0;
    };

    void load(Item& item, size_t depth) const {
        const size_t start = item.row == 0 ? 0 : m_ends[item.row - 1];
        const size_t length = m_ends[item.row] - start;
        const size_t left = length > depth ? length - depth : 0;
        uint64_t chunk = 0;
        for (size_t i = 0; i < kChunk; ++i) {
            chunk <<= 8;
            if (i < left) {
                chunk |= static_cast<unsigned char>(m_keys[start + depth + i]);
            }
        }
        item.chunk = chunk;
        item.left = static_cast<uint32_t>(std::min(left, kChunk + 1));
    }

    Qt::SortOrder m_order;
    std::string m_keys;
    std::vector<size_t> m_ends;
};

// Sorts rows by a key per row, equal keys in stored order.
template <typename Key>
std::vector<int> rowsByKeys(const std::vector<Key>& keys, Qt::SortOrder order) {
    std::vector<std::pair<Key, int>> pairs;
    pairs.reserve(keys.size());
    for (size_t row = 0; row < keys.size(); ++row) {
        pairs.emplace_back(keys[row], static_cast<int>(row));
    }
    std::sort(pairs.begin(), pairs.end(), [order](const auto& a, const auto& b) {
        if (a.first != b.first) {
            return order == Qt::AscendingOrder ? a.first < b.first : b.first < a.first;
        }
        return a.second < b.second;
    });
    std::vector<int> rows;
    rows.reserve(pairs.size());
    for (const auto& pair : pairs) {
        rows.push_back(pair.second);
    }
    return rows;
}

// Sorts the rows of a shared column: its different texts are ranked once, then the rows are
// counted into their ranks' places.
std::vector<int> sharedRows(const TextColumn& texts, SortKind kind, Qt::SortOrder order) {
    const size_t values = texts.distinctCount();
    std::vector<uint32_t> byKey(values);
    for (uint32_t value = 0; value < values; ++value) {
        byKey[value] = value;
    }
    std::vector<uint32_t> rank(values);
    // Equal keys share the rank of the first of them.
    const auto rankBy = [&](const auto& keys) {
        std::sort(byKey.begin(), byKey.end(),
                  [&keys](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });
        for (size_t i = 0; i < values; ++i) {
            rank[byKey[i]] = i > 0 && keys[byKey[i]] == keys[byKey[i - 1]]
                                 ? rank[byKey[i - 1]]
                                 : static_cast<uint32_t>(i);
        }
    };
    if (kind == SortKind::Text) {
        std::vector<QString> folded(values);
        for (uint32_t value = 0; value < values; ++value) {
            folded[value] = texts.distinct(value).toCaseFolded();
        }
        rankBy(folded);
    } else {
        const DateFormatter dates;
        std::vector<qint64> keys(values);
        for (uint32_t value = 0; value < values; ++value) {
            keys[value] = numericKey(texts.distinct(value), kind, dates);
        }
        rankBy(keys);
    }
    if (order == Qt::DescendingOrder) {
        for (uint32_t& each : rank) {
            each = static_cast<uint32_t>(values) - 1 - each;
        }
    }
    // Counting sort: stable, so equal keys keep their stored order.
    std::vector<size_t> place(values + 1, 0);
    const size_t rows = texts.size();
    for (size_t row = 0; row < rows; ++row) {
        ++place[rank[texts.valueOf(row)] + 1];
    }
    for (size_t i = 1; i <= values; ++i) {
        place[i] += place[i - 1];
    }
    std::vector<int> ordered(rows);
    for (size_t row = 0; row < rows; ++row) {
        ordered[place[rank[texts.valueOf(row)]]++] = static_cast<int>(row);
    }
    return ordered;
}

std::vector<int> orderedRows(const TextColumn& texts, SortKind kind, Qt::SortOrder order) {
    if (texts.shared()) {
        return sharedRows(texts, kind, order);
    }
    if (kind == SortKind::Text) {
        return TextKeySort(texts, order).rows();
    }
    const DateFormatter dates;
    std::vector<qint64> keys(texts.size());
    for (size_t row = 0; row < keys.size(); ++row) {
        keys[row] = numericKey(texts, row, kind, dates);
    }
    return rowsByKeys(keys, order);
}

}  // namespace

namespace {

// Emptied columns, and columns with a row's text replaced, begin an edition of their own.
uint64_t newEdition() {
    static std::atomic<uint64_t> last{0};
    return ++last;
}

}  // namespace

ListRows::ListRows() : m_columns(std::make_shared<ListColumns>()) {
    m_columns->m_edition = newEdition();
}

ListColumns& ListRows::writable() {
    if (m_columns.use_count() > 1) {
        m_columns = std::make_shared<ListColumns>(*m_columns);
    }
    return *m_columns;
}

ListColumns& ListRows::columnsToAppendTo() {
    ListColumns& columns = writable();
    if (columns.m_columns.empty()) {
        columns.m_columns.emplace_back();
    }
    return columns;
}

void ListRows::addColumn(SortKind kind) {
    ListColumns& columns = writable();
    TextColumn texts;
    for (size_t row = 0; row < columns.rows(); ++row) {
        texts.append({});
    }
    columns.m_columns.push_back(std::move(texts));
    m_sortKinds.push_back(kind);
}

ListRows::SortKind ListRows::sortKind(int column) const {
    return column >= 0 && static_cast<size_t>(column) < m_sortKinds.size()
               ? m_sortKinds[static_cast<size_t>(column)]
               : SortKind::Text;
}

int ListRows::rowAt(int position) const {
    return position >= 0 && position < count() ? m_order[static_cast<size_t>(position)] : -1;
}

QString ListRows::text(int position, int column) const {
    if (position < 0 || position >= count() || column < 0 ||
        static_cast<size_t>(column) >= m_columns->count()) {
        return {};
    }
    return (*m_columns)[static_cast<size_t>(column)].text(
        static_cast<size_t>(m_order[static_cast<size_t>(position)]));
}

void ListRows::clear() {
    // Fresh columns, so that a snapshot of the old ones keeps them and nothing is copied.
    auto emptied = std::make_shared<ListColumns>();
    emptied->m_columns.resize(m_columns->count());
    emptied->m_edition = newEdition();
    m_columns = std::move(emptied);
    m_allOrder = {};
    m_order = {};
    m_positions = {};
    m_removed = {};
    m_removedCount = 0;
}

void ListRows::appended(int row) {
    m_allOrder.push_back(row);
    m_orderStale = true;
    m_positions.clear();
}

int ListRows::append(const QString& text) {
    return appendRow(
        [&](size_t column, TextColumn& texts) { texts.append(column == 0 ? text : QString()); });
}

int ListRows::append(std::span<const QString> texts) {
    return appendRow([&](size_t column, TextColumn& cells) {
        cells.append(column < texts.size() ? texts[column] : QString());
    });
}

bool ListRows::set(int row, int column, const QString& text) {
    if (row < 0 || row >= nextRow() || removed(row) || column < 0 ||
        static_cast<size_t>(column) >= m_columns->count()) {
        return false;
    }
    ListColumns& columns = writable();
    columns.m_columns[static_cast<size_t>(column)].set(static_cast<size_t>(row), text);
    columns.m_edition = newEdition();
    return true;
}

int ListRows::positionOf(int row) const {
    if (m_positions.size() != m_columns->rows()) {
        auto& positions = const_cast<LargeVector<int>&>(m_positions);
        positions.assign(m_columns->rows(), -1);
        for (size_t position = 0; position < m_order.size(); ++position) {
            positions[static_cast<size_t>(m_order[position])] = static_cast<int>(position);
        }
    }
    if (row < 0 || static_cast<size_t>(row) >= m_positions.size()) {
        return -1;
    }
    return m_positions[static_cast<size_t>(row)];
}

int ListRows::positionOfText(const QString& text) const {
    if (m_columns->count() == 0) {
        return -1;
    }
    // The stored rows are searched, each text compared where it is kept; the first shown
    // position among the rows that hold it wins.
    const TextColumn& own = (*m_columns)[0];
    const QByteArray utf8 = text.toUtf8();
    const std::string_view wanted(utf8.constData(), static_cast<size_t>(utf8.size()));
    const bool byBytes = !own.shared() && text.isValidUtf16();
    int found = -1;
    for (size_t row = 0; row < own.size(); ++row) {
        const bool same =
            byBytes && own.hasUtf8(row) ? own.utf8(row) == wanted : own.text(row) == text;
        if (same) {
            const int position = positionOf(static_cast<int>(row));
            if (position >= 0 && (found < 0 || position < found)) {
                found = position;
            }
        }
    }
    return found;
}

bool ListRows::before(int a, int b) const {
    if (m_sorted && m_sortKey >= 0 && static_cast<size_t>(m_sortKey) < m_columns->count()) {
        const TextColumn& texts = (*m_columns)[static_cast<size_t>(m_sortKey)];
        const SortKind kind = sortKind(m_sortKey);
        const auto first = static_cast<size_t>(a);
        const auto second = static_cast<size_t>(b);
        int order = 0;  // as the sort compares the keys: < 0 when a's is smaller
        if (kind == SortKind::Text) {
            order = texts.text(first).toCaseFolded().compare(texts.text(second).toCaseFolded());
        } else {
            const DateFormatter dates;
            const qint64 left = numericKey(texts, first, kind, dates);
            const qint64 right = numericKey(texts, second, kind, dates);
            order = left < right ? -1 : (left > right ? 1 : 0);
        }
        if (order != 0) {
            return m_sortOrder == Qt::AscendingOrder ? order < 0 : order > 0;
        }
    }
    return a < b;  // equal keys, or no sort: the stored order
}

size_t ListRows::placeAmong(const LargeVector<int>& rows, int row) const {
    return static_cast<size_t>(
        std::lower_bound(rows.begin(), rows.end(), row,
                         [this](int each, int added) { return before(each, added); }) -
        rows.begin());
}

int ListRows::insert(std::span<const QString> texts) {
    ListColumns& columns = columnsToAppendTo();
    const int row = nextRow();
    for (size_t column = 0; column < columns.m_columns.size(); ++column) {
        columns.m_columns[column].append(column < texts.size() ? texts[column] : QString());
    }
    const size_t place = placeAmong(m_allOrder, row);
    m_allOrder.insert(m_allOrder.begin() + static_cast<std::ptrdiff_t>(place), row);
    m_positions.clear();
    return row;
}

int ListRows::shownPlace(int row) const {
    if (m_filter && !m_filter(row)) {
        return -1;
    }
    return static_cast<int>(placeAmong(m_order, row));
}

void ListRows::showAt(int position, int row) {
    m_order.insert(m_order.begin() + position, row);
    m_positions.clear();
}

bool ListRows::remove(int row) {
    if (row < 0 || row >= nextRow() || removed(row)) {
        return false;
    }
    m_removed.resize(static_cast<size_t>(nextRow()), 0);
    m_removed[static_cast<size_t>(row)] = 1;
    ++m_removedCount;
    const auto stored = std::find(m_allOrder.begin(), m_allOrder.end(), row);
    if (stored != m_allOrder.end()) {
        m_allOrder.erase(stored);
    }
    m_positions.clear();
    return true;
}

void ListRows::hideAt(int position) {
    m_order.erase(m_order.begin() + position);
    m_positions.clear();
}

void ListRows::sortBy(int column, Qt::SortOrder order) {
    m_sorted = true;
    m_sortKey = column;
    m_sortOrder = order;
}

void ListRows::settle() {
    if (m_orderStale && m_sorted) {
        orderRows();
    }
    m_orderStale = false;
    refilter();
}

void ListRows::reorder() {
    orderRows();
    refilter();
}

void ListRows::orderRows() {
    const int key = m_sortKey;
    if (key < 0 || static_cast<size_t>(key) >= m_columns->count()) {
        return;
    }
    const std::vector<int> ordered =
        orderedRows((*m_columns)[static_cast<size_t>(key)], sortKind(key), m_sortOrder);
    if (m_removedCount == 0) {
        m_allOrder.assign(ordered.begin(), ordered.end());
    } else {
        m_allOrder.clear();
        for (const int row : ordered) {
            if (!removed(row)) {
                m_allOrder.push_back(row);
            }
        }
    }
    m_positions.clear();
}

void ListRows::refilter() {
    if (!m_filter) {
        m_order = m_allOrder;
    } else {
        // The filter is asked in stored order, which reads whatever it keeps per row in the
        // order it was filled; only then are the rows let through taken in the sorted order.
        std::vector<char> shown(m_columns->rows());
        for (size_t row = 0; row < shown.size(); ++row) {
            shown[row] = !removed(static_cast<int>(row)) && m_filter(static_cast<int>(row)) ? 1 : 0;
        }
        m_order.clear();
        for (const int row : m_allOrder) {
            if (shown[static_cast<size_t>(row)] != 0) {
                m_order.push_back(row);
            }
        }
    }
    m_positions.clear();
}
