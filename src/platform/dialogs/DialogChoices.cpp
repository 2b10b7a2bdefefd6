#include "platform/dialogs/DialogChoices.h"

#include "platform/TextFormat.h"
#include "platform/dialogs/CommonDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>

namespace dialogchoice {

namespace {

QString qtPatterns(const QString &patterns)
{
    QStringList result;
    const QStringList parts = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const QString pattern = part.trimmed();
        if (pattern.isEmpty())
            continue;
        // "*.*" means every file; Qt's wildcard would want a dot in the name.
        result << (pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
    }
    return result.isEmpty() ? QStringLiteral("*") : result.join(QLatin1Char(' '));
}

} // namespace

QStringList qtNameFilters(const QString &filter)
{
    QStringList result;
    if (filter.isEmpty())
        return result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        const QString patterns = qtPatterns(i + 1 < parts.size() ? parts.at(i + 1) : QString());
        const QString shown = QStringLiteral("(%1)").arg(patterns);
        // "Text Documents (*.txt)" already shows its patterns the way Qt
        // reads them; anything else gets them added.
        if (description.endsWith(shown))
            result << description;
        else if (description.isEmpty())
            result << shown;
        else
            result << description + QLatin1Char(' ') + shown;
    }
    return result;
}

void setChosenFile(CommonDialog &dialog, const QString &path)
{
    QString chosen = path;
    QString extension = dialog.DefaultExt;
    if (extension.startsWith(QLatin1Char('.')))
        extension.remove(0, 1);
    if (!extension.isEmpty() && !QFileInfo(chosen).fileName().contains(QLatin1Char('.')))
        chosen += QLatin1Char('.') + extension;
    dialog.Filename = QDir::toNativeSeparators(chosen);
    dialog.FileTitle = QFileInfo(chosen).fileName();
}

void setPrintChoice(CommonDialog &dialog, QAbstractPrintDialog::PrintRange range, int copies)
{
    long flags = dialog.Flags & ~(cdlPDSelection | cdlPDPageNums);
    if (range == QAbstractPrintDialog::Selection)
        flags |= cdlPDSelection;
    else if (range == QAbstractPrintDialog::PageRange)
        flags |= cdlPDPageNums;
    dialog.Flags = flags;
    dialog.Copies = copies;
}

QFont initialFont(const CommonDialog &dialog)
{
    QFont font = QGuiApplication::font();
    if (!dialog.FontName.isEmpty())
        font.setFamilies(QStringList{dialog.FontName});
    if (dialog.FontSize > 0)
        font.setPointSizeF(dialog.FontSize);
    font.setBold(dialog.FontBold);
    font.setItalic(dialog.FontItalic);
    font.setStrikeOut(dialog.FontStrikethru);
    font.setUnderline(dialog.FontUnderline);
    return font;
}

void setChosenFont(CommonDialog &dialog, const QFont &font)
{
    dialog.FontName = font.family();
    // A font given in pixels has no point size of its own; QFontInfo knows it.
    const qreal points = font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
    dialog.FontSize = float(points);
    dialog.FontBold = font.bold();
    dialog.FontItalic = font.italic();
    dialog.FontStrikethru = font.strikeOut();
    dialog.FontUnderline = font.underline();
}

void setChosenColor(CommonDialog &dialog, const QColor &color)
{
    dialog.Color = textformat::packedFromColor(color);
}

} // namespace dialogchoice
