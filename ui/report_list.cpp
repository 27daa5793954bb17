#include "report_list.h"

#include <QHeaderView>
#include <algorithm>
#include <limits>

#include "date_text.h"

#include "fonts.h"
#include "twips.h"

ReportListModel::ReportListModel(QObject* parent) : QAbstractTableModel(parent) {}

void ReportListModel::addColumn(const QString& header, SortKind kind) {
    // Rows are stored with one text per column: a new column widens every stored row.
    const size_t oldStride = m_stride;
    const size_t rows = oldStride == 0 ? m_order.size() : m_cells.size() / oldStride;
    beginInsertColumns({}, static_cast<int>(m_headers.size()), static_cast<int>(m_headers.size()));
    std::vector<QString> widened(rows * (oldStride + 1));
    for (size_t row = 0; row < rows; ++row) {
        for (size_t column = 0; column < oldStride; ++column) {
            widened[row * (oldStride + 1) + column] = std::move(m_cells[row * oldStride + column]);
        }
    }
    m_cells = std::move(widened);
    m_stride = oldStride + 1;
    m_headers.append(header);
    m_sortKinds.push_back(kind);
    endInsertColumns();
}

QString ReportListModel::text(int position, int column) const {
    if (position < 0 || position >= count() || column < 0 ||
        static_cast<size_t>(column) >= m_stride) {
        return {};
    }
    return cell(m_order[static_cast<size_t>(position)], column);
}

void ReportListModel::removeAllRows() {
    Batch batch(*this);
    m_cells.clear();
    m_order.clear();
    m_positions.clear();
}

int ReportListModel::addRow(const QString& text) {
    if (m_stride == 0) {
        m_stride = 1;  // a list without columns still keeps each row's own text
    }
    Batch batch(*this);
    const int row = static_cast<int>(m_order.size());
    m_cells.resize(m_cells.size() + m_stride);
    m_cells[static_cast<size_t>(row) * m_stride] = text;
    m_order.push_back(row);
    m_positions.clear();
    return row;
}

void ReportListModel::setSubItem(int row, int subItem, const QString& text) {
    if (row < 0 || static_cast<size_t>(row) * m_stride >= m_cells.size() || subItem < 1 ||
        static_cast<size_t>(subItem) >= m_stride) {
        return;
    }
    m_cells[static_cast<size_t>(row) * m_stride + static_cast<size_t>(subItem)] = text;
    if (m_batchDepth == 0) {
        const int position = positionOf(row);
        Q_EMIT dataChanged(index(position, subItem), index(position, subItem));
        if (m_sorted && subItem == m_sortKey) {
            resort();
        }
    }
}

int ReportListModel::positionOf(int row) const {
    if (m_positions.size() != m_order.size()) {
        auto& positions = const_cast<std::vector<int>&>(m_positions);
        positions.assign(m_order.size(), -1);
        for (size_t position = 0; position < m_order.size(); ++position) {
            positions[static_cast<size_t>(m_order[position])] = static_cast<int>(position);
        }
    }
    if (row < 0 || static_cast<size_t>(row) >= m_positions.size()) {
        return -1;
    }
    return m_positions[static_cast<size_t>(row)];
}

ReportListModel::Batch::Batch(ReportListModel& model) : m_model(model) {
    if (m_model.m_batchDepth++ == 0) {
        m_model.beginResetModel();
    }
}

ReportListModel::Batch::~Batch() {
    if (--m_model.m_batchDepth == 0) {
        if (m_model.m_sorted) {
            m_model.orderRows();
        }
        m_model.endResetModel();
    }
}

void ReportListModel::orderRows() {
    const int key = m_sortKey;
    if (key < 0 || static_cast<size_t>(key) >= m_stride) {
        return;
    }
    // Each cell of the key column is turned into its key once, so that every comparison of the
    // sort is a plain comparison of two keys.
    const size_t rows = m_order.size();
    const SortKind kind = static_cast<size_t>(key) < m_sortKinds.size()
                              ? m_sortKinds[static_cast<size_t>(key)]
                              : SortKind::Text;
    if (kind == SortKind::Text) {
        std::vector<QString> folded(rows);
        for (size_t row = 0; row < rows; ++row) {
            folded[row] = cell(static_cast<int>(row), key).toCaseFolded();
        }
        orderRowsBy(folded);
        return;
    }
    // Numbers and dates: an empty cell, or one that is neither, sorts before every value.
    constexpr qint64 kNoValue = std::numeric_limits<qint64>::min();
    std::vector<qint64> keys(rows, kNoValue);
    const DateFormatter dates;
    for (size_t row = 0; row < rows; ++row) {
        const QString& text = cell(static_cast<int>(row), key);
        if (text.isEmpty()) {
            continue;
        }
        if (kind == SortKind::Number) {
            bool ok = false;
            const qint64 number = text.toLongLong(&ok);
            if (ok) {
                keys[row] = number;
            }
        } else if (const std::optional<qint64> date = dates.sortKey(text)) {
            keys[row] = *date;
        }
    }
    orderRowsBy(keys);
}

template <typename Key>
void ReportListModel::orderRowsBy(const std::vector<Key>& keys) {
    std::sort(m_order.begin(), m_order.end());  // back to stored order, so equal keys stay in it
    const auto less = [&keys](int a, int b) {
        return keys[static_cast<size_t>(a)] < keys[static_cast<size_t>(b)];
    };
    if (m_sortOrder == Qt::AscendingOrder) {
        std::stable_sort(m_order.begin(), m_order.end(), less);
    } else {
        std::stable_sort(m_order.begin(), m_order.end(),
                         [&less](int a, int b) { return less(b, a); });
    }
    m_positions.clear();
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
    if (role != Qt::DisplayRole || !index.isValid()) {
        return {};
    }
    return text(index.row(), index.column());
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
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;  // never editable in place
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
    for (int position = 0; position < m_model.count(); ++position) {
        if (m_model.text(position, 0) == text) {
            return position;
        }
    }
    return -1;
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
