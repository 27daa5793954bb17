#include "test_environment.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTest>

#include "case_store.h"
#include "globals.h"
#include "record_set.h"
#include "scripted_prompts.h"

TestEnvironment::TestEnvironment() {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    qputenv(Globals::kDataRootVariable, QFile::encodeName(m_root.path()));
    m_settings = std::make_unique<QSettings>(settingsFile(), QSettings::IniFormat);
}

TestEnvironment::~TestEnvironment() {
    closeDatabase();
    qunsetenv(Globals::kDataRootVariable);
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
