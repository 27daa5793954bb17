// The change log that the database writes itself: what each change records, who made it and the
// command it belongs to, on the file and on the server; revisions in commit order; databases of
// an earlier version.

#include <libpq-fe.h>

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>
#include <memory>

#include "case_store.h"
#include "main_window.h"
#include "record_set.h"
#include "scripted_prompts.h"
#include "sqlite_change_log.h"
#include "test_environment.h"

namespace {

QString compactJson(const QString& text) {
    if (text.isEmpty()) {
        return QStringLiteral("-");
    }
    const QJsonObject object = QJsonDocument::fromJson(text.toUtf8()).object();
    QStringList parts;
    for (auto it = object.begin(); it != object.end(); ++it) {
        QString value =
            it.value().isNull() ? QStringLiteral("null") : it.value().toVariant().toString();
        value.remove(QLatin1String("T00:00:00"));  // the server's dates carry their midnight
        parts.append(it.key().toLower() + QLatin1Char('=') + value);
    }
    parts.sort();
    return QLatin1Char('{') + parts.join(QLatin1Char(',')) + QLatin1Char('}');
}

qint64 lastRevision() {
    return scalar(QStringLiteral("select coalesce(max(Revision), 0) from Changes")).toLongLong();
}

// The changes after a revision, one line each and alike on both engines: table (lower case), row,
// action, author, command (counted from the first change after `since`), before and after with
// their keys in lower case and in order.
QStringList logged(qint64 since) {
    QStringList lines;
    RecordSet rows = CaseStore::shared().query(
        QStringLiteral("select [Table Name],[Row],Action,[Changed By],Command,Before,After "
                       "from Changes where Revision > %1 order by Revision")
            .arg(since));
    while (!rows.eof()) {
        lines.append(QStringLiteral("%1 %2 %3 by=%4 command=%5 before=%6 after=%7")
                         .arg(rows.text(0).toLower(), rows.text(1), rows.text(2), rows.text(3))
                         .arg(rows.text(4).toLongLong() - since)
                         .arg(compactJson(rows.text(5)), compactJson(rows.text(6))));
        rows.moveNext();
    }
    return lines;
}

// A libpq connection of the test's database, as another desktop holds one.
std::unique_ptr<PGconn, decltype(&PQfinish)> serverConnection(const QString& text) {
    return {PQconnectdb(text.toUtf8().constData()), &PQfinish};
}

bool run(PGconn* connection, const char* statement) {
    PGresult* result = PQexec(connection, statement);
    const bool done = PQresultStatus(result) == PGRES_COMMAND_OK;
    PQclear(result);
    return done;
}

}  // namespace

class TestChangeLog : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;

private Q_SLOTS:
    void init() {
        m_env = std::make_unique<TestEnvironment>();
        m_env->openDatabase();
        execute(QStringLiteral(
            "insert into Employees ([First Name],[Last Name]) values ('John','Wilson')"));
    }

    void cleanup() { m_env.reset(); }

    // Each command of the program is one command of the log: a deletion with its cascade too.
    // Dates stand as the database keeps them; an update keeps only what changed.
    void programChangesAreLoggedByCommand() {
        const qint64 since = lastRevision();
        CaseStore& store = CaseStore::shared();
        store.execute(
            QStringLiteral("insert into Cases (Title,[Assigned To],[Opened Date],Status) values "
                           "('Printer jams',1,'12/1/2026','Open')"));
        store.execute(
            QStringLiteral("update Cases set Title='Printer jams',Status='Closed' where ID=1"));
        store.execute(QStringLiteral("update Cases set Status='Closed' where ID=1"));  // no change
        store.execute(QStringLiteral("insert into [Status] values ('Closed')"));
        store.transaction([&] {
            store.execute(QStringLiteral("delete from Employees where ID=1"));
            store.execute(QStringLiteral("delete from Cases where [Assigned To]=1"));
        });
        const QStringList lines = logged(since);
        const QString by = programAuthor();
        QCOMPARE(lines.size(), 5);
        QVERIFY2(lines[0].startsWith("cases 1 insert by=" + by + " command=1 before=- after={"),
                 qPrintable(lines[0]));
        QVERIFY2(lines[0].contains(",opened date=2026-12-01,"), qPrintable(lines[0]));
        QCOMPARE(lines[1], "cases 1 update by=" + by +
                               " command=2 before={status=Open} after={status=Closed}");
        QCOMPARE(lines[2],
                 "status Closed insert by=" + by + " command=3 before=- after={status=Closed}");
        QVERIFY2(
            lines[3].startsWith("employees 1 delete by=" + by + " command=4 before={address=null,"),
            qPrintable(lines[3]));
        QVERIFY2(lines[4].startsWith("cases 1 delete by=" + by + " command=4 before={"),
                 qPrintable(lines[4]));
        QVERIFY(lines[4].endsWith(",title=Printer jams} after=-"));
    }

    // Another tool's writes are logged too: on the file by the triggers stored in it (SQLite's
    // own functions only, no author), on the server with the login role, which may read the log
    // but not write it.
    void othersChangesAreLoggedWithTheirAuthor() {
        const qint64 since = lastRevision();
        const QString twoRows = QStringLiteral("insert into Status values ('A'), ('B')");
        QString author;
        if (TestEnvironment::onServer()) {
            const QString role =
                QStringLiteral("colleague_%1").arg(QCoreApplication::applicationPid());
            execute(QStringLiteral("create role %1 login in role helvarine_users").arg(role));
            const auto dropRole = qScopeGuard([&] { execute("drop role " + role); });
            auto colleague = serverConnection(m_env->serverDatabase() + " user=" + role);
            QVERIFY(run(colleague.get(), twoRows.toUtf8().constData()));
            QVERIFY(!run(colleague.get(),
                         "insert into changes (revision, \"table name\", action, \"changed at\", "
                         "command) values (999, 'cases', 'delete', now(), 999)"));
            QVERIFY(QByteArray(PQerrorMessage(colleague.get())).contains("permission denied"));
            QVERIFY(!run(colleague.get(), "update change_counter set revision = 0"));
            colleague.reset();
            author = role;
        } else {
            QCOMPARE(executeAsOtherTool(m_env->databaseFile(), twoRows), QString());
        }
        QCOMPARE(
            logged(since),
            (QStringList{"status A insert by=" + author + " command=1 before=- after={status=A}",
                         "status B insert by=" + author + " command=1 before=- after={status=B}"}));
    }

    // Only the team may connect to a database made from the schema: an outsider can neither read
    // nor notify the desktops.
    void onlyTheTeamMayConnect() {
        if (!TestEnvironment::onServer()) {
            QSKIP("a file's readers are the accounts of its group");
        }
        const QString role = QStringLiteral("outsider_%1").arg(QCoreApplication::applicationPid());
        execute(QStringLiteral("create role %1 login").arg(role));
        const auto dropRole = qScopeGuard([&] { execute("drop role " + role); });
        const QString schemaDatabase =
            m_env->serverDatabase().section(QStringLiteral("dbname="), 0, 0) +
            QStringLiteral("dbname=helvarine_template user=") + role;
        auto outsider = serverConnection(schemaDatabase);
        QCOMPARE(PQstatus(outsider.get()), CONNECTION_BAD);
        QVERIFY2(QByteArray(PQerrorMessage(outsider.get())).contains("permission denied"),
                 PQerrorMessage(outsider.get()));
        execute(QStringLiteral("grant helvarine_users to %1").arg(role));
        auto member = serverConnection(schemaDatabase);
        QCOMPARE(PQstatus(member.get()), CONNECTION_OK);
    }

    // Two writers, one holding its transaction open: the other waits for it, so that a reader
    // who has seen revision M never later finds a committed change numbered M or lower.
    void revisionsAreSeenInCommitOrder() {
        if (!TestEnvironment::onServer()) {
            QSKIP("a file has one writer at a time");
        }
        const qint64 since = lastRevision();
        auto first = serverConnection(m_env->serverDatabase());
        auto second = serverConnection(m_env->serverDatabase());
        QVERIFY(run(first.get(), "begin"));
        QVERIFY(run(first.get(), "insert into status values ('first')"));
        QVERIFY(PQsendQuery(second.get(), "insert into status values ('second')") == 1);
        QTest::qWait(300);
        QVERIFY(PQconsumeInput(second.get()) == 1);
        QVERIFY2(PQisBusy(second.get()) == 1, "the second writer went ahead of the first");
        const qint64 seen = lastRevision();
        QCOMPARE(seen, since);
        QVERIFY(run(first.get(), "commit"));
        while (PGresult* result = PQgetResult(second.get())) {
            QCOMPARE(PQresultStatus(result), PGRES_COMMAND_OK);
            PQclear(result);
        }
        const QStringList after = logged(seen);
        QCOMPARE(after.size(), 2);
        QVERIFY(after[0].startsWith(QLatin1String("status first insert")));
        QVERIFY(after[1].startsWith(QLatin1String("status second insert")));
    }

    // A file of the earlier version gets the log when the program opens it; from then on the
    // other tools' writes are logged as well.
    void anEarlierFileGetsTheLogWhenOpened() {
        SKIP_ON_SERVER("the file's own schema version");
        m_env->closeDatabase();
        const QString path = m_env->databaseFile();
        QString downgrade = QStringLiteral("drop table Changes; pragma user_version = 1;");
        for (const char* table : SqliteChangeLog::kLoggedTables) {
            for (const char* event : SqliteChangeLog::kEvents) {
                downgrade +=
                    QStringLiteral("drop trigger [%1];")
                        .arg(QString::fromStdString(SqliteChangeLog::triggerName(table, event)));
            }
        }
        QCOMPARE(executeAsOtherTool(path, downgrade), QString());
        CaseStore::createShared();
        CaseStore::shared().openFile(path);
        QCOMPARE(scalar(QStringLiteral("pragma user_version")), QStringLiteral("2"));
        QCOMPARE(executeAsOtherTool(path, QStringLiteral("insert into Status values ('tool')")),
                 QString());
        execute(QStringLiteral("insert into [Status] values ('program')"));
        QCOMPARE(logged(0),
                 (QStringList{"status tool insert by= command=1 before=- after={status=tool}",
                              "status program insert by=" + programAuthor() +
                                  " command=2 before=- after={status=program}"}));
    }

    // A server schema of the earlier version keeps working; start-up says once which script
    // brings it up to date, and that script does.
    void anEarlierServerSchemaNamesItsScript() {
        if (!TestEnvironment::onServer()) {
            QSKIP("the server's schema is changed by its administrator");
        }
        for (const char* table : SqliteChangeLog::kLoggedTables) {
            for (const char* event : SqliteChangeLog::kEvents) {
                execute(QStringLiteral("drop trigger helvarine_log_%1 on %2")
                            .arg(QLatin1String(event), QLatin1String(table)));
            }
        }
        execute(QStringLiteral("drop function helvarine_log_changes()"));
        execute(QStringLiteral("drop function helvarine_take_revisions(bigint)"));
        execute(QStringLiteral("drop function helvarine_schema_version()"));
        execute(QStringLiteral("drop table changes"));
        execute(QStringLiteral("drop table change_counter"));
        m_env->closeDatabase();

        ScriptedPrompts prompts;
        QSettings settings(m_env->settingsFile(), QSettings::IniFormat);
        prompts.answer(Prompts::Answer::Ok);
        MainWindow form(prompts, settings, TestEnvironment::programFolder());
        form.load();
        QCOMPARE(prompts.boxes().size(), size_t{1});
        QCOMPARE(prompts.boxes()[0].icon, Prompts::Icon::Warning);
        const QString database = m_env->serverDatabase().section(QStringLiteral("dbname="), 1);
        QVERIFY2(prompts.texts()[0].endsWith("psql -d " + database +
                                             " -v ON_ERROR_STOP=1 -f upgrade-postgresql-2.sql"),
                 qPrintable(prompts.texts()[0]));
        execute(QStringLiteral("insert into [Status] values ('kept')"));  // the program works
        form.shutDown();
        expectNothingUnexpected(prompts);

        QProcess psql;
        psql.start(
            QStringLiteral("psql"),
            {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-v"),
             QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-d"), m_env->serverDatabase(),
             QStringLiteral("-f"), QStringLiteral(HELVARINE_UPGRADE_SCRIPT)});
        QVERIFY(psql.waitForFinished(30000));
        QVERIFY2(psql.exitCode() == 0, psql.readAllStandardError().constData());
        CaseStore::createShared();
        CaseStore::shared().open(m_env->serverDatabase());
        QCOMPARE(CaseStore::shared().upgradeNeeded(), QString());
        execute(QStringLiteral("insert into [Status] values ('logged')"));
        QCOMPARE(logged(0), QStringList{"status logged insert by=postgres command=1 before=- "
                                        "after={status=logged}"});
    }
};

QTEST_MAIN(TestChangeLog)
#include "test_change_log.moc"
