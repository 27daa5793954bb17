#include "data_paths.h"

#include "globals.h"

namespace DataPaths {

QString dataRoot() {
    return Globals::GetSpecialFolderPath(Globals::kCommonAppData);
}

QString makerFolder() {
    return dataRoot() + QLatin1String("/Orvanta");
}

QString productFolder() {
    return dataRoot() + QLatin1String("/Orvanta/") + QLatin1String("Helvarine");
}

QString databaseFile() {
    return productFolder() + QLatin1String("/dbData.mdb");
}

QString connectionText() {
    return QLatin1String("provider=microsoft.jet.oledb.4.0;data source=") + databaseFile() +
           QLatin1String(";JET OLEDB:Database Password=");
}

QString templateFile(const QString& programFolder) {
    return programFolder + QLatin1String("/dbBlank.mdb");
}

}  // namespace DataPaths
