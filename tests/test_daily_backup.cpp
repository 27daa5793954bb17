// The day's backup of the database file: when one is due, what it holds, which are kept, and a
// failure that leaves the program running.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <memory>

#include "case_fixture.h"
#include "case_store.h"
#include "daily_backup.h"
#include "data_paths.h"
#include "main_module.h"
#include "record_set.h"
#include "scripted_prompts.h"
#include "test_environment.h"

class TestDailyBackup : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    ScriptedPrompts m_prompts;
    const QDateTime m_start{QDate(2026, 12, 8), QTime(9, 15, 0)};

    QStringList backupNames() const {
        QStringList names;
        for (const QString& path : DailyBackup(m_env->databaseFile()).backups()) {
            names.append(QFileInfo(path).fileName());
        }
        return names;
    }

private Q_SLOTS:
    void init() {
        m_env = std::make_unique<TestEnvironment>();
        m_env->openDatabase();
        seedCaseDatabase();
        m_prompts.clear();
    }

    void cleanup() {
        m_env.reset();
        expectNothingUnexpected(m_prompts);
    }

    // The copy is a database of its own with the cases as committed, also by other programs.
    void backupOpensWithTheSameCases() {
        QCOMPARE(executeAsOtherTool(m_env->databaseFile(),
                                    QStringLiteral("update Cases set Title='Renamed'")),
                 QString());
        MainModule::BackUpDaily(m_prompts, m_start);
        QCOMPARE(backupNames(), QStringList{"dbData-2026-12-08-091500.mdb"});
        CaseStore copy;
        copy.openFile(DailyBackup(m_env->databaseFile()).backups().first());
        RecordSet rows = copy.query(QStringLiteral("select ID, Title from Cases"));
        QCOMPARE(rows.text(0), QStringLiteral("1"));
        QCOMPARE(rows.text(1), QStringLiteral("Renamed"));
        rows.moveNext();
        QVERIFY(rows.eof());
        QCOMPARE(modeOf(DailyBackup(m_env->databaseFile()).backups().first()), 0660u);
    }

    // One a day: none within 24 hours of the newest, one again after; a clock set back makes one.
    void aBackupIsDueOnceADay() {
        MainModule::BackUpDaily(m_prompts, m_start);
        MainModule::BackUpDaily(m_prompts, m_start.addSecs(23 * 3600 + 3599));
        QCOMPARE(backupNames().size(), 1);
        MainModule::BackUpDaily(m_prompts, m_start.addDays(1));
        QCOMPARE(backupNames().size(), 2);
        MainModule::BackUpDaily(m_prompts, m_start.addDays(-3));
        QCOMPARE(backupNames().size(), 3);
    }

    // With a server the program leaves backups to the server's tools.
    void aServerKeepsItsOwnBackups() {
        qputenv(DataPaths::kServerVariable, "host=/nonexistent/helvarine dbname=cases");
        MainModule::BackUpDaily(m_prompts, m_start);
        qunsetenv(DataPaths::kServerVariable);
        QVERIFY(!QFileInfo::exists(DailyBackup(m_env->databaseFile()).folder()));
    }

    // The newest seven stay; other files in the folder are never touched.
    void theNewestSevenAreKept() {
        const QString folder = DailyBackup(m_env->databaseFile()).folder();
        QVERIFY(QDir().mkpath(folder));
        for (const char* name : {"/notes.txt", "/dbData-old.mdb", "/other-2020-01-01-000000.mdb"}) {
            QFile foreign(folder + QLatin1String(name));
            QVERIFY(foreign.open(QIODevice::WriteOnly));
        }
        for (int day = 0; day < 9; ++day) {
            MainModule::BackUpDaily(m_prompts, m_start.addDays(day));
        }
        QCOMPARE(backupNames().size(), DailyBackup::kKept);
        QCOMPARE(backupNames().first(), QStringLiteral("dbData-2026-12-16-091500.mdb"));
        QCOMPARE(backupNames().last(), QStringLiteral("dbData-2026-12-10-091500.mdb"));
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), DailyBackup::kKept + 3);
    }

    // A backup that cannot be written is reported once, as a warning; the cases stay usable.
    void failureIsReportedAndTheProgramGoesOn() {
        const QString folder = DailyBackup(m_env->databaseFile()).folder();
        QFile blocker(folder);  // a file where the folder would be
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        m_prompts.answer(Prompts::Answer::Ok);
        MainModule::BackUpDaily(m_prompts, m_start);
        QCOMPARE(m_prompts.boxes().size(), size_t{1});
        QCOMPARE(m_prompts.boxes()[0].icon, Prompts::Icon::Warning);
        QVERIFY2(m_prompts.texts()[0].contains(folder) &&
                     m_prompts.texts()[0].endsWith(QStringLiteral(
                         "The cases are safe; the backup will be tried again at the next start.")),
                 qPrintable(m_prompts.texts()[0]));
        execute(QStringLiteral("delete from Cases"));
        QCOMPARE(count(QStringLiteral("Cases")), 0);
    }
};

QTEST_MAIN(TestDailyBackup)
#include "test_daily_backup.moc"
