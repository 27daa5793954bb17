#pragma once

#include <QHash>
#include <QSet>
#include <QString>

// Turns the program's statement texts into texts that the PostgreSQL schema accepts, leaving
// every quoted text as it stands:
// - a bracketed name becomes a quoted lower-case name: [Assigned To] -> "assigned to";
// - First(t.c) and Last(t.c) take their rows in the table's insertion order:
//   first(t.c ORDER BY t.id);
// - a quoted date text written to a date column by an INSERT (column list and values) or an
//   UPDATE (set column=value) becomes an ISO date, whatever the user's short date form; a text
//   that is not a date is refused with a Failure.
namespace PostgresText {

struct Schema {
    // "table.column" in lower case, for every date column.
    QSet<QString> dateColumns;
    // Table (lower case) to the column that orders its rows as they were inserted.
    QHash<QString, QString> insertionOrder;
};

QString translate(const QString& statement, const Schema& schema);

// Only the date texts of an INSERT or UPDATE, as translate() turns them into ISO dates; every
// other character stays. The file's engine writes its dates so, as the file keeps them.
QString withIsoDates(const QString& statement, const Schema& schema);

}  // namespace PostgresText
