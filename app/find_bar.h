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

protected:
    // The keys of the window's commands stay the commands' while the field has the focus (a line
    // edit takes Ctrl+E as "end of line" on X11), but for the keys of text editing a user expects
    // in a field: select all, copy, cut, paste, and undo or redo while the field has typing to
    // undo or redo.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isWindowCommand(const QKeySequence& keys) const;

    QLineEdit* m_field = nullptr;
    QLabel* m_count = nullptr;
};
