#pragma once

#include "platform/RuntimeError.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Documents are loaded whole; a file longer than this is not loaded.
constexpr qint64 MaxFileSize = 10485760; // 10 x 1024 x 1024 bytes

// Raised when a file turns out longer than MaxFileSize while it is read,
// whatever length it reported before (it may have grown meanwhile).
class FileTooLargeError : public RuntimeError
{
public:
    FileTooLargeError(const QString &path, qint64 length);

    // The file's length as far as it is known: more than MaxFileSize.
    qint64 length() const { return m_length; }

private:
    qint64 m_length;
};

// The bytes of the regular file at path, or of the regular file a symbolic
// link there leads to. Anything else (a folder, a FIFO, a socket, a device)
// is refused before it is opened, so that nothing waits for a writer. A file
// longer than MaxFileSize raises FileTooLargeError, without being read when
// its length tells so; at most MaxFileSize + 1 bytes are read.
// Other failures raise RuntimeError.
QByteArray readWholeFile(const QString &path);
