#include "platform/system/StatusBar.h"

#include "platform/RuntimeError.h"
#include "platform/Twips.h"
#include "platform/system/KeyState.h"
#include "platform/system/StatusBarAccessible.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <qdrawutil.h>

#include <algorithm>

namespace {

constexpr double DefaultHeightTwips = 255;
constexpr int PanelGap = 2;   // pixels between two panels
constexpr int TextMargin = 4; // pixels between a panel's edge and its text
constexpr int BevelWidth = 1;

// A key-state panel without text of its own shows its key's name.
QString shownText(const StatusBarPanel &panel)
{
    if (!panel.Text().isEmpty())
        return panel.Text();
    switch (panel.Style()) {
    case sbrCaps: return QStringLiteral("CAPS");
    case sbrNum: return QStringLiteral("NUM");
    case sbrIns: return QStringLiteral("INS");
    default: return QString();
    }
}

} // namespace

void StatusBarPanel::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    m_bar->panelChanged();
    announcePanelTextChange(*m_bar, m_bar->indexOf(this));
}

void StatusBarPanel::setToolTipText(const QString &text) { m_toolTip = text; }

void StatusBarPanel::setStyle(int style)
{
    m_style = style;
    m_bar->panelChanged();
}

void StatusBarPanel::setAutoSize(int autoSize)
{
    m_autoSize = autoSize;
    m_bar->panelChanged();
}

void StatusBarPanel::setBevel(int bevel)
{
    m_bevel = bevel;
    m_bar->panelChanged();
}

void StatusBarPanel::setMinWidth(double twips)
{
    m_minWidth = std::max(0.0, twips);
    m_bar->panelChanged();
}

void StatusBarPanel::setWidth(double twips)
{
    m_width = std::max(0.0, twips);
    m_bar->panelChanged();
}

StatusBar::StatusBar(QWidget *parent)
    : QWidget(parent)
{
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    resize(sizeHint());
    installStatusBarAccessibility();
    connect(&KeyState::instance(), &KeyState::changed, this, [this] {
        update();
        announceKeyStateChange(*this);
    });
}

StatusBar::~StatusBar() = default;

StatusBarPanel *StatusBar::Panels(int index) const
{
    if (index < 1 || index > panelCount())
        throw RuntimeError(
            ErrIndexOutOfBounds,
            QStringLiteral("Index out of bounds: the status bar has no panel %1").arg(index));
    return m_panels[size_t(index - 1)].get();
}

int StatusBar::panelCount() const { return int(m_panels.size()); }

int StatusBar::indexOf(const StatusBarPanel *panel) const
{
    for (size_t i = 0; i < m_panels.size(); ++i)
        if (m_panels[i].get() == panel)
            return int(i) + 1;
    return 0;
}

StatusBarPanel *StatusBar::addPanel()
{
    m_panels.push_back(std::unique_ptr<StatusBarPanel>(new StatusBarPanel(this)));
    panelChanged();
    return m_panels.back().get();
}

const StatusBarPanel &StatusBar::panelAt(int index) const { return *Panels(index); }

QRect StatusBar::panelGeometry(int index) const
{
    panelAt(index);
    return panelGeometries()[size_t(index - 1)];
}

QString StatusBar::panelDisplayText(int index) const { return shownText(panelAt(index)); }

bool StatusBar::panelShownInFull(int index) const
{
    const KeyState &keys = KeyState::instance();
    switch (panelAt(index).Style()) {
    case sbrCaps: return keys.capsLock();
    case sbrNum: return keys.numLock();
    case sbrIns: return keys.insertToggled();
    default: return true;
    }
}

// A panel's width before the springs share out what is left: its Width, its
// text's width (at least MinWidth) for a contents panel, and MinWidth for a
// spring.
int StatusBar::naturalWidth(const StatusBarPanel &panel) const
{
    const int minimum = twipsToPixelsX(panel.MinWidth());
    switch (panel.AutoSize()) {
    case sbrSpring: return minimum;
    case sbrContents:
        return std::max(fontMetrics().horizontalAdvance(shownText(panel))
                            + 2 * (TextMargin + BevelWidth),
                        minimum);
    default: return twipsToPixelsX(panel.Width());
    }
}

// The springs share what the other panels leave of the bar's width, each at
// least its MinWidth; the first springs take the pixels that do not divide
// evenly.
std::vector<QRect> StatusBar::panelGeometries() const
{
    std::vector<int> widths;
    int taken = PanelGap * std::max(0, panelCount() - 1);
    int springs = 0;
    for (const auto &panel : m_panels) {
        if (panel->AutoSize() == sbrSpring) {
            ++springs;
            widths.push_back(0);
        } else {
            widths.push_back(naturalWidth(*panel));
            taken += widths.back();
        }
    }

    const int left = std::max(0, width() - taken);
    int springIndex = 0;
    std::vector<QRect> rects;
    int x = 0;
    for (size_t i = 0; i < m_panels.size(); ++i) {
        if (m_panels[i]->AutoSize() == sbrSpring) {
            const int share = left / springs + (springIndex++ < left % springs ? 1 : 0);
            widths[i] = std::max(share, naturalWidth(*m_panels[i]));
        }
        rects.emplace_back(x, PanelGap, widths[i], std::max(0, height() - PanelGap));
        x += widths[i] + PanelGap;
    }
    return rects;
}

QSize StatusBar::sizeHint() const
{
    int width = PanelGap * std::max(0, panelCount() - 1);
    for (const auto &panel : m_panels)
        width += naturalWidth(*panel);
    return QSize(width, twipsToPixelsY(DefaultHeightTwips));
}

void StatusBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const std::vector<QRect> rects = panelGeometries();
    for (int index = 1; index <= panelCount(); ++index) {
        const QRect rect = rects[size_t(index - 1)];
        const int bevel = panelAt(index).Bevel();
        if (bevel == sbrInset || bevel == sbrRaised)
            qDrawShadePanel(&painter, rect, palette(), bevel == sbrInset, BevelWidth);
        const QPalette::ColorGroup group
            = panelShownInFull(index) ? QPalette::Active : QPalette::Disabled;
        painter.setPen(palette().color(group, QPalette::WindowText));
        const int inset = TextMargin + BevelWidth;
        painter.drawText(rect.adjusted(inset, BevelWidth, -inset, -BevelWidth),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         panelDisplayText(index));
    }
}

bool StatusBar::event(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);

    const auto *help = static_cast<QHelpEvent *>(event);
    const std::vector<QRect> rects = panelGeometries();
    for (size_t i = 0; i < rects.size(); ++i) {
        const QString tip = m_panels[i]->ToolTipText();
        if (rects[i].contains(help->pos()) && !tip.isEmpty()) {
            QToolTip::showText(help->globalPos(), tip, this, rects[i]);
            return true;
        }
    }
    QToolTip::hideText();
    event->ignore();
    return true;
}

void StatusBar::panelChanged()
{
    updateGeometry();
    update();
}
