#pragma once

#include <QString>

// The database file and its folders on disk.
namespace DatabaseFile {

enum class Access { EveryoneReads, EveryoneWrites };

// Creates one folder, readable by every user of the machine, and writable by every user with
// EveryoneWrites (the folder of the machine-wide database). Throws a Failure that names the
// folder and the system's reason.
void createFolder(const QString& path, Access access);

// Copies the template to the database path. The copy is written to a temporary file in the
// database's folder and renamed into place only when complete, and the rename never replaces
// what stands at the path (a file, or a link planted there): an interrupted first start never
// leaves a half-copied database, and an existing database is never overwritten.
void copyTemplate(const QString& templatePath, const QString& databasePath);

}  // namespace DatabaseFile
