#include "appearance/frmAbout.h"

#include "app/state/CurrentWindow.h"
#include "app/state/modMainModule.h"
#include "appearance/AboutPicture.h"
#include "document/ErrorTrap.h"
#include "document/ProgramEnd.h"
#include "document/SaveQuestion.h"
#include "editor/EditorWindow.h"
#include "platform/dialogs/MessageBox.h"
#include "platform/system/Settings.h"
#include "platform/system/TopMost.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

AboutDialog::AboutDialog(QWidget *owner)
    : ToolDialog(owner, "frmAbout", QStringLiteral("About Scrivlet"), 3450, 1965)
{
    Label1 = addControl<QLabel>("Label1", 720, 120, 735, 255);
    Label2 = addControl<QLabel>("Label2", 120, 480, 1935, 255);
    Label3 = addControl<QLabel>("Label3", 120, 720, 1815, 255);
    Picture1 = addControl<AboutPicture>("Picture1", 2280, 360, 825, 540);
    Command1 = addControl<QPushButton>("Command1", 360, 1080, 1335, 375);
    Command2 = addControl<QPushButton>("Command2", 2040, 1080, 1335, 375);

    Label1->setText(QStringLiteral("Scrivlet"));
    Label2->setText(QStringLiteral("Scrivlet was Written by:"));
    Label3->setText(QStringLiteral("The Scrivlet authors"));
    Command1->setText(QStringLiteral("Woopty!"));
    Command2->setText(QStringLiteral("Clean Registry"));
    fitCaptions();
    setTabOrder(Command1, Command2);
    Command1->setFocus();

    connect(Command1, &QPushButton::clicked, this, &AboutDialog::Unload);
    // A failure to delete the settings is reported, not passed over: the
    // program would otherwise end as if they were gone.
    connect(Command2, &QPushButton::clicked, this,
            [this] { runTrapped([this] { Command2_Click(); }); });
}

void AboutDialog::Form_Load()
{
    SetTopMost(this, true);
    const QScreen *screen = parentWidget() ? parentWidget()->screen() : this->screen();
    if (screen) {
        QRect centred(QPoint(), frameSize());
        centred.moveCenter(screen->availableGeometry().center());
        move(centred.topLeft());
    }
}

void AboutDialog::Command2_Click()
{
    const QString prompt
        = QStringLiteral("This Will Clean your registry of Scrivlet settings.\r\n"
                         "This also requires that Scrivlet close itself afterwards.");
    if (MsgBox(prompt, vbOKCancel, QStringLiteral("Clean Registry?")) != vbOK)
        return;
    // Unsaved changes are not thrown away unasked. Cancel, or a save that did
    // not happen, keeps the program, the document and the settings.
    if (!documentMayBeDiscarded())
        return;
    // Last, so that nothing the save stored outlives the cleanup; the program
    // then ends without writing anything back.
    CleanRegistry();
    endProgramNow();
}

void HelpAbout()
{
    QPointer<AboutDialog> dialog = new AboutDialog(&currentWindow());
    dialog->Form_Load();
    dialog->exec();
}

void CleanRegistry() { DeleteSetting(AppName); }
