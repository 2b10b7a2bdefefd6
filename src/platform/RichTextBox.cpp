#include "RichTextBox.h"

#include "KeyCodes.h"
#include "KeyState.h"
#include "RichTextLayout.h"
#include "RichTextFiles.h"
#include "RtfReader.h"
#include "RtfWriter.h"
#include "TextFormat.h"
#include "Twips.h"

#include <QMimeData>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>

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

    explicit Private(RichTextBox *owner) : q(owner) {}

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
        const bool kept = mirrorKeptByCaller;
        mirrorKeptByCaller = true; // formats only: the text stays as it is
        changeRaised = true;       // raised when the format was set
        cursor.mergeCharFormat(format);
        mirrorKeptByCaller = kept;
        changeRaised = false;
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
        QTextCursor cursor = q->textCursor();
        mirrorKeptByCaller = true;
        cursor.mergeBlockFormat(format);
        mirrorKeptByCaller = false;
    }

    QTextBlockFormat selectionBlockFormat() const
    {
        QTextCursor cursor = q->textCursor();
        cursor.setPosition(cursor.selectionStart());
        return cursor.blockFormat();
    }

    void onContentsChange(int from, int removed, int added)
    {
        contentsChanged = true;
        if (mirrorKeptByCaller)
            return;
        const int length = documentLength();
        const int end = std::min(from + added, length);
        QString inserted;
        if (end > from) {
            QTextCursor cursor(document);
            cursor.setPosition(from);
            cursor.setPosition(end, QTextCursor::KeepAnchor);
            inserted = cursor.selectedText();
            inserted.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        }
        mirror().replace(from, removed, inserted);
        if (mirror().length() != length)
            resyncMirror();
    }

    void resyncMirror()
    {
        QString text = document->toRawText();
        text.truncate(documentLength());
        text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        mirror().assign(text);
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

    // Replaces the whole document by text (paragraphs separated by '\n') in
    // one edit, keeping the insertion-point format; clears the undo history.
    // Raises Change once.
    void replaceAll(const QString &text)
    {
        flush();
        const QTextCharFormat format = q->textCursor().charFormat();
        mirror().assign(text);
        mirrorKeptByCaller = true;
        changeRaised = true;
        document->setUndoRedoEnabled(false);
        document->clear();
        QTextCursor cursor(document);
        cursor.setBlockCharFormat(format);
        cursor.insertText(text, format);
        document->setUndoRedoEnabled(true);
        mirrorKeptByCaller = false;
        changeRaised = false;
        QTextCursor start(document);
        q->setTextCursor(start);
        q->mergeCurrentCharFormat(format);
        emit q->Change();
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
        for (qsizetype i = text.indexOf(QLatin1Char('\n')); i >= 0; i = text.indexOf(QLatin1Char('\n'), done)) {
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

    // Paragraphs on screen keep their shaped glyphs between repaints, so that
    // a keystroke repaints without shaping every visible line again; those
    // that leave the screen drop them. Very long paragraphs are left alone:
    // their glyphs would take too much memory, and laying them out again
    // takes long.
    static constexpr int LongestGlyphCachedBlock = 4096;
    std::vector<QTextBlock> glyphCached;

    void cacheVisibleGlyphs()
    {
        std::vector<QTextBlock> visible;
        const int bottom = q->viewport()->height();
        const QPointF offset = q->contentOffset();
        for (QTextBlock block = q->firstVisibleBlock(); block.isValid(); block = block.next()) {
            if (q->blockBoundingGeometry(block).translated(offset).top() > bottom)
                break;
            if (block.length() > LongestGlyphCachedBlock)
                continue;
            block.layout()->setCacheEnabled(true);
            visible.push_back(block);
        }
        for (const QTextBlock &block : glyphCached) {
            if (block.isValid() && block.length() <= LongestGlyphCachedBlock
                && std::find(visible.begin(), visible.end(), block) == visible.end()) {
                block.layout()->setCacheEnabled(false);
                block.layout()->clearLayout();
            }
        }
        glyphCached.swap(visible);
    }

    // Shows document, whose layout is a RichTextLayout, in this control.
    void attach(QTextDocument *newDocument)
    {
        if (document)
            QObject::disconnect(document, nullptr, q, nullptr);
        if (layout)
            QObject::disconnect(layout, nullptr, q, nullptr);
        document = newDocument;
        document->setParent(q);
        layout = static_cast<RichTextLayout *>(document->documentLayout());
        layout->setViewWidth([this] { return qreal(q->viewport()->width()); });
        QObject::connect(document, &QTextDocument::contentsChange, q,
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
            const QString marker = RichTextLayout::markerText(block);
            if (marker.isEmpty() || !block.isVisible() || block.layout()->lineCount() == 0)
                continue;
            QTextCursor first(block);
            first.movePosition(QTextCursor::NextCharacter);
            const QTextCharFormat format = first.charFormat();
            const QTextLine line = block.layout()->lineAt(0);
            painter.setFont(format.font().resolve(document->defaultFont()));
            painter.setPen(format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color()
                                                                            : q->palette().text().color());
            painter.drawText(QPointF(rect.left() + layout->markerX(block), rect.top() + line.y() + line.ascent()),
                             marker);
        }
    }
};

RichTextBox::RichTextBox(QWidget *parent)
    : QPlainTextEdit(parent), d(new Private(this))
{
    auto *document = new QTextDocument(this);
    document->setDocumentLayout(new RichTextLayout(document));
    d->attach(document);
    setAcceptDrops(true);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this] { d->checkSelectionChange(); });
    connect(this, &QPlainTextEdit::selectionChanged, this, [this] { d->checkSelectionChange(); });
}

RichTextBox::~RichTextBox()
{
    delete d;
}

// ---- positions ----------------------------------------------------------

int RichTextBox::textLength() const
{
    return d->documentLength() + d->document->blockCount() - 1;
}

int RichTextBox::toPosition(int documentPosition) const
{
    documentPosition = std::clamp(documentPosition, 0, d->documentLength());
    return documentPosition + d->document->findBlock(documentPosition).blockNumber();
}

int RichTextBox::toDocumentPosition(int position) const
{
    position = std::clamp(position, 0, textLength());
    const QTextDocument *doc = d->document;
    const int documentLength = d->documentLength();
    // Block n starts at control position start(n) = its document position + n.
    // The block wanted is the last whose start is not after position; it holds
    // document position position - n, which a few lookups settle on.
    auto start = [](const QTextBlock &block) { return block.position() + block.blockNumber(); };
    auto holds = [&](const QTextBlock &block) {
        const QTextBlock next = block.next();
        return start(block) <= position && (!next.isValid() || start(next) > position);
    };
    QTextBlock block = doc->findBlock(std::min(position, documentLength));
    for (int step = 0; step < 6 && !holds(block); ++step) {
        const QTextBlock guess = doc->findBlock(std::clamp(position - block.blockNumber(), 0, documentLength));
        if (guess == block || std::abs(guess.blockNumber() - block.blockNumber()) == 1) {
            const QTextBlock later = guess.blockNumber() > block.blockNumber() ? guess : block;
            block = start(later) <= position ? later : later.previous();
            break;
        }
        block = guess;
    }
    if (!holds(block)) {
        // Many short lines: search the block numbers instead.
        int low = 0, high = doc->blockCount() - 1;
        while (low < high) {
            const int middle = low + (high - low + 1) / 2;
            if (start(doc->findBlockByNumber(middle)) <= position)
                low = middle;
            else
                high = middle - 1;
        }
        block = doc->findBlockByNumber(low);
    }
    const int offset = std::min(position - start(block), block.length() - 1);
    return block.position() + offset;
}

// ---- contents -----------------------------------------------------------

QString RichTextBox::Text() const
{
    return d->toCrLf(d->mirror().view(0, d->mirror().length()));
}

void RichTextBox::setText(const QString &text)
{
    d->replaceAll(Private::toParagraphs(text));
}

QByteArray RichTextBox::TextRTF() const
{
    d->flush();
    return writeRtf(*d->document, 0, d->documentLength());
}

void RichTextBox::setTextRTF(const QByteArray &rtf)
{
    d->flush();
    const QTextCharFormat format = textCursor().charFormat();
    d->changeRaised = true;
    d->document->setUndoRedoEnabled(false);
    d->document->clear();
    QTextCursor cursor(d->document);
    cursor.setBlockCharFormat(format);
    cursor.setCharFormat(format);
    cursor.beginEditBlock();
    try {
        insertRtf(cursor, rtf);
    } catch (...) {
        cursor.endEditBlock();
        d->document->setUndoRedoEnabled(true);
        d->changeRaised = false;
        emit Change();
        throw;
    }
    cursor.endEditBlock();
    d->document->setUndoRedoEnabled(true);
    d->changeRaised = false;
    setTextCursor(QTextCursor(d->document));
    emit Change();
}

void RichTextBox::moveContentsFrom(RichTextBox &source)
{
    if (&source == this)
        return;
    d->flush();
    source.d->flush();
    QTextDocument *taken = source.d->document;
    QTextDocument *given = d->document;
    const PlainTextFormat format = source.d->plainFormat;
    d->changeRaised = source.d->changeRaised = true;
    source.d->attach(given);
    d->attach(taken);
    d->changeRaised = source.d->changeRaised = false;
    d->plainFormat = format;
    source.d->replaceAll(QString());
    setTextCursor(QTextCursor(taken));
    emit Change();
}

// ---- selection ----------------------------------------------------------

int RichTextBox::SelStart() const
{
    return toPosition(textCursor().selectionStart());
}

void RichTextBox::setSelStart(int position)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(toDocumentPosition(position));
    setTextCursor(cursor);
}

int RichTextBox::SelLength() const
{
    const QTextCursor cursor = textCursor();
    return toPosition(cursor.selectionEnd()) - toPosition(cursor.selectionStart());
}

void RichTextBox::setSelLength(int length)
{
    const int start = SelStart();
    QTextCursor cursor = textCursor();
    cursor.setPosition(toDocumentPosition(start));
    cursor.setPosition(toDocumentPosition(start + std::max(0, length)), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString RichTextBox::SelText() const
{
    const QTextCursor cursor = textCursor();
    return d->toCrLf(d->mirror().view(cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart()));
}

void RichTextBox::setSelText(const QString &text)
{
    d->flush();
    QTextCursor cursor = textCursor();
    cursor.insertText(Private::toParagraphs(text));
    setTextCursor(cursor);
}

QByteArray RichTextBox::SelRTF() const
{
    d->flush();
    const QTextCursor cursor = textCursor();
    return writeRtf(*d->document, cursor.selectionStart(), cursor.selectionEnd());
}

void RichTextBox::setSelRTF(const QByteArray &rtf)
{
    d->flush();
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    try {
        insertRtf(cursor, rtf);
    } catch (...) {
        cursor.endEditBlock();
        throw;
    }
    cursor.endEditBlock();
    setTextCursor(cursor);
}

// ---- character format ---------------------------------------------------

bool RichTextBox::SelBold() const
{
    return d->selectionCharFormat().fontWeight() >= QFont::DemiBold;
}

void RichTextBox::setSelBold(bool on)
{
    QTextCharFormat format;
    format.setFontWeight(on ? QFont::Bold : QFont::Normal);
    d->mergeSelectionFormat(format);
}

bool RichTextBox::SelItalic() const
{
    return d->selectionCharFormat().fontItalic();
}

void RichTextBox::setSelItalic(bool on)
{
    QTextCharFormat format;
    format.setFontItalic(on);
    d->mergeSelectionFormat(format);
}

bool RichTextBox::SelStrikeThru() const
{
    return d->selectionCharFormat().fontStrikeOut();
}

void RichTextBox::setSelStrikeThru(bool on)
{
    QTextCharFormat format;
    format.setFontStrikeOut(on);
    d->mergeSelectionFormat(format);
}

bool RichTextBox::SelUnderline() const
{
    return d->selectionCharFormat().fontUnderline();
}

void RichTextBox::setSelUnderline(bool on)
{
    QTextCharFormat format;
    format.setFontUnderline(on);
    d->mergeSelectionFormat(format);
}

qint32 RichTextBox::SelColor() const
{
    const QTextCharFormat format = d->selectionCharFormat();
    if (format.hasProperty(QTextFormat::ForegroundBrush))
        return textformat::packedFromColor(format.foreground().color());
    return textformat::packedFromColor(palette().text().color());
}

void RichTextBox::setSelColor(qint32 packedRgb)
{
    QTextCharFormat format;
    format.setForeground(textformat::colorFromPacked(packedRgb));
    d->mergeSelectionFormat(format);
}

QString RichTextBox::SelFontName() const
{
    const QString name = textformat::fontName(d->selectionCharFormat());
    return name.isEmpty() ? FontName() : name;
}

void RichTextBox::setSelFontName(const QString &name)
{
    QTextCharFormat format;
    textformat::setFontName(format, name);
    d->mergeSelectionFormat(format);
}

float RichTextBox::SelFontSize() const
{
    const qreal size = d->selectionCharFormat().fontPointSize();
    return float(size > 0 ? size : d->document->defaultFont().pointSizeF());
}

void RichTextBox::setSelFontSize(float points)
{
    if (!(points > 0))
        return;
    QTextCharFormat format;
    format.setFontPointSize(points);
    d->mergeSelectionFormat(format);
}

int RichTextBox::SelCharOffset() const
{
    return d->selectionCharFormat().intProperty(textformat::CharOffset);
}

void RichTextBox::setSelCharOffset(int twips)
{
    QTextCharFormat format;
    format.setProperty(textformat::CharOffset, twips);
    format.setVerticalAlignment(twips > 0   ? QTextCharFormat::AlignSuperScript
                                : twips < 0 ? QTextCharFormat::AlignSubScript
                                            : QTextCharFormat::AlignNormal);
    d->mergeSelectionFormat(format);
}

// ---- paragraph format ---------------------------------------------------

int RichTextBox::SelAlignment() const
{
    const Qt::Alignment a = d->selectionBlockFormat().alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignRight)
        return rtfRight;
    if (a & Qt::AlignHCenter)
        return rtfCenter;
    return rtfLeft;
}

void RichTextBox::setSelAlignment(int alignment)
{
    QTextBlockFormat format;
    format.setAlignment(alignment == rtfRight    ? Qt::AlignRight
                        : alignment == rtfCenter ? Qt::AlignHCenter
                                                 : Qt::AlignLeft);
    d->mergeSelectionBlockFormat(format);
}

bool RichTextBox::SelBullet() const
{
    return d->selectionBlockFormat().boolProperty(textformat::ParagraphBullet);
}

void RichTextBox::setSelBullet(bool on)
{
    QTextBlockFormat format;
    format.setProperty(textformat::ParagraphBullet, on);
    d->mergeSelectionBlockFormat(format);
}

int RichTextBox::SelIndent() const
{
    const QTextBlockFormat f = d->selectionBlockFormat();
    return qRound(textformat::pointsToTwips(f.leftMargin() + f.textIndent()));
}

void RichTextBox::setSelIndent(int twips)
{
    // The first line moves to twips; the other lines keep their distance to it.
    const int hanging = SelHangingIndent();
    QTextBlockFormat format;
    format.setLeftMargin(textformat::twipsToPoints(twips + hanging));
    format.setTextIndent(textformat::twipsToPoints(-hanging));
    d->mergeSelectionBlockFormat(format);
}

int RichTextBox::SelHangingIndent() const
{
    return qRound(textformat::pointsToTwips(-d->selectionBlockFormat().textIndent()));
}

void RichTextBox::setSelHangingIndent(int twips)
{
    const int first = SelIndent();
    QTextBlockFormat format;
    format.setLeftMargin(textformat::twipsToPoints(first + twips));
    format.setTextIndent(textformat::twipsToPoints(-twips));
    d->mergeSelectionBlockFormat(format);
}

int RichTextBox::SelRightIndent() const
{
    return qRound(textformat::pointsToTwips(d->selectionBlockFormat().rightMargin()));
}

void RichTextBox::setSelRightIndent(int twips)
{
    QTextBlockFormat format;
    format.setRightMargin(textformat::twipsToPoints(twips));
    d->mergeSelectionBlockFormat(format);
}

int RichTextBox::SelTabCount() const
{
    return int(d->selectionBlockFormat().tabPositions().size());
}

void RichTextBox::setSelTabCount(int count)
{
    QList<QTextOption::Tab> tabs = d->selectionBlockFormat().tabPositions();
    count = std::clamp(count, 0, 32);
    while (tabs.size() > count)
        tabs.removeLast();
    while (tabs.size() < count) // new stops every half inch after the last
        tabs.append(QTextOption::Tab((tabs.isEmpty() ? 0 : tabs.last().position) + 36, QTextOption::LeftTab));
    QTextBlockFormat format;
    format.setTabPositions(tabs);
    d->mergeSelectionBlockFormat(format);
}

int RichTextBox::SelTabs(int index) const
{
    const QList<QTextOption::Tab> tabs = d->selectionBlockFormat().tabPositions();
    if (index < 0 || index >= tabs.size())
        return 0;
    return qRound(textformat::pointsToTwips(tabs.at(index).position));
}

void RichTextBox::setSelTabs(int index, int twips)
{
    QList<QTextOption::Tab> tabs = d->selectionBlockFormat().tabPositions();
    if (index < 0 || index >= tabs.size())
        return;
    tabs[index].position = textformat::twipsToPoints(twips);
    std::sort(tabs.begin(), tabs.end(),
              [](const QTextOption::Tab &a, const QTextOption::Tab &b) { return a.position < b.position; });
    QTextBlockFormat format;
    format.setTabPositions(tabs);
    d->mergeSelectionBlockFormat(format);
}

// ---- appearance ---------------------------------------------------------

qint32 RichTextBox::BackColor() const
{
    return textformat::packedFromColor(palette().color(QPalette::Base));
}

void RichTextBox::setBackColor(qint32 packedRgb)
{
    QPalette p = palette();
    p.setColor(QPalette::Base, textformat::colorFromPacked(packedRgb));
    setPalette(p);
}

QString RichTextBox::FontName() const
{
    return font().family();
}

void RichTextBox::setFontName(const QString &name)
{
    QFont f = font();
    f.setFamily(name);
    setFont(f);
}

float RichTextBox::RightMargin() const
{
    return d->rightMargin;
}

void RichTextBox::setRightMargin(float twips)
{
    d->rightMargin = twips;
    d->applyRightMargin();
}

// ---- searching and lines ------------------------------------------------

static bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

int RichTextBox::Find(const QString &text, int start, int end, int options)
{
    if (text.isEmpty())
        return -1;
    const int length = textLength();
    if (start < 0 && end < 0) {
        if (SelLength() > 0) {
            start = SelStart();
            end = start + SelLength();
        } else {
            start = 0;
            end = length;
        }
    } else if (end < 0 || end > length) {
        end = length;
    }
    start = std::clamp(start, 0, length);
    if (end < start)
        return -1;
    const int from = toDocumentPosition(start);
    const int to = toDocumentPosition(end);
    const QString needle = Private::toParagraphs(text);
    const Qt::CaseSensitivity cs = (options & rtfMatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const QStringView haystack = d->mirror().view(from, to - from);
    for (qsizetype at = haystack.indexOf(needle, 0, cs); at >= 0; at = haystack.indexOf(needle, at + 1, cs)) {
        const int found = from + int(at);
        if (options & rtfWholeWord) {
            const int after = found + int(needle.size());
            const bool startsWord = found == 0 || !isWordCharacter(d->mirror().at(found - 1));
            const bool endsWord = after >= d->mirror().length() || !isWordCharacter(d->mirror().at(after));
            if (!startsWord || !endsWord)
                continue;
        }
        if (!(options & rtfNoHighlight)) {
            QTextCursor cursor = textCursor();
            cursor.setPosition(found);
            cursor.setPosition(found + int(needle.size()), QTextCursor::KeepAnchor);
            setTextCursor(cursor);
        }
        return toPosition(found);
    }
    return -1;
}

int RichTextBox::GetLineFromChar(int position) const
{
    return d->layout->lineOf(toDocumentPosition(position));
}

int RichTextBox::GetLineStartFromChar(int position) const
{
    return toPosition(d->layout->lineStartOf(toDocumentPosition(position)));
}

void RichTextBox::UpTo(const QString &characterSet, bool forward, bool negate)
{
    const bool breaks = characterSet.contains(QLatin1Char('\r')) || characterSet.contains(QLatin1Char('\n'));
    auto stopsAt = [&](QChar c) {
        const bool inSet = c == QLatin1Char('\n') ? breaks : characterSet.contains(c);
        return inSet != negate;
    };
    int p = textCursor().position();
    if (forward) {
        while (p < d->mirror().length() && !stopsAt(d->mirror().at(p)))
            ++p;
    } else {
        while (p > 0 && !stopsAt(d->mirror().at(p - 1)))
            --p;
    }
    QTextCursor cursor = textCursor();
    cursor.setPosition(p);
    setTextCursor(cursor);
}

// ---- files and printing -------------------------------------------------

void RichTextBox::LoadFile(const QString &path, int fileType)
{
    const QByteArray bytes = readWholeFile(path);
    if (fileType == PlainText)
        d->replaceAll(decodePlainText(bytes, &d->plainFormat));
    else
        setTextRTF(bytes);
}

void RichTextBox::SaveFile(const QString &path, int fileType)
{
    if (fileType != PlainText) {
        writeWholeFile(path, TextRTF());
        return;
    }
    PlainTextFormat format = d->plainFormat;
    // A line break inside a paragraph is a line break in a plain-text file.
    QString text = d->mirror().text(0, d->mirror().length());
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    writeWholeFile(path, encodePlainText(text, &format));
    d->plainFormat = format;
}

PlainTextFormat RichTextBox::plainTextFormat() const
{
    return d->plainFormat;
}

void RichTextBox::setPlainTextFormat(const PlainTextFormat &format)
{
    d->plainFormat = format;
}

void RichTextBox::SelPrint(QPrinter *printer)
{
    d->flush();
    const QTextCursor cursor = textCursor();
    printDocumentRange(*d->document, cursor.hasSelection() ? cursor.selectionStart() : 0,
                       cursor.hasSelection() ? cursor.selectionEnd() : d->documentLength(), printer);
}

// ---- events -------------------------------------------------------------

bool RichTextBox::event(QEvent *event)
{
    d->flush();
    return QPlainTextEdit::event(event);
}

bool RichTextBox::viewportEvent(QEvent *event)
{
    d->flush();
    return QPlainTextEdit::viewportEvent(event);
}

QVariant RichTextBox::inputMethodQuery(Qt::InputMethodQuery query) const
{
    d->flush();
    return QPlainTextEdit::inputMethodQuery(query);
}

void RichTextBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
        setOverwriteMode(!overwriteMode());
        KeyState::instance().setInsertToggled(overwriteMode());
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void RichTextBox::keyReleaseEvent(QKeyEvent *event)
{
    QPlainTextEdit::keyReleaseEvent(event);
    if (!event->isAutoRepeat())
        emit KeyUp(vbKeyCode(event->key()), vbShiftState(event->modifiers()));
}

static int vbButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return RichTextBox::vbLeftButton;
    case Qt::RightButton: return RichTextBox::vbRightButton;
    case Qt::MiddleButton: return RichTextBox::vbMiddleButton;
    default: return 0;
    }
}

void RichTextBox::mousePressEvent(QMouseEvent *event)
{
    QPlainTextEdit::mousePressEvent(event);
    const QPointF p = event->position();
    event->accept(); // handled here, whatever the button
    emit MouseDown(vbButton(event->button()), vbShiftState(event->modifiers()),
                   float(pixelsToTwipsX(p.x())), float(pixelsToTwipsY(p.y())));
}

void RichTextBox::mouseReleaseEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseReleaseEvent(event);
    const QPointF p = event->position();
    event->accept();
    emit MouseUp(vbButton(event->button()), vbShiftState(event->modifiers()),
                 float(pixelsToTwipsX(p.x())), float(pixelsToTwipsY(p.y())));
}

void RichTextBox::contextMenuEvent(QContextMenuEvent *event)
{
    // The program shows its own popup menus from MouseDown.
    event->accept();
}

static QStringList droppedFiles(const QMimeData *data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    return files;
}

void RichTextBox::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        QPlainTextEdit::dragEnterEvent(event);
}

void RichTextBox::dragMoveEvent(QDragMoveEvent *event)
{
    if (!droppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        QPlainTextEdit::dragMoveEvent(event);
}

void RichTextBox::dropEvent(QDropEvent *event)
{
    const QStringList files = droppedFiles(event->mimeData());
    if (files.isEmpty()) {
        QPlainTextEdit::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    emit OLEDragDrop(files);
}

void RichTextBox::paintEvent(QPaintEvent *event)
{
    d->cacheVisibleGlyphs();
    QPlainTextEdit::paintEvent(event);
    QPainter painter(viewport());
    d->paintMarkers(painter);
}

void RichTextBox::resizeEvent(QResizeEvent *event)
{
    QPlainTextEdit::resizeEvent(event);
    d->layout->invalidateLineCounts();
}

void RichTextBox::changeEvent(QEvent *event)
{
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        d->layout->forgetFormats();
}
