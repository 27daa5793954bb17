// A program killed in the middle of its work never leaves a damaged database and never loses a
// write the database confirmed: case_writer inserts and updates cases with the case editor's own
// statements and is killed with SIGKILL at a random moment, over and over.

#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>
#include <memory>

#include "case_store.h"
#include "record_set.h"
#include "test_environment.h"

namespace {

constexpr int kKills = 100;
constexpr qint64 kTimeBudgetMs = 45000;
constexpr quint32 kSeed = 20210831;

// What the runs so far confirmed for one case: the number of its title, and whether its update
// was confirmed too.
struct Confirmed {
    qlonglong number = 0;
    bool updated = false;
};

// Reads the complete lines a run printed into the confirmations; an unfinished last line (the
// kill came in the middle of printing it) confirms nothing.
QString readConfirmations(const QByteArray& output, QHash<qlonglong, Confirmed>& confirmed,
                          int& inserts, int& updates) {
    static const QRegularExpression line(QStringLiteral("^(inserted|updated) (\\d+) (\\d+)$"));
    const qsizetype end = output.lastIndexOf('\n');
    if (end < 0) {
        return {};
    }
    const QList<QByteArray> lines = output.left(end).split('\n');
    for (const QByteArray& bytes : lines) {
        const QString text = QString::fromLatin1(bytes);
        const auto match = line.match(text);
        if (!match.hasMatch()) {
            return QStringLiteral("unreadable line: ") + text;
        }
        const qlonglong number = match.captured(2).toLongLong();
        const qlonglong id = match.captured(3).toLongLong();
        if (match.captured(1) == QLatin1String("inserted")) {
            if (confirmed.contains(id)) {
                return QStringLiteral("case %1 was inserted twice").arg(id);
            }
            confirmed.insert(id, {number, false});
            ++inserts;
        } else {
            const auto found = confirmed.find(id);
            if (found == confirmed.end() || found->number != number || found->updated) {
                return QStringLiteral("update of case %1 without its insert: ").arg(id) + text;
            }
            found->updated = true;
            ++updates;
        }
    }
    return {};
}

// Opens the file as the next start of the program would and checks it: the file is whole, every
// confirmed insert is there, every confirmed update has its title, and every row is one that a
// writer made completely. Gives the empty text when all holds, otherwise what does not.
QString checkDatabase(const QString& path, const QHash<qlonglong, Confirmed>& confirmed) {
    CaseStore store;
    store.openFile(path);
    RecordSet integrity = store.query(QStringLiteral("PRAGMA integrity_check"));
    const QString verdict = integrity.eof() ? QStringLiteral("no answer") : integrity.text(0);
    integrity.close();
    if (verdict != QLatin1String("ok")) {
        return QStringLiteral("integrity_check: ") + verdict;
    }
    static const QRegularExpression title(QStringLiteral("^(Case|Updated) (\\d+)$"));
    QHash<qlonglong, QString> titles;
    RecordSet rows = store.query(QStringLiteral("select ID, Title, [Opened Date] from Cases"));
    while (!rows.eof()) {
        const qlonglong id = rows.value(0).toLongLong();
        const QString text = rows.text(1);
        if (!title.match(text).hasMatch() || rows.value(2).typeId() != QMetaType::QDateTime) {
            return QStringLiteral("case %1 is not a whole case: %2").arg(id).arg(text);
        }
        titles.insert(id, text);
        rows.moveNext();
    }
    rows.close();
    for (auto it = confirmed.cbegin(); it != confirmed.cend(); ++it) {
        const auto found = titles.constFind(it.key());
        if (found == titles.cend()) {
            return QStringLiteral("confirmed case %1 is missing").arg(it.key());
        }
        const QString updated = QStringLiteral("Updated %1").arg(it->number);
        const QString inserted = QStringLiteral("Case %1").arg(it->number);
        // An update that committed just before the kill may not have been printed yet.
        if (*found != updated && (it->updated || *found != inserted)) {
            return QStringLiteral("case %1 is titled '%2', confirmed as '%3'")
                .arg(it.key())
                .arg(*found, it->updated ? updated : inserted);
        }
    }
    store.close();
    return {};
}

}  // namespace

class TestCrashSafety : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void killedWriterLeavesAWholeDatabaseWithEveryConfirmedWrite() {
        TestEnvironment environment;
        environment.openDatabase();
        for (const char* person : {"'John','Wilson'", "'Daniel','Carter'"}) {
            execute(QStringLiteral("insert into Employees ([First Name],[Last Name]) values (%1)")
                        .arg(QLatin1String(person)));
        }
        execute(QStringLiteral(
            "insert into Customers ([First Name],[Last Name]) values ('Hanna','Simmons')"));
        for (const char* table : {"Status", "Categories", "Priorities", "KnowledgeBase"}) {
            execute(QStringLiteral("insert into [%1] values ('First of %1')")
                        .arg(QLatin1String(table)));
        }
        environment.closeDatabase();
        const QString path = environment.databaseFile();

        QRandomGenerator random(kSeed);
        QHash<qlonglong, Confirmed> confirmed;
        int kills = 0;
        int inserts = 0;
        int updates = 0;
        int interrupted = 0;  // kills that came in the middle of a write: a journal is left
        qlonglong nextNumber = 1;
        QElapsedTimer clock;
        clock.start();
        while (kills < kKills && clock.elapsed() < kTimeBudgetMs) {
            QProcess writer;
            writer.start(QStringLiteral(CASE_WRITER_PATH), {path, QString::number(nextNumber)});
            QVERIFY2(writer.waitForStarted(10000), qPrintable(writer.errorString()));
            QByteArray output;
            // Runs until its first confirmation, then a random short time more.
            QElapsedTimer wait;
            wait.start();
            while (!output.contains('\n') && writer.state() == QProcess::Running &&
                   wait.elapsed() < 10000) {
                writer.waitForReadyRead(100);
                output += writer.readAllStandardOutput();
            }
            QVERIFY2(output.contains('\n'), qPrintable(QStringLiteral("no confirmation: ") +
                                                       writer.readAllStandardError()));
            const int runFor = random.bounded(5, 61);
            wait.restart();
            while (wait.elapsed() < runFor && writer.state() == QProcess::Running) {
                writer.waitForReadyRead(
                    static_cast<int>(std::max<qint64>(1, runFor - wait.elapsed())));
                output += writer.readAllStandardOutput();
            }
            writer.kill();  // SIGKILL: the writer gets no chance to finish anything
            QVERIFY(writer.waitForFinished(10000));
            output += writer.readAllStandardOutput();
            // The writer never ends by itself: anything else is a failure of its own.
            QVERIFY2(writer.exitStatus() == QProcess::CrashExit,
                     qPrintable(QStringLiteral("the writer ended by itself: ") +
                                writer.readAllStandardError()));
            ++kills;
            const QString unreadable = readConfirmations(output, confirmed, inserts, updates);
            QVERIFY2(unreadable.isEmpty(), qPrintable(unreadable));
            nextNumber += output.count('\n') + 1;
            if (QFileInfo::exists(path + QStringLiteral("-journal"))) {
                ++interrupted;
            }
            const QString problem = checkDatabase(path, confirmed);
            QVERIFY2(problem.isEmpty(),
                     qPrintable(QStringLiteral("after kill %1: ").arg(kills) + problem));
        }
        qInfo(
            "kill test: %d kills (%d in the middle of a write), %d confirmed inserts, %d "
            "confirmed updates, %.1f s (seed %u)",
            kills, interrupted, inserts, updates, static_cast<double>(clock.elapsed()) / 1000.0,
            kSeed);
        QVERIFY2(kills >= kKills,
                 qPrintable(QStringLiteral("only %1 kills within the time budget").arg(kills)));
        // Every run confirmed at least its first insert.
        QVERIFY(inserts >= kills);
    }
};

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "test_crash_safety.moc"
