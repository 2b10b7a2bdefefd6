#include "editing/OwnedDialogs.h"

#include "app/state/CurrentWindow.h"
#include "editor/EditorWindow.h"
#include "platform/system/TopMost.h"

#include <QAction>
#include <QDialog>
#include <QPointer>

#include <algorithm>
#include <vector>

namespace {

// A dialog shown by its owner, as long as it exists.
struct OwnedDialog
{
    QPointer<QDialog> dialog;
    QMetaObject::Connection alwaysOnTop; // to the owner's Always On Top item
    QPoint position;                     // where it stood when its owner went
};

std::vector<OwnedDialog> &ownedDialogs()
{
    static std::vector<OwnedDialog> dialogs;
    dialogs.erase(std::remove_if(dialogs.begin(), dialogs.end(),
                                 [](const OwnedDialog &d) { return !d.dialog; }),
                  dialogs.end());
    return dialogs;
}

OwnedDialog &ownedDialog(QDialog &dialog)
{
    auto &dialogs = ownedDialogs();
    const auto found = std::find_if(dialogs.begin(), dialogs.end(),
                                    [&](const OwnedDialog &d) { return d.dialog == &dialog; });
    if (found != dialogs.end())
        return *found;
    return dialogs.emplace_back(OwnedDialog{&dialog, {}, {}});
}

// Shows the dialog owned by the current editor window, top-most exactly
// while the window's Always On Top is checked, also when the user changes it
// with the dialog open.
void showWithCurrentForm(OwnedDialog &owned)
{
    QDialog &dialog = *owned.dialog;
    dialog.show();
    QAction &alwaysOnTop = currentItem("mnuAlwaysTop");
    SetTopMost(&dialog, alwaysOnTop.isChecked());
    QObject::disconnect(owned.alwaysOnTop);
    owned.alwaysOnTop = QObject::connect(&alwaysOnTop, &QAction::toggled, &dialog,
                                         [&dialog](bool checked) { SetTopMost(&dialog, checked); });
}

} // namespace

void showOwnedByCurrentForm(QDialog &dialog)
{
    // A dialog that has not been moved yet is centred on its owner as it
    // shows.
    showWithCurrentForm(ownedDialog(dialog));
}

void takeDialogsFromEditorWindow()
{
    for (OwnedDialog &owned : ownedDialogs()) {
        QDialog &dialog = *owned.dialog;
        if (!dialog.isVisible())
            continue; // closed, and going with its owner
        owned.position = dialog.pos();
        dialog.setParent(nullptr, dialog.windowFlags());
    }
}

void giveDialogsToEditorWindow()
{
    bool given = false;
    for (OwnedDialog &owned : ownedDialogs()) {
        QDialog &dialog = *owned.dialog;
        if (dialog.parentWidget())
            continue;
        dialog.setParent(&currentWindow(), dialog.windowFlags());
        dialog.move(owned.position);
        showWithCurrentForm(owned);
        given = true;
    }
    // Showing a dialog activates it; typing goes on in the new window.
    if (given)
        currentWindow().activateWindow();
}
