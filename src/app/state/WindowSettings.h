#pragma once

// The editor window's place, size and view options in the section "Settings"
// of the settings store. Both editor windows share the keys, so a window
// switch keeps the window where it was. "Left" and "Top" are the outer
// corner of the window's frame, "Width" and "Height" its size inside the frame
// (twips), so that a window stored and restored keeps its size exactly,
// whatever the decoration the system gives it.

// Gives CurrentForm the stored position, size and view check marks, and its
// caption without the modified mark. A stored place that would leave the
// window off every screen, or too small to use, is brought onto the nearest
// screen.
void LoadWindowSettings();

// Stores CurrentForm's position and size (unless it is minimized) and its view
// check marks.
void SaveWindowSettings();

// Points CurrentRichTextBox and CurrentStatusBar at CurrentForm's controls
// RichTextBox and StatusBar1.
void BindEditorControls();
