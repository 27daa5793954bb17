#include "report_list.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <charconv>
#include <limits>

#include "date_text.h"

#include "fonts.h"
#include "twips.h"

namespace {

using SortKind = ReportListModel::SortKind;

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

ReportListModel::ReportListModel(QObject* parent) : QAbstractTableModel(parent) {}

void ReportListModel::addColumn(const QString& header, SortKind kind) {
    // A new column holds an empty text for every stored row.
    beginInsertColumns({}, static_cast<int>(m_headers.size()), static_cast<int>(m_headers.size()));
    TextColumn texts;
    for (size_t row = 0; row < handleCount(); ++row) {
        texts.append({});
    }
    m_columns.push_back(std::move(texts));
    m_headers.append(header);
    m_sortKinds.push_back(kind);
    endInsertColumns();
}

ReportListModel::SortKind ReportListModel::sortKind(int column) const {
    return column >= 0 && static_cast<size_t>(column) < m_sortKinds.size()
               ? m_sortKinds[static_cast<size_t>(column)]
               : SortKind::Text;
}

int ReportListModel::rowAt(int position) const {
    return position >= 0 && position < count() ? m_order[static_cast<size_t>(position)] : -1;
}

QString ReportListModel::text(int position, int column) const {
    if (position < 0 || position >= count() || column < 0 ||
        static_cast<size_t>(column) >= m_columns.size()) {
        return {};
    }
    return m_columns[static_cast<size_t>(column)].text(
        static_cast<size_t>(m_order[static_cast<size_t>(position)]));
}

void ReportListModel::removeAllRows() {
    Batch batch(*this);
    for (TextColumn& texts : m_columns) {
        texts.clear();
    }
    m_allOrder = {};
    m_order = {};
    m_positions = {};
    m_removed = {};
    m_removedCount = 0;
}

template <class CellText>
int ReportListModel::appendRow(CellText&& appendCell) {
    if (m_columns.empty()) {
        m_columns.emplace_back();  // a list without columns still keeps each row's own text
    }
    Batch batch(*this);
    const int row = static_cast<int>(handleCount());
    for (size_t column = 0; column < m_columns.size(); ++column) {
        appendCell(column, m_columns[column]);
    }
    m_allOrder.push_back(row);
    m_orderStale = true;
    m_positions.clear();
    return row;
}

int ReportListModel::addRow(const QString& text) {
    return appendRow(
        [&](size_t column, TextColumn& texts) { texts.append(column == 0 ? text : QString()); });
}

int ReportListModel::addRow(std::span<const QString> texts) {
    return appendRow([&](size_t column, TextColumn& cells) {
        cells.append(column < texts.size() ? texts[column] : QString());
    });
}

int ReportListModel::addRow(std::span<const QString* const> texts,
                            std::span<const uint32_t> numbers) {
    return appendRow([&](size_t column, TextColumn& cells) {
        if (column < texts.size() && column < numbers.size()) {
            cells.append(*texts[column], numbers[column]);
        } else {
            cells.append(QString());
        }
    });
}

void ReportListModel::setSubItem(int row, int subItem, const QString& text) {
    if (row < 0 || static_cast<size_t>(row) >= handleCount() || removed(row) || subItem < 1 ||
        static_cast<size_t>(subItem) >= m_columns.size()) {
        return;
    }
    m_columns[static_cast<size_t>(subItem)].set(static_cast<size_t>(row), text);
    if (m_batchDepth == 0) {
        const int position = positionOf(row);
        if (position >= 0) {
            Q_EMIT dataChanged(index(position, subItem), index(position, subItem));
        }
        if (m_sorted && subItem == m_sortKey) {
            resort();
        }
    }
}

int ReportListModel::positionOf(int row) const {
    if (m_positions.size() != handleCount()) {
        auto& positions = const_cast<LargeVector<int>&>(m_positions);
        positions.assign(handleCount(), -1);
        for (size_t position = 0; position < m_order.size(); ++position) {
            positions[static_cast<size_t>(m_order[position])] = static_cast<int>(position);
        }
    }
    if (row < 0 || static_cast<size_t>(row) >= m_positions.size()) {
        return -1;
    }
    return m_positions[static_cast<size_t>(row)];
}

int ReportListModel::positionOfText(const QString& text) const {
    if (m_columns.empty()) {
        return -1;
    }
    // The stored rows are searched, each text compared where it is kept; the first shown
    // position among the rows that hold it wins.
    const TextColumn& own = m_columns.front();
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

bool ReportListModel::before(int a, int b) const {
    if (m_sorted && m_sortKey >= 0 && static_cast<size_t>(m_sortKey) < m_columns.size()) {
        const TextColumn& texts = m_columns[static_cast<size_t>(m_sortKey)];
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

size_t ReportListModel::placeAmong(const LargeVector<int>& rows, int row) const {
    return static_cast<size_t>(
        std::lower_bound(rows.begin(), rows.end(), row,
                         [this](int each, int added) { return before(each, added); }) -
        rows.begin());
}

int ReportListModel::insertRow(std::span<const QString> texts) {
    if (m_batchDepth > 0) {
        return addRow(texts);  // the batch orders and filters every row as it ends
    }
    if (m_columns.empty()) {
        m_columns.emplace_back();
    }
    const int row = static_cast<int>(handleCount());
    for (size_t column = 0; column < m_columns.size(); ++column) {
        m_columns[column].append(column < texts.size() ? texts[column] : QString());
    }
    const size_t place = placeAmong(m_allOrder, row);
    m_allOrder.insert(m_allOrder.begin() + static_cast<std::ptrdiff_t>(place), row);
    m_positions.clear();
    if (m_filter && !m_filter(row)) {
        return row;
    }
    const size_t position = placeAmong(m_order, row);
    beginInsertRows({}, static_cast<int>(position), static_cast<int>(position));
    m_order.insert(m_order.begin() + static_cast<std::ptrdiff_t>(position), row);
    endInsertRows();
    return row;
}

void ReportListModel::removeRow(int row) {
    if (row < 0 || static_cast<size_t>(row) >= handleCount() || removed(row)) {
        return;
    }
    m_removed.resize(handleCount(), 0);
    m_removed[static_cast<size_t>(row)] = 1;
    ++m_removedCount;
    const int position = m_batchDepth > 0 ? -1 : positionOf(row);
    const auto stored = std::find(m_allOrder.begin(), m_allOrder.end(), row);
    if (stored != m_allOrder.end()) {
        m_allOrder.erase(stored);
    }
    if (position >= 0) {
        beginRemoveRows({}, position, position);
        m_order.erase(m_order.begin() + position);
        endRemoveRows();
    }
    m_positions.clear();
}

ReportListModel::Batch::Batch(ReportListModel& model) : m_model(model) {
    if (m_model.m_batchDepth++ == 0) {
        m_model.beginResetModel();
    }
}

ReportListModel::Batch::~Batch() {
    if (--m_model.m_batchDepth == 0) {
        if (m_model.m_orderStale && m_model.m_sorted) {
            m_model.orderRows();
        }
        m_model.m_orderStale = false;
        m_model.filterRows();
        m_model.endResetModel();
    }
}

void ReportListModel::orderRows() {
    const int key = m_sortKey;
    if (key < 0 || static_cast<size_t>(key) >= m_columns.size()) {
        return;
    }
    const std::vector<int> ordered =
        orderedRows(m_columns[static_cast<size_t>(key)], sortKind(key), m_sortOrder);
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

void ReportListModel::filterRows() {
    if (!m_filter) {
        m_order = m_allOrder;
    } else {
        // The filter is asked in stored order, which reads whatever it keeps per row in the
        // order it was filled; only then are the rows let through taken in the sorted order.
        std::vector<char> shown(handleCount());
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

void ReportListModel::setFilter(RowFilter accepts) {
    Batch batch(*this);
    m_filter = std::move(accepts);
}

void ReportListModel::refilter() {
    Batch batch(*this);
}

void ReportListModel::resort() {
    if (m_batchDepth > 0) {
        return;  // the batch sorts once at its end
    }
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList persistent = persistentIndexList();
    std::vector<int> rows;
    rows.reserve(static_cast<size_t>(persistent.size()));
    for (const QModelIndex& index : persistent) {
        rows.push_back(m_order[static_cast<size_t>(index.row())]);
    }
    orderRows();
    filterRows();
    QModelIndexList moved;
    moved.reserve(persistent.size());
    for (qsizetype i = 0; i < persistent.size(); ++i) {
        moved.append(index(positionOf(rows[static_cast<size_t>(i)]), persistent[i].column()));
    }
    changePersistentIndexList(persistent, moved);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ReportListModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount()) {
        return;
    }
    m_sorted = true;
    m_sortKey = column;
    m_sortOrder = order;
    resort();
}

int ReportListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

int ReportListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_headers.size());
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return text(index.row(), index.column());
    }
    return m_roleData ? m_roleData(rowAt(index.row()), index, role) : QVariant();
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    return m_headers.value(section);
}

Qt::ItemFlags ReportListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    // Never editable in place. A flat list: a tree view over it asks no row for children.
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

ReportListView::ReportListView(QWidget* parent) : QTreeView(parent), m_model(this) {
    setModel(&m_model);
    setFont(Fonts::window());
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setSectionsClickable(true);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header()->setMinimumSectionSize(0);
    connect(header(), &QHeaderView::sectionClicked, this, &ReportListView::columnClicked);
}

void ReportListView::setColumnWidthTwips(int column, double twips) {
    header()->resizeSection(column, Twips::toPixels(twips, Twips::dpiX(this)));
}

double ReportListView::columnWidthTwips(int column) const {
    return Twips::fromPixels(header()->sectionSize(column), Twips::dpiX(this));
}

int ReportListView::positionOfText(const QString& text) const {
    return m_model.positionOfText(text);
}

int ReportListView::selectedPosition() const {
    const QModelIndexList selected = selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void ReportListView::selectPosition(int position) {
    if (position < 0 || position >= m_model.count()) {
        clearSelection();
        return;
    }
    const QModelIndex index = m_model.index(position, 0);
    selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

void ReportListView::showSortState() {
    header()->setSortIndicatorShown(m_model.sorted());
    if (m_model.sorted()) {
        header()->setSortIndicator(m_model.sortKey(), m_model.sortOrder());
    }
}

QString ReportListView::cellToolTip(const QModelIndex& index) const {
    if (!index.isValid()) {
        return {};
    }
    QString own = index.data(Qt::ToolTipRole).toString();
    if (!own.isEmpty()) {
        return own;
    }
    return textIsCut(index) ? index.data(Qt::DisplayRole).toString() : QString();
}

bool ReportListView::textIsCut(const QModelIndex& index) const {
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty()) {
        return false;
    }
    // A cell shows one line: a text with a line break is always cut.
    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))) {
        return true;
    }
    // The room the item delegate gives the text: the style's text rectangle less the margins
    // the delegate keeps on either side.
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    option.text = text;
    option.features |= QStyleOptionViewItem::HasDisplay;
    const QRect textRect = style()->subElementRect(QStyle::SE_ItemViewItemText, &option, this);
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const int room = textRect.width() - 2 * margin;
    return option.fontMetrics.elidedText(text, Qt::ElideRight, room) != text;
}

bool ReportListView::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QTreeView::viewportEvent(event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    const QString tip = cellToolTip(index);
    if (tip.isEmpty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(help->globalPos(), tip, viewport(), visualRect(index));
    }
    return true;
}

void ReportListView::setEmptyText(const QString& text) {
    m_emptyText = text;
    setAccessibleDescription(text);
    viewport()->update();
}

void ReportListView::paintEvent(QPaintEvent* event) {
    QTreeView::paintEvent(event);
    if (m_emptyText.isEmpty() || m_model.rowCount() > 0) {
        return;
    }
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    const int margin = fontMetrics().height();
    painter.drawText(viewport()->rect().adjusted(margin, margin, -margin, -margin),
                     Qt::AlignCenter | Qt::TextWordWrap, m_emptyText);
}
