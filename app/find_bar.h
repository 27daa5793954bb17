#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

// The one-line find field at the bottom edge of the case list, with the count of the cases it
// lets through ("12 of 300 cases"). Hidden, it takes no room and finds nothing.
class FindBar : public QWidget {
public:
    explicit FindBar(QWidget* parent = nullptr);

    QLineEdit* field() const { return m_field; }
    // Shows the bar with the field focused and its text selected.
    void open();
    // Clears the field and hides the bar.
    void close();
    void showCount(int shown, int total);

private:
    QLineEdit* m_field = nullptr;
    QLabel* m_count = nullptr;
};
