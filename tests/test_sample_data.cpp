// "Load Sample/Example Data": the sample rows added while a table holds fewer than two, the
// three cases linked to each table's first and last rows, and the numbered lines of failures.

#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <memory>

#include "case_store.h"
#include "date_text.h"
#include "main_window.h"
#include "report_list.h"
#include "scripted_prompts.h"
#include "test_environment.h"
#include "window_controls.h"

namespace {

// The cases as "assigned,opened,status,category,priority,kb,customer" rows, in ID order.
QStringList caseLinks() {
    QStringList links;
    RecordSet rows = CaseStore::shared().query(QStringLiteral(
        "select [Assigned To] || ',' || [Opened By] || ',' || Status || ',' || Category || ',' || "
        "Priority || ',' || KB || ',' || Customer as links from Cases order by ID"));
    while (!rows.eof()) {
        links.append(rows.text(0));
        rows.moveNext();
    }
    return links;
}

}  // namespace

class TestSampleData : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    ScriptedPrompts m_prompts;
    std::unique_ptr<MainWindow> m_form;
    QStringList m_statements;

    MainWindow& startedForm() {
        m_form = std::make_unique<MainWindow>(m_prompts, m_env->settings(),
                                              TestEnvironment::programFolder());
        m_form->setProgramEnd([] {});
        m_form->load();
        CaseStore::shared().setStatementObserver(
            [this](const QString& statement) { m_statements.append(statement); });
        return *m_form;
    }

    template <class Fill>
    void prepare(Fill fill) {
        m_env->openDatabase();
        fill();
        m_env->closeDatabase();
    }

private Q_SLOTS:
    void init() {
        m_env = std::make_unique<TestEnvironment>();
        m_prompts.clear();
        m_statements.clear();
    }

    void cleanup() {
        m_form.reset();
        m_env.reset();
        expectNothingUnexpected(m_prompts);
    }

    void emptyDatabaseGetsEverySample() {
        MainWindow& form = startedForm();
        ui(form).sampleDataButton->click();
        CaseStore::shared().setStatementObserver({});
        QVERIFY(m_prompts.boxes().empty());
        for (const char* table :
             {"Employees", "Customers", "Status", "Categories", "Priorities", "KnowledgeBase"}) {
            QCOMPARE(count(QLatin1String(table)), 2);
        }
        QCOMPARE(count(QStringLiteral("Cases")), 3);
        // Case 1 links to every last row, case 2 to every first row, case 3 to a mix.
        QCOMPARE(caseLinks(),
                 (QStringList{"2,2,Cancelled,Main Category,Low,Department knowledge base,2",
                              "1,1,In process,New Category,High,Corporate knowledge base,1",
                              "2,1,In process,Main Category,High,Department knowledge base,2"}));
        const QString today = DateText::toText(QDate::currentDate());
        QCOMPARE(scalar("select count(*) from [Open Cases] where [Opened Date] = date('now', "
                        "'localtime') and [Due Date] = [Opened Date] and [Call Time] = "
                        "[Opened Date] and [Resolved Date] is null"),
                 QStringLiteral("3"));
        QCOMPARE(scalar("select group_concat([E-mail Address]) from Employees"),
                 QStringLiteral("john.wilson@example.com,daniel.carter@example.com"));
        QCOMPARE(scalar("select Company || '/' || [Job Title] from Customers where ID=2"),
                 QStringLiteral("WestEast Cost Cars/Senior manager"));
        // The statements as they stand, and the list reloaded with the three cases.
        QCOMPARE(m_statements.first(),
                 QStringLiteral("SELECT Count(Employees.ID) AS [CountID] From Employees"));
        QVERIFY(m_statements.contains(QStringLiteral(
            "insert into Customers ([First Name],[Last Name],[E-mail Address],Company,[Job Title]) "
            "values ('Hanna','Simmons','hanna.simmons@example.com','Simmons Supplies','CEO')")));
        QVERIFY(m_statements.contains(
            QStringLiteral("insert into [KnowledgeBase] values ('Corporate knowledge base')")));
        QVERIFY(m_statements.contains(
            QStringLiteral("SELECT Last(Priorities.Priority) AS [MaxID] FROM Priorities")));
        QVERIFY(m_statements.contains(
            "insert into Cases (Title,[Assigned To],[Opened By],[Opened Date],Status,Category,"
            "Priority,Comments,[Due Date],KB,[Resolved Date],Customer,[Call Time]) values ('Find "
            "out why delivery is delayed',2,1,'" +
            today +
            "','In process','Main Category','High',"
            "'Need to solve this case ASAP','" +
            today + "','Department knowledge base',NULL,2,'" + today + "')"));
        QCOMPARE(m_statements.last(), QStringLiteral("select * from [Cases Extended]"));
        QCOMPARE(ui(form).caseList->rows().count(), 3);
        QCOMPARE(ui(form).caseList->rows().text(2, 3),
                 QStringLiteral("Daniel Carter"));  // assigned
        QCOMPARE(ui(form).caseList->rows().text(2, 11),
                 QStringLiteral("John Wilson"));  // opened by
    }

    void secondPressAddsOnlyCases() {
        MainWindow& form = startedForm();
        ui(form).sampleDataButton->click();
        ui(form).sampleDataButton->click();
        QCOMPARE(count(QStringLiteral("Employees")), 2);
        QCOMPARE(count(QStringLiteral("KnowledgeBase")), 2);
        QCOMPARE(count(QStringLiteral("Cases")), 6);
        QCOMPARE(caseLinks().mid(3), caseLinks().mid(0, 3));
        QCOMPARE(ui(form).caseList->rows().count(), 6);
    }

    void tableWithOneRowGetsOnlyTheFirstSample() {
        prepare([] { execute(QStringLiteral("insert into [Status] values ('In process')")); });
        ui(startedForm()).sampleDataButton->click();
        QCOMPARE(scalar("select group_concat(Status, '|') from Status"),
                 QStringLiteral("In process|In process"));
    }

    void tableWithTwoRowsGetsNoneAndLinksFirstAndLastNotMinAndMax() {
        prepare([] {
            for (const char* value : {"m", "a", "z", "c"}) {
                execute(QStringLiteral("insert into [Categories] values ('%1')")
                            .arg(QLatin1String(value)));
            }
            execute(QStringLiteral("insert into Employees ([First Name]) values ('x')"));
            execute(QStringLiteral("insert into Employees ([First Name]) values ('y')"));
            execute(QStringLiteral("insert into Employees ([First Name]) values ('w')"));
            execute(QStringLiteral("delete from Employees where ID=1"));
        });
        ui(startedForm()).sampleDataButton->click();
        QCOMPARE(count(QStringLiteral("Categories")), 4);
        QCOMPARE(count(QStringLiteral("Employees")), 2);
        QStringList categories;
        QStringList assigned;
        for (const QString& links : caseLinks()) {
            categories.append(links.section(QLatin1Char(','), 3, 3));
            assigned.append(links.section(QLatin1Char(','), 0, 0));
        }
        QCOMPARE(categories, (QStringList{"c", "m", "c"}));  // last "c", first "m"
        QCOMPARE(assigned, (QStringList{"3", "2", "3"}));
    }

    void failedInsertStillCounts() {
        prepare([] {
            execute(
                QStringLiteral("create trigger refuse before insert on Employees when "
                               "NEW.[First Name] = 'John' begin select raise(abort, "
                               "'constraint failed'); end"));
            execute(QStringLiteral("insert into [Priorities] values ('Urgent')"));
            execute(
                QStringLiteral("create trigger refuseHigh before insert on Priorities when "
                               "NEW.Priority = 'High' begin select raise(abort, 'full'); end"));
        });
        m_prompts.answer(Prompts::Answer::Ok);
        m_prompts.answer(Prompts::Answer::Ok);
        ui(startedForm()).sampleDataButton->click();
        // Employees: the first insert fails (line 114) and the second still runs. Priorities (the
        // fifth table, from line 270): one row, so the failed first insert (282) ends its inserts.
        QCOMPARE(boxLines(m_prompts), (QList<int>{114, 282}));
        QVERIFY(m_prompts.texts()[0].startsWith(QStringLiteral(
            "constraint failed\r\nin Casewright2021/08/31.Form1.PushButton4_Click at line 114")));
        QCOMPARE(scalar("select group_concat([First Name]) from Employees"),
                 QStringLiteral("Daniel"));
        QCOMPARE(scalar("select group_concat(Priority) from Priorities"), QStringLiteral("Urgent"));
        QCOMPARE(caseLinks().front(),
                 QStringLiteral("1,1,Cancelled,Main Category,Urgent,Department knowledge base,2"));
    }

    void missingTableReportsEachOfItsLinesAndTheRunGoesOn() {
        prepare([] { execute(QStringLiteral("drop table Priorities")); });
        for (int i = 0; i < 14; ++i) {
            m_prompts.answer(Prompts::Answer::Ok);
        }
        MainWindow& form = startedForm();
        ui(form).sampleDataButton->click();
        QCOMPARE(boxLines(m_prompts), (QList<int>{272, 274, 276, 278, 282, 288, 296, 298, 300, 302,
                                                  304, 306, 308, 310}));
        QVERIFY(m_prompts.texts()[0].startsWith(QStringLiteral("no such table: Priorities")));
        // The later tables, the cases (with the blank start value) and the reload still ran.
        QCOMPARE(count(QStringLiteral("KnowledgeBase")), 2);
        QCOMPARE(scalar("select group_concat('[' || Priority || ']') from Cases"),
                 QStringLiteral("[ ],[ ],[ ]"));
        QCOMPARE(ui(form).caseList->rows().count(), 3);
    }
};

QTEST_MAIN(TestSampleData)
#include "test_sample_data.moc"
