#pragma once

#include "appearance/style/TextStyle.h"

#include <QPointer>
#include <QString>

class EditorForm;
class RichTextBox;
class StatusBar;

// The title of a document that has no file.
inline const QString Untitled = QStringLiteral("Untitled");

// The whole shared state of the application, in its declared order. Every
// command routine works through it, never through the window that raised the
// event. Flags are C++ bools; in the settings store they are the texts "True"
// and "False".
struct modMainModule
{
    // Appearance: the Hypertext sample, the default style of documents and the
    // sixteen swatches of the Colours dialog.
    TextStyle HyperTextStyle = builtInHyperTextStyle();
    TextStyle DefStyle = builtInDefStyle();
    TextStylePalette Palette = builtInPalette();

    // The editor window in use (frmNormal or frmSmall) and its controls
    // RichTextBox and StatusBar1.
    EditorForm *CurrentForm = nullptr;
    QPointer<RichTextBox> CurrentRichTextBox;
    QPointer<StatusBar> CurrentStatusBar;

    // True while the menu bar of the editor window is hidden.
    bool MenuHidden = false;
    // True while the document holds no unsaved change.
    bool IsSaved = true;

    // The last search: options (0 or 1), the text searched for and the
    // replacement.
    int FindMatchCase = 0;
    int FindWholeWord = 0;
    QString FindText;
    QString ReplaceText;

    // The document's file name without folder ("Untitled" without a file), and
    // its folder, where the file dialogs start.
    QString FileTitle = Untitled;
    QString DefaultDir;
    // Paragraph alignment used for printing: 0 left, 1 right, 2 centre.
    int DefaultAlignment = 0;
    // Background colour of the editor, packed RGB.
    qint32 DefaultBackColor = BuiltInBackColor;

    // BufferBox of the hidden window frmBuffer: where text is staged.
    QPointer<RichTextBox> Buffer;

    // 0 while frmNormal is in use, 1 while frmSmall is.
    int WindowMode = 0;
    // IsSaved as it was when a window switch began.
    bool SavedBeforeSwitch = false;
};

// The application state: one for the program.
extern modMainModule App;

// The application name under which the settings store keeps every value.
inline const QString AppName = QStringLiteral("Scrivlet");
