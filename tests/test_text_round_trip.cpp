// Any text a user can type, stored through the real windows and their statements, reads back
// unchanged and changes no other row or table: quotes, brackets, "--", ";", "%", "_",
// backslashes, line breaks, tabs, right-to-left and astral characters, and very long texts, in a
// case's title and comments, a person's fields and a lookup value.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>
#include <memory>

#include "case_editor.h"
#include "case_store.h"
#include "contact_editor.h"
#include "multi_line_field.h"
#include "scripted_prompts.h"
#include "test_environment.h"
#include "window_controls.h"

namespace {

// How many generated texts each field kind takes; the README's figure is their sum.
constexpr int kTextsPerKind = 250;

// Texts made of the pieces that break statement texts and display, in random order and length.
class TextGenerator {
public:
    explicit TextGenerator(quint32 seed) : m_random(seed) {}

    QString next(bool lineBreaks) {
        static const QStringList pieces{
            QStringLiteral("'"),       QStringLiteral("''"),
            QStringLiteral("\""),      QStringLiteral("["),
            QStringLiteral("]"),       QStringLiteral("--"),
            QStringLiteral(";"),       QStringLiteral("%"),
            QStringLiteral("_"),       QStringLiteral("\\"),
            QStringLiteral("\t"),      QStringLiteral(" "),
            QStringLiteral("O'Brien"), QStringLiteral("'); drop table Cases; --"),
            QStringLiteral("\u202E"),  QStringLiteral("שלום"),
            QStringLiteral("مرحبا"),   QStringLiteral("😀"),
            QStringLiteral("𝄞"),       QStringLiteral("é"),
            QStringLiteral("\u00A0"),  QStringLiteral("NULL"),
            QStringLiteral("%s%d"),    QStringLiteral("*"),
            QStringLiteral("?"),       QStringLiteral("12/7/2026"),
        };
        const int count = static_cast<int>(m_random.bounded(1, 12));
        QString text;
        for (int i = 0; i < count; ++i) {
            const quint32 choice = m_random.bounded(pieces.size() + 3);
            if (choice < static_cast<quint32>(pieces.size())) {
                text += pieces[static_cast<qsizetype>(choice)];
            } else if (choice == static_cast<quint32>(pieces.size()) && lineBreaks) {
                text += QStringLiteral("\n");
            } else {
                // Any character of the basic plane but the paragraph separator, which a
                // multi-line field cannot tell from a line break.
                auto character = static_cast<char16_t>(m_random.bounded(0x20, 0xD7FF));
                text += QChar(character == 0x2029 ? char16_t{0x2028} : character);
            }
        }
        return text;
    }

private:
    QRandomGenerator m_random;
};

// The content of every table a step may touch, one text a table: Cases, Employees, Customers,
// Status, Categories.
enum Table { Cases, Employees, Customers, Statuses, Categories };
QStringList tables() {
    return {scalar("select group_concat(ID || Title || ifnull(Comments, ''), '|') from Cases"),
            scalar("select group_concat(ID || [First Name] || Notes, '|') from Employees"),
            scalar("select group_concat(ID || [First Name] || [Last Name], '|') from Customers"),
            scalar("select group_concat(Status, '|') from Status"),
            scalar("select group_concat(Category, '|') from Categories")};
}

// The tables but the one a step writes.
QStringList tablesBut(Table written) {
    QStringList content = tables();
    content.removeAt(written);
    return content;
}

}  // namespace

class TestTextRoundTrip : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    ScriptedPrompts m_prompts;

private Q_SLOTS:
    void init() {
        m_env = std::make_unique<TestEnvironment>();
        m_env->openDatabase();
        execute(
            QStringLiteral("insert into Employees ([First Name],[Last Name],Notes) values "
                           "('Kept','Employee','n')"));
        execute(QStringLiteral(
            "insert into Customers ([First Name],[Last Name]) values ('Kept','Customer')"));
        for (const char* table : {"Status", "Categories", "Priorities", "KnowledgeBase"}) {
            execute(QStringLiteral("insert into [%1] values ('Kept')").arg(QLatin1String(table)));
        }
        execute(QStringLiteral(
            "insert into Cases (Title,[Assigned To],[Opened By],[Opened Date],Status,Category,"
            "Priority,Comments,[Due Date],KB,[Resolved Date],Customer,[Call Time]) values "
            "('Kept',1,1,'12/1/2026','Kept','Kept','Kept','kept','12/2/2026','Kept',NULL,1,"
            "'12/1/2026')"));
        m_prompts.clear();
    }

    void cleanup() {
        m_env.reset();
        expectNothingUnexpected(m_prompts);
    }

    void caseTitleAndComments() {
        TextGenerator generator(20261207);
        for (int i = 0; i < kTextsPerKind; ++i) {
            QString title = i == 0 ? QString(100000, QLatin1Char('x')) + QStringLiteral("'")
                                   : generator.next(false);
            if (title.trimmed().isEmpty()) {
                title += QStringLiteral("x");  // a title is required
            }
            const QString comments =
                i == 0 ? QStringLiteral("😀\n").repeated(25000) : generator.next(true);
            const QStringList others = tablesBut(Cases);
            CaseEditor editor(m_prompts, TestEnvironment::programFolder());
            editor.m_ID = QStringLiteral("1");
            editor.setCaption(QStringLiteral("Edit Data"));
            ui(editor).titleField->setText(title);
            ui(editor).commentsField->setPlainText(comments);
            m_prompts.answer(Prompts::Answer::Ok);
            ui(editor).saveButton->click();
            QVERIFY2(editor.closed(), qPrintable(m_prompts.texts().last()));

            CaseEditor again(m_prompts, TestEnvironment::programFolder());
            again.m_ID = QStringLiteral("1");
            again.setCaption(QStringLiteral("Edit Data"));
            QCOMPARE(ui(again).titleField->text(), title);
            QCOMPARE(ui(again).commentsField->storedText(), comments);
            QCOMPARE(scalar("select Title from Cases where ID=1"), title);
            QCOMPARE(tablesBut(Cases), others);
            QCOMPARE(scalar("select count(*) from Cases"), QStringLiteral("1"));
        }
    }

    void personFields() {
        TextGenerator generator(7);
        for (int i = 0; i < kTextsPerKind; ++i) {
            const QStringList others = tablesBut(Customers);
            std::array<QString, 16> values;
            ContactEditor editor(ContactKind::customers(), m_prompts,
                                 TestEnvironment::programFolder());
            editor.m_ID = QStringLiteral("1");
            editor.load();
            for (int field = 1; field <= 16; ++field) {
                QString value = generator.next(field == 16);
                if (field <= 2 && value.trimmed().isEmpty()) {
                    value += QStringLiteral("x");  // first and last name are required
                }
                values[static_cast<size_t>(field - 1)] = value;
                editor.setFieldText(field, value);
            }
            m_prompts.answer(Prompts::Answer::Ok);
            control<QPushButton>(editor, QStringLiteral("PushButton2"))->click();
            QVERIFY2(editor.hasClosed(), qPrintable(m_prompts.texts().last()));
            ContactEditor again(ContactKind::customers(), m_prompts,
                                TestEnvironment::programFolder());
            again.m_ID = QStringLiteral("1");
            again.load();
            for (int field = 1; field <= 16; ++field) {
                QCOMPARE(again.fieldText(field), values[static_cast<size_t>(field - 1)]);
            }
            QCOMPARE(tablesBut(Customers), others);
            QCOMPARE(scalar("select count(*) from Customers"), QStringLiteral("1"));
        }
    }

    void lookupValues() {
        TextGenerator generator(99);
        CaseEditor editor(m_prompts, TestEnvironment::programFolder());
        editor.setCaption(QStringLiteral("Add New Case"));
        for (int i = 0; i < kTextsPerKind; ++i) {
            const QString value = generator.next(false);
            const QStringList others = tablesBut(Categories);
            m_prompts.type(value);
            ui(editor).button(11)->click();  // "+" beside Category
            QVERIFY2(ui(editor).categoryList->findText(
                         value, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0,
                     qPrintable(value));
            QCOMPARE(scalar("select Category from Categories order by rowid desc limit 1"), value);
            QCOMPARE(tablesBut(Categories), others);
        }
        QCOMPARE(scalar("select count(*) from Categories"), QString::number(kTextsPerKind + 1));
        QCOMPARE(scalar("select count(*) from Status"), QStringLiteral("1"));
    }
};

QTEST_MAIN(TestTextRoundTrip)
#include "test_text_round_trip.moc"
