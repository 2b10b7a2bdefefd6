#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QPrinter;

// Bits of CommonDialog::Flags, in the platform's numbering.
enum CommonDialogFlag : long {
    // Open and Save As.
    cdlOFNOverwritePrompt = 0x2,
    cdlOFNHideReadOnly = 0x4,
    cdlOFNFileMustExist = 0x1000,
    cdlOFNExplorer = 0x80000,
    // Print and printer setup.
    cdlPDSelection = 0x1,
    cdlPDPageNums = 0x2,
    cdlPDNoSelection = 0x4,
    cdlPDNoPageNums = 0x8,
    cdlPDPrintSetup = 0x40,
    cdlPDReturnDC = 0x100,
    cdlPDHidePrintToFile = 0x100000,
    // Colour: start on Color; the custom-colour part open (the Qt dialog
    // always shows it).
    cdlCCRGBInit = 0x1,
    cdlCCFullOpen = 0x2,
    // Font: screen and printer fonts, and the effects part (strikethrough,
    // underline, colour), which the Qt dialog always shows.
    cdlCFScreenFonts = 0x1,
    cdlCFPrinterFonts = 0x2,
    cdlCFEffects = 0x100,
};

// The common-dialog component of a window: Open, Save As, Print, printer
// setup, Font and Colour. Properties are set before a Show call and read after
// it. With CancelError true, a cancelled dialog raises RuntimeError ErrCancel
// (32755); otherwise a cancel returns quietly and the properties keep their
// values. Every dialog goes through the modal seam (ModalHost).
class CommonDialog : public QObject
{
    Q_OBJECT
public:
    explicit CommonDialog(QObject *parent = nullptr);

    // File dialogs. Filter uses "Description|pattern|Description|pattern";
    // FilterIndex is 1-based. After the dialog, Filename is the full path
    // chosen (native separators) and FileTitle the name without its folder.
    QString Filename;
    QString FileTitle;
    QString InitDir;
    QString Filter;
    int FilterIndex = 0;
    QString DefaultExt;

    // Dialog flags in the platform's numbering: for file dialogs 2 overwrite
    // prompt, 4 hide read-only, 0x1000 file must exist, 0x80000 explorer
    // style; for the print dialog 1 selection, 0x8 no page numbers, 0x100 return
    // a device context, 0x100000 hide print-to-file, 64 printer setup instead
    // of Print. The print dialog updates bit 1 from the user's choice of
    // "Selection" (and bit 2 from a choice of a page range).
    long Flags = 0;
    bool CancelError = false;

    // Print dialog: copies asked for; the printer chosen stands for the device
    // context (hDC) the program prints to.
    int Copies = 1;
    QPrinter *hDC() const;

    // Colour dialog and the colour of the font dialog: packed RGB.
    qint32 Color = 0;

    // Font dialog.
    QString FontName;
    float FontSize = 0;
    bool FontBold = false;
    bool FontItalic = false;
    bool FontStrikethru = false;
    bool FontUnderline = false;

    void ShowOpen();
    void ShowSave();
    void ShowPrinter();
    void ShowFont();
    void ShowColor();
    // Print Preview: shows the pages paintPages prints, on the program's
    // printer; the user may print them from there. Never raises the cancel
    // error.
    void ShowPrintPreview(const std::function<void(QPrinter *)> &paintPages);

    // The printer shared by every dialog of the program, so that the choices
    // made in printer setup are those the next Print dialog starts with. When
    // no printer is set up it prints to a PDF file.
    static QPrinter &sharedPrinter();
};
