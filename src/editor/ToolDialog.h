#pragma once

#include <QDialog>
#include <QPointer>

class QPushButton;

// What the dialogs of the editor window have in common: a fixed tool window
// (small title bar, no minimize or maximize button, not in the task bar) with
// its inside size and its controls' places given in twips. Closing it unloads
// it: it is deleted, and a later use loads a new one. Esc presses its cancel
// button (nothing when it has none); Enter its default button. Find, Replace
// and Go To show it modeless, the Colours and About dialogs modal (exec).
class ToolDialog : public QDialog
{
    Q_OBJECT
public:
    ToolDialog(QWidget *owner, const char *name, const QString &title, int insideWidthTwips,
               int insideHeightTwips);

    void setInsideSizeTwips(int width, int height);
    // Makes control the dialog's child named name, at left, top with width
    // and height, in twips.
    template<typename Control>
    Control *addControl(const char *name, int left, int top, int width, int height)
    {
        auto *control = new Control(this);
        control->setObjectName(QLatin1String(name));
        placeInTwips(*control, left, top, width, height);
        return control;
    }
    static void placeInTwips(QWidget &control, int left, int top, int width, int height);
    static void moveInTwips(QWidget &control, int left, int top);

    void setCancelButton(QPushButton *button) { m_cancelButton = button; }

    // Gives each label and button whose caption is wider than its place a
    // smaller font (down to 6 points), so that the caption shows whole in
    // the place the twips give it, whatever the system's font.
    void fitCaptions();

    // Closes the dialog, which unloads it.
    void Unload() { close(); }
    // Closed: it goes as soon as the event loop lets it, and is not to be
    // used again.
    bool isUnloaded() const { return m_unloaded; }

protected:
    void reject() override;
    void closeEvent(QCloseEvent *event) override;

private:
    QPushButton *m_cancelButton = nullptr;
    bool m_unloaded = false;
};

// The one instance of a dialog class, loaded on first use with owner as its
// owner, and loaded anew once the last one was unloaded.
template<typename Dialog>
QPointer<Dialog> &dialogInstance()
{
    static QPointer<Dialog> dialog;
    return dialog;
}

template<typename Dialog>
bool isDialogLoaded()
{
    const QPointer<Dialog> &dialog = dialogInstance<Dialog>();
    return dialog && !dialog->isUnloaded();
}

template<typename Dialog>
Dialog &loadedDialog(QWidget *owner)
{
    QPointer<Dialog> &dialog = dialogInstance<Dialog>();
    if (!isDialogLoaded<Dialog>())
        dialog = new Dialog(owner);
    return *dialog;
}
