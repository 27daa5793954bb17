#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class Form1;
class Form2;
class ReportListView;
class MultiLineField;
class QComboBox;
class DatePicker;
class QLineEdit;
class QPushButton;
class QWidget;

// Tests reach a window's controls the way a user does: by what they are, through their object
// names (the designer names), never through the window's private members.
template <class Control = QWidget>
Control* control(const QObject& window, const QString& name) {
    return window.findChild<Control*>(name);
}

// The case editor's controls, found by name.
struct CaseEditorControls {
    explicit CaseEditorControls(const Form2& editor);

    QLineEdit* Text1;
    QLineEdit* Text2;
    MultiLineField* Text3;
    QLineEdit* Text4;
    QComboBox* Combo1;
    QComboBox* Combo2;
    QComboBox* Combo3;
    QComboBox* Combo4;
    QComboBox* Combo5;
    QComboBox* Combo6;
    QComboBox* Combo7;
    DatePicker* DateTimePicker1;
    DatePicker* DateTimePicker2;
    // PushButton1 ... PushButton19 by number.
    QPushButton* button(int number) const;
    // The list of a lookup family (Status, Category, Priority, Knowledge Base) and of a people
    // family (Assigned To, Opened By, Customer), in the order of their designs.
    QComboBox* lookupList(int family) const;
    QComboBox* peopleList(int family) const;

private:
    const Form2& m_editor;
};

inline CaseEditorControls ui(const Form2& editor) {
    return CaseEditorControls(editor);
}

// The parts of a window that a screen reader finds without a name, each as the path of roles
// and names that leads to it.
QStringList unnamedAccessibleParts(QWidget& window);

// The main window's case list.
ReportListView* caseList(const Form1& form);
// Shows the window and waits until it is the active one, so that its shortcuts work.
void showActive(QWidget& window);
// A window's push button by its number (PushButton1 ...).
QPushButton* button(const QObject& window, int number);
