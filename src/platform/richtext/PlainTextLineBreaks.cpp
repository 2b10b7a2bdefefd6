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

OtherLineBreaks otherLineBreaks(const QTextDocument &document)
{
    // The kind each of the document's formats marks, by format index.
    const QList<QTextFormat> formats = document.allFormats();
    constexpr int PieceBreakKind = -2;
    std::vector<int> kinds(formats.size(), -1);
    bool anyMarked = false;
    for (qsizetype i = 0; i < formats.size(); ++i) {
        if (formats.at(i).boolProperty(textformat::PieceBreak)) {
            kinds[i] = PieceBreakKind;
        } else if (formats.at(i).hasProperty(textformat::LineBreakKind)) {
            kinds[i] = formats.at(i).intProperty(textformat::LineBreakKind);
            anyMarked = true;
        }
    }
    OtherLineBreaks breaks;
    if (!anyMarked)
        return breaks;
    // A block's character format is its separator's before it; a piece
    // break ends no paragraph.
    int paragraph = 0;
    for (QTextBlock block = document.firstBlock().next(); block.isValid(); block = block.next()) {
        const int index = block.charFormatIndex();
        if (index < 0 || index >= int(kinds.size()) || kinds[index] == PieceBreakKind) {
            continue;
        }
        if (kinds[index] >= 0)
            breaks.push_back({paragraph, PlainTextFormat::LineBreak(kinds[index])});
        ++paragraph;
    }
    return breaks;
}

QTextCharFormat withoutSeparatorMarks(QTextCharFormat format)
{
    format.clearProperty(textformat::LineBreakKind);
    format.clearProperty(textformat::PieceBreak);
    return format;
}
