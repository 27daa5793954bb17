// The error box and the error trap: the exact report text, the resume-next rules, and the
// application's net for failures that escape a handler without a trap.

#include <QTest>
#include <QWidget>

#include "error_box.h"
#include "error_trap.h"
#include "guarded_application.h"
#include "scripted_prompts.h"

namespace {

const QString kSupportLine =
    QStringLiteral("Please email screenshot of this message to support@orvanta.example");

void fail(const char* description) {
    throw Failure(QString::fromLatin1(description));
}

// A widget whose resize handler has no trap and fails.
class FailingWidget : public QWidget {
public:
    explicit FailingWidget(Prompts& prompts) : m_prompts(prompts) {}
    bool failing = false;

protected:
    void resizeEvent(QResizeEvent*) override {
        untrapped(m_prompts, QStringLiteral("Form1"), QStringLiteral("Form_Resize"), [this] {
            if (failing) {
                fail("Invalid procedure call or argument");
            }
        });
    }

private:
    Prompts& m_prompts;
};

// A widget whose handler of some event lets a failure escape into the event delivery.
class EscapingWidget : public QWidget {
public:
    static constexpr QEvent::Type kFailingEvent = QEvent::User;

protected:
    bool event(QEvent* event) override {
        if (event->type() == kFailingEvent) {
            throw std::runtime_error("plain failure");
        }
        return QWidget::event(event);
    }
};

}  // namespace

class TestErrorTrap : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { m_prompts.clear(); }

    void errorBoxHasTheExactText() {
        QCOMPARE(::errorBoxText(QStringLiteral("File not found"),
                                QStringLiteral("in Casewright2021/08/31.Form1.Form_Load "), 144),
                 QStringLiteral("File not found\r\nin Casewright2021/08/31.Form1.Form_Load at line "
                                "144\r\r") +
                     kSupportLine);
    }

    void errorBoxLooks() {
        m_prompts.answer(Prompts::Answer::Ok);
        ErrorBox(m_prompts, QStringLiteral("x"),
                 procedureLocation(QStringLiteral("Form2"), QStringLiteral("LoadKB")), 100);
        QCOMPARE(m_prompts.boxes().size(), size_t{1});
        const auto& box = m_prompts.boxes().front();
        QCOMPARE(box.caption, QStringLiteral("Application Error"));
        QCOMPARE(box.icon, Prompts::Icon::Warning);
        QCOMPARE(box.buttons, Prompts::Buttons::Ok);
        QVERIFY(
            box.text.contains(QStringLiteral("in Casewright2021/08/31.Form2.LoadKB at line 100")));
    }

    void captionIsTheApplicationTitleUnlessNamed() {
        m_prompts.setApplicationTitle(QStringLiteral("Helvarine"));
        m_prompts.answer(Prompts::Answer::Ok);
        m_prompts.inform(QStringLiteral("Record Successfully Saved"));
        QCOMPARE(m_prompts.boxes().front().caption, QStringLiteral("Helvarine"));
        QCOMPARE(m_prompts.boxes().front().icon, Prompts::Icon::None);
    }

    void failureInFirstLineNamesLine100() {
        ErrorTrap trap{m_prompts, QStringLiteral("Form1"), QStringLiteral("PushButton6_Click")};
        m_prompts.answer(Prompts::Answer::Ok);
        trap.at(100, [] { fail("Object required"); });
        QCOMPARE(m_prompts.texts(),
                 QStringList{QStringLiteral("Object required\r\nin Casewright2021/08/31.Form1."
                                            "PushButton6_Click at line 100\r\r") +
                             kSupportLine});
    }

    void goesOnAfterAFailureAndReportsEachOne() {
        ErrorTrap trap{m_prompts, QStringLiteral("Form2"), QStringLiteral("Form_Load")};
        QStringList ran;
        m_prompts.answer(Prompts::Answer::Ok);
        m_prompts.answer(Prompts::Answer::Ok);
        trap.at(100, [&] { ran << QStringLiteral("100"); });
        trap.at(102, [&] { fail("first"); });
        trap.at(104, [&] { ran << QStringLiteral("104"); });
        trap.at(106, [&] { fail("second"); });
        trap.at(108, [&] { ran << QStringLiteral("108"); });
        QCOMPARE(ran, (QStringList{QStringLiteral("100"), QStringLiteral("104"),
                                   QStringLiteral("108")}));
        QCOMPARE(m_prompts.boxes().size(), size_t{2});
        QVERIFY(m_prompts.texts()[0].startsWith(QStringLiteral("first\r\n")));
        QVERIFY(m_prompts.texts()[0].contains(QStringLiteral("at line 102\r\r")));
        QVERIFY(m_prompts.texts()[1].startsWith(QStringLiteral("second\r\n")));
        QVERIFY(m_prompts.texts()[1].contains(QStringLiteral("at line 106\r\r")));
    }

    void failingIfConditionLeadsIntoTheGuardedStatements() {
        ErrorTrap trap{m_prompts, QStringLiteral("Form2"), QStringLiteral("Form_Load")};
        m_prompts.answer(Prompts::Answer::Ok);
        bool guardedRan = false;
        if (trap.trueOrFailed(126,
                              []() -> bool { throw Failure(QStringLiteral("Type mismatch")); })) {
            trap.at(128, [&] { guardedRan = true; });
        }
        QVERIFY(guardedRan);
        QVERIFY(m_prompts.texts().front().contains(QStringLiteral("at line 126")));
        // A condition that holds or does not hold decides as usual, without a box.
        QVERIFY(!trap.trueOrFailed(130, [] { return false; }));
        QVERIFY(trap.trueOrFailed(132, [] { return true; }));
        QCOMPARE(m_prompts.boxes().size(), size_t{1});
    }

    void loopRunsWhileItsConditionHolds() {
        ErrorTrap trap{m_prompts, QStringLiteral("Form2"), QStringLiteral("LoadStatus")};
        int row = 0;
        QStringList added;
        trap.loop(
            106, [&] { return row < 3; },
            [&] {
                trap.at(108, [&] { added << QString::number(row); });
                trap.at(110, [&] { ++row; });
            });
        QCOMPARE(added,
                 (QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")}));
        QVERIFY(m_prompts.boxes().empty());
    }

    void loopWhoseConditionFailsRunsItsBodyOnceAndIsLeft() {
        ErrorTrap trap{m_prompts, QStringLiteral("Form2"), QStringLiteral("LoadStatus")};
        int passes = 0;
        m_prompts.answer(Prompts::Answer::Ok);  // the condition
        m_prompts.answer(Prompts::Answer::Ok);  // the failing body statement
        trap.loop(
            106, []() -> bool { throw Failure(QStringLiteral("closed")); },
            [&] {
                ++passes;
                trap.at(108, [] { fail("no current row"); });
            });
        trap.at(112, [&] { ++passes; });
        QCOMPARE(passes, 2);
        QCOMPARE(m_prompts.boxes().size(), size_t{2});
        QVERIFY(m_prompts.texts()[0].contains(QStringLiteral("at line 106")));
        QVERIFY(m_prompts.texts()[1].contains(QStringLiteral("at line 108")));
    }

    void bodyFailureGoesOnWithTheNextPass() {
        ErrorTrap trap{m_prompts, QStringLiteral("Form3"), QStringLiteral("LoadOpenedCases")};
        int row = 0;
        int cellsFilled = 0;
        for (int i = 0; i < 3; ++i) {
            m_prompts.answer(Prompts::Answer::Ok);
        }
        trap.loop(
            106, [&] { return row < 3; },
            [&] {
                trap.at(110, [] { fail("Invalid use of Null"); });
                trap.at(112, [&] { ++cellsFilled; });
                trap.at(126, [&] { ++row; });
            });
        QCOMPARE(cellsFilled, 3);
        QCOMPARE(m_prompts.boxes().size(), size_t{3});
    }

    void failureInsideAnUntrappedCalleeNamesTheCallersLine() {
        ErrorTrap trap{m_prompts, QStringLiteral("Form1"), QStringLiteral("Form_Load")};
        m_prompts.answer(Prompts::Answer::Ok);
        const auto loadCases = [] { fail("no such table: Cases"); };
        trap.at(178, loadCases);
        QVERIFY(m_prompts.texts().front().startsWith(QStringLiteral(
            "no such table: Cases\r\nin Casewright2021/08/31.Form1.Form_Load at line 178")));
    }

    void standardExceptionsAreReportedToo() {
        ErrorTrap trap{m_prompts, QStringLiteral("Form1"), QStringLiteral("Form_Load")};
        m_prompts.answer(Prompts::Answer::Ok);
        trap.at(100, [] { throw std::runtime_error("disk full"); });
        QVERIFY(m_prompts.texts().front().startsWith(QStringLiteral("disk full\r\n")));
    }

    void untrappedHandlerReportsWithItsNameAndGoesOn() {
        m_prompts.answer(Prompts::Answer::Ok);
        FailingWidget widget(m_prompts);
        widget.resize(100, 100);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        widget.failing = true;
        widget.resize(200, 150);  // the resize handler fails; the program goes on
        QTRY_COMPARE(m_prompts.boxes().size(), size_t{1});
        QVERIFY(m_prompts.texts().front().startsWith(QStringLiteral(
            "Invalid procedure call or argument\r\nin Casewright2021/08/31.Form1.Form_Resize ")));
        QVERIFY(m_prompts.texts().front().contains(QStringLiteral("at line 0\r\r")));
        QCOMPARE(m_prompts.boxes().front().caption, QStringLiteral("Application Error"));
        QVERIFY(widget.isVisible());
    }

    void failureEscapingTheDeliveryNamesTheWindow() {
        auto* application = static_cast<GuardedApplication*>(QCoreApplication::instance());
        application->setPrompts(&m_prompts);
        m_prompts.answer(Prompts::Answer::Ok);
        EscapingWidget widget;
        widget.setObjectName(QStringLiteral("Form4"));
        QEvent failing(EscapingWidget::kFailingEvent);
        QCoreApplication::sendEvent(&widget, &failing);
        QCOMPARE(m_prompts.boxes().size(), size_t{1});
        QVERIFY(m_prompts.texts().front().startsWith(
            QStringLiteral("plain failure\r\nin Casewright2021/08/31.Form4.Form4 at line 0")));
        application->setPrompts(nullptr);
    }

    void cleanup() { expectNothingUnexpected(m_prompts); }

private:
    ScriptedPrompts m_prompts;
};

int main(int argc, char** argv) {
    GuardedApplication application(argc, argv);
    TestErrorTrap test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_error_trap.moc"
