#pragma once

#include <QString>

// The routines that menu items, keys and control events of the editor windows
// run. The windows know only these names; which routine each one runs is kept
// in one table (Commands.cpp).
enum class Command {
    FileNew,
    FileOpen,
    FileSave,
    FileSaveAs,
    FilePageSetup,
    FilePrint,
    FileExit,
    EditUndo,
    EditCut,
    EditCopy,
    EditPaste,
    EditDelete,
    EditFind,
    EditFindNext,
    EditReplace,
    EditGoTo,
    EditSelectAll,
    InsertTimeDate,
    PrepareEditMenu,   // before the Edit menu opens
    ShowRightClickMenu, // the right mouse button went down on the editor
    ToggleWordwrap,
    FormatFont,
    ToggleAlwaysTop,
    ToggleHideMenu,
    ShowNormalWindow,
    ShowSmallWindow,
    ToggleStatusBar,
    HelpAbout,
};
constexpr int CommandCount = int(Command::HelpAbout) + 1;

using Routine = void (*)();

// Runs the command's routine; a command whose routine is not written yet does
// nothing and says nothing. An error the routine lets escape shows the
// "Unknown Error" box.
void runCommand(Command command);

// The routine a command runs (null: none yet). Tests put their own in its
// place to watch a command.
Routine &routineOf(Command command);

// Opens the file at path (OpenDocument), for the command line and a file
// dropped on the editor.
void openDocumentAt(const QString &path);

