#pragma once

#include <QString>

#include "file_exists.h"

// The machine-wide folders that start-up works with.
namespace Globals {

// The environment variable that replaces the machine-wide data folder (portable installs, tests).
inline constexpr const char* kDataRootVariable = "HELVARINE_DATA_ROOT";
// The shell folder number of the machine-wide application-data folder.
inline constexpr int kCommonAppData = 35;

// The path of a special folder; for the machine-wide application-data folder that is /var/lib,
// or HELVARINE_DATA_ROOT when it is set. The empty text for any other folder number.
QString GetSpecialFolderPath(int folder);

}  // namespace Globals
