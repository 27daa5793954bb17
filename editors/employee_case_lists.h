#pragma once

#include <QString>
#include <array>

#include "twips.h"

class ErrorTrap;
class Prompts;
class ReportListView;

// One of the two lists of an employee's open cases in the employee editor (Form3): the cases the
// employee opened, and the cases assigned to the employee. Both are read from the stored query
// [Open Cases], for reading only, and filled once when the editor opens on an existing employee.
struct CaseListMember {
    const char* list;                              // the list's name, "ListView1" or "ListView2"
    const char* frame;                             // the name of the frame around it
    const char* caption;                           // the frame's caption
    const char* loader;                            // the procedure that fills it, for the error box
    QString (*select)(const QString& employeeId);  // the statement for the employee
    Twips::Rect framePlace;
    // The numbered lines of its column set-up in the editor's Form_Load: the nine headers, then
    // the widths of columns 1 to 8.
    std::array<int, 9> headerLines;
    std::array<int, 8> widthLines;
};

namespace EmployeeCaseLists {

// "Opened Cases" (ListView1) and "Assigned Cases" (ListView2), in that order.
const std::array<CaseListMember, 2>& members();

// Where a list stands inside its frame.
constexpr Twips::Rect kListPlace{240, 360, 5040, 2775};

// The column set-up of one list as numbered lines of the load handler's trap: the nine headers,
// then the widths of columns 1 to 8; the ninth column keeps the width that the list control
// gives a new column.
void addColumns(ErrorTrap& trap, ReportListView* list, const CaseListMember& member);

// Refills the list with the employee's open cases, under the member's own trap. A query that
// cannot be opened is reported once and leaves the list empty; a cell that cannot be read is
// reported and stays empty, and filling goes on with the next cell.
void fill(Prompts& prompts, const QString& window, const CaseListMember& member,
          ReportListView* list, const QString& employeeId);

}  // namespace EmployeeCaseLists
