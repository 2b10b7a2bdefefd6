#pragma once

#include <QtGlobal>

#ifdef Q_OS_UNIX

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

// The pieces of POSIX file work that reading and saving share. Each write,
// flush and sync is checked: none reports success before the system has
// confirmed it. Failures return false and leave errno telling why.
namespace posix {

// Raises notRegularFileError for path unless mode is a regular file's.
void requireRegularFile(const QString &path, mode_t mode);

// A file descriptor, closed with the object.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd = -1)
        : m_fd(fd)
    {
    }
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;

    int get() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    // Closes it now, reporting what the close reports.
    bool close();
    // Closes it and takes fd in its place.
    void reset(int fd);
    // Gives the descriptor up to the caller, who then closes it.
    int release();

private:
    int m_fd;
};

// Writes all of bytes at fd's position, in as many calls as it takes.
bool writeAll(int fd, const QByteArray &bytes);
// Makes the file at fd hold bytes alone: cut to nothing, written, synced.
bool overwrite(int fd, const QByteArray &bytes);
// Makes the file at to hold what the file at from holds, synced.
bool overwriteWithCopy(int to, int from);
// Flushes fd's data to the disk and checks that the file holds size bytes.
bool syncWithSize(int fd, qint64 size);
// Flushes the folder's list of names to the disk (after a rename in it).
// A folder that cannot be opened for reading, or a file system that cannot
// sync folders, has nothing to flush.
bool syncFolder(const QString &folder);

// True when code says that the caller may not do what it tried.
bool isRefusal(int code);

// A new file with a short name of its own (".scrivlet-" and six letters or
// digits) in a folder, removed with the object unless kept.
class TemporaryFile
{
public:
    TemporaryFile() = default;
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    // Creates the file in folder, with mode less the umask; false, with
    // errno telling why, when it cannot.
    bool create(const QString &folder, mode_t mode);
    bool isOpen() const { return m_fd.isOpen(); }
    int fd() const { return m_fd.get(); }
    const QByteArray &path() const { return m_path; }
    bool close() { return m_fd.close(); }
    // Moves the file to target, replacing what is there; it is then no
    // longer this object's to remove.
    bool renameTo(const QByteArray &target);
    // Leaves the file on disk when the object goes.
    void keep() { m_path.clear(); }

private:
    QByteArray m_path;
    FileDescriptor m_fd;
};

} // namespace posix

#endif
