#pragma once

#include <QDateEdit>

// A date picker with a calendar pop-up that is one stop in the tab order: Tab leaves it instead
// of walking through its day, month and year (the arrow keys and the typed separators move
// between those), and typing a complete date never carries on into the next field.
class DatePicker : public QDateEdit {
public:
    explicit DatePicker(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
};
