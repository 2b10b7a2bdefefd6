// The pieces of long paragraphs side by side on their lines, when the text
// does not wrap (see RichTextLayout.h).

#include "platform/richtext/RichTextLayout.h"

#include "platform/TextFormat.h"

#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

bool RichTextLayout::piecesSideBySide() const
{
    return !m_mirror.pieceBreaks().empty() && !wraps();
}

// The paragraph goes on in the block after block.
bool RichTextLayout::continuesOn(const QTextBlock &block) const
{
    return m_mirror.isPieceBreak(block.position() + block.length() - 1);
}

bool RichTextLayout::isPiece(const QTextBlock &block) const
{
    return m_mirror.isPieceBreak(block.position() - 1) || continuesOn(block);
}

bool RichTextLayout::isSideBySidePiece(const QTextBlock &block) const
{
    return piecesSideBySide() && isPiece(block);
}

bool RichTextLayout::piecesInOneLine(const QTextBlock &block) const
{
    return isSideBySidePiece(block) && rowOf(block)->breaks == 0;
}

// A block's lines, as line numbers count them: side by side, a piece's last
// line goes on in the next piece, where it is counted.
int RichTextLayout::linesEndingIn(const QTextBlock &block, int layoutLines) const
{
    return !wraps() && continuesOn(block) ? layoutLines - 1 : layoutLines;
}

// The same without a layout: unwrapped, a block has a line for each of its
// line breaks and one more.
int RichTextLayout::unwrappedLinesEndingIn(const QTextBlock &block, int position)
{
    const QStringView text = m_mirror.view(position, block.length() - 1);
    return linesEndingIn(block, int(text.count(QChar::LineSeparator)) + 1);
}

// Qt counts a line in every paragraph it has not laid out: those of the
// pieces that hold a position in [from, to] are set here, so that the scroll
// range and the top line go by the lines shown.
void RichTextLayout::settlePieceLineCounts(int from, int to)
{
    if (!piecesSideBySide())
        return;
    const QTextBlock last = document()->findBlock(to);
    if (last.isValid())
        to = last.position() + last.length() - 1; // its piece break, if it has one
    const std::vector<int> &breaks = m_mirror.pieceBreaks();
    const int before = document()->lineCount();
    for (auto it = std::lower_bound(breaks.begin(), breaks.end(), from);
         it != breaks.end() && *it <= to; ++it) {
        QTextBlock piece = document()->findBlock(*it);
        if (!piece.isValid() || !piece.isVisible())
            continue;
        const int lines = unwrappedLinesEndingIn(piece, piece.position());
        if (piece.lineCount() != lines)
            piece.setLineCount(lines);
        setCountedLines(piece.blockNumber(), lines);
    }
    if (document()->lineCount() != before)
        m_reportSizeChange();
}

void RichTextLayout::forgetRows() const { m_rows.clear(); }

RichTextLayout::Row RichTextLayout::cachedRowOf(const QTextBlock &block, int *place) const
{
    const int handle = block.fragmentIndex();
    for (const Row &row : m_rows) {
        const auto found = row->places.find(handle);
        if (found != row->places.end()) {
            *place = found->second;
            return row;
        }
    }
    return nullptr;
}

RichTextLayout::Row RichTextLayout::rowOf(const QTextBlock &block, int *place) const
{
    int found = 0;
    Row row = cachedRowOf(block, &found);
    if (!row) {
        row = measuredRow(textformat::firstPieceOf(block));
        found = block.blockNumber() - row->first;
        // A few lines are kept: a view shows some, and the caret's may lie
        // beyond them.
        constexpr size_t RowsKept = 8;
        m_rows.insert(m_rows.begin(), row);
        if (m_rows.size() > RowsKept)
            m_rows.pop_back();
    }
    if (!row->startsKnown)
        measureStarts(*row);
    if (place)
        *place = found;
    return row;
}

RichTextLayout::Row RichTextLayout::measuredRow(const QTextBlock &first) const
{
    auto row = std::make_shared<PieceRow>();
    row->first = first.blockNumber();
    row->localStart = document()->documentMargin()
        + std::max<qreal>(0, first.blockFormat().leftMargin() * pixelsPerPoint());
    TextMirror &mirror = const_cast<TextMirror &>(m_mirror);
    for (QTextBlock piece = first; piece.isValid(); piece = piece.next()) {
        const int breaks
            = int(mirror.view(piece.position(), piece.length() - 1).count(QChar::LineSeparator));
        // Where a piece with line breaks of its own ends its last line is
        // only known from its layout (such pieces are rare).
        QTextLayout *tl = piece.layout();
        if (breaks > 0 && tl->lineCount() == 0)
            layoutOwn(piece);
        const bool laid = tl->lineCount() > 0;
        row->breaksBefore.push_back(row->breaks);
        row->breaks += breaks;
        row->widths.push_back(laid ? tl->lineAt(0).naturalTextWidth() : estimatedWidth(piece));
        row->lineEnds.push_back(breaks > 0 && laid ? row->localStart
                                        + tl->lineAt(tl->lineCount() - 1).naturalTextWidth()
                                                   : -1);
        row->places.emplace(piece.fragmentIndex(), row->count++);
        if (!continuesOn(piece))
            break;
        if (breaks == 0)
            ++row->flatPieces;
    }
    return row;
}

void RichTextLayout::measureStarts(PieceRow &row) const
{
    const QTextBlock first = document()->findBlockByNumber(row.first);
    row.starts.resize(row.count);
    row.starts[0] = firstLineStart(first);
    for (int k = 1; k < row.count; ++k)
        row.starts[k] = row.lineEnds[k - 1] >= 0 ? row.lineEnds[k - 1]
                                                 : row.starts[k - 1] + row.widths[k - 1];
    row.startsKnown = true;
    const int last = row.count - 1;
    const qreal end
        = row.lineEnds[last] >= 0 ? row.lineEnds[last] : row.starts[last] + row.widths[last];
    const qreal widest = end + document()->documentMargin();
    if (widest > m_widest) {
        m_widest = widest;
        reportSizeChangeLater();
    }
}

void RichTextLayout::pieceLaidOut(const QTextBlock &block, const QTextLayout &layout) const
{
    int k = 0;
    const Row row = cachedRowOf(block, &k);
    if (!row || layout.lineCount() == 0)
        return;
    if (layout.lineCount() - 1 != row->breaksIn(k)) {
        // A line break typed or deleted: the row is measured again when
        // next asked for.
        m_rows.erase(std::find(m_rows.begin(), m_rows.end(), row));
        return;
    }
    row->widths[k] = layout.lineAt(0).naturalTextWidth();
    if (row->lineEnds[k] >= 0)
        row->lineEnds[k]
            = row->localStart + layout.lineAt(layout.lineCount() - 1).naturalTextWidth();
    row->startsKnown = false;
}

bool RichTextLayout::isWanted(int blockNumber) const
{
    if (!m_wantedPositions)
        return false;
    // Asked for piece after piece: the paragraphs are looked up once for
    // each place of the caret and state of the text.
    const auto [position, anchor] = m_wantedPositions();
    if (position != m_wanted.position || anchor != m_wanted.anchor
        || document()->revision() != m_wanted.revision) {
        m_wanted = {position, anchor, document()->revision(),
                    document()->findBlock(position).blockNumber(),
                    document()->findBlock(anchor).blockNumber()};
    }
    return blockNumber == m_wanted.positionBlock || blockNumber == m_wanted.anchorBlock;
}

void RichTextLayout::setWantedPositions(std::function<std::pair<int, int>()> positions)
{
    m_wantedPositions = std::move(positions);
}

void RichTextLayout::setPointedPiece(const QTextBlock &pointed, int line)
{
    m_pointedPiece = pointed.isValid() ? pointed.blockNumber() : -1;
    m_pointedLine = line;
}

// The height of a piece in the middle of its line: too small to show, yet a
// height. The base control takes a rectangle without height for none at all,
// and would not scroll to a caret in such a piece. The paragraph's last piece
// takes as much less.
constexpr qreal NoHeight = 1.0 / (1 << 20);

QRectF RichTextLayout::pieceRect(const QTextBlock &block, Row row, int k) const
{
    if (!row->startsKnown)
        measureStarts(*row);
    const int number = row->first + k;
    const bool last = k == row->count - 1;
    const int pointed = m_pointedPiece - row->first;
    if (m_pointedPiece >= 0 && pointed < k && pointed >= 0) {
        // The pieces after the pointed one stand below the line pointed at,
        // where the base control's search from a later piece goes back over
        // them; the first of them holds the pointed piece's lines above that
        // line, which that search takes off as it leaves it.
        const QTextBlock pointedBlock = document()->findBlockByNumber(m_pointedPiece);
        if (pointedBlock.layout()->lineCount() == 0)
            layoutOwn(pointedBlock);
        const QTextLine line = pointedBlock.layout()->lineAt(m_pointedLine);
        return QRectF(row->starts[k] - row->localStart, line.height(), 0,
                      k == pointed + 1 ? line.y() : 0);
    }
    const bool beforePointed = m_pointedPiece >= 0 && k < pointed;
    QTextLayout *tl = block.layout();
    if (tl->lineCount() == 0) {
        // A piece in the middle of its line takes no height: unless it is to
        // be read, it needs no layout.
        if (!last && row->lineEnds[k] < 0 && number != m_pointedPiece && !isWanted(number))
            return QRectF(row->starts[k] - row->localStart, 0, row->localStart + row->widths[k],
                          beforePointed ? 0 : NoHeight);
        layoutOwn(block);
        row = rowOf(block, &k); // measured again with this piece's width
    }
    const qreal shift = k == 0 ? 0 : row->starts[k] - tl->lineAt(0).x();
    // Lines after a line break of the piece's own start at the paragraph's
    // margin, wherever the piece starts.
    for (int i = 1; i < tl->lineCount(); ++i) {
        QTextLine line = tl->lineAt(i);
        if (line.x() != row->localStart - shift)
            line.setPosition(QPointF(row->localStart - shift, line.y()));
    }
    const QRectF bounds = tl->boundingRect();
    const qreal width = bounds.right() + document()->documentMargin();
    if (number == m_pointedPiece) {
        const QTextLine line = tl->lineAt(m_pointedLine);
        return QRectF(shift, 0, width, line.y() + line.height());
    }
    qreal height = last ? bounds.bottom() : tl->lineAt(tl->lineCount() - 1).y();
    if (last && !block.next().isValid())
        height += document()->documentMargin();
    if (height == 0 && !beforePointed)
        height = NoHeight;
    else if (last) // the line's height comes out exact
        height -= row->flatPieces * NoHeight;
    return QRectF(shift, 0, width, height);
}

QTextBlock RichTextLayout::pieceAt(const QTextBlock &block, int line, qreal x, int *pieceLine) const
{
    *pieceLine = line;
    if (!isSideBySidePiece(block))
        return block;
    int k = 0;
    const Row row = rowOf(block, &k);
    // The paragraph's line: it starts in the piece with the line break
    // before it, after which only the pieces whose first line it is stand.
    const int wanted = row->breaksBefore[k] + line;
    const auto breaks = row->breaksBefore.begin();
    const int firstOn = int(std::lower_bound(breaks, breaks + row->count, wanted) - breaks);
    const int pastOn = int(std::upper_bound(breaks, breaks + row->count, wanted) - breaks);
    const int starting = wanted > 0 ? firstOn - 1 : 0;
    const auto starts = row->starts.begin();
    int chosen
        = int(std::upper_bound(starts + starting + 1, starts + std::max(pastOn, starting + 1), x)
              - starts)
        - 1;
    chosen = std::max(chosen, starting);
    *pieceLine = wanted - row->breaksBefore[chosen];
    return document()->findBlockByNumber(row->first + chosen);
}

QTextBlock RichTextLayout::lastPieceOf(const QTextBlock &block) const
{
    if (!isPiece(block))
        return block;
    const Row row = rowOf(block);
    return document()->findBlockByNumber(row->first + row->count - 1);
}

int RichTextLayout::unwrappedLineEndOf(int documentPosition)
{
    QTextBlock block = document()->findBlock(documentPosition);
    if (!block.isValid())
        return 0;
    if (isPiece(block)) {
        const Row row = rowOf(block);
        if (row->breaks == 0) {
            const QTextBlock last = document()->findBlockByNumber(row->first + row->count - 1);
            return last.position() + last.length() - 1;
        }
    }
    for (;;) {
        const int end = block.position() + block.length() - 1;
        const qsizetype lineBreak
            = m_mirror.view(documentPosition, end - documentPosition).indexOf(QChar::LineSeparator);
        if (lineBreak >= 0)
            return documentPosition + int(lineBreak);
        if (!continuesOn(block) || !block.next().isValid())
            return end;
        block = block.next();
        documentPosition = block.position();
    }
}

QRectF RichTextLayout::frameBoundingRect(QTextFrame *frame) const
{
    // Wide enough for every line, pieces side by side included: the control
    // repaints selections across paragraphs over this width.
    const QRectF base = QPlainTextDocumentLayout::frameBoundingRect(frame);
    return QRectF(base.topLeft(),
                  QSizeF(std::max(base.width(), documentSize().width()), base.height()));
}
