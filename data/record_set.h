#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

#include "date_text.h"
#include "engine.h"
#include "text_interner.h"

class CaseStore;

// The rows of one select, read forward until their end. A field is asked for by its column name
// without regard to letter case. A record set that is not open (never opened, failed to open or
// closed) refuses every operation with a failure, as the windows' loops rely on.
class RecordSet {
public:
    RecordSet();
    ~RecordSet();
    RecordSet(RecordSet&& other) noexcept;
    RecordSet& operator=(RecordSet&& other) noexcept;
    RecordSet(const RecordSet&) = delete;
    RecordSet& operator=(const RecordSet&) = delete;

    enum class Lock {
        None,
        // The rows stay locked against other writers until the transaction ends.
        ForUpdate
    };

    enum class Reading {
        // Each row is read from the engine when it is asked for.
        WhenAsked,
        // The rows are read on a thread of their own, ahead of the ones asked for, while the
        // caller works on them; nothing else may use the connection until the record set is at
        // its end or closed.
        Ahead
    };

    // Runs the select on the connection and stands on its first row. A "select * from X" with
    // columns named in `readOnly` asks the engine for those columns only (the statement text
    // the observer sees stays as given); reading ahead, only those columns are read.
    void open(const QString& select, CaseStore& connection, Lock lock = Lock::None,
              Reading reading = Reading::WhenAsked, const QStringList& readOnly = {});
    bool isOpen() const { return m_cursor != nullptr; }

    // True when no current row is left.
    bool eof() const;
    void moveNext();
    void close();

    int columnCount() const;
    // The index of a column, by name without regard to letter case.
    int column(const QString& name) const;

    // The current row's value: NULL as an invalid QVariant, integers as qlonglong, dates (columns
    // declared DATE or DATETIME, or of a date type on the server) as QDateTime, other texts as
    // QString.
    QVariant value(const QString& name) const { return value(column(name)); }
    QVariant value(int column) const;

    // The display text of the current row's value: the empty text for NULL, numbers in plain
    // decimal, dates in the user's short date form with the time only when it is not midnight.
    QString text(const QString& name) const { return text(column(name)); }
    QString text(int column) const;

    // The same display text, numbered among the texts `texts` keeps (see TextInterner) while it
    // shares them: a caller that keeps many rows numbers each column's texts with an interner of
    // its own (a list column's), so that it keeps each different text once without comparing it
    // again. The text is the record set's own when the value is no stored text (NULL, a number),
    // without `texts`, or once `texts` no longer shares.
    struct NumberedText {
        static constexpr uint32_t kNone = TextInterner::kNone;
        uint32_t number = kNone;          // kNone: the text is `own`
        const QString* shared = nullptr;  // in `texts`, valid until it is asked again
        QString own;
        const QString& text() const { return shared != nullptr ? *shared : own; }
    };
    NumberedText numberedText(int column, TextInterner* texts) const;

private:
    void requireOpen() const;
    void requireRow(int column) const;
    void step();
    void reset();
    bool isDateColumn(int column) const;

    std::unique_ptr<Cursor> m_cursor;
    bool m_atEnd = true;
    QHash<QString, int> m_columns;
    std::vector<bool> m_dateColumns;
    mutable std::vector<TextInterner> m_texts;  // text()'s, one a column
    std::unique_ptr<DateFormatter> m_dates;
};

// The display text of any value read from the database, by the same rules as RecordSet::text.
QString displayText(const QVariant& value);
