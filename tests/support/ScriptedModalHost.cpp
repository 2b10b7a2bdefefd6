#include "ScriptedModalHost.h"

#include "platform/TextFormat.h"
#include "platform/dialogs/CommonDialog.h"
#include "platform/dialogs/DialogChoices.h"
#include "platform/dialogs/MessageBox.h"

#include <QAction>
#include <QMenu>
#include <QPrinter>
#include <QtTest>

#include <algorithm>

namespace {

const char *kindName(ScriptedModalHost::DialogKind kind)
{
    switch (kind) {
    case ScriptedModalHost::Open: return "Open dialog";
    case ScriptedModalHost::Save: return "Save As dialog";
    case ScriptedModalHost::Print: return "Print dialog";
    case ScriptedModalHost::PrinterSetup: return "printer-setup dialog";
    case ScriptedModalHost::Font: return "Font dialog";
    case ScriptedModalHost::Color: return "Colour dialog";
    case ScriptedModalHost::PrintPreview: return "Print Preview";
    }
    return "dialog";
}

// The menus from menu down to the one that holds the action named name,
// outermost first; empty when there is no such action.
QList<QMenu *> pathToAction(QMenu *menu, const QString &name, QAction **found)
{
    for (QAction *action : menu->actions()) {
        if (action->objectName() == name) {
            *found = action;
            return {menu};
        }
        if (QMenu *sub = action->menu()) {
            QList<QMenu *> path = pathToAction(sub, name, found);
            if (!path.isEmpty()) {
                path.prepend(menu);
                return path;
            }
        }
    }
    return {};
}

// What the user can reach: an enabled, visible item in enabled, visible
// submenus.
bool reachable(const QList<QMenu *> &path, QAction *action)
{
    for (int i = 1; i < path.size(); ++i) {
        QAction *entry = path.at(i)->menuAction();
        if (!entry->isEnabled() || !entry->isVisible())
            return false;
    }
    return action->isEnabled() && action->isVisible() && !action->isSeparator();
}

} // namespace

ScriptedModalHost::ScriptedModalHost() { setModalHost(this); }

ScriptedModalHost::~ScriptedModalHost()
{
    if (&modalHost() == this)
        setModalHost(nullptr);
}

void ScriptedModalHost::answerMessageBox(int result) { m_messageBoxAnswers.push_back(result); }
void ScriptedModalHost::chooseFile(const QString &path) { m_fileAnswers.push_back(path); }
void ScriptedModalHost::cancelFileDialog() { m_fileAnswers.push_back(std::nullopt); }
void ScriptedModalHost::choosePrint(QAbstractPrintDialog::PrintRange range, int copies)
{
    m_printAnswers.push_back(PrintAnswer{range, copies});
}
void ScriptedModalHost::cancelPrint() { m_printAnswers.push_back(std::nullopt); }
void ScriptedModalHost::confirmPrinterSetup() { m_printerSetupAnswers.push_back(true); }
void ScriptedModalHost::cancelPrinterSetup() { m_printerSetupAnswers.push_back(false); }
void ScriptedModalHost::chooseFont(const QFont &font) { m_fontAnswers.push_back(font); }
void ScriptedModalHost::cancelFont() { m_fontAnswers.push_back(std::nullopt); }
void ScriptedModalHost::chooseColor(qint32 packedRgb) { m_colorAnswers.push_back(packedRgb); }
void ScriptedModalHost::cancelColor() { m_colorAnswers.push_back(std::nullopt); }
void ScriptedModalHost::previewInto(const QString &pdfPath) { m_previewAnswers.push_back(pdfPath); }
void ScriptedModalHost::choosePopupItem(const QString &objectName)
{
    m_popupAnswers.push_back(objectName);
}

int ScriptedModalHost::unusedAnswers() const
{
    return int(m_messageBoxAnswers.size() + m_fileAnswers.size() + m_printAnswers.size()
               + m_printerSetupAnswers.size() + m_fontAnswers.size() + m_colorAnswers.size()
               + m_popupAnswers.size() + m_previewAnswers.size());
}

void ScriptedModalHost::fail(const QString &what)
{
    m_errors << what;
    QTest::qFail(qPrintable(QStringLiteral("ScriptedModalHost: ") + what), __FILE__, __LINE__);
}

template<typename T>
bool ScriptedModalHost::takeAnswer(std::deque<T> &queue, T *answer, const QString &what)
{
    if (queue.empty()) {
        fail(QStringLiteral("no answer scripted for the %1").arg(what));
        return false;
    }
    *answer = queue.front();
    queue.pop_front();
    return true;
}

int ScriptedModalHost::messageBox(const QString &prompt, int buttons, const QString &title)
{
    m_messageBoxes.append(MessageBoxCall{prompt, buttons, title});
    const QString what = QStringLiteral("message box \"%1\" (%2)").arg(prompt, title);
    int answer = 0;
    if (!takeAnswer(m_messageBoxAnswers, &answer, what))
        return msgBoxEscapeAnswer(buttons);
    const std::vector<int> offered = msgBoxAnswers(buttons);
    if (std::find(offered.begin(), offered.end(), answer) == offered.end()) {
        fail(QStringLiteral("the %1 has no button for the scripted answer %2")
                 .arg(what)
                 .arg(answer));
        return msgBoxEscapeAnswer(buttons);
    }
    return answer;
}

void ScriptedModalHost::record(DialogKind kind, const CommonDialog &dialog)
{
    DialogCall call;
    call.kind = kind;
    call.filename = dialog.Filename;
    call.initDir = dialog.InitDir;
    call.filter = dialog.Filter;
    call.filterIndex = dialog.FilterIndex;
    call.defaultExt = dialog.DefaultExt;
    call.flags = dialog.Flags;
    call.cancelError = dialog.CancelError;
    call.copies = dialog.Copies;
    call.color = dialog.Color;
    call.fontName = dialog.FontName;
    call.fontSize = dialog.FontSize;
    call.fontBold = dialog.FontBold;
    call.fontItalic = dialog.FontItalic;
    call.fontStrikethru = dialog.FontStrikethru;
    call.fontUnderline = dialog.FontUnderline;
    m_dialogs.append(call);
}

bool ScriptedModalHost::showFile(DialogKind kind, CommonDialog &dialog)
{
    record(kind, dialog);
    std::optional<QString> path;
    if (!takeAnswer(m_fileAnswers, &path, QLatin1String(kindName(kind))) || !path)
        return false;
    dialogchoice::setChosenFile(dialog, *path);
    return true;
}

bool ScriptedModalHost::showOpen(CommonDialog &dialog) { return showFile(Open, dialog); }

bool ScriptedModalHost::showSave(CommonDialog &dialog) { return showFile(Save, dialog); }

bool ScriptedModalHost::showPrinter(CommonDialog &dialog)
{
    if (dialog.Flags & cdlPDPrintSetup) {
        record(PrinterSetup, dialog);
        bool confirmed = false;
        return takeAnswer(m_printerSetupAnswers, &confirmed, QLatin1String(kindName(PrinterSetup)))
            && confirmed;
    }
    record(Print, dialog);
    std::optional<PrintAnswer> answer;
    if (!takeAnswer(m_printAnswers, &answer, QLatin1String(kindName(Print))) || !answer)
        return false;
    dialogchoice::setPrintChoice(dialog, answer->range, answer->copies);
    return true;
}

bool ScriptedModalHost::showPrintPreview(CommonDialog &dialog,
                                         const std::function<void(QPrinter *)> &paintPages)
{
    record(PrintPreview, dialog);
    QString pdfPath;
    if (!takeAnswer(m_previewAnswers, &pdfPath, QLatin1String(kindName(PrintPreview))))
        return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    printer.setPageLayout(CommonDialog::sharedPrinter().pageLayout());
    paintPages(&printer);
    return false;
}

bool ScriptedModalHost::showFont(CommonDialog &dialog)
{
    record(Font, dialog);
    std::optional<QFont> font;
    if (!takeAnswer(m_fontAnswers, &font, QLatin1String(kindName(Font))) || !font)
        return false;
    dialogchoice::setChosenFont(dialog, *font);
    return true;
}

bool ScriptedModalHost::showColor(CommonDialog &dialog)
{
    record(Color, dialog);
    std::optional<qint32> color;
    if (!takeAnswer(m_colorAnswers, &color, QLatin1String(kindName(Color))) || !color)
        return false;
    dialogchoice::setChosenColor(dialog, textformat::colorFromPacked(*color));
    return true;
}

QAction *ScriptedModalHost::popupMenu(QMenu &menu, const QPoint &globalPos)
{
    m_popups.append(PopupCall{menu.objectName(), globalPos, QString()});
    QString name;
    if (!takeAnswer(m_popupAnswers, &name,
                    QStringLiteral("popup menu \"%1\"").arg(menu.objectName())))
        return nullptr;

    // As a real popup: the menu is prepared before it shows, and each
    // submenu on the way to the item as the user opens it.
    emit menu.aboutToShow();
    if (name.isEmpty()) {
        emit menu.aboutToHide();
        return nullptr;
    }
    QAction *action = nullptr;
    const QList<QMenu *> path = pathToAction(&menu, name, &action);
    if (path.isEmpty()) {
        emit menu.aboutToHide();
        fail(QStringLiteral("popup menu \"%1\" has no item \"%2\"").arg(menu.objectName(), name));
        return nullptr;
    }
    for (int i = 1; i < path.size(); ++i)
        emit path.at(i)->aboutToShow();
    const bool chosen = reachable(path, action);
    for (int i = int(path.size()) - 1; i >= 0; --i)
        emit path.at(i)->aboutToHide();
    if (!chosen)
        return nullptr;

    m_popups.last().chosen = name;
    action->trigger(); // the menus pass it on as their triggered()
    return action;
}
