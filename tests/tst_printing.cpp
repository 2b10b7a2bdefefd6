#include "TestEnvironment.h"

#include "CupsPdfQueue.h"
#include "DocumentTestSupport.h"
#include "ModalDriver.h"
#include "PrintedPdf.h"
#include "ScriptedModalHost.h"
#include "ShellTestSupport.h"

#include "document/PrintCopy.h"
#include "platform/RuntimeError.h"
#include "platform/dialogs/CommonDialog.h"

#include <QFontMetricsF>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QTemporaryDir>

using namespace doctest;
using namespace printtest;
using namespace shelltest;

namespace {

constexpr long PrintFlags = 0x100108;
constexpr long PrintSelectionFlags = 0x100109;
const QString Body = QStringLiteral("alpha one\r\nbeta two\r\ngamma three");

// Line i of a long document: a number that tells where it belongs, and words
// that show whether it arrived whole.
QString numberedLine(int i)
{
    return QStringLiteral("Line %1 ends here").arg(i, 4, 10, QChar('0'));
}

QString numberedDocument(int lines)
{
    QStringList all;
    for (int i = 1; i <= lines; ++i)
        all << numberedLine(i);
    return all.join(QStringLiteral("\r\n"));
}

// The pages the plain model of a printed page gives: lines of the given
// heights put on pages of the given height one after the other, a line that
// does not fit going to the next page.
int modelPageCount(const QList<qreal> &lineHeights, qreal pageHeight)
{
    int pages = 1;
    qreal used = 0;
    for (const qreal height : lineHeights) {
        if (used + height > pageHeight && used > 0) {
            ++pages;
            used = 0;
        }
        used += height;
    }
    return pages;
}

// Checks the pages of a printed numbered document: the title, every line once,
// whole and in order, and the number of pages the model gives.
void checkNumberedPrint(const QString &pdf, int lines, const QFont &bodyFont, QPrinter &printer)
{
    const QList<QStringList> pages = pdfPages(pdf);
    QStringList all;
    for (const QStringList &page : pages)
        all << textLines(page);
    QVERIFY(!all.isEmpty());
    QCOMPARE(all.takeFirst(), QStringLiteral("Untitled"));
    QStringList expected;
    for (int i = 1; i <= lines; ++i)
        expected << numberedLine(i);
    QCOMPARE(all, expected);

    QFont titleFont(QStringLiteral("MS Sans Serif"), 10);
    titleFont.setBold(true);
    const QFontMetricsF title(titleFont, &printer);
    const QFontMetricsF body(bodyFont, &printer);
    QList<qreal> heights{title.height(), title.height()};
    for (int i = 0; i < lines; ++i)
        heights << body.height();
    const qreal pageHeight = printer.pageLayout().paintRectPixels(printer.resolution()).height();
    QCOMPARE(int(pages.size()), modelPageCount(heights, pageHeight));
}

} // namespace

class PrintingTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

    void init()
    {
        QVERIFY(m_dir.isValid());
        QPrinter &printer = CommonDialog::sharedPrinter();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfPath());
        QFile::remove(pdfPath());
    }
    void cleanup() { endRun(); }

    // --- the print copy in Buffer ---

    void printCopyHasTitleEmptyLineAndDocument_data()
    {
        QTest::addColumn<int>("part");
        QTest::addColumn<int>("defaultAlignment");
        QTest::addColumn<QString>("expected");
        QTest::newRow("whole, left")
            << int(PrintedPart::WholeDocument) << 0 << "Untitled\r\n\r\n" + Body;
        QTest::newRow("whole, right")
            << int(PrintedPart::WholeDocument) << 1 << "Untitled\r\n\r\n" + Body;
        QTest::newRow("selection")
            << int(PrintedPart::SelectionOnly) << 2 << QStringLiteral("Untitled\r\n\r\nbeta");
    }
    void printCopyHasTitleEmptyLineAndDocument()
    {
        QFETCH(int, part);
        QFETCH(int, defaultAlignment);
        QFETCH(QString, expected);
        start();
        RichTextBox &editor = *App.CurrentRichTextBox;
        editor.setText(Body);
        editor.setSelStart(11);
        editor.setSelLength(4);
        App.DefaultAlignment = defaultAlignment;
        RichTextBox &buffer = *frmBuffer().BufferBox();
        buffer.setSelItalic(true); // left over from an earlier use
        composePrintCopy(buffer, editor, PrintedPart(part));

        QCOMPARE(buffer.Text(), expected);
        buffer.setSelStart(0);
        buffer.setSelLength(8);
        QCOMPARE(buffer.SelAlignment(), int(RichTextBox::rtfCenter));
        QVERIFY(buffer.SelBold());
        QVERIFY(!buffer.SelItalic());
        QCOMPARE(buffer.SelColor(), 0);
        QCOMPARE(buffer.SelFontName(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(buffer.SelFontSize(), 10.0f);
        QCOMPARE(buffer.BackColor(), 0xFFFFFF);
        buffer.setSelStart(10);
        QCOMPARE(buffer.SelAlignment(), defaultAlignment);
    }

    void wholeDocumentTakesTheFirstParagraphsFormat()
    {
        start();
        RichTextBox &editor = *App.CurrentRichTextBox;
        editor.setText(Body);
        editor.setSelStart(0);
        editor.setSelAlignment(RichTextBox::rtfRight);
        editor.setSelIndent(720);
        editor.setSelHangingIndent(360);
        editor.setSelRightIndent(1440);
        editor.setSelBullet(true);
        editor.setSelStart(14);
        RichTextBox &buffer = *frmBuffer().BufferBox();
        composePrintCopy(buffer, editor, PrintedPart::WholeDocument);

        buffer.setSelStart(12); // the document's first paragraph in Buffer
        QCOMPARE(buffer.SelAlignment(), int(RichTextBox::rtfRight));
        QCOMPARE(buffer.SelIndent(), 720);
        QCOMPARE(buffer.SelHangingIndent(), 360);
        QCOMPARE(buffer.SelRightIndent(), 1440);
        QVERIFY(buffer.SelBullet());
        // The editor: caret back where it was, nothing selected.
        QCOMPARE(editor.SelStart(), 14);
        QCOMPARE(editor.SelLength(), 0);
    }

    // --- FilePrint through the scripted dialog, read back from the PDF ---

    void printsWhatTheDialogChose_data()
    {
        QTest::addColumn<int>("selLength");
        QTest::addColumn<int>("range");
        QTest::addColumn<QString>("title");
        QTest::addColumn<long>("flagsShown");
        QTest::addColumn<QStringList>("printed");
        QTest::addColumn<int>("caretAfter");
        QTest::addColumn<int>("selLengthAfter");
        const QStringList whole{"Untitled", "alpha one", "beta two", "gamma three"};
        QTest::newRow("selection preselected and kept")
            << 4 << int(QAbstractPrintDialog::Selection) << "Untitled" << PrintSelectionFlags
            << QStringList{"Untitled", "beta"} << 11 << 4;
        QTest::newRow("selection, all chosen")
            << 4 << int(QAbstractPrintDialog::AllPages) << "Untitled" << PrintSelectionFlags
            << whole << 11 << 0;
        QTest::newRow("nothing selected, all") << 0 << int(QAbstractPrintDialog::AllPages)
                                               << "Untitled" << PrintFlags << whole << 11 << 0;
        QTest::newRow("nothing selected, selection chosen")
            << 0 << int(QAbstractPrintDialog::Selection) << "Untitled" << PrintFlags
            << QStringList{"Untitled"} << 11 << 0;
        QTest::newRow("a page range is a flag beyond those set")
            << 4 << int(QAbstractPrintDialog::PageRange) << "Untitled" << PrintSelectionFlags
            << whole << 11 << 0;
        QTest::newRow("titled") << 0 << int(QAbstractPrintDialog::AllPages) << "notes.rtf"
                                << PrintFlags
                                << QStringList{"notes.rtf", "alpha one", "beta two", "gamma three"}
                                << 11 << 0;
    }
    void printsWhatTheDialogChose()
    {
        QFETCH(int, selLength);
        QFETCH(int, range);
        QFETCH(QString, title);
        QFETCH(long, flagsShown);
        QFETCH(QStringList, printed);
        QFETCH(int, caretAfter);
        QFETCH(int, selLengthAfter);
        SCRIVLET_REQUIRE_PDFTOTEXT();
        ScriptedModalHost host;
        start();
        App.FileTitle = title;
        RichTextBox &editor = *App.CurrentRichTextBox;
        editor.setText(Body);
        App.IsSaved = true;
        editor.setSelStart(11);
        editor.setSelLength(selLength);
        host.choosePrint(QAbstractPrintDialog::PrintRange(range), 1);
        runCommand(Command::FilePrint);

        QCOMPARE(host.dialogs().size(), 1);
        QCOMPARE(host.dialogs().first().kind, ScriptedModalHost::Print);
        QCOMPARE(host.dialogs().first().flags, flagsShown);
        QVERIFY(host.dialogs().first().cancelError);
        QVERIFY(host.messageBoxes().isEmpty());
        const QList<QStringList> pages = pdfPages(pdfPath());
        QCOMPARE(pages.size(), 1);
        QCOMPARE(textLines(pages.first()), printed);
        // The empty line stands between the title and the text.
        const QStringList &lines = pages.first();
        const int titleLine = int(lines.indexOf(QRegularExpression("\\s*" + title + "\\s*")));
        if (printed.size() > 1) {
            QVERIFY(titleLine >= 0 && titleLine + 2 < lines.size());
            QVERIFY(lines.at(titleLine + 1).trimmed().isEmpty());
        }
        QCOMPARE(editor.SelStart(), caretAfter);
        QCOMPARE(editor.SelLength(), selLengthAfter);
        QCOMPARE(editor.Text(), Body);
        QVERIFY(App.IsSaved);
        QCOMPARE(App.Buffer->textLength(), 0);
    }

    void cancelOrNoCopiesPrintNothing_data()
    {
        QTest::addColumn<int>("copies"); // -1: cancelled
        QTest::newRow("cancelled") << -1;
        QTest::newRow("no copies") << 0;
        QTest::newRow("negative copies") << -3;
    }
    void cancelOrNoCopiesPrintNothing()
    {
        QFETCH(int, copies);
        ScriptedModalHost host;
        start();
        RichTextBox &editor = *App.CurrentRichTextBox;
        editor.setText(Body);
        editor.setSelStart(3);
        editor.setSelLength(5);
        if (copies == -1)
            host.cancelPrint();
        else
            host.choosePrint(QAbstractPrintDialog::Selection, copies);
        runCommand(Command::FilePrint);
        QVERIFY(host.messageBoxes().isEmpty());
        QVERIFY(!QFile::exists(pdfPath()));
        QCOMPARE(editor.SelStart(), 3);
        QCOMPARE(editor.SelLength(), 5);
        QCOMPARE(App.Buffer ? App.Buffer->textLength() : 0, 0);
    }

    void printerFailureReachesTheTrap()
    {
        ScriptedModalHost host;
        start();
        CommonDialog::sharedPrinter().setOutputFileName(m_dir.filePath("missing/folder/out.pdf"));
        RichTextBox &editor = *App.CurrentRichTextBox;
        editor.setText(Body);
        editor.setSelStart(7);
        host.choosePrint(QAbstractPrintDialog::AllPages, 1);
        host.answerMessageBox(vbCancel);
        runCommand(Command::FilePrint);
        QCOMPARE(host.messageBoxes().size(), 1);
        unknownErrorMessage(host.messageBoxes().first(), ErrPrinter);
        QCOMPARE(editor.SelStart(), 7);
        QCOMPARE(App.Buffer->textLength(), 0);
    }

    void pageSetupShowsThePrinterSetup()
    {
        ScriptedModalHost host;
        start();
        host.cancelPrinterSetup();
        runCommand(Command::FilePageSetup);
        QCOMPARE(host.dialogs().size(), 1);
        QCOMPARE(host.dialogs().first().kind, ScriptedModalHost::PrinterSetup);
        QCOMPARE(host.dialogs().first().flags, long(cdlPDPrintSetup));
        QVERIFY(host.messageBoxes().isEmpty());
    }

    void previewShowsThePagesPrintSends_data()
    {
        QTest::addColumn<int>("selLength");
        QTest::newRow("whole document") << 0;
        QTest::newRow("selection") << 8;
    }
    void previewShowsThePagesPrintSends()
    {
        QFETCH(int, selLength);
        SCRIVLET_REQUIRE_PDFTOTEXT();
        ScriptedModalHost host;
        start();
        RichTextBox &editor = *App.CurrentRichTextBox;
        editor.setText(numberedDocument(120));
        editor.setSelStart(40);
        editor.setSelLength(selLength);
        const QString preview = m_dir.filePath("preview.pdf");
        host.previewInto(preview);
        runCommand(Command::FilePrintPreview);
        QCOMPARE(editor.SelStart(), 40);
        QCOMPARE(editor.SelLength(), selLength);
        QCOMPARE(App.Buffer->textLength(), 0);

        host.choosePrint(
            selLength ? QAbstractPrintDialog::Selection : QAbstractPrintDialog::AllPages, 1);
        runCommand(Command::FilePrint);
        QVERIFY(host.messageBoxes().isEmpty());
        const QList<QStringList> previewed = pdfPages(preview);
        QVERIFY(!previewed.isEmpty());
        QCOMPARE(previewed, pdfPages(pdfPath()));
    }

    // --- the pages: layout within the margins ---

    void longDocumentBreaksBetweenLines()
    {
        SCRIVLET_REQUIRE_PDFTOTEXT();
        ScriptedModalHost host;
        start();
        RichTextBox &editor = *App.CurrentRichTextBox;
        const QFont font(QStringLiteral("DejaVu Sans"), 12);
        editor.setText(numberedDocument(150));
        editor.setSelStart(0);
        editor.setSelLength(editor.textLength());
        editor.setSelFontName(font.family());
        editor.setSelFontSize(12);
        editor.setSelLength(0);
        host.choosePrint(QAbstractPrintDialog::AllPages, 1);
        runCommand(Command::FilePrint);
        checkNumberedPrint(pdfPath(), 150, font, CommonDialog::sharedPrinter());
    }

    void paragraphFormatsOnPaper()
    {
        SCRIVLET_REQUIRE_PDFTOTEXT();
        ScriptedModalHost host;
        start();
        RichTextBox &editor = *App.CurrentRichTextBox;
        editor.setText(QStringLiteral("Centred\r\nIndented\r\nBulleted"));
        editor.setSelStart(0);
        editor.setSelAlignment(RichTextBox::rtfCenter);
        editor.setSelStart(9);
        editor.setSelIndent(1440);
        editor.setSelStart(19);
        editor.setSelBullet(true);
        editor.setSelStart(0);
        host.choosePrint(QAbstractPrintDialog::AllPages, 1);
        runCommand(Command::FilePrint);

        const QPageLayout page = CommonDialog::sharedPrinter().pageLayout();
        const qreal left = page.paintRect(QPageLayout::Point).left();
        const qreal middle = page.paintRect(QPageLayout::Point).center().x();
        QHash<QString, QRectF> boxes;
        for (const PdfWord &word : pdfWords(pdfPath()))
            boxes.insert(word.text, word.box);
        QVERIFY2(boxes.contains("Centred"), qPrintable(QStringList(boxes.keys()).join(' ')));
        QVERIFY(qAbs(boxes["Centred"].center().x() - middle) < 2);
        QVERIFY(qAbs(boxes["Untitled"].center().x() - middle) < 2);
        // An inch of indent is an inch on paper.
        QVERIFY2(qAbs(boxes["Indented"].left() - (left + 72)) < 2,
                 qPrintable(QString::number(boxes["Indented"].left() - left)));
        // The bullet's marker stands before its text, which it does not cover.
        QVERIFY(boxes.contains(QString(QChar(0x2022))));
        QVERIFY(boxes[QString(QChar(0x2022))].right() < boxes["Bulleted"].left());
    }

    // --- the real Print dialog, to a CUPS-PDF queue (as root) ---

    void realPrintDialog_data()
    {
        QTest::addColumn<int>("selLength");
        QTest::addColumn<int>("copies");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QStringList>("printed"); // empty: the numbered document
        QTest::newRow("whole document")
            << 0 << 1 << 0 << QStringList{"Untitled", "Centred line", "after it"};
        QTest::newRow("selection") << 5 << 1 << 0 << QStringList{"Untitled", "after"};
        QTest::newRow("three copies")
            << 0 << 3 << 0 << QStringList{"Untitled", "Centred line", "after it"};
        QTest::newRow("long document") << 0 << 1 << 130 << QStringList();
    }
    void realPrintDialog()
    {
        QFETCH(int, selLength);
        QFETCH(int, copies);
        QFETCH(int, lines);
        QFETCH(QStringList, printed);
        SCRIVLET_REQUIRE_PDFTOTEXT();
        QString why;
        if (!m_queue && m_queueUnavailable.isEmpty()) {
            m_queue = std::make_unique<CupsPdfQueue>();
            if (!m_queue->setUp(&why)) {
                m_queue.reset();
                m_queueUnavailable = why;
                qInfo("No CUPS-PDF queue (%s): printing to a PDF file instead", qPrintable(why));
            }
        }
        if (!m_queue && copies > 1)
            QSKIP("copies are counted as print jobs, which need the CUPS-PDF queue");
        QPrinter &printer = CommonDialog::sharedPrinter();
        if (m_queue) {
            m_queue->clear();
            printer.setOutputFileName(QString());
            printer.setOutputFormat(QPrinter::NativeFormat);
            printer.setPrinterName(m_queue->name());
        }

        start();
        RichTextBox &editor = *App.CurrentRichTextBox;
        const QFont font(QStringLiteral("DejaVu Sans"), 12);
        editor.setText(lines ? numberedDocument(lines)
                             : QStringLiteral("Centred line\r\nafter it"));
        editor.setSelStart(0);
        editor.setSelLength(editor.textLength());
        editor.setSelFontName(font.family());
        editor.setSelFontSize(12);
        editor.setSelStart(0);
        editor.setSelAlignment(lines ? 0 : int(RichTextBox::rtfCenter));
        editor.setSelStart(14);
        editor.setSelLength(selLength);

        ModalDriver driver({[copies](QWidget *front) {
            auto *dialog = qobject_cast<QPrintDialog *>(front);
            QVERIFY2(dialog, front->metaObject()->className());
            auto *copiesBox = dialog->findChild<QSpinBox *>(QStringLiteral("copies"));
            QVERIFY(copiesBox);
            copiesBox->setValue(copies);
            dialog->accept();
        }});
        runCommand(Command::FilePrint);
        VERIFY_DRIVEN(driver);

        QStringList files{pdfPath()};
        if (m_queue) {
            files = m_queue->waitForPdfs(copies);
            QCOMPARE(files.size(), copies);
        }
        for (const QString &file : files) {
            if (lines) {
                checkNumberedPrint(file, lines, font, printer);
                continue;
            }
            const QList<QStringList> pages = pdfPages(file);
            QCOMPARE(pages.size(), 1);
            QCOMPARE(textLines(pages.first()), printed);
            if (selLength)
                continue;
            // "Centred line" is centred: its middle is the page's.
            QHash<QString, QRectF> boxes;
            for (const PdfWord &word : pdfWords(file))
                boxes.insert(word.text, word.box);
            const qreal middle = (boxes["Centred"].left() + boxes["line"].right()) / 2;
            const qreal pageMiddle
                = printer.pageLayout().paintRect(QPageLayout::Point).center().x();
            QVERIFY2(qAbs(middle - pageMiddle) < 2,
                     qPrintable(QStringLiteral("%1 %2").arg(middle).arg(pageMiddle)));
        }
    }

    void cleanupTestCase() { m_queue.reset(); }

private:
    QString pdfPath() const { return m_dir.filePath(QStringLiteral("printed.pdf")); }

    QTemporaryDir m_dir;
    std::unique_ptr<CupsPdfQueue> m_queue;
    QString m_queueUnavailable;
};

SCRIVLET_TEST_MAIN(PrintingTest)
#include "tst_printing.moc"
