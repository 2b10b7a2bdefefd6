#include "RuntimeError.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

RuntimeError::RuntimeError(int number, const QString &description)
    : std::runtime_error(description.toStdString()), m_number(number), m_description(description)
{
}

namespace {

// A missing file is "file not found" while its folder exists, otherwise
// "path not found".
int missingNumber(const QFileInfo &info)
{
    return QFileInfo(info.absolutePath()).isDir() ? ErrFileNotFound : ErrPathNotFound;
}

// The number for the system's error code, or 0 when the code says nothing
// useful (or contradicts what is on disk).
int numberFromSystemCode(int code, const QFileInfo &info)
{
    switch (code) {
    case ENOENT:
        return info.exists() ? 0 : missingNumber(info);
    case ENOTDIR:
        return ErrPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return ErrPermissionDenied;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return ErrDiskFull;
    case EIO:
        return ErrDeviceIO;
    case EMFILE:
    case ENFILE:
        return ErrTooManyFiles;
    case EISDIR:
        return ErrPathFileAccess;
    default:
        return 0;
    }
}

// The number judged from the kind of failure and the state of the disk.
int numberFromState(QFileDevice::FileError error, const QFileInfo &info)
{
    switch (error) {
    case QFileDevice::ReadError:
    case QFileDevice::WriteError:
    case QFileDevice::FatalError:
    case QFileDevice::ResourceError:
    case QFileDevice::AbortError:
    case QFileDevice::TimeOutError:
    case QFileDevice::PositionError:
    case QFileDevice::ResizeError:
        return ErrDeviceIO;
    default:
        // The file could not be opened, removed, renamed, copied or given
        // permissions: either it is not there, or it is a folder, or it is
        // protected or locked.
        if (!info.exists())
            return missingNumber(info);
        if (info.isDir())
            return ErrPathFileAccess;
        return ErrPermissionDenied;
    }
}

QString messageFor(int number)
{
    switch (number) {
    case ErrFileNotFound: return QStringLiteral("File not found");
    case ErrPathNotFound: return QStringLiteral("Path not found");
    case ErrPermissionDenied: return QStringLiteral("Permission denied");
    case ErrDiskFull: return QStringLiteral("Disk full");
    case ErrTooManyFiles: return QStringLiteral("Too many files");
    case ErrPathFileAccess: return QStringLiteral("Path/File access error");
    default: return QStringLiteral("Device I/O error");
    }
}

} // namespace

RuntimeError fileError(const QString &path, QFileDevice::FileError error, const QString &detail)
{
#ifdef Q_OS_WIN
    // The file engine reports through the Windows error code, not errno.
    const int systemCode = 0;
#else
    const int systemCode = errno;
#endif
    const QFileInfo info(path);
    int number = numberFromSystemCode(systemCode, info);
    if (number == 0)
        number = numberFromState(error, info);

    QString description = QStringLiteral("%1: \"%2\"").arg(messageFor(number), QDir::toNativeSeparators(path));
    if (!detail.isEmpty())
        description += QStringLiteral(" (%1)").arg(detail);
    return RuntimeError(number, description);
}
