#include "postgres_engine.h"

#include <libpq-fe.h>

#include <QByteArray>
#include <QStringList>
#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "connection_loss.h"
#include "connection_text.h"
#include "failure.h"
#include "server_wait.h"

namespace {

// The type numbers of the server's built-in types (pg_type.oid), fixed since ever.
constexpr Oid kBool = 16;
constexpr Oid kBytea = 17;
constexpr Oid kInt8 = 20;
constexpr Oid kInt2 = 21;
constexpr Oid kInt4 = 23;
constexpr Oid kOid = 26;
constexpr Oid kFloat4 = 700;
constexpr Oid kFloat8 = 701;
constexpr Oid kDate = 1082;
constexpr Oid kTimestamp = 1114;
constexpr Oid kNumeric = 1700;

using Result = PostgresEngine::Result;

std::atomic<long long> g_statementLimitSeconds{60};

// A connection's options as libpq reads them: from a connection text, or from an open
// connection (with libpq's defaults filled in).
class ConnectionOptions {
public:
    static ConnectionOptions ofText(const QByteArray& text) {
        return ConnectionOptions(PQconninfoParse(text.constData(), nullptr));
    }
    static ConnectionOptions ofConnection(pg_conn* connection) {
        return ConnectionOptions(PQconninfo(connection));
    }

    // False for a text libpq cannot read.
    bool readable() const { return m_options != nullptr; }
    // The keyword's value, or an empty array when it has none.
    QByteArray value(const char* keyword) const {
        for (const PQconninfoOption* option = m_options.get();
             option != nullptr && option->keyword != nullptr; ++option) {
            if (std::strcmp(option->keyword, keyword) == 0) {
                return option->val;
            }
        }
        return {};
    }

private:
    explicit ConnectionOptions(PQconninfoOption* options) : m_options(options, &PQconninfoFree) {}

    std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)> m_options;
};

// The words for a connection that was lost, with libpq's first line as the cause.
QString lostText(const QString& cause) {
    QString first = cause.section(QLatin1Char('\n'), 0, 0).trimmed();
    if (first.endsWith(QLatin1Char('.'))) {
        first.chop(1);
    }
    return QStringLiteral(
               "The connection to the server was lost (%1). The next action connects "
               "to it again.")
        .arg(first.isEmpty() ? QStringLiteral("no answer") : first);
}

// The time a connection may take, in seconds (0: none): the connect_timeout it was made with for
// each host it names, as libpq keeps it. With "host=db1,db2" and db1 switched off (it answers
// nothing), the kernel gives db1 up after tcp_user_timeout and db2 still has its time.
qint64 connectTimeout(pg_conn* connection) {
    const ConnectionOptions options = ConnectionOptions::ofConnection(connection);
    const qint64 timeout = std::max<qint64>(0, options.value("connect_timeout").toLongLong());
    const qint64 hosts =
        std::max(options.value("host").count(','), options.value("hostaddr").count(',')) + 1;
    return timeout * hosts;
}

QString trimmedMessage(const char* message) {
    return QString::fromUtf8(message).trimmed();
}

// The server's own words for a failed statement, or the connection's when there is no result.
QString failureText(pg_conn* connection, const PGresult* result) {
    if (result != nullptr) {
        if (const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY)) {
            return trimmedMessage(primary);
        }
    }
    const QString message = trimmedMessage(PQerrorMessage(connection));
    return message.isEmpty() ? QStringLiteral("The database server did not answer.") : message;
}

class PostgresCursor final : public Cursor {
public:
    // The rows of a result; `more` gives the next batch of the same select once these are read
    // (none: every row is in the first), and `end` lets go of what the batches came from.
    using More = std::function<Result()>;
    using End = std::function<void()>;

    explicit PostgresCursor(Result result, More more = {}, End end = {})
        : m_result(std::move(result)), m_more(std::move(more)), m_end(std::move(end)) {
        m_rows = PQntuples(m_result.get());
        const int count = PQnfields(m_result.get());
        for (int i = 0; i < count; ++i) {
            const Oid type = PQftype(m_result.get(), i);
            Kind kind = Kind::Text;
            if (type == kInt2 || type == kInt4 || type == kInt8 || type == kOid) {
                kind = Kind::Integer;
            } else if (type == kFloat4 || type == kFloat8 || type == kNumeric) {
                kind = Kind::Real;
            } else if (type == kBytea) {
                kind = Kind::Blob;
            }
            m_kinds.push_back(kind);
            m_dateColumns.push_back(type == kDate || type == kTimestamp);
            m_bools.push_back(type == kBool);
        }
    }

    int columnCount() const override { return static_cast<int>(m_kinds.size()); }
    QString columnName(int column) const override {
        return QString::fromUtf8(PQfname(m_result.get(), column));
    }
    bool isDateColumn(int column) const override {
        return m_dateColumns[static_cast<size_t>(column)];
    }
    ~PostgresCursor() override { finish(); }
    PostgresCursor(const PostgresCursor&) = delete;
    PostgresCursor& operator=(const PostgresCursor&) = delete;

    bool next() override {
        if (++m_row < m_rows) {
            return true;
        }
        if (!m_more) {
            return false;
        }
        Result batch = m_more();
        if (PQntuples(batch.get()) == 0) {
            finish();
            return false;
        }
        m_result = std::move(batch);
        m_rows = PQntuples(m_result.get());
        m_row = 0;
        return true;
    }
    Kind kind(int column) const override {
        return PQgetisnull(m_result.get(), m_row, column) != 0
                   ? Kind::Null
                   : m_kinds[static_cast<size_t>(column)];
    }
    qint64 integer(int column) const override {
        return QByteArray(PQgetvalue(m_result.get(), m_row, column)).toLongLong();
    }
    double real(int column) const override {
        return QByteArray(PQgetvalue(m_result.get(), m_row, column)).toDouble();
    }
    std::string_view bytes(int column) const override {
        const std::string_view raw(PQgetvalue(m_result.get(), m_row, column),
                                   static_cast<size_t>(PQgetlength(m_result.get(), m_row, column)));
        if (m_bools[static_cast<size_t>(column)]) {
            return raw == "t" ? std::string_view("1") : std::string_view("0");
        }
        return raw;
    }

private:
    void finish() noexcept {
        m_more = {};
        if (m_end) {
            std::exchange(m_end, {})();
        }
    }

    Result m_result;
    More m_more;
    End m_end;
    int m_rows = 0;
    int m_row = -1;
    std::vector<Kind> m_kinds;
    std::vector<bool> m_dateColumns;
    std::vector<bool> m_bools;
};

}  // namespace

PostgresEngine::PostgresEngine(const QString& connectionText) : m_text(connectionText.toUtf8()) {
    connect();
}

void PostgresEngine::connect() {
    m_turns.take();
    // The limits come before the connection text, which may set its own: a dead link is noticed
    // within about 20 s, a lock held elsewhere or a statement that runs on is a reported failure,
    // and the server lets go of a desktop that vanished in the middle of a transaction.
    std::vector<const char*> keywords;
    std::vector<const char*> values;
    for (const auto& [keyword, value] : kSessionLimits) {
        keywords.push_back(keyword);
        values.push_back(value);
    }
    // The texts travel as UTF-8 whatever the text says; the text's own options follow the
    // session's, so that they add to them and win where they name the same setting.
    QByteArray options = sessionOptions();
    if (const QByteArray own = ConnectionOptions::ofText(m_text).value("options"); !own.isEmpty()) {
        options += ' ' + own;
    }
    keywords.insert(keywords.end(), {"dbname", "client_encoding", "options", nullptr});
    values.insert(values.end(), {m_text.constData(), "UTF8", options.constData(), nullptr});
    m_connection = PQconnectStartParams(keywords.data(), values.data(), 1);
    if (m_connection == nullptr) {
        throw Failure(QStringLiteral("out of memory"));
    }
    try {
        awaitConnection();
        prepareSession();
    } catch (...) {
        abandon();
        throw;
    }
}

void PostgresEngine::awaitConnection() {
    const auto failed = [this] {
        return Failure(ConnectionText::withoutPasswords(failureText(m_connection, nullptr),
                                                        QString::fromUtf8(m_text)));
    };
    if (PQstatus(m_connection) == CONNECTION_BAD) {
        throw failed();
    }
    // libpq leaves connect_timeout to a caller that polls: it is kept here.
    const std::chrono::seconds limit(connectTimeout(m_connection));
    ServerWait::Wait wait;
    PostgresPollingStatusType polled = PGRES_POLLING_WRITING;
    while (polled != PGRES_POLLING_OK) {
        if (polled == PGRES_POLLING_FAILED) {
            throw failed();
        }
        const ServerWait::Wait::Step step =
            wait.step(PQsocket(m_connection), polled == PGRES_POLLING_WRITING);
        if (step.verdict == ServerWait::Wait::Verdict::Cancelled) {
            throw Failure(QStringLiteral("Connecting to the server was cancelled."));
        }
        if (step.verdict == ServerWait::Wait::Verdict::GivenUp ||
            (limit.count() > 0 && wait.waited() > limit)) {
            throw Failure(
                QStringLiteral("The server did not answer within %1 seconds: %2.")
                    .arg(std::max<qint64>(
                        1, std::chrono::duration_cast<std::chrono::seconds>(wait.waited()).count()))
                    .arg(serverName(QString::fromUtf8(m_text))));
        }
        if (step.ready) {
            polled = PQconnectPoll(m_connection);
        }
    }
}

void PostgresEngine::setStatementLimit(std::chrono::seconds limit) {
    g_statementLimitSeconds = std::max<long long>(0, limit.count());
}

QByteArray PostgresEngine::sessionOptions() {
    return "-c statement_timeout=" + QByteArray::number(g_statementLimitSeconds.load()) +
           "s -c lock_timeout=5s -c idle_in_transaction_session_timeout=60s";
}

QString PostgresEngine::upgradeNeeded() const {
    m_turns.take();
    if (m_schemaVersion >= kSchemaVersion) {
        return {};
    }
    return QStringLiteral(
               "The team's database %1 was made for an earlier version of Helvarine and keeps no "
               "history of changes. An administrator brings it up to date once, with the script "
               "installed beside the schema (/usr/share/helvarine):\n\n    psql -d %1 -v "
               "ON_ERROR_STOP=1 -f %2")
        .arg(QString::fromUtf8(PQdb(m_connection)), QLatin1String(kUpgradeScript));
}

QString PostgresEngine::serverName(const QString& connectionText) {
    const ConnectionOptions options = ConnectionOptions::ofText(connectionText.toUtf8());
    if (!options.readable()) {
        return QStringLiteral("a connection text that cannot be read");
    }
    // Host, port and database, in this order, each only when the text names it.
    QStringList parts;
    const QString host = QString::fromUtf8(options.value("host"));
    parts << (host.isEmpty() ? QStringLiteral("host this computer")
                             : QStringLiteral("host ") + host);
    if (const QString port = QString::fromUtf8(options.value("port")); !port.isEmpty()) {
        parts << QStringLiteral("port ") + port;
    }
    if (const QString name = QString::fromUtf8(options.value("dbname")); !name.isEmpty()) {
        parts << QStringLiteral("database ") + name;
    }
    return parts.join(QStringLiteral(", "));
}

PostgresEngine::~PostgresEngine() {
    m_turns.take();
    PQfinish(m_connection);
}

// What every session needs, on the first connection and after each reconnection: texts in
// UTF-8 as the program writes them, backslashes as plain characters, dates read in ISO form, the
// change notices heard; and which columns hold dates and which order rows as inserted.
void PostgresEngine::prepareSession() {
    const char* const setup =
        "SET DateStyle = ISO, YMD; SET standard_conforming_strings = on; "
        "SET IntervalStyle = postgres; LISTEN helvarine_changes";
    const Result done = run(setup);
    if (PQresultStatus(done.get()) != PGRES_COMMAND_OK) {
        throw Failure(failureText(m_connection, done.get()));
    }
    const char* const columns =
        "SELECT c.relname, a.attname, a.atttypid IN (1082, 1114, 1184), a.attidentity <> '' "
        "FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid "
        "WHERE c.relkind = 'r' AND c.relnamespace = current_schema()::regnamespace "
        "AND a.attnum > 0 AND NOT a.attisdropped";
    const Result rows = run(columns);
    if (PQresultStatus(rows.get()) != PGRES_TUPLES_OK) {
        throw Failure(failureText(m_connection, rows.get()));
    }
    // The schema's version: a schema without helvarine_schema_version() is the first one.
    const Result version =
        run("SELECT CASE WHEN to_regproc('helvarine_schema_version') IS NULL THEN 1 ELSE 2 END");
    if (PQresultStatus(version.get()) != PGRES_TUPLES_OK) {
        throw Failure(failureText(m_connection, version.get()));
    }
    m_schemaVersion = QByteArray(PQgetvalue(version.get(), 0, 0)).toInt();
    m_schema = {};
    for (int row = 0; row < PQntuples(rows.get()); ++row) {
        const QString table = QString::fromUtf8(PQgetvalue(rows.get(), row, 0));
        const QString column = QString::fromUtf8(PQgetvalue(rows.get(), row, 1));
        if (PQgetvalue(rows.get(), row, 2)[0] == 't') {
            m_schema.dateColumns.insert(table + QLatin1Char('.') + column);
        }
        if (PQgetvalue(rows.get(), row, 3)[0] == 't') {
            m_schema.insertionOrder.insert(table, column);
        }
    }
}

void PostgresEngine::reconnectWhenLost() {
    m_turns.take();
    if (m_connection != nullptr && PQstatus(m_connection) == CONNECTION_OK) {
        return;
    }
    if (ConnectionLoss::holding()) {
        abandon();
        throw ConnectionLost(lostText({}));  // the command's earlier step reported it
    }
    abandon();
    try {
        connect();
    } catch (const Failure& failure) {
        ConnectionLoss::lost();
        throw ConnectionLost(failure.description());
    }
    m_missedNotices = true;
}

void PostgresEngine::lose(const QString& message) {
    abandon();
    ConnectionLoss::lost();
    throw ConnectionLost(message);
}

void PostgresEngine::abandon() noexcept {
    m_turns.take();
    if (m_connection != nullptr) {
        PQfinish(m_connection);
        m_connection = nullptr;
    }
}

void PostgresEngine::sendCancel() {
    // The request goes over a connection of its own, which a dead link would hold up: it is sent
    // from a thread of its own, and the wait goes on without it.
    PGcancel* cancel = PQgetCancel(m_connection);
    if (cancel == nullptr) {
        return;
    }
    std::thread([cancel] {
        std::array<char, 256> error{};
        PQcancel(cancel, error.data(), static_cast<int>(error.size()));
        PQfreeCancel(cancel);
    }).detach();
}

PostgresEngine::Result PostgresEngine::awaitResult() {
    m_turns.take();
    constexpr std::chrono::seconds kAfterCancel(3);
    ServerWait::Wait wait;
    std::optional<ServerWait::Clock::time_point> cancelled;
    while (PQconsumeInput(m_connection) != 0 && PQisBusy(m_connection) != 0) {
        const ServerWait::Wait::Step step = wait.step(PQsocket(m_connection), false);
        if (step.verdict == ServerWait::Wait::Verdict::GivenUp) {
            lose(lostText(QStringLiteral("the server did not answer")));
        }
        if (step.verdict == ServerWait::Wait::Verdict::Cancelled && !cancelled) {
            sendCancel();
            cancelled = ServerWait::Clock::now();
        }
        if (cancelled && ServerWait::Clock::now() - *cancelled > kAfterCancel) {
            lose(
                QStringLiteral("The statement was cancelled. The server did not answer, "
                               "so the connection was closed; it will be made again."));
        }
    }
    // Every result is taken; the last one is the answer, unless one failed before it.
    Result kept(nullptr, &PQclear);
    const auto failed = [](const Result& result) {
        const ExecStatusType status = PQresultStatus(result.get());
        return status == PGRES_FATAL_ERROR || status == PGRES_BAD_RESPONSE;
    };
    while (PGresult* next = PQgetResult(m_connection)) {
        Result result(next, &PQclear);
        if (kept == nullptr || !failed(kept)) {
            kept = std::move(result);
        }
    }
    if (PQstatus(m_connection) == CONNECTION_BAD) {
        lose(lostText(failureText(m_connection, nullptr)));
    }
    return kept;
}

void PostgresEngine::requireSent(int sent) {
    m_turns.take();
    if (sent == 0) {
        if (PQstatus(m_connection) == CONNECTION_BAD) {
            lose(lostText(failureText(m_connection, nullptr)));
        }
        throw Failure(failureText(m_connection, nullptr));
    }
}

PostgresEngine::Result PostgresEngine::run(const char* statement) {
    requireSent(PQsendQuery(m_connection, statement));
    return awaitResult();
}

int PostgresEngine::execute(const QString& statement) {
    reconnectWhenLost();
    const QByteArray text = PostgresText::translate(statement, m_schema).toUtf8();
    // The extended protocol takes exactly one statement, as the file's engine does.
    requireSent(PQsendQueryParams(m_connection, text.constData(), 0, nullptr, nullptr, nullptr,
                                  nullptr, 0));
    const Result result = awaitResult();
    switch (PQresultStatus(result.get())) {
        case PGRES_COMMAND_OK:
            return QByteArray(PQcmdTuples(result.get())).toInt();
        case PGRES_TUPLES_OK:
            return 0;
        case PGRES_EMPTY_QUERY:
            throw Failure(QStringLiteral("The statement is empty."));
        default:
            throw Failure(failureText(m_connection, result.get()));
    }
}

std::unique_ptr<Cursor> PostgresEngine::select(const QString& text) {
    reconnectWhenLost();
    const QByteArray utf8 = text.toUtf8();
    // Prepared and described first, so that a statement that returns no rows is refused
    // before it changes anything.
    requireSent(PQsendPrepare(m_connection, "", utf8.constData(), 0, nullptr));
    const Result prepared = awaitResult();
    if (PQresultStatus(prepared.get()) == PGRES_EMPTY_QUERY) {
        throw Failure(QStringLiteral("The statement is empty."));
    }
    if (PQresultStatus(prepared.get()) != PGRES_COMMAND_OK) {
        throw Failure(failureText(m_connection, prepared.get()));
    }
    requireSent(PQsendDescribePrepared(m_connection, ""));
    const Result described = awaitResult();
    if (PQresultStatus(described.get()) != PGRES_COMMAND_OK) {
        throw Failure(failureText(m_connection, described.get()));
    }
    if (PQnfields(described.get()) == 0) {
        throw Failure(QStringLiteral("The statement returns no rows: ") + text);
    }
    requireSent(PQsendQueryPrepared(m_connection, "", 0, nullptr, nullptr, nullptr, 0));
    Result rows = awaitResult();
    if (PQresultStatus(rows.get()) != PGRES_TUPLES_OK) {
        throw Failure(failureText(m_connection, rows.get()));
    }
    return std::make_unique<PostgresCursor>(std::move(rows));
}

std::unique_ptr<Cursor> PostgresEngine::query(const QString& text) {
    return select(PostgresText::translate(text, m_schema));
}

std::unique_ptr<Cursor> PostgresEngine::queryLarge(const QString& text) {
    reconnectWhenLost();
    if (inTransaction()) {
        return query(text);  // a transaction of the caller's: its result comes whole
    }
    // A cursor of the server's, read in batches inside a transaction of its own: the program
    // never holds more than a batch of a large result.
    const QByteArray declare = "DECLARE helvarine_rows NO SCROLL CURSOR FOR " +
                               PostgresText::translate(text, m_schema).trimmed().toUtf8();
    const auto fetch = [this] {
        Result batch = run("FETCH 20000 FROM helvarine_rows");
        if (PQresultStatus(batch.get()) != PGRES_TUPLES_OK) {
            throw Failure(failureText(m_connection, batch.get()));
        }
        return batch;
    };
    for (const char* step : {"BEGIN", declare.constData()}) {
        const Result done = run(step);
        if (PQresultStatus(done.get()) != PGRES_COMMAND_OK) {
            const Failure failure(failureText(m_connection, done.get()));
            rollback();
            throw failure;
        }
    }
    try {
        return std::make_unique<PostgresCursor>(fetch(), fetch, [this] { rollback(); });
    } catch (...) {
        rollback();
        throw;
    }
}

std::unique_ptr<Cursor> PostgresEngine::queryForUpdate(const QString& text) {
    QString translated = PostgresText::translate(text, m_schema).trimmed();
    if (translated.endsWith(QLatin1Char(';'))) {
        translated.chop(1);
    }
    return select(translated + QLatin1String(" FOR UPDATE"));
}

bool PostgresEngine::inTransaction() const {
    m_turns.take();
    const PGTransactionStatusType status = PQtransactionStatus(m_connection);
    return status == PQTRANS_INTRANS || status == PQTRANS_INERROR || status == PQTRANS_ACTIVE;
}

void PostgresEngine::begin() {
    // The transaction's ID comes with its BEGIN, in the same round trip: should the answer to
    // its COMMIT be lost, a new connection can ask the server how it ended.
    reconnectWhenLost();
    const Result begun = run("BEGIN; SELECT pg_current_xact_id()");
    if (PQresultStatus(begun.get()) != PGRES_TUPLES_OK) {
        const Failure failure(failureText(m_connection, begun.get()));
        rollback();
        throw failure;
    }
    m_transaction = PQgetvalue(begun.get(), 0, 0);
}

void PostgresEngine::commit() {
    m_turns.take();
    const QByteArray transaction = std::exchange(m_transaction, {});
    const bool connected = m_connection != nullptr && PQstatus(m_connection) == CONNECTION_OK;
    try {
        execute(QStringLiteral("COMMIT"));
    } catch (const ConnectionLost& lost) {
        if (!connected) {
            throw;  // lost before: the server rolled the transaction back
        }
        settleLostCommit(lost, transaction);
    }
}

void PostgresEngine::settleLostCommit(const ConnectionLost& lost, const QByteArray& transaction) {
    // The server may have committed before the answer was lost. Saying "not saved" then would
    // invite saving twice, and saying nothing would lose a change: a new connection asks.
    const ConnectionLost unknown(
        lost.description() +
        QStringLiteral("\n\nThe connection was lost while the change was being committed, so "
                       "whether it was saved is not known. Look at the list before saving it "
                       "again."));
    if (transaction.isEmpty()) {
        throw unknown;
    }
    try {
        connect();
    } catch (const Failure&) {
        throw unknown;
    }
    ConnectionLoss::regained();
    m_missedNotices = true;
    QByteArray state;
    try {
        state = transactionState(transaction);
    } catch (const Failure&) {
        throw unknown;
    }
    if (state == "committed") {
        return;
    }
    // Aborted, or a transaction this server never saw (after a failover): "in the future".
    if (state == "aborted" || state == "22023") {
        throw ConnectionLost(lost.description() + QStringLiteral("\n\nThe change was not saved."));
    }
    throw unknown;
}

QByteArray PostgresEngine::transactionState(const QByteArray& transaction) {
    const QByteArray status = "SELECT pg_xact_status('" + transaction + "'::xid8)";
    Result answer = run(status.constData());
    if (PQresultStatus(answer.get()) == PGRES_TUPLES_OK &&
        QByteArray(PQgetvalue(answer.get(), 0, 0)) == "in progress") {
        // The COMMIT never arrived: the old session still holds the transaction, idle. It is
        // ended here, so that its locks go now and the answer is final.
        const QByteArray end =
            "SELECT pg_terminate_backend(pid, 5000) FROM pg_stat_activity WHERE backend_xid = '" +
            QByteArray::number(transaction.toULongLong() & 0xffffffffU) + "'::xid";
        run(end.constData());
        answer = run(status.constData());
    }
    if (PQresultStatus(answer.get()) == PGRES_TUPLES_OK) {
        return PQgetvalue(answer.get(), 0, 0);
    }
    return PQresultErrorField(answer.get(), PG_DIAG_SQLSTATE);
}

void PostgresEngine::rollback() noexcept {
    m_turns.take();
    m_transaction.clear();
    if (m_connection == nullptr || PQstatus(m_connection) != CONNECTION_OK || !inTransaction()) {
        return;
    }
    try {
        run("ROLLBACK");
    } catch (...) {
        abandon();  // the server rolls back the transaction of a connection that is gone
    }
}

qint64 PostgresEngine::currentCommand() {
    const std::unique_ptr<Cursor> setting =
        select(QStringLiteral("select current_setting('helvarine.command', true)"));
    if (!setting->next() || setting->kind(0) == Cursor::Kind::Null) {
        return 0;
    }
    const std::string_view text = setting->bytes(0);
    return QByteArray(text.data(), static_cast<qsizetype>(text.size())).toLongLong();
}

void PostgresEngine::logInsertsAsRestored() {
    select(QStringLiteral("select set_config('helvarine.restore', 'on', true)"))->next();
}

bool PostgresEngine::changedElsewhere() {
    m_turns.take();
    bool changed = std::exchange(m_missedNotices, false);
    if (PQstatus(m_connection) != CONNECTION_OK) {
        return changed;
    }
    PQconsumeInput(m_connection);
    const int own = PQbackendPID(m_connection);
    while (PGnotify* notice = PQnotifies(m_connection)) {
        if (notice->be_pid != own) {
            changed = true;
        }
        PQfreemem(notice);
    }
    return changed;
}
