#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class MainWindow;
class CaseEditor;
class ReportListView;
class MultiLineField;
class QComboBox;
class DatePicker;
class QLineEdit;
class QPushButton;
class QTimer;
class QWidget;

// Tests reach a window's controls the way a user does: by what they are, through their object
// names (the designer names), never through the window's private members.
template <class Control = QWidget>
Control* control(const QObject& window, const QString& name) {
    return window.findChild<Control*>(name);
}

// The case editor's controls, found by name.
struct CaseEditorControls {
    explicit CaseEditorControls(const CaseEditor& editor);

    QLineEdit* titleField;
    QLineEdit* idField;
    MultiLineField* commentsField;
    QLineEdit* resolvedDateField;
    QComboBox* assignedToList;
    QComboBox* openedByList;
    QComboBox* statusList;
    QComboBox* categoryList;
    QComboBox* priorityList;
    QComboBox* customerList;
    QComboBox* knowledgeBaseList;
    DatePicker* openedDatePicker;
    DatePicker* dueDatePicker;
    QPushButton* saveButton;
    QPushButton* cancelButton;
    // PushButton1 ... PushButton19 by number (the families' designs name theirs so).
    QPushButton* button(int number) const;
    // The list of a lookup family (Status, Category, Priority, Knowledge Base) and of a people
    // family (Assigned To, Opened By, Customer), in the order of their designs.
    QComboBox* lookupList(int family) const;
    QComboBox* peopleList(int family) const;

private:
    const CaseEditor& m_editor;
};

inline CaseEditorControls ui(const CaseEditor& editor) {
    return CaseEditorControls(editor);
}

// The parts of a window that a screen reader finds without a name, each as the path of roles
// and names that leads to it.
QStringList unnamedAccessibleParts(QWidget& window);

// The main window's controls, found by name.
struct MainWindowControls {
    explicit MainWindowControls(const MainWindow& window);

    ReportListView* caseList;
    QPushButton* editButton;
    QPushButton* addButton;
    QPushButton* deleteButton;
    QPushButton* sampleDataButton;
    QPushButton* reportsButton;
    QPushButton* helpButton;
    QTimer* refreshTimer;  // follows the others' changes
};

inline MainWindowControls ui(const MainWindow& window) {
    return MainWindowControls(window);
}
// Shows the window and waits until it is the active one, so that its shortcuts work.
void showActive(QWidget& window);
