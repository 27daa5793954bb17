#pragma once

#include <QDate>
#include <QString>

class DateFormatter;
class QColor;
class QPalette;

// An open case (no resolved date) whose due date lies before today is overdue; the list draws it
// in a colour of its own and says so on its due date.
namespace Overdue {

// due and resolved as the list shows them.
bool isOverdue(const QString& due, const QString& resolved, QDate today,
               const DateFormatter& dates);

// A red that stands out from the list's text and keeps its contrast on the palette's base: dark
// on a light base, light on a dark one.
QColor colour(const QPalette& palette);

// The due date cell's tooltip, with the date as the cell shows it.
QString toolTip(const QString& due);

}  // namespace Overdue
