#include "app/state/WindowSettings.h"

#include "app/state/CurrentWindow.h"
#include "app/state/StoredValue.h"
#include "app/state/WindowTitle.h"
#include "app/state/modMainModule.h"
#include "editor/EditorWindow.h"
#include "platform/Twips.h"
#include "platform/richtext/RichTextBox.h"
#include "platform/system/StatusBar.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>

#include <limits>

namespace {

// The view options stored with the window: key, menu-bar item, hidden-set item.
struct ViewOption
{
    const char *key;
    const char *item;
    const char *hiddenItem;
};
const ViewOption viewOptions[] = {
    {"AlwaysTop", "mnuAlwaysTop", "mnuHidAlwaysTop"},
    {"Wordwrap", "mnuWordwrap", "mnuHidWordwrap"},
    {"StatusBar", "mnuStatusBar", "mnuHidStatusBar"},
};

// The least size of a window that can still be used, and how much of it must
// be on a screen (twips).
constexpr double MinimumWidthTwips = 2400, MinimumHeightTwips = 1500;
constexpr double MinimumOnScreenTwips = 480;

int readPixelsX(const char *key, int current)
{
    return twipsToPixelsX(stored::readSingle(stored::SettingsSection, QLatin1String(key),
                                             float(pixelsToTwipsX(current))));
}

int readPixelsY(const char *key, int current)
{
    return twipsToPixelsY(stored::readSingle(stored::SettingsSection, QLatin1String(key),
                                             float(pixelsToTwipsY(current))));
}

QString twipsText(double twips) { return stored::fromSingle(float(twips)); }

qint64 squaredDistance(const QRect &area, const QPoint &point)
{
    const qint64 dx = point.x() < area.left() ? area.left() - point.x()
        : point.x() > area.right()            ? point.x() - area.right()
                                              : 0;
    const qint64 dy = point.y() < area.top() ? area.top() - point.y()
        : point.y() > area.bottom()          ? point.y() - area.bottom()
                                             : 0;
    return dx * dx + dy * dy;
}

// Where a window with a stored place goes, and the screen area its whole
// frame must then lie in (empty when the place is used as stored).
struct Placement
{
    QRect place;
    QRect frameArea;
};

// The window's frame position and inside size as they will be: too small a
// size is made usable; a window larger than the screen it is on is cut to
// that screen, and one that would show too little of itself on every screen
// is moved (and cut if need be) onto the nearest one. Either way its frame
// must then fit the screen.
Placement usablePlace(QRect place)
{
    place.setWidth(qMax(place.width(), twipsToPixelsX(MinimumWidthTwips)));
    place.setHeight(qMax(place.height(), twipsToPixelsY(MinimumHeightTwips)));

    const QSize enough(twipsToPixelsX(MinimumOnScreenTwips), twipsToPixelsY(MinimumOnScreenTwips));
    const QScreen *showing = nullptr;
    const QScreen *nearest = nullptr;
    qint64 nearestDistance = std::numeric_limits<qint64>::max();
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        const QRect shown = area.intersected(place);
        if (shown.width() >= qMin(enough.width(), place.width())
            && shown.height() >= qMin(enough.height(), place.height())) {
            showing = screen;
            break;
        }
        const qint64 distance = squaredDistance(area, place.center());
        if (distance < nearestDistance) {
            nearest = screen;
            nearestDistance = distance;
        }
    }
    const QScreen *screen = showing ? showing : nearest;
    if (!screen)
        return {place, QRect()};
    const QRect area = screen->availableGeometry();
    if (showing && area.width() >= place.width() && area.height() >= place.height())
        return {place, QRect()};
    place.setSize(place.size().boundedTo(area.size()));
    if (!showing) {
        place.moveLeft(qBound(area.left(), place.left(), area.right() + 1 - place.width()));
        place.moveTop(qBound(area.top(), place.top(), area.bottom() + 1 - place.height()));
    }
    return {place, area};
}

} // namespace

void LoadWindowSettings()
{
    EditorWindow &window = currentWindow();

    // Unless something is stored, the window stays where the system puts it.
    const QRect current(window.pos(), window.size());
    const int left = readPixelsX("Left", current.left());
    const int top = readPixelsY("Top", current.top());
    const int height = readPixelsY("Height", current.height());
    const int width = readPixelsX("Width", current.width());
    QRect place(left, top, width, height);
    if (place != current) {
        const Placement placement = usablePlace(place);
        window.move(placement.place.topLeft());
        window.resize(placement.place.size());
        if (!placement.frameArea.isNull())
            window.keepFrameWithin(placement.frameArea);
    }

    for (const ViewOption &option : viewOptions) {
        QAction *item = window.item(QLatin1String(option.item));
        item->setChecked(stored::readBoolean(stored::SettingsSection, QLatin1String(option.key),
                                             item->isChecked()));
    }
    for (const ViewOption &option : viewOptions) {
        QAction *item = window.item(QLatin1String(option.hiddenItem));
        item->setChecked(stored::readBoolean(stored::SettingsSection, QLatin1String(option.key),
                                             item->isChecked()));
    }

    setCaption(window, App.FileTitle + CaptionEnd);
}

void SaveWindowSettings()
{
    const EditorWindow &window = currentWindow();
    if (!window.isMinimized()) {
        stored::write(stored::SettingsSection, QStringLiteral("Left"),
                      twipsText(pixelsToTwipsX(window.x())));
        stored::write(stored::SettingsSection, QStringLiteral("Top"),
                      twipsText(pixelsToTwipsY(window.y())));
        stored::write(stored::SettingsSection, QStringLiteral("Height"),
                      twipsText(pixelsToTwipsY(window.height())));
        stored::write(stored::SettingsSection, QStringLiteral("Width"),
                      twipsText(pixelsToTwipsX(window.width())));
    }
    const auto writeCheck = [&window](const char *key, const char *item) {
        stored::write(stored::SettingsSection, QLatin1String(key),
                      stored::fromBoolean(window.item(QLatin1String(item))->isChecked()));
    };
    writeCheck("AlwaysTop", "mnuAlwaysTop");
    writeCheck("StatusBar", "mnuStatusBar");
    writeCheck("HideMenu", "mnuHideMenu");
    writeCheck("Wordwrap", "mnuWordwrap");
}

void BindEditorControls()
{
    const EditorWindow &window = currentWindow();
    App.CurrentRichTextBox = window.findChild<RichTextBox *>(QStringLiteral("RichTextBox"));
    App.CurrentStatusBar = window.findChild<StatusBar *>(QStringLiteral("StatusBar1"));
}
