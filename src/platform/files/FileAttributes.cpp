#include "platform/files/FileAttributes.h"

#ifdef Q_OS_UNIX

#include <QList>

#include <cerrno>

#include <unistd.h>

#ifdef Q_OS_LINUX
#include <sys/xattr.h>
#endif

namespace posix {

namespace {

constexpr mode_t ModeBits = 07777;

#ifdef Q_OS_LINUX

// The names in a list as listxattr gives it: each ends in a NUL.
QList<QByteArray> splitNames(const QByteArray &list)
{
    QList<QByteArray> names = list.split('\0');
    names.removeAll(QByteArray());
    return names;
}

// Reads a list or a value whose length may change between the call that
// asks for it and the call that fetches it; false on failure.
template<typename Get>
bool fetch(Get get, QByteArray *result)
{
    for (;;) {
        const ssize_t length = get(nullptr, 0);
        if (length < 0)
            return false;
        result->resize(length);
        const ssize_t got = get(result->data(), size_t(length));
        if (got >= 0) {
            result->resize(got);
            return true;
        }
        if (errno != ERANGE)
            return false;
    }
}

// Copies every extended attribute of the file at from to the file open as
// to, and removes those that to has and from has not (such as an access
// control list taken from the folder's default).
bool copyExtendedAttributes(const QByteArray &from, int to)
{
    QByteArray list;
    if (!fetch(
            [&](char *buffer, size_t size) { return ::listxattr(from.constData(), buffer, size); },
            &list))
        return errno == ENOTSUP; // a file system without them has nothing to copy
    const QList<QByteArray> names = splitNames(list);
    for (const QByteArray &name : names) {
        QByteArray value;
        const auto get = [&](char *buffer, size_t size) {
            return ::getxattr(from.constData(), name.constData(), buffer, size);
        };
        if (!fetch(get, &value)
            || ::fsetxattr(to, name.constData(), value.constData(), size_t(value.size()), 0) != 0)
            return false;
    }
    QByteArray ownList;
    if (fetch([&](char *buffer, size_t size) { return ::flistxattr(to, buffer, size); },
              &ownList)) {
        for (const QByteArray &name : splitNames(ownList)) {
            if (!names.contains(name))
                ::fremovexattr(to, name.constData());
        }
    }
    return true;
}

#else

bool copyExtendedAttributes(const QByteArray &, int) { return true; }

#endif

} // namespace

bool giveOwnerOf(int fd, const struct stat &old)
{
    return ::fchown(fd, old.st_uid, old.st_gid) == 0;
}

bool giveModeAndAttributesOf(int fd, const struct stat &old, const QByteArray &oldPath)
{
    return ::fchmod(fd, old.st_mode & ModeBits) == 0 && copyExtendedAttributes(oldPath, fd);
}

void keepMode(int fd, mode_t mode)
{
    struct stat now;
    if (::fstat(fd, &now) == 0 && (now.st_mode & ModeBits) != (mode & ModeBits))
        ::fchmod(fd, mode & ModeBits);
}

} // namespace posix

#endif
