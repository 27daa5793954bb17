// The start-up check of the database library: the questions and messages, the choice of the
// repair package, its run, and the answer that stops the program.

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <stdexcept>

#include "library_check.h"
#include "runtime_check.h"
#include "scripted_prompts.h"
#include "shell32.h"

namespace {

const QString kRepairQuestion = QStringLiteral(
    "Error #193: ADO is not properly installed on this computer. \r\nYou need to have it "
    "installed to use this software without error.\r\n\r\nWould you like to repair it now?");
const QString kNoRepairMessage = QStringLiteral(
    "Please check for MDAC installation.\r\n\r\nPlease check this: "
    "https://www.orvanta.example/helvarine/repair-libraries/ and look for 'How to obtain this "
    "update' section and download the appropriate update.\r\n\r\nPlease email "
    "support@orvanta.example with a screenshot of this message if you have any questions.");
const QString kStopQuestion = QStringLiteral(
    "ADO is fixed on this computer. \r\nYou need to restart your computer and "
    "software.\r\n\r\nWould you like to stop software now?");

using Answer = Prompts::Answer;
using Buttons = Prompts::Buttons;

}  // namespace

class TestRuntimeCheck : public QObject {
    Q_OBJECT

private:
    ScriptedPrompts m_prompts;
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_programFolder;  // with a blank and a quote, so the package path needs quoting
    QStringList m_runs;       // command and window style of every run
    int m_widthAsked = 0;
    QString m_width;
    bool m_widthFails = false;
    int m_runResult = 0;
    bool m_runFails = false;

    RuntimeCheck check(RuntimeCheck::LibraryWorks libraryWorks) {
        return RuntimeCheck(
            m_prompts, m_programFolder, std::move(libraryWorks),
            [this] {
                ++m_widthAsked;
                if (m_widthFails) {
                    throw std::runtime_error("no processor answered");
                }
                return m_width;
            },
            [this](const QString& command, int style) {
                m_runs << command + QStringLiteral(" / ") + QString::number(style);
                if (m_runFails) {
                    throw std::runtime_error("cannot run");
                }
                return m_runResult;
            });
    }
    RuntimeCheck brokenCheck() {
        return check([] { return false; });
    }

    void writePackage(const QString& name, const QByteArray& script = "exit 0\n") {
        QFile package(m_programFolder + QLatin1Char('/') + name);
        QVERIFY(package.open(QIODevice::WriteOnly));
        package.write(script);
    }
    QString runOf(const QString& name) const {
        return QStringLiteral("/bin/sh ") +
               Shell32::QuoteArgument(m_programFolder + QLatin1Char('/') + name) +
               QStringLiteral(" / 0");
    }

    void expectBoxes(const QStringList& texts) {
        QCOMPARE(m_prompts.texts(), texts);
        for (const ScriptedPrompts::Box& box : m_prompts.boxes()) {
            QCOMPARE(box.buttons, box.text == kNoRepairMessage ? Buttons::Ok : Buttons::YesNo);
            QCOMPARE(box.icon, Prompts::Icon::None);
            QCOMPARE(box.caption, QStringLiteral("Helvarine"));
        }
    }

private Q_SLOTS:
    void init() {
        m_prompts.clear();
        m_prompts.setApplicationTitle(QStringLiteral("Helvarine"));
        m_root = std::make_unique<QTemporaryDir>();
        m_programFolder = m_root->filePath(QStringLiteral("Bob's programs"));
        QVERIFY(QDir().mkpath(m_programFolder));
        m_runs.clear();
        m_widthAsked = 0;
        m_width = QStringLiteral("64");
        m_widthFails = false;
        m_runResult = 0;
        m_runFails = false;
        writePackage(QStringLiteral("ADOFix64.msu"));
        writePackage(QStringLiteral("ADOFix86.msu"));
    }

    void cleanup() { expectNothingUnexpected(m_prompts); }

    void workingLibraryShowsNothing() {
        QVERIFY(LibraryCheck::databaseLibraryWorks());
        QVERIFY(!check({}).repairEndsProgram());  // the real check
        QVERIFY(!check([] { return true; }).repairEndsProgram());
        expectBoxes({});
        QCOMPARE(m_widthAsked, 0);
        QCOMPARE(m_runs, QStringList());
    }

    void brokenLibraryAndNoGoesOn_data() {
        QTest::addColumn<bool>("checkThrows");
        QTest::newRow("check says broken") << false;
        QTest::newRow("check fails") << true;
    }
    void brokenLibraryAndNoGoesOn() {
        QFETCH(bool, checkThrows);
        m_prompts.answer(Answer::No);
        m_prompts.answer(Answer::Ok);
        RuntimeCheck runtime = check([checkThrows]() -> bool {
            if (checkThrows) {
                throw std::runtime_error("library missing");
            }
            return false;
        });
        QVERIFY(!runtime.repairEndsProgram());
        expectBoxes({kRepairQuestion, kNoRepairMessage});
        QCOMPARE(m_widthAsked, 0);
        QCOMPARE(m_runs, QStringList());
    }

    void yesRunsThePackageOfTheAddressWidth_data() {
        QTest::addColumn<QString>("width");
        QTest::addColumn<bool>("widthFails");
        QTest::addColumn<QString>("package");
        QTest::newRow("64") << "64" << false << "ADOFix64.msu";
        QTest::newRow("32") << "32" << false << "ADOFix86.msu";
        QTest::newRow("empty") << "" << false << "ADOFix86.msu";
        QTest::newRow("not exactly 64") << "64 " << false << "ADOFix86.msu";
        QTest::newRow("query fails") << "64" << true << "ADOFix86.msu";
    }
    void yesRunsThePackageOfTheAddressWidth() {
        QFETCH(QString, width);
        QFETCH(bool, widthFails);
        QFETCH(QString, package);
        m_width = width;
        m_widthFails = widthFails;
        m_prompts.answer(Answer::Yes);
        m_prompts.answer(Answer::No);
        QVERIFY(!brokenCheck().repairEndsProgram());
        QCOMPARE(m_widthAsked, 1);
        QCOMPARE(m_runs, QStringList{runOf(package)});
        expectBoxes({kRepairQuestion, kStopQuestion});
    }

    void missingPackageEndsTheRepairSilently_data() {
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("present");
        QTest::newRow("none at all") << "64"
                                     << "";
        QTest::newRow("64-bit, only the 32-bit one") << "64"
                                                     << "ADOFix86.msu";
        QTest::newRow("32-bit, only the 64-bit one") << "32"
                                                     << "ADOFix64.msu";
    }
    void missingPackageEndsTheRepairSilently() {
        QFETCH(QString, width);
        QFETCH(QString, present);
        for (const QString& name :
             {QStringLiteral("ADOFix64.msu"), QStringLiteral("ADOFix86.msu")}) {
            if (name != present) {
                QVERIFY(QFile::remove(m_programFolder + QLatin1Char('/') + name));
            }
        }
        m_width = width;
        m_prompts.answer(Answer::Yes);
        QVERIFY(!brokenCheck().repairEndsProgram());
        expectBoxes({kRepairQuestion});
        QCOMPARE(m_runs, QStringList());
    }

    void stopQuestionFollowsAnyRun_data() {
        QTest::addColumn<int>("runResult");
        QTest::addColumn<bool>("runFails");
        QTest::addColumn<bool>("stop");
        QTest::newRow("succeeded, stop") << 0 << false << true;
        QTest::newRow("succeeded, go on") << 0 << false << false;
        QTest::newRow("package failed, stop") << 1 << false << true;
        QTest::newRow("start failed, stop") << Shell32::kStartErrorOffset + 2 << false << true;
        QTest::newRow("run threw, stop") << 0 << true << true;
        QTest::newRow("run threw, go on") << 0 << true << false;
    }
    void stopQuestionFollowsAnyRun() {
        QFETCH(int, runResult);
        QFETCH(bool, runFails);
        QFETCH(bool, stop);
        m_runResult = runResult;
        m_runFails = runFails;
        m_prompts.answer(Answer::Yes);
        m_prompts.answer(stop ? Answer::Yes : Answer::No);
        QCOMPARE(brokenCheck().repairEndsProgram(), stop);
        expectBoxes({kRepairQuestion, kStopQuestion});
        QCOMPARE(m_runs.size(), 1);
    }

    void packageRunsHiddenWithTheShell() {
        // The real launcher: the package is a script that notes its window style and its path.
        const QString note = m_programFolder + QStringLiteral("/note");
        writePackage(QStringLiteral("ADOFix64.msu"),
                     QByteArray("printf '%s|%s' \"$HELVARINE_WINDOW_STYLE\" \"$0\" > ") +
                         QFile::encodeName(Shell32::QuoteArgument(note)) + '\n');
        RuntimeCheck runtime(
            m_prompts, m_programFolder, [] { return false; }, [] { return QStringLiteral("64"); });
        m_prompts.answer(Answer::Yes);
        m_prompts.answer(Answer::Yes);
        QVERIFY(runtime.repairEndsProgram());
        QFile written(note);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(written.readAll()),
                 QStringLiteral("0|") + m_programFolder + QStringLiteral("/ADOFix64.msu"));
        expectBoxes({kRepairQuestion, kStopQuestion});
    }
};

QTEST_MAIN(TestRuntimeCheck)
#include "test_runtime_check.moc"
