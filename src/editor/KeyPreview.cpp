#include "editor/KeyPreview.h"

#include "editor/Commands.h"
#include "editor/EditorHooks.h"
#include "platform/richtext/RichTextBox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QScopedValueRollback>

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
    : m_window(window)
    , m_editor(editor)
    , m_menuBarShortcuts(std::move(menuBarShortcuts))
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

    if (m_passingOn)
        return false;

    auto &key = *static_cast<QKeyEvent *>(event);
    if (type == QEvent::ShortcutOverride)
        return !reachesControlFirst(key); // not accepted: the menu's shortcut may take it
    const int runsBefore = m_commandRuns;
    keyDown(key);
    if (keyPress(controlCharacterCode(key)))
        return true;
    if (watched != &m_editor || m_commandRuns == runsBefore)
        return false;
    passOnToControlOnly(key);
    return true;
}

void KeyPreview::passOnToControlOnly(QKeyEvent &key)
{
    // The key's command has run; the control gets the key as always, but a
    // key it leaves alone must not travel on up to the window, whose look at
    // it would run the command a second time. (After a dialog has closed, no
    // widget has the focus, so the window could not tell the key had been
    // seen.)
    const QPointer<RichTextBox> editor(&m_editor);
    {
        const QScopedValueRollback<bool> passingOn(m_passingOn, true);
        if (editor)
            QCoreApplication::sendEvent(editor, &key);
    }
    key.accept();
}

void KeyPreview::run(Command command)
{
    ++m_commandRuns;
    runCommand(command);
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
    if (editorHooks().menuHidden()) {
        if (key.key() == Qt::Key_F3)
            run(Command::EditFindNext);
        else if (key.key() == Qt::Key_F5)
            run(Command::InsertTimeDate);
    }
}

bool KeyPreview::keyPress(int keyAscii)
{
    if (keyAscii == CtrlC || keyAscii == CtrlV || keyAscii == CtrlX)
        return true;
    if (!editorHooks().menuHidden())
        return false;
    switch (keyAscii) {
    case CtrlA: run(Command::EditSelectAll); break;
    case CtrlF: run(Command::EditFind); break;
    case CtrlG: run(Command::EditGoTo); break;
    case CtrlN: run(Command::FileNew); break;
    case CtrlO: run(Command::FileOpen); break;
    case CtrlP: run(Command::FilePrint); break;
    case CtrlS: run(Command::FileSave); break;
    case CtrlH: run(Command::EditReplace); return true;
    default: break;
    }
    return false;
}
