#pragma once

#include <initializer_list>

#include "twips.h"

class QPushButton;
class QString;
class QWidget;

// Every window places its controls one way: a table of control, place in twips, tab position
// and designer name, applied by this one function. The tab order follows the tab column,
// whatever the order of the rows. The designer name ("Combo3") becomes the control's object name,
// which tests, screen readers and the error box's location texts use; a window whose code
// names its controls by role keeps the designer names in this one table.
namespace ControlPlaces {

// The tab position of a control that is not a stop in the tab order (frames).
inline constexpr int kNoTab = -1;

struct Row {
    QWidget* control;
    Twips::Rect place;
    int tab;
    const char* designerName = nullptr;  // none: the control keeps the name it was made with
};

// A push button of the window as every window makes them: named PushButton + number, in the
// button font, never a default button (Return in a field does not press it).
QPushButton* pushButton(QWidget* window, int number, const QString& caption);

// Places each control and chains the tab order by the rows' tab positions. A row whose control
// is null (one that this kind of window does not have) is left out.
void apply(std::initializer_list<Row> rows);

}  // namespace ControlPlaces
