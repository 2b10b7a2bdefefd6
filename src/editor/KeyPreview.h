#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>

class QKeyEvent;
enum class Command;
class RichTextBox;

// The editor window's look at every key before its controls get it.
//
// Shortcuts of the menu bar win over the editing control's own keys, so the
// menus' routines run, not the control's built-in clipboard or selection
// commands; Delete with nothing selected is left to the control so that it
// deletes the next character. Ctrl+C, Ctrl+V and Ctrl+X never reach the
// control. While the menu bar is hidden, its shortcuts are out of reach and
// the keys run the commands here instead: F3, F5, Ctrl+A, F, G, N, O, P, S
// (which then go on to the control) and Ctrl+H (which goes no further).
// Backspace keeps its editing meaning.
class KeyPreview : public QObject
{
public:
    KeyPreview(QWidget &window, RichTextBox &editor, QList<QKeySequence> menuBarShortcuts);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool reachesControlFirst(const QKeyEvent &key) const;
    // Form_KeyDown, and Form_KeyPress with the key's character code (true
    // when the key goes no further).
    void keyDown(const QKeyEvent &key);
    bool keyPress(int keyAscii);
    void run(Command command);
    void passOnToControlOnly(QKeyEvent &key);

    QWidget &m_window;
    RichTextBox &m_editor;
    QList<QKeySequence> m_menuBarShortcuts;
    int m_commandRuns = 0;    // commands run from keys so far
    bool m_passingOn = false; // a key goes to the control after its command ran
};

// The character code a key gives: 1 to 26 for Ctrl with a letter, 0 for keys
// without a control character of their own.
int controlCharacterCode(const QKeyEvent &key);
