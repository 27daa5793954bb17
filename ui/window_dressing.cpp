#include "window_dressing.h"

#include <QRadioButton>

#include <QLabel>

#include <QGroupBox>

#include <QCheckBox>

#include <QApplication>

#include <QIcon>
#include <QWidget>

#include "error_trap.h"
#include "file_exists.h"
#include "window_pointer.h"

namespace WindowDressing {

namespace {

void paintBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

}  // namespace

void ApplyFormColours(QWidget* window) {
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    paintBackground(window, buttonFace);
    const QList<QWidget*> children = window->findChildren<QWidget*>();
    for (QWidget* child : children) {
        if (qobject_cast<QRadioButton*>(child) != nullptr ||
            qobject_cast<QCheckBox*>(child) != nullptr ||
            qobject_cast<QGroupBox*>(child) != nullptr || qobject_cast<QLabel*>(child) != nullptr) {
            paintBackground(child, buttonFace);
        }
    }
}

QString iconFile(const QString& programFolder) {
    return programFolder + QLatin1String("/helvarine.png");
}

QString cursorFile(const QString& programFolder) {
    return programFolder + QLatin1String("/HAND-M.CUR");
}

void dress(ErrorTrap& trap, QWidget* window, WindowPointer& pointer, const QString& programFolder) {
    trap.at(100, [&] { ApplyFormColours(window); });
    trap.at(102, [&] { window->setWindowIcon(QIcon(iconFile(programFolder))); });
    const QString cursor = cursorFile(programFolder);
    if (trap.test(104, [&] { return Globals::FileExists(cursor); })) {
        trap.at(106, [&] { pointer.loadCustomPicture(cursor); });
    }
}

}  // namespace WindowDressing
