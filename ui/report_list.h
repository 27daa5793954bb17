#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QTreeView>
#include <functional>
#include <memory>
#include <span>
#include <utility>

#include "list_rows.h"

// A report-view list's rows as a Qt model: a thin layer over ListRows, the rows' storage, that
// tells the view of every change as Qt's model protocol asks, and gives it the texts and whatever
// else the window shows (colours, tooltips).
class ReportListModel : public QAbstractTableModel {
public:
    explicit ReportListModel(QObject* parent = nullptr);

    using SortKind = ListRows::SortKind;

    // Columns.
    void addColumn(const QString& header, SortKind kind = SortKind::Text);
    QString header(int column) const { return m_headers.value(column); }
    SortKind sortKind(int column) const { return m_rows.sortKind(column); }

    // Rows, by shown position.
    int count() const { return m_rows.count(); }
    // Every stored row, shown or hidden by the filter.
    int storedCount() const { return m_rows.storedCount(); }
    // The handle of the row at the shown position, or -1.
    int rowAt(int position) const { return m_rows.rowAt(position); }
    QString text(int position, int column) const { return m_rows.text(position, column); }
    void removeAllRows();
    // Appends a row with its own text (column 0); gives the handle for setSubItem.
    int addRow(const QString& text);
    // Appends a row with the texts of its first columns (the others empty); gives its handle.
    int addRow(std::span<const QString> texts);
    // Appends a row whose texts a reader numbers with the columns' own shared texts (see
    // ListRows::appendNumbered); gives its handle.
    template <class Numbered>
    int addNumberedRow(Numbered&& numbered) {
        Batch batch(*this);
        return m_rows.appendNumbered(std::forward<Numbered>(numbered));
    }
    // A row added while the list is shown: it takes its place in the sorted order and shows when
    // the filter lets it through, and the view is told of that one row. Gives its handle, which
    // is nextRow() before the call.
    int insertRow(std::span<const QString> texts);
    int nextRow() const { return m_rows.nextRow(); }
    // Takes the row with the handle out of the list; the view is told when it was shown. Its
    // handle stays taken (the other rows keep theirs) until removeAllRows().
    void removeRow(int row);
    bool removed(int row) const { return m_rows.removed(row); }
    // Rows removed since removeAllRows(), whose texts are still kept.
    int removedCount() const { return m_rows.removedCount(); }
    // Sets column `subItem` (1 = the second column) of the row with the handle.
    void setSubItem(int row, int subItem, const QString& text);
    // The shown position of the row with the handle.
    int positionOf(int row) const { return m_rows.positionOf(row); }
    // The shown position of the first row whose own text (column 0) is the text, or -1.
    int positionOfText(const QString& text) const { return m_rows.positionOfText(text); }
    // The stored texts of a column (0 = the rows' own texts), by row handle.
    const TextColumn& columnTexts(int column) const {
        return m_rows.columns()[static_cast<size_t>(column)];
    }
    // The stored texts as they stand now, for a reader beside the list (see ListColumns).
    std::shared_ptr<const ListColumns> snapshot() const { return m_rows.snapshot(); }

    // Filling many rows at once: the view is told once, at the end, and a sorted list is sorted
    // once. Nested batches count; the outermost one ends the filling.
    class Batch {
    public:
        explicit Batch(ReportListModel& model);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        ReportListModel& m_model;
    };

    // The sorting state of a list control: while sorted, the rows stand in the order of the key
    // column (by its sort kind; equal keys in their stored order).
    bool sorted() const { return m_rows.sorted(); }
    int sortKey() const { return m_rows.sortKey(); }
    Qt::SortOrder sortOrder() const { return m_rows.sortOrder(); }
    // Sorts by the column in the order, and keeps the list sorted so through every refill.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Shows only the stored rows (by handle) that `accepts` lets through; an empty function
    // shows every row. The rows are asked in stored order, again at every refill and by
    // refilter().
    using RowFilter = ListRows::RowFilter;
    void setFilter(RowFilter accepts);
    void refilter();
    // What the list shows for roles other than the text (colours, tooltips): given the row's
    // handle and the cell's index.
    using RoleData = std::function<QVariant(int row, const QModelIndex& index, int role)>;
    void setRoleData(RoleData data) { m_roleData = std::move(data); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void resort();

    ListRows m_rows;
    QStringList m_headers;
    RoleData m_roleData;
    int m_batchDepth = 0;
};

// A list control in report view over a ReportListModel: read-only, one selected row, column
// widths in twips; header clicks are left to the window (they do not sort by themselves). A cell
// cut by its column's width shows its whole text as a tooltip.
class ReportListView : public QTreeView {
    Q_OBJECT
public:
    explicit ReportListView(QWidget* parent = nullptr);

    ReportListModel& rows() { return m_model; }
    const ReportListModel& rows() const { return m_model; }

    void setColumnWidthTwips(int column, double twips);
    double columnWidthTwips(int column) const;

    // The shown position of the first row whose own text (column 0) is the text, or -1.
    int positionOfText(const QString& text) const;

    // The selected row's shown position, or -1 when none is selected.
    int selectedPosition() const;
    void selectPosition(int position);

    // Shows the model's sorting state in the header.
    void showSortState();

    // The tooltip of a cell: the model's own (ToolTipRole), or else the cell's whole text when
    // its column is too narrow to show all of it.
    QString cellToolTip(const QModelIndex& index) const;

    // A text shown in the middle of the list while it has no rows (empty: none), and read to a
    // screen reader as the list's description.
    void setEmptyText(const QString& text);
    const QString& emptyText() const { return m_emptyText; }

Q_SIGNALS:
    void columnClicked(int column);

protected:
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool textIsCut(const QModelIndex& index) const;

    ReportListModel m_model;
    QString m_emptyText;
};
