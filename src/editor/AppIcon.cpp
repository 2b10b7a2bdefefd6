#include "editor/AppIcon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// Draws the icon into rect. The drawing is laid out on a 48 x 48 grid.
void drawIcon(QPainter &p, const QRectF &rect, bool disabled)
{
    const qreal unit = qMin(rect.width(), rect.height()) / 48.0;
    const bool small = unit * 48 < 24;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, !small);
    p.translate(rect.center() - QPointF(24 * unit, 24 * unit));
    p.scale(unit, unit);
    if (disabled)
        p.setOpacity(0.45);

    // The page with its top right corner folded over.
    const qreal border = small ? 1.0 / unit : 1.5; // one pixel when small
    QPainterPath page;
    page.moveTo(7, 3);
    page.lineTo(30, 3);
    page.lineTo(40, 13);
    page.lineTo(40, 45);
    page.lineTo(7, 45);
    page.closeSubpath();
    p.setPen(QPen(QColor(0x45, 0x50, 0x5c), border));
    p.setBrush(QColor(0xfd, 0xfd, 0xfb));
    p.drawPath(page);
    QPainterPath fold;
    fold.moveTo(30, 3);
    fold.lineTo(30, 13);
    fold.lineTo(40, 13);
    fold.closeSubpath();
    p.setBrush(QColor(0xcf, 0xd6, 0xde));
    p.drawPath(fold);

    // Lines of text: three bold ones when small, five otherwise.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2f, 0x6a, 0xb8));
    if (small) {
        for (const qreal y : {17.0, 26.0, 35.0})
            p.drawRect(QRectF(12, y, y == 35.0 ? 14 : 23, 4));
    } else {
        const qreal lengths[] = {22, 24, 18, 24, 12};
        for (int i = 0; i < 5; ++i)
            p.drawRect(QRectF(12, 17 + 5.5 * i, lengths[i], 2.2));
    }

    // A pencil across the lower right corner.
    if (!small) {
        p.translate(32, 33);
        p.rotate(-45);
        p.setPen(QPen(QColor(0x5a, 0x3c, 0x10), 1));
        p.setBrush(QColor(0xf2, 0xb1, 0x2c));
        p.drawRect(QRectF(-4, -3.2, 18, 6.4));
        p.setBrush(QColor(0xe7, 0x8a, 0x9a));
        p.drawRect(QRectF(14, -3.2, 3.5, 6.4));
        QPainterPath tip;
        tip.moveTo(-4, -3.2);
        tip.lineTo(-11, 0);
        tip.lineTo(-4, 3.2);
        tip.closeSubpath();
        p.setBrush(QColor(0xf3, 0xdc, 0xb0));
        p.drawPath(tip);
        QPainterPath lead;
        lead.moveTo(-8.5, -1.15);
        lead.lineTo(-11, 0);
        lead.lineTo(-8.5, 1.15);
        lead.closeSubpath();
        p.setBrush(QColor(0x30, 0x30, 0x30));
        p.drawPath(lead);
    }
    p.restore();
}

class AppIconEngine : public QIconEngine
{
public:
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        drawIcon(*painter, rect, mode == QIcon::Disabled);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        return {QSize(16, 16), QSize(32, 32), QSize(48, 48)};
    }

    QIconEngine *clone() const override { return new AppIconEngine; }
    QString key() const override { return QStringLiteral("ScrivletIcon"); }
};

} // namespace

QIcon applicationIcon() { return QIcon(new AppIconEngine); }
