#pragma once

#include <QComboBox>
#include <QDate>

class QCalendarWidget;
class QFrame;

// A date field with a drop-down calendar, one stop in the tab order.
//
// What the user types is read as a whole, the way dates are read everywhere in the program
// (DateText::parse): the short date form with or without leading zeros and with a two- or
// four-digit year, ISO 8601, or a month's name. Typing never jumps between the day, month and
// year of the shown date, so a complete date typed after Tab, after a click or over a selection
// is exactly the date that is kept. Entering the field selects its text, so that typing replaces
// it. A text that is no date, or none between 1 January 1601 and 31 December 9999, stays as
// typed for correction and the field shows that it is not a date; holdsDate() then tells the
// window not to save. Leaving the field shows a typed date in the short form with its four-digit
// year, so the user sees the date that will be stored.
//
// Up and Down step the day, month or year under the cursor, Page Up and Page Down by ten;
// F4, Alt+Down and the arrow button open the calendar.
class DatePicker : public QComboBox {
public:
    explicit DatePicker(QWidget* parent = nullptr);

    // The date the field shows; while a text that is no date is typed, the last date it showed.
    QDate date() const { return m_date; }
    // Shows the date in the short form. A date outside the range is shown, and marked as one
    // that cannot be kept.
    void setDate(QDate date);
    QDate minimumDate() const;
    QDate maximumDate() const;

    // True when the text in the field is a date within the range: the date() that may be saved.
    bool holdsDate() const { return m_reading == Reading::Date; }

    void showPopup() override;
    void hidePopup() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What the text in the field is.
    enum class Reading { Date, OutOfRange, NotADate };
    // Reads the text as typed so far.
    void readText(const QString& text);
    // Shows the date in the short form when the text is one.
    void tidyText();
    // Marks the field, or takes the mark away, for what its text now is.
    void showReading(Reading reading);
    // Moves the day, month or year under the cursor by the steps.
    void step(int steps);
    void createPopup();

    QDate m_date;
    // What the text is, as the field shows it (unmarked at first).
    Reading m_reading = Reading::Date;
    // A click that gives the field the focus selects the whole text once the button is released.
    bool m_selectOnRelease = false;
    // The calendar was opened: the focus comes back to the field when it closes.
    bool m_calendarShown = false;
    QFrame* m_popup = nullptr;
    QCalendarWidget* m_calendar = nullptr;
};
