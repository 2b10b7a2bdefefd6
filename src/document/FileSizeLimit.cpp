#include "document/FileSizeLimit.h"

#include "platform/RuntimeError.h"
#include "platform/dialogs/MessageBox.h"

#include <QFileInfo>
#include <QLocale>

namespace {

// Bytes in mebibytes as a number is written for the user: up to 15
// significant digits, no trailing zeros, no thousands separator, the user's
// decimal separator (11010048 bytes give 10.5).
QString mebibytes(qint64 bytes)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(double(bytes) / 1024 / 1024, 'g', 15);
}

} // namespace

qint64 fileLength(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw fileError(path, QFileDevice::OpenError, QStringLiteral("cannot take its length"));
    return info.size();
}

QString tooLargeMessage(qint64 length)
{
    return QStringLiteral("The Current Max File size Limit for Scrivlet is %1 Meg.\r\n"
                          "This File is %2 Meg.\r\n"
                          "Sorry... I'm too lazy to code buffering.")
        .arg(mebibytes(MaxFileSize), mebibytes(length));
}

void showTooLargeMessage(qint64 length)
{
    MsgBox(tooLargeMessage(length), vbOKOnly, QStringLiteral("File is Too Large"));
}

bool isWithinSizeLimit(const QString &path)
{
    const qint64 length = fileLength(path);
    if (length <= MaxFileSize)
        return true;
    showTooLargeMessage(length);
    return false;
}
