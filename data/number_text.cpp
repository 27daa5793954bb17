#include "number_text.h"

#include <QLocale>
#include <cmath>

#include "failure.h"

namespace NumberText {

float toSingle(const QString& text) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    float value = QLocale::c().toFloat(trimmed, &ok);
    if (!ok) {
        value = QLocale().toFloat(trimmed, &ok);
    }
    if (!ok || !std::isfinite(value)) {
        throw Failure(QStringLiteral("Type mismatch: '%1' is not a number.").arg(text));
    }
    return value;
}

qint16 toInteger16(const QString& text) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    const int value = trimmed.toInt(&ok);
    if (!ok) {
        throw Failure(QStringLiteral("Type mismatch: '%1' is not a whole number.").arg(text));
    }
    if (value < -32768 || value > 32767) {
        throw Failure(QStringLiteral("Overflow: %1 is out of range.").arg(text));
    }
    return static_cast<qint16>(value);
}

}  // namespace NumberText
