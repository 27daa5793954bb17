#include "employee_case_lists.h"

#include <QVariant>

#include "case_statements.h"
#include "case_store.h"
#include "error_trap.h"
#include "failure.h"
#include "record_set.h"
#include "report_list.h"

namespace EmployeeCaseLists {

namespace {

// The nine columns: header, width in twips (0: the list control's default), the field of
// [Open Cases] that fills it, whether that field may be NULL (then the cell is empty), and the
// line of the loader that fills its cell.
struct Column {
    const char* title;
    double width;
    const char* field;
    bool mayBeNull;
    int fillLine;
};
// The customer is shown by name: the query's "Customer" holds only the customer's ID, which
// tells the user nothing.
constexpr std::array<Column, 9> kColumns{{
    {"Title", 2000, "Title", false, 108},
    {"Assigned To", 1500, "Assigned To Name", false, 110},
    {"Customer", 1500, "Customer Name", false, 112},
    {"Priority", 1200, "Priority", false, 114},
    {"Status", 1500, "Status", false, 116},
    {"Category", 1200, "Category", false, 118},
    {"Due Date", 1200, "Due Date", true, 120},
    {"Opened By", 1200, "Opened By Name", false, 122},
    {"Opened Date", 0, "Opened Date", false, 124},
}};

const std::array<CaseListMember, 2> kMembers{{
    {.list = "ListView1",
     .frame = "Frame1",
     .caption = "Opened Cases",
     .loader = "LoadOpenedCases",
     .select = &CaseStatements::openCasesOpenedBy,
     .framePlace = {5760, 240, 5520, 3315},
     .headerLines = {108, 110, 112, 114, 116, 118, 120, 122, 124},
     .widthLines = {126, 128, 130, 132, 134, 136, 138, 140}},
    {.list = "ListView2",
     .frame = "Frame2",
     .caption = "Assigned Cases",
     .loader = "LoadAssignedCases",
     .select = &CaseStatements::openCasesAssignedTo,
     .framePlace = {5760, 3660, 5520, 3315},
     .headerLines = {142, 144, 146, 148, 150, 152, 154, 156, 158},
     .widthLines = {160, 162, 164, 166, 168, 170, 172, 174}},
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

void addColumns(ErrorTrap& trap, ReportListView* list, const CaseListMember& member) {
    for (size_t index = 0; index < kColumns.size(); ++index) {
        trap.at(member.headerLines[index],
                [&] { list->rows().addColumn(QString::fromLatin1(kColumns[index].title)); });
    }
    for (size_t index = 0; index < member.widthLines.size(); ++index) {
        trap.at(member.widthLines[index],
                [&] { list->setColumnWidthTwips(static_cast<int>(index), kColumns[index].width); });
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
        rows.open(member.select(employeeId), CaseStore::shared());
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
            trap.at(kColumns[0].fillLine, [&] {
                const QVariant title = rows.value(QString::fromLatin1(kColumns[0].field));
                row = model.addRow(displayText(title));
                if (title.isNull()) {
                    throw Failure(QStringLiteral("Invalid use of Null"));
                }
            });
            for (int subItem = 1; subItem < static_cast<int>(kColumns.size()); ++subItem) {
                trap.at(kColumns[static_cast<size_t>(subItem)].fillLine, [&] {
                    model.setSubItem(row, subItem,
                                     cellText(rows, kColumns[static_cast<size_t>(subItem)]));
                });
            }
            trap.at(126, [&] { rows.moveNext(); });
        });
    trap.at(128, [&] { rows.close(); });
}

}  // namespace EmployeeCaseLists
