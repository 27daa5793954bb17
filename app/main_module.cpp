#include "main_module.h"

#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QWidget>

#include "failure.h"
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

}  // namespace MainModule
