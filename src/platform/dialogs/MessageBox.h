#pragma once

#include <QString>

#include <vector>

// Message boxes. Buttons, icon and default button are added together as
// flags; the result tells which button was pressed.
enum MsgBoxStyle {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton1 = 0,
    vbDefaultButton2 = 256,
    vbDefaultButton3 = 512,
};

// The parts of the flags: which buttons, which icon, which default button.
enum MsgBoxStyleMask {
    MsgBoxButtonsMask = 0x7,
    MsgBoxIconMask = 0x70,
    MsgBoxDefaultButtonMask = 0x300,
};
// The default button's index (0 for the first) from the flags.
inline int msgBoxDefaultIndex(int buttons)
{
    return (buttons & MsgBoxDefaultButtonMask) / vbDefaultButton2;
}

enum MsgBoxResult {
    vbOK = 1,
    vbCancel = 2,
    vbYes = 6,
    vbNo = 7,
};

// Shows a modal message box through the modal seam (real box in the program,
// scripted answer in tests). Closing the box counts as Cancel where it has a
// Cancel button, and as No in a Yes/No box.
int MsgBox(const QString &prompt, int buttons = vbOKOnly, const QString &title = QString());

// The answers a box with these buttons offers, in the order of its buttons
// (vbDefaultButton2 makes the second the default), and the answer that Esc
// and the close box give. Button sets other than those above give OK only.
std::vector<int> msgBoxAnswers(int buttons);
int msgBoxEscapeAnswer(int buttons);
