#pragma once

class QDialog;

// The modeless dialogs of the editor window (Find and Replace, Go To): owned
// by the editor window in use, and above other windows exactly while its
// Always On Top is checked.

// Shows dialog modeless, owned by the current editor window, and brings it to
// the front. A dialog shown for the first time since it was loaded is centred
// on the window.
void showOwnedByCurrentForm(QDialog &dialog);

// The window switch replaces the editor window. Before the old window goes,
// the open dialogs are taken from it so that they outlive it; once the new
// window is shown they are given to it and show again where they were.
void takeDialogsFromEditorWindow();
void giveDialogsToEditorWindow();
