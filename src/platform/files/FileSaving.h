#pragma once

#include <QByteArray>
#include <QString>

// Replaces the contents of the file at path with bytes, or creates it, and
// keeps what the file was: its owner, group, mode (set-id bits included) and
// extended attributes, its hard links, and the file a symbolic link at path
// leads to. No failure leaves a half-written file: either the whole new text
// is on disk (synced) or the old one is. Only a regular file is written over.
// Failures raise RuntimeError whose message names the cause.
//
// Where it can keep everything, it writes a new file beside the old one and
// renames it over it. Otherwise (a read-only folder, a file with more than one
// link, an owner or group the user cannot give a new file) it writes into the
// file itself, after putting a copy of the old file aside, which brings the
// old text back should the write fail.
void writeWholeFile(const QString &path, const QByteArray &bytes);
