#pragma once

#include "editor/Commands.h"

class QString;

// What the editor windows ask of the program around them. The windows sit
// below the program, so they reach it only through these calls, which the
// program installs when it starts. Until then each does the least it can: a
// window on its own has no program around it.
struct EditorHooks
{
    // The window was loaded: it becomes the one the program's state names.
    void (*bindControls)() = [] {};
    // The window is unloading: its placement and view options are stored.
    void (*saveWindowSettings)() = [] {};
    // The window's inside changed size: the edit control and status bar follow.
    void (*layOut)() = [] {};
    // The text changed: the document is marked modified.
    void (*markModified)() = [] {};
    // The user closes the window: false keeps it open (unsaved changes kept).
    bool (*documentMayBeDiscarded)() = [] { return true; };
    // A file was dropped on the editor.
    void (*openDroppedFile)(const QString &path) = [](const QString &) {};
    // Whether the menu bar is hidden, so that the window's keys stand in for it.
    bool (*menuHidden)() = [] { return false; };
    // Runs a command's routine; the program's own catches whatever the routine
    // lets escape, so that nothing crosses Qt's event loop.
    void (*runRoutine)(Routine routine) = [](Routine routine) { routine(); };
};

EditorHooks &editorHooks();
