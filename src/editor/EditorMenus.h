#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QString>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

// The menus of an editor window: the menu bar with File, Edit, Format, View
// and Help, the right-click popup mnuRightClick and the hidden menu set
// mnuHiddenMenuset, which takes the menu bar's place while it is hidden. Every
// item and menu carries its name as objectName; a submenu's name is on both the
// QMenu and its menuAction(). Captions carry '&' before their access key.
struct EditorMenus
{
    QHash<QString, QAction *> items; // every item, separator and submenu by name
    QHash<QString, QMenu *> menus;   // every menu and submenu by name
    QList<QAction *> menuBarMenus;   // mnuFile .. mnuHelp, in order
    QList<QKeySequence> menuBarShortcuts;
};

// Builds the menus into window and its menu bar; windowMode (0 normal, 1 small)
// decides which window-mode items start checked. Every item's triggered and
// every Edit menu's opening runs its command.
EditorMenus buildEditorMenus(QWidget &window, QMenuBar &menuBar, int windowMode);

// A caption as the user reads it: the text without its access-key marks.
QString menuCaption(const QAction *action);
