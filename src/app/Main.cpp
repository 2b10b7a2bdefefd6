#include "app/Main.h"

#include "app/ProgramWiring.h"
#include "app/state/CurrentWindow.h"
#include "app/state/StoredValue.h"
#include "app/state/ViewToggles.h"
#include "app/state/WindowSettings.h"
#include "app/state/WindowTitle.h"
#include "app/state/modMainModule.h"
#include "appearance/FontSettings.h"
#include "document/FileCommands.h"
#include "editor/AppIcon.h"
#include "editor/BufferForm.h"
#include "editor/EditorForm.h"
#include "editor/EditorWindow.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/system/StatusBar.h"
#include "platform/system/TopMost.h"

#include <QAction>
#include <QApplication>
#include <QDir>

namespace {

// Printing knows left (0), right (1) and centre (2); anything else is left.
int alignmentOrLeft(int alignment) { return alignment >= 0 && alignment <= 2 ? alignment : 0; }

} // namespace

void Main(const QString &pathToOpen)
{
    wireProgram();
    QApplication::setWindowIcon(applicationIcon());

    App.FindText.clear();
    App.FindMatchCase = 0;
    App.FileTitle = Untitled;
    App.WindowMode = stored::readInteger(stored::SettingsSection, QStringLiteral("WindowState"), 0);
    App.MenuHidden
        = stored::readBoolean(stored::SettingsSection, QStringLiteral("HideMenu"), false);
    App.DefaultDir
        = stored::readText(stored::SettingsSection, QStringLiteral("DefaultDir"),
                           QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
    App.DefaultAlignment = alignmentOrLeft(
        stored::readInteger(stored::SettingsSection, QStringLiteral("DefaultAlignment"), 0));

    App.CurrentForm = App.WindowMode == 1 ? &frmSmall() : &frmNormal();
    LoadWindowSettings(); // loads the window, which binds its controls
    LoadFontSettings();
    App.MenuHidden = !App.MenuHidden; // ToggleHideMenu flips it back and applies it
    ToggleHideMenu();

    EditorWindow &window = currentWindow();
    window.show();
    SetTopMost(&window, isCurrentItemChecked("mnuAlwaysTop"));
    App.CurrentStatusBar->setVisible(isCurrentItemChecked("mnuStatusBar"));
    if (!isCurrentItemChecked("mnuWordwrap"))
        App.CurrentRichTextBox->setRightMargin(RichTextBox::NoWrapRightMargin);

    App.Buffer = frmBuffer().BufferBox();
    App.IsSaved = true;
    UpdateTitle();

    if (!pathToOpen.isEmpty())
        OpenDocument(pathToOpen);
}
