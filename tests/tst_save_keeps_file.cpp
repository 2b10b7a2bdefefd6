// Saving keeps what the file was besides its text: owner, group and mode
// (set-id bits included), extended attributes, hard links and the symbolic
// link that leads to it, for root and for an ordinary user, in writable and
// read-only folders; a name as long as the system allows saves too.

#include "DocumentTestSupport.h"
#include "EffectiveUser.h"
#include "ScopedEnvironment.h"
#include "TestEnvironment.h"

#include <QDirIterator>
#include <QTemporaryDir>

#include <cerrno>
#include <memory>
#include <optional>

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace shelltest;
using namespace doctest;

namespace {

using testenv::EffectiveUser;
using testenv::NobodyGid;
using testenv::NobodyUid;
using testenv::ScopedEnvironment;

QByteArray local(const QString &path) { return QFile::encodeName(path); }

struct stat statOf(const QString &path)
{
    struct stat info = {};
    ::stat(local(path).constData(), &info);
    return info;
}

// Gives path an owner, a group and a mode (chown first: it clears set-id bits).
bool give(const QString &path, uid_t owner, gid_t group, mode_t mode)
{
    return ::chown(local(path).constData(), owner, group) == 0
        && ::chmod(local(path).constData(), mode) == 0;
}

// The names in folder, hidden ones included: a save leaves nothing behind.
QStringList namesIn(const QString &folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Opens path as the user does and types "new " before its text.
void openAndEdit(ScriptedModalHost &host, const QString &path)
{
    start();
    openThroughDialog(host, path);
    typeText(QStringLiteral("new "));
}

} // namespace

class SaveKeepsFileTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        DeleteSetting(AppName);
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        // Everyone may look into the test's folder.
        QVERIFY(::chmod(local(m_dir->path()).constData(), 0755) == 0);
    }
    void cleanup()
    {
        endRun();
        m_dir.reset();
    }

    // Each row saves a file that root (or nobody) may replace by a new file
    // or must write in place (more than one link, an owner or a group the
    // user cannot give a new file); either way it keeps all it was.
    void ownerGroupModeAndLinksAreKept_data()
    {
        QTest::addColumn<bool>("asNobody");
        QTest::addColumn<uint>("owner");
        QTest::addColumn<uint>("group");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("links");
        const uint root = 0;
        const uint nobody = NobodyUid;
        const uint nogroup = NobodyGid;
        QTest::newRow("root saves nobody's file") << false << nobody << nogroup << 0644 << 1;
        QTest::newRow("root saves nobody's hard-linked file")
            << false << nobody << nogroup << 0644 << 2;
        QTest::newRow("root saves a 0444 file") << false << root << root << 0444 << 1;
        QTest::newRow("root saves a 0400 file") << false << root << root << 0400 << 1;
        QTest::newRow("root saves a 0640 file") << false << root << root << 0640 << 1;
        QTest::newRow("root saves a 0604 file") << false << root << root << 0604 << 1;
        QTest::newRow("root saves a 0666 file") << false << root << root << 0666 << 1;
        QTest::newRow("root saves nobody's 04755 file") << false << nobody << nogroup << 04755 << 1;
        QTest::newRow("root saves nobody's 06755 file of root's group")
            << false << nobody << root << 06755 << 1;
        QTest::newRow("root saves nobody's hard-linked 02755 file")
            << false << nobody << nogroup << 02755 << 2;
        QTest::newRow("nobody saves their file") << true << nobody << nogroup << 0644 << 1;
        QTest::newRow("nobody saves their 0444 file") << true << nobody << nogroup << 0444 << 1;
        QTest::newRow("nobody saves their 04755 file") << true << nobody << nogroup << 04755 << 1;
        QTest::newRow("nobody saves their hard-linked 04755 file")
            << true << nobody << nogroup << 04755 << 2;
        QTest::newRow("nobody saves their hard-linked 0600 file")
            << true << nobody << nogroup << 0600 << 2;
        QTest::newRow("nobody saves their file of root's group")
            << true << nobody << root << 0664 << 1;
        QTest::newRow("nobody saves root's 0666 file") << true << root << root << 0666 << 1;
    }
    void ownerGroupModeAndLinksAreKept()
    {
        QFETCH(bool, asNobody);
        QFETCH(uint, owner);
        QFETCH(uint, group);
        QFETCH(int, mode);
        QFETCH(int, links);
        if (geteuid() != 0)
            QSKIP("files of other users can only be made by root");
        if (asNobody)
            SCRIVLET_SKIP_UNLESS_NOBODY_REACHES_TMPDIR();
        const QString folder = m_dir->filePath(QStringLiteral("folder"));
        QVERIFY(QDir().mkpath(folder));
        if (asNobody)
            QVERIFY(give(folder, NobodyUid, NobodyGid, 0755));
        const QString path = QDir(folder).filePath(QStringLiteral("doc.txt"));
        const QString other = QDir(folder).filePath(QStringLiteral("other name.txt"));
        writeFile(path, "original");
        if (links == 2)
            QVERIFY(::link(local(path).constData(), local(other).constData()) == 0);
        QVERIFY(give(path, owner, group, mode_t(mode)));
        const QStringList namesBefore = namesIn(folder);
        ScriptedModalHost host;
        openAndEdit(host, path);

        {
            std::optional<EffectiveUser> user;
            if (asNobody) {
                user.emplace(NobodyUid, NobodyGid);
                QVERIFY(user->active());
            }
            runCommand(Command::FileSave);
        }

        QVERIFY2(host.messageBoxes().isEmpty(), qPrintable(host.messageBoxes().value(0).prompt));
        QVERIFY(App.IsSaved);
        QCOMPARE(readFile(path), QByteArray("new original"));
        const struct stat saved = statOf(path);
        QCOMPARE(uint(saved.st_uid), owner);
        QCOMPARE(uint(saved.st_gid), group);
        QCOMPARE(QString::number(saved.st_mode & 07777, 8), QString::number(mode, 8));
        QCOMPARE(int(saved.st_nlink), links);
        if (links == 2)
            QCOMPARE(readFile(other), QByteArray("new original"));
        QCOMPARE(namesIn(folder), namesBefore);
    }

    // An extended attribute of the user's namespace survives the save, by a
    // new file and in place.
    void extendedAttributesAreKept_data()
    {
        QTest::addColumn<int>("links");
        QTest::newRow("one link: a new file takes its place") << 1;
        QTest::newRow("two links: written in place") << 2;
    }
    void extendedAttributesAreKept()
    {
        QFETCH(int, links);
        const QString path = m_dir->filePath(QStringLiteral("tagged.txt"));
        writeFile(path, "original");
        const QString link = m_dir->filePath(QStringLiteral("link.txt"));
        if (links == 2)
            QVERIFY(::link(local(path).constData(), local(link).constData()) == 0);
        const QByteArray name = "user.scrivlet.note";
        const QByteArray value("kept \0 across saves", 19);
        if (::setxattr(local(path).constData(), name.constData(), value.constData(),
                       size_t(value.size()), 0)
            != 0)
            QSKIP(qPrintable(QStringLiteral("the file system refuses extended attributes here: ")
                             + qt_error_string(errno)));
        ScriptedModalHost host;
        openAndEdit(host, path);
        runCommand(Command::FileSave);
        QVERIFY(host.messageBoxes().isEmpty());
        QCOMPARE(readFile(path), QByteArray("new original"));
        QByteArray read(64, '\0');
        const ssize_t length = ::getxattr(local(path).constData(), name.constData(), read.data(),
                                          size_t(read.size()));
        QCOMPARE(read.left(int(length)), value);
    }

    // Saved through a symbolic link, the file it leads to takes the text and
    // the link stays a link.
    void aSymbolicLinkStaysALink()
    {
        const QString real = m_dir->filePath(QStringLiteral("real.txt"));
        const QString link = m_dir->filePath(QStringLiteral("link.txt"));
        writeFile(real, "original");
        QVERIFY(QFile::link(real, link));
        ScriptedModalHost host;
        openAndEdit(host, link);
        runCommand(Command::FileSave);
        QVERIFY(host.messageBoxes().isEmpty());
        QCOMPARE(QFileInfo(link).symLinkTarget(), real);
        QCOMPARE(readFile(real), QByteArray("new original"));
    }

    // A read-only folder holding a file the user may write: the file is
    // written in place, the copy of its old text goes to the user's cache
    // folder and is gone after the save.
    void aWritableFileInAReadOnlyFolderSaves()
    {
        if (geteuid() != 0)
            QSKIP("the files of this test need root to be made");
        SCRIVLET_SKIP_UNLESS_NOBODY_REACHES_TMPDIR();
        const QString folder = m_dir->filePath(QStringLiteral("locked"));
        const QString cache = m_dir->filePath(QStringLiteral("cache"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QDir().mkpath(cache));
        QVERIFY(give(cache, NobodyUid, NobodyGid, 0700));
        const QString path = QDir(folder).filePath(QStringLiteral("doc.txt"));
        writeFile(path, "original");
        QVERIFY(give(path, NobodyUid, NobodyGid, 0644));
        QVERIFY(give(folder, 0, 0, 0755));
        const ScopedEnvironment cacheHome("XDG_CACHE_HOME", local(cache));
        ScriptedModalHost host;
        openAndEdit(host, path);
        {
            const EffectiveUser nobody(NobodyUid, NobodyGid);
            QVERIFY(nobody.active());
            runCommand(Command::FileSave);
        }
        QVERIFY2(host.messageBoxes().isEmpty(), qPrintable(host.messageBoxes().value(0).prompt));
        QCOMPARE(readFile(path), QByteArray("new original"));
        QCOMPARE(statOf(path).st_uid, NobodyUid);
        QCOMPARE(namesIn(folder), QStringList{QStringLiteral("doc.txt")});
        QStringList leftInCache;
        for (QDirIterator it(cache, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
             it.hasNext();)
            leftInCache << it.next();
        QCOMPARE(leftInCache, QStringList());
    }

    // The longest name the system allows (255 bytes) saves: the temporary
    // name is short whatever the file's name.
    void theLongestNameSaves_data()
    {
        QTest::addColumn<bool>("saveAs");
        QTest::addColumn<int>("links");
        QTest::newRow("Save") << false << 1;
        QTest::newRow("Save of a hard-linked file") << false << 2;
        QTest::newRow("Save As a new name") << true << 1;
    }
    void theLongestNameSaves()
    {
        QFETCH(bool, saveAs);
        QFETCH(int, links);
        const QString name = QString(251, QLatin1Char('n')) + QStringLiteral(".txt");
        QCOMPARE(local(name).size(), 255);
        const QString path = m_dir->filePath(name);
        ScriptedModalHost host;
        if (saveAs) {
            start();
            typeText(QStringLiteral("new text"));
            host.chooseFile(path);
            runCommand(Command::FileSaveAs);
        } else {
            writeFile(path, "text");
            if (links == 2)
                QVERIFY(::link(local(path).constData(),
                               local(m_dir->filePath(QStringLiteral("l"))).constData())
                        == 0);
            openAndEdit(host, path);
            runCommand(Command::FileSave);
        }
        QVERIFY2(host.messageBoxes().isEmpty(), qPrintable(host.messageBoxes().value(0).prompt));
        QCOMPARE(readFile(path), QByteArray("new text"));
        QCOMPARE(App.FileTitle, name);
        QStringList expected{name};
        if (links == 2)
            expected.prepend(QStringLiteral("l"));
        QCOMPARE(namesIn(m_dir->path()), expected);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

SCRIVLET_TEST_MAIN(SaveKeepsFileTest)
#include "tst_save_keeps_file.moc"
