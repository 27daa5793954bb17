#include "database_file.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "failure.h"

namespace DatabaseFile {

namespace {

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Moves `from` to `to` unless something already stands at `to`.
bool renameWithoutReplacing(const QByteArray& from, const QByteArray& to, int& error) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        error = errno;
        return false;
    }
#endif
    // A file system without renameat2: a hard link fails where anything stands, links included.
    if (::link(from.constData(), to.constData()) != 0) {
        error = errno;
        return false;
    }
    ::unlink(from.constData());
    return true;
}

}  // namespace

void createFolder(const QString& path, Access access) {
    const QByteArray native = QFile::encodeName(path);
    const mode_t mode = access == Access::GroupShares ? 02770 : 0755;
    if (::mkdir(native.constData(), mode & 0777) != 0) {
        const int error = errno;
        throw Failure(QStringLiteral("Path/File access error: cannot create the folder %1: %2")
                          .arg(path, systemReason(error)));
    }
    // mkdir applies the user's umask and may drop the setgid bit; the mode is set in full.
    ::chmod(native.constData(), mode);
}

void copyTemplate(const QString& templatePath, const QString& databasePath) {
    QFile source(templatePath);
    if (!source.open(QIODevice::ReadOnly)) {
        throw Failure(QStringLiteral("File not found: cannot read the template database %1: %2")
                          .arg(templatePath, source.errorString()));
    }
    const QString folder = QFileInfo(databasePath).absolutePath();
    QTemporaryFile copy(folder + QLatin1String("/.dbData-XXXXXX.tmp"));
    copy.setAutoRemove(true);
    if (!copy.open()) {
        throw Failure(QStringLiteral("Path/File access error: cannot write in the folder %1: %2")
                          .arg(folder, copy.errorString()));
    }
    while (!source.atEnd()) {
        const QByteArray block = source.read(1 << 16);
        if (block.isEmpty() && source.error() != QFileDevice::NoError) {
            throw Failure(QStringLiteral("Cannot read the template database %1: %2")
                              .arg(templatePath, source.errorString()));
        }
        if (copy.write(block) != block.size()) {
            throw Failure(QStringLiteral("Cannot write the database copy in %1: %2")
                              .arg(folder, copy.errorString()));
        }
    }
    if (!copy.flush() || ::fsync(copy.handle()) != 0) {
        throw Failure(QStringLiteral("Cannot write the database copy in %1: %2")
                          .arg(folder, systemReason(errno)));
    }
    if (::fchmod(copy.handle(), 0660) != 0) {
        throw Failure(QStringLiteral("Cannot write the database copy in %1: %2")
                          .arg(folder, systemReason(errno)));
    }
    int error = 0;
    if (!renameWithoutReplacing(QFile::encodeName(copy.fileName()), QFile::encodeName(databasePath),
                                error)) {
        if (error == EEXIST) {
            throw Failure(
                QStringLiteral("File already exists: %1 was left as it is").arg(databasePath));
        }
        throw Failure(QStringLiteral("Path/File access error: cannot create %1: %2")
                          .arg(databasePath, systemReason(error)));
    }
    copy.setAutoRemove(false);  // the temporary name is gone; nothing left to remove
}

}  // namespace DatabaseFile
