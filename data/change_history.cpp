#include "change_history.h"

#include <QHash>
#include <QJsonDocument>
#include <QStringList>
#include <QTimeZone>
#include <array>
#include <set>

#include "case_store.h"
#include "date_text.h"
#include "record_set.h"
#include "sql_text.h"

namespace {

// Every column of a log row, in the order LoggedRow keeps them.
const QString kSelect = QStringLiteral(
    "select Revision, [Table Name], [Row], [Action], [Changed At], [Changed By], [Command], "
    "[Before], [After] from [Changes] ");

// The tables the log names, as the file spells them, with what people call one of their rows.
struct TableWords {
    const char* table;
    const char* kind;
};
constexpr std::array<TableWords, 7> kTables{{{"Cases", "case"},
                                             {"Employees", "employee"},
                                             {"Customers", "customer"},
                                             {"Status", "status"},
                                             {"Categories", "category"},
                                             {"Priorities", "priority"},
                                             {"KnowledgeBase", "knowledge base entry"}}};

// The columns of a case, in the order the history names them.
constexpr std::array<const char*, 13> kCaseColumns{
    "Title", "Status",      "Priority",      "Category", "Assigned To", "Customer", "Opened By",
    "KB",    "Opened Date", "Resolved Date", "Due Date", "Call Time",   "Comments"};
bool isDateColumn(const QString& column) {
    return column.endsWith(QLatin1String(" Date")) || column == QLatin1String("Call Time");
}

QJsonObject jsonObject(const QVariant& value) {
    return QJsonDocument::fromJson(value.toString().toUtf8()).object();
}

QDateTime utc(const QVariant& value) {
    QDateTime moment = value.toDateTime();
    if (!moment.isValid()) {
        QString text = value.toString();
        text.replace(QLatin1Char(' '), QLatin1Char('T'));
        moment = QDateTime::fromString(text, Qt::ISODateWithMs);
    }
    return QDateTime(moment.date(), moment.time(), QTimeZone::utc());
}

std::vector<LoggedRow> readRows(CaseStore& store, const QString& select) {
    std::vector<LoggedRow> rows;
    RecordSet found = store.query(select);
    while (!found.eof()) {
        LoggedRow row;
        row.revision = found.value(0).toLongLong();
        row.table = ChangeLogText::tableName(found.value(1).toString());
        row.row = found.value(2).toString();
        row.action = found.value(3).toString();
        row.changedAt = utc(found.value(4));
        row.changedBy = found.value(5).toString();
        row.command = found.value(6).toLongLong();
        row.before = jsonObject(found.value(7));
        row.after = jsonObject(found.value(8));
        rows.push_back(std::move(row));
        found.moveNext();
    }
    return rows;
}

QString personName(const QJsonObject& values) {
    return ChangeLogText::column(values, QStringLiteral("First Name")).toString() +
           QLatin1Char(' ') + ChangeLogText::column(values, QStringLiteral("Last Name")).toString();
}

// The names of people by ID, as the list shows them; people deleted since by the name the log
// kept of them.
class PeopleNames {
public:
    PeopleNames(CaseStore& store, const QString& table, const QString& view,
                const QString& nameColumn, const std::set<qint64>& ids)
        : m_table(table) {
        if (ids.empty()) {
            return;
        }
        QStringList numbers;
        QStringList texts;
        for (const qint64 id : ids) {
            numbers.append(QString::number(id));
            texts.append(SqlText::quoted(QString::number(id)));
        }
        RecordSet named = store.query(QStringLiteral("select ID, [%1] from [%2] where ID in (%3)")
                                          .arg(nameColumn, view, numbers.join(QLatin1Char(','))));
        while (!named.eof()) {
            m_names.insert(named.value(0).toLongLong(), named.text(1));
            named.moveNext();
        }
        for (const LoggedRow& gone : readRows(
                 store, kSelect + QStringLiteral("where [Table Name] in (%1) and [Row] in (%2) and "
                                                 "[Action] = 'delete'")
                                      .arg(ChangeLogText::spellings(table),
                                           texts.join(QLatin1Char(','))))) {
            const qint64 id = gone.row.toLongLong();
            if (!m_names.contains(id)) {
                m_names.insert(id, personName(gone.before));
            }
        }
    }
    QString name(qint64 id) const {
        return m_names.value(id, QStringLiteral("%1 %2").arg(m_table, QString::number(id)));
    }

private:
    QString m_table;
    QHash<qint64, QString> m_names;
};

// A value of a case's column in words: people by name, dates as the list shows them, long texts
// cut short on one line.
class CaseWords {
public:
    CaseWords(CaseStore& store, const std::vector<LoggedRow>& rows)
        : m_employees(store, QStringLiteral("Employees"), QStringLiteral("Employees Extended"),
                      QStringLiteral("Employee Name"), ids(rows, {"Assigned To", "Opened By"})),
          m_customers(store, QStringLiteral("Customers"), QStringLiteral("Customers Extended"),
                      QStringLiteral("Customer Name"), ids(rows, {"Customer"})) {}

    QString value(const QString& column, const QJsonValue& value) const {
        if (value.isNull() || value.isUndefined() || value.toVariant().toString().isEmpty()) {
            return QStringLiteral("(empty)");
        }
        if (column == QLatin1String("Assigned To") || column == QLatin1String("Opened By")) {
            return m_employees.name(value.toVariant().toLongLong());
        }
        if (column == QLatin1String("Customer")) {
            return m_customers.name(value.toVariant().toLongLong());
        }
        QString text = value.toVariant().toString();
        if (isDateColumn(column)) {
            if (const auto date = DateText::fromStorage(
                    text.replace(QLatin1Char('T'), QLatin1Char(' ')).toStdString())) {
                return DateText::toText(*date);
            }
        }
        text = text.simplified();
        constexpr qsizetype kLongest = 80;
        if (text.size() > kLongest) {
            text = text.left(kLongest - 1) + QChar(0x2026);
        }
        return text;
    }

private:
    static std::set<qint64> ids(const std::vector<LoggedRow>& rows,
                                std::initializer_list<const char*> columns) {
        std::set<qint64> found;
        for (const LoggedRow& row : rows) {
            for (const char* column : columns) {
                for (const QJsonObject* values : {&row.before, &row.after}) {
                    const QJsonValue id = ChangeLogText::column(*values, QLatin1String(column));
                    if (id.isDouble()) {
                        found.insert(id.toVariant().toLongLong());
                    }
                }
            }
        }
        return found;
    }

    PeopleNames m_employees;
    PeopleNames m_customers;
};

void appendLines(CaseStore& store, const LoggedRow& row, const CaseWords& words,
                 std::vector<HistoryLine>& lines) {
    const auto line = [&](const QString& what) {
        lines.push_back({row.changedAt, row.changedBy, what});
    };
    if (row.action == QLatin1String("insert")) {
        line(QStringLiteral("Added"));
    } else if (row.action == QLatin1String("restore")) {
        line(QStringLiteral("Restored"));
    } else if (row.action == QLatin1String("delete")) {
        const std::optional<Deletion> deletion = Deletions::read(store, row.command);
        const LoggedRow* cause = deletion ? deletion->cause() : nullptr;
        line(cause == nullptr ? QStringLiteral("Deleted")
                              : QStringLiteral("Deleted with ") + Deletions::named(*cause));
    } else {
        for (const char* name : kCaseColumns) {
            const QString column = QLatin1String(name);
            const QJsonValue after = ChangeLogText::column(row.after, column);
            if (!after.isUndefined()) {
                line(column + QStringLiteral(": ") +
                     words.value(column, ChangeLogText::column(row.before, column)) +
                     QStringLiteral(" \u2192 ") + words.value(column, after));
            }
        }
    }
}

}  // namespace

QString ChangeLogText::tableName(const QString& logged) {
    for (const TableWords& words : kTables) {
        if (logged.compare(QLatin1String(words.table), Qt::CaseInsensitive) == 0) {
            return QLatin1String(words.table);
        }
    }
    return logged;
}

QString ChangeLogText::spellings(const QString& table) {
    return SqlText::quoted(table) + QStringLiteral(", ") + SqlText::quoted(table.toLower());
}

QString ChangeLogText::sentence(QString text) {
    if (!text.isEmpty()) {
        text[0] = text[0].toUpper();
    }
    return text;
}

QJsonValue ChangeLogText::column(const QJsonObject& values, const QString& name) {
    const QJsonValue exact = values.value(name);
    return exact.isUndefined() ? values.value(name.toLower()) : exact;
}

std::vector<HistoryLine> CaseHistory::read(CaseStore& store, qint64 caseId) {
    const std::vector<LoggedRow> rows =
        readRows(store, kSelect + QStringLiteral("where [Table Name] in (%1) and [Row] = %2 "
                                                 "order by Revision desc")
                                      .arg(ChangeLogText::spellings(QStringLiteral("Cases")),
                                           SqlText::quoted(QString::number(caseId))));
    const CaseWords words(store, rows);
    std::vector<HistoryLine> lines;
    for (const LoggedRow& row : rows) {
        appendLines(store, row, words, lines);
    }
    return lines;
}

const LoggedRow* Deletion::cause() const {
    for (const LoggedRow& row : rows) {
        if (row.table != QLatin1String("Cases")) {
            return &row;
        }
    }
    return nullptr;
}

int Deletion::caseCount() const {
    return static_cast<int>(std::count_if(rows.begin(), rows.end(), [](const LoggedRow& row) {
        return row.table == QLatin1String("Cases");
    }));
}

QString Deletion::what() const {
    const int cases = caseCount();
    const LoggedRow* leading = cause();
    if (leading == nullptr) {
        return cases == 1 ? QStringLiteral("the case [%1]").arg(Deletions::rowName(rows.front()))
                          : QStringLiteral("%1 cases").arg(cases);
    }
    QString text = Deletions::named(*leading);
    if (cases > 0) {
        text +=
            cases == 1 ? QStringLiteral(" and 1 case") : QStringLiteral(" and %1 cases").arg(cases);
    }
    return text;
}

QString Deletions::rowName(const LoggedRow& row) {
    if (row.table == QLatin1String("Employees") || row.table == QLatin1String("Customers")) {
        return personName(row.before);
    }
    if (row.table == QLatin1String("Cases")) {
        return ChangeLogText::column(row.before, QStringLiteral("Title")).toString();
    }
    return row.row;
}

QString Deletions::kindOf(const QString& table) {
    for (const TableWords& words : kTables) {
        if (table == QLatin1String(words.table)) {
            return QStringLiteral("the ") + QLatin1String(words.kind);
        }
    }
    return QStringLiteral("the row of ") + table;
}

QString Deletions::named(const LoggedRow& row) {
    return kindOf(row.table) + QLatin1Char(' ') + rowName(row);
}

std::optional<Deletion> Deletions::read(CaseStore& store, qint64 command) {
    // The rows of one command follow one another from the command's number on: one writer at a
    // time moves the revisions on.
    Deletion deletion;
    deletion.command = command;
    deletion.rows = readRows(store, kSelect + QStringLiteral("where Revision >= %1 and "
                                                             "[Command] = %1 and [Action] = "
                                                             "'delete' order by Revision")
                                                  .arg(command));
    if (deletion.rows.empty()) {
        return std::nullopt;
    }
    deletion.changedAt = deletion.rows.front().changedAt;
    deletion.changedBy = deletion.rows.front().changedBy;
    return deletion;
}

std::vector<Deletion> Deletions::list(CaseStore& store, int limit) {
    std::vector<Deletion> deletions;
    for (LoggedRow& row :
         readRows(store, kSelect + QStringLiteral("where [Action] = 'delete' "
                                                  "order by Revision desc limit %1")
                                       .arg(limit))) {
        if (deletions.empty() || deletions.back().command != row.command) {
            deletions.push_back({row.command, row.changedAt, row.changedBy, {}});
        }
        deletions.back().rows.push_back(std::move(row));
    }
    for (Deletion& deletion : deletions) {
        std::reverse(deletion.rows.begin(), deletion.rows.end());
    }
    return deletions;
}
