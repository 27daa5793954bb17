#include "data_paths.h"

#include <QSettings>

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

QString serverText() {
    QString fromEnvironment = qEnvironmentVariable(kServerVariable).trimmed();
    if (!fromEnvironment.isEmpty()) {
        return fromEnvironment;
    }
    const QSettings machine(QSettings::SystemScope, QStringLiteral("Orvanta"),
                            QStringLiteral("Orvanta"));
    // A text that names several hosts (host=db1,db2) is read back as a list when the file does
    // not quote it: its parts are joined again, rather than the server silently taken as none.
    const QVariant value = machine.value(QStringLiteral("Helvarine/Database"));
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QLatin1Char(',')).trimmed();
    }
    return value.toString().trimmed();
}

std::chrono::seconds statementLimit() {
    const QSettings machine(QSettings::SystemScope, QStringLiteral("Orvanta"),
                            QStringLiteral("Orvanta"));
    bool number = false;
    const int seconds = machine.value(QStringLiteral("Helvarine/StatementLimit")).toInt(&number);
    return std::chrono::seconds(number && seconds >= 0 ? seconds : 60);
}

QString machineSettingsFile() {
    return QSettings(QSettings::SystemScope, QStringLiteral("Orvanta"), QStringLiteral("Orvanta"))
        .fileName();
}

bool onServer() {
    return !serverText().isEmpty();
}

QString connectionText() {
    QString server = serverText();
    if (!server.isEmpty()) {
        return server;
    }
    return QLatin1String("provider=microsoft.jet.oledb.4.0;data source=") + databaseFile() +
           QLatin1String(";JET OLEDB:Database Password=");
}

QString templateFile(const QString& programFolder) {
    return programFolder + QLatin1String("/dbBlank.mdb");
}

}  // namespace DataPaths
