#include "sqlite_engine.h"

#include <sqlite3.h>

#include <QByteArray>

#include "failure.h"

namespace {

bool onlyWhitespaceOrSemicolon(const char* tail) {
    const QByteArray rest = QByteArray(tail).trimmed();
    return rest.isEmpty() || rest == ";";
}

bool declaredAsDate(const char* declared) {
    if (declared == nullptr) {
        return false;
    }
    const QByteArray type = QByteArray(declared).trimmed().toUpper();
    return type == "DATE" || type == "DATETIME";
}

// Every column declared as a date, as "table.column" in lower case.
PostgresText::Schema dateColumns(sqlite3* db) {
    PostgresText::Schema schema;
    sqlite3_stmt* statement = nullptr;
    const char* const select =
        "SELECT lower(t.name || '.' || c.name), c.type FROM sqlite_master t, "
        "pragma_table_info(t.name) c WHERE t.type = 'table'";
    if (sqlite3_prepare_v2(db, select, -1, &statement, nullptr) == SQLITE_OK) {
        while (sqlite3_step(statement) == SQLITE_ROW) {
            if (declaredAsDate(reinterpret_cast<const char*>(sqlite3_column_text(statement, 1)))) {
                schema.dateColumns.insert(QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))));
            }
        }
    }
    sqlite3_finalize(statement);
    return schema;
}

class SqliteCursor final : public Cursor {
public:
    SqliteCursor(sqlite3* db, sqlite3_stmt* statement, const ConnectionTurns& turns)
        : m_db(db), m_statement(statement), m_turns(turns) {
        const int count = sqlite3_column_count(statement);
        m_dateColumns.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            m_dateColumns.push_back(declaredAsDate(sqlite3_column_decltype(statement, i)));
        }
    }
    ~SqliteCursor() override {
        m_turns.take();
        sqlite3_finalize(m_statement);
    }
    SqliteCursor(const SqliteCursor&) = delete;
    SqliteCursor& operator=(const SqliteCursor&) = delete;

    int columnCount() const override { return static_cast<int>(m_dateColumns.size()); }
    QString columnName(int column) const override {
        m_turns.take();
        return QString::fromUtf8(sqlite3_column_name(m_statement, column));
    }
    bool isDateColumn(int column) const override {
        return m_dateColumns[static_cast<size_t>(column)];
    }
    bool next() override {
        m_turns.take();
        m_typedColumn = -1;
        const int rc = sqlite3_step(m_statement);
        if (rc == SQLITE_ROW) {
            return true;
        }
        if (rc != SQLITE_DONE) {
            throw Failure(QString::fromUtf8(sqlite3_errmsg(m_db)));
        }
        return false;
    }
    Kind kind(int column) const override {
        switch (type(column)) {
            case SQLITE_NULL:
                return Kind::Null;
            case SQLITE_INTEGER:
                return Kind::Integer;
            case SQLITE_FLOAT:
                return Kind::Real;
            case SQLITE_BLOB:
                return Kind::Blob;
            default:
                return Kind::Text;
        }
    }
    qint64 integer(int column) const override {
        m_turns.take();
        return sqlite3_column_int64(m_statement, column);
    }
    double real(int column) const override {
        m_turns.take();
        return sqlite3_column_double(m_statement, column);
    }
    std::string_view bytes(int column) const override {
        m_turns.take();
        const void* data = type(column) == SQLITE_BLOB ? sqlite3_column_blob(m_statement, column)
                                                       : sqlite3_column_text(m_statement, column);
        const auto size = static_cast<size_t>(sqlite3_column_bytes(m_statement, column));
        return data != nullptr ? std::string_view(static_cast<const char*>(data), size)
                               : std::string_view();
    }

private:
    // A cell's kind is asked for, and then its bytes: the library is asked once.
    int type(int column) const {
        if (column != m_typedColumn) {
            m_turns.take();
            m_type = sqlite3_column_type(m_statement, column);
            m_typedColumn = column;
        }
        return m_type;
    }

    sqlite3* m_db;
    sqlite3_stmt* m_statement;
    const ConnectionTurns& m_turns;
    std::vector<bool> m_dateColumns;
    mutable int m_typedColumn = -1;  // the current row's column whose type m_type is
    mutable int m_type = SQLITE_NULL;
};

}  // namespace

void SqliteEngine::configureLibrary() {
    // SQLite's memory statistics take a lock process-wide around every allocation, and reading
    // the case list allocates for every joined name. The program never asks for the statistics.
    [[maybe_unused]] static const int noStatistics = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
}

SqliteEngine::SqliteEngine(const QString& path) {
    configureLibrary();
    sqlite3* db = nullptr;
    // Multi-thread mode: the library takes no lock of its own around each call, as one thread
    // at a time uses the connection. The list's read-ahead thread steps its select while the
    // windows' thread waits for the rows, and neither touches the connection in the other's
    // turn: the rows and the end of the select pass under the read-ahead's lock, and its thread
    // is joined before the select is finalized. ThreadSanitizer checks every turn
    // (ConnectionTurns).
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr) != SQLITE_OK) {
        const QString message =
            db != nullptr ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close_v2(db);
        throw Failure(message + QStringLiteral(": ") + path);
    }
    // Set before the first statement: another program's save may hold the file for a moment,
    // and the open must wait for it like every later statement does.
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // Reading the schema now makes a file that is not a database fail here, at the open,
    // without anything being written to it.
    if (sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) !=
        SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close_v2(db);
        throw Failure(message + QStringLiteral(": ") + path);
    }
    sqlite3_extended_result_codes(db, 1);
    registerCaseStoreFunctions(db);
    try {
        installCaseStoreTriggers(db);
        installChangeLog(db, &m_authorship);
    } catch (const Failure& failure) {
        sqlite3_close_v2(db);
        throw Failure(failure.description() + QStringLiteral(": ") + path);
    }
    m_db = db;
    m_dataVersion = dataVersion();
    m_dates = dateColumns(db);
}

SqliteEngine::~SqliteEngine() {
    m_turns.take();
    sqlite3_close_v2(m_db);
}

void SqliteEngine::fail() const {
    m_turns.take();
    throw Failure(QString::fromUtf8(sqlite3_errmsg(m_db)));
}

sqlite3_stmt* SqliteEngine::prepare(const QString& statementText) {
    m_turns.take();
    const QByteArray utf8 = statementText.toUtf8();
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(m_db, utf8.constData(), static_cast<int>(utf8.size()), &statement,
                           &tail) != SQLITE_OK) {
        fail();
    }
    if (statement == nullptr) {
        throw Failure(QStringLiteral("The statement is empty."));
    }
    if (!onlyWhitespaceOrSemicolon(tail)) {
        sqlite3_finalize(statement);
        throw Failure(QStringLiteral("Characters found after end of SQL statement."));
    }
    return statement;
}

int SqliteEngine::execute(const QString& statementText) {
    // The change log sees the dates as the file keeps them.
    sqlite3_stmt* statement = prepare(PostgresText::withIsoDates(statementText, m_dates));
    if (sqlite3_get_autocommit(m_db) != 0) {
        m_authorship = {};  // a statement of its own is a command of its own
    }
    int rc = SQLITE_ROW;
    while (rc == SQLITE_ROW) {
        rc = sqlite3_step(statement);
    }
    if (rc != SQLITE_DONE) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_finalize(statement);
        throw Failure(message);
    }
    // sqlite3_changes() keeps the count of the last insert, update or delete; a statement that
    // writes nothing (a select, a transaction command) must not report that older count.
    const bool writesNothing = sqlite3_stmt_readonly(statement) != 0;
    sqlite3_finalize(statement);
    return writesNothing ? 0 : sqlite3_changes(m_db);
}

std::unique_ptr<Cursor> SqliteEngine::query(const QString& select) {
    sqlite3_stmt* statement = prepare(select);
    if (sqlite3_column_count(statement) == 0) {
        sqlite3_finalize(statement);
        throw Failure(QStringLiteral("The statement returns no rows: ") + select);
    }
    return std::make_unique<SqliteCursor>(m_db, statement, m_turns);
}

std::unique_ptr<Cursor> SqliteEngine::queryForUpdate(const QString& select) {
    return query(select);
}

bool SqliteEngine::inTransaction() const {
    m_turns.take();
    return sqlite3_get_autocommit(m_db) == 0;
}

void SqliteEngine::begin() {
    execute(QStringLiteral("BEGIN IMMEDIATE"));
    m_authorship = {};
}

void SqliteEngine::commit() {
    execute(QStringLiteral("COMMIT"));
    m_authorship.restoring = false;
}

void SqliteEngine::rollback() noexcept {
    m_turns.take();
    if (sqlite3_get_autocommit(m_db) == 0) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    m_authorship.restoring = false;
}

qint64 SqliteEngine::dataVersion() const {
    m_turns.take();
    sqlite3_stmt* statement = nullptr;
    qint64 version = 0;
    if (sqlite3_prepare_v2(m_db, "PRAGMA data_version", -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
        version = sqlite3_column_int64(statement, 0);
    }
    sqlite3_finalize(statement);
    return version;
}

bool SqliteEngine::changedElsewhere() {
    const qint64 version = dataVersion();
    const bool changed = version != m_dataVersion;
    m_dataVersion = version;
    return changed;
}
