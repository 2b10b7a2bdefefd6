// Very long paragraphs: the control shows them in pieces, yet its text,
// positions, keys, selections, searches, lines and files are those of the
// text itself. Each check compares the control with a plain copy of the text
// kept beside it.
#include "DocumentTestSupport.h"
#include "TestEnvironment.h"

#include "platform/richtext/LongParagraphs.h"
#include "platform/richtext/RichTextBox.h"

#include <QApplication>
#include <QClipboard>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>

namespace {

// A paragraph of count pseudo-random words.
QString words(int count, quint32 seed)
{
    static const QStringList vocabulary
        = {"lorem", "ipsum", "a", "dolor", "sit", "amet,", "x", "(elit)", "sed", "do"};
    QRandomGenerator random(seed);
    QString text;
    for (int i = 0; i < count; ++i)
        text += vocabulary.at(int(random.bounded(vocabulary.size()))) + QLatin1Char(' ');
    return text;
}

// count characters of base64 with no place to break.
QString base64(int count, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(count, Qt::Uninitialized);
    for (char &c : bytes)
        c = char(random.bounded(256));
    return QString::fromLatin1(bytes.toBase64().left(count));
}

// Which kind of long paragraph a test runs on.
QString longParagraph(const QString &kind)
{
    if (kind == QLatin1String("words"))
        return words(12000, 1);
    if (kind == QLatin1String("no spaces"))
        return base64(50000, 2);
    if (kind == QLatin1String("accents"))
        return QStringLiteral("e\u0301a\u0308").repeated(12000);
    return QStringLiteral("\U0001F600\U0001F4A9").repeated(9000); // surrogate pairs
}

// count short lines, each with its line break.
QString shortLines(int count)
{
    QString lines;
    for (int i = 0; i < count; ++i)
        lines += QStringLiteral("line %1\r\n").arg(i);
    return lines;
}

void addKinds()
{
    QTest::addColumn<QString>("kind");
    for (const char *kind : {"words", "no spaces", "accents", "surrogates"})
        QTest::newRow(kind) << QString::fromLatin1(kind);
}

} // namespace

class TestLongParagraphs : public QObject
{
    Q_OBJECT

private:
    RichTextBox *box = nullptr;
    QString model; // what Text() must read

    // A shown control holding a short paragraph, the long one and another
    // short one.
    void show(const QString &paragraph, int width = 500)
    {
        delete box;
        box = new RichTextBox;
        box->resize(width, 300);
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box));
        model = QStringLiteral("first line\r\n") + paragraph + QStringLiteral("\r\nlast line");
        box->setText(model);
    }

    // The control positions where pieces of the long paragraph start, read
    // from the lengths of the document's paragraphs.
    QList<int> pieceStarts() const
    {
        QList<int> starts;
        int position = 0;
        for (QTextBlock block = box->document()->firstBlock(); block.isValid();
             block = block.next()) {
            if (block.blockNumber() > 1 && block.next().isValid())
                starts.append(position);
            position += block.text().size();
            if (block.blockNumber() == 0)
                position += 2;
        }
        return starts;
    }

    // Where needle first stands in the model from start on, in any case.
    int modelFind(const QString &needle, int start, bool wholeWord) const
    {
        for (qsizetype at = model.indexOf(needle, start, Qt::CaseInsensitive); at >= 0;
             at = model.indexOf(needle, at + 1, Qt::CaseInsensitive)) {
            const qsizetype after = at + needle.size();
            if (!wholeWord
                || ((at == 0 || !model.at(at - 1).isLetterOrNumber())
                    && (after == model.size() || !model.at(after).isLetterOrNumber())))
                return int(at);
        }
        return -1;
    }

    void checkText()
    {
        QCOMPARE(box->Text(), model);
        QCOMPARE(box->textLength(), model.size());
    }

private slots:
    void cleanup()
    {
        delete box;
        box = nullptr;
    }

    void cutsKeepTheText_data() { addKinds(); }
    void cutsKeepTheText()
    {
        // Taking the added breaks out gives the text back; no piece starts
        // inside a character or with a mark that belongs to the one before.
        QFETCH(QString, kind);
        const QString text = longParagraph(kind) + QStringLiteral("\nshort\n") + words(100, 3);
        const PiecedText pieced = cutLongParagraphs(text);
        QVERIFY(pieced.pieceBreaks.size() > 5);
        QString joined = pieced.text;
        for (auto it = pieced.pieceBreaks.rbegin(); it != pieced.pieceBreaks.rend(); ++it) {
            QCOMPARE(joined.at(*it), QLatin1Char('\n'));
            joined.remove(*it, 1);
        }
        QCOMPARE(joined, text);
        for (const int at : pieced.pieceBreaks) {
            const QChar next = pieced.text.at(at + 1);
            QVERIFY(!next.isLowSurrogate());
            QVERIFY(next.category() != QChar::Mark_NonSpacing);
            if (kind == QLatin1String("words"))
                QCOMPARE(pieced.text.at(at - 1), QLatin1Char(' '));
        }
        // Short paragraphs stay whole.
        const QString shortText = words(500, 4) + QStringLiteral("\n") + words(500, 5);
        QCOMPARE(cutLongParagraphs(shortText).text, shortText);
    }

    void textAndPositionsAreThoseOfTheText_data() { addKinds(); }
    void textAndPositionsAreThoseOfTheText()
    {
        QFETCH(QString, kind);
        show(longParagraph(kind));
        checkText();
        QVERIFY2(box->document()->blockCount() > 10, "the long paragraph was cut into pieces");
        for (QTextBlock block = box->document()->firstBlock(); block.isValid();
             block = block.next())
            QVERIFY(block.length() <= 8192);
        QRandomGenerator random(7);
        for (int i = 0; i < 300; ++i) {
            int start = int(random.bounded(model.size() + 1));
            if (start > 0 && model.at(start - 1) == QLatin1Char('\r'))
                ++start; // not between CR and LF
            const int length
                = int(random.bounded(std::min<qsizetype>(20000, model.size() - start) + 1));
            box->setSelStart(start);
            QCOMPARE(box->SelStart(), start);
            box->setSelLength(length);
            QCOMPARE(box->SelLength(), length);
            QCOMPARE(box->SelText(), model.mid(start, length));
        }
    }

    void shownPiecesKeepTheirGlyphs()
    {
        // A blink of the caret repaints a piece from the glyphs it keeps,
        // without laying it out again: also a piece as long as pieces go.
        show(longParagraph(QStringLiteral("no spaces")));
        box->viewport()->repaint();
        const QTextBlock piece = box->document()->findBlockByNumber(1);
        QCOMPARE(piece.length(), LongestPiece + 1);
        QVERIFY(piece.layout()->cacheEnabled());
    }

    void keysAtPieceBoundaries_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("editAt");  // where the text changes, from the boundary
        QTest::addColumn<int>("removed"); // characters removed there
        QTest::addColumn<QString>("inserted");
        QTest::addColumn<int>("caret"); // from the boundary, afterwards
        QTest::addColumn<int>("selected");
        QTest::newRow("type") << "X" << 0 << 0 << "X" << 1 << 0;
        QTest::newRow("Backspace") << "<bs>" << -1 << 1 << "" << -1 << 0;
        QTest::newRow("Delete") << "<del>" << 0 << 1 << "" << 0 << 0;
        QTest::newRow("Backspace twice") << "<bs><bs>" << -2 << 2 << "" << -2 << 0;
        QTest::newRow("Right") << "<right>" << 0 << 0 << "" << 1 << 0;
        QTest::newRow("Left") << "<left>" << 0 << 0 << "" << -1 << 0;
        QTest::newRow("Left, Right") << "<left><right>" << 0 << 0 << "" << 0 << 0;
        QTest::newRow("Shift+Left, Shift+Right twice")
            << "<sleft><sright><sright>" << 0 << 0 << "" << 1 << 1;
        QTest::newRow("Left, type") << "<left>Y" << -1 << 0 << "Y" << 0 << 0;
        QTest::newRow("Enter") << "<enter>" << 0 << 0 << "\r\n" << 2 << 0;
    }
    void keysAtPieceBoundaries()
    {
        // Keys act at the first few boundaries as they would anywhere in
        // the text: a piece break is no character.
        QFETCH(QString, keys);
        QFETCH(int, editAt);
        QFETCH(int, removed);
        QFETCH(QString, inserted);
        QFETCH(int, caret);
        QFETCH(int, selected);
        for (const QString &kind : {QStringLiteral("words"), QStringLiteral("no spaces")}) {
            show(longParagraph(kind));
            const QList<int> starts = pieceStarts();
            QVERIFY(starts.size() > 3);
            int shift = 0; // of later boundaries by the edits at earlier ones
            for (int i = 0; i < 3; ++i) {
                const int boundary = starts.at(i) + shift;
                box->setSelStart(boundary);
                for (qsizetype at = 0; at < keys.size();) {
                    const qsizetype end = keys.indexOf(QLatin1Char('>'), at);
                    const QString key = keys.at(at) == QLatin1Char('<')
                        ? keys.mid(at + 1, end - at - 1)
                        : keys.mid(at, 1);
                    at = keys.at(at) == QLatin1Char('<') ? end + 1 : at + 1;
                    if (key == QLatin1String("bs"))
                        QTest::keyClick(box, Qt::Key_Backspace);
                    else if (key == QLatin1String("del"))
                        QTest::keyClick(box, Qt::Key_Delete);
                    else if (key == QLatin1String("right") || key == QLatin1String("sright"))
                        QTest::keyClick(box, Qt::Key_Right,
                                        key.startsWith('s') ? Qt::ShiftModifier : Qt::NoModifier);
                    else if (key == QLatin1String("left") || key == QLatin1String("sleft"))
                        QTest::keyClick(box, Qt::Key_Left,
                                        key.startsWith('s') ? Qt::ShiftModifier : Qt::NoModifier);
                    else if (key == QLatin1String("enter"))
                        QTest::keyClick(box, Qt::Key_Return);
                    else
                        QTest::keyClicks(box, key);
                }
                model.replace(boundary + editAt, removed, inserted);
                checkText();
                QCOMPARE(box->SelStart() + box->SelLength(), boundary + caret);
                QCOMPARE(box->SelLength(), selected);
                shift += int(inserted.size()) - removed;
            }
        }
    }

    void emptyPieceAndOverwrite()
    {
        // A piece emptied by a deletion is crossed in one key press, and
        // Rich Text pasted there keeps its paragraphs.
        show(longParagraph(QStringLiteral("words")));
        const QList<int> starts = pieceStarts();
        const int b = starts.at(1);
        QTextCursor piece(box->document()->findBlockByNumber(3));
        piece.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        box->setTextCursor(piece);
        QTest::keyClick(box, Qt::Key_Delete);
        model.remove(b, starts.at(2) - b);
        checkText();
        QCOMPARE(box->document()->findBlockByNumber(3).length(), 1); // an empty piece
        QTest::keyClick(box, Qt::Key_Left);
        QCOMPARE(box->SelStart(), b - 1);
        QTest::keyClick(box, Qt::Key_Right);
        QCOMPARE(box->SelStart(), b);
        QTest::keyClick(box, Qt::Key_Right);
        QCOMPARE(box->SelStart(), b + 1);
        QTest::keyClick(box, Qt::Key_Left);
        QTest::keyClick(box, Qt::Key_Delete);
        model.remove(b, 1);
        checkText();
        QTest::keyClick(box, Qt::Key_Backspace);
        model.remove(b - 1, 1);
        checkText();
        // What Rich Text with empty paragraphs inserts, as a control without
        // pieces takes it.
        const QByteArray rtf = "{\\rtf1 \\par\\par x}";
        RichTextBox plain;
        plain.setText(QStringLiteral("ab"));
        plain.setSelStart(1);
        plain.setSelRTF(rtf);
        const QString inserted = plain.Text().mid(1, plain.Text().size() - 2);
        QVERIFY(inserted.contains(QLatin1String("\r\n")));
        box->setSelStart(b - 1); // after the piece breaks there
        box->setSelRTF(rtf);
        model.insert(b - 1, inserted);
        checkText();
        // Typing over the end of a piece replaces the first character of the
        // next.
        const int c = starts.at(4) - starts.at(2) + starts.at(1) - 2 + int(inserted.size());
        box->setSelStart(c - 1);
        QTest::keyClick(box, Qt::Key_Right);
        QTest::keyClick(box, Qt::Key_Insert);
        QTest::keyClicks(box, QStringLiteral("Q"));
        QTest::keyClick(box, Qt::Key_Insert);
        model.replace(c, 1, QStringLiteral("Q"));
        checkText();
    }

    void selectionsAcrossPieces()
    {
        // Selected across pieces, the text is copied, cut, replaced and
        // brought back by Undo whole.
        show(longParagraph(QStringLiteral("words")));
        const QList<int> starts = pieceStarts();
        const int from = starts.at(1) - 7;
        const int to = starts.at(3) + 5; // three breaks inside
        const QString original = model;
        box->setSelStart(from);
        box->setSelLength(to - from);
        QCOMPARE(box->SelText(), model.mid(from, to - from));
        box->copy();
        QCOMPARE(QApplication::clipboard()->text(), model.mid(from, to - from));
        box->cut();
        model.remove(from, to - from);
        checkText();
        box->undo();
        model = original;
        checkText();
        box->setSelStart(from);
        box->setSelLength(to - from);
        box->setSelText(QStringLiteral("joined"));
        model.replace(from, to - from, QStringLiteral("joined"));
        checkText();
        // A paste of a long line is cut as a file's would be.
        const int blocks = box->document()->blockCount();
        box->setSelText(base64(40000, 9));
        model.insert(from + 6, base64(40000, 9));
        checkText();
        QVERIFY(box->document()->blockCount() > blocks + 5);
    }

    void findAcrossABoundary_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("options");
        QTest::newRow("words") << "words" << 0;
        QTest::newRow("words, whole words") << "words" << int(RichTextBox::rtfWholeWord);
        QTest::newRow("no spaces") << "no spaces" << 0;
    }
    void findAcrossABoundary()
    {
        QFETCH(QString, kind);
        QFETCH(int, options);
        show(longParagraph(kind));
        for (const int boundary : pieceStarts().mid(0, 4)) {
            // The words around the boundary, whole.
            int from = boundary - 3, to = boundary + 3;
            if (options & RichTextBox::rtfWholeWord) {
                from = int(model.lastIndexOf(QLatin1Char(' '), boundary - 2)) + 1;
                to = int(model.indexOf(QLatin1Char(' '), boundary));
            }
            const QString needle = model.mid(from, to - from);
            const int expected = modelFind(needle, from - 200, options & RichTextBox::rtfWholeWord);
            QCOMPARE(box->Find(needle, from - 200, -1, options), expected);
            QCOMPARE(box->SelText().toLower(), model.mid(expected, needle.size()).toLower());
        }
        if (kind == QLatin1String("no spaces")) {
            // Part of the one long word is no whole word.
            const int boundary = pieceStarts().at(0);
            QCOMPARE(box->Find(model.mid(boundary - 3, 6), boundary - 3, boundary + 3,
                               RichTextBox::rtfWholeWord),
                     -1);
        }
    }

    void wrappedLinesAreTheDisplayedLines_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("words") << "words";
        QTest::newRow("no spaces") << "no spaces";
    }
    void wrappedLinesAreTheDisplayedLines()
    {
        // Every piece laid out for real gives the lines the control counts;
        // Home goes to where it says lines start.
        QFETCH(QString, kind);
        show(longParagraph(kind));
        const int counted = box->GetLineFromChar(box->textLength());
        QVector<int> lineStarts; // control positions, from the real layout
        int position = 0;
        for (QTextBlock block = box->document()->firstBlock(); block.isValid();
             block = block.next()) {
            box->document()->documentLayout()->blockBoundingRect(block);
            for (int i = 0; i < block.layout()->lineCount(); ++i)
                lineStarts.append(position + block.layout()->lineAt(i).textStart());
            position += block.text().size() + (block.blockNumber() == 0 ? 2 : 0);
        }
        QCOMPARE(counted, lineStarts.size() - 1);
        QRandomGenerator random(11);
        for (int i = 0; i < 100; ++i) {
            const int at = int(random.bounded(13, model.size() - 11)); // in the long paragraph
            const int line = int(std::upper_bound(lineStarts.begin(), lineStarts.end(), at)
                                 - lineStarts.begin())
                - 1;
            QCOMPARE(box->GetLineFromChar(at), line);
            QCOMPARE(box->GetLineStartFromChar(at), lineStarts.at(line));
            box->setSelStart(at);
            QTest::keyClick(box, Qt::Key_Home);
            QCOMPARE(box->SelStart(), lineStarts.at(line));
        }
    }

    void unwrappedParagraphIsOneLine_data() { addKinds(); }
    void unwrappedParagraphIsOneLine()
    {
        // Without wrapping, lines are the file's lines, however the pieces
        // are shown; a line break inside the paragraph still ends a line.
        QFETCH(QString, kind);
        show(longParagraph(kind) + QStringLiteral("\vafter a line break"));
        box->setRightMargin(RichTextBox::NoWrapRightMargin);
        const int breakAt = int(model.indexOf(QLatin1Char('\v')));
        QRandomGenerator random(12);
        for (int i = 0; i < 50; ++i) {
            const int at = int(random.bounded(12, breakAt + 1));
            QCOMPARE(box->GetLineFromChar(at), 1);
            QCOMPARE(box->GetLineStartFromChar(at), 12);
        }
        QCOMPARE(box->GetLineFromChar(breakAt + 3), 2);
        QCOMPARE(box->GetLineStartFromChar(breakAt + 3), breakAt + 1);
        QCOMPARE(box->GetLineFromChar(box->textLength()), 3);
        QCOMPARE(box->GetLineStartFromChar(box->textLength()), model.size() - 9);
    }

private:
    // Unwrapped, in a font where every character has one advance, a
    // character's column sets where it stands on the screen: the model here.
    void showUnwrapped(const QString &paragraph, const QString &after = QStringLiteral("last line"),
                       const QString &before = QString())
    {
        show(QString());
        box->setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 10));
        box->setRightMargin(RichTextBox::NoWrapRightMargin);
        model = before + QStringLiteral("first line\r\n") + paragraph + QStringLiteral("\r\n")
            + after;
        box->setText(model);
        advance = QFontMetricsF(box->font()).horizontalAdvance(QLatin1Char('x'));
        lineHeight = box->cursorRect().height();
        box->setSelStart(int(before.size()) + 12);
        rowTop = box->cursorRect().top();
    }
    qreal advance = 0;
    int lineHeight = 0;
    int rowTop = 0;

    // Where the caret at column column of its line stands, in the document.
    qreal modelX(int column) const { return box->document()->documentMargin() + column * advance; }
    qreal caretX() const { return box->cursorRect().left() + box->horizontalScrollBar()->value(); }

    // A mouse event at point of the viewport, with the left button down.
    void send(QEvent::Type type, const QPoint &point, Qt::MouseButton button)
    {
        QMouseEvent event(type, point, box->viewport()->mapToGlobal(point), button, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(box->viewport(), &event);
    }

    // Whether anything but the background shows in area of shown.
    bool inked(const QImage &shown, const QRect &area) const
    {
        const QColor background = box->palette().color(QPalette::Base);
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (shown.pixelColor(x, y) != background)
                    return true;
        return false;
    }

    // A viewport point over the left of the character at column of the long
    // line (or of the line row rows below it), scrolled into view first.
    QPoint pointAt(int column, int row = 0)
    {
        box->horizontalScrollBar()->setValue(int(modelX(column)) - 100);
        return QPoint(int(modelX(column) + advance / 3) - box->horizontalScrollBar()->value(),
                      rowTop + row * lineHeight + lineHeight / 2);
    }

    // The caret at each of columns of the line that starts at lineStart, row
    // rows below the long line's first, stands at its column; "" or what
    // does not.
    QString misplacedColumns(int lineStart, const QList<int> &columns, int row = 0)
    {
        QStringList wrong;
        for (const int column : columns) {
            box->setSelStart(lineStart + column);
            if (std::abs(caretX() - modelX(column)) > 1.5
                || box->cursorRect().top() != rowTop + row * lineHeight)
                wrong << QStringLiteral("%1 at %2, %3")
                             .arg(column)
                             .arg(caretX())
                             .arg(box->cursorRect().top());
        }
        return wrong.join(QStringLiteral("; "));
    }

private slots:
    void unwrappedPiecesStandInOneLine_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("words") << QStringLiteral("words");
        QTest::newRow("no spaces") << QStringLiteral("no spaces");
    }
    void unwrappedPiecesStandInOneLine()
    {
        // Every character of the long line stands on the line's row, at its
        // column; the next line follows one row below.
        QFETCH(QString, kind);
        const QString paragraph = longParagraph(kind);
        showUnwrapped(paragraph);
        QVERIFY(box->document()->blockCount() > 10); // cut into pieces
        QRandomGenerator random(21);
        QList<int> columns = {0, int(paragraph.size()), LongestPiece, LongestPiece + 1};
        for (int i = 0; i < 40; ++i)
            columns.append(int(random.bounded(paragraph.size() + 1)));
        for (const int column : columns) {
            box->setSelStart(12 + column);
            QCOMPARE(box->cursorRect().top(), rowTop);
            QVERIFY2(std::abs(caretX() - modelX(column)) < 1.5,
                     qPrintable(QStringLiteral("column %1: %2, not %3")
                                    .arg(column)
                                    .arg(caretX())
                                    .arg(modelX(column))));
        }
        box->setSelStart(box->textLength());
        QCOMPARE(box->cursorRect().top(), rowTop + lineHeight);
        QVERIFY(box->horizontalScrollBar()->maximum() >= int(modelX(int(paragraph.size()))) - 600);
    }

    void unwrappedLineIsPaintedSideBySide()
    {
        // Scrolled deep into the long line, its row shows characters all
        // along; the rows below it stay empty.
        showUnwrapped(base64(60000, 3));
        box->setSelStart(12 + 30000);
        const QImage shown = box->viewport()->grab().toImage();
        for (int left = 0; left + 40 <= box->viewport()->width(); left += 40)
            QVERIFY2(inked(shown, QRect(left, rowTop, 40, lineHeight)),
                     qPrintable(QString::number(left)));
        QVERIFY(!inked(
            shown, QRect(0, rowTop + lineHeight + 2, box->viewport()->width(), 3 * lineHeight)));

        // A selection across a piece boundary is highlighted where its
        // characters stand, and nowhere else on the line.
        const int from = 2 * LongestPiece - 20;
        box->setSelStart(12 + from);
        box->setSelLength(40);
        box->setFocus();
        const QImage selected = box->viewport()->grab().toImage();
        const QColor highlight = box->palette().color(QPalette::Highlight);
        const qreal scroll = box->horizontalScrollBar()->value() - modelX(0);
        auto highlighted = [&](int column) {
            const int left = int(column * advance - scroll) + 1;
            for (int x = left; x < int((column + 1) * advance - scroll) - 1; ++x)
                for (int y = rowTop + 2; y < rowTop + lineHeight - 2; ++y)
                    if (selected.pixelColor(x, y) == highlight)
                        return true;
            return false;
        };
        const int first = int(std::ceil(scroll / advance));
        const int last = int((scroll + box->viewport()->width()) / advance) - 1;
        QVERIFY(first < from + 40 && last > from + 40); // the selection's end is shown
        for (int column = first; column < last; ++column)
            QVERIFY2(highlighted(column) == (column >= from && column < from + 40),
                     qPrintable(QString::number(column)));
    }

    void unwrappedLineKeysAndMouse()
    {
        // Up and Down keep the column between the long line and its
        // neighbours; Home and End go to the ends of the whole line; a click
        // and a drag fall on the characters under the pointer.
        const QString paragraph = words(12000, 4);
        showUnwrapped(paragraph);
        const int end = 12 + int(paragraph.size());
        const int deep = 2 * LongestPiece + 7;
        box->setSelStart(12 + deep);
        QTest::keyClick(box, Qt::Key_Up);
        QCOMPARE(box->SelStart(), 10); // the end of the shorter line above
        box->setSelStart(5);
        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(box->SelStart(), 12 + 5);
        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(box->SelStart(), end + 2 + 5);
        box->setSelStart(12 + deep);
        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(box->SelStart(), end + 2 + 9); // the end of "last line"
        box->setSelStart(12 + deep);
        QTest::keyClick(box, Qt::Key_End);
        QCOMPARE(box->SelStart(), end);
        QTest::keyClick(box, Qt::Key_Home, Qt::ShiftModifier);
        QCOMPARE(box->SelStart(), 12);
        QCOMPARE(box->SelLength(), end - 12);

        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, pointAt(deep));
        QCOMPARE(box->SelStart(), 12 + deep);
        QCOMPARE(box->SelLength(), 0);
        const int from = LongestPiece - 3;
        const int to = from + 200;
        QTest::mousePress(box->viewport(), Qt::LeftButton, {}, pointAt(from));
        QTest::mouseMove(box->viewport(), pointAt(to));
        QTest::mouseRelease(box->viewport(), Qt::LeftButton, {}, pointAt(to));
        QCOMPARE(box->SelStart(), 12 + from);
        QCOMPARE(box->SelLength(), to - from);
        QCOMPARE(box->SelText(), paragraph.mid(from, to - from));
    }

    void unwrappedLineWithALineBreakOfItsOwn_data()
    {
        QTest::addColumn<bool>("typed");
        QTest::newRow("in the text") << false;
        QTest::newRow("typed deep in the line") << true;
    }
    void unwrappedLineWithALineBreakOfItsOwn()
    {
        // A long paragraph with a line break inside shows as two lines of
        // pieces: positions, clicks and moves keep to the line and column.
        QFETCH(bool, typed);
        const QString head = base64(20000, 4);
        const QString tail = base64(30000, 5);
        if (typed) {
            showUnwrapped(head + tail);
            box->setSelStart(12 + int(head.size()));
            QTest::keyClick(box, Qt::Key_Return, Qt::ShiftModifier);
            model.insert(12 + head.size(), QLatin1Char('\v'));
            checkText();
        } else {
            showUnwrapped(head + QLatin1Char('\v') + tail);
        }
        const int second = 12 + int(head.size()) + 1;
        const QList<int> columns = {0, 99, LongestPiece + 3, 9000, 19999};
        QCOMPARE(misplacedColumns(12, columns + QList<int>{int(head.size())}), QString());
        QCOMPARE(misplacedColumns(second, columns + QList<int>{29999}, 1), QString());
        QCOMPARE(box->GetLineFromChar(second + 9000), 2);
        for (const int column : columns) {
            QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, pointAt(column));
            QCOMPARE(box->SelStart(), 12 + column);
            QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, pointAt(column, 1));
            QCOMPARE(box->SelStart(), second + column);
            QTest::keyClick(box, Qt::Key_Up);
            QCOMPARE(box->SelStart(), 12 + column);
            QTest::keyClick(box, Qt::Key_Down);
            QCOMPARE(box->SelStart(), second + column);
        }
        box->setSelStart(12 + 9000);
        QTest::keyClick(box, Qt::Key_End);
        QCOMPARE(box->SelStart(), second - 1);
        box->setSelStart(second + 9000);
        QTest::keyClick(box, Qt::Key_Home);
        QCOMPARE(box->SelStart(), second);
        // Scrolled to the left edge, the second line shows from its start.
        box->setSelStart(second);
        QVERIFY(inked(box->viewport()->grab().toImage(),
                      QRect(0, rowTop + lineHeight + 2, 100, lineHeight - 4)));
    }

    void caretDeepInALongLineIsScrolledTo_data()
    {
        QTest::addColumn<QString>("how");
        for (const char *how : {"set", "found", "Down"})
            QTest::newRow(how) << QString::fromLatin1(how);
    }
    void caretDeepInALongLineIsScrolledTo()
    {
        // The long line lies below the view; the caret goes to the middle of
        // it, and the view follows.
        QFETCH(QString, how);
        const QString before = shortLines(100);
        QString paragraph = base64(40000, 3);
        paragraph.replace(9000, 6, QStringLiteral("NEEDLE"));
        showUnwrapped(paragraph, QStringLiteral("end"), before);
        const int longStart = int(before.size()) + 12;
        box->setSelStart(0);
        QVERIFY(box->cursorRect().top() < lineHeight);
        if (how == QLatin1String("set")) {
            box->setSelStart(longStart + 9000);
        } else if (how == QLatin1String("found")) {
            QCOMPARE(box->Find(QStringLiteral("NEEDLE"), 0, -1, 0), longStart + 9000);
        } else {
            box->setSelStart(int(before.size()) + 9000 % 10); // a column of "first line"
            for (int i = 0; i < 102; ++i)
                QTest::keyClick(box, Qt::Key_Down);
            QCOMPARE(box->GetLineFromChar(box->SelStart()), 102);
        }
        const QRect caret = box->cursorRect();
        QVERIFY2(caret.top() >= 0 && caret.bottom() < box->viewport()->height(),
                 qPrintable(QStringLiteral("%1 to %2").arg(caret.top()).arg(caret.bottom())));
        QVERIFY(caret.left() >= 0 && caret.right() < box->viewport()->width());
    }

    void wordsAndParagraphsSelectedByClicks()
    {
        // A double click deep in the line selects a word, and a drag from
        // there goes on word by word; a third click selects the paragraph.
        const QString paragraph = QStringLiteral("lorem ipsum dolor ").repeated(3000);
        showUnwrapped(paragraph);
        const int word = int(paragraph.indexOf(QLatin1Char(' '), 9000)) + 1;
        const int wordEnd = int(paragraph.indexOf(QLatin1Char(' '), word));
        const QPoint inWord = pointAt(word + 1);
        // Pressed twice, and held.
        const int scrolled = box->horizontalScrollBar()->value();
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, inWord);
        QCOMPARE(box->horizontalScrollBar()->value(), scrolled); // a click does not scroll
        send(QEvent::MouseButtonDblClick, inWord, Qt::LeftButton);
        QCOMPARE(box->SelText(), paragraph.mid(word, wordEnd - word));
        const int further = wordEnd + 30;
        const QPoint there(inWord.x() + int((further - word - 1) * advance), inWord.y());
        send(QEvent::MouseMove, there, Qt::NoButton);
        QTest::mouseRelease(box->viewport(), Qt::LeftButton, {}, there);
        const int end = 12 + int(paragraph.indexOf(QLatin1Char(' '), further));
        QCOMPARE(box->SelStart(), 12 + word);
        QVERIFY2(box->SelStart() + box->SelLength() == end
                     || box->SelStart() + box->SelLength() == end + 1,
                 qPrintable(box->SelText()));
        QTest::mouseDClick(box->viewport(), Qt::LeftButton, {}, inWord);
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, inWord);
        QCOMPARE(box->SelStart(), 12);
        QCOMPARE(box->SelLength(), paragraph.size());
    }

    void clickOnALongLineOnTopOfTheView()
    {
        // Scrolled so that the long line is the first shown, a click still
        // falls on the character under the pointer.
        showUnwrapped(words(12000, 4), shortLines(50) + QStringLiteral("end"));
        box->verticalScrollBar()->setValue(1);
        box->setSelStart(12);
        rowTop = box->cursorRect().top();
        QCOMPARE(rowTop, 0);
        for (const int column : {100, 5000, 9000, 20000, 40000}) {
            QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, pointAt(column));
            QCOMPARE(box->SelStart(), 12 + column);
        }
    }

    void centredLongParagraphUnwrapped()
    {
        // Unwrapped, a long centred paragraph is one line wider than any
        // view: it runs from the left margin, with no gap between pieces.
        show(QString());
        box->setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 10));
        box->setRightMargin(RichTextBox::NoWrapRightMargin);
        const QString paragraph = base64(30000, 6);
        box->setTextRTF("{\\rtf1\\ansi{\\fonttbl{\\f0 DejaVu Sans Mono;}}\\f0\\fs20\\qc "
                        + paragraph.toLatin1() + "\\par}");
        advance = QFontMetricsF(box->font()).horizontalAdvance(QLatin1Char('x'));
        box->setSelStart(0);
        rowTop = box->cursorRect().top();
        QCOMPARE(misplacedColumns(0, {0, 1000, LongestPiece, 3 * LongestPiece + 1, 29999, 30000}),
                 QString());
    }

    void deletingAcrossPiecesKeepsTheLineCount()
    {
        // The base control's own line counts, which its scroll range goes
        // by, stay those of the lines shown.
        showUnwrapped(base64(60000, 3), shortLines(50) + QStringLiteral("end"));
        QCOMPARE(box->document()->lineCount(), 53);
        box->setSelStart(12 + 5000);
        box->setSelLength(15000);
        box->setSelText(QString());
        QCOMPARE(box->document()->lineCount(), 53);
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(box->document()->lineCount(), 53);
    }

    void typingDeepInAnUnwrappedLine()
    {
        // What is typed moves the rest of the line along by its width.
        const QString paragraph = base64(30000, 5);
        showUnwrapped(paragraph);
        const int at = 3 * LongestPiece + 11;
        box->setSelStart(12 + at);
        QTest::keyClicks(box, QStringLiteral("xyz"));
        model.insert(12 + at, QStringLiteral("xyz"));
        checkText();
        QVERIFY(std::abs(caretX() - modelX(at + 3)) < 1.5);
        box->setSelStart(12 + int(paragraph.size()) + 3);
        QVERIFY(std::abs(caretX() - modelX(int(paragraph.size()) + 3)) < 1.5);
        QCOMPARE(box->cursorRect().top(), rowTop);
    }

    void endOfManyUnwrappedLinesCanBeShown()
    {
        // The scroll range reaches the last line below many long ones.
        QString text;
        for (int i = 0; i < 60; ++i)
            text += base64(LongestUncutParagraph + 5000, quint32(i)) + QStringLiteral("\r\n");
        show(QString());
        box->setRightMargin(RichTextBox::NoWrapRightMargin);
        box->setText(text + QStringLiteral("the end"));
        QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(box->GetLineFromChar(box->SelStart()), 60);
        // Once the bottom lines are shown, the range is counted again (as a
        // resize does), and scrolled to its end, the view shows the last line.
        box->viewport()->repaint();
        box->resize(box->width(), box->height() + 1);
        box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
        const QRect caret = box->cursorRect();
        QVERIFY(caret.top() >= 0);
        QVERIFY2(caret.bottom() <= box->viewport()->height(),
                 qPrintable(QString::number(caret.bottom())));
        // A page up goes back by about the lines the view holds.
        const int page = box->viewport()->height() / caret.height();
        QTest::keyClick(box, Qt::Key_PageUp);
        const int up = 60 - box->GetLineFromChar(box->SelStart());
        QVERIFY2(up >= page - 1 && up <= page + 1,
                 qPrintable(QStringLiteral("%1 of %2").arg(up).arg(page)));
    }

    void paragraphFormatsCoverEveryPiece()
    {
        // Set anywhere in a long paragraph, a paragraph format is the whole
        // paragraph's: it is read back everywhere in it and written once.
        show(longParagraph(QStringLiteral("words")));
        const QList<int> starts = pieceStarts();
        box->setSelStart(starts.at(3) + 10);
        box->setSelAlignment(RichTextBox::rtfCenter);
        box->setSelBullet(true);
        for (const int at : {12, starts.at(0), starts.at(5) - 1, starts.last() + 3}) {
            box->setSelStart(at);
            QCOMPARE(box->SelAlignment(), int(RichTextBox::rtfCenter));
            QVERIFY(box->SelBullet());
        }
        box->setSelStart(0);
        QCOMPARE(box->SelAlignment(), int(RichTextBox::rtfLeft));
        const QByteArray rtf = box->TextRTF();
        const QRegularExpression paragraphMark(QStringLiteral("\\\\par(?![a-z])"));
        QCOMPARE(QString::fromLatin1(rtf).count(QStringLiteral("\\qc")), 1);
        QCOMPARE(QString::fromLatin1(rtf).count(paragraphMark), 2);
        // A selection that ends just after a cut ends inside the paragraph.
        box->setSelStart(12);
        box->setSelLength(starts.at(0) - 12);
        const QString selected = box->SelText();
        QCOMPARE(QString::fromLatin1(box->SelRTF()).count(paragraphMark), 0);
        RichTextBox other;
        other.setSelRTF(box->SelRTF());
        QCOMPARE(other.Text(), selected);
    }

    // Joined to the paragraph before, a long paragraph is read as having its
    // format, as it is written, and Undo gives it its own back.
    void aJoinedParagraphReadsAsOneFormat()
    {
        show(longParagraph(QStringLiteral("words")));
        const QList<int> starts = pieceStarts();
        const auto alignmentsAt = [this](const QList<int> &positions) {
            QList<int> found;
            for (const int at : positions) {
                box->setSelStart(at);
                found << box->SelAlignment();
            }
            return found;
        };
        box->setSelStart(0);
        box->setSelAlignment(RichTextBox::rtfCenter);
        box->setSelStart(12); // the long paragraph's start
        QTest::keyClick(box, Qt::Key_Backspace);
        model.remove(10, 2);
        checkText();
        QCOMPARE(alignmentsAt({0, starts.at(0) - 2, starts.at(4) - 2, starts.last() - 2}),
                 QList<int>(4, RichTextBox::rtfCenter));
        QCOMPARE(QString::fromLatin1(box->TextRTF()).count(QStringLiteral("\\qc")), 1);
        box->undo();
        model.insert(10, QStringLiteral("\r\n"));
        checkText();
        QCOMPARE(alignmentsAt({0, 12, starts.at(4), starts.last()}),
                 (QList<int>{RichTextBox::rtfCenter, RichTextBox::rtfLeft, RichTextBox::rtfLeft,
                             RichTextBox::rtfLeft}));
    }

    void wrappingToggledDeepInTheLine()
    {
        // The caret keeps its place, and its line comes back with wrapping.
        show(longParagraph(QStringLiteral("words")));
        const int deep = int(model.size() * 4 / 5);
        box->setSelStart(deep);
        const int wrappedLine = box->GetLineFromChar(deep);
        QVERIFY(wrappedLine > 100);
        box->setRightMargin(RichTextBox::NoWrapRightMargin);
        QCOMPARE(box->SelStart(), deep);
        QVERIFY(box->GetLineFromChar(deep) < wrappedLine);
        QTest::keyClicks(box, QStringLiteral("Z"));
        model.insert(deep, QLatin1Char('Z'));
        QTest::keyClick(box, Qt::Key_Backspace);
        model.remove(deep, 1);
        box->setRightMargin(0);
        QCOMPARE(box->SelStart(), deep);
        QCOMPARE(box->GetLineFromChar(deep), wrappedLine);
        checkText();
    }

    void filesKeepTheLongLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("words, CR LF") << ("head\r\n" + words(9000, 5).toLatin1() + "\r\ntail\r\n");
        QTest::newRow("base64, LF, no break at the end") << ("x\n" + base64(70000, 6).toLatin1());
        QTest::newRow("mixed breaks")
            << ("a\r\n" + words(9000, 8).toLatin1() + "\nb\r" + base64(30000, 9).toLatin1());
    }
    void filesKeepTheLongLine()
    {
        // A file opened and saved without an edit comes back byte for byte,
        // as plain text and through Rich Text.
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("long.txt"));
        doctest::writeFile(path, bytes);
        RichTextBox loaded;
        loaded.LoadFile(path, RichTextBox::PlainText);
        QVERIFY(loaded.document()->blockCount() > 5);
        const QString saved = dir.filePath(QStringLiteral("saved.txt"));
        loaded.SaveFile(saved, RichTextBox::PlainText);
        QCOMPARE(doctest::readFile(saved), bytes);
        // Written as Rich Text, the long line is one paragraph; read back,
        // it is cut again where it was, and writes the same again.
        const QByteArray rtf = loaded.TextRTF();
        RichTextBox throughRtf;
        throughRtf.setTextRTF(rtf);
        QCOMPARE(throughRtf.Text(), loaded.Text());
        QCOMPARE(throughRtf.document()->blockCount(), loaded.document()->blockCount());
        QCOMPARE(throughRtf.TextRTF(), rtf);
        // Pasted as Rich Text, too.
        RichTextBox pasted;
        pasted.setSelRTF(rtf);
        QCOMPARE(pasted.Text(), loaded.Text());
        QVERIFY(pasted.document()->blockCount() > 5);
    }
};

SCRIVLET_TEST_MAIN(TestLongParagraphs)
#include "tst_long_paragraphs.moc"
