#include "dialog_frame.h"

#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "fonts.h"

namespace DialogFrame {

void setUp(QDialog* dialog, double clientWidth, double clientHeight) {
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint);
    dialog->setFont(Fonts::window());
    dialog->setFixedSize(Twips::toPixels(clientWidth, Twips::dpiX(dialog)),
                         Twips::toPixels(clientHeight, Twips::dpiY(dialog)));
    dialog->setSizeGripEnabled(false);
    centreOnScreen(dialog);
}

void centreOnScreen(QWidget* window) {
    const QScreen* screen =
        window->screen() != nullptr ? window->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect available = screen->availableGeometry();
    window->move(available.center() - QPoint(window->width() / 2, window->height() / 2));
}

QLabel* labelAbove(QWidget* field, const QString& objectName, const QString& caption,
                   double above) {
    auto* label = new QLabel(caption, field->parentWidget());
    label->setObjectName(objectName);
    // The field is announced by its caption.
    label->setBuddy(field);
    field->setAccessibleName(caption);
    label->setFont(Fonts::window());
    const int dpiY = Twips::dpiY(field);
    const QRect place = field->geometry();
    label->setGeometry(place.left(), place.top() - Twips::toPixels(above, dpiY), place.width(),
                       Twips::toPixels(225, dpiY));
    return label;
}

}  // namespace DialogFrame
