// Keys in the editor window: the menu bar's shortcuts, and the window's own
// key handling while the menu bar is hidden.

#include "ShellTestSupport.h"
#include "TestEnvironment.h"

#include "app/state/ViewToggles.h"
#include "platform/system/Clipboard.h"

#include <QDialog>
#include <QMenu>
#include <QScopeGuard>
#include <QTimer>

#include <tuple>

using namespace shelltest;

Q_DECLARE_METATYPE(Command)

namespace {

// Stands in for a command that asks something in a modal dialog: while the
// dialog is open it has the focus and the active window, as every real
// message box and file dialog does.
int dialogCommandRuns = 0;
void commandWithADialog()
{
    ++dialogCommandRuns;
    QDialog dialog(&currentWindow());
    QTimer::singleShot(0, &dialog, &QDialog::accept);
    dialog.exec();
}

} // namespace

class KeyHandlingTest : public QObject
{
    Q_OBJECT

private:
    RichTextBox &startWithText(const QString &text, bool menuHidden)
    {
        start();
        if (menuHidden)
            ToggleHideMenu();
        RichTextBox &box = focusEditor();
        box.setText(text);
        box.setSelStart(box.textLength());
        return box;
    }

private slots:
    void cleanup() { endRun(); }

    void backspaceEditsWhileCtrlHReplaces()
    {
        RichTextBox &box = startWithText(QStringLiteral("abc"), true);
        CommandWatch watch({Command::EditReplace});

        QTest::keyClick(&box, Qt::Key_Backspace);
        QCOMPARE(box.Text(), QStringLiteral("ab"));
        QCOMPARE(watch.runs(Command::EditReplace), 0);

        QTest::keyClick(&box, Qt::Key_H, Qt::ControlModifier);
        QCOMPARE(box.Text(), QStringLiteral("ab"));
        QCOMPARE(watch.runs(Command::EditReplace), 1);
    }

    void functionKeysRunTheirCommandOnce_data()
    {
        QTest::addColumn<bool>("menuHidden");
        QTest::addColumn<int>("key");
        QTest::addColumn<Command>("command");
        for (const bool hidden : {false, true}) {
            const char *bar = hidden ? "menu bar hidden" : "menu bar shown";
            QTest::addRow("F3, %s", bar) << hidden << int(Qt::Key_F3) << Command::EditFindNext;
            QTest::addRow("F5, %s", bar) << hidden << int(Qt::Key_F5) << Command::InsertTimeDate;
        }
    }

    void functionKeysRunTheirCommandOnce()
    {
        QFETCH(bool, menuHidden);
        QFETCH(int, key);
        QFETCH(Command, command);
        RichTextBox &box = startWithText(QStringLiteral("text"), menuHidden);
        CommandWatch watch({command});

        QTest::keyClick(&box, Qt::Key(key));
        QCOMPARE(watch.runs(command), 1);
        QCOMPARE(box.Text(), QStringLiteral("text"));
    }

    void clipboardKeysNeverReachTheControl_data()
    {
        QTest::addColumn<bool>("menuHidden");
        QTest::addColumn<int>("key");
        QTest::addColumn<Command>("command");
        for (const bool hidden : {false, true}) {
            const char *bar = hidden ? "menu bar hidden" : "menu bar shown";
            QTest::addRow("Ctrl+C, %s", bar) << hidden << int(Qt::Key_C) << Command::EditCopy;
            QTest::addRow("Ctrl+V, %s", bar) << hidden << int(Qt::Key_V) << Command::EditPaste;
            QTest::addRow("Ctrl+X, %s", bar) << hidden << int(Qt::Key_X) << Command::EditCut;
        }
    }

    // With the menu bar shown the menu's routine runs; hidden, nothing does.
    // Either way the control neither types a character nor uses the clipboard
    // on its own.
    void clipboardKeysNeverReachTheControl()
    {
        QFETCH(bool, menuHidden);
        QFETCH(int, key);
        QFETCH(Command, command);
        RichTextBox &box = startWithText(QStringLiteral("abcd"), menuHidden);
        CommandWatch watch({command});
        Clipboard::SetText(QStringLiteral("on the clipboard"));
        box.setSelStart(1);
        box.setSelLength(2);

        QTest::keyClick(&box, Qt::Key(key), Qt::ControlModifier);
        QCOMPARE(box.Text(), QStringLiteral("abcd"));
        QCOMPARE(Clipboard::GetText(), QStringLiteral("on the clipboard"));
        QCOMPARE(watch.runs(command), menuHidden ? 0 : 1);
    }

    void ctrlKeysRunTheMenuCommands_data()
    {
        QTest::addColumn<bool>("menuHidden");
        QTest::addColumn<int>("key");
        QTest::addColumn<Command>("command");
        const std::pair<int, Command> keys[] = {
            {Qt::Key_A, Command::EditSelectAll}, {Qt::Key_F, Command::EditFind},
            {Qt::Key_G, Command::EditGoTo},      {Qt::Key_N, Command::FileNew},
            {Qt::Key_O, Command::FileOpen},      {Qt::Key_P, Command::FilePrint},
            {Qt::Key_S, Command::FileSave},      {Qt::Key_H, Command::EditReplace},
        };
        for (const bool hidden : {false, true}) {
            for (const auto &[key, command] : keys) {
                QTest::addRow("Ctrl+%c, %s", char('A' + key - Qt::Key_A),
                              hidden ? "menu bar hidden" : "menu bar shown")
                    << hidden << key << command;
            }
        }
    }

    void ctrlKeysRunTheMenuCommands()
    {
        QFETCH(bool, menuHidden);
        QFETCH(int, key);
        QFETCH(Command, command);
        RichTextBox &box = startWithText(QStringLiteral("abcd"), menuHidden);
        CommandWatch watch({command});

        QTest::keyClick(&box, Qt::Key(key), Qt::ControlModifier);
        QCOMPARE(watch.runs(command), 1);
        QCOMPARE(box.Text(), QStringLiteral("abcd"));
    }

    // A key's command runs once per press, also when it shows a dialog: when
    // the dialog closes, the key goes on and must not run it again.
    void keysRunACommandThatShowsADialogOnce_data()
    {
        QTest::addColumn<bool>("menuHidden");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<Command>("command");
        const std::tuple<int, int, Command> keys[] = {
            {Qt::Key_A, Qt::ControlModifier, Command::EditSelectAll},
            {Qt::Key_F, Qt::ControlModifier, Command::EditFind},
            {Qt::Key_G, Qt::ControlModifier, Command::EditGoTo},
            {Qt::Key_N, Qt::ControlModifier, Command::FileNew},
            {Qt::Key_O, Qt::ControlModifier, Command::FileOpen},
            {Qt::Key_P, Qt::ControlModifier, Command::FilePrint},
            {Qt::Key_S, Qt::ControlModifier, Command::FileSave},
            {Qt::Key_H, Qt::ControlModifier, Command::EditReplace},
            {Qt::Key_F3, Qt::NoModifier, Command::EditFindNext},
            {Qt::Key_F5, Qt::NoModifier, Command::InsertTimeDate},
        };
        for (const bool hidden : {false, true}) {
            for (const auto &[key, modifiers, command] : keys) {
                QTest::addRow("%s, %s", qPrintable(QKeySequence(key | modifiers).toString()),
                              hidden ? "menu bar hidden" : "menu bar shown")
                    << hidden << key << modifiers << command;
            }
        }
    }
    void keysRunACommandThatShowsADialogOnce()
    {
        QFETCH(bool, menuHidden);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(Command, command);
        RichTextBox &box = startWithText(QStringLiteral("abcd"), menuHidden);
        const Routine original = routineOf(command);
        const auto restore = qScopeGuard([&] { routineOf(command) = original; });
        routineOf(command) = &commandWithADialog;
        dialogCommandRuns = 0;

        QTest::keyClick(&box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCoreApplication::processEvents();
        QCOMPARE(dialogCommandRuns, 1);
    }

    // Undo and Delete are the control's own keys while the menu bar is hidden.
    void deleteAndUndoGoToTheControlWhileTheMenuBarIsHidden()
    {
        RichTextBox &box = startWithText(QStringLiteral("abc"), true);
        CommandWatch watch({Command::EditDelete, Command::EditUndo});
        box.setSelStart(0);

        QTest::keyClick(&box, Qt::Key_Delete);
        QCOMPARE(box.Text(), QStringLiteral("bc"));
        QTest::keyClick(&box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(watch.runs(Command::EditDelete), 0);
        QCOMPARE(watch.runs(Command::EditUndo), 0);
    }

    // The Del shortcut of the Edit menu deletes a selection; with nothing
    // selected the key deletes the next character, as an editor's Delete key
    // does.
    void deleteKeyWithTheMenuBarShown()
    {
        RichTextBox &box = startWithText(QStringLiteral("abc"), false);
        CommandWatch watch({Command::EditDelete});
        box.setSelStart(0);

        QTest::keyClick(&box, Qt::Key_Delete);
        QCOMPARE(box.Text(), QStringLiteral("bc"));
        QCOMPARE(watch.runs(Command::EditDelete), 0);

        box.setSelLength(1);
        QTest::keyClick(&box, Qt::Key_Delete);
        QCOMPARE(watch.runs(Command::EditDelete), 1);
        QCOMPARE(box.Text(), QStringLiteral("bc"));
    }

    void disabledItemsShortcutRunsNothing()
    {
        RichTextBox &box = startWithText(QStringLiteral("abc"), false);
        CommandWatch watch({Command::EditCopy});
        item("mnuCopy").setEnabled(false);

        QTest::keyClick(&box, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(watch.runs(Command::EditCopy), 0);
        QCOMPARE(box.Text(), QStringLiteral("abc"));
    }

    void typingGoesToTheEditor()
    {
        RichTextBox &box = startWithText(QString(), true);
        QTest::keyClicks(&box, QStringLiteral("Hello, world"));
        QCOMPARE(box.Text(), QStringLiteral("Hello, world"));
    }

    // Alt with a letter never types it, whether or not a menu takes the key;
    // a third-level character (AltGr, which Windows gives as Ctrl+Alt) types.
    void altWithALetterTypesNothing_data()
    {
        QTest::addColumn<bool>("menuHidden");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("typed");
        QTest::newRow("Alt+Q, menu bar shown")
            << false << int(Qt::Key_Q) << int(Qt::AltModifier) << "q"
            << "";
        QTest::newRow("Alt+Shift+Q")
            << false << int(Qt::Key_Q) << int(Qt::AltModifier | Qt::ShiftModifier) << "Q"
            << "";
        for (const char letter : {'Q', 'F', 'E', 'O', 'V', 'H'})
            QTest::addRow("Alt+%c, menu bar hidden", letter)
                << true << int(Qt::Key_A + letter - 'A') << int(Qt::AltModifier)
                << QString(QChar(letter).toLower()) << "";
        QTest::newRow("Ctrl+Alt+Q giving @")
            << false << int(Qt::Key_Q) << int(Qt::ControlModifier | Qt::AltModifier) << "@"
            << "@";
        QTest::newRow("AltGr+Q giving @")
            << true << int(Qt::Key_Q) << int(Qt::GroupSwitchModifier) << "@"
            << "@";
    }
    void altWithALetterTypesNothing()
    {
        QFETCH(bool, menuHidden);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(QString, typed);
        RichTextBox &box = startWithText(QStringLiteral("ab"), menuHidden);

        QTest::sendKeyEvent(QTest::Press, &box, Qt::Key(key), text,
                            Qt::KeyboardModifiers(modifiers));
        QTest::sendKeyEvent(QTest::Release, &box, Qt::Key(key), text,
                            Qt::KeyboardModifiers(modifiers));
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
        QCOMPARE(box.Text(), QStringLiteral("ab") + typed);
    }

    // The window switch carries the Insert key's state to the new editor, so
    // that typing does what the INS panel says.
    void overwriteModeOutlivesTheSwitch()
    {
        RichTextBox &box = startWithText(QStringLiteral("abc"), false);
        box.setSelStart(0);
        QTest::keyClick(&box, Qt::Key_Insert);
        QVERIFY(box.overwriteMode());

        item("mnuSmallWin").trigger();
        RichTextBox &small = focusEditor();
        small.setSelStart(0);
        QTest::keyClicks(&small, QStringLiteral("xy"));
        QCOMPARE(small.Text(), QStringLiteral("xyc"));
        QTest::keyClick(&small, Qt::Key_Insert); // back to inserting for the tests that follow
    }

    void accessKeysOpenTheMenus_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("menu");
        QTest::newRow("Alt+F") << int(Qt::Key_F) << QStringLiteral("mnuFile");
        QTest::newRow("Alt+E") << int(Qt::Key_E) << QStringLiteral("mnuEdit");
        QTest::newRow("Alt+O") << int(Qt::Key_O) << QStringLiteral("mnuFormat");
        QTest::newRow("Alt+V") << int(Qt::Key_V) << QStringLiteral("mnuView");
        QTest::newRow("Alt+H") << int(Qt::Key_H) << QStringLiteral("mnuHelp");
    }

    void accessKeysOpenTheMenus()
    {
        QFETCH(int, key);
        QFETCH(QString, menu);
        RichTextBox &box = startWithText(QString(), false);

        QTest::keyClick(&box, Qt::Key(key), Qt::AltModifier);
        QTRY_COMPARE(QApplication::activePopupWidget(), currentWindow().menu(menu));
        QApplication::activePopupWidget()->close();
        QCOMPARE(box.Text(), QString());
    }

    void accessKeysAreOutOfReachWhileTheMenuBarIsHidden()
    {
        RichTextBox &box = startWithText(QString(), true);
        QTest::keyClick(&box, Qt::Key_F, Qt::AltModifier);
        QCoreApplication::processEvents();
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
    }

    void rightButtonAsksForThePopup()
    {
        RichTextBox &box = startWithText(QStringLiteral("abc"), false);
        CommandWatch watch({Command::ShowRightClickMenu});

        QTest::mouseClick(box.viewport(), Qt::LeftButton);
        QCOMPARE(watch.runs(Command::ShowRightClickMenu), 0);
        QTest::mouseClick(box.viewport(), Qt::RightButton);
        QCOMPARE(watch.runs(Command::ShowRightClickMenu), 1);
    }
};

SCRIVLET_TEST_MAIN(KeyHandlingTest)
#include "tst_key_handling.moc"
