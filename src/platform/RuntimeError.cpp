#include "platform/RuntimeError.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

RuntimeError::RuntimeError(int number, const QString &description)
    : std::runtime_error(description.toStdString())
    , m_number(number)
    , m_description(description)
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
    case ENOENT: return info.exists() ? 0 : missingNumber(info);
    case ENOTDIR: return ErrPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY: return ErrPermissionDenied;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return ErrDiskFull;
    case EIO: return ErrDeviceIO;
    case EMFILE:
    case ENFILE: return ErrTooManyFiles;
    case EISDIR: return ErrPathFileAccess;
    default: return 0;
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
    case QFileDevice::ResizeError: return ErrDeviceIO;
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

// The description: the message for number, the path, and what detail adds.
// Qt's "Unknown error" adds nothing and is left out.
QString describe(int number, const QString &path, const QString &detail)
{
    QString description
        = QStringLiteral("%1: \"%2\"").arg(messageFor(number), QDir::toNativeSeparators(path));
    if (!detail.isEmpty() && detail != QLatin1String("Unknown error"))
        description += QStringLiteral(" (%1)").arg(detail);
    return description;
}

RuntimeError errorFor(const QString &path, QFileDevice::FileError error, const QString &detail,
                      int systemCode)
{
    const QFileInfo info(path);
    int number = numberFromSystemCode(systemCode, info);
    if (number == 0)
        number = numberFromState(error, info);
    return RuntimeError(number, describe(number, path, detail));
}

} // namespace

RuntimeError fileError(const QString &path, QFileDevice::FileError error, const QString &detail)
{
#ifdef Q_OS_WIN
    // The file engine reports through the Windows error code, not errno.
    return errorFor(path, error, detail, 0);
#else
    return errorFor(path, error, detail, errno);
#endif
}

RuntimeError systemFileError(const QString &path, QFileDevice::FileError error,
                             const QString &cause)
{
    const int code = errno;
    QString words = cause;
    if (words.isEmpty()) {
        words = qt_error_string(code);
        if (!words.isEmpty())
            words[0] = words.at(0).toLower();
    }
    return errorFor(path, error, words, code);
}

RuntimeError notRegularFileError(const QString &path, const QString &what)
{
    return RuntimeError(ErrPathFileAccess,
                        describe(ErrPathFileAccess, path,
                                 QStringLiteral("it is %1, not a regular file").arg(what)));
}
