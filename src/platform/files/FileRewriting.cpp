#include "platform/files/FileSavingRoads.h"

#ifdef Q_OS_UNIX

#include "platform/RuntimeError.h"
#include "platform/files/FileAttributes.h"
#include "platform/files/PosixFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace posix {

namespace {

QString quoted(const QString &path)
{
    return QLatin1Char('"') + QDir::toNativeSeparators(path) + QLatin1Char('"');
}

bool mayWriteIn(const QString &folder)
{
    return ::faccessat(AT_FDCWD, QFile::encodeName(folder).constData(), W_OK, AT_EACCESS) == 0;
}

// The user's cache folder, made when it is missing (a failure shows when a
// file cannot be made there).
QString cacheFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    QDir().mkpath(folder);
    return folder;
}

// Puts a copy of the file open as fd into copy: in folder, or in the user's
// cache folder when folder refuses new files. The file is left as it was
// when no copy can be made.
void putAside(TemporaryFile &copy, int fd, const QString &path, const QString &folder)
{
    if (!copy.create(folder, 0600)) {
        if (!isRefusal(errno))
            throw systemFileError(path, QFileDevice::OpenError);
        const QString cache = cacheFolder();
        if (!copy.create(cache, 0600)) {
            throw systemFileError(
                path, QFileDevice::OpenError,
                QStringLiteral("neither the folder %1 nor the cache folder %2 can take a copy "
                               "of the old file while the file is written")
                    .arg(quoted(folder), quoted(cache)));
        }
    }
    if (!overwriteWithCopy(copy.fd(), fd))
        throw systemFileError(path, QFileDevice::WriteError);
}

} // namespace

void rewriteFile(const QString &path, const QByteArray &target, const QByteArray &bytes)
{
    const QString folder = QFileInfo(QFile::decodeName(target)).absolutePath();
    const bool folderWritable = mayWriteIn(folder);
    const FileDescriptor file(
        ::open(target.constData(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.isOpen()) {
        QString cause;
        if (errno == EACCES || errno == EPERM) {
            cause = folderWritable
                ? QStringLiteral("the file cannot be written")
                : QStringLiteral("neither the file nor its folder %1 can be written")
                      .arg(quoted(folder));
        }
        throw systemFileError(path, QFileDevice::OpenError, cause);
    }
    struct stat before;
    if (::fstat(file.get(), &before) != 0)
        throw systemFileError(path, QFileDevice::OpenError);
    requireRegularFile(path, before.st_mode);

    TemporaryFile copy;
    putAside(copy, file.get(), path, folder);
    if (!overwrite(file.get(), bytes)) {
        const RuntimeError failure = systemFileError(path, QFileDevice::WriteError);
        const bool restored = overwriteWithCopy(file.get(), copy.fd());
        keepMode(file.get(), before.st_mode);
        if (restored)
            throw failure;
        const QString kept = QFile::decodeName(copy.path());
        copy.keep();
        throw RuntimeError(
            failure.Number(),
            failure.Description()
                + QStringLiteral(
                      ". Its old text could not be put back; a copy of it is kept in %1.")
                      .arg(quoted(kept)));
    }
    keepMode(file.get(), before.st_mode);
}

} // namespace posix

#endif
