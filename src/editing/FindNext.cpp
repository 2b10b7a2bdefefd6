#include "editing/FindNext.h"

#include "app/state/modMainModule.h"
#include "editing/OwnedDialogs.h"
#include "editing/frmFindReplace.h"
#include "platform/dialogs/MessageBox.h"
#include "platform/richtext/RichTextBox.h"

namespace {

const QString EndOfFile = QStringLiteral("End of File");

// The question at the end of the text, after a selected occurrence or after
// a search from the caret. They differ in letter case only.
const QString MoreAfterOccurrence
    = QStringLiteral("No more matches found.\r\n\r\nRestart from top?");
const QString MoreAfterCaret = QStringLiteral("No More matches Found.\r\n\r\nRestart From Top?");

// Text from insertedStart to insertedEnd that an occurrence must not lie in
// wholly; empty: none.
struct Passed
{
    int start = 0;
    int end = 0;
};

// Finds FindText from start to the end of the text, selecting it, and passes
// over occurrences lying wholly inside passed. Returns where it found one, or
// -1.
int findFrom(RichTextBox &box, int start, const Passed &passed)
{
    int found = box.Find(App.FindText, start, -1, findOptions());
    while (found >= 0 && found >= passed.start && found + box.SelLength() <= passed.end)
        found = box.Find(App.FindText, found + 1, -1, findOptions());
    if (found < 0)
        box.setSelStart(start); // nothing found stays selected
    return found;
}

// One search of Find Next: within the selection, after the selected
// occurrence, or from the start of the word at the caret. True when the user
// asked to restart from the top.
bool findOnce(RichTextBox &box, const Passed &passed)
{
    if (box.SelLength() != 0) {
        if (box.SelText() != App.FindText) {
            // Another text is selected: look inside it only.
            if (box.Find(App.FindText, -1, -1, findOptions()) < 0)
                MsgBox(QStringLiteral("No matches found in text"), vbOKOnly, EndOfFile);
            return false;
        }
        // The last occurrence is still selected: go on after it.
        box.setSelStart(box.SelStart() + box.SelLength());
        box.setSelLength(0);
        if (findFrom(box, box.SelStart(), passed) >= 0)
            return false;
        return MsgBox(MoreAfterOccurrence, vbYesNo, EndOfFile) == vbYes;
    }
    // From the start of the word at the caret; only a space or a line break
    // ends a word here.
    box.UpTo(QStringLiteral(" \r\n"), false);
    if (findFrom(box, box.SelStart(), passed) >= 0)
        return false;
    return MsgBox(MoreAfterCaret, vbYesNo, EndOfFile) == vbYes;
}

void findNext(Passed passed)
{
    for (;;) {
        if (App.FindText.isEmpty()) {
            EditFind();
            return;
        }
        RichTextBox &box = *App.CurrentRichTextBox;
        if (!findOnce(box, passed))
            return;
        // From the top, where nothing is passed over any more.
        box.setSelStart(0);
        passed = Passed();
    }
}

} // namespace

int findOptions()
{
    int options = 0;
    if (App.FindWholeWord == 1)
        options += RichTextBox::rtfWholeWord;
    if (App.FindMatchCase == 1)
        options += RichTextBox::rtfMatchCase;
    return options;
}

void EditFind()
{
    frmFindReplace().Setmode(FindReplaceDialog::FindLayout);
    showOwnedByCurrentForm(frmFindReplace());
}

void EditFindNext() { findNext(Passed()); }

void findNextAfterReplacing(int insertedStart, int insertedEnd)
{
    findNext({insertedStart, insertedEnd});
}
