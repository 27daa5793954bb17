// The case list's model under Qt's own model checker, through every way the list changes: the
// columns, a refill, header clicks, a cell changed in place, an emptied list.

#include <QAbstractItemModelTester>
#include <QTest>
#include <memory>

#include "main_window.h"
#include "report_list.h"
#include "scripted_prompts.h"
#include "test_environment.h"

class TestCaseListModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void modelKeepsQtsProtocol() {
        ReportListModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.addColumn(QStringLiteral("ID"), ReportListModel::SortKind::Number);
        model.addColumn(QStringLiteral("Due Date"), ReportListModel::SortKind::Date);
        {
            ReportListModel::Batch batch(model);
            for (int i = 12; i > 0; --i) {
                const int row = model.addRow(QString::number(i));
                model.setSubItem(row, 1,
                                 i % 3 == 0 ? QString() : QStringLiteral("12/%1/2026").arg(i));
            }
        }
        model.sort(0, Qt::AscendingOrder);
        QCOMPARE(model.data(model.index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("1"));
        model.sort(1, Qt::DescendingOrder);
        QCOMPARE(model.data(model.index(0, 1), Qt::DisplayRole).toString(),
                 QStringLiteral("12/11/2026"));
        model.setSubItem(0, 1, QStringLiteral("1/1/2030"));  // changes the sorted column in place
        QCOMPARE(model.data(model.index(0, 1), Qt::DisplayRole).toString(),
                 QStringLiteral("1/1/2030"));
        // Filtered: the rows let through, in the sorted order, through a sort and a change.
        model.setFilter([](int row) { return row % 2 == 0; });  // IDs 12, 10, ..., 2
        QCOMPARE(model.rowCount(), 6);
        QCOMPARE(model.storedCount(), 12);
        model.sort(0, Qt::AscendingOrder);
        QCOMPARE(model.text(0, 0), QStringLiteral("2"));
        model.setSubItem(1, 1, QStringLiteral("1/1/2031"));  // a hidden row changes
        model.setSubItem(0, 1, QStringLiteral("1/1/2031"));
        QCOMPARE(model.positionOf(1), -1);
        QCOMPARE(model.text(model.positionOf(0), 1), QStringLiteral("1/1/2031"));
        model.setFilter({});
        QCOMPARE(model.rowCount(), 12);
        model.addRow(QStringLiteral("13"));
        QCOMPARE(model.rowCount(), 13);
        model.removeAllRows();
        QCOMPARE(model.rowCount(), 0);
    }

    void caseListKeepsItThroughTheWindow() {
        TestEnvironment env;
        env.openDatabase();
        for (int i = 0; i < 5; ++i) {
            execute(QStringLiteral("insert into Cases (Title) values ('case %1')").arg(i));
        }
        env.closeDatabase();
        ScriptedPrompts prompts;
        Form1 form(prompts, env.settings(), TestEnvironment::programFolder());
        form.Form_Load();
        auto* list = form.findChild<ReportListView*>(QStringLiteral("ListView1"));
        QVERIFY(list != nullptr);
        QAbstractItemModelTester tester(&list->rows(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (int column : {1, 1, 2, 8}) {
            form.ListView1_ColumnClick(column);
        }
        form.LoadCases();
        QCOMPARE(list->rows().rowCount(), 5);
        expectNothingUnexpected(prompts);
    }
};

QTEST_MAIN(TestCaseListModel)
#include "test_case_list_model.moc"
