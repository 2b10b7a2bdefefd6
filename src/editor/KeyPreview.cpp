#include "editor/KeyPreview.h"

#include "app/Commands.h"
#include "app/modMainModule.h"
#include "platform/RichTextBox.h"

#include <QApplication>
#include <QKeyEvent>

namespace {

constexpr int CtrlA = 1, CtrlC = 3, CtrlF = 6, CtrlG = 7, CtrlH = 8, CtrlN = 14, CtrlO = 15,
              CtrlP = 16, CtrlS = 19, CtrlV = 22, CtrlX = 24;

} // namespace

int controlCharacterCode(const QKeyEvent &key)
{
    const Qt::KeyboardModifiers mods = key.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (mods != Qt::ControlModifier || key.key() < Qt::Key_A || key.key() > Qt::Key_Z)
        return 0;
    return key.key() - Qt::Key_A + 1;
}

KeyPreview::KeyPreview(QWidget &window, RichTextBox &editor, QList<QKeySequence> menuBarShortcuts)
    : QObject(&window), m_window(window), m_editor(editor), m_menuBarShortcuts(std::move(menuBarShortcuts))
{
    window.installEventFilter(this);
    editor.installEventFilter(this);
}

bool KeyPreview::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return false;
    // A key that the focused control passed on travels up to the window; it has
    // been looked at already.
    const QWidget *focus = QApplication::focusWidget();
    if (watched == &m_window && focus && focus != &m_window && m_window.isAncestorOf(focus))
        return false;

    const auto &key = *static_cast<QKeyEvent *>(event);
    if (type == QEvent::ShortcutOverride)
        return !reachesControlFirst(key); // not accepted: the menu's shortcut may take it
    keyDown(key);
    return keyPress(controlCharacterCode(key));
}

bool KeyPreview::reachesControlFirst(const QKeyEvent &key) const
{
    const bool plainKey = (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (key.key() == Qt::Key_Delete && plainKey && m_editor.SelLength() == 0)
        return true;
    const QKeySequence pressed(key.keyCombination());
    return !m_menuBarShortcuts.contains(pressed);
}

void KeyPreview::keyDown(const QKeyEvent &key)
{
    if (App.MenuHidden) {
        if (key.key() == Qt::Key_F3)
            runCommand(Command::EditFindNext);
        else if (key.key() == Qt::Key_F5)
            runCommand(Command::InsertTimeDate);
    }
}

bool KeyPreview::keyPress(int keyAscii)
{
    if (keyAscii == CtrlC || keyAscii == CtrlV || keyAscii == CtrlX)
        return true;
    if (!App.MenuHidden)
        return false;
    switch (keyAscii) {
    case CtrlA: runCommand(Command::EditSelectAll); break;
    case CtrlF: runCommand(Command::EditFind); break;
    case CtrlG: runCommand(Command::EditGoTo); break;
    case CtrlN: runCommand(Command::FileNew); break;
    case CtrlO: runCommand(Command::FileOpen); break;
    case CtrlP: runCommand(Command::FilePrint); break;
    case CtrlS: runCommand(Command::FileSave); break;
    case CtrlH: runCommand(Command::EditReplace); return true;
    default: break;
    }
    return false;
}
