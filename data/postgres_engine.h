#pragma once

#include <QByteArray>
#include <array>
#include <chrono>
#include <memory>
#include <utility>

#include "connection_turns.h"
#include "engine.h"
#include "failure.h"
#include "postgres_text.h"

struct pg_conn;
struct pg_result;

// A PostgreSQL server that a team shares, through libpq. The statements are translated for the
// server's schema (PostgresText); a connection lost to the server fails the statement that meets
// it, and the next statement connects again.
class PostgresEngine final : public Engine {
public:
    // Connects with a libpq connection URI or "key=value" text; throws the server's message.
    explicit PostgresEngine(const QString& connectionText);
    ~PostgresEngine() override;
    PostgresEngine(const PostgresEngine&) = delete;
    PostgresEngine& operator=(const PostgresEngine&) = delete;

    int execute(const QString& statement) override;
    std::unique_ptr<Cursor> query(const QString& select) override;
    // Outside a transaction, through a cursor of the server's read in batches.
    std::unique_ptr<Cursor> queryLarge(const QString& select) override;
    // The select with " FOR UPDATE": its rows stay locked until the transaction ends.
    std::unique_ptr<Cursor> queryForUpdate(const QString& select) override;
    bool inTransaction() const override;
    void begin() override;
    void commit() override;
    void rollback() noexcept override;
    // LISTENs to the notices of the schema's triggers and reads them without waiting.
    bool changedElsewhere() override;
    // A schema without the change log names the script that adds it.
    QString upgradeNeeded() const override;
    // The transaction's command as the log's triggers keep it in the session's settings.
    qint64 currentCommand() override;
    void logInsertsAsRestored() override;

    // The schema version this program expects, and the script that brings an earlier one to it.
    static constexpr int kSchemaVersion = 2;
    static constexpr const char* kUpgradeScript = "upgrade-postgresql-2.sql";

    // The server and database that a connection text names, for a user to read ("host db1,
    // port 5432, database helvarine"): never its password or other options.
    static QString serverName(const QString& connectionText);

    // What the program asks of every connection unless its text says otherwise: libpq's
    // connection time limit and TCP keepalives. The session's time limits travel as options
    // (sessionOptions), before those the text gives, which add to them and may override them.
    static constexpr std::array<std::pair<const char*, const char*>, 6> kSessionLimits{{
        {"connect_timeout", "10"},
        {"keepalives", "1"},
        {"keepalives_idle", "10"},
        {"keepalives_interval", "5"},
        {"keepalives_count", "3"},
        {"tcp_user_timeout", "15000"},
    }};
    // The longest a statement may run before the server cancels it, for the connections made
    // from now on (60 s unless the settings say otherwise; 0: no limit).
    static void setStatementLimit(std::chrono::seconds limit);
    // The options of every session: the statement limit, a lock held elsewhere reported after
    // 5 s, and the locks of a desktop that vanished in a transaction let go after 60 s.
    static QByteArray sessionOptions();

    // The channel that the schema's triggers notify.
    static constexpr const char* kChannel = "helvarine_changes";

    using Result = std::unique_ptr<pg_result, void (*)(pg_result*)>;

private:
    // Connects without blocking: the socket is polled while the program's waiter keeps the
    // windows alive; a cancel or the time limit throws.
    void connect();
    void awaitConnection();
    void prepareSession();
    void reconnectWhenLost();
    // Lets go of a connection found lost and throws ConnectionLost with `detail`.
    [[noreturn]] void lose(const QString& detail);
    // After a COMMIT whose answer was lost: asks a new connection whether the transaction
    // committed, and throws when it did not or when that cannot be known.
    void settleLostCommit(const ConnectionLost& lost, const QByteArray& transaction);
    // How the transaction ended ("committed", "aborted"), once a session still holding it was
    // ended; or the SQLSTATE of the server's refusal to say.
    QByteArray transactionState(const QByteArray& transaction);
    // Lets go of the connection (the server rolls back what it held); the next statement
    // connects again.
    void abandon() noexcept;
    void sendCancel();
    // Waits for the answer to what was sent: every result is taken, the first failure kept.
    Result awaitResult();
    // A PQsend… call that could not send throws the connection's failure.
    void requireSent(int sent);
    Result run(const char* statement);
    std::unique_ptr<Cursor> select(const QString& text);

    QByteArray m_text;
    pg_conn* m_connection = nullptr;
    // Every use of m_connection takes a turn: the list's read-ahead thread fetches batches on it.
    ConnectionTurns m_turns;
    PostgresText::Schema m_schema;
    // Set when the connection was made again: what others did meanwhile was not heard.
    bool m_missedNotices = false;
    int m_schemaVersion = 1;
    // The open transaction's ID on the server (pg_current_xact_id), asked with its BEGIN.
    QByteArray m_transaction;
};
