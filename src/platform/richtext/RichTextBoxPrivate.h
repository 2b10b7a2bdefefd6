#pragma once

// The inside of the rich-text control, shared by the files that implement it.

#include "platform/richtext/RichTextBox.h"

#include "platform/TextFormat.h"
#include "platform/Twips.h"
#include "platform/richtext/LongParagraphs.h"
#include "platform/richtext/PlainTextCodec.h"
#include "platform/richtext/PlainTextLineBreaks.h"
#include "platform/richtext/RichTextLayout.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

class RichTextBox::Private
{
public:
    RichTextBox *q;
    QTextDocument *document = nullptr;
    RichTextLayout *layout = nullptr;
    TextMirror &mirror() const { return layout->mirror(); }

    // While the control replaces the whole text or changes only formats, the
    // mirror is kept by the control itself rather than from change reports.
    bool mirrorKeptByCaller = false;
    // Change was already raised for the edit in progress.
    bool changeRaised = false;
    // The document reported a change of its contents not yet laid out.
    bool contentsChanged = false;

    // Character formats set on a selection are gathered and applied in one
    // pass before anything reads or draws the document: setting bold, colour,
    // font and size on a whole document costs one pass instead of four.
    QTextCharFormat pendingFormat;
    int pendingFrom = -1;
    int pendingTo = -1;

    PlainTextFormat plainFormat;
    int lastSelStart = 0;
    int lastSelLength = 0;
    float rightMargin = 0;
    // BackColor was given a colour other than white: printing shows it.
    bool backColorSet = false;

    explicit Private(RichTextBox *owner)
        : q(owner)
    {
    }

    int documentLength() const { return document->characterCount() - 1; }

    void flush()
    {
        if (pendingFrom < 0)
            return;
        QTextCursor cursor(document);
        cursor.setPosition(pendingFrom);
        cursor.setPosition(pendingTo, QTextCursor::KeepAnchor);
        const QTextCharFormat format = pendingFormat;
        pendingFormat = QTextCharFormat();
        pendingFrom = pendingTo = -1;
        const QScopedValueRollback keepMirror(mirrorKeptByCaller, true); // formats only
        const QScopedValueRollback raised(changeRaised, true); // raised when the format was set
        cursor.mergeCharFormat(format);
    }

    void mergeSelectionFormat(const QTextCharFormat &format)
    {
        const QTextCursor cursor = q->textCursor();
        if (!cursor.hasSelection()) {
            flush();
            q->mergeCurrentCharFormat(format);
            return;
        }
        if (pendingFrom != cursor.selectionStart() || pendingTo != cursor.selectionEnd()) {
            flush();
            pendingFrom = cursor.selectionStart();
            pendingTo = cursor.selectionEnd();
        }
        pendingFormat.merge(format);
        emit q->Change();
    }

    // The format a Sel member reads: the first selected character's, or the
    // insertion point's.
    QTextCharFormat selectionCharFormat()
    {
        flush();
        const QTextCursor cursor = q->textCursor();
        QTextCharFormat format;
        if (cursor.hasSelection()) {
            QTextCursor first(document);
            first.setPosition(cursor.selectionStart() + 1);
            format = first.charFormat();
        } else {
            format = cursor.charFormat();
        }
        return format;
    }

    void mergeSelectionBlockFormat(const QTextBlockFormat &format)
    {
        flush();
        // A paragraph cut into pieces takes the format in all of them.
        const QTextCursor selection = q->textCursor();
        const QTextBlock first
            = textformat::firstPieceOf(document->findBlock(selection.selectionStart()));
        QTextBlock last = document->findBlock(selection.selectionEnd());
        while (last.next().isValid() && textformat::continuesParagraph(last.next()))
            last = last.next();
        QTextCursor cursor(document);
        cursor.setPosition(first.position());
        cursor.setPosition(last.position(), QTextCursor::KeepAnchor);
        const QScopedValueRollback keepMirror(mirrorKeptByCaller, true);
        cursor.mergeBlockFormat(format);
    }

    // The paragraph format where the selection starts: that of the
    // paragraph's first piece, which is the one written to Rich Text (a
    // paragraph joined to the one before takes its format there only).
    QTextBlockFormat selectionBlockFormat() const
    {
        return textformat::firstPieceOf(document->findBlock(q->textCursor().selectionStart()))
            .blockFormat();
    }

    void onContentsChange(int from, int removed, int added)
    {
        contentsChanged = true;
        // Paragraphs kept for their glyphs may be gone: a handle to a deleted
        // paragraph is never read (those still shown are kept again when
        // painted).
        if (removed > 0)
            glyphCached.clear();
        if (mirrorKeptByCaller)
            return;
        const int length = documentLength();
        const int end = std::min(from + added, length);
        QString inserted;
        std::vector<int> pieceBreaks;
        if (end > from) {
            QTextCursor cursor(document);
            cursor.setPosition(from);
            cursor.setPosition(end, QTextCursor::KeepAnchor);
            inserted = cursor.selectedText();
            if (inserted.contains(QChar::ParagraphSeparator)) {
                inserted.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
                pieceBreaks = pieceBreaksIn(from, end);
            }
        }
        mirror().replace(from, removed, inserted, pieceBreaks);
        if (mirror().length() != length)
            resyncMirror();
    }

    // The separators in [from, to) that are piece breaks, as offsets from
    // from.
    std::vector<int> pieceBreaksIn(int from, int to) const
    {
        std::vector<int> found;
        const SeparatorMarks marks = separatorMarks(*document);
        if (!marks.anyPieceBreak)
            return found;
        for (QTextBlock block = document->findBlock(from).next();
             block.isValid() && block.position() <= to; block = block.next()) {
            if (marks.before(block) == SeparatorMarks::PieceBreak)
                found.push_back(block.position() - 1 - from);
        }
        return found;
    }

    void resyncMirror()
    {
        QString text = document->toRawText();
        text.truncate(documentLength());
        text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        mirror().assign(text, pieceBreaksIn(0, documentLength()));
    }

    // The layout also hears of relayouts (wrap mode, fonts) that change
    // nothing in the contents: only a reported change of the contents
    // raises Change, once it is laid out.
    void onChangeLaidOut()
    {
        if (!contentsChanged)
            return;
        contentsChanged = false;
        if (!changeRaised)
            emit q->Change();
    }

    void checkSelectionChange()
    {
        const int start = q->SelStart();
        const int length = q->SelLength();
        if (start == lastSelStart && length == lastSelLength)
            return;
        lastSelStart = start;
        lastSelLength = length;
        emit q->SelChange();
    }

    // The format of what the control inserts at the caret (or at cursor): the
    // caret's, but no separator's mark (see PlainTextLineBreaks.h) and no
    // object.
    QTextCharFormat insertionFormat() const { return insertionFormat(q->textCursor()); }
    static QTextCharFormat insertionFormat(const QTextCursor &cursor)
    {
        QTextCharFormat format = textformat::withoutSeparatorMarks(cursor.charFormat());
        format.clearProperty(QTextFormat::ObjectType);
        return format;
    }

    // What the user types goes in the caret's format; without a selection
    // it loses the mark it may have taken from a separator.
    void keepSeparatorMarksFromTyping()
    {
        const QTextCursor cursor = q->textCursor();
        const QTextCharFormat format = cursor.charFormat();
        if (!cursor.hasSelection()
            && (format.hasProperty(textformat::LineBreakKind)
                || format.hasProperty(textformat::PieceBreak)))
            q->setCurrentCharFormat(textformat::withoutSeparatorMarks(format));
    }

    // Piece breaks are no characters: a key that would delete one next to
    // the caret (or type over one) acts on the character beyond it, so the
    // caret steps over the breaks there first.
    void stepOverPieceBreaks(const QKeyEvent *event)
    {
        QTextCursor cursor = q->textCursor();
        if (cursor.hasSelection())
            return;
        const bool typesOver
            = q->overwriteMode() && !event->text().isEmpty() && event->text().front().isPrint();
        int at = cursor.position();
        if (event->key() == Qt::Key_Backspace) {
            while (at > 0 && mirror().isPieceBreak(at - 1))
                --at;
        } else if (event->key() == Qt::Key_Delete || typesOver) {
            while (mirror().isPieceBreak(at))
                ++at;
        }
        if (at == cursor.position())
            return;
        cursor.setPosition(at);
        q->setTextCursor(cursor);
    }

    // Replaces the whole document by text (paragraphs separated by '\n', the
    // separators of otherBreaks marked) in one edit, keeping the
    // insertion-point format; clears the undo history. Raises Change once.
    void replaceAll(const QString &text, const OtherLineBreaks &otherBreaks = {})
    {
        std::optional<DecodedRun> run = DecodedRun{text, otherBreaks};
        replaceAll([&run] { return std::exchange(run, std::nullopt); }, [&text] { return text; });
    }

    // The same with the paragraphs in runs, which nextRun gives in order until
    // it gives none, and then wholeText gives all of them at once. The first
    // run is asked for before anything changes.
    template<typename NextRun, typename WholeText>
    void replaceAll(NextRun nextRun, WholeText wholeText)
    {
        flush();
        const QTextCharFormat format = insertionFormat();
        std::optional<DecodedRun> run = nextRun();
        bool barShownAhead = false;
        {
            const QScopedValueRollback keepMirror(mirrorKeptByCaller, true);
            const QScopedValueRollback raised(changeRaised, true);
            // The insertion carries the caret along to the end of the text;
            // that is no move to tell of.
            const QSignalBlocker quiet(q);
            document->setUndoRedoEnabled(false);
            document->clear();
            QTextCursor cursor(document);
            cursor.setBlockCharFormat(format);
            cursor.beginEditBlock();
            // The first runs wait, cut, until it is known whether their lines
            // fill the view (see linesFillingTheView). A single run is the
            // whole text, and once cut it need not be cut again (what is not
            // cut may be the run's view of the text).
            const int enough = linesFillingTheView(format);
            int lines = 1;
            std::vector<CutRun> waiting;
            PiecedText firstRun;
            int runs = 0;
            const auto insert = [&](CutRun &cut) {
                insertParagraphs(cursor, cut.pieced.text, format, cut.otherBreaks,
                                 cut.pieced.pieceBreaks);
                if (runs++ == 0)
                    firstRun = std::move(cut.pieced);
            };
            for (; run; run = nextRun()) {
                CutRun cut{cutLongParagraphs(QString::fromRawData(run->paragraphs.data(),
                                                                  run->paragraphs.size())),
                           std::move(run->otherBreaks)};
                if (enough == 0 || barShownAhead) {
                    insert(cut);
                    continue;
                }
                const QString &text = cut.pieced.text;
                for (qsizetype at = text.indexOf(QLatin1Char('\n')); at >= 0 && lines < enough;
                     at = text.indexOf(QLatin1Char('\n'), at + 1))
                    ++lines;
                waiting.push_back(std::move(cut));
                if (lines < enough)
                    continue;
                barShownAhead = true;
                q->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn); // lays the view out at once
                for (CutRun &ready : waiting)
                    insert(ready);
                waiting.clear();
            }
            for (CutRun &rest : waiting)
                insert(rest);
            const PiecedText whole = runs == 1 && !firstRun.pieceBreaks.empty()
                ? std::move(firstRun)
                : cutLongParagraphs(wholeText());
            mirror().assign(whole.text, whole.pieceBreaks);
            cursor.endEditBlock();
            document->setUndoRedoEnabled(true);
        }
        // The bar goes back to showing as needed: the view has counted its
        // range from the text that went in.
        if (barShownAhead)
            q->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        QTextCursor start(document);
        q->setTextCursor(start);
        q->mergeCurrentCharFormat(format);
        emit q->Change();
    }

    // Paragraphs cut into pieces, with the other line breaks that end them.
    struct CutRun
    {
        PiecedText pieced;
        OtherLineBreaks otherBreaks;
    };

    // A text with more lines than the view holds shows the vertical scroll
    // bar, which narrows the view, and every paragraph is laid out anew at
    // the new width. Shown while the document is still empty, the bar costs
    // nearly nothing: replaceAll shows it ahead once the paragraphs to come,
    // each at least a line in format, are this many. 0 when the bar is not to
    // be shown ahead.
    int linesFillingTheView(const QTextCharFormat &format) const
    {
        if (!q->isVisible() || q->verticalScrollBar()->isVisible()
            || q->verticalScrollBarPolicy() != Qt::ScrollBarAsNeeded)
            return 0;
        const qreal lineHeight
            = QFontMetricsF(format.font().resolve(document->defaultFont())).lineSpacing();
        return int(q->viewport()->height() / std::max<qreal>(1, lineHeight)) + 1;
    }

    // Text as the program gives it (CR LF, LF or CR between paragraphs, a
    // vertical tab for a line break inside a paragraph) to the document's
    // form, and back.
    static QString toParagraphs(QString text)
    {
        normalizeLineBreaks(text);
        text.replace(QLatin1Char('\v'), QChar::LineSeparator);
        return text;
    }

    static QString toCrLf(QStringView text)
    {
        QString out;
        out.reserve(text.size() + text.size() / 32);
        qsizetype done = 0;
        for (qsizetype i = text.indexOf(QLatin1Char('\n')); i >= 0;
             i = text.indexOf(QLatin1Char('\n'), done)) {
            out += text.mid(done, i - done);
            out += QLatin1String("\r\n");
            done = i + 1;
        }
        out += text.mid(done);
        out.replace(QChar::LineSeparator, QLatin1Char('\v'));
        return out;
    }

    void applyRightMargin()
    {
        const bool noWrap = rightMargin != 0 && twipsToPixelsX(rightMargin) > 1000000;
        q->setLineWrapMode(noWrap ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
        layout->invalidateLineCounts();
    }

    // Lines whose pieces stand side by side (RichTextBoxPieces.cpp).
    qreal verticalMoveX = 0;   // the column going up and down keeps to
    int verticalMoveFrom = -1; // where the last move up or down ended
    bool settlingScrollRange = false;
    QTextBlock topLineStart(qreal *top) const;
    void paintPiecesSideBySide(const QRect &exposed,
                               const QAbstractTextDocumentLayout::PaintContext &context);
    void paintBlock(QPainter &painter, const QTextBlock &block, const QPointF &origin,
                    const QRect &exposed, const QAbstractTextDocumentLayout::PaintContext &context);
    QTextBlock blockAt(const QPointF &point, int *line) const;
    int positionAt(const QPointF &point) const;
    qreal caretX(const QTextCursor &cursor) const;
    void pointWith(QMouseEvent *event, const std::function<void(QMouseEvent *)> &handler);
    bool moveAlongLines(QKeyEvent *event);
    quint64 doubleClickedAt = 0;   // the time of the last double click, if any
    QTextCursor doubleClickedWord; // while the button is held after one
    void selectParagraphOnTripleClick(const QMouseEvent *event);
    void extendWordByWord(const QMouseEvent *event);
    void settleScrollRange();

    // Paragraphs on screen keep their shaped glyphs between repaints, so that
    // a keystroke repaints without shaping every visible line again; those
    // that leave the screen drop them. Very long paragraphs are left alone:
    // their glyphs would take too much memory, and laying them out again
    // takes long. The pieces of a paragraph cut into pieces keep theirs
    // (the length counts the separator).
    static constexpr int LongestGlyphCachedBlock = LongestPiece + 1;
    std::vector<QTextBlock> glyphCached;

    void cacheVisibleGlyphs()
    {
        std::vector<QTextBlock> visible;
        const int bottom = q->viewport()->height();
        const QPointF offset = q->contentOffset();
        for (QTextBlock block = q->firstVisibleBlock(); block.isValid(); block = block.next()) {
            if (q->blockBoundingGeometry(block).translated(offset).top() > bottom)
                break;
            visible.push_back(block);
        }
        keepGlyphsOf(std::move(visible));
    }

    void keepGlyphsOf(std::vector<QTextBlock> visible)
    {
        visible.erase(std::remove_if(visible.begin(), visible.end(),
                                     [](const QTextBlock &block) {
                                         return block.length() > LongestGlyphCachedBlock;
                                     }),
                      visible.end());
        for (const QTextBlock &block : visible)
            block.layout()->setCacheEnabled(true);
        for (const QTextBlock &block : glyphCached) {
            if (block.isValid() && block.length() <= LongestGlyphCachedBlock
                && std::find(visible.begin(), visible.end(), block) == visible.end()) {
                block.layout()->setCacheEnabled(false);
                block.layout()->clearLayout();
            }
        }
        glyphCached.swap(visible);
    }

    // Shows newDocument in this control. A document layout keeps the width of
    // the first view that showed it, so the document gets a fresh layout for
    // this control, which takes over the plain-text copy of the old one.
    void attach(QTextDocument *newDocument)
    {
        if (document)
            QObject::disconnect(document, nullptr, q, nullptr);
        auto *fresh = new RichTextLayout(newDocument);
        if (auto *previous = qobject_cast<RichTextLayout *>(newDocument->documentLayout()))
            fresh->mirror() = std::move(previous->mirror());
        newDocument->setDocumentLayout(fresh);
        document = newDocument;
        document->setParent(q);
        layout = fresh;
        layout->setViewWidth([this] { return qreal(q->viewport()->width()); });
        layout->setWantedPositions([this] {
            const QTextCursor cursor = q->textCursor();
            return std::pair(cursor.position(), cursor.anchor());
        });
        QObject::connect(
            document, &QTextDocument::contentsChange, q,
            [this](int from, int removed, int added) { onContentsChange(from, removed, added); });
        QObject::connect(layout, &RichTextLayout::changeLaidOut, q, [this] { onChangeLaidOut(); });
        q->setDocument(document);
        document->setDefaultFont(q->font());
        glyphCached.clear();
    }

    void paintMarkers(QPainter &painter)
    {
        const QPointF offset = q->contentOffset();
        const int bottom = q->viewport()->height();
        for (QTextBlock block = q->firstVisibleBlock(); block.isValid(); block = block.next()) {
            const QRectF rect = q->blockBoundingGeometry(block).translated(offset);
            if (rect.top() > bottom)
                break;
            layout->drawMarker(painter, block, rect.topLeft(), q->palette().text().color());
        }
    }
};
