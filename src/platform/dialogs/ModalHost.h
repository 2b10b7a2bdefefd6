#pragma once

#include <QPoint>
#include <QString>

#include <functional>

class CommonDialog;
class QPrinter;
class QAction;
class QMenu;

// The one seam every modal interaction passes through: message boxes, the
// common dialogs and popup menus. The program uses the real Qt dialogs; tests
// install a host that answers from a script.
class ModalHost
{
public:
    virtual ~ModalHost() = default;

    // prompt, buttons (MsgBoxStyle flags) and title as given to MsgBox; returns
    // an MsgBoxResult.
    virtual int messageBox(const QString &prompt, int buttons, const QString &title) = 0;

    // Each common dialog reads its set-up from the CommonDialog's properties
    // and writes the user's choices back into them. False means cancelled.
    virtual bool showOpen(CommonDialog &dialog) = 0;
    virtual bool showSave(CommonDialog &dialog) = 0;
    virtual bool showPrinter(CommonDialog &dialog) = 0; // Print, or printer setup when Flags has 64
    virtual bool showFont(CommonDialog &dialog) = 0;
    virtual bool showColor(CommonDialog &dialog) = 0;
    // A preview of the pages that paintPages prints on the printer it is
    // given, with the set-up of the program's printer. False means closed
    // without printing from it.
    virtual bool showPrintPreview(CommonDialog &dialog,
                                  const std::function<void(QPrinter *)> &paintPages)
        = 0;

    // Shows menu as a popup at globalPos and returns when it closes, with the
    // action chosen (already triggered) or nullptr.
    virtual QAction *popupMenu(QMenu &menu, const QPoint &globalPos) = 0;
};

// The host in force: the real one unless a test has installed another.
ModalHost &modalHost();

// Installs host (not owned); nullptr puts the real one back.
void setModalHost(ModalHost *host);
