#include "editor/EditorWindow.h"

#include "editor/AppIcon.h"
#include "editor/BufferForm.h"
#include "editor/Commands.h"
#include "editor/EditorForm.h"
#include "editor/EditorHooks.h"
#include "editor/KeyPreview.h"
#include "editor/StatusPanels.h"
#include "platform/Twips.h"
#include "platform/dialogs/CommonDialog.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/system/StatusBar.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenuBar>

#include <utility>

EditorWindow::EditorWindow(EditorForm &form)
    : m_form(form)
    , m_inside(new QWidget(this))
    , m_richTextBox(new RichTextBox(m_inside))
    , m_statusBar(new StatusBar(m_inside))
    , m_commonDialog(new CommonDialog(this))
{
    const EditorVariant &variant = form.variant();
    setObjectName(QLatin1String(variant.name));
    if (variant.toolWindow) {
        setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                       | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    }
    setWindowIcon(applicationIcon());

    m_inside->setObjectName(QStringLiteral("insideArea"));
    setCentralWidget(m_inside);
    m_inside->installEventFilter(this);
    m_richTextBox->setObjectName(QStringLiteral("RichTextBox"));
    m_richTextBox->setAccessibleName(QStringLiteral("Document"));
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    setUpStatusPanels(*m_statusBar);
    m_commonDialog->setObjectName(QStringLiteral("CommonDialog1"));

    m_menus = buildEditorMenus(*this, *menuBar(), variant.windowMode);
    for (QAction *menu : std::as_const(m_menus.menuBarMenus))
        connect(menu, &QAction::visibleChanged, this,
                &EditorWindow::showMenuBarWhileMenusAreVisible);
    showMenuBarWhileMenusAreVisible();
    m_keyPreview = std::make_unique<KeyPreview>(*this, *m_richTextBox, m_menus.menuBarShortcuts);

    resize(twipsToPixelsX(variant.insideWidthTwips), twipsToPixelsY(variant.insideHeightTwips));

    connect(m_richTextBox, &RichTextBox::Change, this, &EditorWindow::RichTextBox_Change);
    connect(m_richTextBox, &RichTextBox::SelChange, this, [this] { m_form.UpdateCaretPosition(); });
    connect(m_richTextBox, &RichTextBox::KeyUp, this, [this] { m_form.UpdateCaretPosition(); });
    connect(m_richTextBox, &RichTextBox::MouseUp, this, [this] { m_form.UpdateCaretPosition(); });
    connect(m_richTextBox, &RichTextBox::MouseDown, this,
            [this](int button) { RichTextBox_MouseDown(button); });
    connect(m_richTextBox, &RichTextBox::OLEDragDrop, this, &EditorWindow::RichTextBox_OLEDragDrop);
}

EditorWindow::~EditorWindow() = default;

void EditorWindow::Form_Load()
{
    editorHooks().bindControls();
    m_form.CurrentLine = 1;
    m_form.CurrentColumn = 1;
    m_form.LastSelStart = 0;
    m_form.LastLineStart = 0;
}

void EditorWindow::Form_QueryUnload(bool &cancel, int unloadMode)
{
    // The program's own unloading (the window switch) keeps the document; the
    // user's closing asks about unsaved changes first.
    if (unloadMode != vbFormCode) {
        if (!editorHooks().documentMayBeDiscarded()) {
            cancel = true;
            return;
        }
        frmBuffer().Unload();
    }
    editorHooks().saveWindowSettings();
}

void EditorWindow::detach()
{
    disconnect(m_richTextBox, nullptr, this, nullptr);
    m_keyPreview.reset();
    m_inside->removeEventFilter(this);
}

void EditorWindow::keepFrameWithin(const QRect &area)
{
    m_frameArea = area;
    fitFrameOnceFramed();
}

bool EditorWindow::event(QEvent *event)
{
    const bool handled = QMainWindow::event(event);
    const QEvent::Type type = event->type();
    if (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize)
        fitFrameOnceFramed();
    return handled;
}

// The frame is known only once the window manager has put one around the
// shown window; until then the window's frame is its inside.
void EditorWindow::fitFrameOnceFramed()
{
    if (m_frameArea.isNull() || !isVisible() || frameGeometry() == geometry())
        return;
    const QRect area = std::exchange(m_frameArea, QRect());
    const QSize frameExtra = frameGeometry().size() - size();
    const QSize inside = size().boundedTo(area.size() - frameExtra);
    if (inside != size())
        resize(inside);
    const QSize frame = inside + frameExtra;
    const QPoint topLeft(qBound(area.left(), x(), area.right() + 1 - frame.width()),
                         qBound(area.top(), y(), area.bottom() + 1 - frame.height()));
    if (topLeft != pos())
        move(topLeft);
}

bool EditorWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_inside && event->type() == QEvent::Resize) {
        dockStatusBar();
        Form_Resize();
    }
    return QMainWindow::eventFilter(watched, event);
}

void EditorWindow::closeEvent(QCloseEvent *event)
{
    bool cancel = false;
    Form_QueryUnload(cancel, vbFormControlMenu);
    if (cancel) {
        event->ignore();
        return;
    }
    event->accept();
    m_form.windowClosed();
    // The user closed the one editor window, so the program ends. Qt would end
    // it only after its last primary window, and the small window, a tool
    // window, does not count as one. (quit() would first ask every window to
    // close, the one just closed among them.)
    QCoreApplication::exit(0);
}

void EditorWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void EditorWindow::Form_Resize() { editorHooks().layOut(); }

void EditorWindow::RichTextBox_Change()
{
    editorHooks().markModified();
    if (m_form.variant().caretFollowsChange)
        m_form.UpdateCaretPosition();
}

void EditorWindow::RichTextBox_MouseDown(int button)
{
    if (button == RichTextBox::vbRightButton)
        runCommand(Command::ShowRightClickMenu);
}

void EditorWindow::RichTextBox_OLEDragDrop(const QStringList &files)
{
    if (files.size() == 1)
        editorHooks().openDroppedFile(files.first());
}

void EditorWindow::dockStatusBar()
{
    const int height = twipsToPixelsY(StatusBarHeightTwips);
    m_statusBar->setGeometry(0, m_inside->height() - height, m_inside->width(), height);
}

// The menu bar takes room only while at least one of its menus is visible.
void EditorWindow::showMenuBarWhileMenusAreVisible()
{
    const bool anyVisible = std::any_of(m_menus.menuBarMenus.cbegin(), m_menus.menuBarMenus.cend(),
                                        [](const QAction *menu) { return menu->isVisible(); });
    menuBar()->setVisible(anyVisible);
}
