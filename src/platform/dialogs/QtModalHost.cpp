#include "platform/dialogs/QtModalHost.h"

#include "platform/TextFormat.h"
#include "platform/dialogs/CommonDialog.h"
#include "platform/dialogs/DialogChoices.h"
#include "platform/dialogs/MessageBox.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>

#include <vector>

namespace {

// The window a dialog belongs to: the modal dialog in front, else the active
// window.
QWidget *dialogOwner()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

QMessageBox::StandardButton buttonFor(int answer)
{
    switch (answer) {
    case vbCancel: return QMessageBox::Cancel;
    case vbYes: return QMessageBox::Yes;
    case vbNo: return QMessageBox::No;
    default: return QMessageBox::Ok;
    }
}

QMessageBox::Icon iconFor(int buttons)
{
    switch (buttons & MsgBoxIconMask) {
    case vbCritical: return QMessageBox::Critical;
    case vbQuestion: return QMessageBox::Question;
    case vbExclamation: return QMessageBox::Warning;
    case vbInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

// Prompts use CR LF line breaks; the label wants LF.
QString displayText(QString prompt)
{
    prompt.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    prompt.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return prompt;
}

bool showFileDialog(CommonDialog &dialog, QFileDialog::AcceptMode mode)
{
    QFileDialog fileDialog(dialogOwner());
    fileDialog.setAcceptMode(mode);
    if (mode == QFileDialog::AcceptOpen) {
        fileDialog.setFileMode((dialog.Flags & cdlOFNFileMustExist) ? QFileDialog::ExistingFile
                                                                    : QFileDialog::AnyFile);
    } else {
        fileDialog.setFileMode(QFileDialog::AnyFile);
        fileDialog.setOption(QFileDialog::DontConfirmOverwrite,
                             !(dialog.Flags & cdlOFNOverwritePrompt));
    }

    const QStringList filters = dialogchoice::qtNameFilters(dialog.Filter);
    if (!filters.isEmpty()) {
        fileDialog.setNameFilters(filters);
        if (dialog.FilterIndex >= 1 && dialog.FilterIndex <= filters.size())
            fileDialog.selectNameFilter(filters.at(dialog.FilterIndex - 1));
    }

    const bool startInInitDir = !dialog.InitDir.isEmpty() && QFileInfo(dialog.InitDir).isDir();
    if (startInInitDir)
        fileDialog.setDirectory(dialog.InitDir);
    // The name of the last file chosen is offered again, in InitDir when one
    // is given.
    if (!dialog.Filename.isEmpty())
        fileDialog.selectFile(
            startInInitDir ? QFileInfo(QDir::fromNativeSeparators(dialog.Filename)).fileName()
                           : dialog.Filename);
    fileDialog.setDefaultSuffix(dialog.DefaultExt);

    if (fileDialog.exec() != QDialog::Accepted || fileDialog.selectedFiles().isEmpty())
        return false;
    dialogchoice::setChosenFile(dialog, fileDialog.selectedFiles().constFirst());
    if (!filters.isEmpty())
        dialog.FilterIndex = filters.indexOf(fileDialog.selectedNameFilter()) + 1;
    return true;
}

} // namespace

int QtModalHost::messageBox(const QString &prompt, int buttons, const QString &title)
{
    QMessageBox box(dialogOwner());
    box.setWindowTitle(title.isEmpty() ? QGuiApplication::applicationDisplayName() : title);
    box.setTextFormat(Qt::PlainText);
    box.setText(displayText(prompt));
    box.setIcon(iconFor(buttons));

    const std::vector<int> answers = msgBoxAnswers(buttons);
    const int escapeAnswer = msgBoxEscapeAnswer(buttons);
    std::vector<QPushButton *> pushButtons;
    for (const int answer : answers) {
        QPushButton *button = box.addButton(buttonFor(answer));
        pushButtons.push_back(button);
        if (answer == escapeAnswer)
            box.setEscapeButton(button);
    }
    const size_t defaultIndex = size_t(msgBoxDefaultIndex(buttons));
    box.setDefaultButton(pushButtons.at(defaultIndex < pushButtons.size() ? defaultIndex : 0));

    box.exec();
    for (size_t i = 0; i < pushButtons.size(); ++i) {
        if (box.clickedButton() == pushButtons[i])
            return answers[i];
    }
    return escapeAnswer;
}

bool QtModalHost::showOpen(CommonDialog &dialog)
{
    return showFileDialog(dialog, QFileDialog::AcceptOpen);
}

bool QtModalHost::showSave(CommonDialog &dialog)
{
    return showFileDialog(dialog, QFileDialog::AcceptSave);
}

bool QtModalHost::showPrinter(CommonDialog &dialog)
{
    QPrinter &printer = CommonDialog::sharedPrinter();
    if (dialog.Flags & cdlPDPrintSetup) {
        QPageSetupDialog setup(&printer, dialogOwner());
        return setup.exec() == QDialog::Accepted;
    }

    QPrintDialog print(&printer, dialogOwner());
    print.setOption(QAbstractPrintDialog::PrintSelection, !(dialog.Flags & cdlPDNoSelection));
    print.setOption(QAbstractPrintDialog::PrintPageRange, !(dialog.Flags & cdlPDNoPageNums));
    print.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    // Without a printer, printing to a file is the only way to print at all.
    print.setOption(QAbstractPrintDialog::PrintToFile,
                    !(dialog.Flags & cdlPDHidePrintToFile)
                        || QPrinterInfo::availablePrinters().isEmpty());
    print.setPrintRange((dialog.Flags & cdlPDSelection) ? QAbstractPrintDialog::Selection
                                                        : QAbstractPrintDialog::AllPages);
    printer.setCopyCount(qMax(1, dialog.Copies));

    const bool accepted = print.exec() == QDialog::Accepted;
    if (accepted)
        dialogchoice::setPrintChoice(dialog, print.printRange(), printer.copyCount());
    // The program prints each copy itself, and prints what it composed whole;
    // the printer must not multiply the copies or pick a selection again.
    printer.setCopyCount(1);
    if (printer.printRange() == QPrinter::Selection)
        printer.setPrintRange(QPrinter::AllPages);
    return accepted;
}

bool QtModalHost::showFont(CommonDialog &dialog)
{
    QFontDialog fontDialog(dialogchoice::initialFont(dialog), dialogOwner());
    if (fontDialog.exec() != QDialog::Accepted)
        return false;
    dialogchoice::setChosenFont(dialog, fontDialog.selectedFont());
    return true;
}

bool QtModalHost::showColor(CommonDialog &dialog)
{
    QColorDialog colorDialog(dialogOwner());
    if (dialog.Flags & cdlCCRGBInit)
        colorDialog.setCurrentColor(textformat::colorFromPacked(dialog.Color));
    if (colorDialog.exec() != QDialog::Accepted)
        return false;
    dialogchoice::setChosenColor(dialog, colorDialog.selectedColor());
    return true;
}

bool QtModalHost::showPrintPreview(CommonDialog &,
                                   const std::function<void(QPrinter *)> &paintPages)
{
    QPrintPreviewDialog preview(&CommonDialog::sharedPrinter(), dialogOwner());
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, paintPages);
    return preview.exec() == QDialog::Accepted;
}

QAction *QtModalHost::popupMenu(QMenu &menu, const QPoint &globalPos)
{
    return menu.exec(globalPos);
}
