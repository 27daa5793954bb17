// Several people at once: eight case_client processes insert cases and save over shared ones on
// the same database, while some are killed at random and replaced. Afterwards every confirmed
// write is there, and no save overwrote a change it had not read: each case's comments carry its
// history of writes, and every confirmed update stands in it right after the write it read; the
// change log holds every confirmed write.
// The engine is the run's (a file, or the server): the clients reach the same database.
// With HELVARINE_TEST_FAILOVER (the command that kills the server's primary) the run is a
// failover instead: no client is killed, the primary is, some seconds in, and the clients go on
// on the promoted secondary. Afterwards every confirmed write is there as well, writes were
// confirmed again within 30 s of the kill, and no step of any client waited longer than 30 s.

#include <QElapsedTimer>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "case_fixture.h"
#include "case_store.h"
#include "record_set.h"
#include "test_environment.h"

namespace {

constexpr int kClients = 8;
constexpr int kSharedCases = 12;
constexpr qint64 kRunMs = 10000;
constexpr quint32 kSeed = 20260812;
// A failover run: the primary is killed this far in, and the clients go on long enough after
// the promotion (about 10 s after the kill) to write on the new primary for a while.
constexpr qint64 kFailoverAtMs = 5000;
constexpr qint64 kFailoverRunMs = 35000;
// The longest a step may wait, a failover included.
constexpr qint64 kLongestWaitMs = 30000;

// The machine's monotonic clock in milliseconds, which the clients' "took" lines use too.
qint64 now() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct Update {
    QString id;
    QString read;
    QString written;
};

// One client process: what it printed, and when it was started and killed.
struct ClientRun {
    QByteArray output;
    qint64 startedAt = 0;
    qint64 killedAt = 0;
};

// Everything the clients confirmed, and how long they waited.
struct Confirmations {
    QHash<QString, QString> inserts;  // token -> ID
    std::vector<Update> updates;
    int conflicts = 0;
    QStringList failures;
    QStringList unavailable;
    qint64 longestWaitMs = 0;
    int confirmedAfterFailover = 0;
    qint64 firstConfirmedAfterFailover = 0;  // when the first of them was confirmed
};

// Reads a client's lines; `failoverAt` is when the primary was killed (0: never).
QString readLines(const ClientRun& run, qint64 failoverAt, Confirmations& confirmed) {
    static const QRegularExpression inserted(QStringLiteral("^inserted (\\d+) (\\S+)$"));
    static const QRegularExpression updated(QStringLiteral("^updated (\\d+) (\\S+) (\\S+)$"));
    static const QRegularExpression took(QStringLiteral("^took (\\d+) (\\d+)$"));
    qint64 lastEnd = run.startedAt;
    bool confirmation = false;  // the step that the next "took" ends confirmed a write
    const qsizetype end = run.output.lastIndexOf('\n');
    for (const QByteArray& bytes : run.output.left(std::max<qsizetype>(end, 0)).split('\n')) {
        const QString line = QString::fromUtf8(bytes);
        if (line.isEmpty()) {
            continue;
        }
        if (const auto match = inserted.match(line); match.hasMatch()) {
            confirmed.inserts.insert(match.captured(2), match.captured(1));
            confirmation = true;
        } else if (const auto update = updated.match(line); update.hasMatch()) {
            confirmed.updates.push_back(
                {update.captured(1), update.captured(2), update.captured(3)});
            confirmation = true;
        } else if (const auto step = took.match(line); step.hasMatch()) {
            confirmed.longestWaitMs =
                std::max(confirmed.longestWaitMs, step.captured(1).toLongLong());
            lastEnd = step.captured(2).toLongLong();
            if (confirmation && failoverAt > 0 && lastEnd > failoverAt) {
                ++confirmed.confirmedAfterFailover;
                if (confirmed.firstConfirmedAfterFailover == 0 ||
                    lastEnd < confirmed.firstConfirmedAfterFailover) {
                    confirmed.firstConfirmedAfterFailover = lastEnd;
                }
            }
            confirmation = false;
        } else if (line.startsWith(QLatin1String("conflict "))) {
            ++confirmed.conflicts;
        } else if (line.startsWith(QLatin1String("failed "))) {
            confirmed.failures.append(line);
        } else if (line.startsWith(QLatin1String("unavailable "))) {
            confirmed.unavailable.append(line);
        } else {
            return QStringLiteral("unreadable line: ") + line;
        }
    }
    // The step still running when the client was killed waited too.
    confirmed.longestWaitMs = std::max(confirmed.longestWaitMs, run.killedAt - lastEnd);
    return {};
}

// The empty text when every confirmed write is in the database and in its place.
QString checkDatabase(CaseStore& store, const Confirmations& confirmed) {
    QHash<QString, QStringList> histories;  // ID -> tokens in the order written
    RecordSet rows = store.query(QStringLiteral("select ID, Comments from Cases"));
    while (!rows.eof()) {
        histories.insert(rows.text(0), rows.text(1).split(QLatin1Char(' '), Qt::SkipEmptyParts));
        rows.moveNext();
    }
    rows.close();
    // Each case's changes as the log holds them: how often it was inserted, and the token of
    // each update, which it wrote into the title ("Updated TOKEN") as well as the comments.
    QHash<QString, int> loggedInserts;  // ID -> inserts
    QSet<QString> loggedUpdates;        // "ID TOKEN"
    static const QRegularExpression title(QStringLiteral("\"Updated ([^\"\\s]+)\""));
    RecordSet changes = store.query(QStringLiteral(
        "select [Row], Action, After from Changes where lower([Table Name]) = 'cases'"));
    while (!changes.eof()) {
        if (changes.text(1) == QLatin1String("insert")) {
            ++loggedInserts[changes.text(0)];
        } else if (const auto match = title.match(changes.text(2));
                   changes.text(1) == QLatin1String("update") && match.hasMatch()) {
            loggedUpdates.insert(changes.text(0) + QLatin1Char(' ') + match.captured(1));
        }
        changes.moveNext();
    }
    changes.close();
    for (auto it = confirmed.inserts.cbegin(); it != confirmed.inserts.cend(); ++it) {
        if (loggedInserts.value(it.value()) != 1) {
            return QStringLiteral("the insert of case %1 is not logged").arg(it.value());
        }
    }
    for (const Update& update : confirmed.updates) {
        if (!loggedUpdates.contains(update.id + QLatin1Char(' ') + update.written)) {
            return QStringLiteral("update %1 of case %2 is not logged")
                .arg(update.written, update.id);
        }
    }
    for (auto it = confirmed.inserts.cbegin(); it != confirmed.inserts.cend(); ++it) {
        const QStringList history = histories.value(it.value());
        if (history.isEmpty() || history.first() != it.key()) {
            return QStringLiteral("confirmed insert %1 of case %2 is missing")
                .arg(it.key(), it.value());
        }
    }
    for (const Update& update : confirmed.updates) {
        const QStringList history = histories.value(update.id);
        const qsizetype at = history.indexOf(update.written);
        if (at < 0) {
            return QStringLiteral("confirmed update %1 of case %2 was overwritten unseen: %3")
                .arg(update.written, update.id, history.join(QLatin1Char(' ')));
        }
        if (at == 0 || history[at - 1] != update.read) {
            return QStringLiteral("update %1 of case %2 read %3 but wrote over another write")
                .arg(update.written, update.id, update.read);
        }
        if (history.count(update.written) != 1) {
            return QStringLiteral("update %1 stands twice in case %2")
                .arg(update.written, update.id);
        }
    }
    return {};
}

}  // namespace

class TestMultiClient : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void multipleClients() {
        TestEnvironment environment;
        environment.openDatabase();
        const QString target =
            TestEnvironment::onServer() ? environment.serverDatabase() : environment.databaseFile();
        seedCaseDatabase();
        for (int i = 1; i < kSharedCases; ++i) {
            execute(kInsertStart +
                    "'Shared',1,1,'12/1/2026','Open','General','High','',"
                    "'12/2/2026','KB1',NULL,1,'12/1/2026')");
        }
        // Every shared case starts its history with a token of its own.
        execute(QStringLiteral("update Cases set Comments='seed.'||ID"));

        const QStringList failover =
            QProcess::splitCommand(qEnvironmentVariable("HELVARINE_TEST_FAILOVER"));
        QRandomGenerator random(kSeed);
        std::vector<std::unique_ptr<QProcess>> clients;
        std::vector<qint64> startedAt;
        std::vector<ClientRun> runs;
        int started = 0;
        int kills = 0;
        const auto start = [&](size_t slot) {
            auto client = std::make_unique<QProcess>();
            const qint64 at = now();
            client->start(QStringLiteral(CASE_CLIENT_PATH),
                          {target, QString::number(++started), QString::number(kSharedCases)});
            QVERIFY2(client->waitForStarted(10000), qPrintable(client->errorString()));
            if (slot < clients.size()) {
                clients[slot] = std::move(client);
                startedAt[slot] = at;
            } else {
                clients.push_back(std::move(client));
                startedAt.push_back(at);
            }
        };
        const auto stop = [&](size_t slot) {
            QProcess& client = *clients[slot];
            const qint64 at = now();
            client.kill();
            QVERIFY(client.waitForFinished(10000));
            runs.push_back({client.readAllStandardOutput(), startedAt[slot], at});
            QVERIFY2(client.exitStatus() == QProcess::CrashExit,
                     qPrintable(QStringLiteral("a client ended by itself: ") +
                                client.readAllStandardError()));
        };
        for (size_t slot = 0; slot < kClients; ++slot) {
            start(slot);
        }
        QElapsedTimer clock;
        clock.start();
        qint64 failoverAt = 0;
        if (failover.isEmpty()) {
            while (clock.elapsed() < kRunMs) {
                QTest::qWait(random.bounded(100, 600));
                const auto slot = static_cast<size_t>(random.bounded(kClients));
                stop(slot);
                ++kills;
                start(slot);
            }
        } else {
            QTest::qWait(kFailoverAtMs);
            QProcess killer;
            killer.start(failover.first(), failover.mid(1));
            QVERIFY(killer.waitForFinished(30000));
            QVERIFY2(killer.exitStatus() == QProcess::NormalExit && killer.exitCode() == 0,
                     killer.readAllStandardError().constData());
            failoverAt = now();  // what is confirmed from now on, the new primary confirmed
            QTest::qWait(static_cast<int>(kFailoverRunMs - clock.elapsed()));
        }
        for (size_t slot = 0; slot < clients.size(); ++slot) {
            stop(slot);
        }

        Confirmations confirmed;
        for (const ClientRun& run : runs) {
            const QString unreadable = readLines(run, failoverAt, confirmed);
            QVERIFY2(unreadable.isEmpty(), qPrintable(unreadable));
        }
        environment.closeDatabase();
        CaseStore store;
        if (TestEnvironment::onServer()) {
            store.openServer(target);
        } else {
            store.openFile(target);
            RecordSet integrity = store.query(QStringLiteral("PRAGMA integrity_check"));
            QCOMPARE(integrity.text(0), QStringLiteral("ok"));
        }
        const QString problem = checkDatabase(store, confirmed);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        qInfo(
            "%d clients, %d kills: %lld confirmed inserts, %zu confirmed updates, %d conflicts "
            "detected, %lld refused saves",
            kClients, kills, static_cast<long long>(confirmed.inserts.size()),
            confirmed.updates.size(), confirmed.conflicts,
            static_cast<long long>(confirmed.failures.size()));
        qInfo("longest wait %lld ms, %lld steps without the server",
              static_cast<long long>(confirmed.longestWaitMs),
              static_cast<long long>(confirmed.unavailable.size()));
        // The clients did work on the shared cases side by side, and met each other there.
        QVERIFY(!confirmed.inserts.isEmpty());
        QVERIFY(!confirmed.updates.empty());
        QVERIFY(confirmed.conflicts > 0);
        QVERIFY2(confirmed.longestWaitMs <= kLongestWaitMs,
                 qPrintable(QStringLiteral("a client waited %1 ms").arg(confirmed.longestWaitMs)));
        if (failover.isEmpty()) {
            // Nothing takes the database away: a client that lost it is a fault.
            QVERIFY2(confirmed.unavailable.isEmpty(), qPrintable(confirmed.unavailable.value(0)));
        } else {
            // The clients went on on the promoted secondary, and soon.
            qInfo("%d writes confirmed after the primary was killed, the first %lld ms after",
                  confirmed.confirmedAfterFailover,
                  static_cast<long long>(confirmed.firstConfirmedAfterFailover - failoverAt));
            QVERIFY(confirmed.confirmedAfterFailover > 0);
            QVERIFY(confirmed.firstConfirmedAfterFailover - failoverAt <= kLongestWaitMs);
        }
    }
};

QTEST_GUILESS_MAIN(TestMultiClient)
#include "test_multi_client.moc"
