#pragma once

#include <QPointer>

#include "server_wait.h"

class QDialog;
class QWidget;

// The program's waiter for its server. While a statement is awaited the windows keep painting
// (input stays with the waiting step); after half a second a small modal window "Waiting for the
// server…" (caption Helvarine) appears over the active window, and its Cancel button cancels the
// statement, which then fails at its line like any failure. The live list's background waits
// never show it.
class WaitingWindow final : public ServerWaiter {
public:
    static constexpr std::chrono::milliseconds kShowAfter{500};

    WaitingWindow();
    ~WaitingWindow() override;
    WaitingWindow(const WaitingWindow&) = delete;
    WaitingWindow& operator=(const WaitingWindow&) = delete;

    bool keepWaiting(std::chrono::milliseconds waited, bool background) override;
    void finished() override;

private:
    void show();

    QPointer<QDialog> m_window;
    QPointer<QWidget> m_waitingOver;  // the active window when it showed
    bool m_cancelled = false;
};
