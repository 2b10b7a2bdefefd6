// Start-up: the window chosen, placed and set up from the store, the menus as
// laid out, and the storing of the window settings when it closes.

#include "ScriptedModalHost.h"
#include "ShellTestSupport.h"
#include "TestEnvironment.h"

#include "app/CommandLine.h"
#include "app/state/WindowTitle.h"
#include "editor/EditorMenus.h"
#include "platform/RuntimeError.h"
#include "platform/Twips.h"
#include "platform/dialogs/MessageBox.h"

#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QScreen>

#include <functional>
#include <stdexcept>

using namespace shelltest;

namespace {

const QString Settings = QStringLiteral("Settings");

QSize insideSizeInTwips(const QWidget &window)
{
    return QSize(qRound(pixelsToTwipsX(window.width())), qRound(pixelsToTwipsY(window.height())));
}

// The menus of window as the user finds them: each menu and its items in
// order, indented under it, with caption (access-key marks included),
// shortcut, and whether it is hidden, disabled or checked.
QStringList menuDump(const EditorWindow &window)
{
    QStringList lines{window.objectName()};
    std::function<void(const QList<QAction *> &, int)> dump = [&](const QList<QAction *> &actions,
                                                                  int depth) {
        for (const QAction *action : actions) {
            QString line = QString(2 * depth, QLatin1Char(' ')) + action->objectName();
            if (action->isSeparator()) {
                lines << line + QStringLiteral(" -");
                continue;
            }
            line += QStringLiteral(" \"") + action->text() + QLatin1Char('"');
            if (!action->shortcut().isEmpty())
                line += QLatin1Char(' ') + action->shortcut().toString(QKeySequence::PortableText);
            if (!action->isVisible())
                line += QStringLiteral(" hidden");
            if (!action->isEnabled())
                line += QStringLiteral(" disabled");
            if (action->isChecked())
                line += QStringLiteral(" checked");
            lines << line;
            if (action->menu())
                dump(action->menu()->actions(), depth + 1);
        }
    };
    dump(window.menuBar()->actions(), 1);
    for (const char *popup : {"mnuRightClick", "mnuHiddenMenuset"}) {
        const QMenu *menu = window.menu(QLatin1String(popup));
        const QAction *item = window.item(QLatin1String(popup));
        lines << QStringLiteral("  %1 \"%2\" popup%3")
                     .arg(QLatin1String(popup), menu->title(),
                          item && item->isVisible() ? QString() : QStringLiteral(" hidden"));
        dump(menu->actions(), 2);
    }
    return lines;
}

} // namespace

class StartupTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { DeleteSetting(AppName); }
    void cleanup() { endRun(); }

    void firstRunOpensTheNormalWindowAsDesigned()
    {
        EditorWindow &window = start();

        QCOMPARE(App.CurrentForm, &frmNormal());
        QCOMPARE(window.objectName(), QStringLiteral("frmNormal"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Untitled - Scrivlet"));
        QCOMPARE(insideSizeInTwips(window), QSize(6480, 5595));
        QVERIFY2(!window.testAttribute(Qt::WA_Moved), "the system places the window");
        QVERIFY(item("mnuWordwrap").isChecked());
        QVERIFY(item("mnuHidWordwrap").isChecked());
        for (const char *name : {"mnuAlwaysTop", "mnuStatusBar", "mnuHideMenu", "mnuHidAlwaysTop",
                                 "mnuHidStatusBar", "mnuHidHideMenu"})
            QVERIFY2(!item(name).isChecked(), name);
        QVERIFY(App.CurrentStatusBar->isHidden());
        QVERIFY(window.menuBar()->isVisible());
        QCOMPARE(App.CurrentRichTextBox->RightMargin(), 0.0f);
        QVERIFY(!(window.windowFlags() & Qt::WindowStaysOnTopHint));
        QVERIFY(App.IsSaved);
        QCOMPARE(App.FileTitle, QStringLiteral("Untitled"));
        QCOMPARE(App.WindowMode, 0);
        QVERIFY(frmBuffer().isLoaded());
        QCOMPARE(App.Buffer.data(), frmBuffer().BufferBox());
        QCOMPARE(App.CurrentRichTextBox.data(),
                 window.findChild<RichTextBox *>(QStringLiteral("RichTextBox")));
        QCOMPARE(App.CurrentStatusBar.data(),
                 window.findChild<StatusBar *>(QStringLiteral("StatusBar1")));
        QVERIFY(window.findChild<QObject *>(QStringLiteral("CommonDialog1")));
        QVERIFY2(storedKeys(Settings).isEmpty(), "start-up writes nothing");
    }

    void windowStateChoosesTheWindow_data()
    {
        QTest::addColumn<QString>("windowState");
        QTest::addColumn<QString>("window");
        QTest::newRow("1") << "1"
                           << "frmSmall";
        QTest::newRow("0") << "0"
                           << "frmNormal";
        QTest::newRow("2") << "2"
                           << "frmNormal";
        QTest::newRow("-1") << "-1"
                            << "frmNormal";
        QTest::newRow("not a number") << "x"
                                      << "frmNormal";
        QTest::newRow("empty") << ""
                               << "frmNormal";
    }

    void windowStateChoosesTheWindow()
    {
        QFETCH(QString, windowState);
        QFETCH(QString, window);
        store(Settings, QStringLiteral("WindowState"), windowState);
        QCOMPARE(start().objectName(), window);
        const bool small = window == QLatin1String("frmSmall");
        QCOMPARE(item("mnuSmallWin").isChecked(), small);
        QCOMPARE(item("mnuHidSmallWin").isChecked(), small);
        QCOMPARE(item("mnuNormalWin").isChecked(), !small);
        QCOMPARE(item("mnuHidNormalWin").isChecked(), !small);
    }

    void smallWindowIsAToolWindow()
    {
        store(Settings, QStringLiteral("WindowState"), QStringLiteral("1"));
        EditorWindow &window = start();
        QCOMPARE(window.windowType(), Qt::Tool);
        QVERIFY(!(window.windowFlags()
                  & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(insideSizeInTwips(window), QSize(6480, 5640));
        QVERIFY(!window.windowIcon().isNull());
    }

    void storedPlaceAndViewOptionsAreApplied()
    {
        store(Settings, QStringLiteral("Left"), QStringLiteral("1500"));
        store(Settings, QStringLiteral("Top"), QStringLiteral("1200"));
        store(Settings, QStringLiteral("Width"), QStringLiteral("7500"));
        store(Settings, QStringLiteral("Height"), QStringLiteral("4500"));
        store(Settings, QStringLiteral("Wordwrap"), QStringLiteral("False"));
        store(Settings, QStringLiteral("StatusBar"), QStringLiteral("True"));
        EditorWindow &window = start();

        QCOMPARE(window.pos(), QPoint(twipsToPixelsX(1500), twipsToPixelsY(1200)));
        QCOMPARE(insideSizeInTwips(window), QSize(7500, 4500));
        QVERIFY(!item("mnuWordwrap").isChecked());
        QVERIFY(!item("mnuHidWordwrap").isChecked());
        QCOMPARE(App.CurrentRichTextBox->RightMargin(), RichTextBox::NoWrapRightMargin);
        QVERIFY(item("mnuStatusBar").isChecked());
        QVERIFY(item("mnuHidStatusBar").isChecked());
        QVERIFY(!App.CurrentStatusBar->isHidden());
    }

    void unusableStoredValuesCountAsMissing_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("Left abc") << "Left"
                                  << "abc";
        QTest::newRow("Width empty") << "Width"
                                     << "";
        QTest::newRow("Height infinite") << "Height"
                                         << "1e400";
        QTest::newRow("AlwaysTop maybe") << "AlwaysTop"
                                         << "maybe";
        QTest::newRow("Wordwrap maybe") << "Wordwrap"
                                        << "maybe";
        QTest::newRow("StatusBar yes") << "StatusBar"
                                       << "yes";
        QTest::newRow("HideMenu perhaps") << "HideMenu"
                                          << "perhaps";
        QTest::newRow("WindowState x") << "WindowState"
                                       << "x";
        QTest::newRow("WindowState too large") << "WindowState"
                                               << "70000";
        QTest::newRow("DefaultAlignment x") << "DefaultAlignment"
                                            << "x";
    }

    // The window opens as on a first run.
    void unusableStoredValuesCountAsMissing()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        store(Settings, key, value);
        EditorWindow &window = start();

        QCOMPARE(window.objectName(), QStringLiteral("frmNormal"));
        QCOMPARE(insideSizeInTwips(window), QSize(6480, 5595));
        QVERIFY(!window.testAttribute(Qt::WA_Moved));
        QVERIFY(item("mnuWordwrap").isChecked());
        QVERIFY(!item("mnuAlwaysTop").isChecked());
        QVERIFY(!item("mnuStatusBar").isChecked());
        QVERIFY(!App.MenuHidden);
        QCOMPARE(App.DefaultAlignment, 0);
    }

    void storedFlagsAcceptEveryCase()
    {
        store(Settings, QStringLiteral("StatusBar"), QStringLiteral("TRUE"));
        store(Settings, QStringLiteral("Wordwrap"), QStringLiteral("false"));
        start();
        QVERIFY(item("mnuStatusBar").isChecked());
        QVERIFY(!item("mnuWordwrap").isChecked());
    }

    void placeOffEveryScreenIsBroughtBack_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::newRow("far left") << "-300000"
                                  << "1000"
                                  << "6000"
                                  << "5000";
        QTest::newRow("far right and below") << "900000"
                                             << "900000"
                                             << "6000"
                                             << "5000";
        QTest::newRow("only a corner on screen") << "-5900"
                                                 << "-4900"
                                                 << "6000"
                                                 << "5000";
        QTest::newRow("too small") << "1000"
                                   << "1000"
                                   << "15"
                                   << "0";
        QTest::newRow("negative size") << "1000"
                                       << "1000"
                                       << "-6000"
                                       << "-5000";
        QTest::newRow("larger than the screen") << "0"
                                                << "0"
                                                << "1e9"
                                                << "1e9";
        QTest::newRow("larger than the screen, off it") << "999999"
                                                        << "999999"
                                                        << "1e9"
                                                        << "1e9";
        QTest::newRow("wider than the screen, in its middle") << "3000"
                                                              << "3000"
                                                              << "90000"
                                                              << "3000";
    }

    void placeOffEveryScreenIsBroughtBack()
    {
        QFETCH(QString, left);
        QFETCH(QString, top);
        QFETCH(QString, width);
        QFETCH(QString, height);
        store(Settings, QStringLiteral("Left"), left);
        store(Settings, QStringLiteral("Top"), top);
        store(Settings, QStringLiteral("Width"), width);
        store(Settings, QStringLiteral("Height"), height);
        EditorWindow &window = start();

        const QRect screen = window.screen()->availableGeometry();
        QTRY_VERIFY(window.frameGeometry() != window.geometry()); // framed
        const QRect frame = window.frameGeometry();
        QVERIFY2(screen.contains(frame),
                 qPrintable(QStringLiteral("%1,%2 %3x%4")
                                .arg(frame.x())
                                .arg(frame.y())
                                .arg(frame.width())
                                .arg(frame.height())));
        QVERIFY(insideSizeInTwips(window).width() >= 2400);
        QVERIFY(insideSizeInTwips(window).height() >= 1500);

        // What the window stores on closing brings it back to the same place.
        QVERIFY(window.close());
        QStringList place;
        for (const char *key : {"Left", "Top", "Width", "Height"})
            place << stored(Settings, QLatin1String(key));
        endRun();
        for (const char *key : {"Left", "Top", "Width", "Height"})
            store(Settings, QLatin1String(key), place.takeFirst());
        EditorWindow &again = start();
        QTRY_COMPARE(again.frameGeometry(), frame);
    }

    void alwaysTopStoredStartsTopMost()
    {
        store(Settings, QStringLiteral("AlwaysTop"), QStringLiteral("True"));
        EditorWindow &window = start();
        QVERIFY(item("mnuAlwaysTop").isChecked());
        QVERIFY(item("mnuHidAlwaysTop").isChecked());
        QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
    }

    void hideMenuStoredStartsWithTheMenuBarHidden()
    {
        store(Settings, QStringLiteral("HideMenu"), QStringLiteral("True"));
        EditorWindow &window = start();
        QVERIFY(App.MenuHidden);
        QVERIFY(item("mnuHideMenu").isChecked());
        QVERIFY(item("mnuHidHideMenu").isChecked());
        for (const char *menu : {"mnuFile", "mnuEdit", "mnuFormat", "mnuView", "mnuHelp"})
            QVERIFY2(!item(menu).isVisible(), menu);
        QVERIFY(!window.menuBar()->isVisible());
        QCOMPARE(window.insideArea()->height(), window.height());
    }

    void closingStoresTheWindowSettings()
    {
        EditorWindow &window = start();
        window.move(twipsToPixelsX(900), twipsToPixelsY(600));
        window.resize(twipsToPixelsX(7200), twipsToPixelsY(4800));
        item("mnuStatusBar").trigger();
        item("mnuWordwrap").trigger();
        QVERIFY(window.close());

        QCOMPARE(stored(Settings, QStringLiteral("Left")), QStringLiteral("900"));
        QCOMPARE(stored(Settings, QStringLiteral("Top")), QStringLiteral("600"));
        QCOMPARE(stored(Settings, QStringLiteral("Width")), QStringLiteral("7200"));
        QCOMPARE(stored(Settings, QStringLiteral("Height")), QStringLiteral("4800"));
        QCOMPARE(stored(Settings, QStringLiteral("AlwaysTop")), QStringLiteral("False"));
        QCOMPARE(stored(Settings, QStringLiteral("StatusBar")), QStringLiteral("True"));
        QCOMPARE(stored(Settings, QStringLiteral("HideMenu")), QStringLiteral("False"));
        QCOMPARE(stored(Settings, QStringLiteral("Wordwrap")), QStringLiteral("False"));
        QVERIFY(!frmNormal().isLoaded());
        QVERIFY(!frmBuffer().isLoaded());
    }

    void nextStartIsWhereTheLastClosed()
    {
        EditorWindow &first = start();
        first.move(twipsToPixelsX(1800), twipsToPixelsY(1500));
        first.resize(twipsToPixelsX(6000), twipsToPixelsY(4050));
        item("mnuHideMenu").trigger();
        QVERIFY(first.close());
        endRunKeepingTheStore();

        EditorWindow &second = start();
        QCOMPARE(second.pos(), QPoint(twipsToPixelsX(1800), twipsToPixelsY(1500)));
        QCOMPARE(insideSizeInTwips(second), QSize(6000, 4050));
        QVERIFY(App.MenuHidden);
        QVERIFY(item("mnuHideMenu").isChecked());
    }

    void closingWhileMinimizedKeepsTheStoredPlace()
    {
        store(Settings, QStringLiteral("Left"), QStringLiteral("1500"));
        store(Settings, QStringLiteral("Top"), QStringLiteral("1200"));
        store(Settings, QStringLiteral("Width"), QStringLiteral("7500"));
        store(Settings, QStringLiteral("Height"), QStringLiteral("4500"));
        EditorWindow &window = start();
        window.move(0, 0);
        item("mnuAlwaysTop").trigger();
        window.showMinimized();
        QVERIFY(window.isMinimized());
        QVERIFY(window.close());

        QCOMPARE(stored(Settings, QStringLiteral("Left")), QStringLiteral("1500"));
        QCOMPARE(stored(Settings, QStringLiteral("Top")), QStringLiteral("1200"));
        QCOMPARE(stored(Settings, QStringLiteral("Width")), QStringLiteral("7500"));
        QCOMPARE(stored(Settings, QStringLiteral("Height")), QStringLiteral("4500"));
        QCOMPARE(stored(Settings, QStringLiteral("AlwaysTop")), QStringLiteral("True"));
    }

    void typingMarksTheDocumentModified()
    {
        EditorWindow &window = start();
        RichTextBox &box = focusEditor();
        QTest::keyClicks(&box, QStringLiteral("a"));
        QVERIFY(!App.IsSaved);
        QCOMPARE(window.windowTitle(), QStringLiteral("Untitled* - Scrivlet"));
    }

    // An error that a command's routine lets escape, of whatever kind, is
    // reported in the "Unknown Error" box, and the program goes on.
    void anErrorEscapingACommandIsReported_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("reported");
        QTest::newRow("runtime error") << 0 << "57\r\nthe disk went away\r\n";
        QTest::newRow("out of memory") << 1 << "7\r\nOut of memory\r\n";
        QTest::newRow("standard exception") << 2 << "51\r\nInternal error: vector::at\r\n";
        QTest::newRow("anything else") << 3 << "51\r\nInternal error\r\n";
    }
    void anErrorEscapingACommandIsReported()
    {
        QFETCH(int, kind);
        QFETCH(QString, reported);
        ScriptedModalHost host;
        start();
        const Routine original = routineOf(Command::HelpAbout);
        const auto restore = qScopeGuard([original] { routineOf(Command::HelpAbout) = original; });
        // A routine is a plain function: the kind to throw waits in a static.
        static int kindToThrow;
        kindToThrow = kind;
        routineOf(Command::HelpAbout) = [] {
            switch (kindToThrow) {
            case 0: throw RuntimeError(ErrDeviceIO, QStringLiteral("the disk went away"));
            case 1: throw std::bad_alloc();
            case 2: throw std::out_of_range("vector::at");
            default: throw 42;
            }
        };
        host.answerMessageBox(vbCancel);

        item("mnuAbout").trigger();

        QCOMPARE(host.messageBoxes().size(), 1);
        QCOMPARE(host.messageBoxes().first().title, QStringLiteral("Unknown Error"));
        QVERIFY2(host.messageBoxes().first().prompt.startsWith(
                     QStringLiteral("An Unknown Error occured: ") + reported),
                 qPrintable(host.messageBoxes().first().prompt));
        QVERIFY(currentWindow().isVisible());
    }

    void commandLinePath_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("path");
        QTest::newRow("none") << QStringList{"scrivlet"} << "";
        QTest::newRow("plain") << QStringList{"scrivlet", "/home/a/notes.txt"}
                               << "/home/a/notes.txt";
        QTest::newRow("quoted") << QStringList{"scrivlet", "\"/home/a/my notes.txt\""}
                                << "/home/a/my notes.txt";
        QTest::newRow("one quote") << QStringList{"scrivlet", "\"a.txt"} << "\"a.txt";
        QTest::newRow("only a quote") << QStringList{"scrivlet", "\""} << "\"";
        QTest::newRow("empty quotes") << QStringList{"scrivlet", "\"\""} << "";
        QTest::newRow("first of two") << QStringList{"scrivlet", "a.txt", "b.txt"} << "a.txt";
    }

    void commandLinePath()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, path);
        QCOMPARE(pathFromArguments(arguments), path);
    }

    void windowsCommandLine_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("path");
        QTest::newRow("none") << "scrivlet.exe"
                              << "";
        QTest::newRow("quoted program, none") << "\"C:\\Program Files\\scrivlet.exe\"  "
                                              << "";
        QTest::newRow("quoted path")
            << "\"C:\\Program Files\\scrivlet.exe\" \"C:\\My Docs\\a b.txt\""
            << "C:\\My Docs\\a b.txt";
        QTest::newRow("unquoted path keeps every character") << "scrivlet.exe C:\\notes.txt"
                                                             << "C:\\notes.txt";
        QTest::newRow("unquoted path with blanks") << "scrivlet.exe C:\\my notes.txt"
                                                   << "C:\\my notes.txt";
        QTest::newRow("quote at one end only") << "scrivlet.exe \"C:\\notes.txt"
                                               << "\"C:\\notes.txt";
    }

    void windowsCommandLine()
    {
        QFETCH(QString, commandLine);
        QFETCH(QString, path);
        QCOMPARE(pathFromArgumentText(argumentTextOf(commandLine)), path);
    }

    // The menus of both windows as built, against the golden file
    // tests/data/menus.txt.
    void menusAreLaidOutAsDesigned()
    {
        QStringList built;
        for (const char *windowState : {"0", "1"}) {
            store(Settings, QStringLiteral("WindowState"), QLatin1String(windowState));
            built << menuDump(start());
            endRun();
        }
        QFile golden(QStringLiteral(SCRIVLET_TEST_DATA_DIR "/menus.txt"));
        QVERIFY(golden.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList expected
            = QString::fromUtf8(golden.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        if (built != expected) {
            QFile actual(QDir::temp().filePath(QStringLiteral("menus.txt")));
            if (actual.open(QIODevice::WriteOnly | QIODevice::Text))
                actual.write(built.join(QLatin1Char('\n')).toUtf8() + '\n');
            qWarning("the menus as built are in %s", qPrintable(actual.fileName()));
        }
        QCOMPARE(built, expected);
    }

    void everyItemRunsItsCommand_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("command");
        const std::pair<const char *, Command> wiring[] = {
            {"New", Command::FileNew},
            {"Open", Command::FileOpen},
            {"Save", Command::FileSave},
            {"SaveAs", Command::FileSaveAs},
            {"PageSetup", Command::FilePageSetup},
            {"Print", Command::FilePrint},
            {"PrintPreview", Command::FilePrintPreview},
            {"Exit", Command::FileExit},
            {"Undo", Command::EditUndo},
            {"Cut", Command::EditCut},
            {"Copy", Command::EditCopy},
            {"Paste", Command::EditPaste},
            {"Delete", Command::EditDelete},
            {"Find", Command::EditFind},
            {"FindNext", Command::EditFindNext},
            {"Replace", Command::EditReplace},
            {"GoTo", Command::EditGoTo},
            {"SelectAll", Command::EditSelectAll},
            {"TimeDate", Command::InsertTimeDate},
            {"Wordwrap", Command::ToggleWordwrap},
            {"Font", Command::FormatFont},
            {"AlwaysTop", Command::ToggleAlwaysTop},
            {"HideMenu", Command::ToggleHideMenu},
            {"NormalWin", Command::ShowNormalWindow},
            {"SmallWin", Command::ShowSmallWindow},
            {"StatusBar", Command::ToggleStatusBar},
            {"About", Command::HelpAbout},
        };
        const QStringList rightClick = {"Undo", "Cut", "Copy", "Paste", "Delete", "SelectAll"};
        for (const char *window : {"0", "1"}) {
            for (const auto &[name, command] : wiring) {
                const QString item = QLatin1String(name);
                QStringList items = {"mnu" + item};
                if (item != QLatin1String("About")) // Help has no twin in the hidden set
                    items << "mnuHid" + item;
                if (rightClick.contains(item))
                    items << "mnuRght" + item;
                for (const QString &full : items)
                    QTest::addRow("%s in %s", qPrintable(full),
                                  *window == '0' ? "frmNormal" : "frmSmall")
                        << QString::fromLatin1(window) << full << int(command);
            }
        }
    }

    // Items with the same name run the same routine in both windows, and an
    // item runs nothing else; the Edit menus prepare themselves as they open.
    void everyItemRunsItsCommand()
    {
        QFETCH(QString, window);
        QFETCH(QString, item);
        QFETCH(int, command);
        store(Settings, QStringLiteral("WindowState"), window);
        EditorWindow &editor = start();
        CommandWatch watch(CommandWatch::everyCommand());
        QAction *action = editor.item(item);
        QVERIFY(action);
        const bool checked = action->isChecked();
        action->trigger();
        QCOMPARE(watch.runs(Command(command)), 1);
        QCOMPARE(watch.totalRuns(), 1);
        QCOMPARE(action->isChecked(), checked);
    }

    void editMenusPrepareThemselves_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::newRow("mnuEdit") << "mnuEdit";
        QTest::newRow("mnuHidEdit") << "mnuHidEdit";
    }

    void editMenusPrepareThemselves()
    {
        QFETCH(QString, menu);
        EditorWindow &editor = start();
        CommandWatch watch(CommandWatch::everyCommand());
        editor.menu(menu)->popup(editor.mapToGlobal(QPoint(10, 10)));
        QTRY_VERIFY(editor.menu(menu)->isVisible());
        editor.menu(menu)->close();
        QCOMPARE(watch.runs(Command::PrepareEditMenu), 1);
        QCOMPARE(watch.totalRuns(), 1);
    }

    void menuCaptionDropsAccessKeyMarks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("caption");
        QTest::newRow("mark") << "Save&As..."
                              << "SaveAs...";
        QTest::newRow("none") << "Time/Date"
                              << "Time/Date";
        QTest::newRow("doubled") << "Fish && Chips"
                                 << "Fish & Chips";
        QTest::newRow("last") << "End&"
                              << "End&";
    }

    void menuCaptionDropsAccessKeyMarks()
    {
        QFETCH(QString, text);
        QFETCH(QString, caption);
        QAction action(text);
        QCOMPARE(menuCaption(&action), caption);
    }

    void captionShowsAFileTitleAsItIs()
    {
        EditorWindow &window = start();
        App.FileTitle = QStringLiteral("odd[*]name.txt");
        UpdateTitle();
        QCOMPARE(window.windowHandle()->title(), QStringLiteral("odd[*]name.txt - Scrivlet"));
    }

    void iconComesInItsSizes()
    {
        const QIcon icon = start().windowIcon();
        for (const int size : {16, 32, 48, 256}) {
            // One pixel a point, whatever the screen's pixel ratio.
            const QImage image = icon.pixmap(QSize(size, size), 1.0).toImage();
            QCOMPARE(image.size(), QSize(size, size));
            QVERIFY2(image.pixelColor(size / 2, size / 2).alpha() > 0, "the page is drawn");
            QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
        }
    }
};

SCRIVLET_TEST_MAIN(StartupTest)
#include "tst_startup.moc"
