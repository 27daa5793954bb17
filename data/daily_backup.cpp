#include "daily_backup.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <memory>

#include "database_file.h"
#include "failure.h"

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd-HHmmss");

// The time in a backup's name, invalid for any other name.
QDateTime timeOf(const QString& name, const QString& stem) {
    static const QRegularExpression pattern(
        QStringLiteral("^(.+)-(\\d{4}-\\d{2}-\\d{2}-\\d{6})\\.mdb$"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch() || match.captured(1) != stem) {
        return {};
    }
    return QDateTime::fromString(match.captured(2), kTimeFormat);
}

}  // namespace

DailyBackup::DailyBackup(const QString& databaseFile)
    : m_folder(QFileInfo(databaseFile).absolutePath() + QStringLiteral("/backups")),
      m_stem(QFileInfo(databaseFile).completeBaseName()) {}

QStringList DailyBackup::backups() const {
    QStringList found;
    const QStringList names = QDir(m_folder).entryList(QDir::Files, QDir::Name | QDir::Reversed);
    for (const QString& name : names) {
        if (timeOf(name, m_stem).isValid()) {
            found.append(m_folder + QLatin1Char('/') + name);
        }
    }
    return found;  // the names sort as their times do
}

bool DailyBackup::isDue(const QDateTime& now) const {
    const QStringList existing = backups();
    if (existing.isEmpty()) {
        return true;
    }
    const QDateTime newest = timeOf(QFileInfo(existing.first()).fileName(), m_stem);
    return newest > now || newest.secsTo(now) >= kIntervalSeconds;
}

QString DailyBackup::write(sqlite3* source, const QDateTime& now) const {
    if (!QFileInfo(m_folder).isDir()) {
        DatabaseFile::createFolder(m_folder, DatabaseFile::Access::GroupShares);
    }
    QString target = m_folder + QLatin1Char('/') + m_stem + QLatin1Char('-') +
                     now.toString(kTimeFormat) + QStringLiteral(".mdb");
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);
    sqlite3* copy = nullptr;
    const auto fail = [&](const QString& reason) {
        sqlite3_close(copy);
        QFile::remove(partial);
        return Failure(QStringLiteral("The backup %1 cannot be written: %2").arg(target, reason));
    };
    if (sqlite3_open_v2(QFile::encodeName(partial).constData(), &copy,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        throw fail(copy != nullptr ? QString::fromUtf8(sqlite3_errmsg(copy))
                                   : QStringLiteral("out of memory"));
    }
    sqlite3_backup* backup = sqlite3_backup_init(copy, "main", source, "main");
    if (backup == nullptr) {
        throw fail(QString::fromUtf8(sqlite3_errmsg(copy)));
    }
    const int stepped = sqlite3_backup_step(backup, -1);
    sqlite3_backup_finish(backup);
    if (stepped != SQLITE_DONE) {
        throw fail(QString::fromUtf8(sqlite3_errstr(stepped)));
    }
    if (sqlite3_close(copy) != SQLITE_OK) {
        throw fail(QString::fromUtf8(sqlite3_errmsg(copy)));
    }
    copy = nullptr;
    // Readable and writable by the database's group, as the database itself.
    ::chmod(QFile::encodeName(partial).constData(), 0660);
    if (!QFile::rename(partial, target)) {
        throw fail(QStringLiteral("it cannot be renamed from %1").arg(partial));
    }
    const QStringList existing = backups();
    for (qsizetype old = kKept; old < existing.size(); ++old) {
        QFile::remove(existing[old]);
    }
    return target;
}
