#include "editor/EditorMenus.h"

#include "editor/Commands.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <optional>

namespace {

enum class Place { MenuBar, Popup, Inside };
enum class Check { None, Off, On, OnInNormal, OnInSmall };

// One row of the menu layout. A row followed by deeper rows is a (sub)menu; its
// command, if any, runs when it opens.
struct MenuRow
{
    int depth;
    const char *name;
    const char *caption; // "-" for a separator
    std::optional<Command> command;
    const char *shortcut = nullptr;
    Check check = Check::None;
};

using C = Command;

const MenuRow menuLayout[] = {
    {0, "mnuFile", "&File", {}},
    {1, "mnuNew", "&New", C::FileNew, "Ctrl+N"},
    {1, "mnuOpen", "&Open...", C::FileOpen, "Ctrl+O"},
    {1, "mnuSep0", "-", {}},
    {1, "mnuSave", "&Save", C::FileSave, "Ctrl+S"},
    {1, "mnuSaveAs", "Save&As...", C::FileSaveAs},
    {1, "mnuSep1", "-", {}},
    {1, "mnuPageSetup", "Page Set&up...", C::FilePageSetup},
    {1, "mnuPrint", "&Print...", C::FilePrint, "Ctrl+P"},
    {1, "mnuPrintPreview", "Print Pre&view", C::FilePrintPreview},
    {1, "mnuSep2", "-", {}},
    {1, "mnuExit", "E&xit", C::FileExit},
    {0, "mnuEdit", "&Edit", C::PrepareEditMenu},
    {1, "mnuUndo", "&Undo", C::EditUndo, "Ctrl+Z"},
    {1, "mnuSep3", "-", {}},
    {1, "mnuCut", "Cu&t", C::EditCut, "Ctrl+X"},
    {1, "mnuCopy", "&Copy", C::EditCopy, "Ctrl+C"},
    {1, "mnuPaste", "&Paste", C::EditPaste, "Ctrl+V"},
    {1, "mnuDelete", "De&lete", C::EditDelete, "Del"},
    {1, "mnuSep4", "-", {}},
    {1, "mnuFind", "&Find...", C::EditFind, "Ctrl+F"},
    {1, "mnuFindNext", "Find &Next", C::EditFindNext, "F3"},
    {1, "mnuReplace", "&Replace...", C::EditReplace, "Ctrl+H"},
    {1, "mnuGoTo", "&Go To...", C::EditGoTo, "Ctrl+G"},
    {1, "mnuSep5", "-", {}},
    {1, "mnuSelectAll", "Select &All", C::EditSelectAll, "Ctrl+A"},
    {1, "mnuTimeDate", "Time/&Date", C::InsertTimeDate, "F5"},
    {0, "mnuFormat", "F&ormat", {}},
    {1, "mnuWordwrap", "&Wordwrap", C::ToggleWordwrap, nullptr, Check::On},
    {1, "mnuFont", "&Font...", C::FormatFont},
    {0, "mnuView", "&View", {}},
    {1, "mnuAlwaysTop", "&Always On Top", C::ToggleAlwaysTop, nullptr, Check::Off},
    {1, "mnuHideMenu", "&Hide Menu", C::ToggleHideMenu, nullptr, Check::Off},
    {1, "mnuSep6", "-", {}},
    {1, "mnuNormalWin", "&Normal Window", C::ShowNormalWindow, nullptr, Check::OnInNormal},
    {1, "mnuSmallWin", "&Small Window", C::ShowSmallWindow, nullptr, Check::OnInSmall},
    {1, "mnuSep7", "-", {}},
    {1, "mnuStatusBar", "Status&Bar", C::ToggleStatusBar, nullptr, Check::Off},
    {0, "mnuHelp", "&Help", {}},
    {1, "mnuAbout", "&About...", C::HelpAbout},

    {0, "mnuRightClick", "RightClick", {}},
    {1, "mnuRghtUndo", "&Undo", C::EditUndo},
    {1, "mnuSep8", "-", {}},
    {1, "mnuRghtCut", "Cu&t", C::EditCut},
    {1, "mnuRghtCopy", "&Copy", C::EditCopy},
    {1, "mnuRghtPaste", "&Paste", C::EditPaste},
    {1, "mnuRghtDelete", "De&lete", C::EditDelete},
    {1, "mnuSep9", "-", {}},
    {1, "mnuRghtSelectAll", "Select &All", C::EditSelectAll},

    {0, "mnuHiddenMenuset", "HiddenMenuSet", {}},
    {1, "mnuHidFile", "&File", {}},
    {2, "mnuHidNew", "&New", C::FileNew},
    {2, "mnuHidOpen", "&Open...", C::FileOpen},
    {2, "mnuSep10", "-", {}},
    {2, "mnuHidSave", "&Save", C::FileSave},
    {2, "mnuHidSaveAs", "Save&As...", C::FileSaveAs},
    {2, "mnuSep11", "-", {}},
    {2, "mnuHidPageSetup", "Page Set&up...", C::FilePageSetup},
    {2, "mnuHidPrint", "&Print...", C::FilePrint},
    {2, "mnuHidPrintPreview", "Print Pre&view", C::FilePrintPreview},
    {2, "mnuSep12", "-", {}},
    {2, "mnuHidExit", "E&xit", C::FileExit},
    {1, "mnuHidEdit", "&Edit", C::PrepareEditMenu},
    {2, "mnuHidFind", "&Find...", C::EditFind},
    {2, "mnuHidFindNext", "Find &Next", C::EditFindNext},
    {2, "mnuHidReplace", "&Replace...", C::EditReplace},
    {2, "mnuHidGoTo", "&Go To...", C::EditGoTo},
    {2, "mnuSep15", "-", {}},
    {2, "mnuHidTimeDate", "Time/&Date", C::InsertTimeDate},
    {1, "mnuHidFormat", "F&ormat", {}},
    {2, "mnuHidWordwrap", "&Wordwrap", C::ToggleWordwrap, nullptr, Check::On},
    {2, "mnuHidFont", "&Font...", C::FormatFont},
    {1, "mnuHidView", "&View", {}},
    {2, "mnuHidAlwaysTop", "&Always On Top", C::ToggleAlwaysTop, nullptr, Check::Off},
    {2, "mnuHidHideMenu", "&Hide Menu", C::ToggleHideMenu, nullptr, Check::Off},
    {2, "mnuSep16", "-", {}},
    {2, "mnuHidNormalWin", "&Normal Window", C::ShowNormalWindow, nullptr, Check::OnInNormal},
    {2, "mnuHidSmallWin", "&Small Window", C::ShowSmallWindow, nullptr, Check::OnInSmall},
    {2, "mnuSep17", "-", {}},
    {2, "mnuHidStatusBar", "Status&Bar", C::ToggleStatusBar, nullptr, Check::Off},
    {1, "mnuSep18", "-", {}},
    {1, "mnuHidUndo", "&Undo", C::EditUndo},
    {1, "mnuSep13", "-", {}},
    {1, "mnuHidCut", "Cu&t", C::EditCut},
    {1, "mnuHidCopy", "&Copy", C::EditCopy},
    {1, "mnuHidPaste", "&Paste", C::EditPaste},
    {1, "mnuHidDelete", "De&lete", C::EditDelete},
    {1, "mnuSep14", "-", {}},
    {1, "mnuHidSelectAll", "Select &All", C::EditSelectAll},
};

// The five menus of the menu bar come first; the rest are popups.
constexpr int menuBarMenuCount = 5;

bool startsChecked(Check check, int windowMode)
{
    return check == Check::On || (check == Check::OnInNormal && windowMode != 1)
        || (check == Check::OnInSmall && windowMode == 1);
}

// Makes the item run its command when chosen. A checkable item keeps its check
// mark as it was: only the routine decides what it becomes.
void connectItem(QAction *action, Command command)
{
    QObject::connect(action, &QAction::triggered, action, [action, command](bool checked) {
        if (action->isCheckable())
            action->setChecked(!checked);
        runCommand(command);
    });
}

} // namespace

EditorMenus buildEditorMenus(QWidget &window, QMenuBar &menuBar, int windowMode)
{
    EditorMenus result;
    QMenu *parents[3] = {};
    int topLevelCount = 0;
    const int rowCount = int(std::size(menuLayout));
    for (int i = 0; i < rowCount; ++i) {
        const MenuRow &row = menuLayout[i];
        const QString name = QLatin1String(row.name);
        const bool isMenu = i + 1 < rowCount && menuLayout[i + 1].depth > row.depth;
        QAction *action = nullptr;
        if (isMenu) {
            QMenu *menu = row.depth == 0
                ? new QMenu(QString::fromLatin1(row.caption), &window)
                : parents[row.depth - 1]->addMenu(QString::fromLatin1(row.caption));
            menu->setObjectName(name);
            // An open menu is named after its caption; its items name
            // themselves after theirs, without the access-key mark.
            menu->setAccessibleName(menuCaption(menu->menuAction()));
            action = menu->menuAction();
            if (row.depth == 0) {
                action->setVisible(false); // ToggleHideMenu shows the menu bar's menus
                if (topLevelCount++ < menuBarMenuCount) {
                    menuBar.addAction(action);
                    result.menuBarMenus.append(action);
                }
            }
            if (row.command) {
                const Command command = *row.command;
                QObject::connect(menu, &QMenu::aboutToShow, menu,
                                 [command] { runCommand(command); });
            }
            parents[row.depth] = menu;
            result.menus.insert(name, menu);
        } else if (qstrcmp(row.caption, "-") == 0) {
            action = parents[row.depth - 1]->addSeparator();
        } else {
            action = parents[row.depth - 1]->addAction(QString::fromLatin1(row.caption));
            if (row.shortcut) {
                action->setShortcut(
                    QKeySequence(QString::fromLatin1(row.shortcut), QKeySequence::PortableText));
                result.menuBarShortcuts.append(action->shortcut());
            }
            if (row.check != Check::None) {
                action->setCheckable(true);
                action->setChecked(startsChecked(row.check, windowMode));
            }
            connectItem(action, *row.command);
        }
        action->setObjectName(name);
        result.items.insert(name, action);
    }
    return result;
}

QString menuCaption(const QAction *action)
{
    const QString text = action->text();
    QString caption;
    caption.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&') && i + 1 < text.size())
            ++i; // "&x" shows x with its access key; "&&" shows one "&"
        caption += text.at(i);
    }
    return caption;
}
