#include "report_list.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QToolTip>
#include <algorithm>
#include <limits>

#include "date_text.h"

#include "fonts.h"
#include "twips.h"

ReportListModel::ReportListModel(QObject* parent) : QAbstractTableModel(parent) {}

void ReportListModel::addColumn(const QString& header, SortKind kind) {
    // Rows are stored with one text per column: a new column widens every stored row.
    const size_t oldStride = m_stride;
    const size_t rows = m_allOrder.size();
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
        static_cast<size_t>(column) >= m_stride) {
        return {};
    }
    return cell(m_order[static_cast<size_t>(position)], column);
}

void ReportListModel::removeAllRows() {
    Batch batch(*this);
    m_cells.clear();
    m_allOrder.clear();
    m_order.clear();
    m_positions.clear();
}

int ReportListModel::addRow(const QString& text) {
    if (m_stride == 0) {
        m_stride = 1;  // a list without columns still keeps each row's own text
    }
    Batch batch(*this);
    const int row = static_cast<int>(m_allOrder.size());
    m_cells.resize(m_cells.size() + m_stride);
    m_cells[static_cast<size_t>(row) * m_stride] = text;
    m_allOrder.push_back(row);
    m_orderStale = true;
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
        if (position >= 0) {
            Q_EMIT dataChanged(index(position, subItem), index(position, subItem));
        }
        if (m_sorted && subItem == m_sortKey) {
            resort();
        }
    }
}

int ReportListModel::positionOf(int row) const {
    if (m_positions.size() != m_allOrder.size()) {
        auto& positions = const_cast<std::vector<int>&>(m_positions);
        positions.assign(m_allOrder.size(), -1);
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
        if (m_model.m_sorted && m_model.m_orderStale) {
            m_model.orderRows();
        }
        m_model.m_orderStale = false;
        m_model.filterRows();
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
    const size_t rows = m_allOrder.size();
    const SortKind kind = sortKind(key);
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
    // Back to stored order, so equal keys stay in it.
    std::sort(m_allOrder.begin(), m_allOrder.end());
    const auto less = [&keys](int a, int b) {
        return keys[static_cast<size_t>(a)] < keys[static_cast<size_t>(b)];
    };
    if (m_sortOrder == Qt::AscendingOrder) {
        std::stable_sort(m_allOrder.begin(), m_allOrder.end(), less);
    } else {
        std::stable_sort(m_allOrder.begin(), m_allOrder.end(),
                         [&less](int a, int b) { return less(b, a); });
    }
    m_positions.clear();
}

void ReportListModel::filterRows() {
    if (!m_filter) {
        m_order = m_allOrder;
    } else {
        // The filter is asked in stored order, which reads whatever it keeps per row in the
        // order it was filled; only then are the rows let through taken in the sorted order.
        std::vector<char> shown(m_allOrder.size());
        for (size_t row = 0; row < shown.size(); ++row) {
            shown[row] = m_filter(static_cast<int>(row)) ? 1 : 0;
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

QString ReportListView::cellToolTip(const QModelIndex& index) const {
    if (!index.isValid()) {
        return {};
    }
    const QString own = index.data(Qt::ToolTipRole).toString();
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
