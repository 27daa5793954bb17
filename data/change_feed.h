#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>
#include <vector>

#include "record_set.h"

class CaseStore;

// One row of the change log, as a reader of the case list needs it.
struct LoggedChange {
    enum class Action { Insert, Update, Delete };
    qint64 revision = 0;
    QString table;  // as the log wrote it: "Cases" on a file, "cases" on the server
    QString row;    // the ID, or a lookup row's value
    Action action = Action::Insert;
    // An update of an employee or a customer that changed the first or the last name, which the
    // case list shows.
    bool namesChanged = false;

    bool isOf(const char* name) const {
        return table.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    }
};

// Reads the change log (table [Changes]) after a revision the reader has seen, so that a list
// reads again only the rows that changed. The log answers only while it still holds every change
// after that revision: once trimmed past it, the reader must read everything again.
class ChangeFeed {
public:
    // At most this many changes are read at once; more mean a reload is cheaper.
    static constexpr int kMostChanges = 2000;

    explicit ChangeFeed(CaseStore& store) : m_store(store) {}

    // False on a server database of an earlier schema, which keeps no log.
    bool available() const;
    // True when asking the log costs one indexed query and is worth doing every tick without a
    // sign of change (the server, where a notice can be missed); on a file the data version
    // tells whether anything changed at all.
    bool askEveryTick() const;

    // The newest revision in the log, 0 when it is empty.
    qint64 newestRevision();
    // The changes after the revision, oldest first; nothing when the log cannot answer: trimmed
    // past the revision (its row is gone, or the next one is not revision + 1), begun anew (its
    // newest revision is below it), or more than kMostChanges.
    std::optional<std::vector<LoggedChange>> changesAfter(qint64 revision);

    // The IDs of the cases that show one of the people: assigned to or opened by one of the
    // employees, or for one of the customers.
    std::vector<qint64> casesShowing(const std::vector<qint64>& employees,
                                     const std::vector<qint64>& customers);
    // The list's columns of [Cases Extended] for the cases, in no particular order.
    RecordSet caseRows(const QStringList& columns, const std::vector<qint64>& ids);

    static QString newestRevisionStatement();
    static QString changesAfterStatement(qint64 revision);
    static QString casesShowingStatement(const std::vector<qint64>& employees,
                                         const std::vector<qint64>& customers);
    static QString caseRowsStatement(const QStringList& columns, const std::vector<qint64>& ids);

private:
    CaseStore& m_store;
};
