#pragma once

#include <QString>

// Where the database lives: data root + "/Orvanta/Helvarine/dbData.mdb", the data root asked
// afresh each time (GetSpecialFolderPath of the machine-wide application-data folder).
namespace DataPaths {

QString dataRoot();
QString makerFolder();
QString productFolder();
QString databaseFile();
// The connection text of the one connection.
QString connectionText();
// The empty database installed beside the program.
QString templateFile(const QString& programFolder);

}  // namespace DataPaths
