#pragma once

#include <QtGlobal>

#ifdef Q_OS_UNIX

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

// The two ways writeWholeFile saves on POSIX systems. Both name path in their
// errors, the name the user knows; target is the file's real path, with
// symbolic links resolved, in the system's encoding.
namespace posix {

// Writes bytes to a new file in target's folder, gives it what the old file
// (old; null when target does not exist yet) had, syncs it and renames it
// over target. False, with nothing changed, when that cannot keep everything
// of an old file: its folder takes no new file, or the new file cannot be
// given the old one's owner, group, mode or extended attributes.
bool replaceFile(const QString &path, const QByteArray &target, const struct stat *old,
                 const QByteArray &bytes);

// Writes bytes into the file target itself, which keeps its owner, mode,
// extended attributes and links, after a copy of it has been put aside (in
// its folder, or in the user's cache folder when its folder is read-only). A
// failed write brings the old text back from the copy; the copy is removed
// once the file holds a whole text.
void rewriteFile(const QString &path, const QByteArray &target, const QByteArray &bytes);

} // namespace posix

#endif
