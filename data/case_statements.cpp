#include "case_statements.h"

#include <array>

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

QString remove(const QString& id) {
    return QLatin1String("delete from Cases where ID=") + id;
}

namespace {

QLatin1String viewName(CaseView view) {
    return view == CaseView::Open ? QLatin1String("[Open Cases]") : QLatin1String("[Closed Cases]");
}

}  // namespace

QString listed() {
    return QStringLiteral("select * from [Cases Extended]");
}

QString stored(const QString& id) {
    return QLatin1String("select * from Cases where ID=") + id;
}

QString inView(CaseView view, const QString& id) {
    return QLatin1String("select * from ") + viewName(view) + QLatin1String(" where ID=") + id;
}

QString openCasesOpenedBy(const QString& employeeId) {
    return QLatin1String("select * from [Open Cases] where [Opened By]=") + employeeId;
}

QString openCasesAssignedTo(const QString& employeeId) {
    return QLatin1String("select * from [Open Cases] where [Assigned To]=") + employeeId;
}

QString inOrder(CaseView view, CaseOrder order) {
    static const std::array<QLatin1String, 4> columns{
        QLatin1String("Title"), QLatin1String("Category"), QLatin1String("Status"),
        QLatin1String("[Assigned To Name]")};
    return QLatin1String("select * from ") + viewName(view) + QLatin1String(" order by ") +
           columns[static_cast<size_t>(order)];
}

}  // namespace CaseStatements
