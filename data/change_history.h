#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <optional>
#include <vector>

class CaseStore;

// What the change log tells people: a case's history in words, and the deletions that can be
// undone. Reads [Changes] on both engines (the server writes its table names in lower case;
// they are given here as the file's schema spells them).

// One row of the log, as far as these readers need it.
struct LoggedRow {
    qint64 revision = 0;
    QString table;  // "Cases", "Employees", "Status", ...
    QString row;    // the ID, or a lookup row's value
    QString action;
    QDateTime changedAt;  // UTC
    QString changedBy;
    qint64 command = 0;
    QJsonObject before;  // keys as the engine names the columns
    QJsonObject after;
};

// One line of a case's history.
struct HistoryLine {
    QDateTime changedAt;  // UTC
    QString changedBy;
    QString what;  // "Added", "Status: Open → Closed", "Deleted with the employee Ann Lee"
};

namespace CaseHistory {

// The case's changes, newest first; an update gives one line for each column it changed.
// People appear by name and dates in the short date form, as the list shows them.
std::vector<HistoryLine> read(CaseStore& store, qint64 caseId);

}  // namespace CaseHistory

// The rows one command deleted: a case, or a person or lookup value with the cases it took.
struct Deletion {
    qint64 command = 0;
    QDateTime changedAt;  // UTC
    QString changedBy;
    std::vector<LoggedRow> rows;  // in the order they were deleted

    // The person or lookup value whose deletion took the cases, or nullptr.
    const LoggedRow* cause() const;
    int caseCount() const;
    // "the employee Daniel Carter and 2 cases", "the case [Printer jams]".
    QString what() const;
};

namespace Deletions {

// The deletion of a command, or nothing when the log holds none (trimmed, or never written).
std::optional<Deletion> read(CaseStore& store, qint64 command);
// The deletions made by anyone, newest first, the newest `limit` deleted rows at most.
std::vector<Deletion> list(CaseStore& store, int limit = 20000);

// A row's name for people: "Daniel Carter" for a person, the value of a lookup row, a case's
// title.
QString rowName(const LoggedRow& row);
// "the employee", "the status", "the case", by the row's table.
QString kindOf(const QString& table);
// The row with its kind: "the employee Daniel Carter", "the status Open".
QString named(const LoggedRow& row);

}  // namespace Deletions

namespace ChangeLogText {

// The table's name as the file's schema spells it, whichever engine wrote it.
QString tableName(const QString& logged);
// The table's name as both engines write it into the log, for an indexed "in (...)" test:
// "'Cases', 'cases'".
QString spellings(const QString& table);
// The text with its first letter a capital, to begin a sentence: "The employee Ann Lee".
QString sentence(QString text);
// A column's value from a row's JSON, whatever letter case the engine wrote its name in.
QJsonValue column(const QJsonObject& values, const QString& name);

}  // namespace ChangeLogText
