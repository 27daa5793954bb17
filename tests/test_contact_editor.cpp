// The contact editors of employees (Form3) and customers (Form5): loading, validation, the
// statements that reach the database, Cancel, the layout, the pointer, and the employee's case
// lists.

#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <memory>
#include "multi_line_field.h"

#include "case_store.h"
#include "contact_editor.h"
#include "record_set.h"
#include "report_list.h"
#include "scripted_prompts.h"
#include "test_environment.h"
#include "window_controls.h"

namespace {

const ContactKind& kindNamed(const QString& name) {
    return name == QLatin1String("employees") ? ContactKind::employees() : ContactKind::customers();
}

// The columns of Text1 ... Text16, as the statements name them.
const QStringList kColumns =
    QString(
        "[First Name]|[Last Name]|[Job Title]|Company|[Business Phone]|[Home Phone]|"
        "[Mobile Phone]|[Fax Number]|Address|City|State|ZIP|Country|[E-mail Address]|"
        "[Web Page]|Notes")
        .split('|');

const QString kInsertColumns = QStringLiteral(
    " ([First Name],[Last Name],[E-mail Address],Company,[Job Title],[Business Phone],"
    "[Home Phone],[Mobile Phone],[Fax Number],Address,City,State,ZIP,Country,[Web Page],Notes) "
    "values ('");

void addPerson(const QString& table, const QString& first, const QString& last) {
    execute(QStringLiteral("insert into %1 ([First Name],[Last Name]) values ('%2','%3')")
                .arg(table, first, last));
}

void addCase(const QString& title, int assignedTo, int openedBy, int customer,
             const QString& due = QStringLiteral("'12/24/2026'"),
             const QString& resolved = QStringLiteral("NULL"),
             const QString& priority = QStringLiteral("'High'")) {
    execute(QStringLiteral("insert into Cases (Title,[Assigned To],[Opened By],[Opened Date],"
                           "Status,Category,Priority,Comments,[Due Date],KB,[Resolved Date],"
                           "Customer,[Call Time]) values (%1,%2,%3,'12/7/2026','Open','Hardware',"
                           "%4,'',%5,'KB1',%6,%7,'12/7/2026')")
                .arg(title)
                .arg(assignedTo)
                .arg(openedBy)
                .arg(priority, due, resolved)
                .arg(customer));
}

// The location and line that each error box named, as "Form3.LoadData 102".
QStringList reports(const ScriptedPrompts& prompts) {
    static const QRegularExpression where(
        QStringLiteral("\r\nin Casewright2021/08/31\\.(\\S+) at line (\\d+)\r\r"));
    QStringList found;
    for (const QString& text : prompts.texts()) {
        const auto match = where.match(text);
        found.append(match.hasMatch() ? match.captured(1) + QLatin1Char(' ') + match.captured(2)
                                      : QStringLiteral("message: ") + text);
    }
    return found;
}

QStringList rowTexts(const ReportListView* list, int column) {
    QStringList texts;
    for (int row = 0; row < list->rows().count(); ++row) {
        texts.append(list->rows().text(row, column));
    }
    return texts;
}
}  // namespace

class TestContactEditor : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    ScriptedPrompts m_prompts;
    std::unique_ptr<ContactEditor> m_editor;
    QStringList m_statements;

    // Opened as the case editor opens it: a new window, its m_ID, its load handler.
    ContactEditor& opened(const QString& kind, const QString& id,
                          const QString& programFolder = TestEnvironment::programFolder()) {
        m_editor = std::make_unique<ContactEditor>(kindNamed(kind), m_prompts, programFolder);
        m_editor->m_ID = id;
        m_editor->load();
        return *m_editor;
    }

    QStringList writes() const { return writesAmong(m_statements); }

    // A test that runs once in each editor.
    static void inBothEditors() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("employees") << "employees";
        QTest::newRow("customers") << "customers";
    }

    void expectBoxes(int count) {
        for (int i = 0; i < count; ++i) {
            m_prompts.answer(Prompts::Answer::Ok);
        }
    }

    // Every column of the row: its value, and that it is text rather than NULL.
    static void verifyStoredRow(const QString& table, const QString& id,
                                const QStringList& expected) {
        RecordSet row = CaseStore::shared().query(
            QStringLiteral("select * from %1 where ID=%2").arg(table, id));
        QVERIFY(!row.eof());
        for (int n = 0; n < 16; ++n) {
            const QString column = QString(kColumns[n]).remove('[').remove(']');
            QVERIFY2(!row.value(column).isNull(), qPrintable(column));
            QCOMPARE(row.text(column), expected[n]);
        }
    }

private Q_SLOTS:
    void init() {
        m_env = std::make_unique<TestEnvironment>();
        m_env->openDatabase();
        m_prompts.clear();
        m_prompts.setApplicationTitle(QStringLiteral("Helvarine"));
        m_statements.clear();
        CaseStore::shared().setStatementObserver(
            [this](const QString& statement) { m_statements.append(statement); });
    }

    void cleanup() {
        m_editor.reset();
        m_env.reset();
        expectNothingUnexpected(m_prompts);
    }

    void saveWritesTheExactStatement_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("existing");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("message");
        QStringList apostrophes(16);
        apostrophes[0] = " Mary ";  // kept with its blanks
        apostrophes[1] = "O'Brien";
        apostrophes[3] = "Rock 'n' Roll";
        apostrophes[15] = "line one\nline two";
        QTest::newRow("employee insert")
            << "employees" << false << apostrophes
            << "insert into Employees" + kInsertColumns +
                   " Mary ','O''Brien','','Rock ''n'' Roll','','','','','','','','','','','',"
                   "'line one\nline two')"
            << "Record Successfully Saved";
        QTest::newRow("customer insert")
            << "customers" << false << apostrophes
            << "insert into Customers" + kInsertColumns +
                   " Mary ','O''Brien','','Rock ''n'' Roll','','','','','','','','','','','',"
                   "'line one\nline two')"
            << "Record Successfully Saved";
        QTest::newRow("employee update")
            << "employees" << true << apostrophes
            << "update Employees set [First Name]=' Mary ',[Last Name]='O''Brien',"
               "[E-mail Address]='',Company='Rock ''n'' Roll',[Job Title]='',[Business Phone]='',"
               "[Home Phone]='',[Mobile Phone]='',[Fax Number]='',Address='',City='',State='',"
               "ZIP='',Country='',[Web Page]='',Notes='line one\nline two' where ID=2"
            << "Record Successfully Updated";
        QTest::newRow("customer update")
            << "customers" << true << apostrophes
            << "update Customers set [First Name]=' Mary ',[Last Name]='O''Brien',"
               "[E-mail Address]='',Company='Rock ''n'' Roll',[Job Title]='',[Business Phone]='',"
               "[Home Phone]='',[Mobile Phone]='',[Fax Number]='',Address='',City='',State='',"
               "ZIP='',Country='',[Web Page]='',Notes='line one\nline two' where ID=2"
            << "Record Successfully Updated";
    }

    void saveWritesTheExactStatement() {
        QFETCH(QString, kind);
        QFETCH(bool, existing);
        QFETCH(QStringList, fields);
        QFETCH(QString, statement);
        QFETCH(QString, message);
        const QString table = QString::fromLatin1(kindNamed(kind).table);
        addPerson(table, "Kept", "Asis");
        addPerson(table, "Old", "Name");
        m_statements.clear();
        ContactEditor& editor = opened(kind, existing ? "2" : "");
        for (int n = 1; n <= 16; ++n) {
            editor.setFieldText(n, fields[n - 1]);
        }
        expectBoxes(1);
        control<QPushButton>(editor, QStringLiteral("PushButton2"))->click();
        // An update runs in the transaction of its check.
        QCOMPARE(writes(), (existing ? QStringList{"BEGIN IMMEDIATE", statement, "COMMIT"}
                                     : QStringList{statement}));
        QCOMPARE(m_prompts.texts(), QStringList{message});
        QCOMPARE(m_prompts.boxes()[0].caption, QStringLiteral("Helvarine"));
        QCOMPARE(m_prompts.boxes()[0].icon, Prompts::Icon::None);
        QCOMPARE(m_prompts.boxes()[0].buttons, Prompts::Buttons::Ok);
        QVERIFY(editor.hasClosed());
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(editor.m_ID, QString(existing ? "2" : ""));
        // What reached the file reads back as typed, and empty fields as empty texts.
        verifyStoredRow(table, existing ? "2" : "3", fields);
        QCOMPARE(scalar("select [First Name] from " + table + " where ID=1"), QString("Kept"));
        QCOMPARE(scalar("select count(*) from " + table), QString(existing ? "2" : "3"));
    }

    // Ctrl+S is the Save button, with its checks, from any field.
    void ctrlSSavesAndFieldsCarryTheirCaptions_data() { inBothEditors(); }

    void ctrlSSavesAndFieldsCarryTheirCaptions() {
        QFETCH(QString, kind);
        ContactEditor& editor = opened(kind, "");
        for (int n = 1; n <= 16; ++n) {
            QCOMPARE(editor.field(n)->accessibleName(),
                     control<QLabel>(editor, QStringLiteral("Label1_%1").arg(n - 1))->text());
        }
        if (auto* cases = control<ReportListView>(editor, QStringLiteral("ListView1"))) {
            QCOMPARE(cases->accessibleName(),
                     control<QGroupBox>(editor, QStringLiteral("Frame1"))->title());
        }
        editor.show();
        QApplication::setActiveWindow(&editor);
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        expectBoxes(1);
        QTest::keyClick(editor.field(1), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(m_prompts.texts(), QStringList{"You forgot to input first name."});
        QVERIFY(writes().isEmpty());
        editor.setFieldText(1, "Ann");
        editor.setFieldText(2, "Lee");
        expectBoxes(1);
        QTest::keyClick(editor.field(16), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(m_prompts.texts().last(), QStringLiteral("Record Successfully Saved"));
        QCOMPARE(writes().size(), 1);
        QVERIFY(editor.hasClosed());
    }

    void namesAreRequired_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("focused");
        const char* const first = "You forgot to input first name.";
        const struct {
            const char* name;
            const char* kind;
            const char* first;
            const char* last;
            const char* message;
            int focused;
        } rows[] = {
            {"first name of spaces", "employees", "   ", "Smith", first, 1},
            {"last name of spaces", "customers", "Ann", "  ", "You forgot to input last name.", 2},
            {"both empty: only the first", "employees", "", "", first, 1},
            {"both blank: only the first", "customers", " ", " ", first, 1},
            {"only blanks count as missing", "customers", "\t", "Lee", "Record Successfully Saved",
             16},
        };
        for (const auto& row : rows) {
            QTest::newRow(row.name)
                << row.kind << row.first << row.last << row.message << row.focused;
        }
    }

    void namesAreRequired() {
        QFETCH(QString, kind);
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(QString, message);
        QFETCH(int, focused);
        ContactEditor& editor = opened(kind, "");
        editor.setFieldText(1, first);
        editor.setFieldText(2, last);
        editor.setFieldText(9, "1 Main Street");
        control<MultiLineField>(editor, QStringLiteral("Text16"))->setFocus();
        expectBoxes(1);
        control<QPushButton>(editor, QStringLiteral("PushButton2"))->click();
        QCOMPARE(m_prompts.texts(), QStringList{message});
        QCOMPARE(m_prompts.boxes()[0].icon, Prompts::Icon::None);
        QCOMPARE(editor.focusWidget(), editor.field(focused));
        const bool saved = message.startsWith("Record");
        QCOMPARE(editor.hasClosed(), saved);
        QCOMPARE(writes().size(), saved ? 1 : 0);
        QCOMPARE(editor.fieldText(9), QString("1 Main Street"));
    }

    void loadFillsEveryFieldAndWritesItBackAsRead_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("queries");
        QTest::newRow("employees")
            << "employees"
            << QStringList{"select * from Employees where ID=1",
                           "select * from [Open Cases] where [Opened By]=1",
                           "select * from [Open Cases] where [Assigned To]=1"};
        QTest::newRow("customers")
            << "customers" << QStringList{"select * from Customers where ID=1"};
    }

    void loadFillsEveryFieldAndWritesItBackAsRead() {
        QFETCH(QString, kind);
        QFETCH(QStringList, queries);
        const QString table = QString::fromLatin1(kindNamed(kind).table);
        QStringList values;
        for (const QString& column : kColumns) {
            values.append(QString(column).remove('[').remove(']') + " of O'Neil");
        }
        values[15] = "Line 1\r\nLine 2";  // notes written elsewhere with CR LF
        QStringList quoted;
        for (const QString& value : values) {
            quoted.append(QString(value).replace("'", "''"));
        }
        execute("insert into " + table + " (" + kColumns.join(',') + ") values ('" +
                quoted.join("','") + "')");
        m_statements.clear();
        ContactEditor& editor = opened(kind, "1");
        QCOMPARE(m_statements, queries);
        for (int n = 1; n <= 16; ++n) {
            QCOMPARE(editor.fieldText(n), values[n - 1]);
        }
        QCOMPARE(control<QLineEdit>(editor, QStringLiteral("Text12"))->text(),
                 QString("ZIP of O'Neil"));
        QCOMPARE(control<MultiLineField>(editor, QStringLiteral("Text16"))->toPlainText(),
                 QString("Line 1\nLine 2"));
        // Saved unchanged, every value goes back as it was read, the notes' CR LF included.
        expectBoxes(1);
        control<QPushButton>(editor, QStringLiteral("PushButton2"))->click();
        verifyStoredRow(table, "1", values);
    }

    void nullColumnsOpenEmptyAndAreWrittenBackEmpty_data() { inBothEditors(); }

    void nullColumnsOpenEmptyAndAreWrittenBackEmpty() {
        QFETCH(QString, kind);
        const QString table = QString::fromLatin1(kindNamed(kind).table);
        addPerson(table, "Ann", "Lee");
        ContactEditor& editor = opened(kind, "1");
        QStringList expected(16);
        expected[0] = "Ann";
        expected[1] = "Lee";
        for (int n = 1; n <= 16; ++n) {
            QCOMPARE(editor.fieldText(n), expected[n - 1]);
        }
        expectBoxes(1);
        control<QPushButton>(editor, QStringLiteral("PushButton2"))->click();
        QCOMPARE(m_prompts.texts(), QStringList{"Record Successfully Updated"});
        verifyStoredRow(table, "1", expected);
    }

    // Another user saves the same person while the editor is open: asked first, No the default.
    void changeByAnotherUserIsAskedAbout_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("overwrite");
        for (const char* kind : {"employees", "customers"}) {
            QTest::addRow("%s, yes", kind) << QString::fromLatin1(kind) << true;
            QTest::addRow("%s, no", kind) << QString::fromLatin1(kind) << false;
        }
    }

    void changeByAnotherUserIsAskedAbout() {
        QFETCH(QString, kind);
        QFETCH(bool, overwrite);
        const QString table = QString::fromLatin1(kindNamed(kind).table);
        addPerson(table, "Ann", "Lee");
        ContactEditor& editor = opened(kind, "1");
        editor.setFieldText(3, "Mine");
        QCOMPARE(executeAsAnotherUser(*m_env,
                                      "update " + table + " set [Job Title]='Theirs' where ID=1"),
                 QString());
        m_statements.clear();
        m_prompts.answer(overwrite ? Prompts::Answer::Yes : Prompts::Answer::No);
        expectBoxes(overwrite ? 1 : 0);
        control<QPushButton>(editor, QStringLiteral("PushButton2"))->click();
        const ScriptedPrompts::Box& question = m_prompts.boxes().front();
        QCOMPARE(question.text, QStringLiteral("Another user changed this record after you opened "
                                               "it.\r\nDo you want to save your version over it?"));
        QCOMPARE(question.buttons, Prompts::Buttons::YesNoDefaultNo);
        QCOMPARE(question.icon, Prompts::Icon::None);
        QCOMPARE(question.caption, QStringLiteral("Helvarine"));
        QCOMPARE(scalar("select [Job Title] from " + table + " where ID=1"),
                 overwrite ? QStringLiteral("Mine") : QStringLiteral("Theirs"));
        QCOMPARE(editor.hasClosed(), overwrite);
        QCOMPARE(editor.fieldText(3), QStringLiteral("Mine"));
        if (overwrite) {
            QCOMPARE(m_prompts.texts().last(), QStringLiteral("Record Successfully Updated"));
            QCOMPARE(writes().size(), 5);  // the check, then the check again with the update
            QVERIFY(writes()[3].startsWith("update " + table + " set [First Name]='Ann'"));
        } else {
            QCOMPARE(m_prompts.boxes().size(), size_t{1});
            QCOMPARE(writes(), (QStringList{"BEGIN IMMEDIATE", "COMMIT"}));  // nothing written
        }
    }

    void deletedByAnotherUserSaysSo_data() { inBothEditors(); }

    void deletedByAnotherUserSaysSo() {
        QFETCH(QString, kind);
        const QString table = QString::fromLatin1(kindNamed(kind).table);
        addPerson(table, "Ann", "Lee");
        ContactEditor& editor = opened(kind, "1");
        QCOMPARE(executeAsAnotherUser(*m_env, "delete from " + table), QString());
        expectBoxes(1);
        control<QPushButton>(editor, QStringLiteral("PushButton2"))->click();
        QCOMPARE(m_prompts.texts(),
                 QStringList{"This record no longer exists; it may have been deleted."});
        QVERIFY(!editor.hasClosed());
        QCOMPARE(count(table), 0);
    }

    void missingRowOpensEmptyAndIsNotCreated_data() { inBothEditors(); }

    void missingRowOpensEmptyAndIsNotCreated() {
        QFETCH(QString, kind);
        const QString table = QString::fromLatin1(kindNamed(kind).table);
        ContactEditor& editor = opened(kind, "42");
        QVERIFY(m_prompts.boxes().empty());
        for (int n = 1; n <= 16; ++n) {
            QCOMPARE(editor.fieldText(n), QString());
        }
        editor.setFieldText(1, "Ann");
        editor.setFieldText(2, "Lee");
        expectBoxes(1);
        control<QPushButton>(editor, QStringLiteral("PushButton2"))->click();
        QCOMPARE(writes().size(), 3);  // the update between BEGIN IMMEDIATE and COMMIT
        QVERIFY(writes()[1].startsWith("update " + table + " set [First Name]='Ann'"));
        QVERIFY(writes()[1].endsWith(" where ID=42"));
        QCOMPARE(m_prompts.texts(),
                 QStringList{"This record no longer exists; it may have been deleted."});
        QVERIFY(!editor.hasClosed());
        QCOMPARE(editor.fieldText(1), QString("Ann"));
        QCOMPARE(scalar("select count(*) from " + table), QString("0"));
    }

    void refusedSaveIsReportedAndKeepsTheInput_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("existing");
        QTest::addColumn<QString>("report");
        QTest::newRow("employee insert") << "employees" << false << "Form3.PushButton2_Click 118";
        QTest::newRow("employee update") << "employees" << true << "Form3.PushButton2_Click 114";
        QTest::newRow("customer insert") << "customers" << false << "Form5.PushButton2_Click 118";
        QTest::newRow("customer update") << "customers" << true << "Form5.PushButton2_Click 114";
    }

    void refusedSaveIsReportedAndKeepsTheInput() {
        QFETCH(QString, kind);
        QFETCH(bool, existing);
        QFETCH(QString, report);
        const QString table = QString::fromLatin1(kindNamed(kind).table);
        addPerson(table, "Ann", "Lee");
        refuseWrites(table, existing ? "update" : "insert", "The file is read-only");
        ContactEditor& editor = opened(kind, existing ? "1" : "");
        editor.setFieldText(1, "Typed");
        editor.setFieldText(2, "Name");
        editor.setFieldText(16, "Notes kept");
        expectBoxes(1);
        control<QPushButton>(editor, QStringLiteral("PushButton2"))->click();
        QCOMPARE(reports(m_prompts), QStringList{report});
        QCOMPARE(m_prompts.texts()[0],
                 "The file is read-only\r\nin Casewright2021/08/31." +
                     QString(report).replace(' ', " at line ") +
                     "\r\rPlease email screenshot of this message to support@orvanta.example");
        QCOMPARE(m_prompts.boxes()[0].caption, QStringLiteral("Application Error"));
        QCOMPARE(m_prompts.boxes()[0].icon, Prompts::Icon::Warning);
        QVERIFY(!editor.hasClosed());
        QCOMPARE(editor.fieldText(1), QString("Typed"));
        QCOMPARE(editor.fieldText(16), QString("Notes kept"));
        QCOMPARE(joined("[First Name]", table), QString("Ann"));
    }

    void unreadableRowReportsEachStep_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("expected");
        QStringList employees;
        QStringList customers;
        for (int line = 102; line <= 138; line += 2) {
            employees.append(QStringLiteral("Form3.LoadData %1").arg(line));
            customers.append(QStringLiteral("Form5.LoadData %1").arg(line));
        }
        employees << "Form3.LoadOpenedCases 104"
                  << "Form3.LoadAssignedCases 104"
                  << "Form3.PushButton2_Click 114";
        customers << "Form5.PushButton2_Click 114";
        QTest::newRow("employees") << "employees" << employees;
        QTest::newRow("customers") << "customers" << customers;
    }

    void unreadableRowReportsEachStep() {
        QFETCH(QString, kind);
        QFETCH(QStringList, expected);
        expectBoxes(static_cast<int>(expected.size()));
        ContactEditor& editor = opened(kind, "abc");
        QVERIFY(m_prompts.texts()[0].startsWith(engineSays("no such column: abc") + "\r\n"));
        // A later save still takes the update branch; its failure keeps the window open.
        editor.setFieldText(1, "Ann");
        editor.setFieldText(2, "Lee");
        control<QPushButton>(editor, QStringLiteral("PushButton2"))->click();
        QCOMPARE(reports(m_prompts), expected);
        QVERIFY(!editor.hasClosed());
    }

    void cancelWritesNothing_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("titleBar");
        QTest::newRow("employee Cancel") << "employees" << false;
        QTest::newRow("customer title bar") << "customers" << true;
    }

    void cancelWritesNothing() {
        QFETCH(QString, kind);
        QFETCH(bool, titleBar);
        addPerson(QString::fromLatin1(kindNamed(kind).table), "Ann", "Lee");
        ContactEditor& editor = opened(kind, "1");
        m_statements.clear();
        editor.setFieldText(1, "Changed");
        // Shown through the modal seam, as the case editor shows it.
        m_prompts.onModal([&](QDialog& window) {
            QCOMPARE(&window, static_cast<QDialog*>(&editor));
            if (titleBar) {
                window.show();
                window.close();
            } else {
                control<QPushButton>(
                    editor, QStringLiteral("PushButton%1").arg(kindNamed(kind).cancelButton))
                    ->click();
            }
        });
        m_prompts.showModal(editor);
        QVERIFY(editor.hasClosed());
        QCOMPARE(editor.result(), int(QDialog::Rejected));
        QVERIFY(writes().isEmpty());
        QCOMPARE(opened(kind, "1").fieldText(1), QString("Ann"));
    }

    void pointer_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("steps");  // control:shape after the mouse came over it
        QTest::newRow("employees: lists and frames restore the arrow")
            << "employees"
            << QStringList{"PushButton2:hand", "ListView1:arrow",  "PushButton1:hand",
                           "Frame2:arrow",     "PushButton1:hand", "ListView2:arrow",
                           "hourglass",        "PushButton2:wait", "Frame1:wait"};
        QTest::newRow("customers: the surface restores the arrow")
            << "customers"
            << QStringList{"PushButton3:hand", "surface:arrow",    "PushButton2:hand",
                           "hourglass",        "PushButton3:wait", "surface:wait"};
    }

    void pointer() {
        QFETCH(QString, kind);
        QFETCH(QStringList, steps);
        ContactEditor& editor = opened(kind, "");
        for (const QString& step : steps) {
            const QString control = step.section(':', 0, 0);
            if (control == "hourglass") {
                editor.setCursor(Qt::WaitCursor);
                continue;
            }
            if (control == "surface") {
                QMouseEvent move(QEvent::MouseMove, QPointF(3, 3),
                                 editor.mapToGlobal(QPointF(3, 3)), Qt::NoButton, Qt::NoButton,
                                 Qt::NoModifier);
                QCoreApplication::sendEvent(&editor, &move);
            } else {
                QWidget* target = editor.findChild<QWidget*>(control);
                QVERIFY2(target != nullptr, qPrintable(control));
                if (auto* list = qobject_cast<ReportListView*>(target)) {
                    target = list->viewport();
                }
                QEvent enter(QEvent::Enter);
                QCoreApplication::sendEvent(target, &enter);
            }
            const QString shape = step.section(':', 1);
            const Qt::CursorShape expected = shape == "hand"   ? Qt::BitmapCursor
                                             : shape == "wait" ? Qt::WaitCursor
                                                               : Qt::ArrowCursor;
            QVERIFY2(editor.cursor().shape() == expected, qPrintable(step));
        }
    }

    void newEmployeeShowsOnlyTheHeaders() {
        addPerson("Employees", "John", "Wilson");
        addPerson("Customers", "Hanna", "Simmons");
        addCase("'Printer jams'", 1, 1, 1);
        m_statements.clear();
        ContactEditor& editor = opened("employees", "");
        QVERIFY(m_statements.isEmpty());
        const QStringList headers{"Title",    "Assigned To", "Customer",  "Priority",   "Status",
                                  "Category", "Due Date",    "Opened By", "Opened Date"};
        const QList<double> widths{2000, 1500, 1500, 1200, 1500, 1200, 1200, 1200};
        for (ReportListView* list :
             {control<ReportListView>(editor, QStringLiteral("ListView1")),
              control<ReportListView>(editor, QStringLiteral("ListView2"))}) {
            QCOMPARE(list->rows().columnCount(), 9);
            for (int column = 0; column < 9; ++column) {
                QCOMPARE(list->rows().header(column), headers[column]);
            }
            for (int column = 0; column < 8; ++column) {
                QCOMPARE(list->header()->sectionSize(column), qRound(widths[column] / 15));
            }
            QCOMPARE(list->rows().count(), 0);
        }
    }

    void caseListsShowTheEmployeesOpenCases() {
        addPerson("Employees", "John", "Wilson");
        addPerson("Employees", "Daniel", "Carter");
        addPerson("Customers", "Hanna", "Simmons");
        addPerson("Customers", "Neil", "Burgess");
        addCase("'Printer jams'", 2, 1, 2);
        addCase("'No due date'", 1, 2, 1, "NULL");
        addCase("'Both of O''Neil'", 1, 1, 1);
        addCase("'Closed one'", 1, 1, 1, "'12/24/2026'", "'12/9/2026'");
        addCase("'Someone else'", 2, 2, 1);
        // Opened twice in a row: each case once per list.
        opened("employees", "1");
        ContactEditor& editor = opened("employees", "1");
        QCOMPARE(rowTexts(control<ReportListView>(editor, QStringLiteral("ListView1")), 0),
                 (QStringList{"Printer jams", "Both of O'Neil"}));
        QCOMPARE(rowTexts(control<ReportListView>(editor, QStringLiteral("ListView2")), 0),
                 (QStringList{"No due date", "Both of O'Neil"}));
        QCOMPARE(control<ReportListView>(editor, QStringLiteral("ListView1"))->rows().columnCount(),
                 9);
        const QStringList first{"Printer jams", "Daniel Carter", "Neil Burgess", "High",     "Open",
                                "Hardware",     "12/24/2026",    "John Wilson",  "12/7/2026"};
        for (int column = 0; column < 9; ++column) {
            QCOMPARE(control<ReportListView>(editor, QStringLiteral("ListView1"))
                         ->rows()
                         .text(0, column),
                     first[column]);
        }
        QCOMPARE(control<ReportListView>(editor, QStringLiteral("ListView2"))->rows().text(0, 2),
                 QString("Hanna Simmons"));
        QCOMPARE(control<ReportListView>(editor, QStringLiteral("ListView2"))->rows().text(0, 6),
                 QString());  // no due date
        QCOMPARE(control<ReportListView>(editor, QStringLiteral("ListView2"))->rows().text(0, 7),
                 QString("Daniel Carter"));
    }
};

QTEST_MAIN(TestContactEditor)
#include "test_contact_editor.moc"
