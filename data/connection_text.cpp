#include "connection_text.h"

#include <QRegularExpression>
#include <QUrl>
#include <algorithm>

namespace {

const QString kMask = QStringLiteral("********");

}  // namespace

QStringList ConnectionText::passwords(const QString& connectionText) {
    static const QRegularExpression userInfo(
        QStringLiteral("^\\s*postgres(?:ql)?://[^/@?#]*?:([^@/?#]*)@"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression query(QStringLiteral("[?&]password=([^&#]*)"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression pair(
        QStringLiteral("(?:^|\\s)password\\s*=\\s*('(?:[^'\\\\]|\\\\.)*'|\\S+)"),
        QRegularExpression::CaseInsensitiveOption);
    QStringList found;
    const auto take = [&found](QString value) {
        if (value.startsWith(QLatin1Char('\'')) && value.endsWith(QLatin1Char('\'')) &&
            value.size() >= 2) {
            found.append(value);
            value =
                value.mid(1, value.size() - 2).replace(QStringLiteral("\\'"), QStringLiteral("'"));
        }
        if (!value.isEmpty()) {
            found.append(value);
            const QString decoded = QUrl::fromPercentEncoding(value.toUtf8());
            if (decoded != value) {
                found.append(decoded);
            }
        }
    };
    if (const QRegularExpressionMatch match = userInfo.match(connectionText); match.hasMatch()) {
        take(match.captured(1));
    }
    for (const QRegularExpression* pattern : {&query, &pair}) {
        for (auto match = pattern->globalMatch(connectionText); match.hasNext();) {
            take(match.next().captured(1));
        }
    }
    // The longest first, so that a password containing another is masked whole.
    std::sort(found.begin(), found.end(),
              [](const QString& a, const QString& b) { return a.size() > b.size(); });
    found.removeDuplicates();
    return found;
}

QString ConnectionText::withoutPasswords(QString message, const QString& connectionText) {
    for (const QString& password : passwords(connectionText)) {
        message.replace(password, kMask);
    }
    return message;
}
