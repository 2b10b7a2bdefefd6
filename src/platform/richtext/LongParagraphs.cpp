#include "platform/richtext/LongParagraphs.h"

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
qsizetype pieceEnd(const QString &text, qsizetype from)
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

PiecedText cutLongParagraphs(const QString &paragraphs)
{
    std::vector<qsizetype> cuts; // positions in paragraphs that a piece break goes before
    const qsizetype size = paragraphs.size();
    for (qsizetype start = 0; start <= size;) {
        qsizetype end = paragraphs.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = size;
        if (end - start > LongestUncutParagraph) {
            for (qsizetype from = start; end - from > LongestPiece;) {
                from = pieceEnd(paragraphs, from);
                cuts.push_back(from);
            }
        }
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
