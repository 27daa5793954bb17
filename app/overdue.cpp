#include "overdue.h"

#include <QColor>
#include <QPalette>

namespace Overdue {

Check::Check(QDate today)
    : m_today((qint64{today.year()} * 100 + today.month()) * 100 + today.day()) {}

bool Check::operator()(const QString& due, const QString& resolved) {
    if (!resolved.isEmpty() || due.isEmpty()) {
        return false;
    }
    const auto known = m_read.constFind(due);
    if (known != m_read.cend()) {
        return *known;
    }
    // The sort key reads yyyyMMddHHmmss: its day is the key without the time of day.
    constexpr qint64 kTimeOfDay = 1000000;
    const std::optional<qint64> key = m_dates.sortKey(due);
    const bool overdue = key.has_value() && *key / kTimeOfDay < m_today;
    m_read.insert(due, overdue);
    return overdue;
}

QColor colour(const QPalette& palette) {
    constexpr int kMiddle = 128;
    return palette.color(QPalette::Base).lightness() < kMiddle ? QColor(0xff, 0x8a, 0x80)
                                                               : QColor(0xb0, 0x00, 0x20);
}

QString toolTip(const QString& due) {
    return QStringLiteral("Overdue since ") + due;
}

}  // namespace Overdue
