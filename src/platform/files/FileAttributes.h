#pragma once

#include <QtGlobal>

#ifdef Q_OS_UNIX

#include <QByteArray>

#include <sys/stat.h>

// What a file is besides its bytes, carried from an old file to the new one
// that takes its place.
namespace posix {

// Gives the file open as fd the owner and group of the file old describes.
// False when the caller may not: an owner other than the caller when the
// caller is not root, or a group that is not one of the caller's.
bool giveOwnerOf(int fd, const struct stat &old);

// Gives the file open as fd the mode (set-id bits included) of the file old
// describes and the extended attributes of the file at oldPath; false when
// any of it cannot be given. Called after the last write to fd, since the
// system clears set-id bits and file capabilities on a write by anyone but
// root, and after giveOwnerOf, since a change of owner clears them too.
bool giveModeAndAttributesOf(int fd, const struct stat &old, const QByteArray &oldPath);

// Puts the mode of the file open as fd back to mode when writing to it has
// changed it: the system clears the set-id bits of a file that someone other
// than root writes to. Where the caller may not set them, they stay cleared.
void keepMode(int fd, mode_t mode);

} // namespace posix

#endif
