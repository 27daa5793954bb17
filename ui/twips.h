#pragma once

#include <QRect>
#include <cmath>

class QWidget;

// Windows keep their designed sizes in twips: 1440 twips are one inch, so a measure becomes
// pixels by the screen's logical dots per inch (15 twips a pixel at 96 dpi).
namespace Twips {

constexpr double kPerInch = 1440.0;

inline int toPixels(double twips, int dpi) {
    return static_cast<int>(std::lround(twips * dpi / kPerInch));
}
inline double fromPixels(int pixels, int dpi) {
    return pixels * kPerInch / dpi;
}

// A control's place in its window: left, top, width and height in twips.
struct Rect {
    double left;
    double top;
    double width;
    double height;
};

int dpiX(const QWidget* widget);
int dpiY(const QWidget* widget);
QRect toPixels(const Rect& rect, const QWidget* widget);
void place(QWidget* control, const Rect& rect);
// Gives a window a client area of the size in twips.
void resizeClientArea(QWidget* window, double width, double height);

}  // namespace Twips
