// What assistive technology reads of the editor windows: the names of the
// menus, the editor and the dialogs' controls, and the status bar's panels
// with their texts and key states, and the announcement of each change.

#include "ShellTestSupport.h"
#include "TestEnvironment.h"

#include "appearance/frmColors.h"
#include "editing/frmFindReplace.h"
#include "editing/frmGoto.h"
#include "platform/system/KeyState.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <algorithm>

using namespace shelltest;

namespace {

// Every interface under root, root first.
QList<QAccessibleInterface *> subtree(QAccessibleInterface *root)
{
    QList<QAccessibleInterface *> all{root};
    for (int i = 0; i < root->childCount(); ++i)
        if (QAccessibleInterface *child = root->child(i))
            all += subtree(child);
    return all;
}

QAccessibleInterface *firstWithRole(QAccessibleInterface *root, QAccessible::Role role)
{
    for (QAccessibleInterface *node : subtree(root))
        if (node->role() == role)
            return node;
    return nullptr;
}

QStringList childNames(QAccessibleInterface *node)
{
    QStringList names;
    for (int i = 0; i < node->childCount(); ++i)
        names << node->child(i)->text(QAccessible::Name);
    return names;
}

// The announcements made while it lives. Qt hands announcements on only
// while an assistive technology listens: the platform is told that one does.
class Announcements
{
public:
    struct Seen
    {
        QAccessible::Event type;
        QObject *object;
        int child;
        QString name; // of the child, when it was announced
    };

    Announcements()
    {
        seen().clear();
        QAccessible::installUpdateHandler(&record);
        platform()->setActive(true);
    }
    ~Announcements()
    {
        platform()->setActive(false);
        QAccessible::installUpdateHandler(nullptr);
    }
    static bool listening() { return QAccessible::isActive(); }

    QList<Seen> of(QAccessible::Event type, QObject *object, int child) const
    {
        QList<Seen> found;
        std::copy_if(seen().begin(), seen().end(), std::back_inserter(found), [&](const Seen &s) {
            return s.type == type && s.object == object && s.child == child;
        });
        return found;
    }

private:
    static QPlatformAccessibility *platform()
    {
        return QGuiApplicationPrivate::platformIntegration()->accessibility();
    }
    static QList<Seen> &seen()
    {
        static QList<Seen> list;
        return list;
    }
    static void record(QAccessibleEvent *event)
    {
        QAccessibleInterface *announced = event->accessibleInterface();
        seen().append({event->type(), event->object(), event->child(),
                       announced ? announced->text(QAccessible::Name) : QString()});
    }
};

void showWindowMode(const QString &mode)
{
    start();
    if (mode == QLatin1String("small"))
        item("mnuSmallWin").trigger();
    if (!item("mnuStatusBar").isChecked())
        item("mnuStatusBar").trigger();
    QVERIFY(QTest::qWaitForWindowExposed(&currentWindow()));
    QVERIFY(currentWindow().statusBar1()->isVisible());
}

} // namespace

class AccessibilityTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { DeleteSetting(AppName); }
    void cleanup()
    {
        KeyState::instance().setInsertToggled(false);
        endRun();
    }

    void windowModes_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("normal window") << "normal";
        QTest::newRow("small window") << "small";
    }

    void menusAreNamedWithoutAccessKeys_data() { windowModes_data(); }
    void menusAreNamedWithoutAccessKeys()
    {
        QFETCH(QString, mode);
        showWindowMode(mode);
        EditorWindow &window = currentWindow();
        QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(window.menuBar());
        QVERIFY(bar);
        QCOMPARE(childNames(bar), QStringList({"File", "Edit", "Format", "View", "Help"}));

        QAccessibleInterface *file
            = QAccessible::queryAccessibleInterface(window.findChild<QMenu *>("mnuFile"));
        QVERIFY(file);
        QCOMPARE(file->text(QAccessible::Name), QStringLiteral("File"));
        QCOMPARE(childNames(file),
                 QStringList({"New", "Open...", "", "Save", "SaveAs...", "", "Page Setup...",
                              "Print...", "Print Preview", "", "Exit"}));
        QAccessibleInterface *view
            = QAccessible::queryAccessibleInterface(window.findChild<QMenu *>("mnuHidView"));
        QVERIFY(view);
        QCOMPARE(view->text(QAccessible::Name), QStringLiteral("View"));
        QCOMPARE(childNames(view).first(), QStringLiteral("Always On Top"));
        QCOMPARE(childNames(view).last(), QStringLiteral("StatusBar"));
    }

    void editorAndStatusBarAreInTheTree_data() { windowModes_data(); }
    void editorAndStatusBarAreInTheTree()
    {
        QFETCH(QString, mode);
        showWindowMode(mode);
        EditorWindow &window = currentWindow();
        QAccessibleInterface *root = QAccessible::queryAccessibleInterface(&window);
        QVERIFY(root);

        QAccessibleInterface *editor = firstWithRole(root, QAccessible::EditableText);
        QVERIFY(editor);
        QCOMPARE(editor->object(), window.richTextBox());
        QCOMPARE(editor->text(QAccessible::Name), QStringLiteral("Document"));

        QAccessibleInterface *bar = firstWithRole(root, QAccessible::StatusBar);
        QVERIFY(bar);
        QCOMPARE(bar->object(), window.statusBar1());
        QCOMPARE(bar->childCount(), 5);
        QCOMPARE(childNames(bar), QStringList({"", " Ln 1, Col 1  ", "INS", "CAPS", "NUM"}));
        for (int i = 0; i < bar->childCount(); ++i) {
            QAccessibleInterface *panel = bar->child(i);
            QCOMPARE(panel->parent(), bar);
            QCOMPARE(bar->indexOfChild(panel), i);
            QCOMPARE(bar->child(i), panel); // one identity for each panel
            const QRect rect = panel->rect();
            QVERIFY(bar->rect().contains(rect.center()));
            QCOMPARE(bar->childAt(rect.center().x(), rect.center().y()), panel);
        }
        QCOMPARE(bar->child(1)->text(QAccessible::Help), QStringLiteral("Current Position"));
        QVERIFY(!bar->child(1)->state().checkable);
        QVERIFY(bar->child(3)->state().checkable);
    }

    void positionPanelReadsAndAnnouncesTheCaret_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<QString>("panelText");
        for (const char *mode : {"normal", "small"}) {
            QTest::addRow("%s, line 2 column 2", mode) << mode << 8 << " Ln 2, Col 2  ";
            QTest::addRow("%s, line 3 column 1", mode) << mode << 14 << " Ln 3, Col 1  ";
        }
    }
    void positionPanelReadsAndAnnouncesTheCaret()
    {
        QFETCH(QString, mode);
        QFETCH(int, selStart);
        QFETCH(QString, panelText);
        showWindowMode(mode);
        EditorWindow &window = currentWindow();
        RichTextBox &box = *window.richTextBox();
        box.setText(QStringLiteral("first\r\nsecon\r\nthird"));
        QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(window.statusBar1());
        QVERIFY(bar);

        // Each change is announced, naming the panel's new text.
        Announcements announcements;
        QVERIFY(Announcements::listening());
        box.setSelStart(selStart);
        QTRY_COMPARE(bar->child(1)->text(QAccessible::Name), panelText);
        const auto announced = announcements.of(QAccessible::NameChanged, window.statusBar1(), 1);
        QCOMPARE(announced.size(), 1);
        QCOMPARE(announced.first().name, panelText);

        // The same text again is no change to announce.
        window.statusBar1()->Panels(2)->setText(panelText);
        QCOMPARE(announcements.of(QAccessible::NameChanged, window.statusBar1(), 1).size(), 1);
    }

    void keyStatePanelSaysWhetherItsKeyIsOn_data() { windowModes_data(); }
    void keyStatePanelSaysWhetherItsKeyIsOn()
    {
        QFETCH(QString, mode);
        showWindowMode(mode);
        StatusBar *bar = currentWindow().statusBar1();
        QAccessibleInterface *insert = QAccessible::queryAccessibleInterface(bar)->child(2);
        QVERIFY(insert);
        QCOMPARE(insert->text(QAccessible::Name), QStringLiteral("INS"));

        Announcements announcements;
        for (bool on : {true, false}) {
            KeyState::instance().setInsertToggled(on);
            QCOMPARE(insert->state().checked, on);
            QCOMPARE(insert->text(QAccessible::Description),
                     on ? QStringLiteral("on") : QStringLiteral("off"));
        }
        QCOMPARE(announcements.of(QAccessible::StateChanged, bar, 2).size(), 2);
        QCOMPARE(announcements.of(QAccessible::DescriptionChanged, bar, 2).size(), 2);
        // The panels of text have no state to announce.
        QCOMPARE(announcements.of(QAccessible::StateChanged, bar, 1).size(), 0);
    }

    // Every control of the dialogs has a name: its caption without the
    // access-key mark, or its label's, or a description of its own.
    void dialogControlsAreNamed_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::newRow("Find text box") << "find"
                                       << "txtFind"
                                       << "Find:";
        QTest::newRow("Replace text box") << "find"
                                          << "txtReplace"
                                          << "Replace with:";
        QTest::newRow("Match Case") << "find"
                                    << "chkMatchcase"
                                    << "Match Case";
        QTest::newRow("Find Next") << "find"
                                   << "cmdFindNext"
                                   << "Find Next";
        QTest::newRow("line number") << "goto"
                                     << "txtLineNum"
                                     << "Line Number:";
        QTest::newRow("Go") << "goto"
                            << "cmdGo"
                            << "Go";
        QTest::newRow("background swatch") << "colors"
                                           << "ptrBackground"
                                           << "Background:";
        QTest::newRow("plain swatch") << "colors"
                                      << "ptrBlue"
                                      << "Blue";
        QTest::newRow("bold swatch") << "colors"
                                     << "ptrBBlue"
                                     << "Blue";
        QTest::newRow("bold yellow swatch") << "colors"
                                            << "ptrYellow"
                                            << "Yellow";
        QTest::newRow("preview") << "colors"
                                 << "rtbColors"
                                 << "Preview";
        QTest::newRow("Restore Defaults") << "colors"
                                          << "cmdRestore"
                                          << "Restore Defaults";
    }
    void dialogControlsAreNamed()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, control);
        QFETCH(QString, name);
        EditorWindow &window = start();
        std::unique_ptr<QDialog> shown;
        if (dialog == QLatin1String("find"))
            shown = std::make_unique<FindReplaceDialog>(&window);
        else if (dialog == QLatin1String("goto"))
            shown = std::make_unique<GotoDialog>(&window);
        else
            shown = std::make_unique<ColorsDialog>(&window);

        auto *widget = shown->findChild<QWidget *>(control);
        QVERIFY(widget);
        QAccessibleInterface *node = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(node);
        QCOMPARE(node->text(QAccessible::Name), name);

        // None goes without a name, and none keeps an access-key mark.
        for (QWidget *each : shown->findChildren<QWidget *>()) {
            if (!qobject_cast<QAbstractButton *>(each) && !qobject_cast<QLineEdit *>(each)
                && each->focusPolicy() == Qt::NoFocus)
                continue;
            const QString eachName
                = QAccessible::queryAccessibleInterface(each)->text(QAccessible::Name);
            QVERIFY2(!eachName.isEmpty(), qPrintable(each->objectName()));
            QVERIFY2(!eachName.contains(QLatin1Char('&')), qPrintable(each->objectName()));
        }
    }
};

SCRIVLET_TEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
