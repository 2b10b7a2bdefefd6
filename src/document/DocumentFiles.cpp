#include "document/DocumentFiles.h"

#include "app/state/CurrentWindow.h"
#include "app/state/StoredValue.h"
#include "app/state/WindowTitle.h"
#include "app/state/modMainModule.h"
#include "appearance/style/SelectionStyle.h"
#include "document/DocumentPath.h"
#include "document/ErrorTrap.h"
#include "document/FileSizeLimit.h"
#include "document/StagingBuffer.h"
#include "editor/EditorWindow.h"
#include "platform/RuntimeError.h"
#include "platform/dialogs/CommonDialog.h"
#include "platform/dialogs/MessageBox.h"
#include "platform/richtext/PlainTextReading.h"
#include "platform/richtext/RichTextBox.h"

#include <memory>

namespace {

// The file dialogs' set-up: the filter, and the flags Explorer style, file
// must exist, no read-only check box, confirm before replacing a file.
const QString FileFilter = QStringLiteral(
    "Text Documents (*.txt)|*.txt|Rich Text Documents (*.rtf)|*.rtf|All Files|*.*");
constexpr long FileDialogFlags
    = cdlOFNExplorer | cdlOFNFileMustExist | cdlOFNHideReadOnly | cdlOFNOverwritePrompt;

CommonDialog &fileDialog()
{
    CommonDialog &dialog = *currentWindow().commonDialog1();
    dialog.InitDir = App.DefaultDir;
    dialog.Filter = FileFilter;
    dialog.Flags = FileDialogFlags;
    dialog.CancelError = true;
    return dialog;
}

using PlainTextRead = std::unique_ptr<PlainTextReading>;

// The plain-text file being read while the program starts, and its path.
struct ReadAhead
{
    QString path;
    PlainTextRead file;
};

ReadAhead &readAhead()
{
    static ReadAhead ahead;
    return ahead;
}

// What was read ahead serves the first open only, and only when it opens that
// same path; any later open reads its file itself.
PlainTextRead takeReadAhead(const QString &path)
{
    ReadAhead &ahead = readAhead();
    PlainTextRead file = std::move(ahead.file);
    return ahead.path == path ? std::move(file) : nullptr;
}

// The plain-text file at path: what was read ahead, or else the file read
// now. A read ahead that failed is made again, as the file may have come or
// changed since.
PlainTextRead readPlainText(const QString &path, PlainTextRead readAhead)
{
    if (readAhead && readAhead->begins())
        return readAhead;
    return std::make_unique<PlainTextReading>(path);
}

// Reads the file whole and then puts it into the editor in one step: the
// editor is not touched until the file has been read. Rich Text is read into
// Buffer and moved over. Plain text takes the format of Buffer's insertion
// point, given the default style: the whole text arrives in it, as if it were
// selected and formatted afterwards, without a second pass over it; it is
// taken in while the rest is decoded, and may have been read ahead (see
// readPlainText).
void loadIntoEditor(const QString &path, PlainTextRead readAhead)
{
    RichTextBox &buffer = bufferBox();
    const EmptiedAfterUse emptied{buffer};
    if (fileTypeOf(fileNameOf(path)) == RichTextBox::RichText) {
        buffer.LoadFile(path, RichTextBox::RichText);
        // Saved as plain text later, it is written as a new document is.
        buffer.setPlainTextFormat(PlainTextFormat());
        App.CurrentRichTextBox->moveContentsFrom(buffer);
    } else {
        const PlainTextRead file = readPlainText(path, std::move(readAhead));
        buffer.setSelStart(0);
        setSelectionStyle(buffer, App.DefStyle);
        App.CurrentRichTextBox->showPlainTextFile(*file, buffer);
    }
}

// The file at path is now the document's, which is clean. Its folder is
// where the file dialogs start, also after a restart.
void nameDocumentAfter(const QString &path)
{
    App.FileTitle = fileNameOf(path);
    App.DefaultDir = folderOf(path);
    stored::write(stored::SettingsSection, QStringLiteral("DefaultDir"), App.DefaultDir);
    App.IsSaved = true;
    UpdateTitle();
}

void showSaveFailure(const RuntimeError &error)
{
    MsgBox(QStringLiteral("Scrivlet could not save %1.\r\nError %2: %3")
               .arg(App.FileTitle)
               .arg(error.Number())
               .arg(error.Description()),
           vbOKOnly + vbExclamation, QStringLiteral("Save Failed"));
}

} // namespace

void readDocumentFileAhead(const QString &path)
{
    const QString absolute = absolutePath(path);
    if (fileTypeOf(fileNameOf(absolute)) == RichTextBox::RichText)
        return;
    ReadAhead &ahead = readAhead();
    ahead.path = absolute;
    ahead.file = std::make_unique<PlainTextReading>(absolute);
}

void openDocumentFile(const QString &path)
{
    PlainTextRead readAhead = takeReadAhead(path);
    if (!isWithinSizeLimit(path))
        return;
    try {
        loadIntoEditor(path, std::move(readAhead));
    } catch (const FileTooLargeError &error) {
        // It grew past the limit after its length was taken.
        showTooLargeMessage(error.length());
        return;
    }
    nameDocumentAfter(path);
}

void saveDocument()
{
    if (App.FileTitle == Untitled) {
        saveDocumentAs();
        return;
    }
    App.CurrentRichTextBox->SaveFile(documentPath(App.DefaultDir, App.FileTitle),
                                     fileTypeOf(App.FileTitle));
    App.IsSaved = true;
    UpdateTitle();
}

void saveDocumentAs()
{
    CommonDialog &dialog = fileDialog();
    dialog.DefaultExt = QStringLiteral(".txt");
    dialog.ShowSave();
    App.CurrentRichTextBox->SaveFile(dialog.Filename, fileTypeOf(dialog.FileTitle));
    nameDocumentAfter(dialog.Filename);
}

bool saveReportingFailure()
{
    if (App.FileTitle == Untitled)
        return runTrapped(saveDocumentAs);
    try {
        saveDocument();
        return true;
    } catch (const RuntimeError &error) {
        showSaveFailure(error);
        return false;
    }
}

QString chooseFileToOpen()
{
    CommonDialog &dialog = fileDialog();
    // Left from an earlier Save As, a default extension would turn the
    // choice of a file without one into a name that does not exist.
    dialog.DefaultExt.clear();
    dialog.ShowOpen();
    return dialog.Filename;
}
