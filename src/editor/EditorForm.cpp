#include "editor/EditorForm.h"

#include "editor/EditorWindow.h"
#include "editor/StatusPanels.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/system/StatusBar.h"

namespace {

const EditorVariant normalVariant = {"frmNormal", 0, false, 6480, 5595, false};
const EditorVariant smallVariant = {"frmSmall", 1, true, 6480, 5640, true};

} // namespace

EditorForm &frmNormal()
{
    static EditorForm form(normalVariant);
    return form;
}

EditorForm &frmSmall()
{
    static EditorForm form(smallVariant);
    return form;
}

EditorWindow *EditorForm::window()
{
    if (!m_window) {
        m_window = new EditorWindow(*this);
        m_window->Form_Load();
    }
    return m_window;
}

void EditorForm::Unload()
{
    if (!m_window)
        return;
    bool cancel = false;
    m_window->Form_QueryUnload(cancel, vbFormCode);
    if (cancel)
        return;
    EditorWindow *window = m_window;
    windowClosed();
    window->hide();
}

void EditorForm::windowClosed()
{
    EditorWindow *window = m_window;
    m_window = nullptr;
    window->detach();
    // Later, not now: the request to unload may come from one of the window's
    // own menus or keys, which are still at work.
    window->deleteLater();
}

void EditorForm::UpdateCaretPosition()
{
    EditorWindow *w = window();
    const RichTextBox &box = *w->richTextBox();
    const int selStart = box.SelStart();
    const int line = box.GetLineFromChar(selStart) + 1;
    const int lineStart = box.GetLineStartFromChar(selStart);
    if (CurrentLine == line && LastLineStart == lineStart) {
        // Along the same line the column follows the move of the caret.
        if (LastSelStart != selStart) {
            CurrentColumn += selStart - LastSelStart;
            LastSelStart = selStart;
        }
    } else {
        // Another line, or the same line number starting elsewhere since the
        // text wrapped anew: the column is counted from the line's start.
        CurrentLine = line;
        CurrentColumn = selStart - lineStart + 1;
        LastSelStart = selStart;
    }
    LastLineStart = lineStart;
    w->statusBar1()->Panels(PositionPanel)->setText(positionPanelText(CurrentLine, CurrentColumn));
}
