#include "platform/dialogs/MessageBox.h"

#include "platform/dialogs/ModalHost.h"

int MsgBox(const QString &prompt, int buttons, const QString &title)
{
    return modalHost().messageBox(prompt, buttons, title);
}

std::vector<int> msgBoxAnswers(int buttons)
{
    switch (buttons & MsgBoxButtonsMask) {
    case vbOKCancel: return {vbOK, vbCancel};
    case vbYesNoCancel: return {vbYes, vbNo, vbCancel};
    case vbYesNo: return {vbYes, vbNo};
    default: return {vbOK};
    }
}

int msgBoxEscapeAnswer(int buttons)
{
    switch (buttons & MsgBoxButtonsMask) {
    case vbOKCancel:
    case vbYesNoCancel: return vbCancel;
    case vbYesNo: return vbNo;
    default: return vbOK;
    }
}
