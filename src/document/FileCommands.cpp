#include "document/FileCommands.h"

#include "app/state/WindowTitle.h"
#include "app/state/modMainModule.h"
#include "document/DocumentFiles.h"
#include "document/DocumentPath.h"
#include "document/ErrorTrap.h"
#include "document/ProgramEnd.h"
#include "document/SaveQuestion.h"
#include "platform/richtext/RichTextBox.h"

void FileNew()
{
    if (!documentMayBeDiscarded())
        return;
    RichTextBox &editor = *App.CurrentRichTextBox;
    editor.setText(QString());
    editor.setPlainTextFormat(PlainTextFormat());
    App.FileTitle = Untitled;
    App.IsSaved = true;
    UpdateTitle();
}

void FileOpen()
{
    runTrapped([] {
        askBeforeDiscarding();
        openDocumentFile(chooseFileToOpen());
    });
}

void OpenDocument(const QString &path)
{
    runTrapped([&path] {
        askBeforeDiscarding();
        openDocumentFile(absolutePath(path));
    });
}

void FileSave() { saveReportingFailure(); }

void FileSaveAs() { runTrapped(saveDocumentAs); }

void FileExit()
{
    if (documentMayBeDiscarded())
        endProgramNow();
}
