#include "window_dressing.h"

#include <QIcon>
#include <QWidget>

#include "error_trap.h"
#include "globals.h"
#include "main_module.h"
#include "window_pointer.h"

namespace WindowDressing {

QString iconFile(const QString& programFolder) {
    return programFolder + QLatin1String("/helvarine.png");
}

QString cursorFile(const QString& programFolder) {
    return programFolder + QLatin1String("/HAND-M.CUR");
}

void dress(ErrorTrap& trap, QWidget* window, WindowPointer& pointer, const QString& programFolder) {
    trap.at(100, [&] { MainModule::ApplyFormColours(window); });
    trap.at(102, [&] { window->setWindowIcon(QIcon(iconFile(programFolder))); });
    const QString cursor = cursorFile(programFolder);
    if (trap.test(104, [&] { return Globals::FileExists(cursor); })) {
        trap.at(106, [&] { pointer.loadCustomPicture(cursor); });
    }
}

}  // namespace WindowDressing
