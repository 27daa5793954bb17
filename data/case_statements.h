#pragma once

#include <QString>

// The statements that write one case, built from the values of the case editor. Texts are
// quoted with their single quotes doubled, people are their IDs as bare numbers, dates are
// quoted date texts, and a missing resolved date is the bare keyword NULL.
struct CaseRecord {
    QString title;
    QString assignedTo;  // employee ID, decimal digits
    QString openedBy;    // employee ID, decimal digits
    QString openedDate;  // date text
    QString status;
    QString category;
    QString priority;
    QString comments;
    QString dueDate;  // date text
    QString knowledgeBase;
    QString resolvedDate;  // the resolved date in its statement form: NULL or a quoted text
    QString customer;      // customer ID, decimal digits
    QString callTime;      // date text
};

// The views of the cases that are open and that are resolved, and the orders the reports read
// them in.
enum class CaseView { Open, Closed };
enum class CaseOrder { Title, Category, Status, AssignedTo };

namespace CaseStatements {

QString insert(const CaseRecord& record);
QString update(const CaseRecord& record, const QString& id);
// "delete from Cases where ID=<id>"
QString remove(const QString& id);

// "select * from [Cases Extended]": every case with its people's names, for the case list.
QString listed();
// "select * from Cases where ID=<id>": the row as the table stores it.
QString stored(const QString& id);
// "select * from [Open Cases] where ID=<id>" (or [Closed Cases]).
QString inView(CaseView view, const QString& id);
// "select * from [Open Cases] where [Opened By]=<id>", and the same by [Assigned To].
QString openCasesOpenedBy(const QString& employeeId);
QString openCasesAssignedTo(const QString& employeeId);
// "select * from [Open Cases] order by Title" (or [Closed Cases], another order).
QString inOrder(CaseView view, CaseOrder order);

}  // namespace CaseStatements
