#include "platform/files/PosixFiles.h"

#ifdef Q_OS_UNIX

#include "platform/RuntimeError.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace posix {

namespace {

// What a file of mode is, in words; empty for a regular file.
QString kindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return QString();
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("a FIFO");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    if (S_ISCHR(mode))
        return QStringLiteral("a character device");
    if (S_ISBLK(mode))
        return QStringLiteral("a block device");
    return QStringLiteral("a special file");
}

// Copies from's content, from its start, to to's position.
bool copyContents(int from, int to)
{
    QByteArray piece(1 << 16, Qt::Uninitialized);
    for (off_t offset = 0;;) {
        const ssize_t got = ::pread(from, piece.data(), size_t(piece.size()), offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got == 0;
        if (!writeAll(to, QByteArray::fromRawData(piece.constData(), got)))
            return false;
        offset += got;
    }
}

bool cutToNothing(int fd) { return ::ftruncate(fd, 0) == 0 && ::lseek(fd, 0, SEEK_SET) == 0; }

} // namespace

void requireRegularFile(const QString &path, mode_t mode)
{
    const QString kind = kindOf(mode);
    if (!kind.isEmpty())
        throw notRegularFileError(path, kind);
}

FileDescriptor::~FileDescriptor() { close(); }

bool FileDescriptor::close()
{
    if (m_fd < 0)
        return true;
    const int fd = m_fd;
    m_fd = -1;
    return ::close(fd) == 0;
}

void FileDescriptor::reset(int fd)
{
    close();
    m_fd = fd;
}

int FileDescriptor::release()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

bool overwrite(int fd, const QByteArray &bytes)
{
    return cutToNothing(fd) && writeAll(fd, bytes) && syncWithSize(fd, bytes.size());
}

bool overwriteWithCopy(int to, int from)
{
    struct stat copied;
    return ::fstat(from, &copied) == 0 && cutToNothing(to) && copyContents(from, to)
        && syncWithSize(to, copied.st_size);
}

bool syncWithSize(int fd, qint64 size)
{
    struct stat info;
    if (::fsync(fd) != 0 || ::fstat(fd, &info) != 0)
        return false;
    if (info.st_size != size) {
        errno = EIO;
        return false;
    }
    return true;
}

bool syncFolder(const QString &folder)
{
    const FileDescriptor fd(
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return !fd.isOpen() || ::fsync(fd.get()) == 0 || errno == EINVAL;
}

bool isRefusal(int code) { return code == EACCES || code == EPERM || code == EROFS; }

bool TemporaryFile::create(const QString &folder, mode_t mode)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    const QByteArray prefix = QFile::encodeName(folder) + "/.scrivlet-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray path = prefix;
        for (int i = 0; i < 6; ++i)
            path += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            m_path = path;
            m_fd.reset(fd);
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

TemporaryFile::~TemporaryFile()
{
    m_fd.close();
    if (!m_path.isEmpty())
        ::unlink(m_path.constData());
}

bool TemporaryFile::renameTo(const QByteArray &target)
{
    if (::rename(m_path.constData(), target.constData()) != 0)
        return false;
    m_path.clear();
    return true;
}

} // namespace posix

#endif
