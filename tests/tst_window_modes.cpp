// Switching between the normal and the small window, the view toggles, the
// layout of the editor and the caption.

#include "ScriptedModalHost.h"
#include "ShellTestSupport.h"
#include "TestEnvironment.h"

#include "app/state/EditorLayout.h"
#include "app/state/WindowTitle.h"
#include "platform/Twips.h"
#include "platform/dialogs/MessageBox.h"

#include <QCloseEvent>
#include <QMenuBar>

using namespace shelltest;

namespace {

const QString Settings = QStringLiteral("Settings");

int statusBarHeight() { return twipsToPixelsY(255); }

} // namespace

class WindowModesTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { DeleteSetting(AppName); }
    void cleanup() { endRun(); }

    void switchCarriesTheDocumentAndItsSavedState_data()
    {
        QTest::addColumn<bool>("unsaved");
        QTest::addColumn<QString>("caption");
        QTest::newRow("saved") << false << "notes.txt - Scrivlet";
        QTest::newRow("unsaved changes") << true << "notes.txt* - Scrivlet";
    }

    void switchCarriesTheDocumentAndItsSavedState()
    {
        QFETCH(bool, unsaved);
        QFETCH(QString, caption);
        start();
        App.FileTitle = QStringLiteral("notes.txt");
        App.CurrentRichTextBox->setText(QStringLiteral("first line\r\nsecond line"));
        App.IsSaved = !unsaved;
        UpdateTitle();
        App.CurrentRichTextBox->setSelStart(5);

        item("mnuSmallWin").trigger();

        QCOMPARE(App.CurrentForm, &frmSmall());
        QCOMPARE(App.WindowMode, 1);
        QVERIFY(!frmNormal().isLoaded());
        EditorWindow &small = currentWindow();
        QCOMPARE(small.objectName(), QStringLiteral("frmSmall"));
        QVERIFY(small.isVisible());
        QCOMPARE(App.CurrentRichTextBox.data(), small.richTextBox());
        QCOMPARE(App.CurrentStatusBar.data(), small.statusBar1());
        QCOMPARE(App.CurrentRichTextBox->Text(), QStringLiteral("first line\r\nsecond line"));
        QCOMPARE(App.CurrentRichTextBox->SelStart(), 0);
        QCOMPARE(App.IsSaved, !unsaved);
        QCOMPARE(small.windowTitle(), caption);
        QVERIFY(item("mnuSmallWin").isChecked());
        QVERIFY(item("mnuHidSmallWin").isChecked());
        QVERIFY(!item("mnuNormalWin").isChecked());
        QVERIFY(!item("mnuHidNormalWin").isChecked());
        QCOMPARE(stored(Settings, QStringLiteral("WindowState")), QStringLiteral("1"));
        QVERIFY2(App.Buffer->Text().isEmpty(), "the buffer is emptied after use");
        QVERIFY(frmBuffer().isLoaded());

        item("mnuHidNormalWin").trigger();
        QCOMPARE(App.CurrentForm, &frmNormal());
        QCOMPARE(App.WindowMode, 0);
        QCOMPARE(App.CurrentRichTextBox->Text(), QStringLiteral("first line\r\nsecond line"));
        QCOMPARE(currentWindow().windowTitle(), caption);
        QCOMPARE(stored(Settings, QStringLiteral("WindowState")), QStringLiteral("0"));
    }

    void switchToTheModeInUseDoesNothing()
    {
        EditorWindow &window = start();
        App.CurrentRichTextBox->setText(QStringLiteral("abc"));
        App.CurrentRichTextBox->setSelStart(2);
        item("mnuNormalWin").trigger();
        item("mnuHidNormalWin").trigger();

        QCOMPARE(&currentWindow(), &window);
        QCOMPARE(App.CurrentRichTextBox->SelStart(), 2);
        QVERIFY(item("mnuNormalWin").isChecked());
        QVERIFY(storedKeys(Settings).isEmpty());
    }

    void switchKeepsThePlaceAndTheOptions()
    {
        EditorWindow &window = start();
        window.move(twipsToPixelsX(1500), twipsToPixelsY(900));
        window.resize(twipsToPixelsX(7200), twipsToPixelsY(4500));
        item("mnuWordwrap").trigger();
        item("mnuStatusBar").trigger();
        item("mnuAlwaysTop").trigger();
        item("mnuSmallWin").trigger();

        EditorWindow &small = currentWindow();
        QCOMPARE(small.pos(), QPoint(twipsToPixelsX(1500), twipsToPixelsY(900)));
        QCOMPARE(small.size(), QSize(twipsToPixelsX(7200), twipsToPixelsY(4500)));
        QVERIFY(!item("mnuWordwrap").isChecked());
        QVERIFY(!item("mnuHidWordwrap").isChecked());
        QCOMPARE(App.CurrentRichTextBox->RightMargin(), RichTextBox::NoWrapRightMargin);
        QVERIFY(item("mnuStatusBar").isChecked());
        QVERIFY(!App.CurrentStatusBar->isHidden());
        QVERIFY(item("mnuAlwaysTop").isChecked());
        QVERIFY(small.windowFlags() & Qt::WindowStaysOnTopHint);
    }

    void switchWithTheStatusBarHiddenLetsTheEditorFillTheWindow()
    {
        start();
        QVERIFY(App.CurrentStatusBar->isHidden());
        item("mnuSmallWin").trigger();
        EditorWindow &small = currentWindow();
        QVERIFY(App.CurrentStatusBar->isHidden());
        QCOMPARE(App.CurrentRichTextBox->geometry(), small.insideArea()->rect());
    }

    void switchWithTheMenuBarHiddenKeepsItHidden()
    {
        start();
        item("mnuHideMenu").trigger();
        QVERIFY(App.MenuHidden);
        item("mnuHidSmallWin").trigger();

        EditorWindow &small = currentWindow();
        QVERIFY(App.MenuHidden);
        QVERIFY(item("mnuHideMenu").isChecked());
        QVERIFY(item("mnuHidHideMenu").isChecked());
        QVERIFY(!small.menuBar()->isVisible());
        QCOMPARE(stored(Settings, QStringLiteral("HideMenu")), QStringLiteral("True"));
    }

    void switchGivesTheWholeTextTheDefaultStyle()
    {
        start();
        RichTextBox &box = *App.CurrentRichTextBox;
        box.setText(QStringLiteral("plain bold red"));
        box.setSelStart(6);
        box.setSelLength(4);
        box.setSelBold(true);
        box.setSelStart(11);
        box.setSelLength(3);
        box.setSelColor(255);
        item("mnuSmallWin").trigger();

        RichTextBox &moved = *App.CurrentRichTextBox;
        for (const int start : {0, 6, 11}) {
            moved.setSelStart(start);
            moved.setSelLength(3);
            QVERIFY(!moved.SelBold());
            QCOMPARE(moved.SelColor(), 0);
            QCOMPARE(moved.SelFontName(), QStringLiteral("Courier New"));
            QCOMPARE(moved.SelFontSize(), 9.0f);
        }
    }

    void theNextStartOpensTheWindowLastUsed()
    {
        start();
        item("mnuSmallWin").trigger();
        QVERIFY(currentWindow().close());
        endRunKeepingTheStore();

        QCOMPARE(start().objectName(), QStringLiteral("frmSmall"));
    }

    void togglesFlipBothItems_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("twin");
        QTest::newRow("Wordwrap") << "mnuWordwrap"
                                  << "mnuHidWordwrap";
        QTest::newRow("Always On Top") << "mnuAlwaysTop"
                                       << "mnuHidAlwaysTop";
        QTest::newRow("StatusBar") << "mnuStatusBar"
                                   << "mnuHidStatusBar";
        QTest::newRow("Hide Menu") << "mnuHideMenu"
                                   << "mnuHidHideMenu";
    }

    void togglesFlipBothItems()
    {
        QFETCH(QString, item);
        QFETCH(QString, twin);
        EditorWindow &window = start();
        QAction *menuBarItem = window.item(item);
        QAction *hiddenItem = window.item(twin);
        const bool before = menuBarItem->isChecked();

        menuBarItem->trigger();
        QCOMPARE(menuBarItem->isChecked(), !before);
        QCOMPARE(hiddenItem->isChecked(), !before);
        hiddenItem->trigger();
        QCOMPARE(menuBarItem->isChecked(), before);
        QCOMPARE(hiddenItem->isChecked(), before);
    }

    void wordwrapSetsTheRightMargin()
    {
        start();
        item("mnuWordwrap").trigger();
        QCOMPARE(App.CurrentRichTextBox->RightMargin(), RichTextBox::NoWrapRightMargin);
        item("mnuHidWordwrap").trigger();
        QCOMPARE(App.CurrentRichTextBox->RightMargin(), 0.0f);
    }

    void alwaysOnTopPutsTheWindowOnTop()
    {
        EditorWindow &window = start();
        item("mnuAlwaysTop").trigger();
        QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(window.isVisible());
        item("mnuAlwaysTop").trigger();
        QVERIFY(!(window.windowFlags() & Qt::WindowStaysOnTopHint));
    }

    void statusBarTakesItsHeightFromTheEditor()
    {
        EditorWindow &window = start();
        const int inside = window.insideArea()->height();
        QCOMPARE(App.CurrentRichTextBox->height(), inside);

        item("mnuStatusBar").trigger();
        QVERIFY(App.CurrentStatusBar->isVisible());
        QCOMPARE(App.CurrentRichTextBox->height(), inside - statusBarHeight());
        QCOMPARE(
            App.CurrentStatusBar->geometry(),
            QRect(0, inside - statusBarHeight(), window.insideArea()->width(), statusBarHeight()));

        item("mnuStatusBar").trigger();
        QCOMPARE(App.CurrentRichTextBox->height(), inside);
    }

    void hideMenuHidesTheMenuBar()
    {
        EditorWindow &window = start();
        const int insideWithMenus = window.insideArea()->height();
        item("mnuHideMenu").trigger();
        QVERIFY(App.MenuHidden);
        QVERIFY(!window.menuBar()->isVisible());
        QTRY_VERIFY(window.insideArea()->height() > insideWithMenus);
        QCOMPARE(App.CurrentRichTextBox->height(), window.insideArea()->height());

        item("mnuHidHideMenu").trigger();
        QVERIFY(!App.MenuHidden);
        QVERIFY(window.menuBar()->isVisible());
        for (const char *menu : {"mnuFile", "mnuEdit", "mnuFormat", "mnuView", "mnuHelp"})
            QVERIFY2(item(menu).isVisible(), menu);
    }

    void layoutLeavesAMinimizedWindowAlone()
    {
        EditorWindow &window = start();
        const QRect before = App.CurrentRichTextBox->geometry();
        window.showMinimized();
        QVERIFY(window.isMinimized());
        App.CurrentStatusBar->show();
        LayoutEditor();
        QCOMPARE(App.CurrentRichTextBox->geometry(), before);

        window.showNormal();
        QTRY_COMPARE(App.CurrentRichTextBox->height(),
                     window.insideArea()->height() - statusBarHeight());
    }

    void layoutNeverGivesANegativeHeight()
    {
        EditorWindow &window = start();
        item("mnuStatusBar").trigger();
        window.insideArea()->setMinimumSize(0, 0);
        window.setMinimumSize(0, 0);
        window.resize(window.width(), window.menuBar()->height() + statusBarHeight() / 2);
        QTRY_VERIFY(window.insideArea()->height() < statusBarHeight());
        LayoutEditor();
        QCOMPARE(App.CurrentRichTextBox->height(), 0);
        QCOMPARE(App.CurrentRichTextBox->width(), window.insideArea()->width());
    }

    void captionForms_data()
    {
        QTest::addColumn<QString>("fileTitle");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QString>("caption");
        QTest::newRow("saved") << "Untitled" << true << "Untitled - Scrivlet";
        QTest::newRow("modified") << "Untitled" << false << "Untitled* - Scrivlet";
        QTest::newRow("file, modified") << "a b.rtf" << false << "a b.rtf* - Scrivlet";
    }

    void captionForms()
    {
        QFETCH(QString, fileTitle);
        QFETCH(bool, saved);
        QFETCH(QString, caption);
        EditorWindow &window = start();
        App.FileTitle = fileTitle;
        App.IsSaved = saved;
        UpdateTitle();
        QCOMPARE(window.windowTitle(), caption);
    }

    // In the running program: replacing the window does not end it, the
    // user's closing of the last window does, in either mode (the small
    // window is a tool window, which Qt alone would not end the program for).
    void onlyTheUsersCloseEndsTheProgram_data()
    {
        QTest::addColumn<QStringList>("switches");
        QTest::addColumn<bool>("unsaved");
        QTest::newRow("normal window") << QStringList{"mnuSmallWin", "mnuNormalWin"} << false;
        QTest::newRow("small window") << QStringList{"mnuSmallWin"} << false;
        QTest::newRow("small window after switches, unsaved changes")
            << QStringList{"mnuSmallWin", "mnuNormalWin", "mnuSmallWin"} << true;
    }
    void onlyTheUsersCloseEndsTheProgram()
    {
        QFETCH(QStringList, switches);
        QFETCH(bool, unsaved);
        ScriptedModalHost host;
        start();
        if (unsaved) {
            App.CurrentRichTextBox->setText(QStringLiteral("typed"));
            host.answerMessageBox(vbNo);
        }
        bool survivedSwitches = false;
        bool timedOut = false;
        QTimer::singleShot(0, qApp, [&switches] {
            for (const QString &name : std::as_const(switches))
                item(name.toLatin1().constData()).trigger();
        });
        QTimer closeLater;
        closeLater.setSingleShot(true);
        connect(&closeLater, &QTimer::timeout, [&survivedSwitches] {
            survivedSwitches = true;
            // As the window manager's close button does: a close event for the
            // shown window.
            QCloseEvent close;
            QApplication::sendEvent(&currentWindow(), &close);
        });
        closeLater.start(300);
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, [&timedOut] {
            timedOut = true;
            QCoreApplication::quit();
        });
        watchdog.start(10000);
        QCoreApplication::exec();
        QVERIFY(survivedSwitches);
        QVERIFY2(!timedOut, "the event loop went on after the last window closed");
        QVERIFY(!App.CurrentForm->isLoaded());
        QCOMPARE(host.messageBoxes().size(), unsaved ? 1 : 0);
    }

    void userCloseUnloadsTheBufferButASwitchDoesNot()
    {
        start();
        item("mnuSmallWin").trigger();
        QVERIFY(frmBuffer().isLoaded());
        QVERIFY(currentWindow().close());
        QVERIFY(!frmSmall().isLoaded());
        QVERIFY(!frmBuffer().isLoaded());
    }
};

SCRIVLET_TEST_MAIN(WindowModesTest)
#include "tst_window_modes.moc"
