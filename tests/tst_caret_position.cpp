// The status bar: its panels, and the caret's line and column in the position
// panel.

#include "ShellTestSupport.h"
#include "TestEnvironment.h"

#include "editor/StatusPanels.h"

using namespace shelltest;

namespace {

QString positionPanel() { return App.CurrentStatusBar->Panels(PositionPanel)->Text(); }

QString panelText(int line, int column)
{
    return QStringLiteral(" Ln %1, Col %2  ").arg(line).arg(column);
}

// The column as a backward scan to the start of the caret's line finds it.
int scannedColumn(const RichTextBox &box, int position)
{
    const int line = box.GetLineFromChar(position);
    int x = position;
    do
        --x;
    while (x >= 0 && box.GetLineFromChar(x) == line);
    return position - x;
}

} // namespace

class CaretPositionTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { DeleteSetting(AppName); }
    void cleanup() { endRun(); }

    void panelsAsDesigned()
    {
        start();
        const StatusBar &bar = *App.CurrentStatusBar;
        QCOMPARE(bar.panelCount(), 5);
        const struct
        {
            int style;
            const char *text;
            const char *toolTip;
            int autoSize;
        } designs[] = {
            {sbrText, "", "", sbrSpring},
            {sbrText, " Ln 1, Col 1  ", "Current Position", sbrContents},
            {sbrIns, "INS", "Insert", sbrNoAutoSize},
            {sbrCaps, "CAPS", "Capslock", sbrNoAutoSize},
            {sbrNum, "NUM", "Numlock", sbrNoAutoSize},
        };
        for (int i = 0; i < 5; ++i) {
            const StatusBarPanel &panel = *bar.Panels(i + 1);
            QCOMPARE(panel.Style(), designs[i].style);
            QCOMPARE(panel.Text(), QLatin1String(designs[i].text));
            QCOMPARE(panel.ToolTipText(), QLatin1String(designs[i].toolTip));
            QCOMPARE(panel.AutoSize(), designs[i].autoSize);
            QCOMPARE(panel.Bevel(), int(sbrInset));
        }
        QCOMPARE(bar.Panels(2)->MinWidth(), 1000.0);
        for (int i = 3; i <= 5; ++i)
            QCOMPARE(bar.Panels(i)->Width(), 600.0);
    }

    void positionOfTheSelectionStart_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<QString>("panel");
        QTest::newRow("empty document") << "" << 0 << 0 << panelText(1, 1);
        QTest::newRow("second line") << "ab\r\ncd" << 5 << 0 << panelText(2, 2);
        QTest::newRow("before a line break") << "ab\r\n" << 2 << 0 << panelText(1, 3);
        QTest::newRow("after the last line break") << "ab\r\n" << 4 << 0 << panelText(2, 1);
        QTest::newRow("start of a line") << "ab\r\ncd\r\nef" << 8 << 0 << panelText(3, 1);
        QTest::newRow("selection") << "abcdefgh" << 4 << 2 << panelText(1, 5);
        QTest::newRow("selection over a line break") << "ab\r\ncd" << 1 << 4 << panelText(1, 2);
        QTest::newRow("line 12, column 5")
            << QStringLiteral("line\r\n").repeated(11) + QStringLiteral("abcdef") << 6 * 11 + 4 << 0
            << QStringLiteral(" Ln 12, Col 5  ");
    }

    void positionOfTheSelectionStart()
    {
        QFETCH(QString, text);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        QFETCH(QString, panel);
        start();
        RichTextBox &box = *App.CurrentRichTextBox;
        box.setText(text);
        box.setSelStart(selStart);
        box.setSelLength(selLength);
        QCOMPARE(positionPanel(), panel);
    }

    // Shift+Right from 4 leaves the caret at 6; the panel shows 4, the
    // selection's start.
    void selectionMadeWithTheKeyboardShowsItsStart()
    {
        start();
        RichTextBox &box = focusEditor();
        box.setText(QStringLiteral("abcdefgh"));
        box.setSelStart(4);
        QTest::keyClick(&box, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&box, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(box.SelLength(), 2);
        QCOMPARE(positionPanel(), panelText(1, 5));
    }

    void keysAndTheMouseMoveThePosition()
    {
        start();
        RichTextBox &box = focusEditor();
        QTest::keyClicks(&box, QStringLiteral("abc"));
        QCOMPARE(positionPanel(), panelText(1, 4));
        QTest::keyClick(&box, Qt::Key_Return);
        QTest::keyClicks(&box, QStringLiteral("de"));
        QCOMPARE(positionPanel(), panelText(2, 3));
        QTest::keyClick(&box, Qt::Key_Left);
        QCOMPARE(positionPanel(), panelText(2, 2));
        QTest::keyClick(&box, Qt::Key_Up);
        QCOMPARE(positionPanel(), panelText(1, 2));
        QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, QPoint(1, 2));
        QCOMPARE(positionPanel(), panelText(1, 1));
    }

    // Along one line the column follows the caret's move.
    void movesAlongTheLineChangeTheColumnByTheMove()
    {
        start();
        EditorForm &form = *App.CurrentForm;
        RichTextBox &box = *App.CurrentRichTextBox;
        box.setText(QStringLiteral("abcdef"));
        box.setSelStart(2);
        QCOMPARE(positionPanel(), panelText(1, 3));
        box.setSelStart(0);
        QCOMPARE(positionPanel(), panelText(1, 1));

        form.CurrentColumn = 10;
        box.setSelStart(3);
        QCOMPARE(positionPanel(), panelText(1, 13));
        QCOMPARE(form.LastSelStart, 3);
    }

    void columnIsWhatTheScanToTheLineStartFinds_data()
    {
        QTest::addColumn<bool>("wrap");
        QTest::newRow("word wrap") << true;
        QTest::newRow("no wrap") << false;
    }

    void columnIsWhatTheScanToTheLineStartFinds()
    {
        QFETCH(bool, wrap);
        start();
        if (!wrap)
            item("mnuWordwrap").trigger();
        RichTextBox &box = *App.CurrentRichTextBox;
        const QString paragraph
            = QStringLiteral("the quick brown fox jumps over the lazy dog ").repeated(8);
        box.setText(paragraph + QStringLiteral("\r\n\r\nshort\r\n") + paragraph);
        if (wrap)
            QVERIFY2(box.GetLineFromChar(paragraph.size() - 1) > 0, "the long line wraps");

        for (int position = 0; position <= box.textLength(); position += 7) {
            App.CurrentForm->CurrentLine = 0; // as if the caret came from another line
            box.setSelStart(position);
            QCOMPARE(positionPanel(),
                     panelText(box.GetLineFromChar(position) + 1, scannedColumn(box, position)));
        }
    }

    void secondDisplayedRowOfAWrappedLine()
    {
        start();
        RichTextBox &box = *App.CurrentRichTextBox;
        box.setText(QStringLiteral("word ").repeated(200));
        const int rowStart = box.GetLineStartFromChar(box.textLength() / 2);
        const int rowLine = box.GetLineFromChar(rowStart);
        QVERIFY(rowLine > 0);
        box.setSelStart(rowStart + 2);
        QCOMPARE(positionPanel(), panelText(rowLine + 1, 3));
    }

    // The caret keeps its line number while the window narrows and the line
    // starts elsewhere: the next move counts the column from the new start.
    void columnAfterTheTextWrapsAnew()
    {
        EditorWindow &window = start();
        RichTextBox &box = focusEditor();
        box.setText(QStringLiteral("word ").repeated(200));
        int secondRow = 0;
        while (box.GetLineFromChar(secondRow) == 0)
            ++secondRow;
        box.setSelStart(secondRow + 3);
        QCOMPARE(positionPanel(), panelText(2, 4));

        window.resize(window.width() * 7 / 10, window.height());
        QTRY_VERIFY(box.GetLineStartFromChar(secondRow + 3) != secondRow);
        QCOMPARE(box.GetLineFromChar(secondRow + 3), 1);
        QTest::keyClick(&box, Qt::Key_Right);

        QCOMPARE(box.SelStart(), secondRow + 4);
        QCOMPARE(positionPanel(), panelText(2, scannedColumn(box, secondRow + 4)));
    }

    // The small window follows each change of the text too; the normal window
    // waits for the caret to move.
    void changeUpdatesOnlyTheSmallWindow_data()
    {
        QTest::addColumn<QString>("windowState");
        QTest::addColumn<bool>("updated");
        QTest::newRow("normal") << "0" << false;
        QTest::newRow("small") << "1" << true;
    }

    void changeUpdatesOnlyTheSmallWindow()
    {
        QFETCH(QString, windowState);
        QFETCH(bool, updated);
        store(QStringLiteral("Settings"), QStringLiteral("WindowState"), windowState);
        start();
        RichTextBox &box = *App.CurrentRichTextBox;
        box.setText(QStringLiteral("abc"));
        box.setSelStart(1);
        box.setSelLength(1);
        App.CurrentStatusBar->Panels(PositionPanel)->setText(QStringLiteral("stale"));
        box.setSelBold(true); // a change without a move
        QCOMPARE(positionPanel(), updated ? panelText(1, 2) : QStringLiteral("stale"));
    }

    // Each load starts from position 0, so values kept from the window's earlier
    // use cannot give a wrong column.
    void reloadedWindowsStartAfresh()
    {
        start();
        const QString text = QStringLiteral("abcdefghij\r\nklm");
        App.CurrentRichTextBox->setText(text);
        App.CurrentRichTextBox->setSelStart(14);
        QCOMPARE(positionPanel(), panelText(2, 3));

        item("mnuSmallWin").trigger();
        QCOMPARE(positionPanel(), panelText(1, 1));
        App.CurrentRichTextBox->setSelStart(7);
        QCOMPARE(positionPanel(), panelText(1, 8));
        App.CurrentRichTextBox->setSelStart(13);

        item("mnuNormalWin").trigger();
        App.CurrentRichTextBox->setSelStart(7);
        QCOMPARE(positionPanel(), panelText(1, 8));

        frmSmall().CurrentLine = 1;
        frmSmall().CurrentColumn = 40;
        frmSmall().LastSelStart = 0;
        item("mnuSmallWin").trigger();
        App.CurrentRichTextBox->setSelStart(7);
        QCOMPARE(positionPanel(), panelText(1, 8));
    }
};

SCRIVLET_TEST_MAIN(CaretPositionTest)
#include "tst_caret_position.moc"
