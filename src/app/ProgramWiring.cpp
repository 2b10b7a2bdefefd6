#include "app/ProgramWiring.h"

#include "app/WindowModes.h"
#include "app/state/EditorLayout.h"
#include "app/state/ViewToggles.h"
#include "app/state/WindowSettings.h"
#include "app/state/WindowTitle.h"
#include "app/state/modMainModule.h"
#include "appearance/frmAbout.h"
#include "appearance/frmColors.h"
#include "document/ErrorTrap.h"
#include "document/FileCommands.h"
#include "document/PrintCommands.h"
#include "document/SaveQuestion.h"
#include "editing/EditCommands.h"
#include "editing/EditMenuState.h"
#include "editing/FindNext.h"
#include "editing/frmFindReplace.h"
#include "editing/frmGoto.h"
#include "editor/EditorHooks.h"

#include <array>

namespace {

// The routine of each command, in the order of Command; null where the
// command has none yet.
constexpr std::array<Routine, CommandCount> routines = {
    &FileNew,            // FileNew
    &FileOpen,           // FileOpen
    &FileSave,           // FileSave
    &FileSaveAs,         // FileSaveAs
    &FilePageSetup,      // FilePageSetup
    &FilePrint,          // FilePrint
    &FilePrintPreview,   // FilePrintPreview
    &FileExit,           // FileExit
    &EditUndo,           // EditUndo
    &EditCut,            // EditCut
    &EditCopy,           // EditCopy
    &EditPaste,          // EditPaste
    &EditDelete,         // EditDelete
    &EditFind,           // EditFind
    &EditFindNext,       // EditFindNext
    &EditReplace,        // EditReplace
    &EditGoTo,           // EditGoTo
    &EditSelectAll,      // EditSelectAll
    &InsertTimeDate,     // InsertTimeDate
    &PrepareEditMenu,    // PrepareEditMenu
    &showRightClickMenu, // ShowRightClickMenu
    &ToggleWordwrap,     // ToggleWordwrap
    &FormatFont,         // FormatFont
    &ToggleAlwaysTop,    // ToggleAlwaysTop
    &ToggleHideMenu,     // ToggleHideMenu
    &ShowNormalWindow,   // ShowNormalWindow
    &ShowSmallWindow,    // ShowSmallWindow
    &ToggleStatusBar,    // ToggleStatusBar
    &HelpAbout,          // HelpAbout
};

void openDroppedFile(const QString &path) { OpenDocument(path); }

} // namespace

void wireProgram()
{
    for (int i = 0; i < CommandCount; ++i)
        routineOf(Command(i)) = routines[std::size_t(i)];

    EditorHooks &hooks = editorHooks();
    hooks.bindControls = &BindEditorControls;
    hooks.saveWindowSettings = &SaveWindowSettings;
    hooks.layOut = &LayoutEditor;
    hooks.markModified = &markDocumentModified;
    hooks.documentMayBeDiscarded = &documentMayBeDiscarded;
    hooks.openDroppedFile = &openDroppedFile;
    hooks.menuHidden = [] { return App.MenuHidden; };
    // Whatever a routine lets escape is reported as the file commands' trap
    // reports it: nothing may cross Qt's event loop, which would end the
    // program and lose the document.
    hooks.runRoutine = [](Routine routine) { runTrapped(routine); };
}
