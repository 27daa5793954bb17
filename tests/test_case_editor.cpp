// The case editor: loading, the validation chain, the exact statements of a save, the lookup
// lists' "+" and "-" buttons, and the main window's commands around it.

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <map>
#include <memory>
#include "date_picker.h"
#include "multi_line_field.h"

#include "case_editor.h"
#include "case_fixture.h"
#include "case_store.h"
#include "date_text.h"
#include "lookup_members.h"
#include "main_window.h"
#include "report_list.h"
#include "scripted_prompts.h"
#include "test_environment.h"
#include "window_controls.h"

namespace {

QString today() {
    return DateText::toText(QDate::currentDate());
}

}  // namespace

class TestCaseEditor : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    ScriptedPrompts m_prompts;
    QStringList m_statements;
    std::unique_ptr<CaseEditor> m_editor;

    CaseEditor& openEditor(const QString& id = {}) {
        m_editor = std::make_unique<CaseEditor>(m_prompts, TestEnvironment::programFolder());
        m_editor->m_ID = id;
        m_statements.clear();
        m_editor->setCaption(id.isEmpty() ? QStringLiteral("Add New Case")
                                          : QStringLiteral("Edit Data"));
        return *m_editor;
    }

    void watchStatements() {
        CaseStore::shared().setStatementObserver(
            [this](const QString& statement) { m_statements.append(statement); });
    }

    QStringList writes() const { return writesAmong(m_statements); }

    void expectOk(int boxes = 1) {
        for (int i = 0; i < boxes; ++i) {
            m_prompts.answer(Prompts::Answer::Ok);
        }
    }

private Q_SLOTS:
    void init() {
        m_env = std::make_unique<TestEnvironment>();
        m_env->openDatabase();
        seedCaseDatabase();
        watchStatements();
        m_prompts.clear();
        m_prompts.setApplicationTitle(QStringLiteral("Helvarine"));
    }

    void cleanup() {
        m_editor.reset();
        m_env.reset();
        expectNothingUnexpected(m_prompts);
    }

    void newCaseOpensEmptyWithTodaysDates() {
        CaseEditor& editor = openEditor();
        QVERIFY(m_prompts.boxes().empty());
        QCOMPARE(editor.windowTitle(), QStringLiteral("Add New Case"));
        QCOMPARE(listEntries(ui(editor).assignedToList),
                 (QStringList{"Daniel Carter", "John Wilson"}));
        QCOMPARE(listEntries(ui(editor).openedByList), listEntries(ui(editor).assignedToList));
        QCOMPARE(listEntries(ui(editor).statusList), (QStringList{"Open", "Waiting"}));
        QCOMPARE(listEntries(ui(editor).categoryList), (QStringList{"Billing", "General"}));
        for (QComboBox* list :
             {ui(editor).assignedToList, ui(editor).openedByList, ui(editor).statusList,
              ui(editor).categoryList, ui(editor).priorityList, ui(editor).customerList,
              ui(editor).knowledgeBaseList}) {
            QCOMPARE(list->currentIndex(), -1);
            QVERIFY(!list->isEditable());
        }
        // Each list entry's ID stands at the same position in its ID list.
        QCOMPARE(editor.employeeIds(), (QStringList{"2", "1"}));
        QCOMPARE(editor.customerIds(), (QStringList{"1", "2"}));
        QCOMPARE(ui(editor).openedDatePicker->date(), QDate::currentDate());
        QCOMPARE(ui(editor).dueDatePicker->date(), QDate::currentDate());
        QCOMPARE(ui(editor).openedDatePicker->minimumDate(), QDate(1601, 1, 1));
        QCOMPARE(ui(editor).openedDatePicker->maximumDate(), QDate(9999, 12, 31));
        QVERIFY(ui(editor).titleField->text().isEmpty() && ui(editor).idField->text().isEmpty());
        QVERIFY(!ui(editor).idField->isEnabled());
        QCOMPARE(ui(editor).customerList->toolTip(),
                 QStringLiteral("Click * to edit the selected contact"));
        QCOMPARE(ui(editor).knowledgeBaseList->toolTip(), QString());
        QCOMPARE(editor.size(), QSize(536, 565));  // 8040 x 8475 twips
        QCOMPARE(ui(editor).commentsField->geometry(), QRect(8, 347, 520, 175));
    }

    // A date typed into a picker, however the field was entered, is the date the field shows
    // once left and the date stored; a text that is no date is refused with the field marked.
    void typedDatesAreStoredAsTyped_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("entry");  // tab, click or all (Ctrl+A)
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDate>("stored");  // null: refused
        QTest::addColumn<bool>("due");      // the Due Date picker, else the Opened Date
        const auto row = [](const char* locale, const char* entry, const char* typed, QDate stored,
                            bool due = false) {
            QTest::addRow("%s %s by %s", locale, typed, entry)
                << locale << entry << typed << stored << due;
        };
        row("en_US", "all", "1/15/2027", {2027, 1, 15});
        row("en_US", "click", "3/7/2027", {2027, 3, 7});
        row("en_US", "tab", "12/20/2026", {2026, 12, 20}, true);
        row("en_US", "click", "01/31/27", {2027, 1, 31});
        row("en_US", "tab", "2027-01-15", {2027, 1, 15});
        row("en_US", "all", "12/1/2027", {2027, 12, 1});
        row("en_US", "tab", "2/29/2028", {2028, 2, 29});
        row("en_US", "click", "2/29/2027", {});
        row("en_US", "tab", "13/1/2027", {}, true);
        row("en_US", "all", "1/15", {});
        row("de_DE", "all", "15.01.2027", {2027, 1, 15});
        row("de_DE", "click", "5.3.27", {2027, 3, 5}, true);
        row("de_DE", "tab", "1.12.2027", {2027, 12, 1});
        row("de_DE", "tab", "29.02.2028", {2028, 2, 29});
        row("de_DE", "click", "29.02.2027", {});
        row("de_DE", "all", "32.01.2027", {}, true);
        row("ja_JP", "all", "2027/1/5", {2027, 1, 5});
        row("ja_JP", "click", "2027/12/31", {2027, 12, 31});
        row("ja_JP", "tab", "27/1/31", {2027, 1, 31}, true);
        row("ja_JP", "tab", "2027/02/29", {});
        row("ko_KR", "click", "2027. 1. 15.", {2027, 1, 15});
        row("ko_KR", "tab", "27. 12. 1.", {2027, 12, 1});
        row("ko_KR", "all", "2028. 2. 29.", {2028, 2, 29}, true);
        row("ko_KR", "tab", "2027-01-31", {2027, 1, 31});
        row("ko_KR", "click", "2027. 13. 1.", {});
    }

    void typedDatesAreStoredAsTyped() {
        QFETCH(QString, locale);
        QFETCH(QString, entry);
        QFETCH(QString, typed);
        QFETCH(QDate, stored);
        QFETCH(bool, due);
        QLocale::setDefault(QLocale(locale));
        CaseEditor& editor = openEditor();
        fillNewCase(editor);
        editor.show();
        QApplication::setActiveWindow(&editor);
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        DatePicker* picker = due ? ui(editor).dueDatePicker : ui(editor).openedDatePicker;
        QWidget* before =
            due ? static_cast<QWidget*>(ui(editor).openedDatePicker) : ui(editor).button(4);
        if (entry == QLatin1String("tab")) {
            before->setFocus();
            QTest::keyClick(before, Qt::Key_Tab);
        } else if (entry == QLatin1String("click")) {
            QTest::mouseClick(picker->lineEdit(), Qt::LeftButton, {}, QPoint(12, 8));
        } else {
            picker->setFocus();
            QTest::keyClick(picker, Qt::Key_A, Qt::ControlModifier);
        }
        QCOMPARE(QApplication::focusWidget(), picker);
        QTest::keyClicks(picker, typed);
        QTest::keyClick(picker, Qt::Key_Tab);
        const QString column = due ? QStringLiteral("[Due Date]") : QStringLiteral("[Opened Date]");
        if (stored.isValid()) {
            QCOMPARE(picker->lineEdit()->text(), DateText::toText(stored));
            QVERIFY(picker->lineEdit()->toolTip().isEmpty());
            expectOk();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
            QCOMPARE(m_prompts.texts(), QStringList{"Record Successfully Saved"});
            QCOMPARE(count(QStringLiteral("Cases where %1='%2'")
                               .arg(column, stored.toString(Qt::ISODate))),
                     1);
        } else {
            QCOMPARE(picker->lineEdit()->text(), typed);
            QVERIFY(picker->lineEdit()->toolTip().contains(QLatin1String("date")));
            expectOk();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
            QCOMPARE(m_prompts.texts(), QStringList{due ? "Please input a valid Due Date."
                                                        : "Please input a valid Opened Date."});
            QCOMPARE(QApplication::focusWidget(), picker);
            QCOMPARE(picker->lineEdit()->text(), typed);
            QVERIFY(writes().isEmpty() && !editor.closed());
        }
    }

    // One tab stop; Up and Down step the part under the cursor; the calendar picks a date.
    void datePickerKeysAndCalendar() {
        CaseEditor& editor = openEditor();
        editor.show();
        QApplication::setActiveWindow(&editor);
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        DatePicker* opened = ui(editor).openedDatePicker;
        opened->setDate(QDate(2027, 1, 31));
        opened->setFocus();
        opened->lineEdit()->setCursorPosition(0);  // the month of 1/31/2027
        QTest::keyClick(opened, Qt::Key_Up);
        QCOMPARE(opened->date(), QDate(2027, 2, 28));
        opened->lineEdit()->end(false);  // the year
        QTest::keyClick(opened, Qt::Key_Down);
        QCOMPARE(opened->lineEdit()->text(), QStringLiteral("2/28/2026"));
        QCOMPARE(opened->lineEdit()->selectedText(), QStringLiteral("2026"));
        QTest::keyClick(opened, Qt::Key_Down, Qt::AltModifier);
        auto* calendar = editor.findChild<QCalendarWidget*>();
        QVERIFY(calendar != nullptr && calendar->isVisible());
        QCOMPARE(calendar->selectedDate(), QDate(2026, 2, 28));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!calendar->isVisible());
        QCOMPARE(opened->date(), QDate(2026, 3, 1));
        QCOMPARE(QApplication::focusWidget(), opened);
        // Back from the calendar, a click into the text and a date typed replace the text.
        QTest::mouseClick(opened->lineEdit(), Qt::LeftButton, {}, QPoint(20, 8));
        QTest::keyClicks(opened, QStringLiteral("3/9/2027"));
        QCOMPARE(opened->date(), QDate(2027, 3, 9));
        QTest::keyClick(opened, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), ui(editor).dueDatePicker);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), ui(editor).statusList);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), ui(editor).dueDatePicker);
    }

    void emptyDatabaseGivesEmptyLists() {
        for (const char* table : {"Employees", "Customers", "Status", "Categories", "Priorities",
                                  "KnowledgeBase", "Cases"}) {
            execute(QStringLiteral("delete from ") + QLatin1String(table));
        }
        CaseEditor& editor = openEditor();
        QVERIFY(m_prompts.boxes().empty());
        QCOMPARE(ui(editor).assignedToList->count() + ui(editor).customerList->count() +
                     ui(editor).knowledgeBaseList->count(),
                 0);
    }

    void storedCaseFillsEveryField() {
        CaseEditor& editor = openEditor(QStringLiteral("1"));
        QVERIFY(m_prompts.boxes().empty());
        QCOMPARE(m_statements.last(), QStringLiteral("select * from [Open Cases] where ID=1"));
        QCOMPARE(ui(editor).idField->text(), QStringLiteral("1"));
        QCOMPARE(ui(editor).titleField->text(), QStringLiteral("Printer jams"));
        QCOMPARE(ui(editor).assignedToList->currentText(), QStringLiteral("Daniel Carter"));
        QCOMPARE(ui(editor).openedByList->currentText(), QStringLiteral("John Wilson"));
        QCOMPARE(ui(editor).statusList->currentText(), QStringLiteral("Waiting"));
        QCOMPARE(ui(editor).categoryList->currentText(), QStringLiteral("Billing"));
        QCOMPARE(ui(editor).priorityList->currentText(), QStringLiteral("Low"));
        QCOMPARE(ui(editor).customerList->currentText(), QStringLiteral("Hanna Simmons"));
        QCOMPARE(ui(editor).knowledgeBaseList->currentText(), QStringLiteral("KB2"));
        QCOMPARE(ui(editor).openedDatePicker->date(), QDate(2026, 12, 1));
        QCOMPARE(ui(editor).dueDatePicker->date(), QDate(2026, 12, 24));
        QCOMPARE(ui(editor).resolvedDateField->text(), QString());
        QCOMPARE(ui(editor).commentsField->toPlainText(),
                 QStringLiteral("first line\nsecond line"));
    }

    void peopleOfOneNameKeepTheirIds() {
        execute(QStringLiteral(
            "insert into Employees ([First Name],[Last Name]) values ('Daniel','Carter')"));
        execute(QStringLiteral(
            "insert into Customers ([First Name],[Last Name]) values ('Hanna','Simmons')"));
        execute(QStringLiteral("update Cases set [Assigned To]=3, [Opened By]=3, Customer=3"));
        CaseEditor& editor = openEditor(QStringLiteral("1"));
        QCOMPARE(listEntries(ui(editor).assignedToList),
                 (QStringList{"Daniel Carter", "Daniel Carter", "John Wilson"}));
        QCOMPARE(editor.employeeIds().mid(0, 2), (QStringList{"2", "3"}));
        QCOMPARE(ui(editor).assignedToList->currentIndex(), 1);
        QCOMPARE(ui(editor).openedByList->currentIndex(), 1);
        QCOMPARE(editor.customerIds().at(ui(editor).customerList->currentIndex()),
                 QStringLiteral("3"));
        expectOk();
        ui(editor).saveButton->click();
        QCOMPARE(scalar("select [Assigned To] || '' || [Opened By] || '' || Customer from Cases "
                        "where ID=1"),
                 QStringLiteral("333"));
    }

    void resolvedCaseOpensWithItsValuesAndReopens() {
        execute(QStringLiteral("update Cases set [Resolved Date]='12/9/2026' where ID=1"));
        CaseEditor& editor = openEditor(QStringLiteral("1"));
        QVERIFY(m_prompts.boxes().empty());
        QCOMPARE(m_statements.mid(m_statements.size() - 2),
                 (QStringList{"select * from [Open Cases] where ID=1",
                              "select * from [Closed Cases] where ID=1"}));
        QCOMPARE(ui(editor).titleField->text(), QStringLiteral("Printer jams"));
        QCOMPARE(ui(editor).assignedToList->currentText(), QStringLiteral("Daniel Carter"));
        QCOMPARE(ui(editor).statusList->currentText(), QStringLiteral("Waiting"));
        QCOMPARE(ui(editor).dueDatePicker->date(), QDate(2026, 12, 24));
        QCOMPARE(ui(editor).resolvedDateField->text(), QStringLiteral("12/9/2026"));
        ui(editor).resolvedDateField->clear();
        expectOk();
        ui(editor).saveButton->click();
        QCOMPARE(m_prompts.texts(), QStringList{QStringLiteral("Record Successfully Updated")});
        QCOMPARE(scalar("select count(*) from [Open Cases] where ID=1 and Title='Printer jams'"),
                 QStringLiteral("1"));
    }

    // The dates a user types and picks are written in the user's short form, stored as the real
    // dates, and shown again in that form.
    void datesInTheUsersLocale_data() {
        QTest::addColumn<QString>("locale");
        QTest::newRow("German") << "de_DE";
        QTest::newRow("Korean") << "ko_KR";
    }

    void datesInTheUsersLocale() {
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(locale));
        const QString resolved = DateText::toText(QDate(2026, 12, 9));
        CaseEditor& editor = openEditor();
        fillNewCase(editor);
        ui(editor).resolvedDateField->setText(resolved);
        expectOk();
        ui(editor).saveButton->click();
        QCOMPARE(m_prompts.texts(), QStringList{QStringLiteral("Record Successfully Saved")});
        QVERIFY2(writes().front().contains("'" + resolved + "'"), qPrintable(writes().front()));
        QCOMPARE(count("Cases where [Opened Date]='2026-12-01' and [Due Date]='2026-12-24' and "
                       "[Resolved Date]='2026-12-09'"),
                 1);
        CaseEditor& again = openEditor(QStringLiteral("2"));
        QCOMPARE(ui(again).dueDatePicker->date(), QDate(2026, 12, 24));
        QCOMPARE(ui(again).resolvedDateField->text(), resolved);
    }

    void caseInNeitherViewOpensAsANewCase() {
        CaseEditor& editor = openEditor(QStringLiteral("99"));
        QVERIFY(m_prompts.boxes().empty());
        QCOMPARE(editor.windowTitle(), QStringLiteral("Edit Data"));
        QVERIFY(ui(editor).titleField->text().isEmpty() && ui(editor).idField->text().isEmpty());
        QCOMPARE(ui(editor).statusList->currentIndex(), -1);
    }

    void valueMissingFromItsListIsReportedAtItsLine() {
        execute(QStringLiteral("update Cases set Status='Gone', Title=NULL where ID=1"));
        expectOk(2);
        CaseEditor& editor = openEditor(QStringLiteral("1"));
        QCOMPARE(errorLines(m_prompts), (QList<int>{108, 114}));
        QVERIFY(m_prompts.texts()[0].contains(
            QStringLiteral("in Casewright2021/08/31.Form2.LoadData ")));
        QCOMPARE(ui(editor).statusList->currentIndex(), -1);
        QCOMPARE(ui(editor).categoryList->currentText(),
                 QStringLiteral("Billing"));  // the next line ran
    }

    void validationNamesTheFirstMissingField_data() {
        QTest::addColumn<int>("filled");  // how many of the required fields are filled, in order
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("title of spaces") << 0 << "You forgot to input Title."
                                         << "Text1";
        QTest::newRow("assigned to") << 1 << "You forgot to select Assigned To."
                                     << "Combo1";
        QTest::newRow("opened by") << 2 << "You forgot to select Opened By."
                                   << "Combo2";
        QTest::newRow("customer") << 3 << "You forgot to select Customer."
                                  << "Combo6";
        QTest::newRow("status") << 4 << "You forgot to select Status."
                                << "Combo3";
        QTest::newRow("category") << 5 << "You forgot to select Category."
                                  << "Combo4";
        QTest::newRow("priority") << 6 << "You forgot to select Priority."
                                  << "Combo5";
        QTest::newRow("knowledge base") << 7 << "You forgot to select Knowledge Base."
                                        << "Combo7";
        QTest::newRow("resolved date not a date")
            << 8 << "Please input a valid Resolved Date or leave it empty."
            << "Text4";
    }

    void validationNamesTheFirstMissingField() {
        QFETCH(int, filled);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        CaseEditor& editor = openEditor();
        ui(editor).titleField->setText(filled > 0 ? QStringLiteral("A title")
                                                  : QStringLiteral("   "));
        const std::array<std::pair<QComboBox*, const char*>, 7> lists{{
            {ui(editor).assignedToList, "John Wilson"},
            {ui(editor).openedByList, "John Wilson"},
            {ui(editor).customerList, "Hanna Simmons"},
            {ui(editor).statusList, "Open"},
            {ui(editor).categoryList, "General"},
            {ui(editor).priorityList, "High"},
            {ui(editor).knowledgeBaseList, "KB1"},
        }};
        for (int i = 0; i < 7 && i < filled - 1; ++i) {
            pick(lists[static_cast<size_t>(i)].first,
                 QLatin1String(lists[static_cast<size_t>(i)].second));
        }
        ui(editor).resolvedDateField->setText(QStringLiteral("next Tuesday"));
        expectOk();
        ui(editor).saveButton->click();
        QCOMPARE(m_prompts.texts(), QStringList{message});
        QCOMPARE(m_prompts.boxes().front().caption, QStringLiteral("Helvarine"));
        QCOMPARE(m_prompts.boxes().front().icon, Prompts::Icon::None);
        QCOMPARE(editor.focusWidget()->objectName(), focus);
        QVERIFY(writes().isEmpty());
        QVERIFY(!editor.closed());
        QCOMPARE(count(QStringLiteral("Cases")), 1);
    }

    // Ctrl+S is the Save button, with its checks.
    void ctrlSSavesLikeTheSaveButton() {
        CaseEditor& editor = openEditor();
        editor.show();
        QApplication::setActiveWindow(&editor);
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        expectOk();
        QTest::keyClick(ui(editor).resolvedDateField, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(m_prompts.texts(), QStringList{"You forgot to input Title."});
        QVERIFY(writes().isEmpty());
        fillNewCase(editor);
        expectOk();
        QTest::keyClick(ui(editor).commentsField, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(m_prompts.texts().last(), QStringLiteral("Record Successfully Saved"));
        QCOMPARE(writes().size(), 1);
        QVERIFY(writes()[0].startsWith(kInsertStart));
        QVERIFY(editor.closed());
    }

    // A screen reader finds a name on every part of the editor: the lists' and the date fields'
    // inner parts and the scroll bars included.
    void everyPartHasAName() {
        CaseEditor& editor = openEditor();
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        const QStringList unnamed = unnamedAccessibleParts(editor);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join('\n')));
    }

    // Fields are announced by their captions, the small buttons by what they do.
    void controlsSayWhatTheyAre() {
        CaseEditor& editor = openEditor();
        const std::array<std::pair<QWidget*, const char*>, 13> fields{{
            {ui(editor).titleField, "Title"},
            {ui(editor).idField, "ID"},
            {ui(editor).commentsField, "Comments"},
            {ui(editor).resolvedDateField, "Resolved Date"},
            {ui(editor).assignedToList, "Assigned To"},
            {ui(editor).openedByList, "Opened By"},
            {ui(editor).statusList, "Status"},
            {ui(editor).categoryList, "Category"},
            {ui(editor).priorityList, "Priority"},
            {ui(editor).customerList, "Customer"},
            {ui(editor).knowledgeBaseList, "Knowledge Base"},
            {ui(editor).openedDatePicker, "Opened Date"},
            {ui(editor).dueDatePicker, "Due Date"},
        }};
        for (const auto& [field, caption] : fields) {
            QCOMPARE(field->accessibleName(), QLatin1String(caption));
        }
        const std::map<int, const char*> tips{
            {5, "Add an employee"},
            {9, "Edit the selected employee"},
            {6, "Delete the selected employee and every case linked to them"},
            {15, "Add a customer"},
            {7, "Add a status"},
            {8, "Delete the selected status and every case linked to it"},
            {18, "Add a knowledge base"},
        };
        for (const auto& [number, tip] : tips) {
            QCOMPARE(ui(editor).button(number)->toolTip(), QLatin1String(tip));
        }
        for (int number = 1; number <= 19; ++number) {
            const QPushButton* button = ui(editor).button(number);
            QVERIFY2(button->text().size() > 1 || !button->toolTip().isEmpty(),
                     qPrintable(button->objectName()));
        }
    }

    void insertIsWrittenExactly() {
        CaseEditor& editor = openEditor();
        fillNewCase(editor);
        ui(editor).resolvedDateField->setText(QStringLiteral("12/9/2026"));
        expectOk();
        ui(editor).saveButton->click();
        QCOMPARE(m_prompts.texts(), QStringList{QStringLiteral("Record Successfully Saved")});
        QCOMPARE(writes(), QStringList{kInsertStart +
                                       "'O''Brien''s printer',2,1,'12/1/2026','Open','General',"
                                       "'High','Toner ''HP 12A''\nsecond line','12/24/2026','KB1',"
                                       "'12/9/2026',2,'" +
                                       today() + "')"});
        QVERIFY(editor.closed());
        QCOMPARE(scalar("select Title from Cases where ID=2"), QStringLiteral("O'Brien's printer"));
        QCOMPARE(scalar("select Comments from Cases where ID=2"),
                 QStringLiteral("Toner 'HP 12A'\nsecond line"));
        QCOMPARE(scalar("select [Resolved Date] || '' from Cases where ID=2"),
                 TestEnvironment::onServer() ? QStringLiteral("2026-12-09 00:00:00")
                                             : QStringLiteral("2026-12-09"));
    }

    void resolvedDateForms_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("empty") << ""
                               << "NULL";
        QTest::newRow("a date as typed") << "12/09/2026"
                                         << "'12/09/2026'";
        QTest::newRow("a long form as typed") << "December 9, 2026"
                                              << "'December 9, 2026'";
    }

    void resolvedDateForms() {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        CaseEditor& editor = openEditor();
        fillNewCase(editor);
        ui(editor).resolvedDateField->setText(typed);
        expectOk();
        ui(editor).saveButton->click();
        QCOMPARE(writes().size(), 1);
        QVERIFY2(writes().front().endsWith(",'KB1'," + written + ",2,'" + today() + "')"),
                 qPrintable(writes().front()));
    }

    void titleKeepsItsSpaces() {
        CaseEditor& editor = openEditor();
        fillNewCase(editor);
        ui(editor).titleField->setText(QStringLiteral("  padded  "));
        expectOk();
        ui(editor).saveButton->click();
        QCOMPARE(scalar("select Title from Cases where ID=2"), QStringLiteral("  padded  "));
    }

    void updateIsWrittenExactlyAndRenewsTheCallTime() {
        CaseEditor& editor = openEditor(QStringLiteral("1"));
        ui(editor).titleField->setText(QStringLiteral("Printer jams, won't print"));
        pick(ui(editor).customerList, QStringLiteral("Neil Burgess"));
        expectOk();
        ui(editor).saveButton->click();
        QCOMPARE(m_prompts.texts(), QStringList{QStringLiteral("Record Successfully Updated")});
        // The update runs in the transaction of its check.
        QCOMPARE(writes(),
                 (QStringList{"BEGIN IMMEDIATE",
                              "update Cases set Title='Printer jams, won''t print',[Assigned To]=2,"
                              "[Opened By]=1,[Opened Date]='12/1/2026',Status='Waiting',"
                              "Category='Billing',Priority='Low',Comments='first line\nsecond "
                              "line',[Due Date]='12/24/2026',KB='KB2',[Resolved Date]=NULL,"
                              "Customer=2,[Call Time]='" +
                                  today() + "' where ID=1",
                              "COMMIT"}));
        QCOMPARE(scalar("select [Call Time] from Cases where ID=1"), today());
        QCOMPARE(count(QStringLiteral("Cases")), 1);
    }

    void refusedSaveKeepsTheEditorOpenWithTheInput() {
        refuseWrites(QStringLiteral("Cases"), QStringLiteral("insert"),
                     QStringLiteral("database or disk is full"));
        CaseEditor& editor = openEditor();
        fillNewCase(editor);
        expectOk();
        ui(editor).saveButton->click();
        QCOMPARE(errorLines(m_prompts), QList<int>{170});
        QVERIFY(m_prompts.texts()[0].startsWith(
            QStringLiteral("database or disk is full\r\n"
                           "in Casewright2021/08/31.Form2.PushButton2_Click ")));
        QCOMPARE(m_prompts.boxes().size(), size_t{1});  // no success message
        QVERIFY(!editor.closed());
        QCOMPARE(ui(editor).titleField->text(), QStringLiteral("O'Brien's printer"));
        QCOMPARE(ui(editor).knowledgeBaseList->currentText(), QStringLiteral("KB1"));
        // Once the database takes it, a second Save succeeds.
        allowWrites(QStringLiteral("Cases"));
        expectOk();
        ui(editor).saveButton->click();
        QCOMPARE(m_prompts.texts().last(), QStringLiteral("Record Successfully Saved"));
        QCOMPARE(count(QStringLiteral("Cases")), 2);
    }

    void savingADeletedCaseSaysSoAndStaysOpen() {
        CaseEditor& editor = openEditor(QStringLiteral("1"));
        QCOMPARE(executeAsAnotherUser(*m_env, "delete from Cases where ID=1"), QString());
        expectOk();
        ui(editor).saveButton->click();
        QCOMPARE(
            m_prompts.texts(),
            QStringList{QStringLiteral("This case no longer exists; it may have been deleted.")});
        QVERIFY(!editor.closed());
        QCOMPARE(count(QStringLiteral("Cases")), 0);  // no row is made by an update
    }

    // Another user saves the case while the editor is open: asked first, No the default.
    void changeByAnotherUserIsAskedAbout_data() {
        QTest::addColumn<bool>("overwrite");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }

    void changeByAnotherUserIsAskedAbout() {
        QFETCH(bool, overwrite);
        CaseEditor& editor = openEditor(QStringLiteral("1"));
        ui(editor).titleField->setText(QStringLiteral("Mine"));
        pick(ui(editor).statusList, QStringLiteral("Open"));
        QCOMPARE(executeAsAnotherUser(*m_env, "update Cases set Comments='theirs' where ID=1"),
                 QString());
        m_statements.clear();
        m_prompts.answer(overwrite ? Prompts::Answer::Yes : Prompts::Answer::No);
        expectOk(overwrite ? 1 : 0);
        ui(editor).saveButton->click();
        const ScriptedPrompts::Box& question = m_prompts.boxes().front();
        QCOMPARE(question.text, QStringLiteral("Another user changed this case after you opened "
                                               "it.\r\nDo you want to save your version over it?"));
        QCOMPARE(question.buttons, Prompts::Buttons::YesNoDefaultNo);
        QCOMPARE(question.icon, Prompts::Icon::None);
        QCOMPARE(question.caption, QStringLiteral("Helvarine"));
        QCOMPARE(editor.closed(), overwrite);
        if (overwrite) {
            QCOMPARE(m_prompts.texts().last(), QStringLiteral("Record Successfully Updated"));
            QCOMPARE(writes().size(), 5);  // the check, then the check again with the update
            QVERIFY(writes()[3].startsWith("update Cases set Title='Mine',"));
            QCOMPARE(scalar("select Title||'/'||Status||'/'||Comments from Cases"),
                     QStringLiteral("Mine/Open/first line\nsecond line"));
        } else {
            QCOMPARE(m_prompts.boxes().size(), size_t{1});
            QCOMPARE(writes(), (QStringList{"BEGIN IMMEDIATE", "COMMIT"}));  // nothing written
            QCOMPARE(scalar("select Title||'/'||Status||'/'||Comments from Cases"),
                     QStringLiteral("Printer jams/Waiting/theirs"));
            QCOMPARE(ui(editor).titleField->text(), QStringLiteral("Mine"));
            QCOMPARE(ui(editor).statusList->currentText(), QStringLiteral("Open"));
        }
    }

    void cancelWritesNothingAndAsksNothing() {
        CaseEditor& editor = openEditor(QStringLiteral("1"));
        ui(editor).titleField->setText(QStringLiteral("changed"));
        ui(editor).cancelButton->click();
        QVERIFY(editor.closed());
        QVERIFY(m_prompts.boxes().empty());
        QVERIFY(writes().isEmpty());
        QCOMPARE(scalar("select Title from Cases where ID=1"), QStringLiteral("Printer jams"));
        CaseEditor& again = openEditor(QStringLiteral("1"));
        again.show();
        again.close();  // the title bar's close
        QVERIFY(again.closed());
        QVERIFY(m_prompts.boxes().empty());
        QVERIFY(writes().isEmpty());
    }

    // Every lookup list through the one table of differences.
    void lookupMembers_data() {
        QTest::addColumn<int>("member");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("noun");
        QTest::newRow("status") << 0 << "Enter new Status: "
                                << "Input Status"
                                << "Status"
                                << "Status"
                                << "status";
        QTest::newRow("category") << 1 << "Enter new Category: "
                                  << "Input Category"
                                  << "Categories"
                                  << "Category"
                                  << "category";
        QTest::newRow("priority") << 2 << "Enter new Priority: "
                                  << "Input Priority"
                                  << "Priorities"
                                  << "Priority"
                                  << "priority";
        QTest::newRow("knowledge base") << 3 << "Enter new Knowledge Base: "
                                        << "Input Knowledge Base"
                                        << "KnowledgeBase"
                                        << "KB"
                                        << "knowledge base";
    }

    void lookupMembers() {
        QFETCH(int, member);
        QFETCH(QString, prompt);
        QFETCH(QString, title);
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QString, noun);
        const LookupMember& lookup = ::lookupMembers()[static_cast<size_t>(member)];
        CaseEditor& editor = openEditor();
        QComboBox* list = ui(editor).lookupList(member);
        QPushButton* add = ui(editor).button(lookup.addButton);
        QPushButton* remove = ui(editor).button(lookup.deleteButton);
        QCOMPARE(add->text(), QStringLiteral("+"));
        QCOMPARE(remove->text(), QStringLiteral("-"));

        // Cancelled and empty answers write nothing and keep the selection.
        list->setCurrentIndex(1);
        m_prompts.type(std::nullopt);
        m_prompts.type(QString());
        add->click();
        add->click();
        QCOMPARE(m_prompts.inputPrompts(), (QStringList{prompt, prompt}));
        QCOMPARE(m_prompts.inputTitles(), (QStringList{title, title}));
        QVERIFY(writes().isEmpty());
        QCOMPARE(list->currentIndex(), 1);

        // An apostrophe is doubled in the statement, listed as typed, sorted, not selected.
        m_prompts.type(QStringLiteral("Won't fix"));
        add->click();
        QCOMPARE(writes(), QStringList{"insert into [" + table + "] values ('Won''t fix')"});
        QVERIFY(listEntries(list).contains(QStringLiteral("Won't fix")));
        QCOMPARE(list->currentIndex(), -1);

        // Delete with nothing selected: no question, no statement.
        remove->click();
        QCOMPARE(m_prompts.boxes().size(), size_t{0});

        // Delete answered No: nothing written, the selection stays.
        pick(list, QStringLiteral("Won't fix"));
        m_prompts.answer(Prompts::Answer::No);
        remove->click();
        QCOMPARE(m_prompts.texts().last(),
                 "Warning: Deleting " + noun +
                     " will also delete issue data that is linked to this " + noun +
                     ".\r\nDo you wish to continue?");
        QCOMPARE(m_prompts.boxes().back().buttons, Prompts::Buttons::YesNoDefaultNo);
        QCOMPARE(writes().size(), 1);
        QCOMPARE(list->currentText(), QStringLiteral("Won't fix"));

        // Deleting the value of case 1 deletes the case too, in one transaction.
        const QString caseValue = scalar("select " + column + " from Cases where ID=1");
        pick(list, caseValue);
        m_prompts.answer(Prompts::Answer::Yes);
        m_statements.clear();
        remove->click();
        QCOMPARE(
            writes(),
            (QStringList{"BEGIN IMMEDIATE",
                         "delete from [" + table + "] where " + column + "='" + caseValue + "'",
                         "delete from Cases where " + column + "='" + caseValue + "'", "COMMIT"}));
        QCOMPARE(count(QStringLiteral("Cases")), 0);
        QVERIFY(!listEntries(list).contains(caseValue));
        QCOMPARE(list->currentIndex(), -1);
    }

    // The views order texts without regard to letter case, yet equality stays exact: deleting
    // the status "open" takes its own case and leaves the cases of "Open".
    void deletingALookupValueTakesOnlyItsExactCases() {
        execute(QStringLiteral("insert into [Status] values ('open')"));
        for (const char* status : {"open", "Open"}) {
            execute(kInsertStart +
                    QStringLiteral("'%1',1,1,'12/1/2026','%1','General','High','','12/24/2026',"
                                   "'KB1',NULL,1,'12/1/2026')")
                        .arg(QLatin1String(status)));
        }
        CaseEditor& editor = openEditor();
        pick(ui(editor).statusList, QStringLiteral("open"));
        m_prompts.answer(Prompts::Answer::Yes);
        ui(editor).button(8)->click();
        QCOMPARE(listEntries(ui(editor).statusList), (QStringList{"Open", "Waiting"}));
        QCOMPARE(joined(QStringLiteral("Title"), QStringLiteral("[Open Cases]")),
                 QStringLiteral("Printer jams,Open"));
    }

    void refusedLookupInsertIsReportedAndTheListReloaded() {
        refuseWrites(QStringLiteral("Status"), QStringLiteral("insert"),
                     QStringLiteral("value too long"));
        CaseEditor& editor = openEditor();
        m_prompts.type(QStringLiteral("Escalated"));
        expectOk();
        ui(editor).button(7)->click();
        QCOMPARE(errorLines(m_prompts), QList<int>{104});
        QVERIFY(m_prompts.texts()[0].contains(QStringLiteral("Form2.PushButton7_Click ")));
        QCOMPARE(listEntries(ui(editor).statusList), (QStringList{"Open", "Waiting"}));
    }

    void failedCascadeChangesNothing() {
        refuseWrites(QStringLiteral("Cases"), QStringLiteral("delete"),
                     QStringLiteral("disk I/O error"));
        CaseEditor& editor = openEditor();
        pick(ui(editor).categoryList, QStringLiteral("Billing"));
        m_prompts.answer(Prompts::Answer::Yes);
        expectOk();
        ui(editor).button(12)->click();
        QCOMPARE(errorLines(m_prompts), QList<int>{106});
        QVERIFY(m_prompts.texts()[1].startsWith(QStringLiteral("disk I/O error\r\n")));
        QCOMPARE(count(QStringLiteral("Categories where Category='Billing'")), 1);
        QCOMPARE(count(QStringLiteral("Cases")), 1);
        QCOMPARE(listEntries(ui(editor).categoryList),
                 (QStringList{"Billing", "General"}));  // reloaded
        QCOMPARE(ui(editor).categoryList->currentIndex(), -1);
    }

    void deletingTheOpenCasesValueMakesItsSaveSaySo() {
        CaseEditor& editor = openEditor(QStringLiteral("1"));
        m_prompts.answer(Prompts::Answer::Yes);
        ui(editor).button(8)->click();  // delete status "Waiting", which case 1 carries
        pick(ui(editor).statusList, QStringLiteral("Open"));
        expectOk();
        ui(editor).saveButton->click();
        QCOMPARE(m_prompts.texts().last(),
                 QStringLiteral("This case no longer exists; it may have been deleted."));
    }
};

// The main window's commands around the editor.
class TestCaseCommands : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    ScriptedPrompts m_prompts;
    std::unique_ptr<MainWindow> m_form;

    MainWindow& startedForm() {
        m_form = std::make_unique<MainWindow>(m_prompts, m_env->settings(),
                                              TestEnvironment::programFolder());
        m_form->setProgramEnd([] {});
        m_form->load();
        return *m_form;
    }

    QStringList titles() const {
        QStringList result;
        for (int row = 0; row < ui(*m_form).caseList->rows().count(); ++row) {
            result.append(ui(*m_form).caseList->rows().text(row, 1));
        }
        return result;
    }

private Q_SLOTS:
    void init() {
        m_env = std::make_unique<TestEnvironment>();
        m_env->openDatabase();
        seedCaseDatabase();
        for (const char* title : {"Second", "Third ]?", ""}) {
            execute(kInsertStart + "'" + QLatin1String(title) +
                    "',1,1,'12/1/2026','Open','General','High','','12/2/2026','KB1',NULL,1,"
                    "'12/1/2026')");
        }
        m_env->closeDatabase();
        m_prompts.clear();
    }

    void cleanup() {
        m_form.reset();
        m_env.reset();
        expectNothingUnexpected(m_prompts);
    }

    void addOpensANewCaseAndReloadsEvenAfterCancel() {
        MainWindow& form = startedForm();
        QString caption;
        QString id = QStringLiteral("unset");
        m_prompts.onModal([&](QDialog& window) {
            auto& editor = static_cast<CaseEditor&>(window);
            caption = editor.windowTitle();
            id = editor.m_ID;
            execute(kInsertStart +
                    "'Made meanwhile',1,1,'12/1/2026','Open','General','High','',"
                    "'12/2/2026','KB1',NULL,1,'12/1/2026')");
            ui(editor).cancelButton->click();  // Cancel
        });
        ui(form).addButton->click();
        QCOMPARE(caption, QStringLiteral("Add New Case"));
        QCOMPARE(id, QString());
        QCOMPARE(m_prompts.modalWindows(), QStringList{QStringLiteral("Form2")});
        QCOMPARE(titles().last(), QStringLiteral("Made meanwhile"));  // reloaded
    }

    void addSavesThroughTheEditor() {
        MainWindow& form = startedForm();
        m_prompts.onModal([&](QDialog& window) {
            auto& editor = static_cast<CaseEditor&>(window);
            fillNewCase(editor);
            m_prompts.answer(Prompts::Answer::Ok);
            ui(editor).saveButton->click();
        });
        ui(form).addButton->click();
        QCOMPARE(m_prompts.texts(), QStringList{QStringLiteral("Record Successfully Saved")});
        QCOMPARE(titles().last(), QStringLiteral("O'Brien's printer"));
    }

    void editOpensTheSelectedCaseAndSelectsItAgain() {
        MainWindow& form = startedForm();
        form.sortByColumn(2);  // sorted by title: "", "Printer jams", "Second", "Third ]?"
        ui(form).caseList->selectPosition(3);  // the last row: case 3, "Third ]?"
        QString id;
        m_prompts.onModal([&](QDialog& window) {
            auto& editor = static_cast<CaseEditor&>(window);
            id = editor.m_ID;
            QCOMPARE(editor.windowTitle(), QStringLiteral("Edit Data"));
            ui(editor).titleField->setText(QStringLiteral("A renamed case"));  // moves to the top
            m_prompts.answer(Prompts::Answer::Ok);
            ui(editor).saveButton->click();
        });
        ui(form).editButton->click();
        QCOMPARE(id, QStringLiteral("3"));
        QCOMPARE(titles().mid(0, 2), (QStringList{"", "A renamed case"}));
        const int selected = ui(form).caseList->selectedPosition();
        QCOMPARE(ui(form).caseList->rows().text(selected, 0), QStringLiteral("3"));
    }

    void editAndDeleteWithoutSelectionDoNothing() {
        MainWindow& form = startedForm();
        ui(form).caseList->clearSelection();
        ui(form).editButton->click();
        ui(form).deleteButton->click();
        QVERIFY(m_prompts.boxes().empty());
        QVERIFY(m_prompts.modalWindows().isEmpty());
    }

    void editAndDeleteOnAnEmptyListDoNothing() {
        m_env->openDatabase();
        execute(QStringLiteral("delete from Cases"));
        MainWindow& form = startedForm();
        ui(form).editButton->click();
        ui(form).deleteButton->click();
        QVERIFY(m_prompts.boxes().empty());
    }

    void deleteAsksWithTheTitleAndNoLeavesEverything() {
        MainWindow& form = startedForm();
        ui(form).caseList->selectPosition(2);  // "Third ]?"
        CaseStore::shared().setStatementObserver([](const QString& statement) {
            QVERIFY2(false, qPrintable("no statement expected: " + statement));
        });
        m_prompts.answer(Prompts::Answer::No);
        ui(form).deleteButton->click();
        CaseStore::shared().setStatementObserver({});
        QCOMPARE(m_prompts.texts(),
                 QStringList{QStringLiteral("Are you sure you want to delete [Third ]?]?")});
        QCOMPARE(m_prompts.boxes().front().buttons, Prompts::Buttons::YesNoDefaultNo);
        QCOMPARE(m_prompts.boxes().front().icon, Prompts::Icon::None);
        QCOMPARE(ui(form).caseList->rows().count(), 4);
        QCOMPARE(ui(form).caseList->selectedPosition(), 2);  // not even reloaded
    }

    void deleteYesDeletesOnlyTheCase() {
        MainWindow& form = startedForm();
        ui(form).caseList->selectPosition(3);  // the case with an empty title
        m_prompts.answer(Prompts::Answer::Yes);
        QStringList statements;
        CaseStore::shared().setStatementObserver([&](const QString& s) { statements.append(s); });
        ui(form).deleteButton->click();
        QCOMPARE(m_prompts.texts(),
                 QStringList{QStringLiteral("Are you sure you want to delete []?")});
        QCOMPARE(statements.front(), QStringLiteral("delete from Cases where ID=4"));
        QCOMPARE(titles(), (QStringList{"Printer jams", "Second", "Third ]?"}));
        QCOMPARE(count(QStringLiteral("Employees")), 2);
        QCOMPARE(count(QStringLiteral("Status")), 2);
    }

    void refusedDeleteIsReportedAndTheListStillShowsTheCase() {
        MainWindow& form = startedForm();
        refuseWrites(QStringLiteral("Cases"), QStringLiteral("delete"),
                     QStringLiteral("database is locked"));
        ui(form).caseList->selectPosition(0);
        m_prompts.answer(Prompts::Answer::Yes);
        m_prompts.answer(Prompts::Answer::Ok);
        ui(form).deleteButton->click();
        QCOMPARE(errorLines(m_prompts), QList<int>{104});
        QCOMPARE(ui(form).caseList->rows().count(), 4);
    }

    void helpNamesOurContactPage() {
        MainWindow& form = startedForm();
        m_prompts.answer(Prompts::Answer::Ok);
        ui(form).helpButton->click();
        QCOMPARE(m_prompts.texts(),
                 QStringList{QStringLiteral("Questions? Please contact Team Orvanta at "
                                            "https://www.orvanta.example/contact/")});
        QCOMPARE(m_prompts.boxes().front().caption, QStringLiteral("Helvarine"));
    }
};

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    TestCaseEditor editor;
    TestCaseCommands commands;
    int failures = QTest::qExec(&editor, argc, argv);
    failures += QTest::qExec(&commands, argc, argv);
    return failures;
}

#include "test_case_editor.moc"
