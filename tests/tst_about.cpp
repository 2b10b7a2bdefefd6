// The About box: its layout, its picture at every scale, its life as a modal,
// top-most window of the editor, and Clean Registry with the question about
// unsaved changes before it.

#include "DocumentTestSupport.h"
#include "ModalDriver.h"
#include "ScriptedModalHost.h"
#include "ShellTestSupport.h"
#include "TestEnvironment.h"

#include "appearance/AboutPicture.h"
#include "appearance/frmAbout.h"
#include "document/FileCommands.h"
#include "platform/Twips.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QTemporaryDir>

using namespace shelltest;
using namespace doctest;

namespace {

const QString SettingsSection = QStringLiteral("Settings");

const QString CleanPrompt
    = QStringLiteral("This Will Clean your registry of Scrivlet settings.\r\n"
                     "This also requires that Scrivlet close itself afterwards.");

QString storeFile()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, AppName, AppName).fileName();
}

QPointer<AboutDialog> openAbout()
{
    QPointer<AboutDialog> dialog = new AboutDialog(&currentWindow());
    dialog->Form_Load();
    dialog->show();
    return dialog;
}

} // namespace

class AboutTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { start(); }
    void cleanup()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        endRun();
    }

    void layoutInTwips()
    {
        QPointer<AboutDialog> dialog = openAbout();
        const auto px = [](int x, int y, int w, int h) {
            return QRect(twipsToPixelsX(x), twipsToPixelsY(y), twipsToPixelsX(w),
                         twipsToPixelsY(h));
        };
        QCOMPARE(dialog->objectName(), QStringLiteral("frmAbout"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("About Scrivlet"));
        QCOMPARE(dialog->size(), px(0, 0, 3450, 1965).size());
        QVERIFY(dialog->windowFlags() & Qt::Tool);
        QCOMPARE(dialog->Label1->geometry(), px(720, 120, 735, 255));
        QCOMPARE(dialog->Label2->geometry(), px(120, 480, 1935, 255));
        QCOMPARE(dialog->Label3->geometry(), px(120, 720, 1815, 255));
        QCOMPARE(dialog->Command1->geometry(), px(360, 1080, 1335, 375));
        QCOMPARE(dialog->Command2->geometry(), px(2040, 1080, 1335, 375));
        // At 96 dots an inch the picture box holds the picture pixel for pixel.
        QCOMPARE(dialog->Picture1->geometry(), px(2280, 360, 825, 540));
        if (dialog->logicalDpiX() == 96)
            QCOMPARE(dialog->Picture1->size(), QSize(55, 36));
        QCOMPARE(dialog->Label2->text(), QStringLiteral("Scrivlet was Written by:"));
        QCOMPARE(dialog->Command1->text(), QStringLiteral("Woopty!"));
        QCOMPARE(dialog->Command2->text(), QStringLiteral("Clean Registry"));
        QVERIFY(!dialog->Label1->text().contains(QLatin1Char(' ')));
        QVERIFY(!dialog->Label3->text().isEmpty());
        // Enter acts on the focused button, at first Woopty!
        QCOMPARE(dialog->focusWidget(), dialog->Command1);
        QVERIFY(!dialog->Command2->isDefault());
        QCOMPARE(dialog->Command1->nextInFocusChain(), dialog->Command2);
        // Top-most, whatever Always On Top says; centred on the screen.
        QVERIFY(!item("mnuAlwaysTop").isChecked());
        QVERIFY(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
        const QPoint screenCentre = currentWindow().screen()->availableGeometry().center();
        const QPoint offCentre = dialog->geometry().center() - screenCentre;
        QVERIFY(qAbs(offCentre.x()) <= 2 && qAbs(offCentre.y()) <= 2); // the frame, if any
        dialog->Command1->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!dialog);
    }

    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("closes");
        QTest::newRow("Enter presses the focused Woopty!") << int(Qt::Key_Return) << true;
        QTest::newRow("Esc does nothing") << int(Qt::Key_Escape) << false;
    }

    void keys()
    {
        QFETCH(int, key);
        QFETCH(bool, closes);
        QPointer<AboutDialog> dialog = openAbout();
        QCOMPARE(dialog->focusWidget(), dialog->Command1);
        QTest::keyClick(dialog->Command1, Qt::Key(key));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(dialog.isNull(), closes);
        if (dialog)
            dialog->close();
    }

    void pictureIsSharpAtEveryScale_data()
    {
        QTest::addColumn<qreal>("scale");
        QTest::newRow("1") << 1.0;
        QTest::newRow("1.25") << 1.25;
        QTest::newRow("1.5") << 1.5;
        QTest::newRow("2") << 2.0;
        QTest::newRow("3") << 3.0;
    }

    void pictureIsSharpAtEveryScale()
    {
        QFETCH(qreal, scale);
        const QImage picture = aboutPicture();
        QCOMPARE(picture.size(), QSize(55, 36));
        QSet<QRgb> pictureColours;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                pictureColours.insert(picture.pixel(x, y));
        QVERIFY2(pictureColours.size() >= 4, "a figure, not a plain ground");
        const QColor corner = picture.pixelColor(0, 0);
        QVERIFY2(corner.green() > corner.red() && corner.green() > corner.blue(), "a green ground");

        AboutPicture widget;
        widget.resize(55, 36);
        QImage shown(QSize(qRound(55 * scale), qRound(36 * scale)), QImage::Format_RGB32);
        shown.setDevicePixelRatio(scale);
        shown.fill(Qt::magenta);
        widget.render(&shown);
        // Every screen pixel is one of the picture's: nothing blended.
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                if (!pictureColours.contains(shown.pixel(x, y)))
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 is blurred").arg(x).arg(y)));
            }
        }
        // At a whole scale each picture pixel is a square block.
        if (scale == std::floor(scale)) {
            const int n = int(scale);
            for (int y = 0; y < 36; ++y)
                for (int x = 0; x < 55; ++x)
                    QCOMPARE(shown.pixel(x * n + n - 1, y * n + n - 1), picture.pixel(x, y));
        }
    }

    void helpAboutOpensAModalTopMostDialogOfTheEditor()
    {
        bool modal = false;
        bool onTop = false;
        QWidget *owner = nullptr;
        ModalDriver driver({[&](QWidget *front) {
            auto *dialog = qobject_cast<AboutDialog *>(front);
            QVERIFY(dialog);
            modal = dialog->isModal();
            onTop = dialog->windowFlags() & Qt::WindowStaysOnTopHint;
            owner = dialog->parentWidget();
            dialog->Command1->click();
        }});
        HelpAbout();
        VERIFY_DRIVEN(driver);
        QVERIFY(modal && onTop);
        QCOMPARE(owner, &currentWindow());
    }

    void cleanRegistry_data()
    {
        QTest::addColumn<QString>("document"); // "clean", "untitled" or "titled"
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<bool>("saveAsCancelled");
        QTest::addColumn<bool>("asksToSave");
        QTest::addColumn<bool>("ends");
        QTest::addColumn<bool>("fileWritten");
        QTest::newRow("Cancel") << "titled" << QList<int>{vbCancel} << false << false << false
                                << false;
        QTest::newRow("OK, clean document")
            << "clean" << QList<int>{vbOK} << false << false << true << false;
        QTest::newRow("OK, then Cancel to the save question")
            << "titled" << QList<int>{vbOK, vbCancel} << false << true << false << false;
        QTest::newRow("OK, then No")
            << "titled" << QList<int>{vbOK, vbNo} << false << true << true << false;
        QTest::newRow("OK, then Yes: saved first")
            << "titled" << QList<int>{vbOK, vbYes} << false << true << true << true;
        QTest::newRow("OK, then Yes, Save As cancelled")
            << "untitled" << QList<int>{vbOK, vbYes} << true << true << false << false;
    }

    void cleanRegistry()
    {
        QFETCH(QString, document);
        QFETCH(QList<int>, answers);
        QFETCH(bool, saveAsCancelled);
        QFETCH(bool, asksToSave);
        QFETCH(bool, ends);
        QFETCH(bool, fileWritten);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("notes.txt"));
        writeFile(path, "old");
        if (document != QLatin1String("untitled"))
            OpenDocument(path);
        if (document != QLatin1String("clean"))
            typeText(QStringLiteral("new "));
        store(SettingsSection, QStringLiteral("Wordwrap"), QStringLiteral("False"));
        store(QStringLiteral("Fonts"), QStringLiteral("DefBold"), QStringLiteral("True"));

        ScriptedModalHost host;
        for (int answer : answers)
            host.answerMessageBox(answer);
        if (saveAsCancelled)
            host.cancelFileDialog();
        ProgramEndWatch end;
        QPointer<AboutDialog> dialog = openAbout();
        dialog->Command2->click();

        QVERIFY(host.errors().isEmpty());
        QCOMPARE(host.unusedAnswers(), 0);
        QCOMPARE(host.messageBoxes().first().prompt, CleanPrompt);
        QCOMPARE(host.messageBoxes().first().buttons, int(vbOKCancel));
        QCOMPARE(host.messageBoxes().first().title, QStringLiteral("Clean Registry?"));
        QCOMPARE(host.messageBoxes().size(), asksToSave ? 2 : 1);
        if (asksToSave)
            QCOMPARE(host.messageBoxes().at(1).title, SaveQuestionTitle);
        QCOMPARE(end.count(), ends ? 1 : 0);
        QCOMPARE(readFile(path), fileWritten ? QByteArray("new old") : QByteArray("old"));
        if (ends) {
            QVERIFY(storedKeys(SettingsSection).isEmpty());
            QVERIFY(storedKeys(QStringLiteral("Fonts")).isEmpty());
            QVERIFY(!QFileInfo::exists(storeFile()));
            QVERIFY(!QFileInfo::exists(QFileInfo(storeFile()).absolutePath()));
        } else {
            QCOMPARE(stored(SettingsSection, QStringLiteral("Wordwrap")), QStringLiteral("False"));
            QCOMPARE(stored(QStringLiteral("Fonts"), QStringLiteral("DefBold")),
                     QStringLiteral("True"));
            QCOMPARE(App.IsSaved, document == QLatin1String("clean"));
            QVERIFY(dialog && dialog->isVisible());
        }
        if (dialog)
            dialog->close();
    }

    void cleanRegistryWithNothingStoredIsNoError()
    {
        DeleteSetting(AppName);
        QVERIFY(!QFileInfo::exists(storeFile()));
        ScriptedModalHost host;
        host.answerMessageBox(vbOK);
        ProgramEndWatch end;
        QPointer<AboutDialog> dialog = openAbout();
        dialog->Command2->click();
        QCOMPARE(host.messageBoxes().size(), 1); // no error box
        QCOMPARE(end.count(), 1);
        QVERIFY(!QFileInfo::exists(storeFile()));
        QVERIFY(!QFileInfo::exists(QFileInfo(storeFile()).absolutePath()));
        dialog->close();
    }

    void theFolderKeepsWhatIsNotTheStores()
    {
        store(SettingsSection, QStringLiteral("Wordwrap"), QStringLiteral("False"));
        const QString other = QFileInfo(storeFile()).absolutePath() + QStringLiteral("/other.txt");
        writeFile(other, "kept");
        CleanRegistry();
        QVERIFY(!QFileInfo::exists(storeFile()));
        QCOMPARE(readFile(other), QByteArray("kept"));
        QFile::remove(other);
    }

    void aStoreThatCannotBeDeletedIsReported()
    {
        // A folder where the settings file belongs cannot be taken for it
        // and removed, even by root.
        const QString blocker = storeFile() + QStringLiteral("/inside");
        QVERIFY(QDir().mkpath(blocker));
        ScriptedModalHost host;
        host.answerMessageBox(vbOK);
        host.answerMessageBox(vbCancel); // the error box: go on
        ProgramEndWatch end;
        QPointer<AboutDialog> dialog = openAbout();
        dialog->Command2->click();
        QDir(storeFile()).removeRecursively();
        QCOMPARE(end.count(), 0);
        QCOMPARE(host.messageBoxes().size(), 2);
        QCOMPARE(host.messageBoxes().last().title, UnknownErrorTitle);
        QVERIFY(host.messageBoxes().last().prompt.startsWith(
            QStringLiteral("An Unknown Error occured: 70")));
        dialog->close();
    }
};

SCRIVLET_TEST_MAIN(AboutTest)

#include "tst_about.moc"
