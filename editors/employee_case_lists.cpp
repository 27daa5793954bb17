#include "employee_case_lists.h"

#include <QVariant>

#include "case_store.h"
#include "error_trap.h"
#include "failure.h"
#include "record_set.h"
#include "report_list.h"

namespace EmployeeCaseLists {

namespace {

// The nine columns: header, width in twips (0: the list control's default), the field of
// [Open Cases] that fills it, and whether that field may be NULL (then the cell is empty).
struct Column {
    const char* title;
    double width;
    const char* field;
    bool mayBeNull;
};
// The customer is shown by name: the query's "Customer" holds only the customer's ID, which
// tells the user nothing.
constexpr std::array<Column, 9> kColumns{{
    {"Title", 2000, "Title", false},
    {"Assigned To", 1500, "Assigned To Name", false},
    {"Customer", 1500, "Customer Name", false},
    {"Priority", 1200, "Priority", false},
    {"Status", 1500, "Status", false},
    {"Category", 1200, "Category", false},
    {"Due Date", 1200, "Due Date", true},
    {"Opened By", 1200, "Opened By Name", false},
    {"Opened Date", 0, "Opened Date", false},
}};

const std::array<CaseListMember, 2> kMembers{{
    {"ListView1",
     "Frame1",
     "Opened Cases",
     "LoadOpenedCases",
     "select * from [Open Cases] where [Opened By]=",
     {5760, 240, 5520, 3315},
     108},
    {"ListView2",
     "Frame2",
     "Assigned Cases",
     "LoadAssignedCases",
     "select * from [Open Cases] where [Assigned To]=",
     {5760, 3660, 5520, 3315},
     142},
}};

// The text of a cell: a NULL that the column does not allow cannot be shown.
QString cellText(const RecordSet& rows, const Column& column) {
    const QVariant value = rows.value(QString::fromLatin1(column.field));
    if (value.isNull() && !column.mayBeNull) {
        throw Failure(QStringLiteral("Invalid use of Null"));
    }
    return displayText(value);
}

}  // namespace

const std::array<CaseListMember, 2>& members() {
    return kMembers;
}

void addColumns(ErrorTrap& trap, ReportListView* list, int firstLine) {
    int line = firstLine;
    for (const Column& column : kColumns) {
        trap.at(line, [&] { list->rows().addColumn(QString::fromLatin1(column.title)); });
        line += 2;
    }
    for (int index = 0; index < static_cast<int>(kColumns.size()); ++index) {
        const double width = kColumns[static_cast<size_t>(index)].width;
        if (width > 0) {
            trap.at(line, [&] { list->setColumnWidthTwips(index, width); });
            line += 2;
        }
    }
}

void fill(Prompts& prompts, const QString& window, const CaseListMember& member,
          ReportListView* list, const QString& employeeId) {
    ErrorTrap trap{prompts, window, QString::fromLatin1(member.loader)};
    ReportListModel& model = list->rows();
    RecordSet rows;
    trap.at(100, [&] { model.removeAllRows(); });
    trap.at(102, [&] { rows = RecordSet(); });
    bool opened = false;
    trap.at(104, [&] {
        rows.open(QString::fromLatin1(member.select) + employeeId, CaseStore::shared());
        opened = true;
    });
    if (!opened) {
        return;  // reported once; the list stays empty
    }
    ReportListModel::Batch batch(model);
    trap.loop(
        106, [&] { return !rows.eof(); },
        [&] {
            int row = -1;
            // The row is added even when its title cannot be read, so that its other cells are
            // still shown.
            trap.at(108, [&] {
                const QVariant title = rows.value(QString::fromLatin1(kColumns[0].field));
                row = model.addRow(displayText(title));
                if (title.isNull()) {
                    throw Failure(QStringLiteral("Invalid use of Null"));
                }
            });
            for (int subItem = 1; subItem < static_cast<int>(kColumns.size()); ++subItem) {
                trap.at(108 + 2 * subItem, [&] {
                    model.setSubItem(row, subItem,
                                     cellText(rows, kColumns[static_cast<size_t>(subItem)]));
                });
            }
            trap.at(126, [&] { rows.moveNext(); });
        });
    trap.at(128, [&] { rows.close(); });
}

}  // namespace EmployeeCaseLists
