// What the change log gives people: a case's history in words, and deletions undone from the
// main window (Ctrl+Z, "Deleted cases…"), whole or not at all.

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <memory>

#include "case_editor.h"
#include "case_fixture.h"
#include "case_store.h"
#include "date_picker.h"
#include "date_text.h"
#include "main_window.h"
#include "record_set.h"
#include "report_list.h"
#include "scripted_prompts.h"
#include "test_environment.h"
#include "window_controls.h"

namespace {

// Every row of a table, every column as the program reads it, one line a row.
QStringList everything(const QString& table) {
    QStringList lines;
    RecordSet rows =
        CaseStore::shared().query(QStringLiteral("select * from [%1] order by ID").arg(table));
    while (!rows.eof()) {
        QStringList cells;
        for (int column = 0; column < rows.columnCount(); ++column) {
            cells.append(rows.text(column));
        }
        lines.append(cells.join(QLatin1Char('|')));
        rows.moveNext();
    }
    return lines;
}

QStringList column(const QTreeWidget& list, int index) {
    QStringList texts;
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        texts.append(list.topLevelItem(row)->text(index));
    }
    return texts;
}

}  // namespace

class TestHistory : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    ScriptedPrompts m_prompts;
    std::unique_ptr<MainWindow> m_form;

    // The seeded cases: 1 "Printer jams" for Daniel Carter (2), and two more, "Paper tray" (2)
    // for Daniel and "Mouse" (3) for John Wilson (1).
    MainWindow& startedForm() {
        m_env->openDatabase();
        seedCaseDatabase();
        execute(kInsertStart +
                "'Paper tray',2,1,'11/3/2026','Open','General','High','tray 2',"
                "'1/9/2027','KB1',NULL,2,NULL)");
        execute(kInsertStart +
                "'Mouse',1,1,'11/4/2026','Open','General','High',NULL,"
                "NULL,'KB1',NULL,2,NULL)");
        m_form = std::make_unique<MainWindow>(m_prompts, m_env->settings(),
                                              TestEnvironment::programFolder());
        m_form->setProgramEnd([] {});
        m_form->load();
        showActive(*m_form);
        ui(*m_form).refreshTimer->stop();
        ui(*m_form).caseList->setFocus();
        return *m_form;
    }

    void press(QKeyCombination key) {
        QTest::keyClick(ui(*m_form).caseList, key.key(), key.keyboardModifiers());
    }

private Q_SLOTS:
    void init() {
        m_env = std::make_unique<TestEnvironment>();
        m_prompts.clear();
    }

    void cleanup() {
        expectNothingUnexpected(m_prompts);
        if (m_form) {
            m_form->shutDown();
            m_form.reset();
        }
        m_env.reset();
    }

    // A save in the editor reads in the history as what changed, from what to what, with people
    // by name and dates as the list shows them; the window is named for a screen reader and
    // closes with Escape.
    void historyTellsAnEditInWords() {
        MainWindow& form = startedForm();
        m_prompts.onModal([](QDialog& window) {
            auto& editor = dynamic_cast<CaseEditor&>(window);
            ui(editor).titleField->setText(QStringLiteral("Paper jams"));
            pick(ui(editor).statusList, QStringLiteral("Open"));
            pick(ui(editor).assignedToList, QStringLiteral("John Wilson"));
            ui(editor).dueDatePicker->setDate(QDate(2027, 3, 15));
            ui(editor).saveButton->click();
        });
        ui(form).caseList->selectPosition(ui(form).caseList->positionOfText(QStringLiteral("1")));
        m_prompts.answer(Prompts::Answer::Ok);  // "Record Successfully Updated"
        press(Qt::Key_Return);

        QStringList what;
        QStringList who;
        QString title;
        m_prompts.onModal([&](QDialog& window) {
            title = window.windowTitle();
            const auto* list = window.findChild<QTreeWidget*>(QStringLiteral("HistoryList"));
            what = column(*list, 2);
            who = column(*list, 1);
            QCOMPARE(unnamedAccessibleParts(window), QStringList());
            QTest::keyClick(&window, Qt::Key_Escape);
            QCOMPARE(window.result(), int(QDialog::Rejected));
        });
        press(Qt::CTRL | Qt::Key_H);
        QCOMPARE(title, QStringLiteral("History of case 1"));
        const QString due = DateText::toText(QDate(2026, 12, 24)) + QStringLiteral(" \u2192 ") +
                            DateText::toText(QDate(2027, 3, 15));
        QCOMPARE(what, (QStringList{
                           "Title: Printer jams \u2192 Paper jams", "Status: Waiting \u2192 Open",
                           "Assigned To: Daniel Carter \u2192 John Wilson", "Due Date: " + due,
                           "Call Time: 1/1/2020 \u2192 " + DateText::toText(QDate::currentDate()),
                           "Added"}));
        QCOMPARE(who.first(), programAuthor());
        QCOMPARE(m_prompts.modalWindows(), (QStringList{"Form2", "HistoryWindow"}));
    }

    // Ctrl+Z after a person's deletion in the editor: refused while an ID is taken, with
    // nothing written; then the person and both cases back with their IDs and values, recorded
    // as restored, in the history too.
    void undoBringsBackAPersonWithItsCases() {
        MainWindow& form = startedForm();
        const QStringList cases = everything(QStringLiteral("Cases"));
        const QStringList employees = everything(QStringLiteral("Employees"));
        m_prompts.onModal([this](QDialog& window) {
            auto& editor = dynamic_cast<CaseEditor&>(window);
            editor.show();
            QApplication::setActiveWindow(&editor);
            m_prompts.answer(Prompts::Answer::Ok);
            QTest::keyClick(ui(editor).titleField, Qt::Key_H, Qt::ControlModifier);
            pick(ui(editor).assignedToList, QStringLiteral("Daniel Carter"));
            m_prompts.answer(Prompts::Answer::Yes);
            ui(editor).button(6)->click();
            ui(editor).cancelButton->click();  // Cancel
        });
        press(Qt::CTRL | Qt::Key_N);
        QCOMPARE(m_prompts.texts().front(),
                 QStringLiteral("This case is not saved yet, so it has no history."));
        QCOMPARE(ui(form).caseList->rows().count(), 1);

        QCOMPARE(executeAsAnotherUser(*m_env, QStringLiteral("insert into Cases (ID, Title) "
                                                             "values (2, 'Taken')")),
                 QString());
        const QString logSize = scalar(QStringLiteral("select count(*) from Changes"));
        m_prompts.answer(Prompts::Answer::Ok);
        press(Qt::CTRL | Qt::Key_Z);
        QCOMPARE(m_prompts.texts().last(),
                 QStringLiteral("The case Paper tray cannot come back: its ID 2 now belongs to "
                                "the case [Taken].\n\nNothing was restored."));
        QCOMPARE(m_prompts.boxes().back().icon, Prompts::Icon::Warning);
        QCOMPARE(scalar(QStringLiteral("select count(*) from Changes")), logSize);
        QCOMPARE(count(QStringLiteral("Employees")), 1);

        QCOMPARE(executeAsAnotherUser(*m_env, QStringLiteral("delete from Cases where ID=2")),
                 QString());
        m_prompts.answer(Prompts::Answer::Yes);
        press(Qt::CTRL | Qt::Key_Z);
        QCOMPARE(m_prompts.texts().last(),
                 QStringLiteral("Restore the employee Daniel Carter and 2 cases?"));
        QCOMPARE(everything(QStringLiteral("Cases")), cases);
        QCOMPARE(everything(QStringLiteral("Employees")), employees);
        QCOMPARE(ui(form).caseList->rows().count(), 3);
        QCOMPARE(joined(QStringLiteral("[Changed By]"),
                        QStringLiteral("Changes where Action = 'restore'")),
                 QStringList(3, programAuthor()).join(QLatin1Char(',')));

        m_prompts.onModal([](QDialog& window) {
            const auto* list = window.findChild<QTreeWidget*>(QStringLiteral("HistoryList"));
            QCOMPARE(column(*list, 2).mid(0, 3),
                     (QStringList{"Restored", "Deleted with the employee Daniel Carter", "Added"}));
            window.reject();
        });
        ui(form).caseList->selectPosition(ui(form).caseList->positionOfText(QStringLiteral("1")));
        press(Qt::CTRL | Qt::Key_H);

        m_prompts.answer(Prompts::Answer::Ok);
        press(Qt::CTRL | Qt::Key_Z);
        QVERIFY(m_prompts.texts().last().startsWith(QLatin1String("There is nothing to undo")));
    }

    // A status deleted with its case and added again meanwhile is not added twice: the case comes
    // back onto it, as the question says. Once back, the deletion cannot be restored again.
    void aLookupValueAddedAgainTakesItsCaseBack() {
        startedForm();
        m_prompts.onModal([this](QDialog& window) {
            auto& editor = dynamic_cast<CaseEditor&>(window);
            pick(ui(editor).statusList, QStringLiteral("Waiting"));
            m_prompts.answer(Prompts::Answer::Yes);
            ui(editor).button(8)->click();
            ui(editor).cancelButton->click();  // Cancel
        });
        press(Qt::CTRL | Qt::Key_N);
        QCOMPARE(count(QStringLiteral("Cases")), 2);
        QCOMPARE(executeAsAnotherUser(*m_env, QStringLiteral("insert into Status values "
                                                             "('Waiting')")),
                 QString());
        m_prompts.clear();
        m_prompts.answer(Prompts::Answer::Yes);
        press(Qt::CTRL | Qt::Key_Z);
        QCOMPARE(m_prompts.texts(),
                 QStringList{"The status Waiting was added again since it was deleted. Restore "
                             "its case onto it?"});
        QCOMPARE(joined(QStringLiteral("Status"), QStringLiteral("Status")),
                 QStringLiteral("Open,Waiting"));
        QCOMPARE(joined(QStringLiteral("Status"), QStringLiteral("Cases where ID = 1")),
                 QStringLiteral("Waiting"));

        m_prompts.onModal([](QDialog& window) {
            window.findChild<QPushButton*>(QStringLiteral("RestoreButton"))->click();
        });
        m_prompts.answer(Prompts::Answer::Ok);
        press(Qt::CTRL | Qt::SHIFT | Qt::Key_H);
        QCOMPARE(m_prompts.texts().last(),
                 QStringLiteral("The case Printer jams was restored already.\n\nNothing was "
                                "restored."));
    }

    // "Deleted cases…" lists everyone's deletions, newest first, and restores the one chosen.
    void deletedCasesListsAndRestores() {
        MainWindow& form = startedForm();
        ui(form).caseList->selectPosition(ui(form).caseList->positionOfText(QStringLiteral("3")));
        m_prompts.answer(Prompts::Answer::Yes);
        press(Qt::Key_Delete);
        QCOMPARE(executeAsAnotherUser(*m_env, QStringLiteral("delete from Status where "
                                                             "Status='Waiting'")),
                 QString());
        m_prompts.onModal([](QDialog& window) {
            auto* list = window.findChild<QTreeWidget*>(QStringLiteral("DeletionList"));
            QCOMPARE(column(*list, 2), (QStringList{"The status Waiting", "The case [Mouse]"}));
            QCOMPARE(column(*list, 3), (QStringList{"0", "1"}));
            QCOMPARE(unnamedAccessibleParts(window), QStringList());
            list->setCurrentItem(list->topLevelItem(1));
            window.findChild<QPushButton*>(QStringLiteral("RestoreButton"))->click();
        });
        m_prompts.answer(Prompts::Answer::Yes);
        press(Qt::CTRL | Qt::SHIFT | Qt::Key_H);
        QCOMPARE(m_prompts.texts().value(1), QStringLiteral("Restore the case [Mouse]?"));
        QCOMPARE(ui(form).caseList->rows().count(), 3);
        QCOMPARE(ui(form).caseList->rows().text(ui(form).caseList->selectedPosition(), 1),
                 QStringLiteral("Mouse"));
    }
};

QTEST_MAIN(TestHistory)
#include "test_history.moc"
