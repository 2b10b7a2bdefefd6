#pragma once

#include "editor/EditorMenus.h"

#include <QMainWindow>

#include <memory>

class CommonDialog;
class EditorForm;
class KeyPreview;
class RichTextBox;
class StatusBar;

// An editor window, frmNormal or frmSmall: the rich-text control RichTextBox
// above the status bar StatusBar1, the invisible CommonDialog1, and the menus.
// It holds no command logic: its menu items, keys and events run routines of
// the program, which act on the current window.
class EditorWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit EditorWindow(EditorForm &form);
    ~EditorWindow() override;

    EditorForm &form() const { return m_form; }
    RichTextBox *richTextBox() const { return m_richTextBox; }
    StatusBar *statusBar1() const { return m_statusBar; }
    CommonDialog *commonDialog1() const { return m_commonDialog; }
    // The inside of the window under the menu bar, which the editor and the
    // status bar share; its top left corner is (0, 0).
    QWidget *insideArea() const { return m_inside; }

    // A menu item, separator or submenu's item, and a menu, by name; null for
    // a name the window does not have.
    QAction *item(const QString &name) const { return m_menus.items.value(name); }
    QMenu *menu(const QString &name) const { return m_menus.menus.value(name); }

    void Form_Load();
    void Form_QueryUnload(bool &cancel, int unloadMode);

    // Moves the window (and cuts it if need be) so that its whole frame lies
    // within area, as soon as the window manager has framed it.
    void keepFrameWithin(const QRect &area);

    // Cuts the window off from the program before it is destroyed: no more
    // events reach the program's routines.
    void detach();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void Form_Resize();
    void RichTextBox_Change();
    void RichTextBox_MouseDown(int button);
    void RichTextBox_OLEDragDrop(const QStringList &files);
    void dockStatusBar();
    void fitFrameOnceFramed();
    void showMenuBarWhileMenusAreVisible();

    EditorForm &m_form;
    QWidget *m_inside;
    RichTextBox *m_richTextBox;
    StatusBar *m_statusBar;
    CommonDialog *m_commonDialog;
    EditorMenus m_menus;
    std::unique_ptr<KeyPreview> m_keyPreview;
    QRect m_frameArea; // where the frame must fit once it is known; empty: nowhere
};
