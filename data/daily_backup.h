#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

struct sqlite3;

// A consistent copy of the database file, made at most once a day into the folder "backups"
// beside it, the newest seven kept. Each copy is named by the time it was made
// ("dbData-2026-12-08-091500.mdb"); files of other names in the folder are never touched.
class DailyBackup {
public:
    static constexpr int kKept = 7;
    static constexpr qint64 kIntervalSeconds = qint64{24} * 60 * 60;

    explicit DailyBackup(const QString& databaseFile);

    QString folder() const { return m_folder; }
    // The backups in the folder, newest first.
    QStringList backups() const;
    // True when no backup is newer than a day (or the newest is dated after now: the clock
    // was set back).
    bool isDue(const QDateTime& now) const;
    // Copies the database that the connection has open through SQLite's online backup, which
    // reads one consistent state even while others write, then removes all but the newest
    // kKept backups. The copy is written under a temporary name and renamed when complete.
    // Gives the path written. Throws a Failure that names what failed.
    QString write(sqlite3* source, const QDateTime& now) const;

private:
    QString m_folder;
    QString m_stem;
};
