#pragma once

class EditorWindow;
class QAction;

// CurrentForm's window (loaded first if it is not) and one of its menu items
// by name.
EditorWindow &currentWindow();
QAction &currentItem(const char *name);
bool isCurrentItemChecked(const char *name);
