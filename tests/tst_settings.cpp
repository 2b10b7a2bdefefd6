#include "SmallDisk.h"
#include "TestEnvironment.h"

#include "platform/RuntimeError.h"
#include "platform/system/Settings.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>

#include <pwd.h>
#include <unistd.h>

namespace {

const QString App = QStringLiteral("ScrivletSettingsTest");

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QString storeFile(const QString &app)
{
    return testenv::homeDir() + QStringLiteral("/config/%1/%1.conf").arg(app);
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init() { DeleteSetting(App); }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("flag") << QStringLiteral("True");
        QTest::newRow("number") << QStringLiteral("-1234.5");
        QTest::newRow("empty") << QString();
        QTest::newRow("blanks kept") << QStringLiteral("  two sides  ");
        QTest::newRow("comma") << QStringLiteral("a, b, c");
        QTest::newRow("windows path") << QStringLiteral("C:\\Docs\\Letters");
        QTest::newRow("unix path") << QStringLiteral("/home/user/My Docs");
        QTest::newRow("at sign first") << QStringLiteral("@Variant(x)");
        QTest::newRow("quotes and semicolon") << QStringLiteral("say \"hi\"; = [x]");
        QTest::newRow("line breaks") << QStringLiteral("one\r\ntwo\nthree");
        QTest::newRow("non-latin") << QStringLiteral("Grüße ñ 日本語");
    }
    void roundTrip()
    {
        QFETCH(QString, value);
        SaveSetting(App, QStringLiteral("Settings"), QStringLiteral("Key"), value);
        QCOMPARE(GetSetting(App, QStringLiteral("Settings"), QStringLiteral("Key"),
                            QStringLiteral("default")),
                 value);
    }

    void laterWriteReplacesEarlier()
    {
        SaveSetting(App, QStringLiteral("Settings"), QStringLiteral("Left"), QStringLiteral("100"));
        SaveSetting(App, QStringLiteral("Settings"), QStringLiteral("Left"), QStringLiteral("250"));
        QCOMPARE(GetSetting(App, QStringLiteral("Settings"), QStringLiteral("Left")),
                 QStringLiteral("250"));
    }

    void missingGivesDefault_data()
    {
        QTest::addColumn<QString>("app");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::newRow("missing key") << App << QStringLiteral("Settings") << QStringLiteral("Nope");
        QTest::newRow("missing section")
            << App << QStringLiteral("Nowhere") << QStringLiteral("Stored");
        QTest::newRow("missing application")
            << QStringLiteral("NoSuchApp") << QStringLiteral("Settings")
            << QStringLiteral("Stored");
        QTest::newRow("empty key") << App << QStringLiteral("Settings") << QString();
        QTest::newRow("empty section") << App << QString() << QStringLiteral("Stored");
    }
    void missingGivesDefault()
    {
        QFETCH(QString, app);
        QFETCH(QString, section);
        QFETCH(QString, key);
        SaveSetting(App, QStringLiteral("Settings"), QStringLiteral("Stored"),
                    QStringLiteral("yes"));
        QCOMPARE(GetSetting(app, section, key, QStringLiteral("fallback")),
                 QStringLiteral("fallback"));
        QCOMPARE(GetSetting(app, section, key), QString());
    }

    void sectionsAndApplicationsAreSeparate()
    {
        SaveSetting(App, QStringLiteral("Settings"), QStringLiteral("Size"), QStringLiteral("1"));
        SaveSetting(App, QStringLiteral("Fonts"), QStringLiteral("Size"), QStringLiteral("2"));
        SaveSetting(App + "Other", QStringLiteral("Settings"), QStringLiteral("Size"),
                    QStringLiteral("3"));
        QCOMPARE(GetSetting(App, QStringLiteral("Settings"), QStringLiteral("Size")),
                 QStringLiteral("1"));
        QCOMPARE(GetSetting(App, QStringLiteral("Fonts"), QStringLiteral("Size")),
                 QStringLiteral("2"));
        QCOMPARE(GetSetting(App + "Other", QStringLiteral("Settings"), QStringLiteral("Size")),
                 QStringLiteral("3"));
        DeleteSetting(App + "Other");
    }

    void deleteKeyKeepsTheRest()
    {
        SaveSetting(App, QStringLiteral("Settings"), QStringLiteral("A"), QStringLiteral("1"));
        SaveSetting(App, QStringLiteral("Settings"), QStringLiteral("B"), QStringLiteral("2"));
        DeleteSetting(App, QStringLiteral("Settings"), QStringLiteral("A"));
        QCOMPARE(GetSetting(App, QStringLiteral("Settings"), QStringLiteral("A"),
                            QStringLiteral("gone")),
                 QStringLiteral("gone"));
        QCOMPARE(GetSetting(App, QStringLiteral("Settings"), QStringLiteral("B")),
                 QStringLiteral("2"));
    }

    void deleteSectionKeepsOtherSections()
    {
        SaveSetting(App, QStringLiteral("Settings"), QStringLiteral("A"), QStringLiteral("1"));
        SaveSetting(App, QStringLiteral("Settings"), QStringLiteral("B"), QStringLiteral("2"));
        SaveSetting(App, QStringLiteral("Fonts"), QStringLiteral("A"), QStringLiteral("3"));
        DeleteSetting(App, QStringLiteral("Settings"));
        QCOMPARE(GetSetting(App, QStringLiteral("Settings"), QStringLiteral("A"),
                            QStringLiteral("gone")),
                 QStringLiteral("gone"));
        QCOMPARE(GetSetting(App, QStringLiteral("Settings"), QStringLiteral("B"),
                            QStringLiteral("gone")),
                 QStringLiteral("gone"));
        QCOMPARE(GetSetting(App, QStringLiteral("Fonts"), QStringLiteral("A")),
                 QStringLiteral("3"));
    }

    void deleteApplicationLeavesNothing()
    {
        SaveSetting(App, QStringLiteral("Settings"), QStringLiteral("A"), QStringLiteral("1"));
        SaveSetting(App, QStringLiteral("Fonts"), QStringLiteral("B"), QStringLiteral("2"));
        QVERIFY(QFileInfo::exists(storeFile(App)));
        DeleteSetting(App);
        QCOMPARE(GetSetting(App, QStringLiteral("Settings"), QStringLiteral("A"),
                            QStringLiteral("gone")),
                 QStringLiteral("gone"));
        QCOMPARE(
            GetSetting(App, QStringLiteral("Fonts"), QStringLiteral("B"), QStringLiteral("gone")),
            QStringLiteral("gone"));
        QVERIFY(!QFileInfo::exists(storeFile(App)));
        QVERIFY(!QFileInfo::exists(QFileInfo(storeFile(App)).absolutePath()));
        // A new write after the cleanup is kept again.
        SaveSetting(App, QStringLiteral("Settings"), QStringLiteral("A"), QStringLiteral("again"));
        QCOMPARE(GetSetting(App, QStringLiteral("Settings"), QStringLiteral("A")),
                 QStringLiteral("again"));
    }

    void deletingWhatIsMissingIsNoError()
    {
        SaveSetting(App, QStringLiteral("Settings"), QStringLiteral("A"), QStringLiteral("1"));
        DeleteSetting(App, QStringLiteral("Settings"), QStringLiteral("Missing"));
        DeleteSetting(App, QStringLiteral("Nowhere"));
        DeleteSetting(App, QStringLiteral("Nowhere"), QStringLiteral("Missing"));
        DeleteSetting(QStringLiteral("NeverStoredApp"));
        DeleteSetting(App);
        DeleteSetting(App);
        QVERIFY(!QFileInfo::exists(storeFile(QStringLiteral("NeverStoredApp"))));
        QCOMPARE(GetSetting(App, QStringLiteral("Settings"), QStringLiteral("A"),
                            QStringLiteral("gone")),
                 QStringLiteral("gone"));
    }

    void storeLivesInTheUsersConfigFolder()
    {
        SaveSetting(App, QStringLiteral("Settings"), QStringLiteral("Where"),
                    QStringLiteral("here"));
        QVERIFY2(QFileInfo::exists(storeFile(App)), qPrintable(storeFile(App)));
        QFile file(storeFile(App));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray contents = file.readAll();
        QVERIFY(contents.contains("[Settings]"));
        QVERIFY(contents.contains("Where=here"));

        // Nothing in the config folder of the user's real home, which may
        // hold the temporary folder that stands in for it.
        const passwd *user = getpwuid(getuid());
        if (!user)
            QSKIP("the user has no entry in the user database, so no real home to look into");
        const QString realHome = QString::fromLocal8Bit(user->pw_dir);
        QVERIFY(!QFileInfo::exists(realHome + QStringLiteral("/.config/%1").arg(App)));
    }

    void handEditedValuesReadAsWritten()
    {
        SaveSetting(App, QStringLiteral("Settings"), QStringLiteral("Other"), QStringLiteral("x"));
        QFile file(storeFile(App));
        QVERIFY(file.open(QIODevice::Append));
        file.write("List=a, b\nNumber=12\n");
        file.close();
        QCOMPARE(GetSetting(App, QStringLiteral("Settings"), QStringLiteral("List")),
                 QStringLiteral("a, b"));
        QCOMPARE(GetSetting(App, QStringLiteral("Settings"), QStringLiteral("Number")),
                 QStringLiteral("12"));
    }

    // A store that cannot be written (a full disk) keeps its file as it was,
    // leaves no temporary file behind, and says that it failed.
    void aFullDiskKeepsTheStoredFile_data()
    {
        QTest::addColumn<int>("length");
        QTest::newRow("a short value") << 10;
        QTest::newRow("a value larger than the disk") << 200000;
    }
    void aFullDiskKeepsTheStoredFile()
    {
        QFETCH(int, length);
        QTemporaryDir dir;
        const testenv::SmallDisk disk(dir.path());
        if (!disk.mounted())
            QSKIP(
                "a full disk needs a small file system of its own, which only root can mount here");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        const auto restorePath = qScopeGuard([] {
            QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                               testenv::homeDir() + "/config");
        });
        SaveSetting(App, QStringLiteral("Settings"), QStringLiteral("Left"), QStringLiteral("100"));
        const QString file = dir.filePath(QStringLiteral("%1/%1.conf").arg(App));
        const QByteArray before = contents(file);
        QVERIFY(before.contains("Left=100"));
        disk.fill();

        const QString value(length, QLatin1Char('v'));
        SaveSetting(App, QStringLiteral("Settings"), QStringLiteral("Left"), value);
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, App, App);
        store.setValue(QStringLiteral("Settings/Top"), value);
        store.sync();

        QCOMPARE(store.status(), QSettings::AccessError);
        QCOMPARE(contents(file), before);
        QCOMPARE(QDir(QFileInfo(file).path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QFileInfo(file).fileName()});
    }

    void namelessWritesAreRefused_data()
    {
        QTest::addColumn<QString>("app");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::newRow("no application")
            << QString() << QStringLiteral("Settings") << QStringLiteral("Key");
        QTest::newRow("no section") << App << QString() << QStringLiteral("Key");
        QTest::newRow("no key") << App << QStringLiteral("Settings") << QString();
    }
    void namelessWritesAreRefused()
    {
        QFETCH(QString, app);
        QFETCH(QString, section);
        QFETCH(QString, key);
        try {
            SaveSetting(app, section, key, QStringLiteral("value"));
            QFAIL("SaveSetting accepted an empty name");
        } catch (const RuntimeError &error) {
            QCOMPARE(error.Number(), int(ErrInvalidArgument));
        }
    }

    void namelessDeletesAreRefused()
    {
        SaveSetting(App, QStringLiteral("Settings"), QStringLiteral("Key"), QStringLiteral("kept"));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, DeleteSetting(QString()));
        // A key without its section must not delete anything else.
        QVERIFY_THROWS_EXCEPTION(RuntimeError,
                                 DeleteSetting(App, QString(), QStringLiteral("Key")));
        QCOMPARE(GetSetting(App, QStringLiteral("Settings"), QStringLiteral("Key")),
                 QStringLiteral("kept"));
    }
};

SCRIVLET_TEST_MAIN(TestSettings)
#include "tst_settings.moc"
