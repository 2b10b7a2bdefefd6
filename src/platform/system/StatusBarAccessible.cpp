#include "platform/system/StatusBarAccessible.h"

#include "platform/system/StatusBar.h"

#include <QAccessibleWidget>
#include <QPointer>

#include <vector>

namespace {

bool isKeyStatePanel(const StatusBarPanel &panel) { return panel.Style() != sbrText; }

// One panel, known by its bar and its number; panels are only ever added, so
// the number keeps naming the same panel.
class StatusPanelAccessible : public QAccessibleInterface
{
public:
    StatusPanelAccessible(StatusBar *bar, int index)
        : m_bar(bar)
        , m_index(index)
    {
    }

    bool isValid() const override { return m_bar && m_index <= m_bar->panelCount(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_bar ? m_bar->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_bar);
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return QString();
        const StatusBarPanel &panel = *m_bar->Panels(m_index);
        switch (t) {
        case QAccessible::Name: return m_bar->panelDisplayText(m_index);
        case QAccessible::Description:
            if (isKeyStatePanel(panel))
                return m_bar->panelShownInFull(m_index) ? QStringLiteral("on")
                                                        : QStringLiteral("off");
            return QString();
        case QAccessible::Help: return panel.ToolTipText();
        default: return QString();
        }
    }
    void setText(QAccessible::Text, const QString &) override { }

    QRect rect() const override
    {
        if (!isValid())
            return QRect();
        const QRect local = m_bar->panelGeometry(m_index);
        return QRect(m_bar->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.invisible = !m_bar->isVisible();
        state.readOnly = true;
        if (isKeyStatePanel(*m_bar->Panels(m_index))) {
            state.checkable = true;
            state.checked = m_bar->panelShownInFull(m_index);
        }
        return state;
    }

private:
    QPointer<StatusBar> m_bar;
    int m_index;
};

// The bar. Its panels' interfaces are made when first asked for and
// registered, so that each keeps one identity; they go with the bar's.
class StatusBarAccessible : public QAccessibleWidget
{
public:
    explicit StatusBarAccessible(StatusBar *bar)
        : QAccessibleWidget(bar, QAccessible::StatusBar)
    {
    }
    ~StatusBarAccessible() override
    {
        for (QAccessible::Id id : m_panelIds)
            if (id)
                QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return bar()->panelCount(); }
    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        if (m_panelIds.size() < size_t(childCount()))
            m_panelIds.resize(size_t(childCount()), 0);
        QAccessible::Id &id = m_panelIds[size_t(index)];
        if (!id)
            id = QAccessible::registerAccessibleInterface(
                new StatusPanelAccessible(bar(), index + 1));
        return QAccessible::accessibleInterface(id);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (int index = 0; index < childCount(); ++index)
            if (this->child(index) == child)
                return index;
        return -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QPoint local = bar()->mapFromGlobal(QPoint(x, y));
        for (int index = 1; index <= childCount(); ++index)
            if (bar()->panelGeometry(index).contains(local))
                return child(index - 1);
        return nullptr;
    }

private:
    StatusBar *bar() const { return static_cast<StatusBar *>(widget()); }

    mutable std::vector<QAccessible::Id> m_panelIds;
};

QAccessibleInterface *statusBarFactory(const QString &, QObject *object)
{
    if (auto *bar = qobject_cast<StatusBar *>(object))
        return new StatusBarAccessible(bar);
    return nullptr;
}

} // namespace

void installStatusBarAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(statusBarFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void announcePanelTextChange(StatusBar &bar, int index)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(&bar, QAccessible::NameChanged);
    event.setChild(index - 1);
    QAccessible::updateAccessibility(&event);
}

void announceKeyStateChange(StatusBar &bar)
{
    if (!QAccessible::isActive())
        return;
    for (int index = 1; index <= bar.panelCount(); ++index) {
        if (!isKeyStatePanel(*bar.Panels(index)))
            continue;
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent stateEvent(&bar, changed);
        stateEvent.setChild(index - 1);
        QAccessible::updateAccessibility(&stateEvent);
        QAccessibleEvent descriptionEvent(&bar, QAccessible::DescriptionChanged);
        descriptionEvent.setChild(index - 1);
        QAccessible::updateAccessibility(&descriptionEvent);
    }
}
