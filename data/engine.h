#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>
#include <string_view>

// The rows of one select as an engine gives them, read forward.
class Cursor {
public:
    enum class Kind { Null, Integer, Real, Text, Blob };

    virtual ~Cursor() = default;

    virtual int columnCount() const = 0;
    virtual QString columnName(int column) const = 0;
    // A column that holds dates, kept as "yyyy-MM-dd" or "yyyy-MM-dd HH:mm:ss".
    virtual bool isDateColumn(int column) const = 0;

    // Moves to the next row, the first one on the first call; false once no row is left.
    // Throws a Failure when the engine fails while reading.
    virtual bool next() = 0;

    // The current row's value of a column.
    virtual Kind kind(int column) const = 0;
    virtual qint64 integer(int column) const = 0;
    virtual double real(int column) const = 0;
    // The value as UTF-8 text (the bytes of a blob); valid until the next call of next().
    virtual std::string_view bytes(int column) const = 0;
};

// What CaseStore needs of a database engine. Statement texts arrive as the windows build them;
// every failure throws a Failure with the engine's own description.
class Engine {
public:
    virtual ~Engine() = default;

    // Runs one statement; gives the number of rows it changed (0 for anything but a write).
    virtual int execute(const QString& statement) = 0;
    // Runs one select and gives its rows.
    virtual std::unique_ptr<Cursor> query(const QString& select) = 0;
    // Runs one select whose rows may be many, read as they are taken rather than all at once
    // where the engine can; nothing else may use the connection until they are read.
    virtual std::unique_ptr<Cursor> queryLarge(const QString& select) { return query(select); }
    // Runs one select whose rows stay locked against other writers until the transaction
    // ends, so that what was read can be checked and written in one step.
    virtual std::unique_ptr<Cursor> queryForUpdate(const QString& select) = 0;

    virtual bool inTransaction() const = 0;
    virtual void begin() = 0;
    virtual void commit() = 0;
    // Ends the transaction without its changes; never throws.
    virtual void rollback() noexcept = 0;

    // True once when another connection has committed a change to the cases, the people or
    // the lookup lists since the last call (the first call compares with the open).
    virtual bool changedElsewhere() = 0;

    // What an administrator must do to bring a database of an earlier version up to date (one
    // that keeps no change log), or the empty text.
    virtual QString upgradeNeeded() const { return {}; }

    // The command of the change log that this connection's changes in the present transaction
    // (or its last statement outside one) belong to; 0 when they wrote no logged change.
    virtual qint64 currentCommand() = 0;
    // Inside a transaction: its inserts are logged as rows restored, not added.
    virtual void logInsertsAsRestored() = 0;
};
