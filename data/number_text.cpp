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
    double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok) {
        value = QLocale().toDouble(trimmed, &ok);
    }
    if (!ok || !std::isfinite(value)) {
        throw Failure(QStringLiteral("Type mismatch: '%1' is not a number.").arg(text));
    }
    // A number with a fraction ("2.0", "1.5") goes to the nearest whole number, a half to the
    // even one, as the conversion of a number to a 16-bit integer does.
    const double whole = std::nearbyint(value);
    if (whole < -32768 || whole > 32767) {
        throw Failure(QStringLiteral("Overflow: %1 is out of range.").arg(text));
    }
    return static_cast<qint16>(whole);
}

}  // namespace NumberText
