// Several people at once: eight case_client processes insert cases and save over shared ones on
// the same database, while some are killed at random and replaced. Afterwards every confirmed
// write is there, and no save overwrote a change it had not read: each case's comments carry its
// history of writes, and every confirmed update stands in it right after the write it read; the
// change log holds every confirmed write.
// The engine is the run's (a file, or the server): the clients reach the same database.

#include <QElapsedTimer>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>
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

struct Update {
    QString id;
    QString read;
    QString written;
};

// Everything the clients confirmed.
struct Confirmations {
    QHash<QString, QString> inserts;  // token -> ID
    std::vector<Update> updates;
    int conflicts = 0;
    QStringList failures;
};

QString readLines(const QByteArray& output, Confirmations& confirmed) {
    static const QRegularExpression inserted(QStringLiteral("^inserted (\\d+) (\\S+)$"));
    static const QRegularExpression updated(QStringLiteral("^updated (\\d+) (\\S+) (\\S+)$"));
    const qsizetype end = output.lastIndexOf('\n');
    if (end < 0) {
        return {};
    }
    for (const QByteArray& bytes : output.left(end).split('\n')) {
        const QString line = QString::fromUtf8(bytes);
        if (const auto match = inserted.match(line); match.hasMatch()) {
            confirmed.inserts.insert(match.captured(2), match.captured(1));
        } else if (const auto update = updated.match(line); update.hasMatch()) {
            confirmed.updates.push_back(
                {update.captured(1), update.captured(2), update.captured(3)});
        } else if (line.startsWith(QLatin1String("conflict "))) {
            ++confirmed.conflicts;
        } else if (line.startsWith(QLatin1String("failed "))) {
            confirmed.failures.append(line);
        } else {
            return QStringLiteral("unreadable line: ") + line;
        }
    }
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
    // Each case's changes as the log holds them: its insert, and the comments each update wrote.
    QHash<QString, QStringList> logged;
    RecordSet changes = store.query(QStringLiteral(
        "select [Row], Action, After from Changes where lower([Table Name]) = 'cases'"));
    while (!changes.eof()) {
        logged[changes.text(0)].append(changes.text(1) + QLatin1Char(' ') + changes.text(2));
        changes.moveNext();
    }
    changes.close();
    for (auto it = confirmed.inserts.cbegin(); it != confirmed.inserts.cend(); ++it) {
        if (logged.value(it.value()).filter(QStringLiteral("insert ")).size() != 1) {
            return QStringLiteral("the insert of case %1 is not logged").arg(it.value());
        }
    }
    for (const Update& update : confirmed.updates) {
        if (logged.value(update.id)
                .filter(QRegularExpression(QStringLiteral("^update .*\\b%1\\b")
                                               .arg(QRegularExpression::escape(update.written))))
                .isEmpty()) {
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

        QRandomGenerator random(kSeed);
        std::vector<std::unique_ptr<QProcess>> clients;
        QList<QByteArray> outputs;
        int started = 0;
        int kills = 0;
        const auto start = [&](size_t slot) {
            auto client = std::make_unique<QProcess>();
            client->start(QStringLiteral(CASE_CLIENT_PATH),
                          {target, QString::number(++started), QString::number(kSharedCases)});
            QVERIFY2(client->waitForStarted(10000), qPrintable(client->errorString()));
            if (slot < clients.size()) {
                clients[slot] = std::move(client);
            } else {
                clients.push_back(std::move(client));
            }
        };
        const auto stop = [&](QProcess& client) {
            client.kill();
            QVERIFY(client.waitForFinished(10000));
            outputs.append(client.readAllStandardOutput());
            QVERIFY2(client.exitStatus() == QProcess::CrashExit,
                     qPrintable(QStringLiteral("a client ended by itself: ") +
                                client.readAllStandardError()));
        };
        for (size_t slot = 0; slot < kClients; ++slot) {
            start(slot);
        }
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < kRunMs) {
            QTest::qWait(random.bounded(100, 600));
            const auto slot = static_cast<size_t>(random.bounded(kClients));
            stop(*clients[slot]);
            ++kills;
            start(slot);
        }
        for (auto& client : clients) {
            stop(*client);
        }

        Confirmations confirmed;
        for (const QByteArray& output : outputs) {
            const QString unreadable = readLines(output, confirmed);
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
        // The clients did work on the shared cases side by side, and met each other there.
        QVERIFY(!confirmed.inserts.isEmpty());
        QVERIFY(!confirmed.updates.empty());
        QVERIFY(confirmed.conflicts > 0);
    }
};

QTEST_GUILESS_MAIN(TestMultiClient)
#include "test_multi_client.moc"
