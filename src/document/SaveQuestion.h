#pragma once

// The question about unsaved changes, asked before the document is thrown
// away (New, Open, a file given by path, Exit, the closing of the window).
// Callers ask only while the document is modified.

// "Save Changes?": Yes, No and Cancel; returns vbYes, vbNo or vbCancel
// (closing the box is Cancel).
int AskSaveChanges();

// For a command without an error trap: asks while the document is modified
// and saves after Yes. True when the command may go on: the document was
// clean, or No, or Yes and it was saved. Cancel, a cancelled Save As dialog
// and a failed save (reported) give false.
bool documentMayBeDiscarded();

// The same for a command under the error trap: Cancel and a cancelled Save As
// dialog raise ErrCancel, a failed save its own error, so that the trap ends
// the command.
void askBeforeDiscarding();
