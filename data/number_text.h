#pragma once

#include <QString>
#include <QtGlobal>

// Numbers read from texts (stored settings, identifiers): a text that is not such a number
// throws a Failure that names it.
namespace NumberText {

// A single-precision number in plain decimal ("1500", "1234.5", also with the user's decimal
// sign); blanks around it are ignored.
float toSingle(const QString& text);
// A number, written as for toSingle, rounded to a whole number from -32768 to 32767 (halves to
// the even one): "2", "2.0" and "1.5" are all 2.
qint16 toInteger16(const QString& text);

}  // namespace NumberText
