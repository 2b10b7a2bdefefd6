#include "editing/frmGoto.h"

#include "app/state/CurrentWindow.h"
#include "app/state/modMainModule.h"
#include "editing/OwnedDialogs.h"
#include "editor/EditorWindow.h"
#include "platform/richtext/RichTextBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <climits>

GotoDialog::GotoDialog(QWidget *owner)
    : ToolDialog(owner, "frmGoto", QStringLiteral("Goto Line"), 2865, 915)
{
    lblLineNumber = addControl<QLabel>("lblLineNumber", 120, 120, 1095, 255);
    txtLineNum = addControl<QLineEdit>("txtLineNum", 1200, 120, 1470, 285);
    cmdGo = addControl<QPushButton>("cmdGo", 120, 480, 1215, 375);
    cmdCancel = addControl<QPushButton>("cmdCancel", 1560, 480, 1215, 375);

    lblLineNumber->setText(QStringLiteral("Line Number:"));
    cmdGo->setText(QStringLiteral("Go"));
    cmdCancel->setText(QStringLiteral("Cancel"));
    lblLineNumber->setBuddy(txtLineNum); // names the text box, for assistive technology too

    setTabOrder(txtLineNum, cmdGo);
    setTabOrder(cmdGo, cmdCancel);
    txtLineNum->setFocus();
    cmdGo->setDefault(true);
    setCancelButton(cmdCancel);

    connect(cmdGo, &QPushButton::clicked, this, &GotoDialog::cmdGo_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &GotoDialog::Unload);
}

void GotoDialog::cmdGo_Click()
{
    RichTextBox &box = *App.CurrentRichTextBox;
    const int number = lineNumberEntry(txtLineNum->text());
    const int end = box.textLength();
    if (number == 0)
        box.setSelStart(0);
    else if (number > box.GetLineFromChar(end))
        box.setSelStart(end); // the last line, too, is left at its end
    else
        HighLowGameForGoto();
    Unload();
}

void GotoDialog::HighLowGameForGoto()
{
    RichTextBox &box = *App.CurrentRichTextBox;
    const int target = lineNumberEntry(txtLineNum->text());
    const auto line = [&box](int position) { return box.GetLineFromChar(position) + 1; };
    int high = box.textLength();
    int low = 0;
    int mid = 0;
    // Halves the range until mid lies on the line. Every line holds a
    // position, so for a line of the text low and high never meet first;
    // they stop the search for any other number.
    for (int current = line(mid); current != target && high - low > 1; current = line(mid)) {
        if (current > target)
            high = mid;
        else
            low = mid;
        mid = low + (high - low) / 2;
    }
    // The start of mid's line comes from the control itself: the position
    // panel, which shows the same column, is only as fresh as the last caret
    // move, and a text that wraps anew moves no caret.
    box.setSelStart(box.GetLineStartFromChar(mid));
}

GotoDialog &frmGoto() { return loadedDialog<GotoDialog>(&currentWindow()); }

bool isGotoLoaded() { return isDialogLoaded<GotoDialog>(); }

void EditGoTo() { showOwnedByCurrentForm(frmGoto()); }

int lineNumberEntry(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    qint64 number = 0;
    for (; i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'); ++i)
        number = std::min<qint64>(number * 10 + text.at(i).digitValue(), INT_MAX);
    // What follows, a fraction among it, does not count.
    return negative ? 0 : int(number);
}
