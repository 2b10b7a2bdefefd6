// The pieces of long paragraphs side by side on their lines, when the text
// does not wrap (see RichTextLayout.h).

#include "platform/richtext/RichTextLayout.h"

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
// pieces before the piece breaks in [from, to] are set here, so that the
// scroll range and the top line go by the lines shown.
void RichTextLayout::settlePieceLineCounts(int from, int to)
{
    if (!piecesSideBySide())
        return;
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

void RichTextLayout::forgetRows() const { m_row = PieceRow(); }

const RichTextLayout::PieceRow &RichTextLayout::rowOf(const QTextBlock &block, int number) const
{
    if (!m_row.holds(number)) {
        QTextBlock first = block;
        while (first.previous().isValid() && m_mirror.isPieceBreak(first.position() - 1))
            first = first.previous();
        // Measured aside: laying a piece out may have other rows measured.
        PieceRow row;
        row.first = first.blockNumber();
        row.localStart = document()->documentMargin()
            + std::max<qreal>(0, first.blockFormat().leftMargin() * pixelsPerPoint());
        TextMirror &mirror = const_cast<TextMirror &>(m_mirror);
        for (QTextBlock piece = first; piece.isValid(); piece = piece.next()) {
            const bool breaks
                = mirror.view(piece.position(), piece.length() - 1).contains(QChar::LineSeparator);
            row.lineBreaks |= breaks;
            // Where a piece with line breaks of its own ends its last line is
            // only known from its layout (such pieces are rare).
            QTextLayout *tl = piece.layout();
            if (breaks && tl->lineCount() == 0)
                layoutOwn(piece);
            const bool laid = tl->lineCount() > 0;
            row.widths.push_back(laid ? tl->lineAt(0).naturalTextWidth() : estimatedWidth(piece));
            row.lineEnds.push_back(
                breaks ? row.localStart + tl->lineAt(tl->lineCount() - 1).naturalTextWidth() : -1);
            row.places.emplace(piece.fragmentIndex(), row.count);
            ++row.count;
            if (!continuesOn(piece))
                break;
        }
        m_row = std::move(row);
    }
    if (!m_row.startsKnown)
        measureRow(m_row);
    return m_row;
}

void RichTextLayout::measureRow(PieceRow &row) const
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
    const int k = block.blockNumber() - m_row.first;
    if (!m_row.holds(block.blockNumber()) || size_t(k) >= m_row.widths.size()
        || layout.lineCount() == 0)
        return;
    m_row.widths[k] = layout.lineAt(0).naturalTextWidth();
    m_row.lineEnds[k] = layout.lineCount() > 1
        ? m_row.localStart + layout.lineAt(layout.lineCount() - 1).naturalTextWidth()
        : -1;
    m_row.startsKnown = false;
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

void RichTextLayout::setPointedPiece(const QTextBlock &pointed)
{
    m_pointedPiece = pointed.isValid() ? pointed.blockNumber() : -1;
}

QRectF RichTextLayout::pieceRect(const QTextBlock &block, int number) const
{
    const int k = number - rowOf(block, number).first;
    const bool last = k == m_row.count - 1;
    QTextLayout *tl = block.layout();
    if (tl->lineCount() == 0) {
        // A piece in the middle of its line takes no height: unless it is to
        // be read, it needs no layout.
        if (!last && m_row.lineEnds[k] < 0 && number != m_pointedPiece && !isWanted(number))
            return QRectF(m_row.starts[k] - m_row.localStart, 0, m_row.localStart + m_row.widths[k],
                          0);
        layoutOwn(block);
        rowOf(block, number); // measured again with this piece's width
    }
    const qreal shift = k == 0 ? 0 : m_row.starts[k] - tl->lineAt(0).x();
    // Lines after a line break of the piece's own start at the paragraph's
    // margin, wherever the piece starts.
    for (int i = 1; i < tl->lineCount(); ++i) {
        QTextLine line = tl->lineAt(i);
        if (line.x() != m_row.localStart - shift)
            line.setPosition(QPointF(m_row.localStart - shift, line.y()));
    }
    const QRectF bounds = tl->boundingRect();
    const qreal margin = document()->documentMargin();
    const qreal width = bounds.right() + margin;
    qreal height = last ? bounds.bottom() : tl->lineAt(tl->lineCount() - 1).y();
    if (last && !block.next().isValid())
        height += margin;
    if (m_pointedPiece >= 0 && m_row.holds(m_pointedPiece) && !m_row.lineBreaks) {
        // The pointed piece holds the line's height; the pieces after it
        // stand below the line, and so does the search's end.
        const int pointed = m_pointedPiece - m_row.first;
        QTextLayout *lastLayout
            = document()->findBlockByNumber(m_row.first + m_row.count - 1).layout();
        const qreal lineHeight
            = lastLayout->lineCount() > 0 ? lastLayout->boundingRect().bottom() : bounds.bottom();
        if (k > pointed)
            return QRectF(shift, lineHeight, width, 0);
        height = k == pointed ? lineHeight : 0;
    }
    return QRectF(shift, 0, width, height);
}

bool RichTextLayout::piecesInOneLine(const QTextBlock &block) const
{
    return isSideBySidePiece(block) && !rowOf(block).lineBreaks;
}

QTextBlock RichTextLayout::pieceAt(const QTextBlock &block, qreal x) const
{
    if (!piecesInOneLine(block))
        return block;
    const PieceRow &row = m_row;
    const auto after = std::upper_bound(row.starts.begin() + 1, row.starts.end(), x);
    return document()->findBlockByNumber(row.first + int(after - row.starts.begin()) - 1);
}

QTextBlock RichTextLayout::lastPieceOf(const QTextBlock &block) const
{
    if (!isPiece(block))
        return block;
    const PieceRow &row = rowOf(block);
    return document()->findBlockByNumber(row.first + row.count - 1);
}

QRectF RichTextLayout::frameBoundingRect(QTextFrame *frame) const
{
    // Wide enough for every line, pieces side by side included: the control
    // repaints selections across paragraphs over this width.
    const QRectF base = QPlainTextDocumentLayout::frameBoundingRect(frame);
    return QRectF(base.topLeft(),
                  QSizeF(std::max(base.width(), documentSize().width()), base.height()));
}

int RichTextLayout::unwrappedLineEndOf(int documentPosition)
{
    QTextBlock block = document()->findBlock(documentPosition);
    if (!block.isValid())
        return 0;
    if (isPiece(block) && !rowOf(block).lineBreaks) {
        const QTextBlock last = lastPieceOf(block);
        return last.position() + last.length() - 1;
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
