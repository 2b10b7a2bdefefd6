#include "platform/richtext/PlainTextLineBreaks.h"

#include "platform/TextFormat.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

void insertParagraphs(QTextCursor &cursor, const QString &paragraphs, const QTextCharFormat &format,
                      const OtherLineBreaks &otherBreaks)
{
    if (otherBreaks.empty()) {
        cursor.insertText(paragraphs, format);
        return;
    }
    cursor.beginEditBlock();
    QTextCharFormat marked = format;
    qsizetype start = 0;                                  // of the text not inserted yet
    qsizetype at = paragraphs.indexOf(QLatin1Char('\n')); // a break
    int paragraph = 0;                                    // the one it ends
    for (const OtherLineBreak &other : otherBreaks) {
        for (; at >= 0 && paragraph < other.paragraph; ++paragraph)
            at = paragraphs.indexOf(QLatin1Char('\n'), at + 1);
        if (at < 0)
            break;
        if (at > start)
            cursor.insertText(paragraphs.mid(start, at - start), format);
        marked.setProperty(textformat::LineBreakKind, int(other.kind));
        cursor.insertBlock(cursor.blockFormat(), marked);
        start = at + 1;
        at = paragraphs.indexOf(QLatin1Char('\n'), start);
        ++paragraph;
    }
    if (start < paragraphs.size())
        cursor.insertText(paragraphs.mid(start), format);
    cursor.endEditBlock();
}

OtherLineBreaks otherLineBreaks(const QTextDocument &document)
{
    // The kind each of the document's formats marks, by format index.
    const QList<QTextFormat> formats = document.allFormats();
    std::vector<int> kinds(formats.size(), -1);
    bool anyMarked = false;
    for (qsizetype i = 0; i < formats.size(); ++i) {
        if (formats.at(i).hasProperty(textformat::LineBreakKind)) {
            kinds[i] = formats.at(i).intProperty(textformat::LineBreakKind);
            anyMarked = true;
        }
    }
    OtherLineBreaks breaks;
    if (!anyMarked)
        return breaks;
    // A block's character format is its separator's before it.
    int paragraph = 0;
    for (QTextBlock block = document.firstBlock().next(); block.isValid();
         block = block.next(), ++paragraph) {
        const int index = block.charFormatIndex();
        if (index >= 0 && index < int(kinds.size()) && kinds[index] >= 0)
            breaks.push_back({paragraph, PlainTextFormat::LineBreak(kinds[index])});
    }
    return breaks;
}

QTextCharFormat withoutLineBreakKind(QTextCharFormat format)
{
    format.clearProperty(textformat::LineBreakKind);
    return format;
}
