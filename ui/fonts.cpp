#include "fonts.h"

#include <QStringList>

namespace Fonts {

QFont make(double pointSize, bool bold, bool italic) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setFamilies(QStringList() << QStringLiteral("Arial") << QStringLiteral("Liberation Sans"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QFont window() {
    return make(9, true);
}
QFont button() {
    return make(11.25, true);
}

}  // namespace Fonts

QFont Fonts::plain() {
    QFont font = window();
    font.setBold(false);
    return font;
}
