#include "window_dressing.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPointer>
#include <QRadioButton>
#include <QWidget>

#include "error_trap.h"
#include "file_exists.h"
#include "window_pointer.h"

namespace WindowDressing {

namespace {

// One focus frame moves to the focused control. It lives among the control's siblings, so it
// goes with a window that closes; the next focus change makes a new one.
class FocusFollower : public QObject {
public:
    explicit FocusFollower(QApplication& application) : QObject(&application) {
        connect(&application, &QApplication::focusChanged, this,
                [this](QWidget*, QWidget* now) { follow(now); });
    }

private:
    void follow(QWidget* now) {
        if (now == nullptr || now->isWindow() || now->window()->windowType() == Qt::Popup) {
            if (m_frame != nullptr) {
                m_frame->setWidget(nullptr);
            }
            return;
        }
        if (m_frame == nullptr) {
            m_frame = new QFocusFrame(now);
            m_frame->setObjectName(QStringLiteral("FocusFrame"));
        }
        m_frame->setWidget(now);
    }

    QPointer<QFocusFrame> m_frame;
};

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

void frameTheFocus(QApplication& application) {
    new FocusFollower(application);
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
    if (trap.trueOrFailed(104, [&] { return Globals::FileExists(cursor); })) {
        trap.at(106, [&] { pointer.loadCustomPicture(cursor); });
    }
}

}  // namespace WindowDressing
