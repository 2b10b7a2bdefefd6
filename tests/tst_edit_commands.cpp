// The Edit commands as the user reaches them (the Edit menu, its shortcut
// keys, the right-click popup, the hidden menu set), in both windows, with the
// menu bar shown and hidden; the enabled state of the edit items and how long
// it lasts; the real clipboard, also as other programs fill it; Time/Date in
// more than one locale.

#include "ScriptedModalHost.h"
#include "ShellTestSupport.h"
#include "TestEnvironment.h"

#include "app/WindowModes.h"
#include "app/state/ViewToggles.h"
#include "editing/EditCommands.h"
#include "editing/TimeDateText.h"
#include "platform/system/Clipboard.h"

#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTimer>

using namespace shelltest;

namespace {

const QString Start = QStringLiteral("one two three");
const QString OnClipboard = QStringLiteral("before");

QDateTime fixedMoment() { return QDateTime(QDate(2024, 5, 9), QTime(15, 7, 42)); }

// A window of mode (0 normal, 1 small) holding Start, its menu bar hidden or
// not, with the keyboard focus in the editor.
RichTextBox &startWindow(int mode, bool menuHidden)
{
    start();
    if (mode == 1)
        ShowSmallWindow();
    if (menuHidden)
        ToggleHideMenu();
    RichTextBox &box = focusEditor();
    box.setText(Start);
    // A character typed and erased leaves the control an undo history that
    // an Undo item must not use.
    QTest::keyClick(&box, Qt::Key_X);
    QTest::keyClick(&box, Qt::Key_Backspace);
    App.IsSaved = true;
    return box;
}

void select(RichTextBox &box, int start, int length)
{
    box.setSelStart(start);
    box.setSelLength(length);
}

// Opens the menu named menu as the user does, clicks its item named item
// there (a disabled one does nothing) and closes the menu.
void clickMenuItem(const QString &menu, const QString &item)
{
    EditorWindow &window = currentWindow();
    QMenu *shown = window.menu(menu);
    shown->popup(window.mapToGlobal(QPoint(10, 10)));
    QTRY_VERIFY(shown->isVisible());
    QTest::mouseClick(shown, Qt::LeftButton, {}, shown->actionGeometry(window.item(item)).center());
    if (shown->isVisible())
        shown->close();
}

void rightClick(RichTextBox &box, Qt::KeyboardModifiers modifiers = {},
                Qt::MouseButton button = Qt::RightButton)
{
    const QPoint at(30, 8);
    QCursor::setPos(box.viewport()->mapToGlobal(at));
    QTest::mouseClick(box.viewport(), button, modifiers, at);
}

void pressKeys(RichTextBox &box, const QString &keys)
{
    const QKeyCombination key = QKeySequence(keys, QKeySequence::PortableText)[0];
    QTest::keyClick(&box, key.key(), key.keyboardModifiers());
}

bool enabled(const char *name) { return item(name).isEnabled(); }

} // namespace

class EditCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        setTimeDateClock(&fixedMoment);
    }
    void cleanup() { endRun(); }

    // Each command through each of its ways: "menu" the Edit menu's item,
    // "key" the key with the menu bar shown, "popup" the right-click popup,
    // "hidden" the hidden menu set, "hidden key" the key with the bar hidden.
    void commandsEveryWay_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("name"); // item or keys
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("newSelStart");
        QTest::addColumn<int>("newSelLength");
        QTest::addColumn<QString>("clipboard");

        struct Row
        {
            const char *command, *menuItem, *keys, *popupItem, *hiddenItem;
            int selStart, selLength;
            const char *text;
            int newSelStart, newSelLength;
            const char *clipboard;
        };
        const Row rows[] = {
            {"Cut", "mnuCut", "Ctrl+X", "mnuRghtCut", "mnuHidCut", 4, 3, "one  three", 4, 0, "two"},
            {"Cut nothing", "mnuCut", "Ctrl+X", "mnuRghtCut", "mnuHidCut", 4, 0, "one two three", 4,
             0, "before"},
            {"Copy", "mnuCopy", "Ctrl+C", "mnuRghtCopy", "mnuHidCopy", 4, 3, "one two three", 4, 3,
             "two"},
            {"Copy nothing", "mnuCopy", "Ctrl+C", "mnuRghtCopy", "mnuHidCopy", 4, 0,
             "one two three", 4, 0, "before"},
            {"Paste over", "mnuPaste", "Ctrl+V", "mnuRghtPaste", "mnuHidPaste", 4, 3,
             "one before three", 10, 0, "before"},
            {"Paste at end", "mnuPaste", "Ctrl+V", "mnuRghtPaste", "mnuHidPaste", 13, 0,
             "one two threebefore", 19, 0, "before"},
            {"Delete", "mnuDelete", "Del", "mnuRghtDelete", "mnuHidDelete", 4, 3, "one  three", 4,
             0, "before"},
            {"Select All", "mnuSelectAll", "Ctrl+A", "mnuRghtSelectAll", "mnuHidSelectAll", 5, 0,
             "one two three", 0, 13, "before"},
            {"Undo", "mnuUndo", "Ctrl+Z", "mnuRghtUndo", "mnuHidUndo", 4, 3, "one two three", 4, 3,
             "before"},
            {"Time/Date", "mnuTimeDate", "F5", nullptr, "mnuHidTimeDate", 4, 3,
             "one 3:07 PM 2024/05/09 three", 22, 0, "before"},
        };
        for (const int mode : {0, 1}) {
            for (const Row &r : rows) {
                const auto add = [&](const char *way, const char *name) {
                    if (name)
                        QTest::addRow("%s, %s, %s", r.command, way, mode ? "frmSmall" : "frmNormal")
                            << mode << QString::fromLatin1(way) << QString::fromLatin1(name)
                            << r.selStart << r.selLength << QString::fromLatin1(r.text)
                            << r.newSelStart << r.newSelLength << QString::fromLatin1(r.clipboard);
                };
                add("menu", r.menuItem);
                // Del with nothing selected is the control's: it deletes the next character.
                add("key", r.selLength || qstrcmp(r.keys, "Del") ? r.keys : nullptr);
                add("popup", r.popupItem);
                add("hidden", r.hiddenItem);
                // With the bar hidden, the clipboard keys and Del are left to the control.
                const bool windowKey = qstrcmp(r.keys, "Ctrl+A") == 0 || qstrcmp(r.keys, "F5") == 0;
                add("hidden key", windowKey ? r.keys : nullptr);
            }
        }
    }

    void commandsEveryWay()
    {
        QFETCH(int, mode);
        QFETCH(QString, way);
        QFETCH(QString, name);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        QFETCH(QString, text);
        QFETCH(int, newSelStart);
        QFETCH(int, newSelLength);
        QFETCH(QString, clipboard);
        ScriptedModalHost host;
        RichTextBox &box = startWindow(mode, way.startsWith(QLatin1String("hidden")));
        Clipboard::SetText(OnClipboard);
        select(box, selStart, selLength);

        if (way == QLatin1String("menu")) {
            clickMenuItem(QStringLiteral("mnuEdit"), name);
        } else if (way.endsWith(QLatin1String("key"))) {
            pressKeys(box, name);
        } else {
            host.choosePopupItem(name);
            rightClick(box);
            QCOMPARE(host.popups().size(), 1);
        }

        QCOMPARE(box.Text(), text);
        QCOMPARE(box.SelStart(), newSelStart);
        QCOMPARE(box.SelLength(), newSelLength);
        QCOMPARE(Clipboard::GetText(), clipboard);
        QCOMPARE(App.IsSaved, text == Start);
    }

    void preparationFollowsSelectionAndClipboard_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<bool>("clipboardText");
        for (const char *menu : {"mnuEdit", "mnuHidEdit"}) {
            QTest::addRow("%s, selection, text", menu) << QString::fromLatin1(menu) << 3 << true;
            QTest::addRow("%s, selection, empty clipboard", menu)
                << QString::fromLatin1(menu) << 3 << false;
            QTest::addRow("%s, caret, text", menu) << QString::fromLatin1(menu) << 0 << true;
            QTest::addRow("%s, caret, empty clipboard", menu)
                << QString::fromLatin1(menu) << 0 << false;
        }
    }

    // Either Edit menu sets the menu bar's items and the hidden set's alike;
    // the right-click popup's items and the rest are left as they were.
    void preparationFollowsSelectionAndClipboard()
    {
        QFETCH(QString, menu);
        QFETCH(int, selLength);
        QFETCH(bool, clipboardText);
        RichTextBox &box = startWindow(0, false);
        select(box, 4, selLength);
        if (clipboardText)
            Clipboard::SetText(OnClipboard);
        else
            Clipboard::Clear();

        EditorWindow &window = currentWindow();
        window.menu(menu)->popup(window.mapToGlobal(QPoint(10, 10)));
        QTRY_VERIFY(window.menu(menu)->isVisible());
        window.menu(menu)->close();

        const bool selected = selLength != 0;
        for (const char *prefix : {"mnu", "mnuHid"}) {
            const auto flag = [prefix](const char *item) {
                return enabled(qPrintable(prefix + QLatin1String(item)));
            };
            QVERIFY(!flag("Undo"));
            QCOMPARE(flag("Paste"), clipboardText);
            QCOMPARE(flag("Cut"), selected);
            QCOMPARE(flag("Copy"), selected);
            QCOMPARE(flag("Delete"), selected);
            QVERIFY(flag("SelectAll"));
            QVERIFY(flag("TimeDate"));
        }
        for (const char *untouched :
             {"mnuRghtUndo", "mnuRghtCut", "mnuRghtCopy", "mnuRghtPaste", "mnuRghtDelete"})
            QVERIFY2(enabled(untouched), untouched);
    }

    void flagsLastUntilTheNextPreparation_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("frmNormal") << 0;
        QTest::newRow("frmSmall") << 1;
    }

    // Cut, Copy and Delete disabled by a preparation with nothing selected
    // stay so, and their shortcuts with them, until the next preparation;
    // a right click sets only the popup's items.
    void flagsLastUntilTheNextPreparation()
    {
        QFETCH(int, mode);
        ScriptedModalHost host;
        RichTextBox &box = startWindow(mode, false);
        Clipboard::SetText(OnClipboard);
        select(box, 4, 0);
        clickMenuItem(QStringLiteral("mnuEdit"), QStringLiteral("mnuSelectAll"));
        QCOMPARE(box.SelLength(), 13);
        QVERIFY(!enabled("mnuCut") && !enabled("mnuCopy") && !enabled("mnuDelete"));

        select(box, 4, 3);
        pressKeys(box, QStringLiteral("Ctrl+C"));
        pressKeys(box, QStringLiteral("Ctrl+X"));
        QCOMPARE(Clipboard::GetText(), OnClipboard);
        QCOMPARE(box.Text(), Start);

        clickMenuItem(QStringLiteral("mnuEdit"), QStringLiteral("mnuCopy"));
        QCOMPARE(Clipboard::GetText(), QStringLiteral("two"));
        QVERIFY(enabled("mnuCut") && enabled("mnuDelete"));

        select(box, 0, 0);
        host.choosePopupItem(QString());
        rightClick(box);
        QVERIFY(!enabled("mnuRghtCut") && !enabled("mnuRghtCopy") && !enabled("mnuRghtDelete"));
        QVERIFY(enabled("mnuCut") && enabled("mnuCopy") && enabled("mnuDelete"));
        select(box, 0, 3);
        pressKeys(box, QStringLiteral("Ctrl+X"));
        QCOMPARE(box.Text(), QStringLiteral(" two three"));
        QCOMPARE(Clipboard::GetText(), QStringLiteral("one"));
    }

    void rightButtonPopsUpTheMenuOfTheMoment_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("menuHidden");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("popup"); // empty: none
        for (const int mode : {0, 1}) {
            const char *window = mode ? "frmSmall" : "frmNormal";
            QTest::addRow("%s, bar shown", window)
                << mode << false << int(Qt::RightButton) << 0 << "mnuRightClick";
            QTest::addRow("%s, bar hidden", window)
                << mode << true << int(Qt::RightButton) << 0 << "mnuHiddenMenuset";
            QTest::addRow("%s, Shift+Ctrl, bar hidden", window)
                << mode << true << int(Qt::RightButton)
                << int(Qt::ShiftModifier | Qt::ControlModifier) << "mnuHiddenMenuset";
            QTest::addRow("%s, left button", window)
                << mode << false << int(Qt::LeftButton) << 0 << "";
            QTest::addRow("%s, middle button", window)
                << mode << true << int(Qt::MiddleButton) << 0 << "";
        }
    }

    // The popup shows at the mouse with its edit items set; the press moves
    // neither the caret nor the selection.
    void rightButtonPopsUpTheMenuOfTheMoment()
    {
        QFETCH(int, mode);
        QFETCH(bool, menuHidden);
        QFETCH(int, button);
        QFETCH(int, modifiers);
        QFETCH(QString, popup);
        ScriptedModalHost host;
        RichTextBox &box = startWindow(mode, menuHidden);
        Clipboard::Clear();
        select(box, 8, 5);
        if (!popup.isEmpty())
            host.choosePopupItem(QString());
        rightClick(box, Qt::KeyboardModifiers(modifiers), Qt::MouseButton(button));

        if (popup.isEmpty()) {
            QCOMPARE(host.popups().size(), 0);
            return;
        }
        QCOMPARE(host.popups().size(), 1);
        QCOMPARE(host.popups().constFirst().menuName, popup);
        QCOMPARE(host.popups().constFirst().globalPos, box.viewport()->mapToGlobal(QPoint(30, 8)));
        QCOMPARE(box.SelStart(), 8);
        QCOMPARE(box.SelLength(), 5);
        const QString prefix = menuHidden ? QStringLiteral("mnuHid") : QStringLiteral("mnuRght");
        const auto flag = [&prefix](const char *name) {
            return enabled(qPrintable(prefix + QLatin1String(name)));
        };
        QVERIFY(!flag("Undo"));
        QVERIFY(!flag("Paste"));
        QVERIFY(flag("Cut") && flag("Copy") && flag("Delete") && flag("SelectAll"));
        // The other sets are left alone.
        QVERIFY(enabled("mnuUndo") && enabled("mnuPaste"));
        QVERIFY(enabled(menuHidden ? "mnuRghtPaste" : "mnuHidPaste"));
    }

    // The hidden menu set leads back to the menu bar, in either window.
    void hiddenSetShowsTheMenuBarAgain_data() { flagsLastUntilTheNextPreparation_data(); }
    void hiddenSetShowsTheMenuBarAgain()
    {
        QFETCH(int, mode);
        ScriptedModalHost host;
        RichTextBox &box = startWindow(mode, true);
        QVERIFY(!currentWindow().menuBar()->isVisible());
        host.choosePopupItem(QStringLiteral("mnuHidHideMenu"));
        rightClick(box);
        QVERIFY(!App.MenuHidden);
        QVERIFY(currentWindow().menuBar()->isVisible());
        QVERIFY(item("mnuEdit").isVisible());
    }

    // The real popup, chosen from by its access keys: the item chosen may
    // replace the very window whose mouse press opened the popup.
    void realPopupMayReplaceItsWindow()
    {
        RichTextBox &box = startWindow(0, true);
        QStringList opened;
        QTimer driver;
        QObject::connect(&driver, &QTimer::timeout, [&opened] {
            QWidget *popup = QApplication::activePopupWidget();
            if (!popup || opened.contains(popup->objectName()))
                return;
            opened << popup->objectName();
            QTest::keyClick(popup, opened.size() == 1 ? Qt::Key_V : Qt::Key_S);
        });
        driver.start(10);
        QTimer::singleShot(5000, &driver, [] {
            while (QWidget *popup = QApplication::activePopupWidget())
                popup->close();
        });
        rightClick(box);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        QCOMPARE(opened, QStringList({"mnuHiddenMenuset", "mnuHidView"}));
        QCOMPARE(App.WindowMode, 1);
        QCOMPARE(App.CurrentRichTextBox->Text(), Start);
        QVERIFY(!frmNormal().isLoaded());
    }

    // Copied text loses its format; pasted text takes the insertion point's.
    void pasteTakesTheFormatAtTheInsertionPoint()
    {
        RichTextBox &box = startWindow(0, false);
        box.setText(QStringLiteral("red plain"));
        select(box, 0, 3);
        box.setSelBold(true);
        box.setSelColor(0x0000FF);
        EditCopy();
        QCOMPARE(Clipboard::GetText(), QStringLiteral("red"));

        select(box, 9, 0);
        EditPaste();
        QCOMPARE(box.Text(), QStringLiteral("red plainred"));
        for (int i = 9; i < 12; ++i) {
            select(box, i, 1);
            QVERIFY(!box.SelBold());
            QCOMPARE(box.SelColor(), 0);
        }
    }

    // What other programs put on the clipboard: Rich Text is never used; its
    // plain-text form is, when offered.
    void pasteFromOtherPrograms_data()
    {
        QTest::addColumn<QStringList>("offer"); // MIME type, data, ...
        QTest::addColumn<QString>("text");
        const QString rtf = QStringLiteral("{\\rtf1\\ansi {\\b Bold} words}");
        QTest::newRow("Rich Text with plain text")
            << QStringList{"text/rtf", rtf, "text/plain", "Bold words"} << "one Bold words three";
        QTest::newRow("Rich Text only") << QStringList{"text/rtf", rtf} << Start;
        QTest::newRow("HTML only") << QStringList{"text/html", "<b>Bold</b>"} << Start;
        QTest::newRow("empty plain text") << QStringList{"text/plain", ""} << Start;
    }

    void pasteFromOtherPrograms()
    {
        QFETCH(QStringList, offer);
        QFETCH(QString, text);
        RichTextBox &box = startWindow(0, false);
        auto *data = new QMimeData;
        for (qsizetype i = 0; i + 1 < offer.size(); i += 2)
            data->setData(offer.at(i), offer.at(i + 1).toUtf8());
        QGuiApplication::clipboard()->setMimeData(data);
        select(box, 4, 3);

        clickMenuItem(QStringLiteral("mnuEdit"), QStringLiteral("mnuPaste"));
        QCOMPARE(box.Text(), text);
        QCOMPARE(enabled("mnuPaste"), offer.contains(QLatin1String("text/plain")));
        QCOMPARE(App.IsSaved, text == Start);
    }

    void editsOfNothingChangeNothing()
    {
        RichTextBox &box = startWindow(0, false);
        box.setText(QString());
        App.IsSaved = true;
        EditSelectAll();
        QCOMPARE(box.SelLength(), 0);
        EditDelete();
        EditCut();
        QVERIFY(App.IsSaved);
    }

    // Independent of the locale data's own patterns: the designators and
    // separators each locale is known to use.
    void timeDateText_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<QString>("text");
        const QDate may9(2024, 5, 9);
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("US afternoon")
            << us << QDateTime(may9, QTime(15, 7, 42)) << "3:07 PM 2024/05/09";
        QTest::newRow("US midnight")
            << us << QDateTime(QDate(2023, 12, 31), QTime(0, 5)) << "12:05 AM 2023/12/31";
        QTest::newRow("US noon") << us << QDateTime(may9, QTime(12, 0)) << "12:00 PM 2024/05/09";
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany)
                                << QDateTime(may9, QTime(9, 30)) << "9:30 AM 2024.05.09";
        QTest::newRow("Finnish") << QLocale(QLocale::Finnish, QLocale::Finland)
                                 << QDateTime(may9, QTime(15, 7)) << "3.07 ip. 2024.05.09";
        QTest::newRow("Swedish") << QLocale(QLocale::Swedish, QLocale::Sweden)
                                 << QDateTime(may9, QTime(8, 1)) << "8:01 fm 2024-05-09";
        QTest::newRow("C") << QLocale::c() << QDateTime(may9, QTime(23, 59))
                           << "11:59 PM 2024/05/09";
    }

    void timeDateText()
    {
        QFETCH(QLocale, locale);
        QFETCH(QDateTime, moment);
        QFETCH(QString, text);
        QCOMPARE(::timeDateText(moment, locale), text);
    }

    // Time/Date writes in the user's locale.
    void insertTimeDateUsesTheUsersLocale()
    {
        RichTextBox &box = startWindow(1, true);
        select(box, 13, 0);
        QLocale::setDefault(QLocale(QLocale::Finnish, QLocale::Finland));
        InsertTimeDate();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(box.Text(), Start + QStringLiteral("3.07 ip. 2024.05.09"));
        QVERIFY(!App.IsSaved);
    }
};

SCRIVLET_TEST_MAIN(EditCommandsTest)
#include "tst_edit_commands.moc"
