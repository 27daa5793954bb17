#include "case_statements.h"

#include "sql_text.h"

namespace CaseStatements {

using SqlText::doubledQuotes;

QString insert(const CaseRecord& r) {
    return QLatin1String(
               "insert into Cases (Title,[Assigned To],[Opened By],[Opened Date],Status,Category,"
               "Priority,Comments,[Due Date],KB,[Resolved Date],Customer,[Call Time]) values ('") +
           doubledQuotes(r.title) + QLatin1String("',") + r.assignedTo + QLatin1String(",") +
           r.openedBy + QLatin1String(",'") + r.openedDate + QLatin1String("','") +
           doubledQuotes(r.status) + QLatin1String("','") + doubledQuotes(r.category) +
           QLatin1String("','") + doubledQuotes(r.priority) + QLatin1String("','") +
           doubledQuotes(r.comments) + QLatin1String("','") + r.dueDate + QLatin1String("','") +
           doubledQuotes(r.knowledgeBase) + QLatin1String("',") + r.resolvedDate +
           QLatin1String(",") + r.customer + QLatin1String(",'") + r.callTime + QLatin1String("')");
}

QString update(const CaseRecord& r, const QString& id) {
    return QLatin1String("update Cases set Title='") + doubledQuotes(r.title) +
           QLatin1String("',[Assigned To]=") + r.assignedTo + QLatin1String(",[Opened By]=") +
           r.openedBy + QLatin1String(",[Opened Date]='") + r.openedDate +
           QLatin1String("',Status='") + doubledQuotes(r.status) + QLatin1String("',Category='") +
           doubledQuotes(r.category) + QLatin1String("',Priority='") + doubledQuotes(r.priority) +
           QLatin1String("',Comments='") + doubledQuotes(r.comments) +
           QLatin1String("',[Due Date]='") + r.dueDate + QLatin1String("',KB='") +
           doubledQuotes(r.knowledgeBase) + QLatin1String("',[Resolved Date]=") + r.resolvedDate +
           QLatin1String(",Customer=") + r.customer + QLatin1String(",[Call Time]='") + r.callTime +
           QLatin1String("' where ID=") + id;
}

}  // namespace CaseStatements
