#include "document/PrintCommands.h"

#include "app/state/CurrentWindow.h"
#include "app/state/modMainModule.h"
#include "document/ErrorTrap.h"
#include "document/PrintCopy.h"
#include "document/StagingBuffer.h"
#include "editor/EditorWindow.h"
#include "platform/dialogs/CommonDialog.h"
#include "platform/richtext/RichTextBox.h"

namespace {

// The Print dialog: print-to-file hidden, a device context returned, no page
// range; the Selection choice is added when text is selected.
constexpr long PrintDialogFlags = cdlPDHidePrintToFile | cdlPDReturnDC | cdlPDNoPageNums;
// The dialog's flags after it when the selection alone is to be printed.
constexpr long PrintSelectionFlags = PrintDialogFlags | cdlPDSelection;
static_assert(PrintDialogFlags == 0x100108 && PrintSelectionFlags == 0x100109);

CommonDialog &commonDialog() { return *currentWindow().commonDialog1(); }

} // namespace

void FilePageSetup()
{
    runTrapped([] {
        CommonDialog &dialog = commonDialog();
        dialog.Flags = cdlPDPrintSetup;
        dialog.ShowPrinter();
    });
}

void FilePrint()
{
    runTrapped([] {
        CommonDialog &dialog = commonDialog();
        RichTextBox &editor = *App.CurrentRichTextBox;
        dialog.CancelError = true;
        dialog.Flags = PrintDialogFlags;
        if (editor.SelLength() != 0)
            dialog.Flags += cdlPDSelection;
        dialog.ShowPrinter();
        const PrintedPart part = dialog.Flags == PrintSelectionFlags ? PrintedPart::SelectionOnly
                                                                     : PrintedPart::WholeDocument;

        RichTextBox &buffer = bufferBox();
        const EmptiedAfterUse emptied{buffer};
        composePrintCopy(buffer, editor, part);
        for (int copy = 1; copy <= dialog.Copies; ++copy)
            buffer.SelPrint(dialog.hDC());
    });
}

void FilePrintPreview()
{
    runTrapped([] {
        RichTextBox &editor = *App.CurrentRichTextBox;
        const PrintedPart part
            = editor.SelLength() != 0 ? PrintedPart::SelectionOnly : PrintedPart::WholeDocument;
        commonDialog().ShowPrintPreview([&editor, part](QPrinter *printer) {
            // The preview asks for its pages whenever its page set-up changes.
            runTrapped([&] {
                RichTextBox &buffer = bufferBox();
                const EmptiedAfterUse emptied{buffer};
                composePrintCopy(buffer, editor, part);
                buffer.SelPrint(printer);
            });
        });
    });
}
