#include "test_environment.h"

#include <libpq-fe.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QTest>

#include "account.h"
#include "case_store.h"
#include "data_paths.h"
#include "failure.h"
#include "globals.h"
#include "record_set.h"
#include "scripted_prompts.h"

TestEnvironment::TestEnvironment() {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    qputenv(Globals::kDataRootVariable, QFile::encodeName(m_root.path()));
    m_settings = std::make_unique<QSettings>(settingsFile(), QSettings::IniFormat);
}

namespace {

// Runs one statement as the server's administrator; fails the test with the server's message.
void administer(const QByteArray& statement) {
    const QByteArray server = qgetenv("HELVARINE_TEST_DATABASE") + " dbname=postgres";
    PGconn* connection = PQconnectdb(server.constData());
    PGresult* result = PQexec(connection, statement.constData());
    const bool done = PQresultStatus(result) == PGRES_COMMAND_OK;
    const QByteArray message = PQerrorMessage(connection);
    PQclear(result);
    PQfinish(connection);
    QVERIFY2(done, message.constData());
}

}  // namespace

TestEnvironment::~TestEnvironment() {
    closeDatabase();
    if (!m_databaseName.isEmpty()) {
        administer("DROP DATABASE IF EXISTS " + m_databaseName.toUtf8() + " WITH (FORCE)");
    }
    qunsetenv(DataPaths::kServerVariable);
    qunsetenv(Globals::kDataRootVariable);
}

bool TestEnvironment::onServer() {
    return qgetenv("HELVARINE_TEST_ENGINE") == "postgresql";
}

QString TestEnvironment::programFolder() {
    return QStringLiteral(HELVARINE_PROGRAM_DIR);
}

QString TestEnvironment::databaseFile() const {
    return m_root.path() + QStringLiteral("/Orvanta/Helvarine/dbData.mdb");
}

void TestEnvironment::reopenSettings() {
    m_settings->sync();
    m_settings = std::make_unique<QSettings>(settingsFile(), QSettings::IniFormat);
}

void TestEnvironment::openDatabase() {
    if (onServer()) {
        static int made = 0;
        m_databaseName =
            QStringLiteral("test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
        administer("CREATE DATABASE " + m_databaseName.toUtf8() + " TEMPLATE helvarine_template");
        m_serverDatabase = qEnvironmentVariable("HELVARINE_TEST_DATABASE") +
                           QStringLiteral(" dbname=") + m_databaseName;
        qputenv(DataPaths::kServerVariable, m_serverDatabase.toUtf8());
        CaseStore::createShared();
        CaseStore::shared().open(m_serverDatabase);
        return;
    }
    QDir().mkpath(m_root.path() + QStringLiteral("/Orvanta/Helvarine"));
    if (!QFile::exists(databaseFile())) {
        QFile::copy(templateFile(), databaseFile());
        QFile::setPermissions(databaseFile(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    CaseStore::createShared();
    CaseStore::shared().openFile(databaseFile());
}

void TestEnvironment::closeDatabase() {
    if (CaseStore::hasShared()) {
        CaseStore::releaseShared();
    }
}

QString executeAsOtherTool(const QString& path, const QString& sql) {
    sqlite3* db = nullptr;
    QString error;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
            SQLITE_OK ||
        sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        error = db != nullptr ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("no memory");
    }
    sqlite3_close(db);
    return error;
}

QString programAuthor() {
    return TestEnvironment::onServer() ? QStringLiteral("postgres") : Account::name();
}

QString executeAsAnotherUser(const TestEnvironment& environment, const QString& statement) {
    if (!TestEnvironment::onServer()) {
        return executeAsOtherTool(environment.databaseFile(), statement);
    }
    try {
        CaseStore other;
        other.openServer(environment.serverDatabase());
        other.execute(statement);
    } catch (const Failure& failure) {
        return failure.description();
    }
    return {};
}

void refuseWrites(const QString& table, const QString& kind, const QString& message) {
    if (!TestEnvironment::onServer()) {
        execute(QStringLiteral("create trigger refuse before %1 on %2 "
                               "begin select raise(abort, '%3'); end")
                    .arg(kind, table, message));
        return;
    }
    execute(QStringLiteral("create or replace function refuse() returns trigger language plpgsql "
                           "as $$ begin raise exception '%1'; end $$")
                .arg(message));
    execute(QStringLiteral("create trigger refuse before %1 on %2 for each row "
                           "execute function refuse()")
                .arg(kind, table));
}

void allowWrites(const QString& table) {
    execute(TestEnvironment::onServer() ? QStringLiteral("drop trigger refuse on ") + table
                                        : QStringLiteral("drop trigger refuse"));
}

QString engineSays(const QString& fileMessage) {
    if (!TestEnvironment::onServer()) {
        return fileMessage;
    }
    static const QHash<QString, QString> server{
        {QStringLiteral("no such table: Nope"), QStringLiteral("relation \"nope\" does not exist")},
        {QStringLiteral("no such column: abc"), QStringLiteral("column \"abc\" does not exist")},
        {QStringLiteral("no such table: Cases Extended"),
         QStringLiteral("relation \"cases extended\" does not exist")},
        {QStringLiteral("Characters found after end of SQL statement."),
         QStringLiteral("cannot insert multiple commands")}};
    return server.value(fileMessage, fileMessage);
}

QString joined(const QString& column, const QString& from) {
    return scalar(
        TestEnvironment::onServer()
            ? QStringLiteral("select string_agg(cast(%1 as text), ',') from %2").arg(column, from)
            : QStringLiteral("select group_concat(%1) from %2").arg(column, from));
}

unsigned modeOf(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

unsigned groupOf(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_gid : ~0u;
}

QString scalar(const QString& select) {
    RecordSet rows = CaseStore::shared().query(select);
    if (rows.eof()) {
        return QStringLiteral("<no row>");
    }
    return rows.text(0);
}

void execute(const QString& statement) {
    CaseStore::shared().execute(statement);
}

int count(const QString& from) {
    return scalar(QStringLiteral("select count(*) from ") + from).toInt();
}

QStringList listEntries(const QComboBox* list) {
    QStringList entries;
    for (int i = 0; i < list->count(); ++i) {
        entries.append(list->itemText(i));
    }
    return entries;
}

void pick(QComboBox* list, const QString& text) {
    const int index = list->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    list->setCurrentIndex(index);
}

namespace {

int lineOf(const QString& text) {
    static const QRegularExpression line(QStringLiteral("at line (\\d+)\r\r"));
    const QRegularExpressionMatch match = line.match(text);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

}  // namespace

QList<int> errorLines(const ScriptedPrompts& prompts) {
    QList<int> lines;
    for (const ScriptedPrompts::Box& box : prompts.boxes()) {
        if (box.caption == QStringLiteral("Application Error")) {
            lines.append(lineOf(box.text));
        }
    }
    return lines;
}

QList<int> boxLines(const ScriptedPrompts& prompts) {
    QList<int> lines;
    for (const ScriptedPrompts::Box& box : prompts.boxes()) {
        lines.append(lineOf(box.text));
    }
    return lines;
}

QStringList writesAmong(const QStringList& statements) {
    QStringList writes;
    for (const QString& statement : statements) {
        if (!statement.startsWith(QStringLiteral("select"), Qt::CaseInsensitive)) {
            writes.append(statement);
        }
    }
    return writes;
}
