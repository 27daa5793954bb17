#pragma once

#include <QString>

// The database file and its folders on disk.
namespace DatabaseFile {

// Creates one folder that every user of the machine can write to (the data is machine-wide).
// Throws a Failure that names the folder and the system's reason.
void createFolder(const QString& path);

// Copies the template to the database path. The copy is written to a temporary file in the
// database's folder and renamed into place only when complete, and the rename never replaces
// what stands at the path (a file, or a link planted there): an interrupted first start never
// leaves a half-copied database, and an existing database is never overwritten.
void copyTemplate(const QString& templatePath, const QString& databasePath);

}  // namespace DatabaseFile
