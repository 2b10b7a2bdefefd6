#include "platform/richtext/PlainTextLineBreaks.h"

#include "platform/TextFormat.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// A separator of paragraphs that is marked: its position in the text, and
// its line-break kind, or -1 for a piece break.
struct MarkedSeparator
{
    qsizetype position;
    int kind;
};

// The separators of paragraphs that otherBreaks and pieceBreaks mark, in
// order. Paragraphs are counted as the file has them: a piece break ends
// none.
std::vector<MarkedSeparator> markedSeparators(const QString &paragraphs,
                                              const OtherLineBreaks &otherBreaks,
                                              const std::vector<int> &pieceBreaks)
{
    std::vector<MarkedSeparator> marked;
    marked.reserve(otherBreaks.size() + pieceBreaks.size());
    auto piece = pieceBreaks.begin();
    auto isPieceBreak = [&](qsizetype at) {
        while (piece != pieceBreaks.end() && *piece < at)
            marked.push_back({*piece++, -1});
        return piece != pieceBreaks.end() && *piece == at;
    };
    qsizetype at = paragraphs.indexOf(QLatin1Char('\n')); // a break
    int paragraph = 0;                                    // the one it ends
    for (const OtherLineBreak &other : otherBreaks) {
        for (; at >= 0; at = paragraphs.indexOf(QLatin1Char('\n'), at + 1)) {
            if (isPieceBreak(at))
                continue;
            if (paragraph == other.paragraph)
                break;
            ++paragraph;
        }
        if (at < 0)
            break;
        marked.push_back({at, int(other.kind)});
        at = paragraphs.indexOf(QLatin1Char('\n'), at + 1);
        ++paragraph;
    }
    while (piece != pieceBreaks.end())
        marked.push_back({*piece++, -1});
    return marked;
}

} // namespace

void insertParagraphs(QTextCursor &cursor, const QString &paragraphs, const QTextCharFormat &format,
                      const OtherLineBreaks &otherBreaks, const std::vector<int> &pieceBreaks)
{
    if (otherBreaks.empty() && pieceBreaks.empty()) {
        cursor.insertText(paragraphs, format);
        return;
    }
    cursor.beginEditBlock();
    qsizetype start = 0; // of the text not inserted yet
    for (const MarkedSeparator &separator :
         markedSeparators(paragraphs, otherBreaks, pieceBreaks)) {
        if (separator.position > start)
            cursor.insertText(paragraphs.mid(start, separator.position - start), format);
        QTextCharFormat marked = format;
        if (separator.kind < 0)
            marked.setProperty(textformat::PieceBreak, true);
        else
            marked.setProperty(textformat::LineBreakKind, separator.kind);
        cursor.insertBlock(cursor.blockFormat(), marked);
        start = separator.position + 1;
    }
    if (start < paragraphs.size())
        cursor.insertText(paragraphs.mid(start), format);
    cursor.endEditBlock();
}

SeparatorMarks separatorMarks(const QTextDocument &document)
{
    const QList<QTextFormat> formats = document.allFormats();
    SeparatorMarks marks;
    marks.byFormat.assign(formats.size(), SeparatorMarks::None);
    for (qsizetype i = 0; i < formats.size(); ++i) {
        if (formats.at(i).boolProperty(textformat::PieceBreak)) {
            marks.byFormat[i] = SeparatorMarks::PieceBreak;
            marks.anyPieceBreak = true;
        } else if (formats.at(i).hasProperty(textformat::LineBreakKind)) {
            marks.byFormat[i] = formats.at(i).intProperty(textformat::LineBreakKind);
            marks.anyLineBreakKind = true;
        }
    }
    return marks;
}

int SeparatorMarks::before(const QTextBlock &block) const
{
    // A block's character format is its separator's before it.
    const int index = block.charFormatIndex();
    return index >= 0 && size_t(index) < byFormat.size() ? byFormat[index] : None;
}

OtherLineBreaks otherLineBreaks(const QTextDocument &document)
{
    const SeparatorMarks marks = separatorMarks(document);
    OtherLineBreaks breaks;
    if (!marks.anyLineBreakKind)
        return breaks;
    int paragraph = 0; // the one the separator ends; a piece break ends none
    for (QTextBlock block = document.firstBlock().next(); block.isValid(); block = block.next()) {
        const int mark = marks.before(block);
        if (mark == SeparatorMarks::PieceBreak)
            continue;
        if (mark >= 0)
            breaks.push_back({paragraph, PlainTextFormat::LineBreak(mark)});
        ++paragraph;
    }
    return breaks;
}
