#pragma once

#include "connection_turns.h"
#include "engine.h"
#include "postgres_text.h"

struct sqlite3;
struct sqlite3_stmt;

// What the connection's own changes carry into the change log beyond what the file's triggers
// know. The command is 0 until the command's first change, which numbers it; each statement
// outside a transaction is a command, and so is each transaction. While restoring, inserts are
// logged as "restore".
struct ChangeAuthorship {
    qint64 command = 0;
    bool restoring = false;
};

// The database file: SQLite, with the program's functions and date triggers on its connection.
class SqliteEngine final : public Engine {
public:
    // How long a statement waits for a file that another program holds locked.
    static constexpr int kBusyTimeoutMs = 5000;

    // Sets the library up as the program uses it; called before the library's first use, and
    // again harmlessly later (a setting of a library in use is refused and changes nothing).
    static void configureLibrary();

    // Opens the database file at the path; the file must exist and be a database.
    explicit SqliteEngine(const QString& path);
    ~SqliteEngine() override;
    SqliteEngine(const SqliteEngine&) = delete;
    SqliteEngine& operator=(const SqliteEngine&) = delete;

    int execute(const QString& statement) override;
    std::unique_ptr<Cursor> query(const QString& select) override;
    // BEGIN IMMEDIATE already holds the file's write lock: the same as query.
    std::unique_ptr<Cursor> queryForUpdate(const QString& select) override;
    bool inTransaction() const override;
    void begin() override;
    void commit() override;
    void rollback() noexcept override;
    // Compares the file's data version with the one last seen.
    bool changedElsewhere() override;
    qint64 currentCommand() override { return m_authorship.command; }
    void logInsertsAsRestored() override { m_authorship.restoring = true; }

    sqlite3* handle() const {
        m_turns.take();
        return m_db;
    }

private:
    [[noreturn]] void fail() const;
    sqlite3_stmt* prepare(const QString& statementText);
    qint64 dataVersion() const;

    sqlite3* m_db = nullptr;
    // Every use of m_db and of its statements, the cursors' included, takes a turn.
    ConnectionTurns m_turns;
    qint64 m_dataVersion = 0;
    ChangeAuthorship m_authorship;
    // The date columns, whose date texts the statements write as ISO dates.
    PostgresText::Schema m_dates;
};

// Registers the program's SQL functions on a connection: the aggregates First and Last, and the
// date conversion case_date() used by the date triggers.
void registerCaseStoreFunctions(sqlite3* db);
// Gives a file of an earlier version the change log (when the program may write it), and makes
// the changes of this connection carry the desktop account, the number of the command that made
// them and whether its inserts restore deleted rows, as the authorship says.
void installChangeLog(sqlite3* db, ChangeAuthorship* authorship);
// Installs the connection's own date triggers on the file's Cases table (nothing when the file
// has none), after dropping the stored ones that files made from earlier templates carry.
// Needs the functions registered first; throws a Failure when the triggers cannot be made.
void installCaseStoreTriggers(sqlite3* db);
