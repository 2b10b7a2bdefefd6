#pragma once

#include <QPointer>

class EditorWindow;

// What tells the two editor windows apart.
struct EditorVariant
{
    const char *name;     // "frmNormal" or "frmSmall"
    int windowMode;       // 0 normal, 1 small: its own View item starts checked
    bool toolWindow;      // a tool window with a thin title bar, no minimize or maximize
    int insideWidthTwips; // initial inside size
    int insideHeightTwips;
    bool caretFollowsChange; // a change of the text also updates the caret position
};

// Why a window unloads: closed by the user (close box, system menu) or by the
// program itself (the window switch).
enum UnloadMode { vbFormControlMenu = 0, vbFormCode = 1 };

// The shared instance of an editor window class. It lives for the whole
// program; its window is created and loaded on first use, destroyed when it
// unloads, and loaded afresh when it is used again. The caret fields belong to
// the instance, so they outlive the window.
class EditorForm
{
public:
    explicit EditorForm(const EditorVariant &variant)
        : m_variant(variant)
    {
    }
    EditorForm(const EditorForm &) = delete;
    EditorForm &operator=(const EditorForm &) = delete;

    const EditorVariant &variant() const { return m_variant; }

    // The window, loaded first if it is not.
    EditorWindow *window();
    bool isLoaded() const { return !m_window.isNull(); }
    // Unloads the window as the program does (vbFormCode): its close handling
    // runs and the window is destroyed.
    void Unload();

    // The caret position at the last update, for the status bar's position
    // panel; 0 before the first.
    int CurrentLine = 0;
    int CurrentColumn = 0;
    int LastSelStart = 0;
    int LastLineStart = 0; // where the caret's line started at the last update
    // Shows the line and column of the window's SelStart in its position panel.
    void UpdateCaretPosition();

private:
    friend class EditorWindow;
    // The window has accepted the user's close request and goes away.
    void windowClosed();

    const EditorVariant &m_variant;
    QPointer<EditorWindow> m_window;
};

EditorForm &frmNormal();
EditorForm &frmSmall();
