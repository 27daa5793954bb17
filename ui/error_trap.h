#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <initializer_list>
#include <utility>

#include "connection_loss.h"
#include "error_box.h"
#include "failure.h"

class Prompts;

// The error trap of a procedure: each numbered line runs on its own, and a line that fails is
// reported in the error box with the procedure's location and the line's number; then the
// procedure goes on with the next line. A failure inside a called procedure that has no trap of
// its own is reported with this procedure's location and the number of the calling line.
//
//     ErrorTrap trap{prompts, "Form2", "LoadStatus"};
//     trap.at(100, [&] { statusList->clear(); });
//     trap.loop(106, [&] { return !rs.eof(); }, [&] { ... });
//     if (trap.trueOrFailed(126, [&] { return !m_ID.isEmpty(); })) { ... }
class ErrorTrap {
public:
    ErrorTrap(Prompts& prompts, const QString& window, const QString& procedure)
        : m_prompts(prompts), m_location(procedureLocation(window, procedure)) {}

    const QString& location() const { return m_location; }
    // The number of the last numbered line reached.
    int line() const { return m_line; }

    // Runs one numbered line.
    template <class Step>
    void at(int line, Step&& step) {
        m_line = line;
        guarded(std::forward<Step>(step));
    }

    // The condition of an if on a numbered line: true when it holds, and also when evaluating it
    // failed (the failure is reported), so the procedure goes on with the statements that the
    // condition guards, as the trap's "resume next" does.
    template <class Condition>
    bool trueOrFailed(int line, Condition&& condition) {
        m_line = line;
        bool result = true;
        guarded([&] { result = condition(); });
        return result;
    }

    // A loop whose condition stands on a numbered line. When the condition itself fails, the body
    // runs once more (as if the condition had been true) and the loop is then left for good, so
    // a record set that failed to open gives a bounded number of reports.
    template <class Condition, class Body>
    void loop(int line, Condition&& condition, Body&& body) {
        for (;;) {
            m_line = line;
            bool more = true;
            bool conditionFailed = false;
            try {
                more = condition();
            } catch (...) {
                reportCurrent();
                conditionFailed = true;
            }
            if (!more) {
                return;
            }
            guarded(body);
            if (conditionFailed) {
                return;
            }
        }
    }

    // Numbered lines that belong together (a deletion and the deletion of the cases that refer
    // to it) run as one transaction on the shared connection: when one of them fails, its
    // failure is reported with its own line, the lines after it do not run, and nothing of the
    // transaction stays.
    using Step = std::pair<int, std::function<void()>>;
    void transaction(std::initializer_list<Step> steps);

    // Reports a failure at the current line.
    void report(const QString& description);

private:
    template <class Step>
    void guarded(Step&& step) {
        try {
            step();
        } catch (...) {
            reportCurrent();
        }
    }

    // Reports the exception being handled.
    void reportCurrent();

    Prompts& m_prompts;
    QString m_location;
    int m_line = 0;
    // A lost connection is reported once per command: the trap's procedure is part of one.
    ConnectionLoss::Action m_action;
};

// The description of the exception being handled, whatever its type.
QString currentFailureDescription();

// Runs an event handler that has no trap (resize, sorting, pointer). A failure must not end the
// program, nor unwind through Qt's event delivery (whose frames are built without exception
// cleanup and would leak what they hold): it is reported here, in the error box with the
// handler's location, and the program goes on. Anything that still escapes an event handler is
// caught where events are delivered (GuardedApplication).
template <class Body>
void untrapped(Prompts& prompts, const QString& window, const QString& procedure, Body&& body) {
    try {
        body();
    } catch (...) {
        ErrorBox(prompts, currentFailureDescription(), procedureLocation(window, procedure), 0);
    }
}
