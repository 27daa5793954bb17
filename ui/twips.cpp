#include "twips.h"

#include <QWidget>

namespace Twips {

int dpiX(const QWidget* widget) {
    return widget->logicalDpiX();
}
int dpiY(const QWidget* widget) {
    return widget->logicalDpiY();
}

QRect toPixels(const Rect& rect, const QWidget* widget) {
    const int x = dpiX(widget);
    const int y = dpiY(widget);
    return {toPixels(rect.left, x), toPixels(rect.top, y), toPixels(rect.width, x),
            toPixels(rect.height, y)};
}

void place(QWidget* control, const Rect& rect) {
    control->setGeometry(toPixels(rect, control));
}

void resizeClientArea(QWidget* window, double width, double height) {
    window->resize(toPixels(width, dpiX(window)), toPixels(height, dpiY(window)));
}

}  // namespace Twips
