#pragma once

#include "editor/ToolDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

// The Go To Line dialog frmGoto: Go puts the caret of the current editor at
// the start of the line whose number the user typed.
class GotoDialog : public ToolDialog
{
    Q_OBJECT
public:
    explicit GotoDialog(QWidget *owner);

    // Puts the caret at the start of the line txtLineNum names, found by
    // halving the text between a position before it and one after it.
    void HighLowGameForGoto();

    QLabel *lblLineNumber;
    QLineEdit *txtLineNum;
    QPushButton *cmdGo;
    QPushButton *cmdCancel;

private:
    void cmdGo_Click();
};

// The shared instance, loaded (owned by the current editor window) if it is
// not.
GotoDialog &frmGoto();
bool isGotoLoaded();

// Opens the Go To Line dialog, or brings it forward as it is.
void EditGoTo();

// The line number an entry asks for: the number at its start, blanks before
// it skipped. A text that does not start with a number, and a negative
// number, ask for 0; a fraction counts for its whole part ('5.7' is 5);
// numbers too large for a line number ask for the largest.
int lineNumberEntry(const QString &text);
