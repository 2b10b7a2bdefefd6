#pragma once

// The routines that menu items, keys and control events of the editor windows
// run. The windows know only these names; the program fills in which routine
// each one runs when it starts.
enum class Command {
    FileNew,
    FileOpen,
    FileSave,
    FileSaveAs,
    FilePageSetup,
    FilePrint,
    FilePrintPreview,
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
    PrepareEditMenu,    // before the Edit menu opens
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

// Runs the command's routine through the program's error trap (see
// EditorHooks); a command without a routine does nothing and says nothing.
void runCommand(Command command);

// The routine a command runs (null: none). The program fills these in; tests
// put their own in its place to watch a command.
Routine &routineOf(Command command);
