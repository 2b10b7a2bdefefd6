#include "platform/richtext/LongParagraphs.h"

#include "platform/TextFormat.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

bool combinesWithPrevious(QChar c)
{
    if (c.isLowSurrogate())
        return true;
    const QChar::Category category = c.category();
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining
        || category == QChar::Mark_Enclosing;
}

// Where the piece that starts at from ends, in a paragraph that goes on for
// more than LongestPiece characters after it.
qsizetype pieceEnd(QStringView text, qsizetype from)
{
    const qsizetype limit = from + LongestPiece;
    for (qsizetype at = limit; at > from + LongestPiece / 2; --at) {
        const QChar c = text.at(at - 1);
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t'))
            return at;
    }
    qsizetype at = limit;
    while (at > from + 1 && combinesWithPrevious(text.at(at)))
        --at;
    return at;
}

} // namespace

std::vector<int> pieceCuts(QStringView paragraph)
{
    std::vector<int> cuts;
    if (paragraph.size() <= LongestUncutParagraph)
        return cuts;
    for (qsizetype from = 0; paragraph.size() - from > LongestPiece;) {
        from = pieceEnd(paragraph, from);
        cuts.push_back(int(from));
    }
    return cuts;
}

PiecedText cutLongParagraphs(const QString &paragraphs)
{
    std::vector<qsizetype> cuts; // positions in paragraphs that a piece break goes before
    const qsizetype size = paragraphs.size();
    for (qsizetype start = 0; start <= size;) {
        qsizetype end = paragraphs.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = size;
        for (const int cut : pieceCuts(QStringView(paragraphs).mid(start, end - start)))
            cuts.push_back(start + cut);
        start = end + 1;
    }
    PiecedText pieced;
    if (cuts.empty()) {
        pieced.text = paragraphs;
        return pieced;
    }
    pieced.text.reserve(size + qsizetype(cuts.size()));
    pieced.pieceBreaks.reserve(cuts.size());
    qsizetype done = 0;
    for (const qsizetype cut : cuts) {
        pieced.text += QStringView(paragraphs).mid(done, cut - done);
        pieced.pieceBreaks.push_back(int(pieced.text.size()));
        pieced.text += QLatin1Char('\n');
        done = cut;
    }
    pieced.text += QStringView(paragraphs).mid(done);
    return pieced;
}

void cutLongBlocks(QTextDocument &document, int from, int to)
{
    QTextCursor cursor(&document);
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        if (block.length() - 1 <= LongestUncutParagraph)
            continue; // not long: its text need not be copied out
        const std::vector<int> cuts = pieceCuts(block.text());
        // From the last cut back, so that the earlier ones keep their places.
        for (auto cut = cuts.rbegin(); cut != cuts.rend(); ++cut) {
            cursor.setPosition(block.position() + *cut);
            QTextCharFormat marked = cursor.charFormat();
            marked.clearProperty(QTextFormat::ObjectType);
            marked.setProperty(textformat::PieceBreak, true);
            cursor.insertBlock(block.blockFormat(), marked);
        }
        // The pieces made are blocks of their own: go on after the last,
        // whose text moved on by a separator for each.
        if (!cuts.empty()) {
            block = document.findBlock(cursor.position());
            to += int(cuts.size());
        }
    }
}
