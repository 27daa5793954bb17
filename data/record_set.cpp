#include "record_set.h"

#include <QRegularExpression>

#include <cmath>

#include "case_store.h"
#include "connection_loss.h"
#include "failure.h"
#include "read_ahead_cursor.h"

namespace {

// "select * from X" with the named columns in place of the star; any other select as it is.
QString narrowed(const QString& select, const QStringList& columns) {
    static const QRegularExpression everything(
        QStringLiteral("^\\s*select\\s+\\*\\s+from\\s+(\\[[^\\]]+\\]|\\w+)\\s*;?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = everything.match(select);
    if (columns.isEmpty() || !match.hasMatch()) {
        return select;
    }
    QStringList named;
    for (const QString& column : columns) {
        named.append(QLatin1Char('[') + column + QLatin1Char(']'));
    }
    return QStringLiteral("select %1 from %2")
        .arg(named.join(QStringLiteral(", ")), match.captured(1));
}

const char* const kClosedMessage = "Operation is not allowed when the record set is closed.";

QString plainDecimal(double value) {
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15) {
        return QString::number(static_cast<qlonglong>(value));
    }
    QString text = QString::number(value, 'f', 10);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0'))) {
            text.chop(1);
        }
        if (text.endsWith(QLatin1Char('.'))) {
            text.chop(1);
        }
    }
    return text;
}

}  // namespace

RecordSet::RecordSet() = default;

RecordSet::~RecordSet() = default;

RecordSet::RecordSet(RecordSet&& other) noexcept {
    *this = std::move(other);
}

RecordSet& RecordSet::operator=(RecordSet&& other) noexcept {
    if (this != &other) {
        m_cursor = std::move(other.m_cursor);
        m_atEnd = std::exchange(other.m_atEnd, true);
        m_columns = std::move(other.m_columns);
        m_dateColumns = std::move(other.m_dateColumns);
        m_texts = std::move(other.m_texts);
        m_dates = std::move(other.m_dates);
    }
    return *this;
}

void RecordSet::open(const QString& select, CaseStore& connection, Lock lock, Reading reading,
                     const QStringList& readOnly) {
    if (m_cursor) {
        throw Failure(QStringLiteral("Operation is not allowed when the record set is open."));
    }
    Engine& engine = connection.accept(select, "The statement contains a NUL character.");
    // A reader that names its columns gets only those from the engine: over a network the others
    // would cost their bytes, and on a file their reading.
    const QString asked = narrowed(select, readOnly);
    std::unique_ptr<Cursor> cursor = lock == Lock::ForUpdate     ? engine.queryForUpdate(asked)
                                     : reading == Reading::Ahead ? engine.queryLarge(asked)
                                                                 : engine.query(asked);
    const int count = cursor->columnCount();
    m_columns.clear();
    m_dateColumns.assign(static_cast<size_t>(count), false);
    for (int i = 0; i < count; ++i) {
        const QString name = cursor->columnName(i).toLower();
        if (!m_columns.contains(name)) {
            m_columns.insert(name, i);
        }
        m_dateColumns[static_cast<size_t>(i)] = cursor->isDateColumn(i);
    }
    if (reading == Reading::Ahead) {
        std::vector<bool> wanted(static_cast<size_t>(count), readOnly.isEmpty());
        for (const QString& name : readOnly) {
            const auto found = m_columns.constFind(name.toLower());
            if (found != m_columns.cend()) {
                wanted[static_cast<size_t>(*found)] = true;
            }
        }
        cursor = std::make_unique<ReadAheadCursor>(std::move(cursor), std::move(wanted));
    }
    m_cursor = std::move(cursor);
    m_texts.assign(static_cast<size_t>(count), TextInterner{});
    m_dates = std::make_unique<DateFormatter>();
    m_atEnd = false;
    try {
        step();
    } catch (...) {
        // A select that fails on its first row leaves the record set closed.
        reset();
        throw;
    }
}

void RecordSet::reset() {
    m_cursor.reset();
    m_atEnd = true;
}

void RecordSet::step() {
    if (!m_cursor->next()) {
        m_atEnd = true;
    }
}

void RecordSet::requireOpen() const {
    if (!m_cursor) {
        // A record set that could not open because the connection was lost fails for the same
        // reason as its open: the command reported that once.
        if (ConnectionLoss::holding()) {
            throw ConnectionLost(QString::fromLatin1(kClosedMessage));
        }
        throw Failure(QString::fromLatin1(kClosedMessage));
    }
}

void RecordSet::requireRow(int column) const {
    requireOpen();
    if (m_atEnd) {
        throw Failure(QStringLiteral("There is no current row: the record set is at its end."));
    }
    if (column < 0 || column >= static_cast<int>(m_dateColumns.size())) {
        throw Failure(QStringLiteral("No column number %1 in the result.").arg(column));
    }
}

bool RecordSet::eof() const {
    requireOpen();
    return m_atEnd;
}

void RecordSet::moveNext() {
    requireOpen();
    if (m_atEnd) {
        throw Failure(QStringLiteral("There is no current row: the record set is at its end."));
    }
    try {
        step();
    } catch (...) {
        m_atEnd = true;
        throw;
    }
}

void RecordSet::close() {
    requireOpen();
    reset();
}

int RecordSet::columnCount() const {
    requireOpen();
    return static_cast<int>(m_dateColumns.size());
}

int RecordSet::column(const QString& name) const {
    requireOpen();
    const auto found = m_columns.constFind(name.toLower());
    if (found == m_columns.constEnd()) {
        throw Failure(QStringLiteral("No column named '%1' in the result.").arg(name));
    }
    return found.value();
}

bool RecordSet::isDateColumn(int column) const {
    return m_dateColumns[static_cast<size_t>(column)];
}

QVariant RecordSet::value(int column) const {
    requireRow(column);
    switch (m_cursor->kind(column)) {
        case Cursor::Kind::Null:
            return {};
        case Cursor::Kind::Integer:
            return QVariant::fromValue<qlonglong>(m_cursor->integer(column));
        case Cursor::Kind::Real:
            return m_cursor->real(column);
        case Cursor::Kind::Blob: {
            const std::string_view raw = m_cursor->bytes(column);
            return QByteArray(raw.data(), static_cast<qsizetype>(raw.size()));
        }
        case Cursor::Kind::Text:
            break;
    }
    const std::string_view raw = m_cursor->bytes(column);
    if (isDateColumn(column)) {
        if (const auto date = DateText::fromStorage(raw)) {
            return *date;
        }
    }
    return QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size()));
}

QString RecordSet::text(int column) const {
    requireRow(column);
    TextInterner& texts = m_texts[static_cast<size_t>(column)];
    NumberedText numbered = numberedText(column, &texts);
    texts.release();  // once the column no longer shares, its texts are not kept
    if (numbered.shared != nullptr) {
        return *numbered.shared;
    }
    return std::move(numbered.own);
}

RecordSet::NumberedText RecordSet::numberedText(int column, TextInterner* texts) const {
    requireRow(column);
    NumberedText result;
    switch (m_cursor->kind(column)) {
        case Cursor::Kind::Null:
            return result;
        case Cursor::Kind::Integer:
            result.own = QString::number(m_cursor->integer(column));
            return result;
        case Cursor::Kind::Real:
            result.own = plainDecimal(m_cursor->real(column));
            return result;
        default:
            break;
    }
    const std::string_view raw = m_cursor->bytes(column);
    const auto make = [&] {
        if (isDateColumn(column)) {
            if (const auto date = DateText::fromStorage(raw)) {
                return m_dates->format(*date);
            }
        }
        return QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size()));
    };
    const TextInterner::Shared shared =
        texts != nullptr ? texts->find(raw, make) : TextInterner::Shared{};
    if (shared.text != nullptr) {
        result.number = shared.number;
        result.shared = shared.text;
    } else {
        result.own = make();
    }
    return result;
}

QString displayText(const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        return {};
    }
    switch (value.typeId()) {
        case QMetaType::QDateTime:
            return DateText::toText(value.toDateTime());
        case QMetaType::QDate:
            return DateText::toText(value.toDate());
        case QMetaType::Double:
        case QMetaType::Float:
            return plainDecimal(value.toDouble());
        default:
            return value.toString();
    }
}
