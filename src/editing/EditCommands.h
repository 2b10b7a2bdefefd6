#pragma once

// The commands of the Edit menu that work on the selection and the clipboard.
// Each acts on the editor of the current window; the clipboard carries plain
// text only, so what is copied loses its format and what is pasted takes the
// format at the insertion point.

// Does nothing: the editor keeps no undo history of its own commands.
void EditUndo();
// Puts the selected text on the clipboard and deletes the selection. With
// nothing selected, nothing happens: the clipboard keeps what it held.
void EditCut();
// Puts the selected text on the clipboard. With nothing selected, the
// clipboard keeps what it held.
void EditCopy();
// Replaces the selection by the clipboard's plain text; nothing happens when
// the clipboard holds no plain text, or only an empty one.
void EditPaste();
// Deletes the selection.
void EditDelete();
// Selects the whole document.
void EditSelectAll();
// Replaces the selection by the current time and date (see timeDateText).
void InsertTimeDate();
