#include "record_set.h"

#include <sqlite3.h>

#include <cmath>

#include "case_store.h"
#include "failure.h"

namespace {

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

bool declaredAsDate(const char* declared) {
    if (declared == nullptr) {
        return false;
    }
    const QByteArray type = QByteArray(declared).trimmed().toUpper();
    return type == "DATE" || type == "DATETIME";
}

QString utf8Text(sqlite3_stmt* statement, int column) {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return QString::fromUtf8(bytes, sqlite3_column_bytes(statement, column));
}

}  // namespace

RecordSet::RecordSet() = default;

RecordSet::~RecordSet() {
    if (m_statement != nullptr) {
        sqlite3_finalize(m_statement);
    }
}

RecordSet::RecordSet(RecordSet&& other) noexcept {
    *this = std::move(other);
}

RecordSet& RecordSet::operator=(RecordSet&& other) noexcept {
    if (this != &other) {
        if (m_statement != nullptr) {
            sqlite3_finalize(m_statement);
        }
        m_statement = std::exchange(other.m_statement, nullptr);
        m_connection = std::exchange(other.m_connection, nullptr);
        m_atEnd = std::exchange(other.m_atEnd, true);
        m_columns = std::move(other.m_columns);
        m_dateColumns = std::move(other.m_dateColumns);
        m_texts = std::move(other.m_texts);
        m_dates = std::move(other.m_dates);
    }
    return *this;
}

void RecordSet::open(const QString& select, CaseStore& connection) {
    if (m_statement != nullptr) {
        throw Failure(QStringLiteral("Operation is not allowed when the record set is open."));
    }
    sqlite3_stmt* statement = connection.prepare(select, "The statement contains a NUL character.");
    const int count = sqlite3_column_count(statement);
    if (count == 0) {
        sqlite3_finalize(statement);
        throw Failure(QStringLiteral("The statement returns no rows: ") + select);
    }
    m_statement = statement;
    m_connection = &connection;
    m_columns.clear();
    m_dateColumns.assign(static_cast<size_t>(count), false);
    for (int i = 0; i < count; ++i) {
        const QString name = QString::fromUtf8(sqlite3_column_name(statement, i)).toLower();
        if (!m_columns.contains(name)) {
            m_columns.insert(name, i);
        }
        m_dateColumns[static_cast<size_t>(i)] =
            declaredAsDate(sqlite3_column_decltype(statement, i));
    }
    m_texts.assign(static_cast<size_t>(count), TextInterner{});
    m_dates = std::make_unique<DateFormatter>();
    m_atEnd = false;
    try {
        step();
    } catch (...) {
        // A select that fails on its first row leaves the record set closed.
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
        m_atEnd = true;
        throw;
    }
}

void RecordSet::step() {
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW) {
        return;
    }
    m_atEnd = true;
    if (rc != SQLITE_DONE) {
        throw Failure(QString::fromUtf8(sqlite3_errmsg(m_connection->handle())));
    }
}

void RecordSet::requireOpen() const {
    if (m_statement == nullptr) {
        throw Failure(QString::fromLatin1(kClosedMessage));
    }
}

void RecordSet::requireRow(int column) const {
    requireOpen();
    if (m_atEnd) {
        throw Failure(QStringLiteral("There is no current row: the record set is at its end."));
    }
    if (column < 0 || column >= sqlite3_column_count(m_statement)) {
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
    step();
}

void RecordSet::close() {
    requireOpen();
    sqlite3_finalize(m_statement);
    m_statement = nullptr;
    m_atEnd = true;
}

int RecordSet::columnCount() const {
    requireOpen();
    return sqlite3_column_count(m_statement);
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
    switch (sqlite3_column_type(m_statement, column)) {
        case SQLITE_NULL:
            return {};
        case SQLITE_INTEGER:
            return QVariant::fromValue<qlonglong>(sqlite3_column_int64(m_statement, column));
        case SQLITE_FLOAT:
            return sqlite3_column_double(m_statement, column);
        case SQLITE_BLOB:
            return QByteArray(static_cast<const char*>(sqlite3_column_blob(m_statement, column)),
                              sqlite3_column_bytes(m_statement, column));
        default:
            break;
    }
    if (isDateColumn(column)) {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
        const auto date = DateText::fromStorage(std::string_view(
            bytes, static_cast<size_t>(sqlite3_column_bytes(m_statement, column))));
        if (date) {
            return *date;
        }
    }
    return utf8Text(m_statement, column);
}

QString RecordSet::text(int column) const {
    requireRow(column);
    switch (sqlite3_column_type(m_statement, column)) {
        case SQLITE_NULL:
            return {};
        case SQLITE_INTEGER:
            return QString::number(sqlite3_column_int64(m_statement, column));
        case SQLITE_FLOAT:
            return plainDecimal(sqlite3_column_double(m_statement, column));
        default:
            break;
    }
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    const std::string_view raw(bytes,
                               static_cast<size_t>(sqlite3_column_bytes(m_statement, column)));
    return m_texts[static_cast<size_t>(column)].text(raw, [&] {
        if (isDateColumn(column)) {
            if (const auto date = DateText::fromStorage(raw)) {
                return m_dates->format(*date);
            }
        }
        return QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size()));
    });
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
