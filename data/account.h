#pragma once

#include <QString>

// The desktop account that runs the program.
namespace Account {

// Its login name, or its number when the system has no name for it.
QString name();

}  // namespace Account
