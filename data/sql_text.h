#pragma once

#include <QString>

// How values are written into statement texts.
namespace SqlText {

// A text value in single quotes, every single quote doubled; nothing else is changed.
QString quoted(const QString& text);

// The text with every single quote doubled, without the surrounding quotes, for statements
// that put the quotes into their fixed fragments.
QString doubledQuotes(const QString& text);

}  // namespace SqlText
