#include "database_access.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include "account.h"
#include "connection_text.h"
#include "data_paths.h"
#include "postgres_engine.h"

namespace DatabaseAccess {

namespace {

QString groupName(gid_t group) {
    const struct group* entry = ::getgrgid(group);
    return entry != nullptr ? QString::fromLocal8Bit(entry->gr_name) : QString::number(group);
}

// True when the system's list of groups makes the account a member of the group, whether or
// not this session has the membership yet (it has only after a new login).
bool listedInGroup(gid_t group) {
    const passwd* account = ::getpwuid(::geteuid());
    if (account == nullptr) {
        return false;
    }
    if (account->pw_gid == group) {
        return true;
    }
    const struct group* entry = ::getgrgid(group);
    if (entry == nullptr) {
        return false;
    }
    for (char* const* member = entry->gr_mem; *member != nullptr; ++member) {
        if (QByteArray(*member) == QByteArray(account->pw_name)) {
            return true;
        }
    }
    return false;
}

bool usable(const QByteArray& path, int mode) {
    return ::faccessat(AT_FDCWD, path.constData(), mode, AT_EACCESS) == 0;
}

QString folderExplanation() {
    const QString folder = DataPaths::productFolder();
    const QByteArray native = QFile::encodeName(folder);
    const QString account = Account::name();
    struct stat info {};
    if (::stat(native.constData(), &info) != 0) {
        if (errno != ENOENT || usable(QFile::encodeName(DataPaths::makerFolder()), W_OK | X_OK)) {
            return {};
        }
        return QStringLiteral(
                   "The data folder %1 has not been set up on this computer, and the account %2 "
                   "may not make it. An administrator sets it up by installing Helvarine's "
                   "package.")
            .arg(folder, account);
    }
    const QString database = DataPaths::databaseFile();
    if (usable(native, R_OK | W_OK | X_OK)) {
        const QByteArray file = QFile::encodeName(database);
        if (!QFileInfo::exists(database) || usable(file, R_OK | W_OK)) {
            return {};
        }
        return QStringLiteral(
                   "The account %1 may not read and write the database %2. An administrator "
                   "gives it to the folder's group with\n\n    sudo chgrp %3 %2\n    sudo chmod "
                   "660 %2")
            .arg(account, database, groupName(info.st_gid));
    }
    const QString group = groupName(info.st_gid);
    if ((info.st_mode & S_IRWXG) != S_IRWXG) {
        return QStringLiteral(
                   "The data folder %1 does not let the members of its group %2 read and write "
                   "in it. An administrator repairs it with\n\n    sudo chmod 2770 %1")
            .arg(folder, group);
    }
    if (listedInGroup(info.st_gid)) {
        return QStringLiteral(
                   "The data folder %1 is shared by the members of the group %2. The account %3 "
                   "was added to the group after this session began: log out and in again, then "
                   "start Helvarine.")
            .arg(folder, group, account);
    }
    return QStringLiteral(
               "The data folder %1 is shared by the members of the group %2, and the account %3 "
               "is not one of them. An administrator adds the account with\n\n    sudo usermod "
               "-aG %2 %3\n\nThen %3 logs out and in again.")
        .arg(folder, group, account);
}

QString serverExplanation(const QString& failure) {
    const QString server = PostgresEngine::serverName(DataPaths::serverText());
    // The server's own refusal (a login or database it does not know) comes as a FATAL report;
    // anything else means that no server answered.
    if (failure.contains(QLatin1String("FATAL"))) {
        return QStringLiteral(
                   "The database server named by the connection text (%1) refused the "
                   "connection. Ask its administrator for a login with the rights to the "
                   "database.")
            .arg(server);
    }
    return QStringLiteral(
               "The database server named by the connection text (%1) does not answer. Ask its "
               "administrator whether it runs and can be reached from this computer.")
        .arg(server);
}

}  // namespace

QString explanation(const QString& failure) {
    return DataPaths::onServer() ? serverExplanation(failure) : folderExplanation();
}

QString cause(const QString& failure) {
    const QString why = explanation(failure);
    return why.isEmpty() ? failure : why;
}

QString notOpenMessage(const QString& failure) {
    return QStringLiteral("No database is open, so this cannot be done.\n\n") + cause(failure);
}

QString notOpenNotice(const QString& failure) {
    return QStringLiteral("No database is open.\n\n") + cause(failure);
}

}  // namespace DatabaseAccess

QString DatabaseAccess::exposedPasswordWarning() {
    if (!qEnvironmentVariable(DataPaths::kServerVariable).trimmed().isEmpty()) {
        return {};
    }
    const QString file = DataPaths::machineSettingsFile();
    if (ConnectionText::passwords(DataPaths::serverText()).isEmpty() ||
        !QFileInfo(file).permissions().testFlag(QFileDevice::ReadOther)) {
        return {};
    }
    return QStringLiteral(
               "The settings file %1 holds the password of the team's database, and every account "
               "of this computer may read it. Keep the password in each account's ~/.pgpass (or "
               "a service file) instead, and take it out of the settings file.")
        .arg(QDir::toNativeSeparators(file));
}
