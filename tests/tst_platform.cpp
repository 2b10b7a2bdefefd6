#include "EffectiveUser.h"
#include "TestEnvironment.h"

#include "platform/RuntimeError.h"
#include "platform/Twips.h"
#include "platform/system/Clipboard.h"
#include "platform/system/TopMost.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>

#include <cerrno>
#include <cmath>
#include <limits>

#include <unistd.h>

Q_DECLARE_METATYPE(QFileDevice::FileError)

namespace {

using testenv::EffectiveUser;
using testenv::NobodyUid;

} // namespace

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    // --- fileError from real failures ---

    void missingFileIsFileNotFound()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("absent.txt"));
        QFile file(path);
        QVERIFY(!file.open(QIODevice::ReadOnly));
        const RuntimeError error = fileError(path, file.error(), file.errorString());
        QCOMPARE(error.Number(), int(ErrFileNotFound));
        QVERIFY2(error.Description().contains(QDir::toNativeSeparators(path)),
                 qPrintable(error.Description()));
        QVERIFY(error.Description().contains(file.errorString()));
        QCOMPARE(QString::fromStdString(error.what()), error.Description());
    }

    void missingFolderIsPathNotFound_data()
    {
        QTest::addColumn<QIODevice::OpenModeFlag>("mode");
        QTest::newRow("read") << QIODevice::ReadOnly;
        QTest::newRow("write") << QIODevice::WriteOnly;
    }
    void missingFolderIsPathNotFound()
    {
        QFETCH(QIODevice::OpenModeFlag, mode);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("no/such/folder/file.txt"));
        QFile file(path);
        QVERIFY(!file.open(mode));
        const RuntimeError error = fileError(path, file.error(), file.errorString());
        QCOMPARE(error.Number(), int(ErrPathNotFound));
        QVERIFY(error.Description().contains(QDir::toNativeSeparators(path)));
    }

    void folderOpenedAsFileIsPathFileAccessError()
    {
        QTemporaryDir dir;
        QFile file(dir.path());
        QVERIFY(!file.open(QIODevice::WriteOnly));
        QCOMPARE(fileError(dir.path(), file.error(), file.errorString()).Number(),
                 int(ErrPathFileAccess));
    }

    void writeInReadOnlyFolderIsPermissionDenied()
    {
        SCRIVLET_SKIP_UNLESS_NOBODY_REACHES_TMPDIR();
        QTemporaryDir dir;
        const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup
            | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(dir.path(), readOnly));
        const QString path = dir.filePath(QStringLiteral("new.txt"));
        QFile file(path);
        bool opened = false;
        int number = 0;
        {
            // Folder permissions do not stop root: try it as an ordinary user.
            const EffectiveUser nobody(geteuid() == 0 ? NobodyUid : geteuid());
            if (!nobody.active())
                QSKIP("running as root and cannot take another user's identity");
            opened = file.open(QIODevice::WriteOnly);
            number = fileError(path, file.error(), file.errorString()).Number();
        }
        QFile::setPermissions(dir.path(), readOnly | QFile::WriteOwner);
        QVERIFY(!opened);
        QCOMPARE(number, int(ErrPermissionDenied));
    }

    void fullDeviceIsDiskFull()
    {
        QFile file(QStringLiteral("/dev/full"));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            QSKIP("/dev/full is not available here");
        const QByteArray data(4096, 'x');
        QCOMPARE(file.write(data), qint64(-1));
        const RuntimeError error = fileError(file.fileName(), file.error(), file.errorString());
        QCOMPARE(error.Number(), int(ErrDiskFull));
    }

    // --- fileError from the system's error code of the failed call ---

    void systemCodeDecides_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QFileDevice::FileError>("error");
        QTest::addColumn<int>("expected");
        QTest::newRow("EACCES") << EACCES << QFileDevice::OpenError << int(ErrPermissionDenied);
        QTest::newRow("EPERM") << EPERM << QFileDevice::OpenError << int(ErrPermissionDenied);
        QTest::newRow("EROFS") << EROFS << QFileDevice::OpenError << int(ErrPermissionDenied);
        QTest::newRow("ENOSPC on write") << ENOSPC << QFileDevice::WriteError << int(ErrDiskFull);
        QTest::newRow("EDQUOT on write") << EDQUOT << QFileDevice::WriteError << int(ErrDiskFull);
        QTest::newRow("EIO on read") << EIO << QFileDevice::ReadError << int(ErrDeviceIO);
        QTest::newRow("EMFILE") << EMFILE << QFileDevice::ResourceError << int(ErrTooManyFiles);
        QTest::newRow("ENOTDIR") << ENOTDIR << QFileDevice::OpenError << int(ErrPathNotFound);
        QTest::newRow("no code, read failure") << 0 << QFileDevice::ReadError << int(ErrDeviceIO);
        QTest::newRow("no code, open of a file that exists")
            << 0 << QFileDevice::OpenError << int(ErrPermissionDenied);
        // errno claims "not found" but the file is there: the disk wins.
        QTest::newRow("stale ENOENT")
            << ENOENT << QFileDevice::OpenError << int(ErrPermissionDenied);
    }
    void systemCodeDecides()
    {
        QFETCH(int, code);
        QFETCH(QFileDevice::FileError, error);
        QFETCH(int, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("present.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        errno = code;
        const RuntimeError failure = fileError(path, error);
        QCOMPARE(failure.Number(), expected);
        QVERIFY(failure.Description().contains(QDir::toNativeSeparators(path)));
    }

    // --- Clipboard ---

    void clipboardRoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("word") << QStringLiteral("hello");
        QTest::newRow("CR LF kept") << QStringLiteral("line one\r\nline two\r\n");
        QTest::newRow("tabs and unicode") << QStringLiteral("a\tb ü €");
    }
    void clipboardRoundTrip()
    {
        QFETCH(QString, text);
        Clipboard::Clear();
        QVERIFY(!Clipboard::GetFormat(Clipboard::vbCFText));
        Clipboard::SetText(text, Clipboard::vbCFText);
        QVERIFY(Clipboard::GetFormat(Clipboard::vbCFText));
        QCOMPARE(Clipboard::GetText(), text);
        QCOMPARE(QGuiApplication::clipboard()->text(), text);
        Clipboard::Clear();
        QVERIFY(!Clipboard::GetFormat(Clipboard::vbCFText));
        QCOMPARE(Clipboard::GetText(), QString());
    }

    void clipboardIgnoresOtherFormats()
    {
        auto *html = new QMimeData;
        html->setHtml(QStringLiteral("<b>bold</b>"));
        QGuiApplication::clipboard()->setMimeData(html);
        QVERIFY(!Clipboard::GetFormat(Clipboard::vbCFText));

        Clipboard::SetText(QStringLiteral("plain"));
        QVERIFY(!Clipboard::GetFormat(2));
        QCOMPARE(Clipboard::GetText(2), QString());
        try {
            Clipboard::SetText(QStringLiteral("rich"), 0xBF01);
            QFAIL("an unknown clipboard format was accepted");
        } catch (const RuntimeError &error) {
            QCOMPARE(error.Number(), int(ErrInvalidArgument));
        }
        QCOMPARE(Clipboard::GetText(), QStringLiteral("plain"));
    }

    // --- Twips ---

    void twipsAt96Dpi()
    {
        QCOMPARE(TwipsPerPixelX(), 15.0);
        QCOMPARE(TwipsPerPixelY(), 15.0);
        QCOMPARE(twipsToPixelsX(1440), 96);
        QCOMPARE(twipsToPixelsY(255), 17);
        QCOMPARE(pixelsToTwipsX(640), 9600.0);
        QCOMPARE(pixelsToTwipsY(1.5), 22.5);
    }

    void twipsRoundHalvesToEven_data()
    {
        QTest::addColumn<double>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("22.5 px") << 337.5 << 22;
        QTest::newRow("23.5 px") << 352.5 << 24;
        QTest::newRow("-0.5 px") << -7.5 << 0;
        QTest::newRow("-1.5 px") << -22.5 << -2;
        QTest::newRow("just over a half") << 338.0 << 23;
        QTest::newRow("no-wrap margin") << 1.2e9 << 80000000;
        QTest::newRow("too large") << 1e300 << std::numeric_limits<int>::max();
        QTest::newRow("too small") << -1e300 << std::numeric_limits<int>::min();
        QTest::newRow("not a number") << std::nan("") << 0;
    }
    void twipsRoundHalvesToEven()
    {
        QFETCH(double, twips);
        QFETCH(int, pixels);
        QCOMPARE(twipsToPixelsX(twips), pixels);
        QCOMPARE(twipsToPixelsY(twips), pixels);
    }

    // --- SetTopMost ---

    void topMostOnAShownWindow()
    {
        QWidget window;
        window.setGeometry(120, 80, 400, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect before = window.geometry();

        SetTopMost(&window, true);
        QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(window.isVisible());
        QCOMPARE(window.geometry(), before);

        SetTopMost(&window, true); // again: nothing changes
        QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(window.geometry(), before);

        SetTopMost(&window, false);
        QVERIFY(!window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(window.isVisible());
        QCOMPARE(window.geometry(), before);
    }

    void topMostBeforeShowAndThroughAChild()
    {
        QWidget window;
        auto *child = new QWidget(&window);
        window.setGeometry(50, 60, 300, 200);
        SetTopMost(child, true);
        QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!child->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!window.isVisible());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(window.geometry(), QRect(50, 60, 300, 200));
        SetTopMost(nullptr, true); // no window: nothing to do, no crash
    }
};

SCRIVLET_TEST_MAIN(TestPlatform)
#include "tst_platform.moc"
