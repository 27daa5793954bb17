#pragma once

#include <QString>
#include <chrono>

// Where the database lives: data root + "/Orvanta/Helvarine/dbData.mdb", the data root asked
// afresh each time (GetSpecialFolderPath of the machine-wide application-data folder).
namespace DataPaths {

QString dataRoot();
QString makerFolder();
QString productFolder();
QString databaseFile();
// The environment variable that points the program at a PostgreSQL server.
inline constexpr const char* kServerVariable = "HELVARINE_DATABASE";

// The team's PostgreSQL server as a libpq connection text: HELVARINE_DATABASE, or else the key
// "Database" of group "Helvarine" in the machine-wide settings (/etc/xdg/Orvanta/Orvanta.conf).
// Empty when neither names one: the database is the file in the data folder.
QString serverText();
// The longest a statement may run on the server: the key "StatementLimit" of group "Helvarine"
// in the machine-wide settings, in seconds (0: no limit); 60 s when it is not set or unreadable.
std::chrono::seconds statementLimit();
// The machine-wide settings file that may name the server for every account of the computer.
QString machineSettingsFile();
bool onServer();
// The connection text of the one connection: the server's, or the file's.
QString connectionText();
// The empty database installed beside the program.
QString templateFile(const QString& programFolder);

}  // namespace DataPaths
