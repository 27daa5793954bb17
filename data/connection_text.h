#pragma once

#include <QString>
#include <QStringList>

// What a PostgreSQL connection text (a URI or "key=value" pairs, as libpq reads it) holds that a
// person must never see: its passwords. Read without libpq's parser, so that a text libpq
// refuses as malformed is read too.
namespace ConnectionText {

// The passwords the text names: a URI's "user:password@", "?password=" and "password=" pairs
// (quoted or not), as written and percent-decoded.
QStringList passwords(const QString& connectionText);

// The message with every password of the connection text replaced by asterisks.
QString withoutPasswords(QString message, const QString& connectionText);

}  // namespace ConnectionText
