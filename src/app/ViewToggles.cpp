#include "app/ViewToggles.h"

#include "app/CurrentWindow.h"
#include "app/EditorLayout.h"
#include "app/modMainModule.h"
#include "editor/EditorForm.h"
#include "editor/EditorWindow.h"
#include "platform/RichTextBox.h"
#include "platform/StatusBar.h"
#include "platform/TopMost.h"

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
