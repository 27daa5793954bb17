// Starting a program and waiting for it: exit codes, failed starts, the window style, the command
// line's words, and the events handled while the program runs.

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <climits>

#include "shell32.h"

Q_DECLARE_METATYPE(std::optional<QStringList>)

namespace {

// A zero timer set before the call: it can only fire when the call handles events. The timer
// goes with the probe, so that one which never fired cannot fire into a later test.
struct EventProbe : QObject {
    bool fired = false;
    EventProbe() {
        QTimer::singleShot(0, this, [this] { fired = true; });
    }
};

}  // namespace

class TestLauncher : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        // A style left over in our own environment must not reach the started program.
        qputenv(Shell32::kWindowStyleVariable, "9");
    }

    void endedProgramGivesItsExitCode_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("success, found on the path") << "true" << 0;
        QTest::newRow("failure") << "false" << 1;
        QTest::newRow("three") << "/bin/sh -c 'exit 3'" << 3;
        QTest::newRow("largest") << "/bin/sh -c 'exit 255'" << 255;
        QTest::newRow("ended by SIGTERM") << "/bin/sh -c 'kill -TERM $$'" << 128 + 15;
    }
    void endedProgramGivesItsExitCode() {
        QFETCH(QString, command);
        QFETCH(int, exitCode);
        EventProbe probe;
        QCOMPARE(Shell32::RunAndWait(command), exitCode);
        QVERIFY2(probe.fired, "no poll handled the pending events");
    }

    void failedStartIsNegativeAtOnce_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("error");
        QTest::newRow("no such path") << "/nonexistent/helvarine-test arg" << ENOENT;
        QTest::newRow("not on the path") << "helvarine-no-such-program" << ENOENT;
        QTest::newRow("empty") << "" << ENOENT;
        QTest::newRow("blanks only") << " \t " << ENOENT;
        QTest::newRow("no shell runs the operators") << "true; exit 5" << ENOENT;
        QTest::newRow("quote never closed") << "/bin/sh -c 'exit 3" << EINVAL;
        QTest::newRow("not executable") << "<plain file>" << EACCES;
    }
    void failedStartIsNegativeAtOnce() {
        QFETCH(QString, command);
        QFETCH(int, error);
        QTemporaryDir folder;
        if (command == QLatin1String("<plain file>")) {
            QFile plain(folder.filePath(QStringLiteral("plain")));
            QVERIFY(plain.open(QIODevice::WriteOnly));
            plain.write("exit 0\n");
            plain.close();
            command = plain.fileName();
        }
        EventProbe probe;
        const int result = Shell32::RunAndWait(command, 0);
        QCOMPARE(result, error - 2147221504);
        QVERIFY(result < 0);
        QVERIFY2(!probe.fired, "a start that failed still waited");
    }

    void windowStyleReachesTheProgram_data() {
        QTest::addColumn<bool>("given");
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("settled");
        QTest::newRow("missing") << false << 0 << 6;
        QTest::newRow("-1") << true << -1 << 6;
        QTest::newRow("7") << true << 7 << 6;
        QTest::newRow("lowest int") << true << INT_MIN << 6;
        QTest::newRow("highest int") << true << INT_MAX << 6;
        QTest::newRow("0 hidden") << true << 0 << 0;
        QTest::newRow("1") << true << 1 << 1;
        QTest::newRow("6") << true << 6 << 6;
    }
    void windowStyleReachesTheProgram() {
        QFETCH(bool, given);
        QFETCH(int, style);
        QFETCH(int, settled);
        const std::optional<int> windowStyle = given ? std::optional<int>(style) : std::nullopt;
        const QString command = QStringLiteral("/bin/sh -c 'exit \"$HELVARINE_WINDOW_STYLE\"'");
        QCOMPARE(Shell32::RunAndWait(command, windowStyle), settled);
    }

    void eventsAreHandledWhileWaiting() {
        // The program waits for a file that only our timer makes, so the call can only return if
        // the timer fired during the wait (bounded at about a minute).
        QTemporaryDir folder;
        const QString go = folder.filePath(QStringLiteral("go"));
        bool fired = false;
        QObject context;  // takes the timer away should the call return without waiting
        QTimer::singleShot(150, &context, [&] {
            fired = true;
            QFile(go).open(QIODevice::WriteOnly);
        });
        const QString command = QStringLiteral(
                                    "/bin/sh -c 'i=0; while [ ! -e \"$1\" ]; do i=$((i+1)); "
                                    "[ $i -gt 600 ] && exit 99; sleep 0.1; done; exit 4' sh ") +
                                Shell32::QuoteArgument(go);
        QCOMPARE(Shell32::RunAndWait(command), 4);
        QVERIFY(fired);
    }

    void wordsArriveUnchanged() {
        const QString command = QStringLiteral(
            "/bin/sh -c '[ $# = 5 ] && [ \"$1\" = \"a b\" ] && [ \"$2\" = \"\\$HOME\" ] && "
            "[ \"$3\" = \"*\" ] && [ -z \"$4\" ] && [ \"$5\" = \"it'\\''s\" ]' "
            "sh \"a b\" $HOME * '' it\\'s");
        QCOMPARE(Shell32::RunAndWait(command), 0);
    }

    void splitCommandLine_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<std::optional<QStringList>>("words");
        using Words = std::optional<QStringList>;
        QTest::newRow("blanks, tabs, line feeds")
            << " prog\ta \n b  " << Words(QStringList{"prog", "a", "b"});
        QTest::newRow("single quotes") << "'a b' c" << Words(QStringList{"a b", "c"});
        QTest::newRow("backslash in single quotes") << "'a\\b\"'" << Words(QStringList{"a\\b\""});
        QTest::newRow("double quotes")
            << "\"a \\\" \\$ \\\\ \\x 'y'\"" << Words(QStringList{"a \" $ \\ \\x 'y'"});
        QTest::newRow("escaped blank") << "a\\ b" << Words(QStringList{"a b"});
        QTest::newRow("quote in quotes") << "'it'\\''s'" << Words(QStringList{"it's"});
        QTest::newRow("empty word") << "'' x \"\"" << Words(QStringList{"", "x", ""});
        QTest::newRow("joined pieces") << "a'b'\"c\"d" << Words(QStringList{"abcd"});
        QTest::newRow("line continuation") << "a\\\nb \"c\\\nd\"" << Words(QStringList{"ab", "cd"});
        QTest::newRow("nothing expanded")
            << "$HOME * ~ a;b" << Words(QStringList{"$HOME", "*", "~", "a;b"});
        QTest::newRow("trailing backslash") << "end\\" << Words(QStringList{"end\\"});
        QTest::newRow("empty") << "" << Words(QStringList());
        QTest::newRow("single quote open") << "a 'b" << Words();
        QTest::newRow("double quote open") << "a \"b\\\"" << Words();
    }
    void splitCommandLine() {
        QFETCH(QString, command);
        QFETCH(std::optional<QStringList>, words);
        QCOMPARE(Shell32::SplitCommandLine(command), words);
    }

    void quotedArgumentSplitsBackWhole_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("plain") << "/usr/lib/helvarine/ADOFix64.msu"
                               << "/usr/lib/helvarine/ADOFix64.msu";
        QTest::newRow("empty") << ""
                               << "''";
        QTest::newRow("blank") << "/opt/My Programs/x"
                               << "'/opt/My Programs/x'";
        QTest::newRow("single quote") << "it's"
                                      << "'it'\\''s'";
        QTest::newRow("shell characters") << "$a`b\\c\"d*e;f\n"
                                          << "'$a`b\\c\"d*e;f\n'";
    }
    void quotedArgumentSplitsBackWhole() {
        QFETCH(QString, argument);
        QFETCH(QString, quoted);
        QCOMPARE(Shell32::QuoteArgument(argument), quoted);
        QCOMPARE(Shell32::SplitCommandLine(QStringLiteral("x ") + quoted),
                 std::optional<QStringList>({QStringLiteral("x"), argument}));
    }
};

QTEST_GUILESS_MAIN(TestLauncher)
#include "test_launcher.moc"
