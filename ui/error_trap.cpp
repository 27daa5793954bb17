#include "error_trap.h"

#include <new>

#include "case_store.h"
#include "prompts.h"

QString currentFailureDescription() {
    try {
        throw;
    } catch (const Failure& failure) {
        return failure.description();
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Out of memory");
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    } catch (...) {
        return QStringLiteral("Unknown failure");
    }
}

void ErrorTrap::reportCurrent() {
    try {
        throw;
    } catch (const ConnectionLost&) {
        if (!ConnectionLoss::firstReport()) {
            return;  // the command's step that met the lost connection said so already
        }
    } catch (...) {
    }
    report(currentFailureDescription());
}

void ErrorTrap::report(const QString& description) {
    ErrorBox(m_prompts, description, m_location, m_line);
}

void ErrorTrap::transaction(std::initializer_list<Step> steps) {
    if (steps.size() == 0) {
        return;
    }
    m_line = steps.begin()->first;
    try {
        CaseStore::shared().transaction([&] {
            for (const Step& step : steps) {
                m_line = step.first;
                step.second();
            }
        });
    } catch (...) {
        reportCurrent();
    }
}
