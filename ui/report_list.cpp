#include "report_list.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include "fonts.h"
#include "twips.h"

ReportListModel::ReportListModel(QObject* parent) : QAbstractTableModel(parent) {}

void ReportListModel::addColumn(const QString& header, SortKind kind) {
    beginInsertColumns({}, static_cast<int>(m_headers.size()), static_cast<int>(m_headers.size()));
    m_rows.addColumn(kind);
    m_headers.append(header);
    endInsertColumns();
}

void ReportListModel::removeAllRows() {
    Batch batch(*this);
    m_rows.clear();
}

int ReportListModel::addRow(const QString& text) {
    Batch batch(*this);
    return m_rows.append(text);
}

int ReportListModel::addRow(std::span<const QString> texts) {
    Batch batch(*this);
    return m_rows.append(texts);
}

void ReportListModel::setSubItem(int row, int subItem, const QString& text) {
    if (subItem < 1 || !m_rows.set(row, subItem, text)) {
        return;
    }
    if (m_batchDepth == 0) {
        const int position = positionOf(row);
        if (position >= 0) {
            Q_EMIT dataChanged(index(position, subItem), index(position, subItem));
        }
        if (sorted() && subItem == sortKey()) {
            resort();
        }
    }
}

int ReportListModel::insertRow(std::span<const QString> texts) {
    if (m_batchDepth > 0) {
        return addRow(texts);  // the batch orders and filters every row as it ends
    }
    const int row = m_rows.insert(texts);
    const int position = m_rows.shownPlace(row);
    if (position >= 0) {
        beginInsertRows({}, position, position);
        m_rows.showAt(position, row);
        endInsertRows();
    }
    return row;
}

void ReportListModel::removeRow(int row) {
    const int position = m_batchDepth > 0 ? -1 : positionOf(row);
    if (!m_rows.remove(row)) {
        return;
    }
    if (position >= 0) {
        beginRemoveRows({}, position, position);
        m_rows.hideAt(position);
        endRemoveRows();
    }
}

ReportListModel::Batch::Batch(ReportListModel& model) : m_model(model) {
    if (m_model.m_batchDepth++ == 0) {
        m_model.beginResetModel();
    }
}

ReportListModel::Batch::~Batch() {
    if (--m_model.m_batchDepth == 0) {
        m_model.m_rows.settle();
        m_model.endResetModel();
    }
}

void ReportListModel::setFilter(RowFilter accepts) {
    Batch batch(*this);
    m_rows.setFilter(std::move(accepts));
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
        rows.push_back(rowAt(index.row()));
    }
    m_rows.reorder();
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
    m_rows.sortBy(column, order);
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
