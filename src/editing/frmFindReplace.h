#pragma once

#include "editor/ToolDialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The Find and Replace dialog frmFindReplace, in its find layout ("Find") or
// its replace layout ("Replace"). Its buttons copy what it shows into the
// search state (FindText, ReplaceText, FindMatchCase, FindWholeWord) and then
// search, replace, or replace all in the current editor.
class FindReplaceDialog : public ToolDialog
{
    Q_OBJECT
public:
    enum Mode { FindLayout = 0, ReplaceLayout = 1 };

    explicit FindReplaceDialog(QWidget *owner);

    // Lays the dialog out for mode (FindLayout; any other value the replace
    // layout) and fills it from the search state.
    void Setmode(int mode);
    int ReplaceMode = 0;

    QLabel *lblFind;
    QLineEdit *txtFind;
    QPushButton *cmdFindNext;
    QLabel *lblReplace;
    QLineEdit *txtReplace;
    QPushButton *cmdReplace;
    QCheckBox *chkMatchcase;
    QPushButton *cmdReplaceAll;
    QCheckBox *chkWholeWord;
    QPushButton *cmdCancel;

protected:
    void changeEvent(QEvent *event) override;

private:
    void cmdFindNext_Click();
    void cmdReplace_Click();
    void cmdReplaceAll_Click();
    void enableActions(bool enabled);
    void copyFields();
};

// The shared instance, loaded (owned by the current editor window) if it is
// not; and whether it is loaded.
FindReplaceDialog &frmFindReplace();
bool isFindReplaceLoaded();

// Opens the dialog in its replace layout.
void EditReplace();

// Replaces every occurrence of FindText by ReplaceText in the current editor:
// within the selection, or in the whole text when nothing is selected. One
// step for Undo; nothing at all happens when there is no occurrence.
void replaceAllInEditor();
