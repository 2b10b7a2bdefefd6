#pragma once

#include <QString>

// Where the document lives and in which format: a document has no stored
// path, only its file name (FileTitle) and its folder (DefaultDir). Paths use
// the platform's separator: a backslash on Windows, a slash elsewhere.

// The path of the file title in folder: the folder, a separator and the
// title. A root that already ends in a separator ("/", "C:\") gets none more.
QString documentPath(const QString &folder, const QString &title);

// The folder of path: what stands before its last separator. A file in the
// root of a Windows drive gives the drive ("C:"); a file in the root of a
// Unix file system gives the root itself ("/"). Empty for a bare name.
QString folderOf(const QString &path);

// The file name of path: what follows its last separator.
QString fileNameOf(const QString &path);

// path as an absolute path with the platform's separators; a relative path is
// taken from the current folder.
QString absolutePath(const QString &path);

// The format of a file, by its name alone: RichTextBox::RichText when the
// name ends in exactly ".rtf" (lower case), RichTextBox::PlainText otherwise.
int fileTypeOf(const QString &name);
