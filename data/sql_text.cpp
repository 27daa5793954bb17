#include "sql_text.h"

namespace SqlText {

QString doubledQuotes(const QString& text) {
    QString result = text;
    result.replace(QLatin1Char('\''), QLatin1String("''"));
    return result;
}

QString quoted(const QString& text) {
    return QLatin1Char('\'') + doubledQuotes(text) + QLatin1Char('\'');
}

}  // namespace SqlText
