#pragma once

// The enabled state of the edit items. It is set only when a menu is about to
// show and then kept until the next time, whatever happens to the selection or
// the clipboard meanwhile; a menu-bar item's shortcut key follows its item.
// Undo is disabled, Paste enabled when the clipboard holds plain text, Cut,
// Copy and Delete enabled when text is selected; Select All and Time/Date stay
// enabled.

// Before the Edit menu of the menu bar or of the hidden menu set opens: sets
// the edit items of both.
void PrepareEditMenu();

// The right mouse button went down on the editor: pops up the hidden menu set
// at the mouse while the menu bar is hidden (the only way to the menus then),
// the right-click menu otherwise, with its edit items set first. Returns when
// the popup has closed. The caret and the selection stay as they are.
void showRightClickMenu();
