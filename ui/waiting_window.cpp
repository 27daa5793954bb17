#include "waiting_window.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "fonts.h"

WaitingWindow::WaitingWindow() {
    ServerWait::setWaiter(this);
}

WaitingWindow::~WaitingWindow() {
    // A newer window's waiter (a main window made before this one was closed) stays.
    if (ServerWait::waiter() == this) {
        ServerWait::setWaiter(nullptr);
    }
    delete m_window;
}

bool WaitingWindow::keepWaiting(std::chrono::milliseconds waited, bool background) {
    if (!background && waited >= kShowAfter && m_window == nullptr && !m_cancelled) {
        show();
    }
    // Until the window shows, only painting and timers go on: a click must not start another
    // command while this one waits. The window, once shown, is modal and takes the input.
    QCoreApplication::processEvents(m_window != nullptr ? QEventLoop::AllEvents
                                                        : QEventLoop::ExcludeUserInputEvents);
    return !m_cancelled;
}

void WaitingWindow::finished() {
    if (m_window != nullptr) {
        delete m_window;
        // The window that waited takes the keyboard again.
        if (m_waitingOver != nullptr) {
            m_waitingOver->activateWindow();
            QApplication::setActiveWindow(m_waitingOver);
        }
    }
    m_cancelled = false;
}

void WaitingWindow::show() {
    m_waitingOver = QApplication::activeWindow();
    auto* window = new QDialog(m_waitingOver);
    window->setObjectName(QStringLiteral("WaitingWindow"));
    window->setWindowTitle(QStringLiteral("Helvarine"));
    window->setWindowModality(Qt::ApplicationModal);
    window->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    window->setFont(Fonts::window());
    auto* text = new QLabel(QStringLiteral("Waiting for the server\u2026"), window);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, window);
    buttons->setAccessibleName(QStringLiteral("Commands"));
    QObject::connect(buttons, &QDialogButtonBox::rejected, window, [this] { m_cancelled = true; });
    // Escape and the window's close button cancel too.
    QObject::connect(window, &QDialog::rejected, window, [this] { m_cancelled = true; });
    auto* column = new QVBoxLayout(window);
    column->addWidget(text);
    column->addWidget(buttons);
    window->setAccessibleName(text->text());
    window->setMinimumWidth(window->fontMetrics().averageCharWidth() * 36);
    m_window = window;
    window->show();
}
