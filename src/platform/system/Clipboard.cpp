#include "platform/system/Clipboard.h"

#include "platform/RuntimeError.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace Clipboard {

void Clear() { QGuiApplication::clipboard()->clear(); }

void SetText(const QString &text, int format)
{
    if (format != vbCFText)
        throw RuntimeError(
            ErrInvalidArgument,
            QStringLiteral("Invalid clipboard format %1: only plain text (1) is supported")
                .arg(format));
    QGuiApplication::clipboard()->setText(text);
}

bool GetFormat(int format)
{
    if (format != vbCFText)
        return false;
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

QString GetText(int format)
{
    if (format != vbCFText)
        return QString();
    return QGuiApplication::clipboard()->text();
}

} // namespace Clipboard
