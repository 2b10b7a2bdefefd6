#include "platform/richtext/RichTextBox.h"

#include "platform/files/FileReading.h"
#include "platform/files/FileSaving.h"
#include "platform/richtext/KeyCodes.h"
#include "platform/richtext/PlainTextReading.h"
#include "platform/richtext/RichTextBoxPrivate.h"
#include "platform/richtext/RichTextPrinting.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"
#include "platform/system/KeyState.h"

#include <QMimeData>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QUrl>

RichTextBox::RichTextBox(QWidget *parent)
    : QPlainTextEdit(parent)
    , d(new Private(this))
{
    d->attach(new QTextDocument(this));
    setAcceptDrops(true);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this,
            [this] { d->checkSelectionChange(); });
    connect(this, &QPlainTextEdit::selectionChanged, this, [this] { d->checkSelectionChange(); });
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this,
            [this] { d->settleScrollRange(); });
}

RichTextBox::~RichTextBox() = default;

// ---- positions ----------------------------------------------------------

// A paragraph separator counts twice (CR and LF), a piece break not at all.
int RichTextBox::textLength() const
{
    return d->documentLength() + d->document->blockCount() - 1
        - 2 * int(d->mirror().pieceBreaks().size());
}

int RichTextBox::toPosition(int documentPosition) const
{
    documentPosition = std::clamp(documentPosition, 0, d->documentLength());
    return documentPosition + d->document->findBlock(documentPosition).blockNumber()
        - 2 * d->mirror().pieceBreaksBefore(documentPosition);
}

int RichTextBox::toDocumentPosition(int position) const
{
    position = std::clamp(position, 0, textLength());
    const QTextDocument *doc = d->document;
    const int documentLength = d->documentLength();
    // Block n starts at control position start(n) = its document position + n
    // - 2 * the piece breaks before it. The block wanted is the last whose
    // start is not after position; it holds document position position -
    // (start(n) - its document position), which a few lookups settle on.
    const TextMirror &mirror = d->mirror();
    auto start = [&mirror](const QTextBlock &block) {
        return block.position() + block.blockNumber()
            - 2 * mirror.pieceBreaksBefore(block.position());
    };
    auto holds = [&](const QTextBlock &block) {
        const QTextBlock next = block.next();
        return start(block) <= position && (!next.isValid() || start(next) > position);
    };
    QTextBlock block = doc->findBlock(std::min(position, documentLength));
    for (int step = 0; step < 6 && !holds(block); ++step) {
        const QTextBlock guess = doc->findBlock(
            std::clamp(position - (start(block) - block.position()), 0, documentLength));
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
    return d->toCrLf(d->mirror().textWithoutPieceBreaks(0, d->mirror().length()));
}

void RichTextBox::setText(const QString &text) { d->replaceAll(Private::toParagraphs(text)); }

QByteArray RichTextBox::TextRTF() const
{
    d->flush();
    return writeRtf(*d->document, 0, d->documentLength());
}

void RichTextBox::setTextRTF(const QByteArray &rtf)
{
    d->flush();
    const QTextCharFormat format = d->insertionFormat();
    try {
        const QScopedValueRollback raised(d->changeRaised, true);
        d->document->setUndoRedoEnabled(false);
        const auto undoAgain = qScopeGuard([this] { d->document->setUndoRedoEnabled(true); });
        d->document->clear();
        QTextCursor cursor(d->document);
        cursor.setBlockCharFormat(format);
        cursor.setCharFormat(format);
        cursor.beginEditBlock();
        const auto endEdit = qScopeGuard([&cursor] { cursor.endEditBlock(); });
        // What was read is shown with its long paragraphs cut, also when
        // the file turns out to be broken half-way.
        const auto cut = [this] { cutLongBlocks(*d->document, 0, d->documentLength()); };
        try {
            insertRtf(cursor, rtf);
        } catch (...) {
            cut();
            throw;
        }
        cut();
    } catch (...) {
        emit Change(); // what was read before the failure stays
        throw;
    }
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
    // This box's own document goes once the taken one is in its place.
    const std::unique_ptr<QTextDocument> given(d->document);
    source.d->attach(new QTextDocument(&source));
    d->attach(taken);
    d->plainFormat = source.d->plainFormat;
    setTextCursor(QTextCursor(taken));
    emit source.Change();
    emit Change();
}

// ---- selection ----------------------------------------------------------

int RichTextBox::SelStart() const { return toPosition(textCursor().selectionStart()); }

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
    return d->toCrLf(d->mirror().textWithoutPieceBreaks(
        cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart()));
}

void RichTextBox::setSelText(const QString &text)
{
    d->flush();
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    cursor.beginEditBlock();
    cursor.insertText(Private::toParagraphs(text), d->insertionFormat());
    cutLongBlocks(*d->document, start, cursor.position());
    cursor.endEditBlock();
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
    const int start = cursor.selectionStart();
    cursor.beginEditBlock();
    try {
        insertRtf(cursor, rtf);
    } catch (...) {
        cursor.endEditBlock();
        throw;
    }
    cutLongBlocks(*d->document, start, cursor.position());
    cursor.endEditBlock();
    setTextCursor(cursor);
}

// ---- files and printing -------------------------------------------------

void RichTextBox::LoadFile(const QString &path, int fileType)
{
    if (fileType == PlainText) {
        PlainTextFormat format;
        OtherLineBreaks otherBreaks;
        const QString paragraphs = decodePlainText(readWholeFile(path), &format, &otherBreaks);
        d->plainFormat = format;
        d->replaceAll(paragraphs, otherBreaks);
    } else {
        setTextRTF(readWholeFile(path));
    }
}

void RichTextBox::showPlainTextFile(PlainTextReading &file, const RichTextBox &formatSource)
{
    d->flush();
    if (!file.begins())
        file.next(); // raises the failure
    const QTextCharFormat format = formatSource.d->insertionFormat();
    // The text goes into a new document that this control shows while it is
    // still empty: a full document taken over would have every paragraph
    // laid out anew at once, and a layout made for each.
    const QTextCursor caret = textCursor();
    const QPoint scrolled(horizontalScrollBar()->value(), verticalScrollBar()->value());
    std::unique_ptr<QTextDocument> previous(d->document);
    d->attach(new QTextDocument(this));
    setCurrentCharFormat(format);
    try {
        d->replaceAll([&file] { return file.next(); }, [&file] { return file.paragraphs(); });
    } catch (...) {
        // Decoding failed on the way (out of memory): the previous document
        // comes back as it was shown, and the selection is told again.
        {
            const QSignalBlocker quiet(this);
            const std::unique_ptr<QTextDocument> unfinished(d->document);
            d->attach(previous.release());
            QTextCursor restored(d->document);
            restored.setPosition(caret.anchor());
            restored.setPosition(caret.position(), QTextCursor::KeepAnchor);
            setTextCursor(restored);
            setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
            horizontalScrollBar()->setValue(scrolled.x());
            verticalScrollBar()->setValue(scrolled.y());
        }
        d->checkSelectionChange();
        throw;
    }
    d->plainFormat = file.format();
}

void RichTextBox::SaveFile(const QString &path, int fileType)
{
    if (fileType != PlainText) {
        writeWholeFile(path, TextRTF());
        return;
    }
    PlainTextFormat format = d->plainFormat;
    const QString paragraphs = d->mirror().textWithoutPieceBreaks(0, d->mirror().length());
    writeWholeFile(path, encodePlainText(paragraphs, &format, otherLineBreaks(*d->document)));
    d->plainFormat = format;
}

PlainTextFormat RichTextBox::plainTextFormat() const { return d->plainFormat; }

void RichTextBox::setPlainTextFormat(const PlainTextFormat &format) { d->plainFormat = format; }

void RichTextBox::SelPrint(QPrinter *printer)
{
    d->flush();
    const QTextCursor cursor = textCursor();
    // Paper is white: the control's background is printed only when it was
    // set, and text without a colour of its own prints in the control's text
    // colour only on that background.
    PrintedPageLook look;
    if (d->backColorSet) {
        look.background = palette().color(QPalette::Base);
        look.text = palette().color(QPalette::Text);
    }
    printDocumentRange(*d->document, cursor.hasSelection() ? cursor.selectionStart() : 0,
                       cursor.hasSelection() ? cursor.selectionEnd() : d->documentLength(),
                       *printer, look);
}

// ---- events -------------------------------------------------------------

bool RichTextBox::event(QEvent *event)
{
    d->flush();
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::InputMethod)
        d->keepSeparatorMarksFromTyping();
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
    // Alt with a key is a command key (a menu's access key, say), never
    // typing. Ctrl with Alt is how some layouts type their third-level
    // characters, so that still types.
    const Qt::KeyboardModifiers mods = event->modifiers();
    if ((mods & Qt::AltModifier) && !(mods & Qt::ControlModifier) && !event->text().isEmpty()
        && event->text().front().isPrint()) {
        event->ignore();
        return;
    }
    if (d->mirror().pieceBreaks().empty()) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    if (d->layout->piecesSideBySide() && d->moveAlongLines(event))
        return;
    // A key that only moved the caret across piece breaks, which are no
    // characters, moves it again (a bounded number of times: each move
    // goes at least one paragraph on, or stops).
    d->stepOverPieceBreaks(event);
    const int revision = d->document->revision();
    const int start = SelStart();
    const int length = SelLength();
    for (int moves = 0; moves < 16; ++moves) {
        const int position = textCursor().position();
        QPlainTextEdit::keyPressEvent(event);
        if (d->document->revision() != revision || textCursor().position() == position
            || SelStart() != start || SelLength() != length)
            break;
    }
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
    d->doubleClickedWord = QTextCursor();
    d->pointWith(event, [this](QMouseEvent *e) { QPlainTextEdit::mousePressEvent(e); });
    d->selectParagraphOnTripleClick(event);
    const QPointF p = event->position();
    event->accept(); // handled here, whatever the button
    emit MouseDown(vbButton(event->button()), vbShiftState(event->modifiers()),
                   float(pixelsToTwipsX(p.x())), float(pixelsToTwipsY(p.y())));
}

void RichTextBox::mouseMoveEvent(QMouseEvent *event)
{
    d->pointWith(event, [this](QMouseEvent *e) { QPlainTextEdit::mouseMoveEvent(e); });
}

void RichTextBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    d->pointWith(event, [this](QMouseEvent *e) { QPlainTextEdit::mouseDoubleClickEvent(e); });
    d->doubleClickedAt = event->timestamp();
    d->doubleClickedWord = textCursor();
}

void RichTextBox::mouseReleaseEvent(QMouseEvent *event)
{
    d->pointWith(event, [this](QMouseEvent *e) { QPlainTextEdit::mouseReleaseEvent(e); });
    d->doubleClickedWord = QTextCursor();
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

// Only files may be dropped on the control; the program decides what to do
// with them. Other data (text dragged from another program or from the
// control itself) is refused, so nothing is inserted.
static void acceptFilesOnly(QDropEvent *event)
{
    if (!droppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void RichTextBox::dragEnterEvent(QDragEnterEvent *event) { acceptFilesOnly(event); }

void RichTextBox::dragMoveEvent(QDragMoveEvent *event) { acceptFilesOnly(event); }

void RichTextBox::dropEvent(QDropEvent *event)
{
    const QStringList files = droppedFiles(event->mimeData());
    if (files.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit OLEDragDrop(files);
}

// Everything the control inserts from data (a middle-click paste of the X
// primary selection, a paste, a drop) arrives here. It inserts the data's
// plain text as typed text is inserted, in the format at the insertion point;
// Rich Text offered beside it is not used. Data without text, and the
// selection data of X when no program owns the selection, which has no
// formats at all, insert nothing. (Qt's own insertion reads the first format
// of the data without checking that there is one.)
void RichTextBox::insertFromMimeData(const QMimeData *source)
{
    const QString text = source && source->hasText() ? source->text() : QString();
    if (!text.isEmpty())
        setSelText(text);
}

// Text copied or dragged from the control leaves its piece breaks out; such a
// selection is given as plain text alone.
QMimeData *RichTextBox::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    const TextMirror &mirror = d->mirror();
    if (mirror.pieceBreaksBefore(cursor.selectionEnd())
        == mirror.pieceBreaksBefore(cursor.selectionStart()))
        return QPlainTextEdit::createMimeDataFromSelection();
    QString text = d->mirror().textWithoutPieceBreaks(
        cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart());
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.replace(QChar::Nbsp, QLatin1Char(' ')); // as Qt's own copy gives it
    auto *data = new QMimeData;
    data->setText(text);
    return data;
}

void RichTextBox::paintEvent(QPaintEvent *event)
{
    if (d->layout->piecesSideBySide()) {
        d->paintPiecesSideBySide(event->rect(), getPaintContext());
        return;
    }
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
