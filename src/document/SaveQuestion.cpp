#include "document/SaveQuestion.h"

#include "app/state/modMainModule.h"
#include "document/DocumentFiles.h"
#include "platform/RuntimeError.h"
#include "platform/dialogs/MessageBox.h"

int AskSaveChanges()
{
    return MsgBox(QStringLiteral("Save the changes to %1 before continuing?").arg(App.FileTitle),
                  vbYesNoCancel + vbInformation + vbDefaultButton1,
                  QStringLiteral("Save Changes?"));
}

bool documentMayBeDiscarded()
{
    if (App.IsSaved)
        return true;
    switch (AskSaveChanges()) {
    case vbYes: return saveReportingFailure();
    case vbNo: return true;
    default: return false;
    }
}

void askBeforeDiscarding()
{
    if (App.IsSaved)
        return;
    switch (AskSaveChanges()) {
    case vbYes: saveDocument(); break;
    case vbNo: break;
    default: throw RuntimeError(ErrCancel, QStringLiteral("Cancel was selected."));
    }
}
