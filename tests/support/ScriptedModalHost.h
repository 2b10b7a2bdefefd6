#pragma once

#include "platform/dialogs/ModalHost.h"

#include <QAbstractPrintDialog>
#include <QFont>
#include <QList>
#include <QStringList>

#include <deque>
#include <optional>

// A modal host for tests. Every message box, common dialog and popup menu is
// answered from a script that the test queues beforehand, and every question
// is recorded with the exact set-up the program gave it. A modal interaction
// with no answer queued (or an answer the box does not offer) fails the
// running test, is recorded in errors(), and is then answered as Esc would.
//
// Constructing a host installs it as the modal host; destroying it puts the
// real one back.
class ScriptedModalHost : public ModalHost
{
public:
    ScriptedModalHost();
    ~ScriptedModalHost() override;
    ScriptedModalHost(const ScriptedModalHost &) = delete;
    ScriptedModalHost &operator=(const ScriptedModalHost &) = delete;

    // --- The script: answers are used in the order queued, per kind. ---
    void answerMessageBox(int result);    // vbOK, vbCancel, vbYes, vbNo
    void chooseFile(const QString &path); // the next Open or Save As dialog
    void cancelFileDialog();
    void choosePrint(QAbstractPrintDialog::PrintRange range = QAbstractPrintDialog::AllPages,
                     int copies = 1);
    void cancelPrint();
    void confirmPrinterSetup();
    void cancelPrinterSetup();
    void chooseFont(const QFont &font);
    void cancelFont();
    void chooseColor(qint32 packedRgb);
    void cancelColor();
    // The next Print Preview paints its pages into a PDF file at pdfPath, on
    // a printer with the program's printer's page layout.
    void previewInto(const QString &pdfPath);
    // The popup's item with this objectName is chosen (it may sit in a
    // submenu); an empty name closes the popup without a choice. A disabled or
    // hidden item cannot be chosen: the popup then closes without a choice.
    void choosePopupItem(const QString &objectName);

    // --- The record. ---
    struct MessageBoxCall
    {
        QString prompt;
        int buttons = 0;
        QString title;
    };
    enum DialogKind { Open, Save, Print, PrinterSetup, Font, Color, PrintPreview };
    // A common dialog's properties as the program had set them when it asked.
    struct DialogCall
    {
        DialogKind kind = Open;
        QString filename;
        QString initDir;
        QString filter;
        int filterIndex = 0;
        QString defaultExt;
        long flags = 0;
        bool cancelError = false;
        int copies = 1;
        qint32 color = 0;
        QString fontName;
        float fontSize = 0;
        bool fontBold = false;
        bool fontItalic = false;
        bool fontStrikethru = false;
        bool fontUnderline = false;
    };
    struct PopupCall
    {
        QString menuName;
        QPoint globalPos;
        QString chosen; // objectName of the action triggered, empty for none
    };

    const QList<MessageBoxCall> &messageBoxes() const { return m_messageBoxes; }
    const QList<DialogCall> &dialogs() const { return m_dialogs; }
    const QList<PopupCall> &popups() const { return m_popups; }
    // Interactions that had no scripted answer, and answers that did not fit.
    const QStringList &errors() const { return m_errors; }
    // Answers queued but never asked for.
    int unusedAnswers() const;

    // ModalHost.
    int messageBox(const QString &prompt, int buttons, const QString &title) override;
    bool showOpen(CommonDialog &dialog) override;
    bool showSave(CommonDialog &dialog) override;
    bool showPrinter(CommonDialog &dialog) override;
    bool showFont(CommonDialog &dialog) override;
    bool showColor(CommonDialog &dialog) override;
    bool showPrintPreview(CommonDialog &dialog,
                          const std::function<void(QPrinter *)> &paintPages) override;
    QAction *popupMenu(QMenu &menu, const QPoint &globalPos) override;

private:
    struct PrintAnswer
    {
        QAbstractPrintDialog::PrintRange range;
        int copies;
    };

    void fail(const QString &what);
    void record(DialogKind kind, const CommonDialog &dialog);
    bool showFile(DialogKind kind, CommonDialog &dialog);
    // Takes the next answer of a queue into answer; fails the test and
    // returns false when there is none.
    template<typename T>
    bool takeAnswer(std::deque<T> &queue, T *answer, const QString &what);

    std::deque<int> m_messageBoxAnswers;
    std::deque<std::optional<QString>> m_fileAnswers;
    std::deque<std::optional<PrintAnswer>> m_printAnswers;
    std::deque<bool> m_printerSetupAnswers;
    std::deque<std::optional<QFont>> m_fontAnswers;
    std::deque<std::optional<qint32>> m_colorAnswers;
    std::deque<QString> m_popupAnswers;
    std::deque<QString> m_previewAnswers;

    QList<MessageBoxCall> m_messageBoxes;
    QList<DialogCall> m_dialogs;
    QList<PopupCall> m_popups;
    QStringList m_errors;
};
