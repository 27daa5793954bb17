#pragma once

#include <QByteArray>
#include <array>
#include <memory>
#include <utility>

#include "engine.h"
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
    // connection time limit and TCP keepalives, and the session's time limits (options).
    static constexpr std::array<std::pair<const char*, const char*>, 7> kSessionLimits{{
        {"connect_timeout", "10"},
        {"keepalives", "1"},
        {"keepalives_idle", "10"},
        {"keepalives_interval", "5"},
        {"keepalives_count", "3"},
        {"tcp_user_timeout", "15000"},
        {"options",
         "-c statement_timeout=60s -c lock_timeout=5s -c idle_in_transaction_session_timeout=60s"},
    }};

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
    // Lets go of the connection (the server rolls back what it held); the next statement
    // connects again.
    void abandon() noexcept;
    void sendCancel();
    // Waits for the answer to what was sent: every result is taken, the first failure kept.
    Result awaitResult();
    // A PQsend… call that could not send throws the connection's failure.
    void requireSent(int sent) const;
    Result run(const char* statement);
    std::unique_ptr<Cursor> select(const QString& text);

    QByteArray m_text;
    pg_conn* m_connection = nullptr;
    PostgresText::Schema m_schema;
    // Set when the connection was made again: what others did meanwhile was not heard.
    bool m_missedNotices = false;
    int m_schemaVersion = 1;
};
