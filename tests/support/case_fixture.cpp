#include "case_fixture.h"

#include <QComboBox>
#include <QLineEdit>

#include "case_editor.h"
#include "date_picker.h"
#include "multi_line_field.h"
#include "test_environment.h"
#include "window_controls.h"

const QString kInsertStart = QStringLiteral(
    "insert into Cases (Title,[Assigned To],[Opened By],[Opened Date],Status,Category,Priority,"
    "Comments,[Due Date],KB,[Resolved Date],Customer,[Call Time]) values (");

void seedCaseDatabase() {
    for (const char* person : {"'John','Wilson'", "'Daniel','Carter'"}) {
        execute(QStringLiteral("insert into Employees ([First Name],[Last Name]) values (%1)")
                    .arg(QLatin1String(person)));
    }
    for (const char* person : {"'Hanna','Simmons'", "'Neil','Burgess'"}) {
        execute(QStringLiteral("insert into Customers ([First Name],[Last Name]) values (%1)")
                    .arg(QLatin1String(person)));
    }
    for (const char* value : {"Open", "Waiting"}) {
        execute(QStringLiteral("insert into [Status] values ('%1')").arg(QLatin1String(value)));
    }
    for (const char* value : {"General", "Billing"}) {
        execute(QStringLiteral("insert into [Categories] values ('%1')").arg(QLatin1String(value)));
    }
    for (const char* value : {"High", "Low"}) {
        execute(QStringLiteral("insert into [Priorities] values ('%1')").arg(QLatin1String(value)));
    }
    for (const char* value : {"KB1", "KB2"}) {
        execute(
            QStringLiteral("insert into [KnowledgeBase] values ('%1')").arg(QLatin1String(value)));
    }
    execute(kInsertStart +
            "'Printer jams',2,1,'12/1/2026','Waiting','Billing','Low','first line\nsecond line',"
            "'12/24/2026','KB2',NULL,1,'1/1/2020')");
}

void fillNewCase(CaseEditor& editor, const QString& title, const QString& comments) {
    ui(editor).titleField->setText(title);
    pick(ui(editor).assignedToList, QStringLiteral("Daniel Carter"));
    pick(ui(editor).openedByList, QStringLiteral("John Wilson"));
    pick(ui(editor).customerList, QStringLiteral("Neil Burgess"));
    pick(ui(editor).statusList, QStringLiteral("Open"));
    pick(ui(editor).categoryList, QStringLiteral("General"));
    pick(ui(editor).priorityList, QStringLiteral("High"));
    pick(ui(editor).knowledgeBaseList, QStringLiteral("KB1"));
    ui(editor).openedDatePicker->setDate(QDate(2026, 12, 1));
    ui(editor).dueDatePicker->setDate(QDate(2026, 12, 24));
    ui(editor).commentsField->setPlainText(comments);
}
