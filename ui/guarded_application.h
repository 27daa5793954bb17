#pragma once

#include <QApplication>

class Prompts;

// The application object. A failure that escapes an event handler must not end the program, as
// an exception leaving a Qt event handler would: it is caught here, where events are delivered,
// and shown in the error box with the receiving window's and object's names; the program goes
// on. The program's own handlers without a trap report their failures themselves (untrapped()),
// so that no exception unwinds through Qt's event delivery on the normal path.
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
