#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "large_blocks.h"
#include "list_columns.h"
#include "record_set.h"

// The rows of a report-view list: one text per row and column, kept column by column
// (ListColumns), and the list's own sorting state (a sorted flag, a key column, an order).
// Sorting never moves the stored rows: it orders an index array, so a list of a million rows
// sorts and refills fast. A filter may hide stored rows: the shown positions are those of the rows
// it lets through, in the sorted order, so that filtering never sorts again.
//
// A row's handle is the order it came in; a removed row keeps its handle (and its texts) until
// the rows are emptied. Rows appended at the end only mark the order stale: settle() sorts and
// filters them once. A view over the rows (ReportListModel) is told of each change by the caller,
// which is why a row inserted or removed in its place takes two steps here.
class ListRows {
public:
    ListRows();

    // How a column's texts compare when the list is sorted by it: as texts ignoring letter case,
    // as numbers, or as the dates they show (empty cells first, when ascending).
    enum class SortKind { Text, Number, Date };

    // Columns: a new one holds an empty text for every stored row.
    void addColumn(SortKind kind);
    int columnCount() const { return static_cast<int>(m_sortKinds.size()); }
    SortKind sortKind(int column) const;

    // The stored texts by row handle as they stand now, and a snapshot of them that no later
    // change reaches (see ListColumns).
    const ListColumns& columns() const { return *m_columns; }
    std::shared_ptr<const ListColumns> snapshot() const { return m_columns; }

    // Rows, by shown position.
    int count() const { return static_cast<int>(m_order.size()); }
    // Every stored row, shown or hidden by the filter.
    int storedCount() const { return static_cast<int>(m_allOrder.size()); }
    // The handle of the row at the shown position, or -1.
    int rowAt(int position) const;
    QString text(int position, int column) const;
    // The shown position of the row with the handle, or -1.
    int positionOf(int row) const;
    // The shown position of the first row whose own text (column 0) is the text, or -1.
    int positionOfText(const QString& text) const;
    // The handle the next row takes.
    int nextRow() const { return static_cast<int>(m_columns->rows()); }
    bool removed(int row) const {
        return row >= 0 && static_cast<size_t>(row) < m_removed.size() &&
               m_removed[static_cast<size_t>(row)] != 0;
    }
    // Rows removed since clear(), whose texts are still kept.
    int removedCount() const { return m_removedCount; }

    // Takes every row out; the columns stay.
    void clear();
    // Appends a row at the end (the order goes stale) with its own text (column 0), or with the
    // texts of its first columns (the others empty); gives its handle.
    int append(const QString& text);
    int append(std::span<const QString> texts);
    // Appends a row whose texts a reader numbers with the columns' own shared texts:
    // `numbered(column, shared)` gives the column's text numbered among `shared` (null for a
    // packed column), as RecordSet::numberedText does; it is asked for every column. All of a
    // row's texts are numbered before any is appended: a reader that fails leaves no part of a
    // row.
    template <class Numbered>
    int appendNumbered(Numbered&& numbered) {
        ListColumns& columns = columnsToAppendTo();
        m_numbered.resize(columns.count());
        for (size_t column = 0; column < columns.count(); ++column) {
            m_numbered[column] = numbered(column, columns.m_columns[column].sharedTexts());
        }
        return appendRow([this](size_t column, TextColumn& cells) {
            cells.append(m_numbered[column].text(), m_numbered[column].number);
        });
    }
    // Inserts a row in its sorted place among the stored rows; it shows once showAt() puts it at
    // shownPlace(), which is -1 while the filter hides it. Gives its handle.
    int insert(std::span<const QString> texts);
    int shownPlace(int row) const;
    void showAt(int position, int row);
    // Takes the row out of the stored rows (false when there is no such row); while it shows,
    // hideAt() takes it out of the shown ones.
    bool remove(int row);
    void hideAt(int position);
    // Sets a column of a stored row; false when there is no such row or column.
    bool set(int row, int column, const QString& text);

    // The sorting state: while sorted, the rows stand in the order of the key column (by its
    // sort kind; equal keys in their stored order).
    bool sorted() const { return m_sorted; }
    int sortKey() const { return m_sortKey; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }
    // Keeps the list sorted by the column in the order from now on; reorder() sorts.
    void sortBy(int column, Qt::SortOrder order);

    // Shows only the stored rows (by handle) that `accepts` lets through; an empty function
    // shows every row. The rows are asked in stored order, by refilter(), settle() and reorder().
    using RowFilter = std::function<bool(int row)>;
    void setFilter(RowFilter accepts) { m_filter = std::move(accepts); }
    void refilter();
    // After rows were appended: sorts them (once, when sorted) and filters them.
    void settle();
    // Sorts every row anew and filters them.
    void reorder();

private:
    // The columns to change: a copy, when a snapshot of them is held elsewhere.
    ListColumns& writable();
    // The same, with a column at least: a list without columns still keeps each row's own text.
    ListColumns& columnsToAppendTo();
    // Appends a row whose cells appendCell(column, texts) appends, one a column.
    template <class CellText>
    int appendRow(CellText&& appendCell) {
        ListColumns& columns = columnsToAppendTo();
        const int row = nextRow();
        for (size_t column = 0; column < columns.m_columns.size(); ++column) {
            appendCell(column, columns.m_columns[column]);
        }
        appended(row);
        return row;
    }
    void appended(int row);
    // True when the row with handle a stands before the row with handle b in the present order.
    bool before(int a, int b) const;
    // Where the row belongs among the rows, which stand in the present order.
    size_t placeAmong(const LargeVector<int>& rows, int row) const;
    void orderRows();

    std::shared_ptr<ListColumns> m_columns;
    std::vector<RecordSet::NumberedText> m_numbered;  // appendNumbered()'s row
    std::vector<SortKind> m_sortKinds;
    LargeVector<int> m_allOrder;   // every stored row, in the sorted (or stored) order
    LargeVector<int> m_order;      // shown position -> stored row: m_allOrder as filtered
    LargeVector<int> m_positions;  // stored row -> shown position (-1 hidden), rebuilt lazily
    bool m_orderStale = false;     // rows came or went since the last sort
    std::vector<char> m_removed;   // by handle: taken out by remove()
    int m_removedCount = 0;
    RowFilter m_filter;
    bool m_sorted = false;
    int m_sortKey = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
