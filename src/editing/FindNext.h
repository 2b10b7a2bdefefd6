#pragma once

// Find and Find Next: the search for the last search text (FindText, with
// FindMatchCase and FindWholeWord) in the current editor.

// Opens the Find dialog.
void EditFind();

// Selects the next occurrence of FindText: within the selection when another
// text is selected, after it when the last occurrence found is selected, and
// otherwise from the start of the word at the caret. At the end of the text
// it offers to start again from the top. With no search text it opens the
// Find dialog instead.
void EditFindNext();

// Find Next right after a replacement put in the text from insertedStart to
// insertedEnd (nothing selected): an occurrence lying wholly inside that text
// is passed over, so a replacement that holds the search text is not found
// and replaced again and again.
void findNextAfterReplacing(int insertedStart, int insertedEnd);

// The search options of the last search as the control's Find takes them.
int findOptions();
