#include "editing/EditCommands.h"

#include "app/state/modMainModule.h"
#include "editing/TimeDateText.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/system/Clipboard.h"

namespace {

RichTextBox &editor() { return *App.CurrentRichTextBox; }

} // namespace

void EditUndo() { }

void EditCut()
{
    if (editor().SelLength() == 0)
        return;
    EditCopy();
    editor().setSelText(QString());
}

void EditCopy()
{
    // An empty selection leaves the clipboard alone: emptying it would throw
    // away what the user copied before. Putting text on the clipboard replaces
    // everything it held, in every format.
    if (editor().SelLength() == 0)
        return;
    Clipboard::SetText(editor().SelText(), Clipboard::vbCFText);
}

void EditPaste()
{
    if (!Clipboard::GetFormat(Clipboard::vbCFText))
        return;
    // Empty text (a program may offer one) would only delete the selection.
    const QString text = Clipboard::GetText(Clipboard::vbCFText);
    if (!text.isEmpty())
        editor().setSelText(text);
}

void EditDelete()
{
    if (editor().SelLength() != 0)
        editor().setSelText(QString());
}

void EditSelectAll()
{
    editor().setSelStart(0);
    editor().setSelLength(editor().textLength());
}

void InsertTimeDate() { editor().setSelText(timeDateText(timeDateClock()(), QLocale())); }
