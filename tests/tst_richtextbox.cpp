// The rich-text control's contract: CR LF positions, selection, searching,
// line numbers, formats, events and files.
#include "TestEnvironment.h"

#include "platform/RuntimeError.h"
#include "platform/richtext/PlainTextReading.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/system/KeyState.h"

#include <QApplication>
#include <QMimeData>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QUrl>

class TestRichTextBox : public QObject
{
    Q_OBJECT

private:
    RichTextBox *box = nullptr;

    // A shown control holding text.
    void show(const QString &text, int width = 400)
    {
        delete box;
        box = new RichTextBox;
        box->resize(width, 300);
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box));
        box->setText(text);
    }

    // What the control's Text must read: the document's text with CR LF.
    QString documentText() const
    {
        QString text = box->document()->toPlainText();
        return text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    }

private slots:
    void cleanup()
    {
        delete box;
        box = nullptr;
    }

    void textUsesCrLf_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("text");
        QTest::newRow("crlf") << "ab\r\ncd"
                              << "ab\r\ncd";
        QTest::newRow("lf") << "ab\ncd"
                            << "ab\r\ncd";
        QTest::newRow("cr") << "ab\rcd"
                            << "ab\r\ncd";
        QTest::newRow("mixed, blank lines") << "a\r\n\nb\r\r\n"
                                            << "a\r\n\r\nb\r\n\r\n";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("trailing break") << "x\r\n"
                                        << "x\r\n";
        QTest::newRow("line break inside a paragraph") << "a\vb\r\nc"
                                                       << "a\vb\r\nc";
    }
    void textUsesCrLf()
    {
        QFETCH(QString, input);
        QFETCH(QString, text);
        show(input);
        QCOMPARE(box->Text(), text);
        QCOMPARE(box->textLength(), text.size());
    }

    void positionsCountLineBreaksAsTwo_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("selectedToEnd");
        // 'ab' CR LF 'cd' CR LF 'ef'
        QTest::newRow("start") << 0 << 0 << "ab\r\ncd\r\nef";
        QTest::newRow("before CR") << 2 << 0 << "\r\ncd\r\nef";
        QTest::newRow("between CR and LF") << 3 << 0 << "\r\ncd\r\nef";
        QTest::newRow("start of line 2") << 4 << 1 << "cd\r\nef";
        QTest::newRow("between c and d") << 5 << 1 << "d\r\nef";
        QTest::newRow("end") << 10 << 2 << "";
        QTest::newRow("past the end is clamped") << 99 << 2 << "";
        QTest::newRow("negative is clamped") << -5 << 0 << "ab\r\ncd\r\nef";
    }
    void positionsCountLineBreaksAsTwo()
    {
        QFETCH(int, position);
        QFETCH(int, line);
        QFETCH(QString, selectedToEnd);
        show("ab\r\ncd\r\nef");
        QCOMPARE(box->textLength(), 10);
        QCOMPARE(box->GetLineFromChar(position), line);
        box->setSelStart(position);
        box->setSelLength(100);
        QCOMPARE(box->SelText(), selectedToEnd);
        QCOMPARE(box->SelStart() + box->SelLength(), 10);
    }

    void positionMappingRoundTrips()
    {
        // Lines of many lengths, empty ones among them.
        QString text;
        QRandomGenerator random(3);
        for (int i = 0; i < 3000; ++i)
            text += QString(int(random.bounded(i % 7 == 0 ? 1 : 90)), QLatin1Char('x')) + "\r\n";
        show(text);
        for (int position = 0; position <= box->textLength(); position += 7) {
            const int documentPosition = box->toDocumentPosition(position);
            const int back = box->toPosition(documentPosition);
            const bool onLf = position > 0 && text.at(position - 1) == QLatin1Char('\r');
            QCOMPARE(back, onLf ? position - 1 : position);
        }
    }

    void selectionAcrossLineBreak()
    {
        show("ab\r\ncd");
        box->setSelStart(1);
        box->setSelLength(4);
        QCOMPARE(box->SelText(), QString("b\r\nc"));
        QCOMPARE(box->SelLength(), 4);
        box->setSelStart(2); // setting the start clears the selection
        QCOMPARE(box->SelLength(), 0);
        box->setSelLength(-3);
        QCOMPARE(box->SelLength(), 0);
    }

    void selTextReplacesAndTakesInsertionFormat()
    {
        show("hello world");
        box->setSelStart(0);
        box->setSelLength(5);
        box->setSelText("bye\r\nnow");
        QCOMPARE(box->Text(), QString("bye\r\nnow world"));
        QCOMPARE(box->SelStart(), 8);
        QCOMPARE(box->SelLength(), 0);

        box->setSelStart(box->textLength());
        box->setSelBold(true);
        box->setSelColor(255);
        box->setSelText("!");
        box->setSelStart(box->textLength() - 1);
        box->setSelLength(1);
        QVERIFY(box->SelBold());
        QCOMPARE(box->SelColor(), 255);
        box->setSelStart(2);
        box->setSelLength(1);
        QVERIFY(!box->SelBold());
    }

    void find_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<QString>("what");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<int>("options");
        QTest::addColumn<int>("found");

        QTest::newRow("whole text") << "xx abc" << 0 << 0 << "abc" << -1 << -1 << 0 << 3;
        QTest::newRow("case folded") << "xx ABC" << 0 << 0 << "abc" << -1 << -1 << 0 << 3;
        QTest::newRow("match case misses") << "xx ABC" << 0 << 0 << "abc" << -1 << -1 << 4 << -1;
        QTest::newRow("match case finds") << "ABC abc" << 0 << 0 << "abc" << -1 << -1 << 4 << 4;
        QTest::newRow("whole word") << "concatenate cat" << 0 << 0 << "cat" << -1 << -1 << 2 << 12;
        QTest::newRow("whole word at end of line") << "cats\r\ncat\r\n"
                                                   << 0 << 0 << "cat" << -1 << -1 << 2 << 6;
        QTest::newRow("whole word none") << "concatenate" << 0 << 0 << "cat" << -1 << -1 << 2 << -1;
        QTest::newRow("from start") << "abc abc" << 0 << 0 << "abc" << 1 << -1 << 0 << 4;
        QTest::newRow("start after line break")
            << "ab\r\nab\r\nab" << 0 << 0 << "ab" << 3 << -1 << 0 << 4;
        QTest::newRow("range excludes end") << "abc abc" << 0 << 0 << "abc" << 1 << 6 << 0 << -1;
        QTest::newRow("range includes end") << "abc abc" << 0 << 0 << "abc" << 1 << 7 << 0 << 4;
        QTest::newRow("selection searched")
            << "abc xyz abc" << 4 << 7 << "abc" << -1 << -1 << 0 << 8;
        QTest::newRow("selection misses")
            << "abc xyz abc" << 4 << 3 << "abc" << -1 << -1 << 0 << -1;
        QTest::newRow("across a line break")
            << "ab\r\ncd" << 0 << 0 << "b\r\nc" << -1 << -1 << 0 << 1;
        QTest::newRow("empty text") << "abc" << 0 << 0 << "" << -1 << -1 << 0 << -1;
        QTest::newRow("end before start") << "abc" << 0 << 0 << "a" << 2 << 1 << 0 << -1;
    }
    void find()
    {
        QFETCH(QString, text);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        QFETCH(QString, what);
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(int, options);
        QFETCH(int, found);
        show(text);
        box->setSelStart(selStart);
        box->setSelLength(selLength);
        QCOMPARE(box->Find(what, start, end, options), found);
        if (found >= 0) {
            QCOMPARE(box->SelStart(), found);
            QCOMPARE(box->SelText().toLower(), what.toLower());
        } else {
            QCOMPARE(box->SelStart(), selStart);
            QCOMPARE(box->SelLength(), selLength);
        }
    }

    void findWithoutHighlightLeavesSelection()
    {
        show("one two");
        box->setSelStart(1);
        QCOMPARE(box->Find("two", 0, -1, RichTextBox::rtfNoHighlight), 4);
        QCOMPARE(box->SelStart(), 1);
        QCOMPARE(box->SelLength(), 0);
    }

    void upTo_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caret");
        QTest::addColumn<bool>("forward");
        QTest::addColumn<int>("result");
        QTest::newRow("back to word start") << "abc defgh" << 7 << false << 4;
        QTest::newRow("at word start stays") << "abc defgh" << 4 << false << 4;
        QTest::newRow("back to text start") << "abcdef" << 3 << false << 0;
        QTest::newRow("back stops after LF") << "ab\r\ncdef" << 6 << false << 4;
        QTest::newRow("tab is no stop") << "a\tbc" << 3 << false << 0;
        QTest::newRow("forward to space") << "abc def" << 1 << true << 3;
        QTest::newRow("forward to line end") << "abc\r\ndef" << 1 << true << 3;
        QTest::newRow("forward to end") << "abcdef" << 2 << true << 6;
    }
    void upTo()
    {
        QFETCH(QString, text);
        QFETCH(int, caret);
        QFETCH(bool, forward);
        QFETCH(int, result);
        show(text);
        box->setSelStart(caret);
        box->setSelLength(1);
        box->UpTo(QStringLiteral(" \r\n"), forward);
        QCOMPARE(box->SelStart(), result);
        QCOMPARE(box->SelLength(), 0);
    }

    void wrappedLinesCountAsDisplayed()
    {
        const QString words = QString("word ").repeated(200);
        show("first\r\n" + words + "\r\nlast", 300);
        QApplication::processEvents();
        const int longStart = 7;
        const int longLine = box->GetLineFromChar(longStart);
        QCOMPARE(longLine, 1);
        const QTextBlock block = box->document()->findBlockByNumber(1);
        QVERIFY(block.layout()->lineCount() > 1);
        const QTextLine second = block.layout()->lineAt(1);
        const int secondRowStart = longStart + second.textStart();
        QCOMPARE(box->GetLineFromChar(secondRowStart), 2);
        QCOMPARE(box->GetLineFromChar(secondRowStart + 3), 2);
        QCOMPARE(box->GetLineStartFromChar(secondRowStart + 3), secondRowStart);
        QCOMPARE(box->GetLineFromChar(secondRowStart - 1), 1);
        const int lastLine = box->GetLineFromChar(box->textLength());
        QCOMPARE(lastLine, 1 + block.layout()->lineCount());
        QCOMPARE(box->GetLineStartFromChar(box->textLength()), box->textLength() - 4);

        // Without wrapping every paragraph is one line.
        box->setRightMargin(RichTextBox::NoWrapRightMargin);
        QCOMPARE(box->GetLineFromChar(secondRowStart), 1);
        QCOMPARE(box->GetLineFromChar(box->textLength()), 2);
        box->setRightMargin(0);
        QCOMPARE(box->GetLineFromChar(box->textLength()), lastLine);
    }

    void countedLinesMatchTheLayout_data()
    {
        QTest::addColumn<QString>("font");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("runs"); // of other formats, or all in one font
        // DejaVu Math TeX Gyre has no italic face: its slant is drawn by
        // shearing the upright one.
        for (const char *font :
             {"DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono", "DejaVu Math TeX Gyre"})
            for (bool italic : {false, true})
                for (bool runs : {true, false})
                    for (int width : {97, 260, 333, 613})
                        if (runs || !italic)
                            QTest::newRow(qPrintable(
                                QStringLiteral("%1%2%3 %4")
                                    .arg(font, italic ? " italic" : "", runs ? "" : " one font")
                                    .arg(width)))
                                << font << italic << width << runs;
    }
    void countedLinesMatchTheLayout()
    {
        // Paragraphs of words, punctuation, runs of spaces and long words are
        // counted from word widths; laying each out for real must give the
        // same number of lines.
        QFETCH(QString, font);
        QFETCH(bool, italic);
        QFETCH(int, width);
        QFETCH(bool, runs);
        const QStringList vocabulary
            = {"a",      "to",   "Wave",     "AVAVAV", "(quoted)", "end.",
               "x,y;z:", "it's", "\"said\"", "café",   "1234567",  "supercalifragilistic",
               "__",     "50%",  "#tag"};
        QRandomGenerator random(width);
        QString text;
        for (int paragraph = 0; paragraph < 300; ++paragraph) {
            QString line = random.bounded(8) == 0 ? QStringLiteral("   ") : QString();
            const int words = int(random.bounded(40));
            for (int w = 0; w < words; ++w)
                line += vocabulary.at(int(random.bounded(vocabulary.size())))
                    + QString(1 + int(random.bounded(3) == 0), ' ');
            text += line + "\r\n";
        }
        show(text, width);
        box->setFontName(font);
        if (italic) {
            box->setSelLength(box->textLength());
            box->setSelItalic(true);
        }
        // Runs of other formats inside words and across them.
        for (int run = 0; run < (runs ? 40 : 0); ++run) {
            box->setSelStart(int(random.bounded(box->textLength())));
            box->setSelLength(int(random.bounded(1, 30)));
            if (run % 2)
                box->setSelBold(true);
            else
                box->setSelFontSize(run % 4 ? 14 : 7);
        }
        box->setSelStart(0);
        // A new width drops every paragraph's layout, so all are counted anew.
        box->resize(width + 1, 301);
        const int counted = box->GetLineFromChar(box->textLength());
        int unshaped = 0, lines = 0;
        for (QTextBlock block = box->document()->firstBlock(); block.isValid();
             block = block.next()) {
            unshaped += block.layout()->lineCount() == 0;
            box->document()->documentLayout()->blockBoundingRect(block);
            lines += block.layout()->lineCount();
        }
        QCOMPARE(counted, lines - 1);
        const bool sheared = italic && font == QLatin1String("DejaVu Math TeX Gyre");
        if (width > 200 && !sheared) // narrower, the long words go to the real layout
            QVERIFY2(unshaped > 150, "most paragraphs were counted without laying them out");
    }

    void scrollBarComesBeforeALongText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("fromAFile"); // taken in while it is decoded
        const QString lines = QString("line\r\n").repeated(2000);
        const QString longLine(200000, QLatin1Char('w'));
        QTest::newRow("many lines") << lines << false;
        QTest::newRow("one long line, in pieces") << longLine << false;
        QTest::newRow("one long line, from a file") << longLine << true;
        QTest::newRow("a long line, then many, from a file")
            << QString(40000, QLatin1Char('w')) + "\r\n" + lines << true;
    }
    void scrollBarComesBeforeALongText()
    {
        // A text that needs the vertical scroll bar arrives in a view the
        // bar has narrowed already: narrowed afterwards, the view would lay
        // every paragraph out again.
        QFETCH(QString, text);
        QFETCH(bool, fromAFile);
        show(QString(), 400);
        QApplication::processEvents();
        QVERIFY(!box->verticalScrollBar()->isVisible());
        const int wide = box->viewport()->width();
        int widthWhenFilled = -1;
        connect(box, &RichTextBox::Change, box,
                [&] { widthWhenFilled = box->viewport()->width(); });
        if (fromAFile) {
            QTemporaryDir dir;
            const QString path = dir.filePath("long.txt");
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) > 0);
            file.close();
            PlainTextReading reading(path);
            box->showPlainTextFile(reading, *box);
        } else {
            box->setText(text);
        }
        QApplication::processEvents();
        QVERIFY(box->verticalScrollBar()->isVisible());
        QVERIFY(widthWhenFilled < wide);
        QCOMPARE(box->viewport()->width(), widthWhenFilled);
        QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
        // The bar scrolls over the whole text: its end can be shown.
        QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
        QApplication::processEvents();
        QVERIFY(box->viewport()->rect().contains(box->cursorRect()));
        box->setText("short");
        QApplication::processEvents();
        QVERIFY(!box->verticalScrollBar()->isVisible());
        QCOMPARE(box->viewport()->width(), wide);
    }

    void lineNumbersFollowEditsAndWidth()
    {
        const QString line = QString("abcd efgh ").repeated(12) + "\r\n";
        show(line.repeated(50), 250);
        const int end = box->textLength();
        const int wrappedLines = box->GetLineFromChar(end);
        QVERIFY(wrappedLines > 50);
        box->resize(2000, 300);
        QApplication::processEvents();
        QCOMPARE(box->GetLineFromChar(end), 50);
        // An edit high up moves the lines below it.
        box->setSelStart(0);
        box->setSelText("x\r\ny\r\n");
        QCOMPARE(box->GetLineFromChar(box->textLength()), 52);
    }

    void charFormats()
    {
        show("plain text here");
        box->setSelStart(6);
        box->setSelLength(4);
        box->setSelBold(true);
        box->setSelItalic(true);
        box->setSelUnderline(true);
        box->setSelStrikeThru(true);
        box->setSelColor(0x00FF00);
        box->setSelFontName("DejaVu Serif");
        box->setSelFontSize(14);
        box->setSelCharOffset(40);
        QVERIFY(box->SelBold());
        QVERIFY(box->SelItalic());
        QVERIFY(box->SelUnderline());
        QVERIFY(box->SelStrikeThru());
        QCOMPARE(box->SelColor(), 0x00FF00);
        QCOMPARE(box->SelFontName(), QString("DejaVu Serif"));
        QCOMPARE(box->SelFontSize(), 14.0f);
        QCOMPARE(box->SelCharOffset(), 40);

        box->setSelStart(0);
        box->setSelLength(5);
        QVERIFY(!box->SelBold());
        QCOMPARE(box->SelColor(), 0);
        box->setSelStart(7); // insertion point inside the formatted word
        QVERIFY(box->SelBold());
    }

    void formatsSetTogetherLandTogether()
    {
        // Several formats set on one selection reach the document before
        // anything reads it, whichever member reads first.
        show("one two three");
        box->setSelStart(4);
        box->setSelLength(3);
        box->setSelBold(true);
        box->setSelColor(0x0000FF);
        box->setSelStart(0); // a new selection: the formats are applied first
        QTextCursor cursor(box->document());
        cursor.setPosition(5);
        QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Bold));
        QCOMPARE(cursor.charFormat().foreground().color(), QColor(255, 0, 0));
        cursor.setPosition(1);
        QCOMPARE(cursor.charFormat().fontWeight(), int(QFont::Normal));
    }

    void paragraphFormats()
    {
        show("one\r\ntwo\r\nthree");
        box->setSelStart(5);
        box->setSelLength(5); // "two" and the start of "three"
        box->setSelAlignment(RichTextBox::rtfCenter);
        box->setSelIndent(720);
        box->setSelHangingIndent(360);
        box->setSelRightIndent(144);
        box->setSelBullet(true);
        box->setSelTabCount(2);
        box->setSelTabs(1, 2880);
        QCOMPARE(box->SelAlignment(), int(RichTextBox::rtfCenter));
        QCOMPARE(box->SelIndent(), 720);
        QCOMPARE(box->SelHangingIndent(), 360);
        QCOMPARE(box->SelRightIndent(), 144);
        QVERIFY(box->SelBullet());
        QCOMPARE(box->SelTabCount(), 2);
        QCOMPARE(box->SelTabs(1), 2880);
        box->setSelStart(11); // "three" got them too
        QCOMPARE(box->SelAlignment(), int(RichTextBox::rtfCenter));
        box->setSelStart(1);
        QCOMPARE(box->SelAlignment(), int(RichTextBox::rtfLeft));
        QVERIFY(!box->SelBullet());
        QCOMPARE(box->SelIndent(), 0);
    }

    void indentsMoveTheDisplayedLines()
    {
        show(QString("word ").repeated(60) + "\r\nplain", 300);
        box->setSelStart(0);
        box->setSelIndent(1440);        // first line one inch in
        box->setSelHangingIndent(-720); // the others half an inch left of it
        box->viewport()->repaint();
        const QTextBlock block = box->document()->firstBlock();
        const QTextBlock plain = block.next();
        const qreal inch = box->logicalDpiX();
        const qreal margin = box->document()->documentMargin();
        QVERIFY(block.layout()->lineCount() > 1);
        QCOMPARE(qRound(block.layout()->lineAt(0).x()), qRound(margin + inch));
        QCOMPARE(qRound(block.layout()->lineAt(1).x()), qRound(margin + inch / 2));
        QCOMPARE(qRound(plain.layout()->lineAt(0).x()), qRound(margin));
        // The wrapped lines are counted as laid out.
        QCOMPARE(box->GetLineFromChar(box->textLength()), block.layout()->lineCount());
    }

    void rightAlignmentIsDrawnRight()
    {
        show("short");
        box->setSelAlignment(RichTextBox::rtfRight);
        box->viewport()->repaint();
        const QRect caretAtEnd = [this] {
            box->setSelStart(5);
            return box->cursorRect();
        }();
        QVERIFY2(caretAtEnd.x() > box->viewport()->width() / 2,
                 "right-aligned text ends near the right edge");
    }

    void changeIsRaisedOncePerEdit()
    {
        show("abc");
        QSignalSpy change(box, &RichTextBox::Change);
        box->setText("new text");
        QCOMPARE(change.count(), 1);
        box->setSelStart(3);
        box->setSelText("X");
        QCOMPARE(change.count(), 2);
        box->setSelStart(0);
        box->setSelLength(3);
        box->setSelBold(true);
        QCOMPARE(change.count(), 3); // raised when set, not again when applied
        QVERIFY(box->SelBold());
        QCOMPARE(change.count(), 3);
        box->setSelStart(0);
        box->setSelBold(true); // the insertion point only: the contents stay
        QCOMPARE(change.count(), 3);
        QTest::keyClick(box, Qt::Key_Z);
        QCOMPARE(change.count(), 4);
        // Laying the same contents out again is no change.
        box->setRightMargin(RichTextBox::NoWrapRightMargin);
        box->setRightMargin(0);
        box->setFontName("DejaVu Serif");
        box->resize(box->width() + 50, box->height());
        QCOMPARE(change.count(), 4);
    }

    void selChangeIsRaisedWhenTheSelectionMoves()
    {
        show("abc def");
        QSignalSpy sel(box, &RichTextBox::SelChange);
        int seenDuringCall = -1;
        connect(box, &RichTextBox::SelChange, this, [&] { seenDuringCall = box->SelStart(); });
        box->setSelStart(4);
        QCOMPARE(sel.count(), 1);
        QCOMPARE(seenDuringCall, 4);
        box->setSelStart(4);
        QCOMPARE(sel.count(), 1);
        box->setSelLength(2);
        QCOMPARE(sel.count(), 2);
        QTest::keyClick(box, Qt::Key_Right);
        QCOMPARE(sel.count(), 3);
    }

    void keyAndMouseEvents()
    {
        show("abc");
        QSignalSpy keyUp(box, &RichTextBox::KeyUp);
        QSignalSpy down(box, &RichTextBox::MouseDown);
        QSignalSpy up(box, &RichTextBox::MouseUp);
        QTest::keyClick(box, Qt::Key_F3, Qt::ShiftModifier);
        // F3 with Shift held, then Shift itself
        QCOMPARE(keyUp.count(), 2);
        QCOMPARE(keyUp.at(0).at(0).toInt(), 114);
        QCOMPARE(keyUp.at(0).at(1).toInt(), 1);
        QCOMPARE(keyUp.at(1).at(0).toInt(), 16);
        QTest::mousePress(box->viewport(), Qt::RightButton, Qt::ControlModifier, QPoint(10, 10));
        QTest::mouseRelease(box->viewport(), Qt::RightButton, Qt::ControlModifier, QPoint(10, 10));
        QTest::mouseClick(box->viewport(), Qt::MiddleButton, {}, QPoint(10, 10));
        QCOMPARE(down.count(), 2);
        QCOMPARE(down.at(0).at(0).toInt(), 2);
        QCOMPARE(down.at(0).at(1).toInt(), 2);
        QCOMPARE(down.at(1).at(0).toInt(), 4);
        QCOMPARE(up.count(), 2);
        QVERIFY(down.at(0).at(2).toFloat() > 0); // twips, not pixels
    }

    void droppedFilesAreReported()
    {
        show("abc");
        QSignalSpy dropped(box, &RichTextBox::OLEDragDrop);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile("/tmp/one.txt"), QUrl::fromLocalFile("/tmp/two.rtf")});
        const QPoint at(5, 5);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box->viewport(), &drop);
        QCOMPARE(dropped.count(), 1);
        QCOMPARE(dropped.at(0).at(0).toStringList(), QStringList({"/tmp/one.txt", "/tmp/two.rtf"}));
        QCOMPARE(box->Text(), QString("abc")); // nothing inserted
    }

    void insertKeyTogglesOverwrite()
    {
        show("abc");
        box->setSelStart(0);
        QTest::keyClick(box, Qt::Key_Insert);
        QVERIFY(box->overwriteMode());
        QVERIFY(KeyState::instance().insertToggled());
        QTest::keyClicks(box, "xy");
        QCOMPARE(box->Text(), QString("xyc"));
        QTest::keyClick(box, Qt::Key_Insert);
        QVERIFY(!box->overwriteMode());
        QVERIFY(!KeyState::instance().insertToggled());
        QTest::keyClicks(box, "z");
        QCOMPARE(box->Text(), QString("xyzc"));
    }

    void undoAndRedoKeys()
    {
        show("abc");
        box->setSelStart(3);
        QTest::keyClicks(box, "def");
        QCOMPARE(box->Text(), QString("abcdef"));
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(box->Text(), QString("abc"));
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(box->Text(), QString("abcdef"));
    }

    void textStaysExactThroughEditsAndUndo()
    {
        // Random edits, typing, undo and redo; Text and positions must always
        // agree with the document.
        show("start\r\n");
        QRandomGenerator random(42);
        for (int step = 0; step < 400; ++step) {
            const int length = box->textLength();
            switch (random.bounded(6)) {
            case 0:
                box->setSelStart(int(random.bounded(length + 1)));
                box->setSelLength(int(random.bounded(6)));
                box->setSelText(random.bounded(3) == 0 ? "line\r\nbreak" : "ins");
                break;
            case 1:
                box->setSelStart(int(random.bounded(length + 1)));
                QTest::keyClick(box, Qt::Key_Return);
                break;
            case 2:
                box->setSelStart(int(random.bounded(length + 1)));
                QTest::keyClick(box, Qt::Key_Backspace);
                break;
            case 3: QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier); break;
            case 4: QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); break;
            case 5:
                box->setSelStart(0);
                box->setSelLength(int(random.bounded(length + 1)));
                box->setSelBold(random.bounded(2));
                break;
            }
            QCOMPARE(box->Text(), documentText());
            QCOMPARE(box->textLength(), documentText().size());
        }
    }

    void plainFilesRoundTrip()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("a.txt");
        show("");
        box->setText("héllo\r\nwörld ✓");
        box->SaveFile(path, RichTextBox::PlainText);
        RichTextBox other;
        other.LoadFile(path, RichTextBox::PlainText);
        QCOMPARE(other.Text(), QString("héllo\r\nwörld ✓"));
        // Saving again replaces the file.
        box->setText("short");
        box->SaveFile(path, RichTextBox::PlainText);
        other.LoadFile(path, RichTextBox::PlainText);
        QCOMPARE(other.Text(), QString("short"));
    }

    void fileFailuresRaiseNumberedErrors_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<int>("number");
        QTest::newRow("missing file") << "missing.txt" << int(ErrFileNotFound);
        QTest::newRow("missing folder") << "nowhere/missing.txt" << int(ErrPathNotFound);
    }
    void fileFailuresRaiseNumberedErrors()
    {
        QFETCH(QString, relative);
        QFETCH(int, number);
        QTemporaryDir dir;
        RichTextBox other;
        other.setText("kept");
        try {
            other.LoadFile(dir.filePath(relative), RichTextBox::PlainText);
            QFAIL("no error raised");
        } catch (const RuntimeError &error) {
            QCOMPARE(error.Number(), number);
            QVERIFY(error.Description().contains("missing.txt"));
        }
        QCOMPARE(other.Text(), QString("kept"));
    }

    void failedSaveKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("sub/a.txt");
        RichTextBox other;
        other.setText("text");
        try {
            other.SaveFile(path, RichTextBox::PlainText);
            QFAIL("no error raised");
        } catch (const RuntimeError &error) {
            QCOMPARE(error.Number(), int(ErrPathNotFound));
        }
        // A folder in place of the file.
        QDir(dir.path()).mkdir("folder");
        try {
            other.SaveFile(dir.filePath("folder"), RichTextBox::PlainText);
            QFAIL("no error raised");
        } catch (const RuntimeError &error) {
            QCOMPARE(error.Number(), int(ErrPathFileAccess));
        }
        QVERIFY(QFileInfo(dir.filePath("folder")).isDir());
    }

    void movingContentsKeepsTextAndFormats()
    {
        show("");
        RichTextBox source;
        source.setText("one\r\ntwo three");
        source.setSelStart(5);
        source.setSelLength(3);
        source.setSelBold(true);
        source.setSelAlignment(RichTextBox::rtfCenter);
        PlainTextFormat format;
        format.encoding = PlainTextFormat::Utf16LE;
        source.setPlainTextFormat(format);
        QSignalSpy changed(box, &RichTextBox::Change);
        QSignalSpy sourceChanged(&source, &RichTextBox::Change);

        box->moveContentsFrom(source);
        QCOMPARE(box->Text(), QString("one\r\ntwo three"));
        QCOMPARE(box->SelStart(), 0);
        QCOMPARE(box->plainTextFormat().encoding, PlainTextFormat::Utf16LE);
        box->setSelStart(6);
        QVERIFY(box->SelBold());
        QCOMPARE(box->SelAlignment(), int(RichTextBox::rtfCenter));
        QCOMPARE(source.Text(), QString());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(sourceChanged.count(), 1);

        // Both go on working: typing, searching, line numbers, moving back.
        QTest::keyClicks(box, "X");
        QCOMPARE(box->Text(), QString("one\r\ntXwo three"));
        QCOMPARE(box->Find("three"), 10);
        QCOMPARE(box->GetLineFromChar(10), 1);
        source.setText("again");
        QCOMPARE(source.Find("gain"), 1);
        source.moveContentsFrom(*box);
        QCOMPARE(source.Text(), QString("one\r\ntXwo three"));
        QCOMPARE(box->Text(), QString());
    }

    void wrappedTextNeedsNoSideways()
    {
        // A document laid out in a wide control and moved into a narrow one
        // that wraps: nothing reaches past the view.
        show("", 300);
        RichTextBox wide;
        wide.resize(1500, 300);
        wide.setText(QString("long line of words ").repeated(30));
        wide.document()->documentLayout()->blockBoundingRect(wide.document()->firstBlock());
        box->moveContentsFrom(wide);
        box->viewport()->repaint();
        QApplication::processEvents();
        QCOMPARE(box->horizontalScrollBar()->maximum(), 0);
        // Without wrapping the long line can be scrolled to.
        box->setRightMargin(RichTextBox::NoWrapRightMargin);
        box->viewport()->repaint();
        QApplication::processEvents();
        QVERIFY(box->horizontalScrollBar()->maximum() > 0);
    }

    void appearance()
    {
        show("abc");
        box->setBackColor(0x123456);
        QCOMPARE(box->BackColor(), 0x123456);
        QCOMPARE(box->palette().color(QPalette::Base), QColor(0x56, 0x34, 0x12));
        box->setFontName("DejaVu Serif");
        QCOMPARE(box->FontName(), QString("DejaVu Serif"));
        QCOMPARE(box->SelFontName(), QString("DejaVu Serif"));
    }
};

SCRIVLET_TEST_MAIN(TestRichTextBox)
#include "tst_richtextbox.moc"
