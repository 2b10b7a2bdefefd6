// Go To Line: where Go puts the caret for what the user typed, on short texts
// and against the line starts of a long one; the dialog's layout, keys and
// life as a window of the editor.

#include "ShellTestSupport.h"
#include "TestEnvironment.h"

#include "app/WindowModes.h"
#include "app/state/ViewToggles.h"
#include "editing/frmGoto.h"
#include "editor/StatusPanels.h"
#include "platform/Twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <climits>

using namespace shelltest;

namespace {

RichTextBox &startWith(const QString &text)
{
    start();
    RichTextBox &box = *App.CurrentRichTextBox;
    box.setText(text);
    box.setSelStart(box.textLength() / 2);
    return box;
}

void goTo(const QString &entry)
{
    EditGoTo();
    frmGoto().txtLineNum->setText(entry);
    frmGoto().cmdGo->click();
}

} // namespace

class GotoTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { endRun(); }

    void caretGoesTo_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("selStart");
        const QString three = QStringLiteral("ab\r\ncd\r\nef"); // lines start at 0, 4, 8; Len 10
        QTest::newRow("a middle line: its start") << three << "2" << 4;
        QTest::newRow("line 1") << three << "1" << 0;
        QTest::newRow("the last line: the end of the text") << three << "3" << 10;
        QTest::newRow("past the last line: the end") << three << "99" << 10;
        QTest::newRow("0") << three << "0" << 0;
        QTest::newRow("empty") << three << "" << 0;
        QTest::newRow("not a number") << three << "abc" << 0;
        QTest::newRow("a number, then letters") << three << "2abc" << 4;
        QTest::newRow("blanks before") << three << " \t2" << 4;
        QTest::newRow("negative: as 0") << three << "-2" << 0;
        QTest::newRow("fraction: its whole part") << three << "2.7" << 4;
        QTest::newRow("too large for a line number") << three << "99999999999999" << 10;
        QTest::newRow("one line, 1: the end") << "hello"
                                              << "1" << 5;
        QTest::newRow("one line, 0: the start") << "hello"
                                                << "0" << 0;
        QTest::newRow("empty lines") << "a\r\n\r\n\r\nb"
                                     << "3" << 5;
    }

    void caretGoesTo()
    {
        QFETCH(QString, text);
        QFETCH(QString, entry);
        QFETCH(int, selStart);
        RichTextBox &box = startWith(text);
        goTo(entry);
        QCOMPARE(box.SelStart(), selStart);
        QCOMPARE(box.SelLength(), 0);
        QVERIFY(!isGotoLoaded());
    }

    // Lines of many lengths, up to some longer than the window: every line
    // asked for (not the last) puts the caret at its start, and the position
    // panel says so.
    void lineStartsOfALongText()
    {
        QString text;
        QList<int> starts;
        for (int i = 0; i < 3000; ++i) {
            starts << int(text.size());
            text += QString(i * 7 % 130, QLatin1Char('x')) + QStringLiteral("\r\n");
        }
        text += QStringLiteral("end");
        RichTextBox &box = startWith(text);
        ToggleWordwrap(); // each line of the text is one line of the editor
        for (int line = 1; line <= 3000; line += 37) {
            goTo(QString::number(line));
            QCOMPARE(box.SelStart(), starts[line - 1]);
            QCOMPARE(App.CurrentStatusBar->Panels(PositionPanel)->Text(),
                     positionPanelText(line, 1));
        }
    }

    void layout()
    {
        startWith(QString());
        EditGoTo();
        GotoDialog &dialog = frmGoto();
        const auto px = [](int x, int y, int w, int h) {
            return QRect(twipsToPixelsX(x), twipsToPixelsY(y), twipsToPixelsX(w),
                         twipsToPixelsY(h));
        };
        QCOMPARE(dialog.objectName(), QStringLiteral("frmGoto"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Goto Line"));
        QCOMPARE(dialog.size(), px(0, 0, 2865, 915).size());
        QVERIFY((dialog.windowFlags() & Qt::Tool) && !dialog.isModal());
        QCOMPARE(dialog.lblLineNumber->geometry(), px(120, 120, 1095, 255));
        QCOMPARE(dialog.txtLineNum->geometry(), px(1200, 120, 1470, 285));
        QCOMPARE(dialog.cmdGo->geometry(), px(120, 480, 1215, 375));
        QCOMPARE(dialog.cmdCancel->geometry(), px(1560, 480, 1215, 375));
        QCOMPARE(dialog.lblLineNumber->text(), QStringLiteral("Line Number:"));
        QCOMPARE(dialog.cmdGo->text(), QStringLiteral("Go"));
        QCOMPARE(dialog.cmdCancel->text(), QStringLiteral("Cancel"));
        QVERIFY(dialog.cmdGo->isDefault());
        QCOMPARE(dialog.focusWidget(), dialog.txtLineNum);
        QCOMPARE(dialog.txtLineNum->nextInFocusChain(), dialog.cmdGo);
        QCOMPARE(dialog.cmdGo->nextInFocusChain(), dialog.cmdCancel);
        QVERIFY((dialog.geometry().center() - currentWindow().geometry().center()).manhattanLength()
                <= 2);
    }

    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("selStart");
        QTest::newRow("Enter goes") << int(Qt::Key_Return) << 4;
        QTest::newRow("Esc cancels") << int(Qt::Key_Escape) << 5;
    }

    void keys()
    {
        QFETCH(int, key);
        QFETCH(int, selStart);
        RichTextBox &box = startWith(QStringLiteral("ab\r\ncd\r\nef"));
        EditGoTo();
        frmGoto().txtLineNum->setText(QStringLiteral("2"));
        QTest::keyClick(frmGoto().txtLineNum, Qt::Key(key));
        QCOMPARE(box.SelStart(), selStart);
        QVERIFY(!isGotoLoaded());
    }

    void followsAlwaysOnTopAndTheWindowSwitch()
    {
        startWith(QStringLiteral("ab\r\ncd\r\nef"));
        ToggleAlwaysTop();
        EditGoTo();
        QVERIFY(frmGoto().windowFlags() & Qt::WindowStaysOnTopHint);
        frmGoto().txtLineNum->setText(QStringLiteral("2"));
        ShowSmallWindow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(isGotoLoaded() && frmGoto().isVisible());
        QCOMPARE(frmGoto().parentWidget(), &currentWindow());
        ToggleAlwaysTop();
        QVERIFY(!(frmGoto().windowFlags() & Qt::WindowStaysOnTopHint));
        frmGoto().cmdGo->click();
        QCOMPARE(App.CurrentRichTextBox->SelStart(), 4);
    }
};

SCRIVLET_TEST_MAIN(GotoTest)
#include "tst_goto.moc"
