#include "globals.h"

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

}  // namespace Globals
