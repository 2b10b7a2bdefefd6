#include "platform/files/FileReading.h"

#include "platform/files/PosixFiles.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#endif

FileTooLargeError::FileTooLargeError(const QString &path, qint64 length)
    : RuntimeError(ErrOutOfMemory,
                   QStringLiteral("The file \"%1\" is longer than %2 bytes")
                       .arg(QFileInfo(path).fileName())
                       .arg(MaxFileSize))
    , m_length(length)
{
}

namespace {

#ifdef Q_OS_UNIX

// Opens the regular file at path into file. Its type is looked at before it
// is opened; the open does not wait (O_NONBLOCK) should a FIFO take the name
// in between, and what was opened is looked at again.
void openRegularFile(QFile &file, const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    if (::stat(name.constData(), &info) != 0)
        throw systemFileError(path, QFileDevice::OpenError);
    posix::requireRegularFile(path, info.st_mode);
    posix::FileDescriptor fd(
        ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.isOpen() || ::fstat(fd.get(), &info) != 0)
        throw systemFileError(path, QFileDevice::OpenError);
    posix::requireRegularFile(path, info.st_mode);
    if (!file.open(fd.get(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        throw fileError(path, file.error(), file.errorString());
    fd.release();
}

#else

void openRegularFile(QFile &file, const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir())
        throw notRegularFileError(path, QStringLiteral("a folder"));
    if (info.exists() && !info.isFile())
        throw notRegularFileError(path, QStringLiteral("a special file"));
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        throw fileError(path, file.error(), file.errorString());
}

#endif

} // namespace

QByteArray readWholeFile(const QString &path)
{
    QFile file;
    openRegularFile(file, path);
    const qint64 reported = file.size();
    if (reported > MaxFileSize)
        throw FileTooLargeError(path, reported);
    // Read straight into the array, a piece at a time up to one byte past the
    // limit: the length a file reports is not trusted to bound what it gives.
    // A file that reports a length is read into room for it and one byte
    // more, which tells it ended; one that reports none (as many special
    // files do) in pieces of a fixed size and alignment, as some of those
    // answer only reads of whole units.
    constexpr qint64 Piece = 1 << 20;
    const qint64 room = reported > 0 ? reported + 1 : 0;
    QByteArray bytes;
    bytes.reserve(room);
    qint64 filled = 0;
    while (filled <= MaxFileSize) {
        qint64 wanted = qMin(Piece, MaxFileSize + 1 - filled);
        if (filled < room)
            wanted = qMin(wanted, room - filled);
        bytes.resize(filled + wanted);
        const qint64 got = file.read(bytes.data() + filled, wanted);
        if (got < 0 || file.error() != QFileDevice::NoError)
            throw fileError(path, file.error(), file.errorString());
        if (got == 0) {
            bytes.truncate(filled);
            return bytes;
        }
        filled += got;
    }
    throw FileTooLargeError(path, qMax(reported, filled));
}
