#include "test_environment.h"

#include <QDir>
#include <QFile>
#include <QLocale>

#include "case_store.h"
#include "globals.h"
#include "record_set.h"

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

QString scalar(const QString& select) {
    RecordSet rows = CaseStore::shared().query(select);
    if (rows.eof()) {
        return QStringLiteral("<no row>");
    }
    return rows.text(0);
}
