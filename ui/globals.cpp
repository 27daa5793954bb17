#include "globals.h"

#include <QFileInfo>

namespace Globals {

QString GetSpecialFolderPath(int folder) {
    if (folder != kCommonAppData) {
        return {};
    }
    if (qEnvironmentVariableIsSet(kDataRootVariable)) {
        return qEnvironmentVariable(kDataRootVariable).trimmed();
    }
    return QStringLiteral("/var/lib");
}

bool FileExists(const QString& path) noexcept {
    try {
        return !path.isEmpty() && QFileInfo(path).lastModified().isValid();
    } catch (...) {
        return false;
    }
}

}  // namespace Globals
