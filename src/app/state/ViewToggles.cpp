#include "app/state/ViewToggles.h"

#include "app/state/CurrentWindow.h"
#include "app/state/EditorLayout.h"
#include "app/state/modMainModule.h"
#include "editor/EditorForm.h"
#include "editor/EditorWindow.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/system/StatusBar.h"
#include "platform/system/TopMost.h"

#include <QAction>

namespace {

void setChecked(const char *item, const char *hiddenItem, bool checked)
{
    currentItem(item).setChecked(checked);
    currentItem(hiddenItem).setChecked(checked);
}

// Flips the check mark of a view option in both menu sets; returns it.
bool flipOption(const char *item, const char *hiddenItem)
{
    const bool checked = !isCurrentItemChecked(item);
    setChecked(item, hiddenItem, checked);
    return checked;
}

const char *const menuBarMenus[] = {"mnuFile", "mnuEdit", "mnuFormat", "mnuView", "mnuHelp"};

} // namespace

void ToggleWordwrap()
{
    const bool wrap = flipOption("mnuWordwrap", "mnuHidWordwrap");
    App.CurrentRichTextBox->setRightMargin(wrap ? 0 : RichTextBox::NoWrapRightMargin);
}

void ToggleAlwaysTop()
{
    SetTopMost(&currentWindow(), flipOption("mnuAlwaysTop", "mnuHidAlwaysTop"));
}

void ToggleStatusBar()
{
    App.CurrentStatusBar->setVisible(flipOption("mnuStatusBar", "mnuHidStatusBar"));
    LayoutEditor();
}

void ToggleHideMenu()
{
    App.MenuHidden = !App.MenuHidden;
    setChecked("mnuHideMenu", "mnuHidHideMenu", App.MenuHidden);
    for (const char *menu : menuBarMenus)
        currentItem(menu).setVisible(!App.MenuHidden);
}
