// The "+", "*" and "-" buttons beside the case editor's three people lists: the contact editor
// they open, the person deleted with the cases linked to it, and the lists they reload.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "case_editor.h"
#include "case_store.h"
#include "contact_editor.h"
#include "people_members.h"
#include "scripted_prompts.h"
#include "test_environment.h"
#include "window_controls.h"

namespace {

void addCase(int assignedTo, int openedBy, int customer) {
    execute(
        QStringLiteral("insert into Cases (Title,[Assigned To],[Opened By],[Opened Date],Status,"
                       "Category,Priority,Comments,[Due Date],KB,[Resolved Date],Customer,"
                       "[Call Time]) values ('Case',%1,%2,'12/1/2026','Open','General','High',"
                       "'','12/2/2026','KB1',NULL,%3,'12/1/2026')")
            .arg(assignedTo)
            .arg(openedBy)
            .arg(customer));
}

}  // namespace

class TestContactPickers : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    ScriptedPrompts m_prompts;
    std::unique_ptr<CaseEditor> m_editor;
    QStringList m_writes;

    CaseEditor& openEditor() {
        m_editor = std::make_unique<CaseEditor>(m_prompts, TestEnvironment::programFolder());
        m_editor->setCaption(QStringLiteral("Add New Case"));
        return *m_editor;
    }

    QPushButton* button(int number) { return ui(*m_editor).button(number); }

    void select(QComboBox* list, int position) { list->setCurrentIndex(position); }

private Q_SLOTS:
    void init() {
        m_env = std::make_unique<TestEnvironment>();
        m_env->openDatabase();
        // Employees 1 John Wilson, 2 Daniel Carter; customers 1 Hanna Simmons, 2 Neil Burgess.
        execute(QStringLiteral(
            "insert into Employees ([First Name],[Last Name]) values ('John','Wilson')"));
        execute(QStringLiteral(
            "insert into Employees ([First Name],[Last Name]) values ('Daniel','Carter')"));
        execute(QStringLiteral(
            "insert into Customers ([First Name],[Last Name]) values ('Hanna','Simmons')"));
        execute(QStringLiteral(
            "insert into Customers ([First Name],[Last Name]) values ('Neil','Burgess')"));
        execute(QStringLiteral("insert into [Status] values ('Open')"));
        execute(QStringLiteral("insert into [Categories] values ('General')"));
        execute(QStringLiteral("insert into [Priorities] values ('High')"));
        execute(QStringLiteral("insert into [KnowledgeBase] values ('KB1')"));
        addCase(2, 1, 1);  // case 1
        addCase(1, 1, 2);  // case 2
        addCase(2, 2, 2);  // case 3
        m_prompts.clear();
        m_writes.clear();
        CaseStore::shared().setStatementObserver([this](const QString& statement) {
            if (!statement.startsWith(QStringLiteral("select"), Qt::CaseInsensitive)) {
                m_writes.append(statement);
            }
        });
    }

    void cleanup() {
        m_editor.reset();
        m_env.reset();
        expectNothingUnexpected(m_prompts);
    }

    void buttonsOfEveryList_data() {
        QTest::addColumn<int>("member");
        QTest::addColumn<QString>("window");
        QTest::newRow("assigned to") << 0 << "Form3";
        QTest::newRow("opened by") << 1 << "Form3";
        QTest::newRow("customer") << 2 << "Form5";
    }

    void buttonsOfEveryList() {
        QFETCH(int, member);
        QFETCH(QString, window);
        const PeopleMember& people = peopleMembers()[static_cast<size_t>(member)];
        CaseEditor& editor = openEditor();
        QComboBox* list = ui(editor).peopleList(member);
        QCOMPARE(button(people.addButton)->text(), QStringLiteral("+"));
        QCOMPARE(button(people.editButton)->text(), QStringLiteral("*"));
        QCOMPARE(button(people.deleteButton)->text(), QStringLiteral("-"));
        select(ui(editor).statusList, 0);  // another list keeps its selection through every reload

        // "*" and "-" with nothing selected: nothing happens.
        button(people.editButton)->click();
        button(people.deleteButton)->click();
        QVERIFY(m_prompts.boxes().empty());
        QVERIFY(m_prompts.modalWindows().isEmpty());

        // "+" then Cancel: the editor opens empty, and the list is reloaded without selection.
        select(list, 0);
        m_prompts.onModal([&](QDialog& opened) {
            auto& contact = static_cast<ContactEditor&>(opened);
            QCOMPARE(contact.m_ID, QString());
            QVERIFY(control<QLineEdit>(contact, QStringLiteral("Text1"))->text().isEmpty());
            contact.reject();
        });
        button(people.addButton)->click();
        QCOMPARE(m_prompts.modalWindows(), QStringList{window});
        QCOMPARE(list->currentIndex(), -1);
        QCOMPARE(ui(editor).statusList->currentIndex(), 0);
        QVERIFY(m_writes.isEmpty());

        // "+" then Save: the new person is listed, not selected.
        m_prompts.onModal([&](QDialog& opened) {
            auto& contact = static_cast<ContactEditor&>(opened);
            control<QLineEdit>(contact, QStringLiteral("Text1"))->setText(QStringLiteral("Ann"));
            control<QLineEdit>(contact, QStringLiteral("Text2"))->setText(QStringLiteral("O'Neil"));
            m_prompts.answer(Prompts::Answer::Ok);
            control<QPushButton>(contact, QStringLiteral("PushButton2"))->click();
        });
        button(people.addButton)->click();
        QVERIFY(listEntries(list).contains(QStringLiteral("Ann O'Neil")));
        QCOMPARE(list->currentIndex(), -1);

        // "*" opens the person at the selected position (person 1: John Wilson or Hanna
        // Simmons); a changed name shows after the reload.
        const QStringList& ids = member < 2 ? editor.employeeIds() : editor.customerIds();
        const auto position = static_cast<int>(ids.indexOf(QStringLiteral("1")));
        select(list, position);
        const QString firstName = member < 2 ? QStringLiteral("John") : QStringLiteral("Hanna");
        m_prompts.onModal([&](QDialog& opened) {
            auto& contact = static_cast<ContactEditor&>(opened);
            QCOMPARE(contact.m_ID, QStringLiteral("1"));
            QCOMPARE(control<QLineEdit>(contact, QStringLiteral("Text1"))->text(), firstName);
            control<QLineEdit>(contact, QStringLiteral("Text1"))
                ->setText(QStringLiteral("Renamed"));
            m_prompts.answer(Prompts::Answer::Ok);
            control<QPushButton>(contact, QStringLiteral("PushButton2"))->click();
        });
        button(people.editButton)->click();
        QVERIFY(listEntries(list).filter(QStringLiteral("Renamed ")).size() == 1);
        QCOMPARE(list->currentIndex(), -1);
        if (member < 2) {
            QCOMPARE(listEntries(ui(editor).assignedToList),
                     listEntries(ui(editor).openedByList));  // both employee lists
        }
        QCOMPARE(ui(editor).statusList->currentIndex(), 0);
    }

    void deleteAnsweredNoChangesNothing() {
        CaseEditor& editor = openEditor();
        select(ui(editor).customerList, 0);
        m_prompts.answer(Prompts::Answer::No);
        button(16)->click();
        QCOMPARE(m_prompts.texts(),
                 QStringList{
                     QStringLiteral("Warning: Deleting customer will also delete issue data that "
                                    "is linked to this customer.\r\nDo you wish to continue?")});
        QCOMPARE(m_prompts.boxes().front().buttons, Prompts::Buttons::YesNoDefaultNo);
        QVERIFY(m_writes.isEmpty());
        QCOMPARE(ui(editor).customerList->currentIndex(), 0);
    }

    void deletingACustomerDeletesItsCases() {
        CaseEditor& editor = openEditor();
        select(ui(editor).customerList,
               static_cast<int>(
                   listEntries(ui(editor).customerList).indexOf(QStringLiteral("Neil Burgess"))));
        m_prompts.answer(Prompts::Answer::Yes);
        button(16)->click();
        QCOMPARE(m_writes, (QStringList{"BEGIN IMMEDIATE", "delete from Customers where ID=2",
                                        "delete from Cases where [Customer]=2", "COMMIT"}));
        QCOMPARE(count(QStringLiteral("Cases")), 1);
        QCOMPARE(listEntries(ui(editor).customerList),
                 QStringList{QStringLiteral("Hanna Simmons")});
        QCOMPARE(editor.customerIds(), QStringList{QStringLiteral("1")});
    }

    void deletingFromOpenedByTakesOnlyThatEmployee() {
        CaseEditor& editor = openEditor();
        // Assigned To shows Daniel Carter (2); Opened By is set to John Wilson (1) and deleted.
        select(
            ui(editor).assignedToList,
            static_cast<int>(
                listEntries(ui(editor).assignedToList).indexOf(QStringLiteral("Daniel Carter"))));
        select(ui(editor).openedByList,
               static_cast<int>(
                   listEntries(ui(editor).openedByList).indexOf(QStringLiteral("John Wilson"))));
        m_prompts.answer(Prompts::Answer::Yes);
        button(4)->click();
        QCOMPARE(m_prompts.texts().front(),
                 QStringLiteral("Warning: Deleting opened by will also delete issue data that is "
                                "linked to this employee.\r\nDo you wish to continue?"));
        QCOMPARE(m_writes.mid(1, 2),
                 (QStringList{"delete from Employees where ID=1",
                              "delete from Cases where [Assigned To]=1 Or [Opened By] = 1"}));
        // Cases 1 and 2 named John; case 3 is Daniel's alone and stays.
        QCOMPARE(joined("ID", "Cases"), QStringLiteral("3"));
        QCOMPARE(listEntries(ui(editor).assignedToList),
                 QStringList{QStringLiteral("Daniel Carter")});
        QCOMPARE(ui(editor).assignedToList->currentIndex(),
                 -1);  // both employee lists were reloaded
    }

    void twoPeopleOfOneNameAreTakenByPosition() {
        execute(QStringLiteral(
            "insert into Employees ([First Name],[Last Name]) values ('John','Wilson')"));
        addCase(3, 3, 1);  // case 4, John Wilson number 3's
        CaseEditor& editor = openEditor();
        QCOMPARE(listEntries(ui(editor).assignedToList),
                 (QStringList{"Daniel Carter", "John Wilson", "John Wilson"}));
        QCOMPARE(editor.employeeIds(), (QStringList{"2", "1", "3"}));
        select(ui(editor).assignedToList, 2);
        m_prompts.onModal([](QDialog& opened) {
            QCOMPARE(static_cast<ContactEditor&>(opened).m_ID, QStringLiteral("3"));
            opened.reject();
        });
        button(9)->click();
        select(ui(editor).assignedToList, 2);
        m_prompts.answer(Prompts::Answer::Yes);
        button(6)->click();
        QCOMPARE(joined("ID", "Employees"), QStringLiteral("1,2"));
        QCOMPARE(joined("ID", "Cases"), QStringLiteral("1,2,3"));
    }

    void failedCascadeKeepsThePersonAndTheCases() {
        refuseWrites(QStringLiteral("Cases"), QStringLiteral("delete"),
                     QStringLiteral("database is locked"));
        CaseEditor& editor = openEditor();
        select(ui(editor).assignedToList, 0);
        m_prompts.answer(Prompts::Answer::Yes);
        m_prompts.answer(Prompts::Answer::Ok);
        button(6)->click();
        QCOMPARE(m_prompts.boxes().size(), size_t{2});
        QVERIFY(m_prompts.texts()[1].startsWith(QStringLiteral(
            "database is locked\r\nin Casewright2021/08/31.Form2.PushButton6_Click at line 106")));
        QCOMPARE(count(QStringLiteral("Employees")), 2);
        QCOMPARE(count(QStringLiteral("Cases")), 3);
        QCOMPARE(ui(editor).assignedToList->currentIndex(), -1);  // reloaded all the same
    }

    void deletingTheOpenCasesPersonMakesItsSaveSaySo() {
        m_editor = std::make_unique<CaseEditor>(m_prompts, TestEnvironment::programFolder());
        m_editor->m_ID = QStringLiteral("1");
        m_editor->setCaption(QStringLiteral("Edit Data"));
        CaseEditor& editor = *m_editor;
        m_prompts.answer(Prompts::Answer::Yes);
        button(16)->click();  // Combo6 shows case 1's customer, Hanna Simmons
        ui(editor).customerList->setCurrentIndex(0);
        m_prompts.answer(Prompts::Answer::Ok);
        ui(editor).saveButton->click();
        QCOMPARE(m_prompts.texts().last(),
                 QStringLiteral("This case no longer exists; it may have been deleted."));
        QVERIFY(!editor.closed());
    }
};

QTEST_MAIN(TestContactPickers)
#include "test_contact_pickers.moc"
