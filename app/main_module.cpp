#include "main_module.h"

#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QWidget>

#include "case_store.h"
#include "daily_backup.h"
#include "data_paths.h"
#include "failure.h"
#include "prompts.h"
#include "window_dressing.h"

namespace MainModule {

void ApplySkin(QWidget* window, const QString& programFolder) {
    const QString skinPath = programFolder + QLatin1String("/x/o.cjs");
    if (!QFileInfo::exists(skinPath)) {
        return;
    }
    WindowDressing::ApplyFormColours(window);
    QFile skin(skinPath);
    if (!skin.open(QIODevice::ReadOnly | QIODevice::Text)) {
        throw Failure(
            QStringLiteral("Cannot read the skin %1: %2").arg(skinPath, skin.errorString()));
    }
    window->setStyleSheet(QString::fromUtf8(skin.readAll()));
}

QString ShortenAppTitle(const QString& displayName) {
    QString title = displayName;
    // The first cut is always made, then repeated while the title is longer than 40 characters.
    do {
        const qsizetype blank = title.lastIndexOf(QLatin1Char(' '));
        if (blank < 0) {
            break;  // nothing left to cut at
        }
        title.truncate(blank);
    } while (title.size() > 40);
    return title;
}

QString GetProcessorAddressWidth() {
    return QSysInfo::WordSize == 64 ||
                   QSysInfo::currentCpuArchitecture().contains(QLatin1String("64"))
               ? QStringLiteral("64")
               : QStringLiteral("32");
}

void BackUpDaily(Prompts& prompts, const QDateTime& now) {
    if (DataPaths::onServer() || !CaseStore::hasShared() || CaseStore::shared().state() == 0) {
        return;
    }
    const DailyBackup backup(DataPaths::databaseFile());
    try {
        if (backup.isDue(now)) {
            backup.write(CaseStore::shared().handle(), now);
        }
    } catch (const Failure& failure) {
        prompts.message(failure.description() +
                            QStringLiteral("\r\n\r\nThe cases are safe; the backup will be tried "
                                           "again at the next start."),
                        Prompts::Buttons::Ok, Prompts::Icon::Warning);
    }
}

}  // namespace MainModule
