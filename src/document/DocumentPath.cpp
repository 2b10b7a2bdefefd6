#include "document/DocumentPath.h"

#include "platform/richtext/RichTextBox.h"

#include <QDir>

namespace {

const QChar separator = QDir::separator();

} // namespace

QString documentPath(const QString &folder, const QString &title)
{
    if (folder.endsWith(separator))
        return folder + title;
    return folder + separator + title;
}

QString folderOf(const QString &path)
{
    const qsizetype last = path.lastIndexOf(separator);
    if (last < 0)
        return QString();
    if (last == 0)
        return QString(separator); // the Unix root
    return path.left(last);
}

QString fileNameOf(const QString &path) { return path.mid(path.lastIndexOf(separator) + 1); }

QString absolutePath(const QString &path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QDir::current().absoluteFilePath(path)));
}

int fileTypeOf(const QString &name)
{
    return name.endsWith(QLatin1String(".rtf"), Qt::CaseSensitive) ? RichTextBox::RichText
                                                                   : RichTextBox::PlainText;
}
