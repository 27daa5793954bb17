// Faults from outside the program: texts that cannot be stored, a database that refuses writes,
// a file locked by another program, a template that lacks tables or views, and a settings file
// full of garbage. In each the program reports through its error box, writes nothing that was
// not confirmed, keeps what the user typed, and goes on.

#include <sqlite3.h>

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QHeaderView>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>
#include <array>
#include <functional>
#include <memory>

#include "case_editor.h"
#include "case_fixture.h"
#include "case_store.h"
#include "contact_editor.h"
#include "date_picker.h"
#include "failure.h"
#include "lookup_members.h"
#include "main_window.h"
#include "multi_line_field.h"
#include "people_members.h"
#include "report_chooser.h"
#include "report_list.h"
#include "report_preview.h"
#include "scripted_prompts.h"
#include "test_environment.h"
#include "window_controls.h"

namespace {

const QString kReadOnly = QStringLiteral("attempt to write a readonly database\r\n");
const QString kLocation = QStringLiteral("in Casewright2021/08/31.");

const QStringList kTables{"Cases",      "Employees",  "Customers",    "Status",
                          "Categories", "Priorities", "KnowledgeBase"};

// Every row of every table, as text: what "nothing was written" is compared with.
QStringList databaseDump() {
    QStringList dump;
    for (const QString& table : kTables) {
        RecordSet rows = CaseStore::shared().query("select * from [" + table + "]");
        while (!rows.eof()) {
            QStringList fields;
            for (int column = 0; column < rows.columnCount(); ++column) {
                fields.append(rows.text(column));
            }
            dump.append(table + ": " + fields.join(QLatin1Char('|')));
            rows.moveNext();
        }
    }
    return dump;
}

// A text that cannot be stored: a NUL character in the middle of what the user typed.
QString unstorable() {
    return QStringLiteral("Before") + QChar(0) + QStringLiteral("After");
}

std::array<QComboBox*, 7> lists(const CaseEditor& editor) {
    return {ui(editor).assignedToList,   ui(editor).openedByList, ui(editor).statusList,
            ui(editor).categoryList,     ui(editor).priorityList, ui(editor).customerList,
            ui(editor).knowledgeBaseList};
}

// Everything the user can type or pick in the case editor.
QStringList editorInput(const CaseEditor& editor) {
    QStringList input{ui(editor).titleField->text(), ui(editor).commentsField->storedText(),
                      ui(editor).resolvedDateField->text(),
                      ui(editor).openedDatePicker->date().toString(Qt::ISODate),
                      ui(editor).dueDatePicker->date().toString(Qt::ISODate)};
    for (const QComboBox* list : lists(editor)) {
        input.append(list->currentText());
    }
    return input;
}

// The error box of a refused statement: its description, then where it failed.
void verifyErrorBox(const ScriptedPrompts::Box& box, const QString& description,
                    const QString& procedure, int line) {
    QCOMPARE(box.caption, QStringLiteral("Application Error"));
    QCOMPARE(box.icon, Prompts::Icon::Warning);
    QCOMPARE(box.buttons, Prompts::Buttons::Ok);
    QVERIFY2(box.text.startsWith(description), qPrintable(box.text));
    const QString where =
        QStringLiteral("\r\n%1%2 at line %3\r\r").arg(kLocation, procedure).arg(line);
    QVERIFY2(box.text.contains(where), qPrintable(box.text));
}

const QString kNulDescription = QStringLiteral("The statement contains a NUL character");

// Starts the other program that holds the database locked, and waits until it holds the lock.
void startLocker(QProcess& locker, const QStringList& arguments) {
    locker.start(QStringLiteral(DATABASE_LOCKER_PATH), arguments);
    QVERIFY2(locker.waitForStarted(10000), qPrintable(locker.errorString()));
    QByteArray said;
    QElapsedTimer wait;
    wait.start();
    while (!said.contains("locked\n") && locker.state() == QProcess::Running &&
           wait.elapsed() < 20000) {
        locker.waitForReadyRead(100);
        said += locker.readAllStandardOutput();
    }
    QVERIFY2(said.contains("locked\n"), locker.readAllStandardError().constData());
}

}  // namespace

// A NUL character cannot be stored: the statement that carries one is refused whole, and the
// window keeps the input so that the user can correct it.
class TestUnstorableText : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    ScriptedPrompts m_prompts;
    QStringList m_statements;

    QStringList writes() const { return writesAmong(m_statements); }

private Q_SLOTS:
    void init() {
        m_env = std::make_unique<TestEnvironment>();
        m_env->openDatabase();
        seedCaseDatabase();
        CaseStore::shared().setStatementObserver(
            [this](const QString& statement) { m_statements.append(statement); });
        m_statements.clear();
        m_prompts.clear();
    }

    void cleanup() {
        m_env.reset();
        expectNothingUnexpected(m_prompts);
    }

    void caseEditorRefusesANulAndKeepsTheInput_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("inTitle");  // else in the comments
        QTest::addColumn<int>("line");
        QTest::newRow("new case, title") << QString() << true << 170;
        QTest::newRow("new case, comments") << QString() << false << 170;
        QTest::newRow("stored case, title") << QStringLiteral("1") << true << 164;
        QTest::newRow("stored case, comments") << QStringLiteral("1") << false << 164;
    }

    void caseEditorRefusesANulAndKeepsTheInput() {
        QFETCH(QString, id);
        QFETCH(bool, inTitle);
        QFETCH(int, line);
        const QStringList before = databaseDump();
        CaseEditor editor(m_prompts, TestEnvironment::programFolder());
        editor.m_ID = id;
        editor.setCaption(QStringLiteral("Case"));
        if (id.isEmpty()) {
            fillNewCase(editor, QStringLiteral("Scanner offline"),
                        QStringLiteral("Since Monday\nafter the update"));
        }
        const auto type = [&](const QString& text) {
            if (inTitle) {
                ui(editor).titleField->setText(text);
            } else {
                ui(editor).commentsField->setPlainText(text);
            }
        };
        type(unstorable());
        const QStringList typed = editorInput(editor);
        m_statements.clear();
        m_prompts.answer(Prompts::Answer::Ok);
        ui(editor).saveButton->click();

        QCOMPARE(m_prompts.boxes().size(), size_t{1});  // the error box, no success message
        verifyErrorBox(m_prompts.boxes().front(), kNulDescription, "Form2.PushButton2_Click", line);
        QVERIFY(!editor.closed());
        QCOMPARE(editorInput(editor), typed);
        QCOMPARE((inTitle ? ui(editor).titleField->text() : ui(editor).commentsField->storedText()),
                 unstorable());
        // The whole text reached the database, and was refused there: nothing cut at the NUL.
        QStringList written = writes();
        written.removeAll(QStringLiteral("BEGIN IMMEDIATE"));  // an update's check comes first
        QCOMPARE(written.size(), 1);
        QVERIFY(written.front().contains(unstorable()));
        QCOMPARE(databaseDump(), before);

        // Once the NUL is taken out, the same window saves.
        type(QStringLiteral("BeforeAfter"));
        m_prompts.answer(Prompts::Answer::Ok);
        ui(editor).saveButton->click();
        QCOMPARE(m_prompts.texts().last(), id.isEmpty()
                                               ? QStringLiteral("Record Successfully Saved")
                                               : QStringLiteral("Record Successfully Updated"));
        QVERIFY(editor.closed());
        QCOMPARE(count(inTitle ? "Cases where Title='BeforeAfter'"
                               : "Cases where Comments='BeforeAfter'"),
                 1);
    }

    void contactEditorRefusesANulAndKeepsTheInput_data() {
        QTest::addColumn<bool>("employees");
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("line");
        QTest::newRow("new employee, first name") << true << QString() << 1 << "Form3" << 118;
        QTest::newRow("new employee, notes") << true << QString() << 16 << "Form3" << 118;
        QTest::newRow("stored employee, e-mail")
            << true << QStringLiteral("1") << 14 << "Form3" << 114;
        QTest::newRow("new customer, last name") << false << QString() << 2 << "Form5" << 118;
        QTest::newRow("stored customer, notes")
            << false << QStringLiteral("1") << 16 << "Form5" << 114;
    }

    void contactEditorRefusesANulAndKeepsTheInput() {
        QFETCH(bool, employees);
        QFETCH(QString, id);
        QFETCH(int, field);
        QFETCH(QString, window);
        QFETCH(int, line);
        const QStringList before = databaseDump();
        ContactEditor editor(employees ? ContactKind::employees() : ContactKind::customers(),
                             m_prompts, TestEnvironment::programFolder());
        editor.m_ID = id;
        editor.load();
        if (id.isEmpty()) {
            control<QLineEdit>(editor, QStringLiteral("Text1"))->setText(QStringLiteral("Ada"));
            control<QLineEdit>(editor, QStringLiteral("Text2"))
                ->setText(QStringLiteral("Lovelace"));
        }
        const auto type = [&](const QString& text) {
            if (field == 16) {
                control<MultiLineField>(editor, QStringLiteral("Text16"))->setPlainText(text);
            } else {
                qobject_cast<QLineEdit*>(editor.field(field))->setText(text);
            }
        };
        type(unstorable());
        m_statements.clear();
        m_prompts.answer(Prompts::Answer::Ok);
        control<QPushButton>(editor, QStringLiteral("PushButton2"))->click();

        QCOMPARE(m_prompts.boxes().size(), size_t{1});
        verifyErrorBox(m_prompts.boxes().front(), kNulDescription, window + ".PushButton2_Click",
                       line);
        QVERIFY(!editor.hasClosed());
        QCOMPARE(editor.fieldText(field), unstorable());
        QStringList written = writes();
        written.removeAll(QStringLiteral("BEGIN IMMEDIATE"));  // an update's check comes first
        QCOMPARE(written.size(), 1);
        QVERIFY(written.front().contains(unstorable()));
        QCOMPARE(databaseDump(), before);

        type(QStringLiteral("BeforeAfter"));
        m_prompts.answer(Prompts::Answer::Ok);
        control<QPushButton>(editor, QStringLiteral("PushButton2"))->click();
        QVERIFY(editor.hasClosed());
        QVERIFY(databaseDump().join(QLatin1Char('\n')).contains(QStringLiteral("BeforeAfter")));
    }

    void lookupValueWithANulIsRefused_data() {
        QTest::addColumn<int>("member");
        QTest::newRow("status") << 0;
        QTest::newRow("category") << 1;
        QTest::newRow("priority") << 2;
        QTest::newRow("knowledge base") << 3;
    }

    void lookupValueWithANulIsRefused() {
        QFETCH(int, member);
        const LookupMember& lookup = lookupMembers()[static_cast<size_t>(member)];
        const QStringList before = databaseDump();
        CaseEditor editor(m_prompts, TestEnvironment::programFolder());
        editor.setCaption(QStringLiteral("Add New Case"));
        QComboBox* list = ui(editor).lookupList(member);
        const QStringList entries = listEntries(list);
        m_statements.clear();
        m_prompts.type(unstorable());
        m_prompts.answer(Prompts::Answer::Ok);
        ui(editor).button(lookup.addButton)->click();

        QCOMPARE(m_prompts.inputPrompts().size(), 1);
        QCOMPARE(m_prompts.boxes().size(), size_t{1});
        verifyErrorBox(m_prompts.boxes().front(), kNulDescription,
                       QStringLiteral("Form2.PushButton%1_Click").arg(lookup.addButton), 104);
        QCOMPARE(writes().size(), 1);
        QVERIFY(writes().front().contains(unstorable()));
        QCOMPARE(databaseDump(), before);
        QCOMPARE(listEntries(list), entries);  // reloaded, as it was
        QVERIFY(!editor.closed());
    }
};

// The program on a database whose connection refuses every write, and on a file that another
// program holds locked.
class TestRefusedWrites : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    ScriptedPrompts m_prompts;
    std::unique_ptr<MainWindow> m_form;

    // The tests run as root, for whom file permissions stop no write: the program's own
    // connection is told to refuse every change instead.
    static void refuseWrites() { execute(QStringLiteral("PRAGMA query_only = ON")); }

    static bool insideTransaction() {
        return sqlite3_get_autocommit(CaseStore::shared().handle()) == 0;
    }

private Q_SLOTS:
    void init() {
        m_env = std::make_unique<TestEnvironment>();
        m_env->openDatabase();
        seedCaseDatabase();
        m_env->closeDatabase();
        m_prompts.clear();
        m_form = std::make_unique<MainWindow>(m_prompts, m_env->settings(),
                                              TestEnvironment::programFolder());
        m_form->setProgramEnd([] {});
        m_form->load();
        QVERIFY(m_prompts.boxes().empty());
        QCOMPARE(ui(*m_form).caseList->rows().count(), 1);
    }

    void cleanup() {
        m_form.reset();
        m_env.reset();
        expectNothingUnexpected(m_prompts);
    }

    void refusedSaveKeepsTheEditorOpenWithTheInput_data() {
        QTest::addColumn<bool>("stored");
        QTest::addColumn<int>("line");
        QTest::newRow("new case") << false << 170;
        QTest::newRow("stored case") << true << 164;
    }

    void refusedSaveKeepsTheEditorOpenWithTheInput() {
        QFETCH(bool, stored);
        QFETCH(int, line);
        refuseWrites();
        const QStringList before = databaseDump();
        QStringList typed;
        QStringList kept;
        bool stayedOpen = false;
        m_prompts.onModal([&](QDialog& window) {
            auto& editor = static_cast<CaseEditor&>(window);
            if (stored) {
                ui(editor).titleField->setText(QStringLiteral("Printer jams again"));
                pick(ui(editor).statusList, QStringLiteral("Open"));
                ui(editor).commentsField->setPlainText(QStringLiteral("called twice"));
            } else {
                fillNewCase(editor, QStringLiteral("Scanner offline"),
                            QStringLiteral("Since Monday\nafter the update"));
            }
            typed = editorInput(editor);
            m_prompts.answer(Prompts::Answer::Ok);
            ui(editor).saveButton->click();
            stayedOpen = !editor.closed();
            kept = editorInput(editor);
            ui(editor).cancelButton->click();
        });
        if (stored) {
            ui(*m_form).caseList->selectPosition(0);
            ui(*m_form).editButton->click();
        } else {
            ui(*m_form).addButton->click();
        }
        QCOMPARE(m_prompts.boxes().size(), size_t{1});
        verifyErrorBox(m_prompts.boxes().front(), kReadOnly, "Form2.PushButton2_Click", line);
        QVERIFY(stayedOpen);
        QCOMPARE(kept, typed);
        QCOMPARE(databaseDump(), before);
        QCOMPARE(ui(*m_form).caseList->rows().count(), 1);  // reloaded after the editor closed
    }

    void refusedCaseDeleteLeavesTheCaseListed() {
        refuseWrites();
        const QStringList before = databaseDump();
        ui(*m_form).caseList->selectPosition(0);
        m_prompts.answer(Prompts::Answer::Yes);
        m_prompts.answer(Prompts::Answer::Ok);
        ui(*m_form).deleteButton->click();
        QCOMPARE(m_prompts.boxes().size(), size_t{2});
        verifyErrorBox(m_prompts.boxes().back(), kReadOnly, "Form1.PushButton3_Click", 104);
        QCOMPARE(databaseDump(), before);
        QCOMPARE(ui(*m_form).caseList->rows().count(), 1);
        QCOMPARE(ui(*m_form).caseList->rows().text(0, 1), QStringLiteral("Printer jams"));
    }

    // The lookup lists' "+" and "-" and the people lists' "-" of the case editor.
    void refusedWriteInTheCaseEditorChangesNothing_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("typed");  // the input box's answer; empty: a deletion
        QTest::newRow("add status") << 7 << "Combo3"
                                    << "Escalated";
        QTest::newRow("add category") << 11 << "Combo4"
                                      << "Hardware";
        QTest::newRow("add priority") << 13 << "Combo5"
                                      << "Urgent";
        QTest::newRow("add knowledge base") << 18 << "Combo7"
                                            << "KB3";
        QTest::newRow("delete status") << 8 << "Combo3" << QString();
        QTest::newRow("delete knowledge base") << 19 << "Combo7" << QString();
        QTest::newRow("delete assigned to") << 6 << "Combo1" << QString();
        QTest::newRow("delete opened by") << 4 << "Combo2" << QString();
        QTest::newRow("delete customer") << 16 << "Combo6" << QString();
    }

    void refusedWriteInTheCaseEditorChangesNothing() {
        QFETCH(int, button);
        QFETCH(QString, list);
        QFETCH(QString, typed);
        refuseWrites();
        const QStringList before = databaseDump();
        CaseEditor editor(m_prompts, TestEnvironment::programFolder(), m_form.get());
        editor.setCaption(QStringLiteral("Add New Case"));
        QComboBox* combo = editor.findChild<QComboBox*>(list);
        QVERIFY(combo != nullptr);
        const QStringList entries = listEntries(combo);
        QVERIFY(!entries.isEmpty());
        if (typed.isEmpty()) {
            combo->setCurrentIndex(0);  // the case's own value or person goes with it
            m_prompts.answer(Prompts::Answer::Yes);
        } else {
            m_prompts.type(typed);
        }
        m_prompts.answer(Prompts::Answer::Ok);
        ui(editor).button(button)->click();

        QCOMPARE(errorLines(m_prompts), QList<int>{104});
        verifyErrorBox(m_prompts.boxes().back(), kReadOnly,
                       QStringLiteral("Form2.PushButton%1_Click").arg(button), 104);
        QVERIFY(!insideTransaction());  // nothing is left half done and holding the file
        QCOMPARE(databaseDump(), before);
        QCOMPARE(listEntries(combo), entries);
        QVERIFY(!editor.closed());
    }

    void refusedSampleDataReportsEachLine_data() {
        QTest::addColumn<QString>("prepare");
        QTest::addColumn<QList<int>>("lines");
        QTest::newRow("every table has its two rows")
            << QString() << QList<int>{354, 356, 358};  // only the three cases are inserted
        QTest::newRow("one employee")
            << QStringLiteral("delete from Employees where ID=2") << QList<int>{114, 354, 356, 358};
    }

    void refusedSampleDataReportsEachLine() {
        QFETCH(QString, prepare);
        QFETCH(QList<int>, lines);
        if (!prepare.isEmpty()) {
            execute(prepare);
        }
        refuseWrites();
        const QStringList before = databaseDump();
        for (int i = 0; i < lines.size(); ++i) {
            m_prompts.answer(Prompts::Answer::Ok);
        }
        ui(*m_form).sampleDataButton->click();
        QCOMPARE(errorLines(m_prompts), lines);
        for (size_t i = 0; i < m_prompts.boxes().size(); ++i) {
            verifyErrorBox(m_prompts.boxes()[i], kReadOnly, "Form1.PushButton4_Click",
                           lines[static_cast<qsizetype>(i)]);
        }
        QCOMPARE(databaseDump(), before);
        QCOMPARE(ui(*m_form).caseList->rows().count(), count(QStringLiteral("Cases")));
    }

    void lockedFileMakesTheSaveWaitThenReportAndASecondSaveSucceeds() {
        CaseEditor editor(m_prompts, TestEnvironment::programFolder(), m_form.get());
        editor.setCaption(QStringLiteral("Add New Case"));
        fillNewCase(editor, QStringLiteral("Scanner offline"),
                    QStringLiteral("Since Monday\nafter the update"));
        const QStringList typed = editorInput(editor);

        QProcess locker;
        startLocker(locker, {m_env->databaseFile()});
        QVERIFY(!QTest::currentTestFailed());

        // The save waits for the other program up to the busy timeout, then gives up.
        m_prompts.answer(Prompts::Answer::Ok);
        QElapsedTimer saving;
        saving.start();
        ui(editor).saveButton->click();
        qInfo("the save gave up after %lld ms", static_cast<long long>(saving.elapsed()));
        QCOMPARE(m_prompts.boxes().size(), size_t{1});
        verifyErrorBox(m_prompts.boxes().front(), QStringLiteral("database is locked\r\n"),
                       "Form2.PushButton2_Click", 170);
        QVERIFY(!editor.closed());
        QCOMPARE(editorInput(editor), typed);

        locker.closeWriteChannel();  // the other program lets go
        QVERIFY(locker.waitForFinished(10000));
        QCOMPARE(locker.exitStatus(), QProcess::NormalExit);
        QCOMPARE(locker.exitCode(), 0);

        m_prompts.answer(Prompts::Answer::Ok);
        ui(editor).saveButton->click();
        QCOMPARE(m_prompts.texts().last(), QStringLiteral("Record Successfully Saved"));
        QVERIFY(editor.closed());
        // The row is in the file, as another connection reads it.
        CaseStore other;
        other.openFile(m_env->databaseFile());
        RecordSet rows = other.query(QStringLiteral(
            "select count(*) from Cases where Title='Scanner offline' and Comments='Since "
            "Monday\nafter the update'"));
        QCOMPARE(rows.text(0), QStringLiteral("1"));
        rows.close();
        other.close();
        m_form->loadCases();
        QCOMPARE(ui(*m_form).caseList->rows().count(), 2);
    }

    // Another program's save holds the file for 2 seconds while the program starts: the
    // start-up waits for it from its first statement on, and reports nothing.
    void startUpWaitsForAFileLockedForAMoment() {
        m_form.reset();
        m_env->closeDatabase();
        QProcess locker;
        startLocker(locker, {m_env->databaseFile(), QStringLiteral("2")});
        QVERIFY(!QTest::currentTestFailed());
        QElapsedTimer starting;
        starting.start();
        m_form = std::make_unique<MainWindow>(m_prompts, m_env->settings(),
                                              TestEnvironment::programFolder());
        m_form->setProgramEnd([] {});
        m_form->load();
        QVERIFY2(starting.elapsed() > 1000, "the start-up did not meet the lock");
        QVERIFY2(m_prompts.boxes().empty(), qPrintable(m_prompts.texts().join('\n')));
        QCOMPARE(ui(*m_form).caseList->rows().count(), 1);
        QVERIFY(locker.waitForFinished(10000));

        CaseEditor editor(m_prompts, TestEnvironment::programFolder(), m_form.get());
        editor.setCaption(QStringLiteral("Add New Case"));
        fillNewCase(editor, QStringLiteral("After the lock"));
        m_prompts.answer(Prompts::Answer::Ok);
        ui(editor).saveButton->click();
        QCOMPARE(m_prompts.texts(), QStringList{QStringLiteral("Record Successfully Saved")});
        QCOMPARE(count(QStringLiteral("Cases where Title='After the lock'")), 1);
    }
};

namespace {

// Answers every message box with OK and records it; what happens inside a modal window is
// looked up by the window's name. Input boxes, file questions and Yes/No questions are not
// expected from the commands these tests press, and are recorded as unexpected.
class AnsweringPrompts : public Prompts {
public:
    struct Box {
        QString text;
        QString caption;
        Buttons buttons;
        Icon icon;
    };

    std::vector<Box> boxes;
    QStringList unexpected;
    QStringList modalWindows;
    QHash<QString, std::function<void(QDialog&)>> windows;

    QString input(const QString& prompt, const QString&, const QString&) override {
        unexpected.append(QStringLiteral("input box: ") + prompt);
        return {};
    }
    void showModal(QDialog& window) override {
        modalWindows.append(window.objectName());
        const auto handler = windows.value(window.objectName());
        if (!handler) {
            unexpected.append(QStringLiteral("modal window: ") + window.objectName());
            return;
        }
        handler(window);
    }
    QString saveFileName(const QString& caption, const QString&, const QString&) override {
        unexpected.append(QStringLiteral("file question: ") + caption);
        return {};
    }

protected:
    Answer showMessage(const QString& text, Buttons buttons, Icon icon,
                       const QString& caption) override {
        boxes.push_back({text, caption, buttons, icon});
        if (asksYesNo(buttons)) {
            unexpected.append(QStringLiteral("question: ") + text);
            return Answer::No;
        }
        return Answer::Ok;
    }
};

}  // namespace

// A database made from an old or damaged template that lacks one table or one view.
class TestDamagedTemplate : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;

private Q_SLOTS:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void missingTableOrViewIsReportedAndTheProgramGoesOn_data() {
        QTest::addColumn<QString>("drop");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("listLoads");    // [Cases Extended] still reads
        QTest::addColumn<bool>("editorSaves");  // every list of the editor has entries
        for (const QString& table : kTables) {
            const bool caseTable = table == "Cases";
            const bool people = table == "Employees" || table == "Customers";
            QTest::addRow("table %s", qPrintable(table))
                << "table" << table << !(caseTable || people) << false;
        }
        QTest::newRow("view Cases Extended") << "view"
                                             << "Cases Extended" << false << true;
        QTest::newRow("view Open Cases") << "view"
                                         << "Open Cases" << true << true;
        QTest::newRow("view Closed Cases") << "view"
                                           << "Closed Cases" << true << true;
        QTest::newRow("view Customers Extended") << "view"
                                                 << "Customers Extended" << true << false;
        QTest::newRow("view Employees Extended") << "view"
                                                 << "Employees Extended" << true << false;
    }

    void missingTableOrViewIsReportedAndTheProgramGoesOn() {
        QFETCH(QString, drop);
        QFETCH(QString, name);
        QFETCH(bool, listLoads);
        QFETCH(bool, editorSaves);
        m_env->openDatabase();
        seedCaseDatabase();
        execute("drop " + drop + " [" + name + "]");
        m_env->closeDatabase();

        AnsweringPrompts prompts;
        MainWindow form(prompts, m_env->settings(), TestEnvironment::programFolder());
        form.setProgramEnd([] {});
        const QString title = QStringLiteral("Made in a damaged file");
        bool saved = false;
        int entries = 0;
        int previews = 0;
        prompts.windows.insert(QStringLiteral("Form2"), [&](QDialog& window) {
            auto& editor = static_cast<CaseEditor&>(window);
            ui(editor).titleField->setText(title);
            for (QComboBox* list : lists(editor)) {
                if (list->count() > 0) {
                    list->setCurrentIndex(0);
                }
            }
            ui(editor).saveButton->click();
            saved = editor.closed();
            if (!editor.closed()) {
                ui(editor).cancelButton->click();
            }
        });
        prompts.windows.insert(QStringLiteral("Form4"), [&](QDialog& window) {
            auto& chooser = static_cast<ReportChooser&>(window);
            entries = control<QComboBox>(chooser, QStringLiteral("Combo1"))->count();
            for (int entry = 0; entry < entries; ++entry) {
                control<QComboBox>(chooser, QStringLiteral("Combo1"))->setCurrentIndex(entry);
                control<QPushButton>(chooser, QStringLiteral("PushButton1"))->click();
            }
            control<QPushButton>(chooser, QStringLiteral("PushButton2"))->click();
        });
        prompts.windows.insert(QStringLiteral("ReportPreview"), [&](QDialog& window) {
            auto& preview = static_cast<ReportPreview&>(window);
            ++previews;
            QVERIFY(preview.pagesForPrinter().pageCount >= 1);  // lays its pages out all the same
            preview.reject();
        });

        form.load();
        ui(form).addButton->click();         // Add New Case
        ui(form).reportsButton->click();     // Show Reports
        ui(form).sampleDataButton->click();  // Load Sample/Example Data

        QVERIFY2(prompts.unexpected.isEmpty(), qPrintable(prompts.unexpected.join('\n')));
        QCOMPARE(entries, 6);
        QCOMPARE(previews, 6);
        QCOMPARE(prompts.modalWindows.mid(0, 2), (QStringList{"Form2", "Form4"}));

        // Every failure is the error box with its location and its line; the only other boxes
        // are the editor's own messages about an empty list or a saved case.
        static const QRegularExpression errorText(
            QStringLiteral(
                "^(.+)\r\nin Casewright2021/08/31\\.(Form[1-5])\\.(\\w+) at line (\\d+)\r\r"
                "Please email screenshot of this message to "),
            QRegularExpression::DotMatchesEverythingOption);
        int errors = 0;
        bool named = false;
        for (const AnsweringPrompts::Box& box : prompts.boxes) {
            if (box.caption != QStringLiteral("Application Error")) {
                QVERIFY2(box.text.startsWith(QStringLiteral("You forgot to select ")) ||
                             box.text == QStringLiteral("Record Successfully Saved"),
                         qPrintable(box.text));
                continue;
            }
            ++errors;
            const auto match = errorText.match(box.text);
            QVERIFY2(match.hasMatch(), qPrintable(box.text));
            QVERIFY2(match.captured(4).toInt() >= 100, qPrintable(box.text));
            QCOMPARE(box.icon, Prompts::Icon::Warning);
            QCOMPARE(box.buttons, Prompts::Buttons::Ok);
            named = named || match.captured(1).contains(name);
        }
        QVERIFY(errors > 0);
        QVERIFY2(named, "no report names the missing table or view");
        QCOMPARE(saved, editorSaves);

        // The main window is still usable: its list reloads, or reports the same missing part.
        try {
            form.loadCases();
            QVERIFY2(listLoads, "the case list loaded without its view or tables");
            QCOMPARE(ui(form).caseList->rows().count(), count(QStringLiteral("Cases")));
        } catch (const Failure& failure) {
            QVERIFY2(!listLoads, qPrintable(failure.description()));
            QVERIFY2(failure.description().startsWith(QStringLiteral("no such table")),
                     qPrintable(failure.description()));
        }
        if (name != QStringLiteral("Cases")) {
            QCOMPARE(count("Cases where Title='" + title + "'"), saved ? 1 : 0);
        }
        QCOMPARE(ui(form).caseList->rows().columnCount(), MainWindow::kColumnCount);
    }
};

// Stored settings that are no numbers, and a settings file that is no settings file at all.
class TestGarbageSettings : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    ScriptedPrompts m_prompts;

    static QStringList garbageWidths() {
        return {QStringLiteral("wide"),
                QStringLiteral("-5"),
                QStringLiteral("1e30"),
                QString(""),
                QStringLiteral("  "),
                QStringLiteral("0x10"),
                QStringLiteral("NaN"),
                QStringLiteral("inf"),
                QString(10000, QLatin1Char('7')),
                QStringLiteral("12px"),
                QStringLiteral("1.2.3"),
                QStringLiteral("\u00bd")};
    }

    static void verifyUsableWindow(MainWindow& form) {
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowStateCode(), 0);
        QVERIFY(!form.layoutChanged());
        // The designed client area: 12000 x 6705 twips, 800 x 447 pixels at 96 dpi.
        QVERIFY2(form.width() >= 800 && form.height() >= 447,
                 qPrintable(QStringLiteral("%1x%2").arg(form.width()).arg(form.height())));
        QCOMPARE(ui(form).caseList->rows().columnCount(), MainWindow::kColumnCount);
        for (int column = 0; column < MainWindow::kColumnCount; ++column) {
            QVERIFY(!ui(form).caseList->header()->isSectionHidden(column));
            QVERIFY2(ui(form).caseList->header()->sectionSize(column) >= 8,
                     qPrintable(QStringLiteral("column %1").arg(column + 1)));
        }
    }

private Q_SLOTS:
    void init() {
        m_env = std::make_unique<TestEnvironment>();
        m_prompts.clear();
    }

    void cleanup() {
        m_env.reset();
        expectNothingUnexpected(m_prompts);
    }

    void everySettingGarbageIsReportedAndTheWindowStillOpens_data() {
        QTest::addColumn<QString>("state");
        QTest::newRow("state 3") << "3";
        QTest::newRow("state -1") << "-1";
    }

    void everySettingGarbageIsReportedAndTheWindowStillOpens() {
        QFETCH(QString, state);
        const QStringList widths = garbageWidths();
        for (int column = 1; column <= MainWindow::kColumnCount; ++column) {
            m_env->settings().setValue(QStringLiteral("Helvarine/ColumnHeaders%1").arg(column),
                                       widths[column - 1]);
        }
        m_env->settings().setValue(QStringLiteral("Helvarine/WindowState"), state);
        m_env->reopenSettings();
        for (int column = 1; column <= MainWindow::kColumnCount; ++column) {
            // Read back from the file as written: an empty or blank text stays one.
            QCOMPARE(m_env->settings()
                         .value(QStringLiteral("Helvarine/ColumnHeaders%1").arg(column))
                         .toString(),
                     widths[column - 1]);
        }
        for (int i = 0; i <= MainWindow::kColumnCount; ++i) {
            m_prompts.answer(Prompts::Answer::Ok);
        }
        MainWindow form(m_prompts, m_env->settings(), TestEnvironment::programFolder());
        form.setProgramEnd([] {});
        form.load();

        QList<int> expected{170};
        for (int column = 2; column <= MainWindow::kColumnCount; ++column) {
            expected.append(174);
        }
        expected.append(180);
        QCOMPARE(errorLines(m_prompts), expected);
        QCOMPARE(m_prompts.boxes().size(), size_t{13});
        for (int i = 0; i < MainWindow::kColumnCount; ++i) {
            const QString text = m_prompts.texts()[i];  // texts() gives a copy
            QVERIFY2(text.contains(QStringLiteral("'") + widths[i] + QStringLiteral("'")) ||
                         text.contains(QStringLiteral(" ") + widths[i] + QStringLiteral(" ")),
                     qPrintable(text.left(200)));
            QVERIFY(text.contains(QStringLiteral("Form1.Form_Load at line")));
        }
        QVERIFY(m_prompts.texts()[12].contains(state));
        verifyUsableWindow(form);
        QCOMPARE(ui(form).caseList->rows().count(), 0);
    }

    void settingsFileThatIsNoSettingsFileGivesTheDefaults_data() {
        QTest::addColumn<QByteArray>("content");
        for (quint32 seed : {1u, 2u, 3u}) {
            QRandomGenerator random(seed);
            QByteArray bytes(8192, '\0');
            for (char& byte : bytes) {
                byte = static_cast<char>(random.bounded(256));
            }
            QTest::addRow("random bytes, seed %u", seed) << bytes;
        }
        QTest::newRow("NUL bytes") << QByteArray(4096, '\0');
        QFile database(TestEnvironment::templateFile());
        QVERIFY(database.open(QIODevice::ReadOnly));
        QTest::newRow("a database file") << database.readAll();
    }

    void settingsFileThatIsNoSettingsFileGivesTheDefaults() {
        QFETCH(QByteArray, content);
        QFile file(m_env->settingsFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        m_env->reopenSettings();
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content);  // the test's own settings wrote nothing over it
        file.close();

        MainWindow form(m_prompts, m_env->settings(), TestEnvironment::programFolder());
        form.setProgramEnd([] {});
        form.load();
        QVERIFY2(m_prompts.boxes().empty(), qPrintable(m_prompts.texts().join('\n')));
        QCOMPARE(ui(form).caseList->columnWidthTwips(0), 1200.0);
        for (int column = 1; column < MainWindow::kColumnCount; ++column) {
            QCOMPARE(ui(form).caseList->columnWidthTwips(column), 1500.0);
        }
        verifyUsableWindow(form);
        QCOMPARE(form.size(), QSize(800, 447));
    }
};

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    int failures = 0;
    {
        TestUnstorableText test;
        failures += QTest::qExec(&test, argc, argv);
    }
    {
        TestRefusedWrites test;
        failures += QTest::qExec(&test, argc, argv);
    }
    {
        TestDamagedTemplate test;
        failures += QTest::qExec(&test, argc, argv);
    }
    {
        TestGarbageSettings test;
        failures += QTest::qExec(&test, argc, argv);
    }
    return failures;
}

#include "test_faults.moc"
