#include "screen_reader.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>

namespace ScreenReader {

namespace {

const char* const kWindowProperty = "helvarineAnnouncedAsWindow";

QAccessibleInterface* windowInterface(const QString& className, QObject* object) {
    if (className != QLatin1String("QWidget") || !object->isWidgetType() ||
        !object->property(kWindowProperty).toBool()) {
        return nullptr;
    }
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
}

}  // namespace

void nameInnerParts(QWidget* window) {
    for (QComboBox* list : window->findChildren<QComboBox*>()) {
        const QString name = list->accessibleName();
        list->view()->setAccessibleName(name);
        if (list->lineEdit() != nullptr) {
            list->lineEdit()->setAccessibleName(name);
        }
    }
    for (QAbstractScrollArea* area : window->findChildren<QAbstractScrollArea*>()) {
        const QString name = area->accessibleName();
        area->viewport()->setAccessibleName(name);
        area->verticalScrollBar()->setAccessibleName(name + QLatin1String(", vertical scroll bar"));
        area->horizontalScrollBar()->setAccessibleName(name +
                                                       QLatin1String(", horizontal scroll bar"));
        // The scroll bars stand in containers of their own.
        for (QScrollBar* bar : {area->verticalScrollBar(), area->horizontalScrollBar()}) {
            if (bar->parentWidget() != area) {
                bar->parentWidget()->setAccessibleName(bar->accessibleName());
            }
        }
    }
}

void announceAsWindow(QWidget* window) {
    static const bool installed = [] {
        QAccessible::installFactory(&windowInterface);
        return true;
    }();
    Q_UNUSED(installed);
    window->setProperty(kWindowProperty, true);
}

}  // namespace ScreenReader
