#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <array>
#include <optional>
#include <string_view>
#include <vector>

// Dates as the user reads and types them, and as the database file keeps them.
//
// Shown and written into statements: the user's short date form, always with a four-digit year
// (a locale that shows two digits would otherwise store the wrong century), followed by the time
// as "HH:mm:ss" only when it is not midnight. Kept in the file: ISO 8601 text, "yyyy-MM-dd" or
// "yyyy-MM-dd HH:mm:ss", so that the file reads the same whatever the locale.
namespace DateText {

// The user's short date format with its year widened to four digits, e.g. "M/d/yyyy".
QString shortDateFormat(const QLocale& locale = QLocale());

// The order of day, month and year in a date typed as numbers, as the letters 'd', 'M' and 'y':
// the short date form's ("M/d/yyyy" gives M, d, y), or year, month, day when the text begins
// with a four-digit year (ISO 8601).
std::array<char, 3> fieldOrder(bool leadingYear = false, const QLocale& locale = QLocale());

// A date value as text: short date, then the time when it is not midnight.
QString toText(const QDateTime& value, const QLocale& locale = QLocale());
QString toText(QDate value, const QLocale& locale = QLocale());

// Reads a date text the way a user may type it: the short date form (four- or two-digit year),
// ISO 8601, or a long form with the month's name, each optionally followed by a time of day.
// Gives nothing for any other text, and for dates outside the years 100 to 9999.
std::optional<QDateTime> parse(const QString& text, const QLocale& locale = QLocale());

// The storage form in the database file.
QString toStorage(const QDateTime& value);
std::optional<QDateTime> fromStorage(std::string_view text);

}  // namespace DateText

// Turns dates into the short date text quickly: the locale's pattern is taken apart once, so
// that reading many rows does not parse the pattern again for every cell.
class DateFormatter {
public:
    explicit DateFormatter(const QLocale& locale = QLocale());

    QString format(QDate date) const;
    QString format(const QDateTime& value) const;

    // Reads a text that format() wrote back as a number that orders as the dates do
    // (yyyyMMddHHmmss), quickly enough to sort a long list by it. Other date texts are read the
    // slow way (DateText::parse); a text that is no date gives nothing.
    std::optional<qint64> sortKey(const QString& text) const;

private:
    enum class Piece {
        Literal,
        Day,
        Day2,
        DayName,
        LongDayName,
        Month,
        Month2,
        MonthName,
        LongMonthName,
        Year
    };
    struct Token {
        Piece piece;
        QString literal;
    };

    void append(QString& out, QDate date) const;

    QLocale m_locale;
    std::vector<Token> m_tokens;
    // The order of day, month and year among the numbers of a short date (0, 1, 2), or empty
    // when the short date spells a name.
    std::vector<int> m_numberOrder;
};
