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

namespace CaseStatements {

QString insert(const CaseRecord& record);
QString update(const CaseRecord& record, const QString& id);

}  // namespace CaseStatements
