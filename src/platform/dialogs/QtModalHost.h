#pragma once

#include "platform/dialogs/ModalHost.h"

// The modal host of the program: the real Qt message box, file, print,
// page-setup, font and colour dialogs, and QMenu::exec for popups. Each dialog
// is owned by the active window.
class QtModalHost final : public ModalHost
{
public:
    int messageBox(const QString &prompt, int buttons, const QString &title) override;
    bool showOpen(CommonDialog &dialog) override;
    bool showSave(CommonDialog &dialog) override;
    bool showPrinter(CommonDialog &dialog) override;
    bool showFont(CommonDialog &dialog) override;
    bool showColor(CommonDialog &dialog) override;
    bool showPrintPreview(CommonDialog &dialog,
                          const std::function<void(QPrinter *)> &paintPages) override;
    QAction *popupMenu(QMenu &menu, const QPoint &globalPos) override;
};
