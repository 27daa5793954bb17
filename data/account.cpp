#include "account.h"

#include <pwd.h>
#include <unistd.h>

namespace Account {

QString name() {
    const passwd* entry = ::getpwuid(::geteuid());
    return entry != nullptr ? QString::fromLocal8Bit(entry->pw_name) : QString::number(::geteuid());
}

}  // namespace Account
