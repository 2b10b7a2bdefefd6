#include "TestEnvironment.h"

#include "platform/RuntimeError.h"
#include "platform/system/KeyState.h"
#include "platform/system/StatusBar.h"

#include <QApplication>
#include <QHelpEvent>
#include <QImage>
#include <QSignalSpy>
#include <QToolTip>

#include <cmath>

namespace {

// Twips in whole pixels of the screen's logical resolution, 15 twips a pixel
// at 96 dpi.
int px(double twips)
{
    return int(
        std::nearbyint(twips * QGuiApplication::primaryScreen()->logicalDotsPerInchX() / 1440));
}

// The status bar of an editor window: a spring, the position panel sized to
// its text, and the Insert, Caps Lock and Num Lock panels.
void addEditorPanels(StatusBar &bar)
{
    bar.addPanel()->setAutoSize(sbrSpring);
    StatusBarPanel *position = bar.addPanel();
    position->setText(QStringLiteral(" Ln 1, Col 1  "));
    position->setToolTipText(QStringLiteral("Current Position"));
    position->setAutoSize(sbrContents);
    position->setMinWidth(1000);
    const struct
    {
        int style;
        const char *text;
        const char *tip;
    } keys[]
        = {{sbrIns, "INS", "Insert"}, {sbrCaps, "CAPS", "Capslock"}, {sbrNum, "NUM", "Numlock"}};
    for (const auto &key : keys) {
        StatusBarPanel *panel = bar.addPanel();
        panel->setStyle(key.style);
        panel->setText(QLatin1String(key.text));
        panel->setToolTipText(QLatin1String(key.tip));
        panel->setWidth(600);
    }
}

// The pixels of the bar that differ from its background inside rect.
int inkInside(const QImage &image, const QRect &rect, QColor background)
{
    int ink = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            ink += image.pixel(x, y) != background.rgb() ? 1 : 0;
    return ink;
}

// The widget as grabbed, one image pixel for each of the widget's pixels, so
// that panel geometry indexes the image: a grab holds the screen's device
// pixels, more of them than the widget's on a high-density screen.
QImage pictureOf(QWidget &widget)
{
    return widget.grab().toImage().scaled(widget.size(), Qt::IgnoreAspectRatio,
                                          Qt::FastTransformation);
}

class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

class TestStatusBar : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { KeyState::instance().setInsertToggled(false); }

    void defaultHeightIs255Twips()
    {
        StatusBar bar;
        addEditorPanels(bar);
        QCOMPARE(bar.sizeHint().height(), px(255));
        QCOMPARE(bar.height(), px(255));
    }

    void springTakesWhatTheOthersLeave()
    {
        StatusBar bar;
        addEditorPanels(bar);
        bar.resize(600, px(255));
        for (int i = 3; i <= 5; ++i)
            QCOMPARE(bar.panelGeometry(i).width(), px(600));
        for (int i = 2; i <= 5; ++i)
            QVERIFY(bar.panelGeometry(i).left() > bar.panelGeometry(i - 1).right());
        QCOMPARE(bar.panelGeometry(1).left(), 0);
        QCOMPARE(bar.panelGeometry(5).right(), bar.width() - 1);

        const int springBefore = bar.panelGeometry(1).width();
        const int positionBefore = bar.panelGeometry(2).width();
        bar.resize(800, px(255));
        QCOMPARE(bar.panelGeometry(1).width(), springBefore + 200);
        QCOMPARE(bar.panelGeometry(2).width(), positionBefore);
        QCOMPARE(bar.panelGeometry(5).right(), bar.width() - 1);
    }

    void springKeepsItsMinimum()
    {
        StatusBar bar;
        addEditorPanels(bar);
        bar.Panels(1)->setMinWidth(300);
        bar.resize(100, px(255));
        QCOMPARE(bar.panelGeometry(1).width(), px(300));
        QVERIFY(bar.panelGeometry(2).left() > bar.panelGeometry(1).right());
    }

    void springsShareEvenly()
    {
        StatusBar bar;
        bar.addPanel()->setAutoSize(sbrSpring);
        bar.addPanel()->setWidth(1500);
        bar.addPanel()->setAutoSize(sbrSpring);
        bar.resize(301, px(255));
        const int left = bar.panelGeometry(1).width();
        const int right = bar.panelGeometry(3).width();
        QVERIFY(qAbs(left - right) <= 1);
        QCOMPARE(bar.panelGeometry(3).right(), bar.width() - 1);
    }

    void contentsPanelFitsItsText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("atMinimum");
        QTest::newRow("short text: minimum width") << QStringLiteral("x") << true;
        QTest::newRow("long text: wider")
            << QStringLiteral(" Ln 123456789, Col 123456789  ") << false;
    }
    void contentsPanelFitsItsText()
    {
        QFETCH(QString, text);
        QFETCH(bool, atMinimum);
        StatusBar bar;
        addEditorPanels(bar);
        bar.resize(800, px(255));
        bar.Panels(2)->setText(text);
        const QRect rect = bar.panelGeometry(2);
        QVERIFY(rect.width() >= px(1000)); // its MinWidth
        QVERIFY(rect.width() > bar.fontMetrics().horizontalAdvance(text));
        QCOMPARE(rect.width() == px(1000), atMinimum);
        QCOMPARE(bar.panelDisplayText(2), text);
    }

    void sizeHintAddsUpThePanels()
    {
        StatusBar bar;
        addEditorPanels(bar);
        bar.Panels(1)->setMinWidth(150);
        bar.resize(bar.sizeHint());
        QCOMPARE(bar.panelGeometry(1).width(), px(150));
        QCOMPARE(bar.panelGeometry(5).right(), bar.width() - 1);
    }

    void panelsAreNumberedFromOne()
    {
        StatusBar bar;
        addEditorPanels(bar);
        QCOMPARE(bar.panelCount(), 5);
        QCOMPARE(bar.Panels(2)->ToolTipText(), QStringLiteral("Current Position"));
        for (int index : {0, 6, -1}) {
            try {
                bar.Panels(index);
                QFAIL("a panel number out of range was accepted");
            } catch (const RuntimeError &error) {
                QCOMPARE(error.Number(), int(ErrIndexOutOfBounds));
            }
        }
    }

    void keyPanelsShowTheirKeyWithoutText()
    {
        StatusBar bar;
        for (int style : {sbrIns, sbrCaps, sbrNum, sbrText})
            bar.addPanel()->setStyle(style);
        QCOMPARE(bar.panelDisplayText(1), QStringLiteral("INS"));
        QCOMPARE(bar.panelDisplayText(2), QStringLiteral("CAPS"));
        QCOMPARE(bar.panelDisplayText(3), QStringLiteral("NUM"));
        QCOMPARE(bar.panelDisplayText(4), QString());
    }

    void toolTipOfThePanelUnderTheMouse()
    {
        StatusBar bar;
        addEditorPanels(bar);
        bar.resize(600, px(255));
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));

        const struct
        {
            int panel;
            const char *tip;
        } cases[] = {{2, "Current Position"}, {3, "Insert"}, {4, "Capslock"}, {5, "Numlock"}};
        for (const auto &c : cases) {
            const QPoint pos = bar.panelGeometry(c.panel).center();
            QHelpEvent help(QEvent::ToolTip, pos, bar.mapToGlobal(pos));
            QApplication::sendEvent(&bar, &help);
            QVERIFY(help.isAccepted());
            QCOMPARE(QToolTip::text(), QLatin1String(c.tip));
        }

        // The spring has no tool tip: the event is left to others.
        const QPoint pos = bar.panelGeometry(1).center();
        QHelpEvent help(QEvent::ToolTip, pos, bar.mapToGlobal(pos));
        QApplication::sendEvent(&bar, &help);
        QVERIFY(!help.isAccepted());
    }

    void keyStateNotifiesChanges()
    {
        KeyState &keys = KeyState::instance();
        QSignalSpy changed(&keys, &KeyState::changed);
        keys.setInsertToggled(true);
        QVERIFY(keys.insertToggled());
        keys.setInsertToggled(true);
        QCOMPARE(changed.count(), 1);
        keys.setInsertToggled(false);
        QVERIFY(!keys.insertToggled());
        QCOMPARE(changed.count(), 2);
        // Without a keyboard that reports its lights the lock keys read off
        // and a refresh changes nothing.
        keys.refresh();
        QVERIFY(!keys.capsLock());
        QVERIFY(!keys.numLock());
        QCOMPARE(changed.count(), 2);
    }

    void keyPanelsFollowKeyState()
    {
        StatusBar bar;
        addEditorPanels(bar);
        bar.resize(600, px(255));
        QVERIFY(bar.panelShownInFull(1));
        QVERIFY(bar.panelShownInFull(2));
        QVERIFY(!bar.panelShownInFull(3));
        QCOMPARE(bar.panelShownInFull(4), KeyState::instance().capsLock());
        QCOMPARE(bar.panelShownInFull(5), KeyState::instance().numLock());
        KeyState::instance().setInsertToggled(true);
        QVERIFY(bar.panelShownInFull(3));
        KeyState::instance().setInsertToggled(false);
        QVERIFY(!bar.panelShownInFull(3));
    }

    void insertPanelRepaintsDimmedAndInFull()
    {
        StatusBar bar;
        addEditorPanels(bar);
        bar.resize(600, px(255));
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        PaintCounter counter;
        bar.installEventFilter(&counter);

        const QRect inside = bar.panelGeometry(3).adjusted(2, 2, -2, -2);
        const QImage dimmed = pictureOf(bar).copy(inside);
        const int paintsBefore = counter.paints;
        KeyState::instance().setInsertToggled(true);
        QTRY_VERIFY(counter.paints > paintsBefore); // the bar repaints by itself
        const QImage full = pictureOf(bar).copy(inside);
        QVERIFY(dimmed != full);
        // The same text, darker while the key is on.
        const QColor background = bar.palette().color(QPalette::Window);
        QCOMPARE(inkInside(dimmed, dimmed.rect(), background) > 0, true);
        QCOMPARE(inkInside(full, full.rect(), background) > 0, true);
        qint64 dimmedSum = 0, fullSum = 0;
        for (int y = 0; y < full.height(); ++y)
            for (int x = 0; x < full.width(); ++x) {
                dimmedSum += qGray(dimmed.pixel(x, y));
                fullSum += qGray(full.pixel(x, y));
            }
        QVERIFY(fullSum < dimmedSum);
    }

    void textIsLeftAlignedInAnInsetBevel()
    {
        StatusBar bar;
        StatusBarPanel *wide = bar.addPanel();
        wide->setWidth(3000);
        wide->setText(QStringLiteral("X"));
        StatusBarPanel *flat = bar.addPanel();
        flat->setWidth(600);
        flat->setBevel(sbrNoBevel);
        bar.resize(px(4500), px(255));
        const QImage image = pictureOf(bar);
        const QColor background = bar.palette().color(QPalette::Window);

        const QRect panel = bar.panelGeometry(1);
        const QRect inner = panel.adjusted(2, 2, -2, -2);
        const QRect leftQuarter(inner.left(), inner.top(), inner.width() / 4, inner.height());
        const QRect rest(leftQuarter.right() + 1, inner.top(), inner.width() - leftQuarter.width(),
                         inner.height());
        QVERIFY(inkInside(image, leftQuarter, background) > 0);
        QCOMPARE(inkInside(image, rest, background), 0);

        // Inset: shadow along the top and left edges. No bevel: nothing.
        const QRgb shadow = bar.palette().color(QPalette::Dark).rgb();
        QCOMPARE(image.pixel(panel.left(), panel.center().y()), shadow);
        QCOMPARE(image.pixel(panel.center().x(), panel.top()), shadow);
        QCOMPARE(inkInside(image, bar.panelGeometry(2), background), 0);
    }
};

SCRIVLET_TEST_MAIN(TestStatusBar)
#include "tst_statusbar.moc"
