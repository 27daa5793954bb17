#include "guarded_application.h"

#include <QWidget>
#include <cstdio>

#include "error_box.h"
#include "error_trap.h"
#include "prompts.h"

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportEscapedFailure(m_prompts, receiver);
        return true;
    }
}

void reportEscapedFailure(Prompts* prompts, QObject* receiver) {
    QString description;
    QString location;
    description = currentFailureDescription();
    // The handler is known only by its receiver: the window's name and the object's.
    const auto* widget = qobject_cast<const QWidget*>(receiver);
    const QObject* window = widget != nullptr ? widget->window() : receiver;
    location = procedureLocation(window != nullptr ? window->objectName() : QString(),
                                 receiver != nullptr ? receiver->objectName() : QString());
    if (prompts == nullptr) {
        std::fprintf(stderr, "%s\n", qPrintable(errorBoxText(description, location, 0)));
        return;
    }
    ErrorBox(*prompts, description, location, 0);
}
