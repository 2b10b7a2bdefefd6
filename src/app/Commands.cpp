#include "app/Commands.h"

#include "app/state/ViewToggles.h"
#include "app/WindowModes.h"
#include "document/ErrorTrap.h"
#include "document/FileCommands.h"

#include <array>

namespace {

// The routine of each command, in the order of Command. An entry stays null
// until its routine exists.
std::array<Routine, CommandCount> routines = {
    &FileNew,         // FileNew
    &FileOpen,        // FileOpen
    &FileSave,        // FileSave
    &FileSaveAs,      // FileSaveAs
    nullptr,          // FilePageSetup
    nullptr,          // FilePrint
    &FileExit,        // FileExit
    nullptr,          // EditUndo
    nullptr,          // EditCut
    nullptr,          // EditCopy
    nullptr,          // EditPaste
    nullptr,          // EditDelete
    nullptr,          // EditFind
    nullptr,          // EditFindNext
    nullptr,          // EditReplace
    nullptr,          // EditGoTo
    nullptr,          // EditSelectAll
    nullptr,          // InsertTimeDate
    nullptr,          // PrepareEditMenu
    nullptr,          // ShowRightClickMenu
    &ToggleWordwrap,  // ToggleWordwrap
    nullptr,          // FormatFont
    &ToggleAlwaysTop, // ToggleAlwaysTop
    &ToggleHideMenu,  // ToggleHideMenu
    &ShowNormalWindow, // ShowNormalWindow
    &ShowSmallWindow, // ShowSmallWindow
    &ToggleStatusBar, // ToggleStatusBar
    nullptr,          // HelpAbout
};

} // namespace

Routine &routineOf(Command command)
{
    return routines[std::size_t(command)];
}

void runCommand(Command command)
{
    // Whatever a routine lets escape is reported as the file commands' trap
    // reports it: nothing may cross Qt's event loop, which would end the
    // program and lose the document.
    if (const Routine routine = routineOf(command))
        runTrapped(routine);
}

void openDocumentAt(const QString &path)
{
    OpenDocument(path);
}
