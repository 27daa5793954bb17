#include "deletion_restore.h"

#include <QJsonValue>
#include <QStringList>

#include "case_store.h"
#include "failure.h"
#include "record_set.h"
#include "sql_text.h"

namespace {

bool isPerson(const LoggedRow& row) {
    return row.table == QLatin1String("Employees") || row.table == QLatin1String("Customers");
}

bool isLookup(const LoggedRow& row) {
    return !isPerson(row) && row.table != QLatin1String("Cases");
}

// A value of the log's JSON as a literal of a statement.
QString literal(const QJsonValue& value) {
    if (value.isDouble()) {
        const double number = value.toDouble();
        const auto whole = static_cast<qint64>(number);
        return static_cast<double>(whole) == number ? QString::number(whole)
                                                    : QString::number(number, 'g', 17);
    }
    if (value.isString()) {
        QString text = value.toString();
        // The server writes its timestamps as "yyyy-MM-ddTHH:mm:ss".
        if (text.size() == 19 && text.at(10) == QLatin1Char('T') &&
            text.at(4) == QLatin1Char('-')) {
            text[10] = QLatin1Char(' ');
        }
        return SqlText::quoted(text);
    }
    if (value.isBool()) {
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    }
    return QStringLiteral("NULL");
}

// The lookup row's one column and its value.
QString lookupColumn(const LoggedRow& row) {
    return row.before.isEmpty() ? QString() : row.before.begin().key();
}

}  // namespace

DeletionRestore::DeletionRestore(CaseStore& store, Deletion deletion)
    : m_store(store), m_deletion(std::move(deletion)) {}

QString DeletionRestore::question() const {
    const LoggedRow* cause = m_deletion.cause();
    if (cause != nullptr && isLookup(*cause) && exists(*cause)) {
        const int cases = m_deletion.caseCount();
        return QStringLiteral("%1 was added again since it was deleted. Restore its %2 onto it?")
            .arg(ChangeLogText::sentence(Deletions::named(*cause)),
                 cases == 1 ? QStringLiteral("case") : QStringLiteral("%1 cases").arg(cases));
    }
    return QStringLiteral("Restore %1?").arg(m_deletion.what());
}

QString DeletionRestore::obstacle() const {
    const auto named = [](const LoggedRow& row) {
        return ChangeLogText::sentence(Deletions::named(row));
    };
    const LoggedRow* cause = m_deletion.cause();
    if (cause != nullptr && isLookup(*cause) && m_deletion.caseCount() == 0 && exists(*cause)) {
        return named(*cause) + QStringLiteral(
                                   " was added again since it was deleted: there is "
                                   "nothing to restore.");
    }
    QStringList taken;
    for (const LoggedRow& row : m_deletion.rows) {
        if (isLookup(row) || !exists(row)) {
            continue;
        }
        taken.append(restoredSince(row)
                         ? QStringLiteral("%1 was restored already.").arg(named(row))
                         : QStringLiteral("%1 cannot come back: its ID %2 now belongs to %3.")
                               .arg(named(row), row.row, holderOf(row)));
    }
    if (taken.isEmpty()) {
        return {};
    }
    constexpr qsizetype kNamed = 5;
    if (taken.size() > kNamed) {
        const qsizetype more = taken.size() - kNamed;
        taken.resize(kNamed);
        taken.append(QStringLiteral("and %1 more.").arg(more));
    }
    return taken.join(QLatin1Char('\n')) + QStringLiteral("\n\nNothing was restored.");
}

QString DeletionRestore::run() {
    // Thrown out of the transaction, so that it ends without a change.
    struct InTheWay {
        QString what;
    };
    try {
        m_store.transaction([this] {
            m_store.engine().logInsertsAsRestored();
            // Asked again inside the transaction, which keeps other writers out until it ends.
            if (QString what = obstacle(); !what.isEmpty()) {
                throw InTheWay{std::move(what)};
            }
            for (const LoggedRow& row : m_deletion.rows) {
                if (!isLookup(row) || !exists(row)) {
                    insert(row);
                }
            }
        });
    } catch (const InTheWay& inTheWay) {
        return inTheWay.what;
    }
    m_store.forgetDeletion(m_deletion.command);
    return {};
}

bool DeletionRestore::exists(const LoggedRow& row) const {
    const QString test = isLookup(row)
                             ? QStringLiteral("select count(*) from [%1] where [%2] = %3")
                                   .arg(row.table, lookupColumn(row), SqlText::quoted(row.row))
                             : QStringLiteral("select count(*) from [%1] where ID = %2")
                                   .arg(row.table, QString::number(row.row.toLongLong()));
    RecordSet count = m_store.query(test);
    return !count.eof() && count.value(0).toLongLong() > 0;
}

bool DeletionRestore::restoredSince(const LoggedRow& row) const {
    RecordSet newest = m_store.query(
        QStringLiteral("select [Action] from [Changes] where [Table Name] in (%1) and [Row] = %2 "
                       "and Revision > %3 order by Revision desc limit 1")
            .arg(ChangeLogText::spellings(row.table), SqlText::quoted(row.row))
            .arg(row.revision));
    return !newest.eof() && newest.text(0) == QLatin1String("restore");
}

QString DeletionRestore::holderOf(const LoggedRow& row) const {
    const QString select =
        isPerson(row) ? QStringLiteral("select [First Name], [Last Name] from [%1] where ID = %2")
                      : QStringLiteral("select Title from [%1] where ID = %2");
    RecordSet holder = m_store.query(select.arg(row.table, QString::number(row.row.toLongLong())));
    if (holder.eof()) {
        return QStringLiteral("another row");
    }
    return isPerson(row) ? holder.text(0) + QLatin1Char(' ') + holder.text(1)
                         : QStringLiteral("the case [%1]").arg(holder.text(0));
}

void DeletionRestore::insert(const LoggedRow& row) {
    QStringList columns;
    QStringList values;
    for (auto value = row.before.begin(); value != row.before.end(); ++value) {
        columns.append(QLatin1Char('[') + value.key() + QLatin1Char(']'));
        values.append(literal(value.value()));
    }
    m_store.execute(
        QStringLiteral("insert into [%1] (%2) values (%3)")
            .arg(row.table, columns.join(QStringLiteral(", ")), values.join(QStringLiteral(", "))));
}
