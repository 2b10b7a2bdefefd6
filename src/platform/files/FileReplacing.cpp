#include "platform/files/FileSavingRoads.h"

#ifdef Q_OS_UNIX

#include "platform/RuntimeError.h"
#include "platform/files/FileAttributes.h"
#include "platform/files/PosixFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

namespace posix {

namespace {

// Why a new file cannot be made in folder, in words, for the system's error
// code; empty where the system's own words say it best.
QString folderCause(int code, const QString &folder)
{
    const QString name = QDir::toNativeSeparators(folder);
    switch (code) {
    case EACCES:
    case EPERM: return QStringLiteral("the folder \"%1\" cannot be written").arg(name);
    case EROFS: return QStringLiteral("the folder \"%1\" is on a read-only file system").arg(name);
    case ENOENT:
    case ENOTDIR: return QStringLiteral("the folder \"%1\" does not exist").arg(name);
    default: return QString();
    }
}

} // namespace

bool replaceFile(const QString &path, const QByteArray &target, const struct stat *old,
                 const QByteArray &bytes)
{
    const QString folder = QFileInfo(QFile::decodeName(target)).absolutePath();
    TemporaryFile file;
    // Private until it has the old file's owner and mode; a new name gets
    // what any new file gets.
    if (!file.create(folder, old ? 0600 : 0666)) {
        if (old && isRefusal(errno))
            return false;
        throw systemFileError(path, QFileDevice::OpenError, folderCause(errno, folder));
    }
    if (old && !giveOwnerOf(file.fd(), *old))
        return false;
    if (!writeAll(file.fd(), bytes))
        throw systemFileError(path, QFileDevice::WriteError);
    if (old && !giveModeAndAttributesOf(file.fd(), *old, target))
        return false;
    if (!syncWithSize(file.fd(), bytes.size()) || !file.close() || !file.renameTo(target)
        || !syncFolder(folder))
        throw systemFileError(path, QFileDevice::WriteError);
    return true;
}

} // namespace posix

#endif
