#include "platform/Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <climits>
#include <cmath>

namespace {

constexpr double TwipsPerInch = 1440.0;
constexpr double FallbackDpi = 96.0;

double logicalDpi(Qt::Orientation orientation)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return FallbackDpi;
    const double dpi = orientation == Qt::Horizontal ? screen->logicalDotsPerInchX()
                                                     : screen->logicalDotsPerInchY();
    return dpi > 0 ? dpi : FallbackDpi;
}

// Rounds to the nearest whole pixel, an exact half to the even neighbour,
// within the range of int (0 for a value that is not a number).
int toPixels(double value)
{
    if (std::isnan(value))
        return 0;
    const double rounded = std::nearbyint(value);
    if (rounded <= double(INT_MIN))
        return INT_MIN;
    if (rounded >= double(INT_MAX))
        return INT_MAX;
    return int(rounded);
}

} // namespace

double TwipsPerPixelX() { return TwipsPerInch / logicalDpi(Qt::Horizontal); }

double TwipsPerPixelY() { return TwipsPerInch / logicalDpi(Qt::Vertical); }

int twipsToPixelsX(double twips) { return toPixels(twips / TwipsPerPixelX()); }

int twipsToPixelsY(double twips) { return toPixels(twips / TwipsPerPixelY()); }

double pixelsToTwipsX(double pixels) { return pixels * TwipsPerPixelX(); }

double pixelsToTwipsY(double pixels) { return pixels * TwipsPerPixelY(); }
