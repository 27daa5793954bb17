#include "case_store.h"

#include <sqlite3.h>

#include <QRegularExpression>

#include "failure.h"

namespace {

std::unique_ptr<CaseStore>& sharedSlot() {
    static std::unique_ptr<CaseStore> connection;
    return connection;
}

const char* const kClosedMessage = "Operation is not allowed when the connection is closed.";

bool onlyWhitespaceOrSemicolon(const char* tail) {
    const QByteArray rest = QByteArray(tail).trimmed();
    return rest.isEmpty() || rest == ";";
}

// The path of "provider=...;data source=PATH;JET OLEDB:Database Password=". A path may hold ";"
// (a folder named "a;b"), so the path runs up to the text's own ";JET OLEDB:" part, the last
// one, or to the end of the text when it has none. Empty when the text names no data source.
QString dataSource(const QString& connectionText, qsizetype& end) {
    static const QRegularExpression start(QStringLiteral("(?:^|;)\\s*data source\\s*="),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch found = start.match(connectionText);
    if (!found.hasMatch()) {
        end = connectionText.size();
        return {};
    }
    const qsizetype begin = found.capturedEnd();
    end = connectionText.lastIndexOf(QLatin1String(";JET OLEDB:"), -1, Qt::CaseInsensitive);
    if (end < begin) {
        end = connectionText.size();
    }
    return connectionText.mid(begin, end - begin);
}

// Reads "key=value;key=value" connection texts; keys without regard to letter case.
QString connectionPart(const QString& connectionText, const QString& key) {
    const QStringList parts = connectionText.split(QLatin1Char(';'));
    for (const QString& part : parts) {
        const qsizetype equals = part.indexOf(QLatin1Char('='));
        if (equals < 0) {
            continue;
        }
        if (part.left(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0) {
            return part.mid(equals + 1);
        }
    }
    return {};
}

}  // namespace

CaseStore::CaseStore() = default;

CaseStore::~CaseStore() {
    if (m_db != nullptr) {
        sqlite3_close_v2(m_db);
    }
}

void CaseStore::open(const QString& connectionText) {
    qsizetype options = 0;
    const QString path = dataSource(connectionText, options);
    if (path.isEmpty()) {
        throw Failure(QStringLiteral("The connection text names no data source."));
    }
    if (!connectionPart(connectionText.mid(options), QStringLiteral("JET OLEDB:Database Password"))
             .isEmpty()) {
        throw Failure(QStringLiteral("Database passwords are not supported."));
    }
    openFile(path);
}

void CaseStore::openFile(const QString& path) {
    if (m_db != nullptr) {
        throw Failure(QStringLiteral("Operation is not allowed when the connection is open."));
    }
    sqlite3* db = nullptr;
    // One thread uses the connection: no per-call locking inside the library.
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
    } catch (const Failure& failure) {
        sqlite3_close_v2(db);
        throw Failure(failure.description() + QStringLiteral(": ") + path);
    }
    m_db = db;
    m_dataVersion = -1;
}

int CaseStore::state() const {
    return m_db != nullptr ? 1 : 0;
}

void CaseStore::close() {
    if (m_db == nullptr) {
        throw Failure(QString::fromLatin1(kClosedMessage));
    }
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

sqlite3* CaseStore::handle() const {
    if (m_db == nullptr) {
        throw Failure(QString::fromLatin1(kClosedMessage));
    }
    return m_db;
}

void CaseStore::fail(const QString& context) const {
    QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
    if (!context.isEmpty()) {
        message += context;
    }
    throw Failure(message);
}

sqlite3_stmt* CaseStore::prepare(const QString& statementText, const char* nulMessage) {
    sqlite3* db = handle();
    observe(statementText);
    if (statementText.contains(QChar(0))) {
        throw Failure(QString::fromLatin1(nulMessage));
    }
    const QByteArray utf8 = statementText.toUtf8();
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &statement,
                           &tail) != SQLITE_OK) {
        fail({});
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

int CaseStore::execute(const QString& statementText) {
    sqlite3_stmt* statement =
        prepare(statementText,
                "The statement contains a NUL character, which cannot be stored; nothing was "
                "written.");
    sqlite3* db = m_db;
    int rc = SQLITE_ROW;
    while (rc == SQLITE_ROW) {
        rc = sqlite3_step(statement);
    }
    if (rc != SQLITE_DONE) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(statement);
        throw Failure(message);
    }
    // sqlite3_changes() keeps the count of the last insert, update or delete; a statement that
    // writes nothing (a select, a transaction command) must not report that older count.
    const bool writesNothing = sqlite3_stmt_readonly(statement) != 0;
    sqlite3_finalize(statement);
    return writesNothing ? 0 : sqlite3_changes(db);
}

RecordSet CaseStore::query(const QString& select) {
    RecordSet rows;
    rows.open(select, *this);
    return rows;
}

RecordSet CaseStore::queryForUpdate(const QString& select) {
    return query(select);
}

bool CaseStore::changedElsewhere() {
    sqlite3* db = handle();
    // The engine's own question, not a statement of the program: the observer does not see it.
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA data_version", -1, &statement, nullptr) != SQLITE_OK) {
        fail({});
    }
    const int rc = sqlite3_step(statement);
    if (rc != SQLITE_ROW) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(statement);
        throw Failure(message);
    }
    const qint64 version = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    const bool changed = m_dataVersion >= 0 && version != m_dataVersion;
    m_dataVersion = version;
    return changed;
}

void CaseStore::transaction(const std::function<void()>& work) {
    sqlite3* db = handle();
    if (sqlite3_get_autocommit(db) == 0) {
        work();  // already inside a transaction: the outer one decides
        return;
    }
    execute(QStringLiteral("BEGIN IMMEDIATE"));
    try {
        work();
        execute(QStringLiteral("COMMIT"));
    } catch (...) {
        if (sqlite3_get_autocommit(db) == 0) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        }
        throw;
    }
}

void CaseStore::createShared() {
    sharedSlot() = std::make_unique<CaseStore>();
}

bool CaseStore::hasShared() {
    return sharedSlot() != nullptr;
}

CaseStore& CaseStore::shared() {
    if (!sharedSlot()) {
        throw Failure(QStringLiteral("The database connection has not been created."));
    }
    return *sharedSlot();
}

void CaseStore::releaseShared() {
    sharedSlot().reset();
}
