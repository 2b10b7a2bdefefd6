#include "platform/dialogs/CommonDialog.h"

#include "platform/RuntimeError.h"
#include "platform/dialogs/ModalHost.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

#include <memory>

namespace {

std::unique_ptr<QPrinter> printerOfProgram;

// With no printer set up, printing goes to a PDF file named after the program
// in the user's documents folder (the home folder when there is none).
void printToPdfFile(QPrinter &printer)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    QString name = QCoreApplication::applicationName();
    if (name.isEmpty())
        name = QStringLiteral("Scrivlet");
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QDir(folder).filePath(name + QStringLiteral(".pdf")));
}

void deletePrinterOfProgram() { printerOfProgram.reset(); }

// A cancelled dialog raises the cancel error when the caller asked for it.
void finishDialog(const CommonDialog &dialog, bool accepted)
{
    if (!accepted && dialog.CancelError)
        throw RuntimeError(ErrCancel, QStringLiteral("Cancel was selected."));
}

} // namespace

CommonDialog::CommonDialog(QObject *parent)
    : QObject(parent)
{
}

QPrinter *CommonDialog::hDC() const { return &sharedPrinter(); }

void CommonDialog::ShowOpen() { finishDialog(*this, modalHost().showOpen(*this)); }

void CommonDialog::ShowSave() { finishDialog(*this, modalHost().showSave(*this)); }

void CommonDialog::ShowPrinter() { finishDialog(*this, modalHost().showPrinter(*this)); }

void CommonDialog::ShowFont() { finishDialog(*this, modalHost().showFont(*this)); }

void CommonDialog::ShowColor() { finishDialog(*this, modalHost().showColor(*this)); }

void CommonDialog::ShowPrintPreview(const std::function<void(QPrinter *)> &paintPages)
{
    modalHost().showPrintPreview(*this, paintPages);
}

QPrinter &CommonDialog::sharedPrinter()
{
    if (!printerOfProgram) {
        printerOfProgram = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (QPrinterInfo::availablePrinters().isEmpty())
            printToPdfFile(*printerOfProgram);
        // Released with the application, while the print system is still there.
        qAddPostRoutine(deletePrinterOfProgram);
    }
    return *printerOfProgram;
}
