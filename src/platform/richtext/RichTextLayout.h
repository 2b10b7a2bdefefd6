#pragma once

#include <QHash>
#include <QPlainTextDocumentLayout>
#include <QTextBlock>
#include <QTimer>

#include "platform/richtext/TextMirror.h"

class QColor;
class QPainter;

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

// The document layout of the rich-text control: the fast block-by-block
// layout of a plain-text editor, extended with paragraph formats (alignment,
// left, right and first-line indents, tab stops, space before, bullet and
// number markers) and inline images, and with exact counts of displayed lines
// for line numbers.
//
// Blocks without paragraph formats are laid out by the base layout as they
// are; a block with paragraph formats gets its lines placed here whenever it
// is measured or drawn. Line counts of blocks nobody has drawn are worked out
// on demand, in document order, up to the block asked about; a paragraph of
// plain words is counted from the widths of its words without shaping it.
class RichTextLayout : public QPlainTextDocumentLayout
{
    Q_OBJECT
public:
    explicit RichTextLayout(QTextDocument *document);
    ~RichTextLayout() override;

    QRectF blockBoundingRect(const QTextBlock &block) const override;
    QRectF frameBoundingRect(QTextFrame *frame) const override;
    QSizeF documentSize() const override;
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

    // The 0-based displayed line that holds documentPosition, and the
    // document position where that line starts. Exact: every block before it
    // is counted first.
    int lineOf(int documentPosition);
    int lineStartOf(int documentPosition);
    // Where the unwrapped line that holds documentPosition ends.
    int unwrappedLineEndOf(int documentPosition);

    // Line counts must be worked out again: the wrap width changed.
    void invalidateLineCounts();
    // Fonts changed, or the document's formats were dropped: word widths and
    // what is known of each format must be worked out again too.
    void forgetFormats();

    // The marker shown before a bulleted or numbered paragraph, or "".
    static QString markerText(const QTextBlock &block);
    // Where the marker's left edge goes, relative to the block's rectangle.
    qreal markerX(const QTextBlock &block) const;
    // Draws the block's marker, if it has one, for the block laid out with its
    // top left corner at blockOrigin; in the format of the paragraph's first
    // character, in textColor where that has no colour of its own.
    void drawMarker(QPainter &painter, const QTextBlock &block, const QPointF &blockOrigin,
                    const QColor &textColor) const;

    // Points to pixels on the device the document is laid out for.
    qreal pixelsPerPoint() const;

    // The document's plain text, kept by the control that shows it.
    TextMirror &mirror() { return m_mirror; }

    // Tells the width of the view the document is laid out for, in pixels
    // (the base layout's own width is not readable).
    void setViewWidth(std::function<qreal()> viewWidth);

    // Without wrapping, the pieces of a long paragraph (see LongParagraphs.h)
    // stand side by side on the paragraph's line. Each piece is laid out from
    // the margin as usual; its rectangle's left edge is where it starts on the
    // line. A piece whose line goes on in the next piece takes no height
    // (nearly: see PieceRows.cpp): the line's height is counted in the piece
    // where the line ends. A piece
    // nobody looks at keeps no layout, and its width is estimated from its
    // characters.
    bool piecesSideBySide() const;
    // block is one of two or more pieces of its paragraph.
    bool isPiece(const QTextBlock &block) const;
    // block is a piece side by side with the others of its paragraph, and
    // the paragraph has no line breaks of its own: one line holds them all.
    bool piecesInOneLine(const QTextBlock &block) const;
    // The piece whose stretch of a line holds x (document coordinates) when
    // the pieces stand side by side, and in pieceLine, its line there: line
    // is a line of block, which may go on in the pieces after it. For a block
    // that is no such piece, block and line.
    QTextBlock pieceAt(const QTextBlock &block, int line, qreal x, int *pieceLine) const;
    // The last piece of block's paragraph (block, if it is no piece).
    QTextBlock lastPieceOf(const QTextBlock &block) const;
    // The positions (the control's caret and anchor) whose paragraphs or
    // pieces are laid out whenever their rectangle is asked for: the control
    // reads their lines next.
    void setWantedPositions(std::function<std::pair<int, int>()> positions);
    // While the base control hit-tests a point on line line of a piece side
    // by side with others, the piece answers as the one piece of that line,
    // so that the base control's search, which goes by heights only, ends on
    // it there. An invalid block ends that.
    void setPointedPiece(const QTextBlock &pointed, int line = 0);

    // block's layout, laid out.
    QTextLayout *laidOut(const QTextBlock &block);

signals:
    // A change of the document has been laid out.
    void changeLaidOut();

private:
    struct WordWidths;
    // The pieces of one paragraph, side by side.
    struct PieceRow
    {
        int first = -1; // block number of the first piece
        int count = 0;
        qreal localStart = 0;          // where a later piece's lines start in its own layout
        std::vector<qreal> widths;     // of each piece's first line, laid out or estimated
        std::vector<qreal> lineEnds;   // where the last line of a piece with line
                                       // breaks of its own ends; -1 for the others
        std::vector<int> breaksBefore; // line breaks of the paragraph before each piece
        int breaks = 0;                // line breaks in the whole paragraph
        int flatPieces = 0;            // pieces before the last with no line break of their own
        std::vector<qreal> starts;     // where each piece's first line starts
        bool startsKnown = false;
        // Each piece's place in the row, by the paragraph's handle in the
        // document (QTextBlock::fragmentIndex), which needs no lookup.
        std::unordered_map<int, int> places;
        int breaksIn(int piece) const
        {
            return (piece + 1 < count ? breaksBefore[piece + 1] : breaks) - breaksBefore[piece];
        }
    };
    using Row = std::shared_ptr<PieceRow>;

    bool needsOwnLayout(const QTextBlock &block) const;
    bool hasOwnLayout(const QTextBlock &block) const;
    void layoutOwn(const QTextBlock &block) const;
    qreal availableWidth() const;
    bool wraps() const;
    void countLinesThrough(int blockNumber);
    // start: block.position(); uniform: the widths of all the text, if one
    // font serves it all.
    int quickLineCount(const QTextBlock &block, int start, WordWidths *uniform);
    WordWidths &widthsFor(const QTextFragment &fragment);
    WordWidths &widthsFor(const QFont &font);
    WordWidths *uniformWidths();
    int countedBlocks() const { return int(m_firstLines.size()) - 1; }
    void forgetCountsFrom(int blockNumber) const;
    void setCountedLines(int blockNumber, int lines) const;
    void syncBlockLineCounts();

    // Pieces side by side (PieceRows.cpp).
    bool continuesOn(const QTextBlock &block) const;
    bool isSideBySidePiece(const QTextBlock &block) const;
    int linesEndingIn(const QTextBlock &block, int layoutLines) const;
    int unwrappedLinesEndingIn(const QTextBlock &block, int position);
    void settlePieceLineCounts(int from, int to);
    QRectF pieceRect(const QTextBlock &block, Row row, int place) const;
    // The pieces of block's paragraph, measured, and block's place among
    // them.
    Row rowOf(const QTextBlock &block, int *place = nullptr) const;
    // A measured row that holds block, and block's place in it; null if none.
    Row cachedRowOf(const QTextBlock &block, int *place) const;
    Row measuredRow(const QTextBlock &first) const;
    void measureStarts(PieceRow &row) const;
    void pieceLaidOut(const QTextBlock &block, const QTextLayout &layout) const;
    qreal estimatedWidth(const QTextBlock &block) const;
    qreal firstLineStart(const QTextBlock &block) const;
    void reportSizeChangeLater() const;
    bool isWanted(int blockNumber) const;
    void forgetRows() const;

    qreal textWidth() const { return m_viewWidth(); }

    TextMirror m_mirror;
    std::function<qreal()> m_viewWidth;
    int m_blockCount = 1; // blocks at the last change
    // Widest line laid out here, for horizontal scrolling; paragraphs are laid
    // out when first asked for, from const accessors too.
    mutable qreal m_widest = 0;
    // Raises documentSizeChanged; callable where the layout is const.
    std::function<void()> m_reportSizeChange;
    // The first line of each counted paragraph and, last, the line after
    // them: paragraphs [0, countedBlocks()) have exact line counts, at
    // m_countedWidth. Laying a paragraph out, from const accessors too,
    // updates its count.
    mutable std::vector<int> m_firstLines{0};
    qreal m_countedWidth = -1;
    mutable int m_syncedBlocks = 0; // Qt's own counts follow up to here
    QTimer m_syncTimer;
    mutable std::vector<signed char> m_ownByFormat; // -1 unknown, 0 or 1
    std::vector<WordWidths *> m_widthsByFormat;     // by format number, owned below
    std::unordered_map<QString, std::unique_ptr<WordWidths>> m_widthsByFont;
    // The pieces of the paragraphs last asked about, side by side, the one
    // measured last first.
    mutable std::vector<Row> m_rows;
    std::function<std::pair<int, int>()> m_wantedPositions;
    struct WantedBlocks
    {
        int position = -1, anchor = -1, revision = -1;
        int positionBlock = -1, anchorBlock = -1;
    };
    mutable WantedBlocks m_wanted; // the paragraphs of the wanted positions
    int m_pointedPiece = -1;       // block number, while a point is hit-tested
    int m_pointedLine = 0;         // the line of the pointed piece under the point
    mutable bool m_sizeChangePending = false;
};
