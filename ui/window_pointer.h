#pragma once

#include <QCursor>
#include <QObject>
#include <QSet>
#include <optional>

class QWidget;

// Reads a cursor file in the Windows .CUR format (through Qt's image reader) with its hotspot.
std::optional<QCursor> loadCursorFile(const QString& path);

// The pointer rule of a window: moving the mouse over a push button shows the window's custom
// pointer (the hand cursor), moving it over the window's surface, a list or a frame shows the
// default pointer; neither replaces an hourglass.
class WindowPointer : public QObject {
public:
    explicit WindowPointer(QWidget* window);

    // Loads the custom pointer picture; without one the custom pointer shows as the arrow.
    void loadCustomPicture(const QString& path);
    bool hasCustomPicture() const { return m_custom.has_value(); }

    // Controls whose hover shows the custom pointer, and those whose hover shows the default.
    void showCustomOver(QWidget* control);
    void showDefaultOver(QWidget* control);

    void setCustom();
    void setDefault();
    void setHourglass();
    bool isHourglass() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isCustomControl(const QObject* object) const;

    QWidget* m_window;
    std::optional<QCursor> m_custom;
    QSet<QObject*> m_customControls;
};
