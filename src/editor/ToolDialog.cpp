#include "editor/ToolDialog.h"

#include "platform/Twips.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

namespace {

// Room a button keeps on either side of its caption.
constexpr int ButtonPadding = 8;

void fitCaption(QWidget &control, const QString &caption, int room)
{
    QFont font = control.font();
    const QString shown = QString(caption).remove(QLatin1Char('&'));
    while (QFontMetrics(font).horizontalAdvance(shown) > room && font.pointSizeF() > 6) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        control.setFont(font);
    }
}

} // namespace

ToolDialog::ToolDialog(QWidget *owner, const char *name, const QString &title, int insideWidthTwips,
                       int insideHeightTwips)
    : QDialog(owner,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QLatin1String(name));
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    // The places and sizes in twips were made for captions in an 8-point
    // font; in a larger one they would not fit their controls.
    QFont smaller = font();
    smaller.setPointSize(8);
    setFont(smaller);
    setInsideSizeTwips(insideWidthTwips, insideHeightTwips);
}

void ToolDialog::setInsideSizeTwips(int width, int height)
{
    setFixedSize(twipsToPixelsX(width), twipsToPixelsY(height));
}

void ToolDialog::placeInTwips(QWidget &control, int left, int top, int width, int height)
{
    control.setGeometry(twipsToPixelsX(left), twipsToPixelsY(top), twipsToPixelsX(width),
                        twipsToPixelsY(height));
}

void ToolDialog::moveInTwips(QWidget &control, int left, int top)
{
    control.move(twipsToPixelsX(left), twipsToPixelsY(top));
}

void ToolDialog::fitCaptions()
{
    for (QLabel *label : findChildren<QLabel *>())
        fitCaption(*label, label->text(), label->contentsRect().width());
    for (QPushButton *button : findChildren<QPushButton *>())
        fitCaption(*button, button->text(), button->width() - 2 * ButtonPadding);
}

void ToolDialog::reject()
{
    // Esc, as the cancel button: whatever that button does, the dialog's own
    // rejection does not add to it.
    if (m_cancelButton && m_cancelButton->isVisible() && m_cancelButton->isEnabled())
        m_cancelButton->click();
}

void ToolDialog::closeEvent(QCloseEvent *event)
{
    // Whatever closes the dialog unloads it; nothing else runs.
    m_unloaded = true;
    event->accept();
}
