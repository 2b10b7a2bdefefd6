#include "platform/files/FileSaving.h"

#include "platform/RuntimeError.h"

#ifdef Q_OS_UNIX

#include "platform/files/FileSavingRoads.h"
#include "platform/files/PosixFiles.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>

namespace {

// The file a path leads to, symbolic links followed, so that a save through
// a link writes that file and the link stays. The path itself when it cannot
// be resolved.
QByteArray realPath(const QByteArray &path)
{
    char *resolved = ::realpath(path.constData(), nullptr);
    if (!resolved)
        return path;
    const QByteArray real(resolved);
    std::free(resolved);
    return real;
}

} // namespace

void writeWholeFile(const QString &path, const QByteArray &bytes)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat old;
    if (::stat(name.constData(), &old) != 0) {
        if (errno != ENOENT)
            throw systemFileError(path, QFileDevice::OpenError);
        posix::replaceFile(path, name, nullptr, bytes);
        return;
    }
    posix::requireRegularFile(path, old.st_mode);
    const QByteArray target = realPath(name);
    if (old.st_nlink == 1 && posix::replaceFile(path, target, &old, bytes))
        return;
    posix::rewriteFile(path, target, bytes);
}

#else

#include <QFileInfo>
#include <QSaveFile>

void writeWholeFile(const QString &path, const QByteArray &bytes)
{
    if (QFileInfo(path).isDir())
        throw notRegularFileError(path, QStringLiteral("a folder"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw fileError(path, file.error(), file.errorString());
    // What the write buffer still holds reaches the file only in a flush, and
    // commit() would not report its failure: a few hundred bytes on a full
    // disk would leave an empty file behind a commit that says all is well.
    // So the buffer is flushed and checked here, and only a file written
    // whole replaces the old one.
    const bool written
        = file.write(bytes) == bytes.size() && file.flush() && file.error() == QFileDevice::NoError;
    if (!written || !file.commit())
        throw fileError(path, file.error(), file.errorString());
}

#endif
