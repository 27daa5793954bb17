#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "engine.h"
#include "record_set.h"

struct sqlite3;

// The one database connection of the program: an SQLite file, or a PostgreSQL server that a team
// shares. Statements are the texts the windows build; both engines accept them as they stand:
// bracketed names, the First and Last aggregates (first and last row in insertion order), quoted
// date texts in any form that the program writes. Every failure throws a Failure carrying the
// engine's description.
class CaseStore {
public:
    // How long a statement waits for a file that another program holds locked.
    static constexpr int kBusyTimeoutMs = 5000;

    CaseStore();
    ~CaseStore();
    CaseStore(const CaseStore&) = delete;
    CaseStore& operator=(const CaseStore&) = delete;

    // Opens with a connection text of the form
    // "provider=...;data source=PATH;JET OLEDB:Database Password=" (the SQLite file at PATH; no
    // password is supported), or with a PostgreSQL connection URI or "key=value" text as libpq
    // reads it (any text without a "provider=" part).
    void open(const QString& connectionText);
    // Opens the database file at the path; the file must exist and be a database.
    void openFile(const QString& path);
    // Opens the PostgreSQL database that the libpq connection text names.
    void openServer(const QString& connectionText);
    // 0 while closed, 1 while open.
    int state() const;
    void close();

    // Runs one statement and gives the number of rows it changed.
    int execute(const QString& statement);
    // Runs one select and gives its rows.
    RecordSet query(const QString& select);
    // Runs one select whose rows stay locked against other writers until the transaction ends
    // (on a file, the transaction's write lock already does that), so that what was read can be
    // checked and written in one step.
    RecordSet queryForUpdate(const QString& select);
    // Runs the work as one transaction: everything it executes happens, or nothing does.
    void transaction(const std::function<void()>& work);

    // True, once, when another connection has committed a change since the last call (the first
    // call compares with the open). The engine's own question: the observer does not see it.
    bool changedElsewhere();

    // The commands (in the change log) of the deletions committed through this connection since
    // the program started, oldest first, less those forgotten: what Undo may bring back.
    const std::vector<qint64>& ownDeletions() const { return m_ownDeletions; }
    void forgetDeletion(qint64 command);

    // What an administrator must do to bring a database of an earlier version up to date, or
    // the empty text (a file is brought up to date by the program itself).
    QString upgradeNeeded() const { return engine().upgradeNeeded(); }

    // The SQLite connection of a file store (the benchmark and tests read the file through it);
    // a server store refuses.
    sqlite3* handle() const;
    // The engine behind the open connection.
    Engine& engine() const;

    // Sees every statement text that execute and query are given, before it runs (tests read
    // what reached the database; empty to stop).
    void setStatementObserver(std::function<void(const QString&)> observer) {
        m_observer = std::move(observer);
    }

    // The connection shared by every window for the whole run.
    static void createShared();
    static bool hasShared();
    static CaseStore& shared();
    static void releaseShared();

private:
    friend class RecordSet;
    // Shows the text to the observer and refuses a text with a NUL with the message given;
    // gives the engine to run it on.
    Engine& accept(const QString& statementText, const char* nulMessage);
    void observe(const QString& statement) const {
        if (m_observer) {
            m_observer(statement);
        }
    }

    // Runs a deletion and remembers its command once it is committed.
    int executeDeletion(Engine& open, const QString& statementText);
    void remember(qint64 command);
    // The transaction's deletions committed: Undo may bring them back.
    void keepPendingDeletions();

    std::unique_ptr<Engine> m_engine;
    std::function<void(const QString&)> m_observer;
    std::vector<qint64> m_ownDeletions;
    std::vector<qint64> m_pendingDeletions;  // of the open transaction
};
