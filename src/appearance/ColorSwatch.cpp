#include "appearance/ColorSwatch.h"

#include "platform/TextFormat.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

ColorSwatch::ColorSwatch(QWidget *parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    setBackColor(m_color);
}

void ColorSwatch::setBackColor(qint32 packedRgb)
{
    m_color = packedRgb;
    QPalette colors = palette();
    colors.setColor(QPalette::Window, textformat::colorFromPacked(packedRgb));
    setPalette(colors);
    setAccessibleDescription(colors.color(QPalette::Window).name());
    update();
}

void ColorSwatch::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = contentsRect().adjusted(1, 1, -1, -1);
    option.backgroundColor = palette().color(QPalette::Window);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

void ColorSwatch::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit Click();
    QFrame::mouseReleaseEvent(event);
}
