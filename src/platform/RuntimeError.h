#pragma once

#include <QFileDevice>
#include <QString>

#include <stdexcept>

// A runtime error with a number, as the program's error traps expect.
class RuntimeError : public std::runtime_error
{
public:
    RuntimeError(int number, const QString &description);

    int Number() const { return m_number; }
    QString Description() const { return m_description; }

private:
    int m_number;
    QString m_description;
};

// Error numbers.
enum RuntimeErrorNumber {
    ErrCancel = 32755,      // a common dialog was cancelled
    ErrInvalidArgument = 5, // a call with an argument it cannot use
    ErrOutOfMemory = 7,     // memory ran out, or a file is longer than the program loads
    ErrInternal = 51,       // a fault of the program itself that a command did not handle
    ErrFileNotFound = 53,
    ErrDeviceIO = 57,
    ErrDiskFull = 61,
    ErrTooManyFiles = 67, // the system is out of file handles
    ErrPermissionDenied = 70,
    ErrPathFileAccess = 75, // the path names a folder, or another access failure
    ErrPathNotFound = 76,
    ErrIndexOutOfBounds = 35600, // a numbered item (a status-bar panel) that does not exist
    ErrInvalidFileFormat = 321,  // the file's contents are not in the expected format
    ErrPrinter = 482,            // the printer could not start or go on with a print
};

// The error for a failed file operation on path: the number tells what went
// wrong (not found, no such folder, permission, disk full, device I/O) and the
// message names the file. Call it straight after the operation that failed:
// the system's error code of that moment (errno) refines the number.
RuntimeError fileError(const QString &path, QFileDevice::FileError error,
                       const QString &detail = QString());
// The error for a system call made for path that has just failed, from errno:
// cause says why in words, by default the system's own words for errno.
RuntimeError systemFileError(const QString &path, QFileDevice::FileError error,
                             const QString &cause = QString());

// The error for path when it names something other than a regular file: what
// says what it is ("a folder", "a FIFO").
RuntimeError notRegularFileError(const QString &path, const QString &what);
