#pragma once

#include "platform/files/FileReading.h" // MaxFileSize

#include <QString>
#include <QtGlobal>

// The length in bytes of the file at path; RuntimeError when it cannot be
// taken (no such file, no such folder, no permission to look).
qint64 fileLength(const QString &path);

// The text of the "File is Too Large" box for a file of length bytes.
QString tooLargeMessage(qint64 length);

// Shows the "File is Too Large" box for a file of length bytes.
void showTooLargeMessage(qint64 length);

// True when the file at path is within MaxFileSize. Otherwise shows the
// "File is Too Large" box and gives false. RuntimeError when the length
// cannot be taken.
bool isWithinSizeLimit(const QString &path);
