#pragma once

#include <QString>

// The database file and its folders on disk.
namespace DatabaseFile {

// Who may use a folder the program makes.
enum class Access {
    // 0755: every user reads, only the owner writes.
    EveryoneReads,
    // 2770: the owner and the folder's group read and write, nobody else; the setgid bit makes
    // what is created inside belong to the folder's group. The machine-wide database folder is
    // shared this way; set-up gives it the group "helvarine".
    GroupShares,
};

// Creates one folder with exactly the mode of its access, whatever the user's umask. Throws a
// Failure that names the folder and the system's reason.
void createFolder(const QString& path, Access access);

// Copies the template to the database path. The copy is written to a temporary file in the
// database's folder and renamed into place only when complete, and the rename never replaces
// what stands at the path (a file, or a link planted there): an interrupted first start never
// leaves a half-copied database, and an existing database is never overwritten. The copy is
// 0660, read and written by its owner and its group only; SQLite gives the journal files it
// makes beside the database the database's mode.
void copyTemplate(const QString& templatePath, const QString& databasePath);

}  // namespace DatabaseFile
