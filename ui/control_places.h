#pragma once

#include <initializer_list>

#include "twips.h"

class QPushButton;
class QString;
class QWidget;

// Every window places its controls one way: a table of control, place in twips and tab
// position, applied by this one function. The tab order follows the tab column, whatever the
// order of the rows.
namespace ControlPlaces {

// The tab position of a control that is not a stop in the tab order (frames).
inline constexpr int kNoTab = -1;

struct Row {
    QWidget* control;
    Twips::Rect place;
    int tab;
};

// A push button of the window as every window makes them: named PushButton + number, in the
// button font, never a default button (Return in a field does not press it).
QPushButton* pushButton(QWidget* window, int number, const QString& caption);

// Places each control and chains the tab order by the rows' tab positions. A row whose control
// is null (one that this kind of window does not have) is left out.
void apply(std::initializer_list<Row> rows);

}  // namespace ControlPlaces
