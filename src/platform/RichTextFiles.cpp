#include "RichTextFiles.h"

#include "RuntimeError.h"

#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QSaveFile>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

QByteArray readWholeFile(const QString &path)
{
    if (QFileInfo(path).isDir())
        throw fileError(path, QFileDevice::OpenError, QStringLiteral("it is a folder"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw fileError(path, file.error(), file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw fileError(path, file.error(), file.errorString());
    return bytes;
}

void writeWholeFile(const QString &path, const QByteArray &bytes)
{
    if (QFileInfo(path).isDir())
        throw fileError(path, QFileDevice::OpenError, QStringLiteral("it is a folder"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw fileError(path, file.error(), file.errorString());
    // What the write buffer still holds reaches the file only in a flush, and
    // commit() would not report its failure: a few hundred bytes on a full
    // disk would leave an empty file behind a commit that says all is well.
    // So the buffer is flushed and checked here, and only a file written
    // whole replaces the old one.
    const bool written = file.write(bytes) == bytes.size() && file.flush()
                         && file.error() == QFileDevice::NoError;
    if (!written || !file.commit())
        throw fileError(path, file.error(), file.errorString());
}

void printDocumentRange(const QTextDocument &document, int from, int to, QPrinter *printer)
{
    QTextCursor cursor(const_cast<QTextDocument *>(&document));
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    QTextDocument copy;
    copy.setDefaultFont(document.defaultFont());
    QTextCursor(&copy).insertFragment(cursor.selection());
    copy.print(printer);
}
