#pragma once

#include <Qt>

// Key codes and shift states as the program's handlers expect them: virtual
// key codes (65 for A, 114 for F3, 8 for Backspace...) and a shift bit set
// (1 Shift, 2 Ctrl, 4 Alt).
int vbKeyCode(int qtKey);
int vbShiftState(Qt::KeyboardModifiers modifiers);
