#pragma once

#include <QApplication>

class Prompts;

// The application object. A failure that escapes an event handler without a trap must not end
// the program, as an exception leaving a Qt event handler would: it is caught here, where events
// are delivered, and shown in the error box with the handler's name; the program goes on.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv);

    void setPrompts(Prompts* prompts) { m_prompts = prompts; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    Prompts* m_prompts = nullptr;
};

// Reports the exception being handled, which escaped the delivery of an event to the receiver.
void reportEscapedFailure(Prompts* prompts, QObject* receiver);
