#pragma once

#include <QString>

// Small shared functions of the file system.
namespace Globals {

// The environment variable that replaces the machine-wide data folder (portable installs, tests).
inline constexpr const char* kDataRootVariable = "HELVARINE_DATA_ROOT";
// The shell folder number of the machine-wide application-data folder.
inline constexpr int kCommonAppData = 35;

// The path of a special folder; for the machine-wide application-data folder that is /var/lib,
// or HELVARINE_DATA_ROOT when it is set. The empty text for any other folder number.
QString GetSpecialFolderPath(int folder);

// True when the path's modification date and time can be read. Never fails.
bool FileExists(const QString& path) noexcept;

}  // namespace Globals
