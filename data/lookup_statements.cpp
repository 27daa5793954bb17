#include "lookup_statements.h"

#include <array>

#include "sql_text.h"

namespace {

struct LookupTable {
    const char* table;
    const char* column;
};

// In the order of Lookup.
constexpr std::array<LookupTable, 4> kTables{{
    {"Status", "Status"},
    {"Categories", "Category"},
    {"Priorities", "Priority"},
    {"KnowledgeBase", "KB"},
}};

const LookupTable& tableOf(Lookup lookup) {
    return kTables[static_cast<size_t>(lookup)];
}

QString quoted(const QString& value) {
    return QLatin1Char('\'') + SqlText::doubledQuotes(value) + QLatin1Char('\'');
}

}  // namespace

namespace LookupStatements {

QString column(Lookup lookup) {
    return QString::fromLatin1(tableOf(lookup).column);
}

QString list(Lookup lookup) {
    return QStringLiteral("select * from %1 order by %2")
        .arg(QLatin1String(tableOf(lookup).table), column(lookup));
}

QString insert(Lookup lookup, const QString& value) {
    return QStringLiteral("insert into [%1] values (").arg(QLatin1String(tableOf(lookup).table)) +
           quoted(value) + QLatin1Char(')');
}

QString remove(Lookup lookup, const QString& value) {
    return QStringLiteral("delete from [%1] where %2=")
               .arg(QLatin1String(tableOf(lookup).table), column(lookup)) +
           quoted(value);
}

QString removeCases(Lookup lookup, const QString& value) {
    return QStringLiteral("delete from Cases where %1=").arg(column(lookup)) + quoted(value);
}

}  // namespace LookupStatements
