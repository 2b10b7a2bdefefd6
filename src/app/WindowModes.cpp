#include "app/WindowModes.h"

#include "app/state/CurrentWindow.h"
#include "app/state/StoredValue.h"
#include "app/state/ViewToggles.h"
#include "app/state/WindowSettings.h"
#include "app/state/WindowTitle.h"
#include "app/state/modMainModule.h"
#include "appearance/FontSettings.h"
#include "editing/OwnedDialogs.h"
#include "editor/EditorForm.h"
#include "editor/EditorWindow.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/system/StatusBar.h"
#include "platform/system/TopMost.h"

#include <QAction>

namespace {

// The window-mode items of mode 0 (normal) and 1 (small), in the menu bar and
// in the hidden set.
struct ModeItems
{
    const char *item;
    const char *hiddenItem;
};
const ModeItems modeItems[] = {
    {"mnuNormalWin", "mnuHidNormalWin"},
    {"mnuSmallWin", "mnuHidSmallWin"},
};

// Unless mode is in use: checks its items in both menu sets of the current
// window, unchecks those of the other mode, and switches.
void showWindowMode(int mode)
{
    const ModeItems &wanted = modeItems[mode];
    const ModeItems &other = modeItems[1 - mode];
    if (isCurrentItemChecked(wanted.item))
        return;
    currentItem(other.item).setChecked(false);
    currentItem(wanted.item).setChecked(true);
    currentItem(other.hiddenItem).setChecked(false);
    currentItem(wanted.hiddenItem).setChecked(true);
    SwitchWindowMode(mode);
}

} // namespace

void SwitchWindowMode(int mode)
{
    // The document waits in Buffer while no editor window exists. IsSaved is
    // taken first: the old editor is left empty, which counts as no change.
    App.SavedBeforeSwitch = App.IsSaved;
    // Typing goes on inserting or overwriting as it did, as the INS panel,
    // which follows the key and not the window, still says.
    const bool overwrite = App.CurrentRichTextBox->overwriteMode();
    App.Buffer->moveContentsFrom(*App.CurrentRichTextBox);
    SaveWindowSettings();
    takeDialogsFromEditorWindow(); // open dialogs outlive the old window
    App.CurrentForm->Unload();

    App.WindowMode = mode == 1 ? 1 : 0;
    App.CurrentForm = App.WindowMode == 1 ? &frmSmall() : &frmNormal();
    stored::write(stored::SettingsSection, QStringLiteral("WindowState"),
                  stored::fromInteger(App.WindowMode));

    LoadWindowSettings(); // loads the new window, which binds its controls
    if (!isCurrentItemChecked("mnuWordwrap"))
        App.CurrentRichTextBox->setRightMargin(RichTextBox::NoWrapRightMargin);
    App.CurrentRichTextBox->moveContentsFrom(*App.Buffer); // Buffer is left empty
    App.CurrentRichTextBox->setOverwriteMode(overwrite);
    App.IsSaved = App.SavedBeforeSwitch;
    ApplyDefaultStyle();

    App.MenuHidden = !App.MenuHidden; // ToggleHideMenu flips it back and applies it
    ToggleHideMenu();
    currentWindow().show();
    App.CurrentStatusBar->setVisible(isCurrentItemChecked("mnuStatusBar"));
    SetTopMost(&currentWindow(), isCurrentItemChecked("mnuAlwaysTop"));
    giveDialogsToEditorWindow();
    UpdateTitle();
}

void ShowNormalWindow() { showWindowMode(0); }

void ShowSmallWindow() { showWindowMode(1); }
