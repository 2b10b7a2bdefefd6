#pragma once

// Helpers for the RTF tests: reading RTF into a fresh document, writing it
// back, and a summary of a document's text and formats to compare two
// documents with.

#include "platform/TextFormat.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>

#include <memory>

namespace rtftest {

inline std::unique_ptr<QTextDocument> read(const QByteArray &rtf)
{
    auto document = std::make_unique<QTextDocument>();
    document->setUndoRedoEnabled(false);
    QTextCursor cursor(document.get());
    insertRtf(cursor, rtf);
    return document;
}

inline QByteArray writeAll(const QTextDocument &document)
{
    return writeRtf(document, 0, document.characterCount() - 1);
}

inline QString describeChar(const QTextCharFormat &f)
{
    QStringList parts;
    parts << textformat::fontName(f) << QString::number(f.fontPointSize());
    if (f.fontWeight() >= QFont::DemiBold)
        parts << "b";
    if (f.fontItalic())
        parts << "i";
    if (f.fontUnderline())
        parts << "u";
    if (f.fontStrikeOut())
        parts << "s";
    if (f.hasProperty(QTextFormat::ForegroundBrush))
        parts << "fg" + f.foreground().color().name();
    if (f.hasProperty(QTextFormat::BackgroundBrush))
        parts << "bg" + f.background().color().name();
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        parts << "super";
    if (f.verticalAlignment() == QTextCharFormat::AlignSubScript)
        parts << "sub";
    if (f.hasProperty(textformat::CharOffset))
        parts << "off" + QString::number(f.property(textformat::CharOffset).toInt());
    if (f.isAnchor())
        parts << "href=" + f.anchorHref();
    if (f.isImageFormat()) {
        const QTextImageFormat image = f.toImageFormat();
        parts << QStringLiteral("image %1x%2").arg(image.width()).arg(image.height());
    }
    return parts.join(QLatin1Char(' '));
}

inline QString describeBlock(const QTextBlockFormat &f)
{
    QStringList parts;
    parts << QString::number(int(f.alignment() & Qt::AlignHorizontal_Mask))
          << QString::number(f.leftMargin()) << QString::number(f.rightMargin())
          << QString::number(f.textIndent()) << QString::number(f.topMargin())
          << QString::number(f.bottomMargin());
    if (f.hasProperty(QTextFormat::LineHeight))
        parts << QStringLiteral("lh%1/%2").arg(f.lineHeight()).arg(f.lineHeightType());
    for (const QTextOption::Tab &tab : f.tabPositions())
        parts << QStringLiteral("tab%1/%2").arg(tab.position).arg(tab.type);
    if (f.boolProperty(textformat::ParagraphBullet))
        parts << "bullet";
    if (f.hasProperty(textformat::ParagraphNumberText))
        parts << "number " + f.stringProperty(textformat::ParagraphNumberText);
    return parts.join(QLatin1Char(' '));
}

// One line per paragraph and one per run of text in one format.
inline QStringList summary(const QTextDocument &document)
{
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        lines << "¶ " + describeBlock(block.blockFormat());
        // Fragments split differently by the document are joined by format.
        QString text, format;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString next = describeChar(fragment.charFormat());
            if (next != format && !text.isEmpty()) {
                lines << "  [" + text + "] " + format;
                text.clear();
            }
            text += fragment.text();
            format = next;
        }
        if (!text.isEmpty())
            lines << "  [" + text + "] " + format;
    }
    return lines;
}

} // namespace rtftest
