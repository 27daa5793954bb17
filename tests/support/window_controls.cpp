#include "window_controls.h"

#include <array>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "case_editor.h"
#include "date_picker.h"
#include "main_window.h"
#include "multi_line_field.h"
#include "report_list.h"

CaseEditorControls::CaseEditorControls(const CaseEditor& editor)
    : titleField(control<QLineEdit>(editor, QStringLiteral("Text1"))),
      idField(control<QLineEdit>(editor, QStringLiteral("Text2"))),
      commentsField(control<MultiLineField>(editor, QStringLiteral("Text3"))),
      resolvedDateField(control<QLineEdit>(editor, QStringLiteral("Text4"))),
      assignedToList(control<QComboBox>(editor, QStringLiteral("Combo1"))),
      openedByList(control<QComboBox>(editor, QStringLiteral("Combo2"))),
      statusList(control<QComboBox>(editor, QStringLiteral("Combo3"))),
      categoryList(control<QComboBox>(editor, QStringLiteral("Combo4"))),
      priorityList(control<QComboBox>(editor, QStringLiteral("Combo5"))),
      customerList(control<QComboBox>(editor, QStringLiteral("Combo6"))),
      knowledgeBaseList(control<QComboBox>(editor, QStringLiteral("Combo7"))),
      openedDatePicker(control<DatePicker>(editor, QStringLiteral("DateTimePicker1"))),
      dueDatePicker(control<DatePicker>(editor, QStringLiteral("DateTimePicker2"))),
      saveButton(control<QPushButton>(editor, QStringLiteral("PushButton2"))),
      cancelButton(control<QPushButton>(editor, QStringLiteral("PushButton1"))),
      m_editor(editor) {}

QPushButton* CaseEditorControls::button(int number) const {
    return control<QPushButton>(m_editor, QStringLiteral("PushButton%1").arg(number));
}

QComboBox* CaseEditorControls::lookupList(int family) const {
    return std::array{statusList, categoryList, priorityList, knowledgeBaseList}.at(
        static_cast<size_t>(family));
}

QComboBox* CaseEditorControls::peopleList(int family) const {
    return std::array{assignedToList, openedByList, customerList}.at(static_cast<size_t>(family));
}

MainWindowControls::MainWindowControls(const MainWindow& window)
    : caseList(control<ReportListView>(window, QStringLiteral("ListView1"))),
      editButton(control<QPushButton>(window, QStringLiteral("PushButton1"))),
      addButton(control<QPushButton>(window, QStringLiteral("PushButton2"))),
      deleteButton(control<QPushButton>(window, QStringLiteral("PushButton3"))),
      sampleDataButton(control<QPushButton>(window, QStringLiteral("PushButton4"))),
      reportsButton(control<QPushButton>(window, QStringLiteral("PushButton5"))),
      helpButton(control<QPushButton>(window, QStringLiteral("PushButton6"))),
      refreshTimer(window.findChild<QTimer*>(QStringLiteral("Timer1"))) {}

void showActive(QWidget& window) {
    window.show();
    QApplication::setActiveWindow(&window);
    [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(&window);
}

namespace {

void collectUnnamed(QAccessibleInterface* part, const QString& path, QStringList& unnamed) {
    const QString name = part->text(QAccessible::Name);
    const QString here =
        path + QLatin1Char('/') + QString::number(part->role(), 16) + QLatin1Char(':') + name;
    if (name.isEmpty()) {
        unnamed.append(here);
    }
    for (int i = 0; i < part->childCount(); ++i) {
        collectUnnamed(part->child(i), here, unnamed);
    }
}

}  // namespace

QStringList unnamedAccessibleParts(QWidget& window) {
    QStringList unnamed;
    collectUnnamed(QAccessible::queryAccessibleInterface(&window), QString(), unnamed);
    return unnamed;
}
