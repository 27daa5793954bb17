#include "change_feed.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "case_store.h"
#include "sqlite_engine.h"

namespace {

QString numberList(const std::vector<qint64>& numbers) {
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(numbers.size()));
    for (const qint64 number : numbers) {
        texts.append(QString::number(number));
    }
    return texts.join(QLatin1Char(','));
}

LoggedChange::Action actionOf(const QString& text) {
    if (text.compare(QLatin1String("delete"), Qt::CaseInsensitive) == 0) {
        return LoggedChange::Action::Delete;
    }
    if (text.compare(QLatin1String("update"), Qt::CaseInsensitive) == 0) {
        return LoggedChange::Action::Update;
    }
    return LoggedChange::Action::Insert;  // "insert", and "restore": a deleted row back
}

// Whether an update's changed columns (a JSON object) hold a name the list shows.
bool namesIn(const QString& after) {
    const QJsonObject changed = QJsonDocument::fromJson(after.toUtf8()).object();
    for (auto column = changed.begin(); column != changed.end(); ++column) {
        if (column.key().compare(QLatin1String("First Name"), Qt::CaseInsensitive) == 0 ||
            column.key().compare(QLatin1String("Last Name"), Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool ChangeFeed::available() const {
    return m_store.upgradeNeeded().isEmpty();
}

bool ChangeFeed::askEveryTick() const {
    return dynamic_cast<SqliteEngine*>(&m_store.engine()) == nullptr;
}

QString ChangeFeed::newestRevisionStatement() {
    return QStringLiteral("select coalesce(max([Revision]), 0) from [Changes]");
}

QString ChangeFeed::changesAfterStatement(qint64 revision) {
    // The revision itself is read too, to tell that the log still holds it. Only a person's
    // update brings its changed columns, to tell whether a name changed.
    return QStringLiteral(
               "select [Revision], [Table Name], [Row], [Action], case when [Action] = 'update' "
               "and lower([Table Name]) in ('employees', 'customers') then [After] end as "
               "[After] from [Changes] where [Revision] >= %1 order by [Revision] limit %2")
        .arg(revision)
        .arg(kMostChanges + 2);
}

QString ChangeFeed::casesShowingStatement(const std::vector<qint64>& employees,
                                          const std::vector<qint64>& customers) {
    QStringList conditions;
    if (!employees.empty()) {
        const QString list = numberList(employees);
        conditions.append(QStringLiteral("[Assigned To] in (%1) or [Opened By] in (%1)").arg(list));
    }
    if (!customers.empty()) {
        conditions.append(QStringLiteral("Customer in (%1)").arg(numberList(customers)));
    }
    return QStringLiteral("select ID from Cases where ") +
           (conditions.isEmpty() ? QStringLiteral("0 = 1")
                                 : conditions.join(QLatin1String(" or ")));
}

QString ChangeFeed::caseRowsStatement(const QStringList& columns, const std::vector<qint64>& ids) {
    QStringList fields;
    for (const QString& column : columns) {
        fields.append(QLatin1Char('[') + column + QLatin1Char(']'));
    }
    return QStringLiteral("select %1 from [Cases Extended] where ID in (%2)")
        .arg(fields.join(QLatin1String(", ")),
             ids.empty() ? QStringLiteral("NULL") : numberList(ids));
}

qint64 ChangeFeed::newestRevision() {
    RecordSet newest = m_store.query(newestRevisionStatement());
    return newest.eof() ? 0 : newest.value(0).toLongLong();
}

std::optional<std::vector<LoggedChange>> ChangeFeed::changesAfter(qint64 revision) {
    RecordSet rows = m_store.query(changesAfterStatement(revision));
    std::vector<LoggedChange> changes;
    // The revision seen must still be there (nothing was, before the first one), and the
    // numbers must follow it without a gap.
    qint64 expected = revision;
    bool first = true;
    while (!rows.eof()) {
        const qint64 number = rows.value(0).toLongLong();
        if (first && revision > 0) {
            if (number != revision) {
                return std::nullopt;
            }
            first = false;
            rows.moveNext();
            continue;
        }
        first = false;
        if (number != expected + 1 || static_cast<int>(changes.size()) >= kMostChanges) {
            return std::nullopt;
        }
        expected = number;
        LoggedChange change;
        change.revision = number;
        change.table = rows.text(1);
        change.row = rows.text(2);
        change.action = actionOf(rows.text(3));
        change.namesChanged =
            change.action == LoggedChange::Action::Update && namesIn(rows.text(4));
        changes.push_back(std::move(change));
        rows.moveNext();
    }
    if (first && revision > 0) {
        return std::nullopt;  // the revision seen is gone: trimmed, or the log begun anew
    }
    return changes;
}

std::vector<qint64> ChangeFeed::casesShowing(const std::vector<qint64>& employees,
                                             const std::vector<qint64>& customers) {
    std::vector<qint64> ids;
    if (employees.empty() && customers.empty()) {
        return ids;
    }
    RecordSet rows = m_store.query(casesShowingStatement(employees, customers));
    while (!rows.eof()) {
        ids.push_back(rows.value(0).toLongLong());
        rows.moveNext();
    }
    return ids;
}

RecordSet ChangeFeed::caseRows(const QStringList& columns, const std::vector<qint64>& ids) {
    return m_store.query(caseRowsStatement(columns, ids));
}
