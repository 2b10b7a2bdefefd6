// Showing, pointing at and moving along lines whose pieces stand side by side
// (see RichTextLayout.h): the base control finds paragraphs by their heights
// alone, and a piece in the middle of a line has next to none.

#include "platform/richtext/RichTextBoxPrivate.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QStyleHints>
#include <QTextLayout>

// The first paragraph of the line on top of the view, and where it starts.
QTextBlock RichTextBox::Private::topLineStart(qreal *top) const
{
    QTextBlock block = q->firstVisibleBlock();
    *top = q->contentOffset().y();
    while (block.previous().isValid() && mirror().isPieceBreak(block.position() - 1)) {
        block = block.previous();
        *top -= layout->blockBoundingRect(block).height();
    }
    return block;
}

void RichTextBox::Private::paintPiecesSideBySide(
    const QRect &exposed, const QAbstractTextDocumentLayout::PaintContext &context)
{
    QPainter painter(q->viewport());
    painter.setClipRect(exposed);
    painter.setPen(context.palette.text().color());
    const QPointF offset = q->contentOffset();
    const qreal left = exposed.left() - offset.x();
    const qreal right = exposed.right() + 1 - offset.x();
    std::vector<QTextBlock> shown;
    qreal y = 0;
    for (QTextBlock block = topLineStart(&y); block.isValid() && y <= exposed.bottom();
         block = block.next()) {
        if (layout->piecesInOneLine(block)) {
            // Pieces left of the exposed stretch take no height: straight to
            // the one that reaches into it, and from the first one past it
            // to the line's end.
            int line = 0;
            const QTextBlock reaching = layout->pieceAt(block, 0, left, &line);
            if (reaching.blockNumber() > block.blockNumber())
                block = reaching;
            const QTextBlock last = layout->lastPieceOf(block);
            if (block != last && layout->blockBoundingRect(block).left() > right)
                block = last;
        }
        const QRectF rect = layout->blockBoundingRect(block);
        // A laid-out piece's lines after a line break of its own start left
        // of the piece.
        const QTextLayout *laid = block.layout();
        const QRectF reach
            = laid->lineCount() > 0 ? laid->boundingRect().translated(rect.left(), 0) : rect;
        if (reach.left() <= right && reach.right() >= left) {
            const QPointF origin(offset.x() + rect.left(), y);
            QTextLayout *tl = layout->laidOut(block);
            const QRectF bounds = tl->boundingRect().translated(origin);
            if (bounds.bottom() >= exposed.top() && bounds.top() <= exposed.bottom()) {
                paintBlock(painter, block, origin, exposed, context);
                shown.push_back(block);
            }
        }
        y += layout->blockBoundingRect(block).height();
    }
    keepGlyphsOf(std::move(shown));
}

void RichTextBox::Private::paintBlock(QPainter &painter, const QTextBlock &block,
                                      const QPointF &origin, const QRect &exposed,
                                      const QAbstractTextDocumentLayout::PaintContext &context)
{
    const int start = block.position();
    const int length = block.length();
    QList<QTextLayout::FormatRange> ranges;
    for (const QAbstractTextDocumentLayout::Selection &selection : context.selections) {
        const int from = std::max(selection.cursor.selectionStart() - start, 0);
        const int to = std::min(selection.cursor.selectionEnd() - start, length);
        if (from < to)
            ranges.append({from, to - from, selection.format});
    }
    const int caret = context.cursorPosition - start;
    bool drawCaret = caret >= 0 && caret < length
        && (!q->isReadOnly() || (q->textInteractionFlags() & Qt::TextSelectableByKeyboard));
    if (drawCaret && q->overwriteMode() && caret < length - 1) {
        // Typing over: the character under the caret shows inverted.
        QTextCharFormat inverted;
        inverted.setForeground(context.palette.base());
        inverted.setBackground(context.palette.text());
        ranges.append({caret, 1, inverted});
        drawCaret = false;
    }
    QTextLayout *tl = block.layout();
    tl->draw(&painter, origin, ranges, exposed);
    if (drawCaret)
        tl->drawCursor(&painter, origin, caret, q->cursorWidth());
    layout->drawMarker(painter, block, origin, context.palette.text().color());
}

// The paragraph or piece under point (viewport coordinates), and its line
// there.
QTextBlock RichTextBox::Private::blockAt(const QPointF &point, int *line) const
{
    qreal y = 0;
    QTextBlock block = topLineStart(&y);
    while (point.y() < y && block.previous().isValid()) {
        block = block.previous();
        y -= layout->blockBoundingRect(block).height();
    }
    // On to the paragraph where the line under point ends; side by side, the
    // pieces before it on that line stand at the same height.
    for (qreal height = 0; block.next().isValid()
         && y + (height = layout->blockBoundingRect(block).height()) <= point.y();) {
        y += height;
        block = block.next();
    }
    const QTextLayout *tl = layout->laidOut(block);
    int shown = 0;
    while (shown + 1 < tl->lineCount()
           && y + tl->lineAt(shown).naturalTextRect().bottom() <= point.y())
        ++shown;
    return layout->pieceAt(block, shown, point.x() - q->contentOffset().x(), line);
}

int RichTextBox::Private::positionAt(const QPointF &point) const
{
    int line = 0;
    const QTextBlock block = blockAt(point, &line);
    const QTextLayout *tl = layout->laidOut(block);
    const qreal x = point.x() - q->contentOffset().x() - layout->blockBoundingRect(block).left();
    return block.position() + tl->lineAt(std::min(line, tl->lineCount() - 1)).xToCursor(x);
}

void RichTextBox::Private::pointWith(QMouseEvent *event,
                                     const std::function<void(QMouseEvent *)> &handler)
{
    int line = 0;
    const QTextBlock piece
        = layout->piecesSideBySide() ? blockAt(event->position(), &line) : QTextBlock();
    if (!piece.isValid() || !layout->isPiece(piece)) {
        handler(event);
        return;
    }
    // The base control finds the piece as the one on its line, and reads
    // the point across that piece alone.
    const qreal shift = layout->blockBoundingRect(piece).left();
    layout->setPointedPiece(piece, line);
    QMouseEvent pointed(event->type(), event->position() - QPointF(shift, 0),
                        event->scenePosition(), event->globalPosition(), event->button(),
                        event->buttons(), event->modifiers(), event->pointingDevice());
    pointed.setTimestamp(event->timestamp());
    handler(&pointed);
    layout->setPointedPiece(QTextBlock());
    event->setAccepted(pointed.isAccepted());
    extendWordByWord(event);
    // What the base control asked to repaint meanwhile was placed by the
    // pointed geometry.
    q->viewport()->update();
}

// After a double click, a drag selects whole words. The base control
// measures the words it drags over where the piece stands on the line, and
// the point it was given where it stands in the piece: so it is done here.
void RichTextBox::Private::extendWordByWord(const QMouseEvent *event)
{
    if (event->type() != QEvent::MouseMove || !(event->buttons() & Qt::LeftButton)
        || !doubleClickedWord.hasSelection())
        return;
    const int at = positionAt(event->position());
    QTextCursor cursor = doubleClickedWord;
    if (at > doubleClickedWord.selectionEnd()) {
        cursor.setPosition(doubleClickedWord.selectionStart());
        cursor.setPosition(at, QTextCursor::KeepAnchor);
        cursor.movePosition(QTextCursor::EndOfWord, QTextCursor::KeepAnchor);
    } else if (at < doubleClickedWord.selectionStart()) {
        cursor.setPosition(doubleClickedWord.selectionEnd());
        cursor.setPosition(at, QTextCursor::KeepAnchor);
        cursor.movePosition(QTextCursor::StartOfWord, QTextCursor::KeepAnchor);
    }
    q->setTextCursor(cursor);
}

// A third click selects the paragraph, which the base control takes for
// the piece clicked in.
void RichTextBox::Private::selectParagraphOnTripleClick(const QMouseEvent *event)
{
    const bool third = event->button() == Qt::LeftButton && doubleClickedAt != 0
        && event->timestamp() - doubleClickedAt
            <= quint64(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    doubleClickedAt = 0;
    QTextCursor cursor = q->textCursor();
    const QTextBlock block = document->findBlock(cursor.selectionStart());
    if (!third || !cursor.hasSelection() || !layout->isPiece(block))
        return;
    const QTextBlock last = layout->lastPieceOf(block);
    cursor.setPosition(textformat::firstPieceOf(block).position());
    cursor.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
    q->setTextCursor(cursor);
}

// Where cursor's caret stands across the document, to the fraction of a
// pixel (the caret's rectangle is rounded).
qreal RichTextBox::Private::caretX(const QTextCursor &cursor) const
{
    const QTextBlock block = cursor.block();
    const QTextLayout *tl = layout->laidOut(block);
    const int at = cursor.position() - block.position();
    return layout->blockBoundingRect(block).left() + tl->lineForTextPosition(at).cursorToX(at);
}

// Home, End, the arrows up and down and the page keys, along lines whose
// pieces stand side by side. false: the key is none of those.
bool RichTextBox::Private::moveAlongLines(QKeyEvent *event)
{
    enum Move { LineStart, LineEnd, LineUp, LineDown, PageUp, PageDown };
    static const struct
    {
        QKeySequence::StandardKey move, select;
        Move kind;
    } keys[] = {
        {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, LineStart},
        {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, LineEnd},
        {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine, LineUp},
        {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, LineDown},
        {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage, PageUp},
        {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage, PageDown},
    };
    const auto key = std::find_if(std::begin(keys), std::end(keys), [event](const auto &k) {
        return event->matches(k.move) || event->matches(k.select);
    });
    if (key == std::end(keys)
        || (q->isReadOnly() && !(q->textInteractionFlags() & Qt::TextSelectableByKeyboard)))
        return false;
    const QTextCursor::MoveMode mode
        = event->matches(key->select) ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor;
    QTextCursor cursor = q->textCursor();
    const QRect caret = q->cursorRect(cursor);
    // Going up and down keeps to the column where it started.
    if (cursor.position() != verticalMoveFrom)
        verticalMoveX = caretX(cursor);
    const qreal x = verticalMoveX + q->contentOffset().x();
    int target = cursor.position();
    switch (key->kind) {
    case LineStart: target = layout->lineStartOf(target); break;
    case LineEnd: target = layout->unwrappedLineEndOf(target); break;
    case LineUp:
        if (layout->lineStartOf(target) > 0)
            target = positionAt(QPointF(x, caret.top() - 1));
        break;
    case LineDown:
        if (layout->unwrappedLineEndOf(target) < documentLength())
            target = positionAt(QPointF(x, caret.bottom() + 1));
        break;
    case PageUp:
    case PageDown: {
        QScrollBar *bar = q->verticalScrollBar();
        const int before = bar->value();
        bar->triggerAction(key->kind == PageUp ? QAbstractSlider::SliderPageStepSub
                                               : QAbstractSlider::SliderPageStepAdd);
        // At either end, to the first or the last line shown.
        const qreal y = bar->value() != before ? caret.center().y()
            : key->kind == PageUp              ? 0
                                               : q->viewport()->height() - 1;
        target = positionAt(QPointF(x, y));
        break;
    }
    }
    cursor.setPosition(target, mode);
    q->setTextCursor(cursor);
    q->ensureCursorVisible();
    verticalMoveFrom = key->kind == LineStart || key->kind == LineEnd ? -1 : target;
    event->accept();
    return true;
}

// The base control counts the lines of the bottom page from their layouts,
// where a piece's line that goes on in the next piece counts again: the
// scroll range falls short of the end. Counted here from the lines each
// paragraph or piece ends.
void RichTextBox::Private::settleScrollRange()
{
    if (settlingScrollRange || !layout->piecesSideBySide() || q->centerOnScroll()
        || !q->isVisible())
        return;
    const QScopedValueRollback settling(settlingScrollRange, true);
    const qreal visible = q->viewport()->height() - document->documentMargin() - 1;
    qreal y = 0;
    int shownFromBottom = 0;
    for (QTextBlock block = document->lastBlock(); block.isValid(); block = block.previous()) {
        if (!block.isVisible())
            continue;
        y += layout->blockBoundingRect(block).height();
        if (y > visible) {
            const QTextLayout *tl = block.layout();
            const int lines = std::min(block.lineCount(), tl->lineCount());
            for (int i = 0; i < lines; ++i) {
                if (tl->lineAt(i).naturalTextRect().top() >= y - visible) {
                    shownFromBottom += lines - i;
                    break;
                }
            }
            break;
        }
        shownFromBottom += block.lineCount();
    }
    q->verticalScrollBar()->setMaximum(std::max(0, document->lineCount() - shownFromBottom));
}
