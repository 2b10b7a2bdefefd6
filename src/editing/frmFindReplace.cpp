#include "editing/frmFindReplace.h"

#include "app/state/CurrentWindow.h"
#include "app/state/modMainModule.h"
#include "editing/FindNext.h"
#include "editing/OwnedDialogs.h"
#include "editing/ReplaceAllPasses.h"
#include "editor/EditorWindow.h"
#include "platform/richtext/RichTextBox.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace {

// The dialog's designed inside size, which is the replace layout's. Its
// outer heights, 1920 twips in the replace layout and 1220 in the find
// layout, hold a title bar and borders of 1920 - 1560 twips: the find
// layout's inside is what is left of 1220.
constexpr int InsideWidth = 4680;
constexpr int ReplaceInsideHeight = 1560;
constexpr int FrameHeight = 1920 - ReplaceInsideHeight;
constexpr int FindInsideHeight = 1220 - FrameHeight;

int checkValue(const QCheckBox &box) { return box.isChecked() ? 1 : 0; }

} // namespace

FindReplaceDialog::FindReplaceDialog(QWidget *owner)
    : ToolDialog(owner, "frmFindReplace", QStringLiteral("Find"), InsideWidth, ReplaceInsideHeight)
{
    lblFind = addControl<QLabel>("lblFind", 120, 120, 495, 255);
    txtFind = addControl<QLineEdit>("txtFind", 1200, 120, 2295, 285);
    cmdFindNext = addControl<QPushButton>("cmdFindNext", 3600, 120, 975, 285);
    lblReplace = addControl<QLabel>("lblReplace", 120, 480, 1095, 255);
    txtReplace = addControl<QLineEdit>("txtReplace", 1200, 480, 2295, 285);
    cmdReplace = addControl<QPushButton>("cmdReplace", 3600, 480, 975, 285);
    chkMatchcase = addControl<QCheckBox>("chkMatchcase", 120, 840, 1575, 255);
    cmdReplaceAll = addControl<QPushButton>("cmdReplaceAll", 3600, 840, 975, 285);
    chkWholeWord = addControl<QCheckBox>("chkWholeWord", 120, 1200, 1695, 255);
    cmdCancel = addControl<QPushButton>("cmdCancel", 3600, 1200, 975, 285);

    lblFind->setText(QStringLiteral("Find:"));
    cmdFindNext->setText(QStringLiteral("Find Next"));
    lblReplace->setText(QStringLiteral("Replace with:"));
    cmdReplace->setText(QStringLiteral("Replace"));
    chkMatchcase->setText(QStringLiteral("Match Case"));
    cmdReplaceAll->setText(QStringLiteral("Replace All"));
    chkWholeWord->setText(QStringLiteral("Whole Word"));
    cmdCancel->setText(QStringLiteral("Cancel"));
    // The labels name their text boxes, for assistive technology too.
    lblFind->setBuddy(txtFind);
    lblReplace->setBuddy(txtReplace);

    // Tab order: txtFind, txtReplace, chkMatchcase, cmdFindNext, cmdReplace,
    // cmdReplaceAll, cmdCancel, then (after the two labels, which take no
    // focus) chkWholeWord.
    setTabOrder(txtFind, txtReplace);
    setTabOrder(txtReplace, chkMatchcase);
    setTabOrder(chkMatchcase, cmdFindNext);
    setTabOrder(cmdFindNext, cmdReplace);
    setTabOrder(cmdReplace, cmdReplaceAll);
    setTabOrder(cmdReplaceAll, cmdCancel);
    setTabOrder(cmdCancel, chkWholeWord);
    txtFind->setFocus();

    cmdFindNext->setDefault(true);
    setCancelButton(cmdCancel);

    connect(cmdFindNext, &QPushButton::clicked, this, &FindReplaceDialog::cmdFindNext_Click);
    connect(cmdReplace, &QPushButton::clicked, this, &FindReplaceDialog::cmdReplace_Click);
    connect(cmdReplaceAll, &QPushButton::clicked, this, &FindReplaceDialog::cmdReplaceAll_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &FindReplaceDialog::Unload);
    connect(txtFind, &QLineEdit::textChanged, this,
            [this](const QString &text) { enableActions(!text.isEmpty()); });
}

void FindReplaceDialog::Setmode(int mode)
{
    const bool replace = mode != FindLayout;
    if (replace) {
        setWindowTitle(QStringLiteral("Replace"));
        setInsideSizeTwips(InsideWidth, ReplaceInsideHeight);
        moveInTwips(*chkMatchcase, 120, 840);
        moveInTwips(*chkWholeWord, 120, 1200);
        moveInTwips(*cmdCancel, 3600, 1200);
        cmdCancel->setText(QStringLiteral("Close"));
    } else {
        // The two check boxes side by side on the second row, Cancel beside
        // them.
        setWindowTitle(QStringLiteral("Find"));
        chkMatchcase->move(chkMatchcase->x(), lblReplace->y());
        chkWholeWord->move(chkMatchcase->geometry().right() + 1, chkMatchcase->y());
        cmdCancel->move(cmdCancel->x(), cmdReplace->y());
        cmdCancel->setText(QStringLiteral("Cancel"));
        setInsideSizeTwips(InsideWidth, FindInsideHeight);
    }
    for (QWidget *replaceRow :
         {static_cast<QWidget *>(lblReplace), static_cast<QWidget *>(txtReplace),
          static_cast<QWidget *>(cmdReplace), static_cast<QWidget *>(cmdReplaceAll)})
        replaceRow->setVisible(replace);

    chkMatchcase->setChecked(App.FindMatchCase == 1);
    chkWholeWord->setChecked(App.FindWholeWord == 1);
    txtFind->setText(App.FindText);
    if (replace)
        txtReplace->setText(App.ReplaceText);
    enableActions(!txtFind->text().isEmpty());
    ReplaceMode = replace ? 1 : 0;
}

void FindReplaceDialog::changeEvent(QEvent *event)
{
    ToolDialog::changeEvent(event);
    // On activation the buttons follow the search text the dialog shows,
    // which is FindText when it has just been laid out. (FindText itself
    // would disable them beside a text the user has typed but not yet
    // searched for, and enable them beside an empty box.)
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        enableActions(!txtFind->text().isEmpty());
}

void FindReplaceDialog::enableActions(bool enabled)
{
    cmdFindNext->setEnabled(enabled);
    cmdReplace->setEnabled(enabled);
    cmdReplaceAll->setEnabled(enabled);
}

void FindReplaceDialog::copyFields()
{
    App.FindText = txtFind->text();
    App.ReplaceText = txtReplace->text();
    App.FindMatchCase = checkValue(*chkMatchcase);
    App.FindWholeWord = checkValue(*chkWholeWord);
}

void FindReplaceDialog::cmdFindNext_Click()
{
    copyFields();
    if (ReplaceMode == 0)
        Unload();
    EditFindNext();
}

void FindReplaceDialog::cmdReplace_Click()
{
    copyFields();
    RichTextBox &box = *App.CurrentRichTextBox;
    // Only the occurrence a search selected is replaced; letter case counts,
    // whatever Match Case says.
    if (box.SelLength() != 0 && box.SelText() == App.FindText) {
        const int start = box.SelStart();
        box.setSelText(txtReplace->text());
        findNextAfterReplacing(start, box.SelStart());
    } else {
        EditFindNext();
    }
}

void FindReplaceDialog::cmdReplaceAll_Click()
{
    copyFields();
    replaceAllInEditor();
}

FindReplaceDialog &frmFindReplace() { return loadedDialog<FindReplaceDialog>(&currentWindow()); }

bool isFindReplaceLoaded() { return isDialogLoaded<FindReplaceDialog>(); }

void EditReplace()
{
    frmFindReplace().Setmode(FindReplaceDialog::ReplaceLayout);
    showOwnedByCurrentForm(frmFindReplace());
}

void replaceAllInEditor()
{
    RichTextBox &box = *App.CurrentRichTextBox;
    const bool inSelection = box.SelLength() != 0;
    const int start = inSelection ? box.SelStart() : 0;
    const QString text = inSelection ? box.SelText() : box.Text();
    std::vector<TextReplacement> replacements
        = replaceAllPasses(text, App.FindText, App.ReplaceText, findOptions());
    if (replacements.empty())
        return;
    int replacedLength = int(text.size());
    for (TextReplacement &replacement : replacements) {
        replacement.start += start;
        replacedLength += int(replacement.text.size()) - replacement.length;
    }
    box.replaceInTurn(replacements);
    // Over a selection the caret ends after what was selected.
    if (inSelection)
        box.setSelStart(start + replacedLength);
}
