#include "overdue.h"

#include <QColor>
#include <QPalette>

#include "date_text.h"

namespace Overdue {

bool isOverdue(const QString& due, const QString& resolved, QDate today,
               const DateFormatter& dates) {
    if (!resolved.isEmpty() || due.isEmpty()) {
        return false;
    }
    // The sort key reads yyyyMMddHHmmss: its day is the key without the time of day.
    const std::optional<qint64> key = dates.sortKey(due);
    constexpr qint64 kTimeOfDay = 1000000;
    const qint64 todayKey = (qint64{today.year()} * 100 + today.month()) * 100 + today.day();
    return key.has_value() && *key / kTimeOfDay < todayKey;
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
