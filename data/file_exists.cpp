#include "file_exists.h"

#include <QDateTime>
#include <QFileInfo>

namespace Globals {

bool FileExists(const QString& path) noexcept {
    try {
        return !path.isEmpty() && QFileInfo(path).lastModified().isValid();
    } catch (...) {
        return false;
    }
}

}  // namespace Globals
