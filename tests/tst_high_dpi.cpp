// The editor on screens of other resolutions (CTest runs this program on
// scaled screens too): a stored window keeps its size in inches, and the
// icon, the About picture and the status bar are drawn in device pixels.

#include "ShellTestSupport.h"
#include "TestEnvironment.h"

#include "appearance/AboutPicture.h"
#include "appearance/frmAbout.h"
#include "editor/AppIcon.h"

#include <QScreen>
#include <QSet>

#include <cmath>

using namespace shelltest;

namespace {

// Device pixels in an inch of the screen the window is on: Qt's logical
// resolution times the scale it applies.
double devicePixelsPerInch(const QWidget &widget)
{
    return widget.screen()->logicalDotsPerInchX() * widget.devicePixelRatioF();
}

// An image as its device pixels, whatever scale it was drawn for.
QImage asDevicePixels(QImage image)
{
    image.setDevicePixelRatio(1);
    return image.convertToFormat(QImage::Format_ARGB32);
}

QSet<QRgb> colorsOf(const QImage &image)
{
    QSet<QRgb> colors;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            colors.insert(rgb.pixel(x, y));
    return colors;
}

// The number of 2 x 2 blocks of device pixels in rect that are not of one
// colour: a picture drawn at half the resolution and scaled up has none.
int mixedBlocks(const QImage &image, const QRect &rect)
{
    int mixed = 0;
    for (int y = rect.top(); y + 1 <= rect.bottom(); y += 2)
        for (int x = rect.left(); x + 1 <= rect.right(); x += 2) {
            const QRgb first = image.pixel(x, y);
            if (image.pixel(x + 1, y) != first || image.pixel(x, y + 1) != first
                || image.pixel(x + 1, y + 1) != first)
                ++mixed;
        }
    return mixed;
}

} // namespace

class HighDpiTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { DeleteSetting(AppName); }
    void cleanup() { endRun(); }

    void theScreenIsTheOneAskedFor()
    {
        // Guards the scaled runs: a screen that silently stayed at 96 dpi and
        // one pixel a point would make them test nothing new.
        const QScreen *screen = QGuiApplication::primaryScreen();
        const QByteArray asked = qgetenv("SCRIVLET_TEST_SCREEN");
        const double dpi = screen->logicalDotsPerInchX();
        const double scale = screen->devicePixelRatio();
        qInfo("screen %s: %g dpi, scale %g, %dx%d", asked.isEmpty() ? "unscaled" : asked.data(),
              dpi, scale, screen->geometry().width(), screen->geometry().height());
        if (asked == "scale2")
            QCOMPARE(scale, 2.0);
        else if (asked == "dpi144")
            QCOMPARE(dpi * scale, 144.0);
        else if (asked == "dpi144-unscaled")
            QVERIFY(dpi == 144.0 && scale == 1.0);
        else
            QVERIFY(dpi == 96.0 && scale == 1.0);
    }

    // A place stored in twips opens at the same size in inches on every
    // screen: on a 144-dpi screen a 9000-twip window is 900 device pixels
    // wide, on a 96-dpi one 600.
    void aStoredWindowKeepsItsSizeInInches_data()
    {
        QTest::addColumn<bool>("small");
        QTest::addColumn<double>("widthTwips");
        QTest::addColumn<double>("heightTwips");
        QTest::newRow("normal window") << false << 9000.0 << 6000.0;
        QTest::newRow("normal window, odd twips") << false << 7777.0 << 5333.0;
        QTest::newRow("small window") << true << 4800.0 << 3600.0;
    }
    void aStoredWindowKeepsItsSizeInInches()
    {
        QFETCH(bool, small);
        QFETCH(double, widthTwips);
        QFETCH(double, heightTwips);
        store("Settings", "Left", "1440");
        store("Settings", "Top", "1440");
        store("Settings", "Width", QString::number(widthTwips));
        store("Settings", "Height", QString::number(heightTwips));
        if (small)
            store("Settings", "WindowState", "1");
        EditorWindow &window = start();

        // One logical pixel of rounding, in device pixels.
        const double dpr = window.devicePixelRatioF();
        const double perInch = devicePixelsPerInch(window);
        QVERIFY2(std::abs(window.width() * dpr - widthTwips / 1440 * perInch) <= dpr,
                 qPrintable(QStringLiteral("width %1 px at %2 device px an inch")
                                .arg(window.width() * dpr)
                                .arg(perInch)));
        QVERIFY(std::abs(window.height() * dpr - heightTwips / 1440 * perInch) <= dpr);
        QVERIFY(std::abs(window.x() * dpr - perInch) <= dpr);

        // And the size it is closed at is stored in inches again.
        window.resize(window.width() + 31, window.height() + 17);
        const double widthInches = window.width() * dpr / perInch;
        const double heightInches = window.height() * dpr / perInch;
        endRunKeepingTheStore();
        QVERIFY(std::abs(stored("Settings", "Width").toDouble() / 1440 - widthInches)
                <= 1.0 / perInch);
        QVERIFY(std::abs(stored("Settings", "Height").toDouble() / 1440 - heightInches)
                <= 1.0 / perInch);
    }

    // The icon at each size the desktop asks for is drawn at the screen's
    // device pixels, not a smaller picture scaled up.
    void theIconIsDrawnInDevicePixels_data()
    {
        QTest::addColumn<int>("size");
        for (int size : {16, 32, 48})
            QTest::addRow("%d points", size) << size;
    }
    void theIconIsDrawnInDevicePixels()
    {
        QFETCH(int, size);
        EditorWindow &window = start();
        const qreal dpr = window.devicePixelRatioF();
        const QPixmap shown = window.windowIcon().pixmap(QSize(size, size), dpr);
        const int devicePixels = qRound(size * dpr);
        QCOMPARE(shown.size(), QSize(devicePixels, devicePixels));
        QCOMPARE(shown.deviceIndependentSize(), QSizeF(size, size));
        const QImage direct
            = applicationIcon().pixmap(QSize(devicePixels, devicePixels), 1.0).toImage();
        QCOMPARE(asDevicePixels(shown.toImage()), asDevicePixels(direct));
    }

    // Every pixel of the About picture becomes whole device pixels of its
    // own colour: no blended colour appears at any scale.
    void theAboutPictureIsSharp()
    {
        EditorWindow &window = start();
        AboutDialog about(&window);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        const QImage shown = about.Picture1->grab().toImage();
        const qreal dpr = about.Picture1->devicePixelRatioF();
        QCOMPARE(shown.size(), about.Picture1->size() * dpr);
        const QImage picture = aboutPicture();
        const QSet<QRgb> pictureColors = colorsOf(picture);
        const QSet<QRgb> shownColors = colorsOf(shown);
        QVERIFY2(pictureColors.contains(shownColors),
                 qPrintable(QStringLiteral("%1 colours that the picture does not have")
                                .arg((shownColors - pictureColors).size())));
        // Where the picture fits a whole number of times, it is exactly its
        // pixels repeated.
        if (shown.width() % picture.width() == 0 && shown.height() % picture.height() == 0
            && shown.width() / picture.width() == shown.height() / picture.height())
            QCOMPARE(asDevicePixels(shown),
                     asDevicePixels(picture.scaled(shown.size(), Qt::IgnoreAspectRatio,
                                                   Qt::FastTransformation)));
    }

    // The status bar's texts are drawn at the device's resolution: at twice
    // the pixels, the position panel has detail finer than a point.
    void theStatusBarIsDrawnInDevicePixels()
    {
        EditorWindow &window = start();
        StatusBar &bar = *window.statusBar1();
        const qreal dpr = bar.devicePixelRatioF();
        const QImage shown = bar.grab().toImage();
        QCOMPARE(shown.size(), bar.size() * dpr);
        if (dpr < 2)
            QSKIP("the screen has fewer than two device pixels a point");
        const QRect panel = bar.panelGeometry(2);
        const QRect inDevicePixels(panel.topLeft() * dpr, panel.size() * dpr);
        QVERIFY(mixedBlocks(shown, inDevicePixels) > 10);
    }
};

SCRIVLET_TEST_MAIN(HighDpiTest)
#include "tst_high_dpi.moc"
