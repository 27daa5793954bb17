#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "record_set.h"

struct sqlite3;
struct sqlite3_stmt;

// The one database connection of the program, on an SQLite file. Statements are the texts the
// windows build; they are accepted as they stand: bracketed names, the First and Last aggregates
// (first and last row in the table's row order), quoted date texts in any form that the program
// writes. Every failure throws a Failure carrying the engine's description.
class CaseStore {
public:
    // How long a statement waits for a file that another program holds locked.
    static constexpr int kBusyTimeoutMs = 5000;

    CaseStore();
    ~CaseStore();
    CaseStore(const CaseStore&) = delete;
    CaseStore& operator=(const CaseStore&) = delete;

    // Opens with a connection text of the form
    // "provider=...;data source=PATH;JET OLEDB:Database Password=" (no password is supported).
    void open(const QString& connectionText);
    // Opens the database file at the path; the file must exist and be a database.
    void openFile(const QString& path);
    // 0 while closed, 1 while open.
    int state() const;
    void close();

    // Runs one statement and gives the number of rows it changed.
    int execute(const QString& statement);
    // Runs one select and gives its rows.
    RecordSet query(const QString& select);
    // Runs one select whose rows the running transaction is about to write, holding them until
    // it ends, so that nobody changes them between the read and the write. On the file the
    // transaction's BEGIN IMMEDIATE already holds the write lock: a plain query.
    RecordSet queryForUpdate(const QString& select);
    // Runs the work as one transaction: everything it executes happens, or nothing does.
    void transaction(const std::function<void()>& work);

    // True, once, when another connection has committed a change since the last call. The
    // first call after the open only takes the starting point and gives false.
    bool changedElsewhere();

    sqlite3* handle() const;

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
    [[noreturn]] void fail(const QString& context) const;
    // Checks and prepares one statement text (seen by the observer first); a text with a NUL
    // is refused with the message given.
    sqlite3_stmt* prepare(const QString& statementText, const char* nulMessage);
    void observe(const QString& statement) const {
        if (m_observer) {
            m_observer(statement);
        }
    }

    sqlite3* m_db = nullptr;
    // The file's data version at the last changedElsewhere(); -1 before the first call.
    qint64 m_dataVersion = -1;
    std::function<void(const QString&)> m_observer;
};

// Registers the program's SQL functions on a connection: the aggregates First and Last, and the
// date conversion case_date() used by the date triggers.
void registerCaseStoreFunctions(sqlite3* db);
// Installs the connection's own date triggers on the file's Cases table (nothing when the file
// has none), after dropping the stored ones that files made from earlier templates carry.
// Needs the functions registered first; throws a Failure when the triggers cannot be made.
void installCaseStoreTriggers(sqlite3* db);
