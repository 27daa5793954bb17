#include "date_text.h"

#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <cctype>

namespace {

constexpr int kFirstYear = 100;
constexpr int kLastYear = 9999;

// Two-digit years as typed: 30..99 are the 1900s, 00..29 the 2000s.
int widenYear(int year, int digits) {
    if (digits > 2) {
        return year;
    }
    return year < 30 ? 2000 + year : 1900 + year;
}

bool inRange(QDate date) {
    return date.isValid() && date.year() >= kFirstYear && date.year() <= kLastYear;
}

// The order of day, month and year in the locale's short format, as the letters 'd', 'M', 'y'.
std::array<char, 3> formatOrder(const QString& format) {
    std::array<char, 3> order{};
    int count = 0;
    bool quoted = false;
    for (QChar c : format) {
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            continue;
        }
        if (quoted) {
            continue;
        }
        const char letter = c.toLatin1();
        if ((letter == 'd' || letter == 'M' || letter == 'y') && count < 3 &&
            std::find(order.begin(), order.begin() + count, letter) == order.begin() + count) {
            order[static_cast<size_t>(count++)] = letter;
        }
    }
    if (count < 3) {
        return {'M', 'd', 'y'};
    }
    return order;
}

// A time of day as typed: "h:mm", "h:mm:ss", optionally with AM or PM (or the locale's texts).
std::optional<QTime> parseTime(const QString& text, const QLocale& locale) {
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{1,2})[:.](\\d{2})(?:[:.](\\d{2}))?\\s*(\\S+)?$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    int hour = match.captured(1).toInt();
    const int minute = match.captured(2).toInt();
    const int second = match.captured(3).isEmpty() ? 0 : match.captured(3).toInt();
    const QString marker = match.captured(4);
    if (!marker.isEmpty()) {
        const bool am = marker.compare(QLatin1String("AM"), Qt::CaseInsensitive) == 0 ||
                        marker.compare(locale.amText(), Qt::CaseInsensitive) == 0;
        const bool pm = marker.compare(QLatin1String("PM"), Qt::CaseInsensitive) == 0 ||
                        marker.compare(locale.pmText(), Qt::CaseInsensitive) == 0;
        if ((!am && !pm) || hour < 1 || hour > 12) {
            return std::nullopt;
        }
        hour = (hour % 12) + (pm ? 12 : 0);
    }
    const QTime time(hour, minute, second);
    if (!time.isValid()) {
        return std::nullopt;
    }
    return time;
}

// Splits "date time" into its two parts where the text ends in something shaped like a time.
std::pair<QString, QString> splitTrailingTime(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral("^(.*?)[\\sT,]+(\\d{1,2}[:.]\\d{2}(?:[:.]\\d{2})?(?:\\s*\\S+)?)$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        return {text, QString()};
    }
    return {match.captured(1), match.captured(2)};
}

std::optional<QDate> parseIsoDate(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(),
                     match.captured(3).toInt());
    if (!inRange(date)) {
        return std::nullopt;
    }
    return date;
}

std::optional<QDate> parseNumericDate(const QString& text, const QLocale& locale) {
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{1,4})(\\.\\s?|[/-])(\\d{1,2})\\2(\\d{1,4})\\.?$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const std::array<QString, 3> fields{match.captured(1), match.captured(3), match.captured(4)};
    const std::array<char, 3> order = DateText::fieldOrder(fields[0].size() == 4, locale);
    int day = 0;
    int month = 0;
    int year = 0;
    for (size_t i = 0; i < 3; ++i) {
        const int value = fields[i].toInt();
        switch (order[i]) {
            case 'd':
                if (fields[i].size() > 2) {
                    return std::nullopt;
                }
                day = value;
                break;
            case 'M':
                if (fields[i].size() > 2) {
                    return std::nullopt;
                }
                month = value;
                break;
            default:
                if (fields[i].size() != 2 && fields[i].size() != 4) {
                    return std::nullopt;
                }
                year = widenYear(value, static_cast<int>(fields[i].size()));
                break;
        }
    }
    const QDate date(year, month, day);
    if (!inRange(date)) {
        return std::nullopt;
    }
    return date;
}

// The long forms with the month's name, in the user's language and in English.
std::optional<QDate> parseNamedDate(const QString& text, const QLocale& locale) {
    static const std::array<const char*, 8> formats{
        "dddd, MMMM d, yyyy", "MMMM d, yyyy", "MMMM d yyyy", "d MMMM yyyy",
        "MMM d, yyyy",        "MMM d yyyy",   "d MMM yyyy",  "dddd, d MMMM yyyy"};
    const std::array<QLocale, 2> locales{locale, QLocale(QLocale::English, QLocale::UnitedStates)};
    for (const QLocale& language : locales) {
        const QDate longForm = language.toDate(text, QLocale::LongFormat);
        if (inRange(longForm)) {
            return longForm;
        }
        for (const char* format : formats) {
            const QDate date = language.toDate(text, QLatin1String(format));
            if (inRange(date)) {
                return date;
            }
        }
    }
    return std::nullopt;
}

std::optional<QDate> parseDatePart(const QString& text, const QLocale& locale) {
    if (auto iso = parseIsoDate(text)) {
        return iso;
    }
    if (auto numeric = parseNumericDate(text, locale)) {
        return numeric;
    }
    // Whatever the short date form looks like, its own texts read back.
    const QDate shortForm = locale.toDate(text, DateText::shortDateFormat(locale));
    if (inRange(shortForm)) {
        return shortForm;
    }
    if (!text.isEmpty() && text.front().isLetterOrNumber()) {
        return parseNamedDate(text, locale);
    }
    return std::nullopt;
}

int digitsAt(std::string_view text, size_t pos, size_t count) {
    int value = 0;
    for (size_t i = pos; i < pos + count; ++i) {
        if (i >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i]))) {
            return -1;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

void appendNumber(QString& out, int value, int width) {
    char digits[8];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0 && count < 8);
    for (int i = count; i < width; ++i) {
        out.append(QLatin1Char('0'));
    }
    while (count > 0) {
        out.append(QLatin1Char(digits[--count]));
    }
}

}  // namespace

namespace DateText {

QString shortDateFormat(const QLocale& locale) {
    QString format = locale.dateFormat(QLocale::ShortFormat);
    // Widen every year field ("yy", "y", "yyy") to "yyyy", outside quoted literals.
    QString widened;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            widened.append(c);
            ++i;
            continue;
        }
        if (!quoted && c == QLatin1Char('y')) {
            while (i < format.size() && format.at(i) == QLatin1Char('y')) {
                ++i;
            }
            widened.append(QLatin1String("yyyy"));
            continue;
        }
        widened.append(c);
        ++i;
    }
    return widened;
}

std::array<char, 3> fieldOrder(bool leadingYear, const QLocale& locale) {
    if (leadingYear) {
        return {'y', 'M', 'd'};
    }
    return formatOrder(locale.dateFormat(QLocale::ShortFormat));
}

QString toText(const QDateTime& value, const QLocale& locale) {
    return DateFormatter(locale).format(value);
}

QString toText(QDate value, const QLocale& locale) {
    return DateFormatter(locale).format(value);
}

std::optional<QDateTime> parse(const QString& input, const QLocale& locale) {
    const QString text = input.trimmed();
    if (text.isEmpty() || text.contains(QChar(0))) {
        return std::nullopt;
    }
    if (auto date = parseDatePart(text, locale)) {
        return QDateTime(*date, QTime(0, 0));
    }
    const auto [datePart, timePart] = splitTrailingTime(text);
    if (timePart.isEmpty()) {
        return std::nullopt;
    }
    const auto date = parseDatePart(datePart.trimmed(), locale);
    const auto time = parseTime(timePart, locale);
    if (!date || !time) {
        return std::nullopt;
    }
    return QDateTime(*date, *time);
}

QString toStorage(const QDateTime& value) {
    QString out;
    out.reserve(19);
    const QDate date = value.date();
    appendNumber(out, date.year(), 4);
    out.append(QLatin1Char('-'));
    appendNumber(out, date.month(), 2);
    out.append(QLatin1Char('-'));
    appendNumber(out, date.day(), 2);
    const QTime time = value.time();
    if (time != QTime(0, 0)) {
        out.append(QLatin1Char(' '));
        appendNumber(out, time.hour(), 2);
        out.append(QLatin1Char(':'));
        appendNumber(out, time.minute(), 2);
        out.append(QLatin1Char(':'));
        appendNumber(out, time.second(), 2);
    }
    return out;
}

std::optional<QDateTime> fromStorage(std::string_view text) {
    if (text.size() < 10 || text[4] != '-' || text[7] != '-') {
        return std::nullopt;
    }
    const QDate date(digitsAt(text, 0, 4), digitsAt(text, 5, 2), digitsAt(text, 8, 2));
    if (!date.isValid()) {
        return std::nullopt;
    }
    if (text.size() == 10) {
        return QDateTime(date, QTime(0, 0));
    }
    if (text.size() != 19 || (text[10] != ' ' && text[10] != 'T') || text[13] != ':' ||
        text[16] != ':') {
        return std::nullopt;
    }
    const QTime time(digitsAt(text, 11, 2), digitsAt(text, 14, 2), digitsAt(text, 17, 2));
    if (!time.isValid()) {
        return std::nullopt;
    }
    return QDateTime(date, time);
}

}  // namespace DateText

DateFormatter::DateFormatter(const QLocale& locale) : m_locale(locale) {
    const QString format = DateText::shortDateFormat(locale);
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\'')) {
            const qsizetype end = format.indexOf(QLatin1Char('\''), i + 1);
            const qsizetype stop = end < 0 ? format.size() : end;
            m_tokens.push_back({Piece::Literal, format.mid(i + 1, stop - i - 1)});
            i = stop + 1;
            continue;
        }
        qsizetype run = 1;
        while (i + run < format.size() && format.at(i + run) == c) {
            ++run;
        }
        if (c == QLatin1Char('d')) {
            static constexpr std::array<Piece, 4> days{Piece::Day, Piece::Day2, Piece::DayName,
                                                       Piece::LongDayName};
            m_tokens.push_back({days[static_cast<size_t>(std::min<qsizetype>(run, 4) - 1)], {}});
        } else if (c == QLatin1Char('M')) {
            static constexpr std::array<Piece, 4> months{Piece::Month, Piece::Month2,
                                                         Piece::MonthName, Piece::LongMonthName};
            m_tokens.push_back({months[static_cast<size_t>(std::min<qsizetype>(run, 4) - 1)], {}});
        } else if (c == QLatin1Char('y')) {
            m_tokens.push_back({Piece::Year, {}});
        } else {
            m_tokens.push_back({Piece::Literal, format.mid(i, run)});
        }
        i += run;
    }
    for (const Token& token : m_tokens) {
        switch (token.piece) {
            case Piece::Day:
            case Piece::Day2:
                m_numberOrder.push_back(0);
                break;
            case Piece::Month:
            case Piece::Month2:
                m_numberOrder.push_back(1);
                break;
            case Piece::Year:
                m_numberOrder.push_back(2);
                break;
            case Piece::DayName:
            case Piece::LongDayName:
            case Piece::MonthName:
            case Piece::LongMonthName:
                m_numberOrder.clear();
                return;
            case Piece::Literal:
                break;
        }
    }
    if (m_numberOrder.size() != 3) {
        m_numberOrder.clear();
    }
}

std::optional<qint64> DateFormatter::sortKey(const QString& text) const {
    // The numbers of the text in order: day, month and year as the short form places them, then
    // hours, minutes and seconds.
    std::array<int, 6> numbers{};
    size_t found = 0;
    bool inNumber = false;
    bool plain = !m_numberOrder.empty();
    for (const QChar c : text) {
        if (!plain) {
            break;
        }
        const char16_t unit = c.unicode();
        if (unit >= u'0' && unit <= u'9') {
            if (!inNumber) {
                if (found == numbers.size()) {
                    plain = false;
                    break;
                }
                ++found;
                inNumber = true;
            }
            int& number = numbers[found - 1];
            number = number * 10 + (unit - u'0');
            plain = number < 100000;
        } else {
            inNumber = false;
            plain = unit < 0x80 && !c.isLetter();
        }
    }
    // yyyyMMddHHmmss as one number.
    const auto key = [](qint64 year, int month, int day, int hour, int minute, int second) {
        return ((((year * 100 + month) * 100 + day) * 100 + hour) * 100 + minute) * 100 + second;
    };
    if (plain && (found == 3 || found == 6)) {
        std::array<int, 3> date{};  // day, month, year
        for (size_t i = 0; i < 3; ++i) {
            date[static_cast<size_t>(m_numberOrder[i])] = numbers[i];
        }
        return key(date[2], date[1], date[0], numbers[3], numbers[4], numbers[5]);
    }
    const std::optional<QDateTime> value = DateText::parse(text, m_locale);
    if (!value) {
        return std::nullopt;
    }
    const QDate date = value->date();
    const QTime time = value->time();
    return key(date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second());
}

void DateFormatter::append(QString& out, QDate date) const {
    for (const Token& token : m_tokens) {
        switch (token.piece) {
            case Piece::Literal:
                out.append(token.literal);
                break;
            case Piece::Day:
                appendNumber(out, date.day(), 1);
                break;
            case Piece::Day2:
                appendNumber(out, date.day(), 2);
                break;
            case Piece::DayName:
                out.append(m_locale.dayName(date.dayOfWeek(), QLocale::ShortFormat));
                break;
            case Piece::LongDayName:
                out.append(m_locale.dayName(date.dayOfWeek(), QLocale::LongFormat));
                break;
            case Piece::Month:
                appendNumber(out, date.month(), 1);
                break;
            case Piece::Month2:
                appendNumber(out, date.month(), 2);
                break;
            case Piece::MonthName:
                out.append(m_locale.monthName(date.month(), QLocale::ShortFormat));
                break;
            case Piece::LongMonthName:
                out.append(m_locale.monthName(date.month(), QLocale::LongFormat));
                break;
            case Piece::Year:
                appendNumber(out, date.year(), 4);
                break;
        }
    }
}

QString DateFormatter::format(QDate date) const {
    QString out;
    out.reserve(12);
    append(out, date);
    return out;
}

QString DateFormatter::format(const QDateTime& value) const {
    QString out;
    out.reserve(24);
    append(out, value.date());
    const QTime time = value.time();
    if (time != QTime(0, 0)) {
        // The time of day as 24-hour "HH:mm:ss": understood in every language, and read back by
        // the parser whatever the locale's own time format looks like.
        out.append(QLatin1Char(' '));
        appendNumber(out, time.hour(), 2);
        out.append(QLatin1Char(':'));
        appendNumber(out, time.minute(), 2);
        out.append(QLatin1Char(':'));
        appendNumber(out, time.second(), 2);
    }
    return out;
}
