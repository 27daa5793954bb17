#include "window_pointer.h"

#include <QEvent>
#include <QFile>
#include <QImageReader>
#include <QMouseEvent>
#include <QPixmap>
#include <QWidget>

#include "failure.h"

std::optional<QCursor> loadCursorFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw Failure(
            QStringLiteral("Cannot read the cursor %1: %2").arg(path, file.errorString()));
    }
    // ICONDIR (6 bytes), then the first ICONDIRENTRY, whose fields 4 and 6 hold the hotspot.
    const QByteArray header = file.read(22);
    file.seek(0);
    QImageReader reader(&file, "cur");
    const QImage image = reader.read();
    if (image.isNull() || header.size() < 22) {
        throw Failure(
            QStringLiteral("The cursor %1 cannot be read: %2").arg(path, reader.errorString()));
    }
    const auto word = [&header](int offset) {
        return static_cast<int>(static_cast<unsigned char>(header[offset])) |
               (static_cast<int>(static_cast<unsigned char>(header[offset + 1])) << 8);
    };
    const int hotX = qBound(0, word(10), image.width() - 1);
    const int hotY = qBound(0, word(12), image.height() - 1);
    return QCursor(QPixmap::fromImage(image), hotX, hotY);
}

WindowPointer::WindowPointer(QWidget* window) : QObject(window), m_window(window) {
    m_window->setMouseTracking(true);
    m_window->installEventFilter(this);
}

void WindowPointer::loadCustomPicture(const QString& path) {
    m_custom = loadCursorFile(path);
}

void WindowPointer::showCustomOver(QWidget* control) {
    m_customControls.insert(control);
    control->setMouseTracking(true);
    control->installEventFilter(this);
}

void WindowPointer::showDefaultOver(QWidget* control) {
    control->setMouseTracking(true);
    control->installEventFilter(this);
}

bool WindowPointer::isHourglass() const {
    return m_window->cursor().shape() == Qt::WaitCursor;
}

void WindowPointer::setCustom() {
    if (m_custom) {
        m_window->setCursor(*m_custom);
    } else {
        m_window->setCursor(Qt::ArrowCursor);
    }
}

void WindowPointer::setDefault() {
    m_window->setCursor(Qt::ArrowCursor);
}

void WindowPointer::setHourglass() {
    m_window->setCursor(Qt::WaitCursor);
}

bool WindowPointer::isCustomControl(const QObject* object) const {
    for (; object != nullptr && object != m_window; object = object->parent()) {
        if (m_customControls.contains(const_cast<QObject*>(object))) {
            return true;
        }
    }
    return false;
}

bool WindowPointer::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseMove && type != QEvent::Enter && type != QEvent::HoverMove) {
        return false;
    }
    if (watched == m_window && type == QEvent::MouseMove) {
        // A move that a button ignored reaches the window too: only a move over the window's own
        // surface counts as one.
        const auto* move = static_cast<QMouseEvent*>(event);
        if (isCustomControl(m_window->childAt(move->position().toPoint()))) {
            return false;
        }
    }
    if (!isHourglass()) {
        if (isCustomControl(watched)) {
            setCustom();
        } else {
            setDefault();
        }
    }
    return false;
}
