// Find Next, and the Find and Replace dialog: its two layouts, its buttons,
// Replace All against a plain model of its passes, and the dialog as a window
// of the editor (Always On Top, the window switch).

#include "ScriptedModalHost.h"
#include "ShellTestSupport.h"
#include "TestEnvironment.h"

#include "app/WindowModes.h"
#include "app/state/ViewToggles.h"
#include "editing/FindNext.h"
#include "editing/ReplaceAllPasses.h"
#include "editing/frmFindReplace.h"
#include "platform/Twips.h"
#include "platform/dialogs/MessageBox.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTextDocument>

using namespace shelltest;

namespace {

using Selection = QPair<int, int>;
using Selections = QList<Selection>;

// Replace All as its passes read: each pass replaces the first occurrence
// that is left, passing over one that lies wholly inside text put in before;
// until there is none. Character by character, the slow way.
QString replaceAllModel(QString text, const QString &find, const QString &by, int options)
{
    const bool wholeWord = options & RichTextBox::rtfWholeWord;
    const bool matchCase = options & RichTextBox::rtfMatchCase;
    const auto isWord = [](QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); };
    const auto same = [&](QChar a, QChar b) {
        return matchCase ? a == b : a.toCaseFolded() == b.toCaseFolded();
    };
    std::vector<bool> putIn(text.size(), false);
    for (;;) {
        qsizetype at = 0;
        const qsizetype m = find.size();
        for (; at + m <= text.size(); ++at) {
            bool match = true;
            for (qsizetype k = 0; k < m && match; ++k)
                match = same(text[at + k], find[k]);
            const bool inside = std::count(putIn.begin() + at, putIn.begin() + at + m, true) == m;
            const bool word = (at == 0 || !isWord(text[at - 1]))
                && (at + m == text.size() || !isWord(text[at + m]));
            if (match && !inside && (word || !wholeWord))
                break;
        }
        if (at + m > text.size())
            return text;
        text.replace(at, m, by);
        putIn.insert(putIn.erase(putIn.begin() + at, putIn.begin() + at + m), by.size(), true);
    }
}

QString applied(QString text, const std::vector<TextReplacement> &replacements)
{
    for (const TextReplacement &r : replacements)
        text.replace(r.start, r.length, r.text);
    return text;
}

// The questions and the message of Find Next, by a short name.
ScriptedModalHost::MessageBoxCall message(const QString &name)
{
    if (name == QLatin1String("after occurrence"))
        return {QStringLiteral("No more matches found.\r\n\r\nRestart from top?"), vbYesNo,
                QStringLiteral("End of File")};
    if (name == QLatin1String("from caret"))
        return {QStringLiteral("No More matches Found.\r\n\r\nRestart From Top?"), vbYesNo,
                QStringLiteral("End of File")};
    return {QStringLiteral("No matches found in text"), vbOKOnly, QStringLiteral("End of File")};
}

RichTextBox &startWith(const QString &text, int selStart = 0, int selLength = 0)
{
    start();
    RichTextBox &box = *App.CurrentRichTextBox;
    box.setText(text);
    box.setSelStart(selStart);
    box.setSelLength(selLength);
    App.IsSaved = true;
    return box;
}

void setSearch(const QString &find, const QString &replacement = QString(), int options = 0)
{
    App.FindText = find;
    App.ReplaceText = replacement;
    App.FindWholeWord = (options & RichTextBox::rtfWholeWord) ? 1 : 0;
    App.FindMatchCase = (options & RichTextBox::rtfMatchCase) ? 1 : 0;
}

Selection selection(const RichTextBox &box) { return {box.SelStart(), box.SelLength()}; }

int pixelsX(int twips) { return int(std::lround(twips / TwipsPerPixelX())); }
int pixelsY(int twips) { return int(std::lround(twips / TwipsPerPixelY())); }

} // namespace

class FindReplaceTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { endRun(); }

    // Each step is one Find Next, answered from answers ('Y', 'N', 'O' in
    // turn), and leaves the selection given.
    void findNext_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Selection>("selected");
        QTest::addColumn<QString>("find");
        QTest::addColumn<int>("options");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<Selections>("steps");
        QTest::addColumn<QStringList>("asked");
        using S = Selections;
        QTest::newRow("to the end, No, then back to the word")
            << "abc abc" << qMakePair(0, 0) << "abc" << 0 << "N"
            << S{{0, 3}, {4, 3}, {7, 0}, {4, 3}} << QStringList{"after occurrence"};
        QTest::newRow("Yes restarts at the top")
            << "abc abc" << qMakePair(4, 3) << "abc" << 0 << "Y" << S{{0, 3}}
            << QStringList{"after occurrence"};
        QTest::newRow("no occurrence at all: after Yes the caret question")
            << "xyz w" << qMakePair(2, 0) << "abc" << 0 << "YN" << S{{0, 0}}
            << QStringList{"from caret", "from caret"};
        QTest::newRow("the word that holds the caret")
            << "abcdef" << qMakePair(3, 0) << "abc" << 0 << "" << S{{0, 3}} << QStringList();
        QTest::newRow("a tab does not end a word")
            << "ab\tab" << qMakePair(5, 0) << "ab" << 0 << "" << S{{0, 2}} << QStringList();
        QTest::newRow("a line break ends a word")
            << "abc\r\nabc" << qMakePair(8, 0) << "abc" << 0 << "" << S{{5, 3}} << QStringList();
        QTest::newRow("other letter case selected: stays")
            << "Foo foo" << qMakePair(0, 3) << "foo" << 0 << "" << S{{0, 3}, {0, 3}}
            << QStringList();
        QTest::newRow("selection without the text") << "xyz abc" << qMakePair(0, 3) << "abc" << 0
                                                    << "O" << S{{0, 3}} << QStringList{"inside"};
        QTest::newRow("whole word")
            << "concatenate cat" << qMakePair(0, 0) << "cat" << int(RichTextBox::rtfWholeWord) << ""
            << S{{12, 3}} << QStringList();
        QTest::newRow("match case")
            << "Abc abc" << qMakePair(0, 0) << "abc" << int(RichTextBox::rtfMatchCase) << ""
            << S{{4, 3}} << QStringList();
    }

    void findNext()
    {
        QFETCH(QString, text);
        QFETCH(Selection, selected);
        QFETCH(QString, find);
        QFETCH(int, options);
        QFETCH(QString, answers);
        QFETCH(Selections, steps);
        QFETCH(QStringList, asked);
        ScriptedModalHost host;
        for (QChar answer : answers)
            host.answerMessageBox(answer == 'Y' ? vbYes : answer == 'N' ? vbNo : vbOK);
        RichTextBox &box = startWith(text, selected.first, selected.second);
        setSearch(find, {}, options);

        for (const auto &step : steps) {
            EditFindNext();
            QCOMPARE(selection(box), step);
        }
        QCOMPARE(host.messageBoxes().size(), asked.size());
        for (int i = 0; i < asked.size(); ++i) {
            QCOMPARE(host.messageBoxes()[i].prompt, message(asked[i]).prompt);
            QCOMPARE(host.messageBoxes()[i].buttons, message(asked[i]).buttons);
            QCOMPARE(host.messageBoxes()[i].title, message(asked[i]).title);
        }
        QVERIFY(host.errors().isEmpty());
        QCOMPARE(box.Text(), text);
    }

    void findNextWithoutSearchTextOpensFind()
    {
        RichTextBox &box = startWith(QStringLiteral("abc"), 1, 1);
        item("mnuFindNext").trigger();
        QVERIFY(isFindReplaceLoaded());
        QVERIFY(frmFindReplace().isVisible());
        QCOMPARE(frmFindReplace().windowTitle(), QStringLiteral("Find"));
        QCOMPARE(selection(box), qMakePair(1, 1));
    }

    void replaceAllPassesMatchTheModel_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("by");
        QTest::addColumn<int>("options");
        QTest::addColumn<QString>("expected");
        QTest::newRow("pass after pass: aabb ends empty") << "aabb"
                                                          << "ab"
                                                          << "" << 0 << "";
        QTest::newRow("a to aa doubles every a once") << "a ba"
                                                      << "a"
                                                      << "aa" << 0 << "aa baa";
        QTest::newRow("letter case ignored") << "Cat cat"
                                             << "cat"
                                             << "dog" << 0 << "dog dog";
        QTest::newRow("match case") << "Cat cat"
                                    << "cat"
                                    << "dog" << int(RichTextBox::rtfMatchCase) << "Cat dog";
        QTest::newRow("whole word")
            << "cat concat cat_ cat"
            << "cat"
            << "dog" << int(RichTextBox::rtfWholeWord) << "dog concat cat_ dog";
        QTest::newRow("replacement reaching into the text") << "abb"
                                                            << "ab"
                                                            << "xa" << 0 << "xxa";
        QTest::newRow("line breaks") << "a\r\nb\r\na"
                                     << "a"
                                     << "x\r\ny" << 0 << "x\r\ny\r\nb\r\nx\r\ny";
        QTest::newRow("no occurrence") << "abc"
                                       << "zz"
                                       << "y" << 0 << "abc";
    }

    // The passes, and the same through the Replace All button on the editor
    // (with nothing selected): one step for Undo, one Change.
    void replaceAllPassesMatchTheModel()
    {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(QString, by);
        QFETCH(int, options);
        QFETCH(QString, expected);
        QCOMPARE(replaceAllModel(text, find, by, options), expected);
        QCOMPARE(applied(text, replaceAllPasses(text, find, by, options)), expected);

        RichTextBox &box = startWith(text, 1);
        setSearch(find, by, options);
        EditReplace();
        QSignalSpy changes(&box, &RichTextBox::Change);
        frmFindReplace().cmdReplaceAll->click();
        QCOMPARE(box.Text(), expected);
        QCOMPARE(box.document()->toPlainText(),
                 QString(expected).replace(QLatin1String("\r\n"), QLatin1String("\n")));
        QCOMPARE(changes.size(), expected == text ? 0 : 1);
        QCOMPARE(App.IsSaved, expected == text);
        QVERIFY(frmFindReplace().isVisible());
        if (expected != text) {
            box.undo();
            QCOMPARE(box.Text(), text);
        }
    }

    void replaceAllPassesMatchTheModelOnRandomTexts()
    {
        QRandomGenerator random(20240509);
        const auto randomText = [&random](const char *alphabet, int shortest, int longest) {
            QString text;
            const int length = shortest + int(random.bounded(longest - shortest + 1));
            for (int i = 0; i < length; ++i)
                text += QLatin1Char(alphabet[random.bounded(int(strlen(alphabet)))]);
            return text;
        };
        for (int run = 0; run < 5000; ++run) {
            const QString text = randomText("aAb _", 0, 14);
            const QString find = randomText("aAb", 1, 3);
            const QString by = randomText("aAbx", 0, 4);
            const int options = int(random.bounded(4)) * 2;
            QCOMPARE(applied(text, replaceAllPasses(text, find, by, options)),
                     replaceAllModel(text, find, by, options));
        }
    }

    // Over a selection: the text outside and the format inside stay; the
    // caret ends after the replaced part.
    void replaceAllWithinTheSelection()
    {
        RichTextBox &box = startWith(QStringLiteral("cat one cat two cat three"), 8, 4);
        box.setSelBold(true); // "cat "
        box.setSelStart(8);
        box.setSelLength(11); // "cat two cat"
        setSearch(QStringLiteral("cat"), QStringLiteral("tiger"));
        EditReplace();
        frmFindReplace().cmdReplaceAll->click();
        QCOMPARE(box.Text(), QStringLiteral("cat one tiger two tiger three"));
        QCOMPARE(selection(box), qMakePair(23, 0));
        box.setSelStart(14);
        QVERIFY(box.SelBold()); // the bold space after the first replacement
        box.setSelStart(15);
        QVERIFY(!box.SelBold());
    }

    void replaceAllWithoutOccurrenceChangesNothing()
    {
        RichTextBox &box = startWith(QStringLiteral("cat dog"), 1, 5);
        setSearch(QStringLiteral("bird"), QStringLiteral("fish"));
        EditReplace();
        frmFindReplace().cmdReplaceAll->click();
        QCOMPARE(box.Text(), QStringLiteral("cat dog"));
        QCOMPARE(selection(box), qMakePair(1, 5));
        QVERIFY(App.IsSaved);
        QVERIFY(!box.document()->isUndoAvailable());
    }

    // Each press replaces the occurrence selected and selects the next; one
    // selected in another letter case is searched within, not replaced; a
    // replacement that holds the search text is not found again.
    void replaceButton_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("by");
        QTest::addColumn<Selection>("selected");
        QTest::addColumn<QStringList>("afterEachPress"); // text|SelStart,SelLength
        QTest::addColumn<bool>("asksAtTheEnd");
        QTest::newRow("through the text")
            << "cat cat"
            << "dog" << qMakePair(0, 0) << QStringList{"cat cat|0,3", "dog cat|4,3", "dog dog|4,0"}
            << true;
        QTest::newRow("other letter case selected")
            << "Cat cat"
            << "dog" << qMakePair(0, 3) << QStringList{"Cat cat|0,3", "Cat cat|0,3"} << false;
        QTest::newRow("replacement holding the text")
            << "cat cat"
            << "cats" << qMakePair(0, 0)
            << QStringList{"cat cat|0,3", "cats cat|5,3", "cats cats|5,0"} << true;
    }

    void replaceButton()
    {
        QFETCH(QString, text);
        QFETCH(QString, by);
        QFETCH(Selection, selected);
        QFETCH(QStringList, afterEachPress);
        QFETCH(bool, asksAtTheEnd);
        ScriptedModalHost host;
        if (asksAtTheEnd)
            host.answerMessageBox(vbNo);
        RichTextBox &box = startWith(text, selected.first, selected.second);
        setSearch(QStringLiteral("cat"), by);
        EditReplace();
        for (const QString &after : afterEachPress) {
            frmFindReplace().cmdReplace->click();
            QCOMPARE(
                QStringLiteral("%1|%2,%3").arg(box.Text()).arg(box.SelStart()).arg(box.SelLength()),
                after);
        }
        QCOMPARE(host.messageBoxes().size(), asksAtTheEnd ? 1 : 0);
        if (asksAtTheEnd)
            QCOMPARE(host.messageBoxes()[0].prompt, message("from caret").prompt);
        QVERIFY(host.errors().isEmpty());
    }

    // Positions and sizes in twips, by layout; a control not listed for the
    // find layout is hidden there.
    void layouts_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("insideHeight");
        QTest::addColumn<QStringList>("controls"); // name left top width height caption
        const QStringList shared = {"lblFind 120 120 495 255 Find:", "txtFind 1200 120 2295 285 ",
                                    "cmdFindNext 3600 120 975 285 Find Next"};
        QTest::newRow("replace") << 1 << "Replace" << 1560
                                 << shared
                + QStringList{"lblReplace 120 480 1095 255 Replace with:",
                              "txtReplace 1200 480 2295 285 ",
                              "cmdReplace 3600 480 975 285 Replace",
                              "chkMatchcase 120 840 1575 255 Match Case",
                              "cmdReplaceAll 3600 840 975 285 Replace All",
                              "chkWholeWord 120 1200 1695 255 Whole Word",
                              "cmdCancel 3600 1200 975 285 Close"};
        QTest::newRow("find") << 0 << "Find" << 860
                              << shared
                + QStringList{"chkMatchcase 120 480 1575 255 Match Case",
                              "chkWholeWord 1695 480 1695 255 Whole Word",
                              "cmdCancel 3600 480 975 285 Cancel"};
    }

    void layouts()
    {
        QFETCH(int, mode);
        QFETCH(QString, title);
        QFETCH(int, insideHeight);
        QFETCH(QStringList, controls);
        startWith(QString());
        mode == 0 ? EditFind() : EditReplace();
        FindReplaceDialog &dialog = frmFindReplace();
        QCOMPARE(dialog.objectName(), QStringLiteral("frmFindReplace"));
        QCOMPARE(dialog.windowTitle(), title);
        QCOMPARE(dialog.ReplaceMode, mode);
        QCOMPARE(dialog.size(), QSize(pixelsX(4680), pixelsY(insideHeight)));
        QVERIFY(dialog.windowFlags() & Qt::Tool);
        QVERIFY(!(dialog.windowFlags()
                  & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(!dialog.isModal());
        QCOMPARE(dialog.parentWidget(), &currentWindow());
        QStringList visible;
        for (const QString &control : controls) {
            const QStringList f = control.split(QLatin1Char(' '));
            QWidget *widget = dialog.findChild<QWidget *>(f[0]);
            QVERIFY2(widget && widget->isVisible(), qPrintable(f[0]));
            QCOMPARE(widget->geometry(),
                     QRect(pixelsX(f[1].toInt()), pixelsY(f[2].toInt()), pixelsX(f[3].toInt()),
                           pixelsY(f[4].toInt())));
            QCOMPARE(widget->property("text").toString(), f.mid(5).join(QLatin1Char(' ')));
            visible << f[0];
        }
        for (const char *hidden : {"lblReplace", "txtReplace", "cmdReplace", "cmdReplaceAll"})
            QCOMPARE(dialog.findChild<QWidget *>(QLatin1String(hidden))->isVisible(),
                     visible.contains(hidden));
        QVERIFY(dialog.cmdFindNext->isDefault());
        QCOMPARE(dialog.focusWidget(), dialog.txtFind);
        QStringList order;
        for (QWidget *w = dialog.txtFind; order.size() < 8; w = w->nextInFocusChain())
            if (w->focusPolicy() & Qt::TabFocus)
                order << w->objectName();
        QCOMPARE(
            order,
            QString(
                "txtFind txtReplace chkMatchcase cmdFindNext cmdReplace cmdReplaceAll cmdCancel "
                "chkWholeWord")
                .split(' '));
        // Centred on the editor window when first shown.
        QVERIFY((dialog.geometry().center() - currentWindow().geometry().center()).manhattanLength()
                <= 2);
    }

    void actionsFollowTheSearchText()
    {
        startWith(QString());
        EditReplace();
        FindReplaceDialog &dialog = frmFindReplace();
        const auto enabled = [&dialog] {
            return QList<bool>{dialog.cmdFindNext->isEnabled(), dialog.cmdReplace->isEnabled(),
                               dialog.cmdReplaceAll->isEnabled(), dialog.cmdCancel->isEnabled()};
        };
        QCOMPARE(enabled(), (QList<bool>{false, false, false, true}));
        QTest::keyClick(dialog.txtFind, Qt::Key_X);
        QCOMPARE(enabled(), (QList<bool>{true, true, true, true}));
        QTest::keyClick(dialog.txtFind, Qt::Key_Backspace);
        QCOMPARE(enabled(), (QList<bool>{false, false, false, true}));
    }

    void enterAndEsc_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("staysOpen");
        QTest::addColumn<int>("selStart");
        QTest::newRow("find layout, Enter: closes and finds")
            << 0 << int(Qt::Key_Return) << false << 4;
        QTest::newRow("find layout, Esc: closes") << 0 << int(Qt::Key_Escape) << false << 0;
        QTest::newRow("replace layout, Enter: finds") << 1 << int(Qt::Key_Return) << true << 4;
        QTest::newRow("replace layout, Esc: closes") << 1 << int(Qt::Key_Escape) << false << 0;
    }

    void enterAndEsc()
    {
        QFETCH(int, mode);
        QFETCH(int, key);
        QFETCH(bool, staysOpen);
        QFETCH(int, selStart);
        RichTextBox &box = startWith(QStringLiteral("dog cat"));
        mode == 0 ? EditFind() : EditReplace();
        frmFindReplace().txtFind->setText(QStringLiteral("cat"));
        QTest::keyClick(frmFindReplace().txtFind, Qt::Key(key));
        QCOMPARE(isFindReplaceLoaded(), staysOpen);
        QCOMPARE(box.SelStart(), selStart);
        QCOMPARE(box.SelLength(), selStart ? 3 : 0);
    }

    void topMostFollowsAlwaysOnTop()
    {
        startWith(QString());
        ToggleAlwaysTop();
        EditFind();
        QWidget &dialog = frmFindReplace();
        QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
        ToggleAlwaysTop();
        QVERIFY(!(dialog.windowFlags() & Qt::WindowStaysOnTopHint));
    }

    // The dialog goes along to the new window, where it stands where it stood
    // and acts on the new editor.
    void dialogFollowsAWindowSwitch()
    {
        startWith(QStringLiteral("one cat"));
        ToggleAlwaysTop();
        EditReplace();
        frmFindReplace().txtFind->setText(QStringLiteral("cat"));
        frmFindReplace().move(frmFindReplace().pos() + QPoint(7, 5));
        const QPoint place = frmFindReplace().pos();
        ShowSmallWindow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(isFindReplaceLoaded());
        FindReplaceDialog &dialog = frmFindReplace();
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.parentWidget(), &currentWindow());
        QCOMPARE(dialog.pos(), place);
        QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
        dialog.cmdFindNext->click();
        QCOMPARE(selection(*App.CurrentRichTextBox), qMakePair(4, 3));
        ToggleAlwaysTop();
        QVERIFY(!(dialog.windowFlags() & Qt::WindowStaysOnTopHint));
    }
};

SCRIVLET_TEST_MAIN(FindReplaceTest)
#include "tst_find_replace.moc"
