#pragma once

#include <QDate>
#include <QHash>
#include <QString>

#include "date_text.h"

class QColor;
class QPalette;

// An open case (no resolved date) whose due date lies before today is overdue; the list draws it
// in a colour of its own and says so on its due date.
namespace Overdue {

// Tells the overdue cases of one filling of the list, with due and resolved dates as the list
// shows them. A date text is read once: the list's many rows share few due dates, and reading a
// date with a month name is slow.
class Check {
public:
    explicit Check(QDate today);
    bool operator()(const QString& due, const QString& resolved);

private:
    DateFormatter m_dates;
    qint64 m_today;  // yyyyMMdd
    QHash<QString, bool> m_read;
};

// A red that stands out from the list's text and keeps its contrast on the palette's base: dark
// on a light base, light on a dark one.
QColor colour(const QPalette& palette);

// The due date cell's tooltip, with the date as the cell shows it.
QString toolTip(const QString& due);

}  // namespace Overdue
