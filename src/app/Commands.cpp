#include "app/Commands.h"

#include "app/ViewToggles.h"
#include "app/WindowModes.h"

#include <array>

namespace {

// The routine of each command, in the order of Command. An entry stays null
// until its routine exists.
std::array<Routine, CommandCount> routines = {
    nullptr,          // FileNew
    nullptr,          // FileOpen
    nullptr,          // FileSave
    nullptr,          // FileSaveAs
    nullptr,          // FilePageSetup
    nullptr,          // FilePrint
    nullptr,          // FileExit
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

// OpenDocument; null until it exists.
void (*const openDocument)(const QString &path) = nullptr;

} // namespace

Routine &routineOf(Command command)
{
    return routines[std::size_t(command)];
}

void runCommand(Command command)
{
    if (const Routine routine = routineOf(command))
        routine();
}

void openDocumentAt(const QString &path)
{
    if (openDocument)
        openDocument(path);
}
