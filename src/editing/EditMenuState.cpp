#include "editing/EditMenuState.h"

#include "app/state/CurrentWindow.h"
#include "app/state/modMainModule.h"
#include "editor/EditorWindow.h"
#include "platform/dialogs/ModalHost.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/system/Clipboard.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

namespace {

// The items of one menu set whose enabled state depends on the moment.
struct EditItems
{
    const char *undo;
    const char *cut;
    const char *copy;
    const char *paste;
    const char *del;
};

constexpr EditItems menuBarItems{"mnuUndo", "mnuCut", "mnuCopy", "mnuPaste", "mnuDelete"};
constexpr EditItems hiddenSetItems{"mnuHidUndo", "mnuHidCut", "mnuHidCopy", "mnuHidPaste",
                                   "mnuHidDelete"};
constexpr EditItems rightClickItems{"mnuRghtUndo", "mnuRghtCut", "mnuRghtCopy", "mnuRghtPaste",
                                    "mnuRghtDelete"};

// What the enabled state follows, read once per preparation.
struct EditMoment
{
    bool clipboardHasText = Clipboard::GetFormat(Clipboard::vbCFText);
    bool textSelected = App.CurrentRichTextBox->SelLength() != 0;
};

void enable(const EditItems &items, const EditMoment &moment)
{
    currentItem(items.undo).setEnabled(false);
    currentItem(items.paste).setEnabled(moment.clipboardHasText);
    for (const char *item : {items.cut, items.copy, items.del})
        currentItem(item).setEnabled(moment.textSelected);
}

} // namespace

void PrepareEditMenu()
{
    const EditMoment moment;
    enable(menuBarItems, moment);
    enable(hiddenSetItems, moment);
}

void showRightClickMenu()
{
    const EditMoment moment;
    enable(App.MenuHidden ? hiddenSetItems : rightClickItems, moment);
    QMenu *popup = currentWindow().menu(
        QLatin1String(App.MenuHidden ? "mnuHiddenMenuset" : "mnuRightClick"));
    // The chosen item has run its command when the popup returns; that may
    // have replaced the window, so nothing here touches it afterwards.
    modalHost().popupMenu(*popup, QCursor::pos());
}
