#pragma once

#include <QString>

namespace Globals {

// True when the path's modification date and time can be read. Never fails.
bool FileExists(const QString& path) noexcept;

}  // namespace Globals
