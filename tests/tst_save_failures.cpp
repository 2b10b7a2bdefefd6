// Files come back as they were: byte-exact round trips of plain text in every
// encoding and line-break style, the format of new documents; and saves that
// fail leave the file on disk untouched, the document modified, and a message
// that names the cause.

#include "DocumentTestSupport.h"
#include "EffectiveUser.h"
#include "ScopedEnvironment.h"
#include "SmallDisk.h"
#include "TestEnvironment.h"

#include "platform/RuntimeError.h"

#include <QFileInfo>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

using namespace shelltest;
using namespace doctest;

namespace {

using testenv::EffectiveUser;
using testenv::NobodyUid;
using testenv::ScopedEnvironment;
using testenv::SmallDisk;

QByteArray encoded(const QString &text, QStringConverter::Encoding encoding, bool bom)
{
    QStringEncoder encoder(
        encoding, bom ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
    return encoder.encode(text);
}

// Everything in folder but the names given: what a failed save left behind.
QStringList leftOver(const QString &folder, const QStringList &expected)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : expected)
        names.removeAll(name);
    return names;
}

const QString LongText = QString(20000, QLatin1Char('z'));

// Makes folder, inside dir, read-only: everyone may look into both, nobody
// may write in folder.
void lockFolder(const QTemporaryDir &dir, const QString &folder)
{
    QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0);
    QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0555) == 0);
}

// Runs command as nobody, or as the test's own user when that is not root,
// whom permissions stop already; false when that identity cannot be taken.
bool runAsAnOrdinaryUser(Command command)
{
    const EffectiveUser user = EffectiveUser::ordinaryUser();
    if (!user.active())
        return false;
    runCommand(command);
    return true;
}

} // namespace

class SaveFailuresTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { DeleteSetting(AppName); }
    void cleanup() { endRun(); }

    // --- round trips ---

    void openAndSaveGivesTheSameBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QStringList lines
            = {QStringLiteral("first line"), QStringLiteral("Grüße, naïve café"), QString(),
               QStringLiteral("\t indented  ")};
        const struct
        {
            const char *name;
            QStringConverter::Encoding encoding;
            bool bom;
        } encodings[] = {
            {"UTF-8", QStringConverter::Utf8, false},
            {"UTF-8 with BOM", QStringConverter::Utf8, true},
            {"UTF-16 LE", QStringConverter::Utf16LE, true},
            {"UTF-16 BE", QStringConverter::Utf16BE, true},
        };
        const struct
        {
            const char *name;
            const char *lineBreak;
        } lineBreaks[] = {{"CR LF", "\r\n"}, {"LF", "\n"}, {"CR", "\r"}};
        for (const auto &encoding : encodings) {
            for (const auto &lineBreak : lineBreaks) {
                const QString text = lines.join(QLatin1String(lineBreak.lineBreak));
                QTest::addRow("%s, %s", encoding.name, lineBreak.name)
                    << encoded(text, encoding.encoding, encoding.bom);
                QTest::addRow("%s, %s, ending in a line break", encoding.name, lineBreak.name)
                    << encoded(text + QLatin1String(lineBreak.lineBreak), encoding.encoding,
                               encoding.bom);
            }
        }
        // Windows-1252: invalid as UTF-8; the five bytes the code page leaves
        // undefined come back too.
        for (const auto &lineBreak : lineBreaks) {
            QTest::addRow("Windows-1252, %s", lineBreak.name)
                << QByteArray("caf\xE9 \x80 \x81\x8D\x8F\x90\x9D \xFF") + lineBreak.lineBreak
                    + "second";
        }
        QTest::newRow("ASCII only") << QByteArray("plain ASCII\nline two\n");
        QTest::newRow("empty") << QByteArray();
    }
    void openAndSaveGivesTheSameBytes()
    {
        QFETCH(QByteArray, bytes);
        ScriptedModalHost host;
        start();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("round.txt"));
        writeFile(path, bytes);
        openThroughDialog(host, path);
        QVERIFY(App.IsSaved);
        runCommand(Command::FileSave);
        QCOMPARE(readFile(path), bytes);
        QVERIFY(host.messageBoxes().isEmpty());
    }

    // A character the file's encoding cannot hold makes it UTF-8 with a
    // byte-order mark; nothing becomes '?'.
    void aCharacterTheEncodingCannotHoldMakesItUtf8()
    {
        ScriptedModalHost host;
        start();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("latin.txt"));
        writeFile(path, "caf\xE9\r\n");
        openThroughDialog(host, path);
        typeText(QStringLiteral("中文 "));
        runCommand(Command::FileSave);
        QCOMPARE(readFile(path),
                 QByteArray("\xEF\xBB\xBF") + QStringLiteral("中文 café\r\n").toUtf8());
        QVERIFY(App.IsSaved);
    }

    // New and an opened Rich Text file start plain text afresh: UTF-8
    // without a byte-order mark, the platform's line breaks.
    void newDocumentsUseTheNativeFormat_data()
    {
        QTest::addColumn<bool>("throughRichText");
        QTest::newRow("New") << false;
        QTest::newRow("an opened Rich Text file") << true;
    }
    void newDocumentsUseTheNativeFormat()
    {
        QFETCH(bool, throughRichText);
        ScriptedModalHost host;
        start();
        QTemporaryDir dir;
        const QString utf16 = dir.filePath(QStringLiteral("wide.txt"));
        writeFile(utf16, encoded(QStringLiteral("wide\rtext"), QStringConverter::Utf16BE, true));
        openThroughDialog(host, utf16);
        if (throughRichText) {
            const QString rtf = dir.filePath(QStringLiteral("r.rtf"));
            writeFile(rtf, "{\\rtf1\\ansi one\\par two}");
            openThroughDialog(host, rtf);
        } else {
            runCommand(Command::FileNew);
            App.CurrentRichTextBox->setText(QStringLiteral("one\r\ntwo"));
        }
        const QString saved = dir.filePath(QStringLiteral("saved.txt"));
        host.chooseFile(saved);
        runCommand(Command::FileSaveAs);
        const QByteArray lineBreak = QDir::separator() == QLatin1Char('\\') ? "\r\n" : "\n";
        QCOMPARE(readFile(saved), "one" + lineBreak + "two");
    }

    // A file that vanished while it was open is written anew.
    void aFileThatVanishedIsWrittenAgain()
    {
        ScriptedModalHost host;
        start();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("vanishing.txt"));
        writeFile(path, "text");
        openThroughDialog(host, path);
        typeText(QStringLiteral("more "));
        QVERIFY(QFile::remove(path));
        runCommand(Command::FileSave);
        QCOMPARE(readFile(path), QByteArray("more text"));
        QVERIFY(App.IsSaved);
        QVERIFY(host.messageBoxes().isEmpty());
    }

    // A file chosen in the Open dialog that is gone by the time it is read.
    void aChosenFileThatVanishedIsReported()
    {
        ScriptedModalHost host;
        start();
        QTemporaryDir dir;
        typeText(QStringLiteral("mine"));
        host.answerMessageBox(vbNo);
        host.chooseFile(dir.filePath(QStringLiteral("gone.txt")));
        host.answerMessageBox(vbCancel);
        runCommand(Command::FileOpen);
        QCOMPARE(host.messageBoxes().size(), 2);
        QVERIFY(host.messageBoxes().last().prompt.startsWith(
            QStringLiteral("An Unknown Error occured: 53\r\n")));
        QCOMPARE(App.CurrentRichTextBox->Text(), QStringLiteral("mine"));
        QVERIFY(!App.IsSaved);
    }

    // --- failed saves under the document's own name ---

    // A read-only folder, as nobody: the file is written in place when it
    // can be, and the message says why it cannot.
    void aReadOnlyFolder_data()
    {
        QTest::addColumn<int>("fileMode");
        QTest::addColumn<QString>("cause");
        QTest::newRow("a file nobody may write")
            << 0644 << "neither the file nor its folder \"<folder>\" can be written";
        QTest::newRow("a writable file, no room for a copy in the cache folder either")
            << 0666 << "neither the folder \"<folder>\" nor the cache folder \"<cache>";
    }
    void aReadOnlyFolder()
    {
        QFETCH(int, fileMode);
        QFETCH(QString, cause);
        if (geteuid() != 0)
            QSKIP("a file and a cache folder that the user may not write need root to be made");
        SCRIVLET_SKIP_UNLESS_NOBODY_REACHES_TMPDIR();
        ScriptedModalHost host;
        start();
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("locked"));
        const QString cache = dir.filePath(QStringLiteral("cache"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QDir().mkpath(cache));
        const QString path = QDir(folder).filePath(QStringLiteral("doc.txt"));
        writeFile(path, "original");
        QVERIFY(::chmod(QFile::encodeName(path).constData(), mode_t(fileMode)) == 0);
        openThroughDialog(host, path);
        typeText(LongText);
        lockFolder(dir, folder);
        const ScopedEnvironment cacheHome("XDG_CACHE_HOME", QFile::encodeName(cache));
        host.answerMessageBox(vbOK);
        if (!runAsAnOrdinaryUser(Command::FileSave))
            QSKIP("running as root and cannot take another user's identity");
        ::chmod(QFile::encodeName(folder).constData(), 0755);
        expectSaveFailed(host, ErrPermissionDenied, QStringLiteral("Permission denied"), path);
        const QString prompt = host.messageBoxes().first().prompt;
        const QString expectedCause = QString(cause)
                                          .replace(QStringLiteral("<folder>"), native(folder))
                                          .replace(QStringLiteral("<cache>"), native(cache));
        QVERIFY2(prompt.contains(expectedCause), qPrintable(prompt));
        QCOMPARE(leftOver(folder, {QStringLiteral("doc.txt")}), QStringList());
    }

    // Save As a new name in a read-only folder names the folder as the cause.
    void aNewNameInAReadOnlyFolder()
    {
        SCRIVLET_SKIP_UNLESS_NOBODY_REACHES_TMPDIR();
        ScriptedModalHost host;
        start();
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkpath(folder));
        lockFolder(dir, folder);
        const QString path = QDir(folder).filePath(QStringLiteral("new.txt"));
        typeText(QStringLiteral("unsaved"));
        host.chooseFile(path);
        host.answerMessageBox(vbCancel);
        if (!runAsAnOrdinaryUser(Command::FileSaveAs))
            QSKIP("running as root and cannot take another user's identity");
        QCOMPARE(host.messageBoxes().size(), 1);
        QCOMPARE(unknownErrorMessage(host.messageBoxes().first(), ErrPermissionDenied),
                 QStringLiteral("Permission denied: \"%1\" (the folder \"%2\" cannot be written)")
                     .arg(native(path), native(folder)));
        QVERIFY(!QFileInfo::exists(path));
        QCOMPARE(leftOver(folder, {}), QStringList());
        QVERIFY(!App.IsSaved);
    }

    void aFolderThatVanished()
    {
        ScriptedModalHost host;
        start();
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("sub"));
        QVERIFY(QDir().mkpath(folder));
        const QString path = QDir(folder).filePath(QStringLiteral("doc.txt"));
        writeFile(path, "original");
        openThroughDialog(host, path);
        typeText(LongText);
        QVERIFY(QDir(folder).removeRecursively());
        host.answerMessageBox(vbOK);
        runCommand(Command::FileSave);
        expectSaveFailed(host, ErrPathNotFound, QStringLiteral("Path not found"), path);
        QVERIFY(!QFileInfo::exists(folder));
    }

    // A full disk fails the save whatever the size: a few hundred bytes stay
    // in the write buffer until the file is committed, a megabyte is written
    // at once. A file with one link is replaced by a new file, which cannot be
    // written; a hard-linked one is written in place after a copy of it is
    // put aside: without room for the copy nothing is touched, with room for
    // the copy alone the write fails half-way and the copy brings the old text
    // back. Either way the file keeps its old bytes, the copy is gone and the
    // document stays modified.
    void aFullDisk_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("original");
        QTest::addColumn<bool>("saveAs");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("links");
        QTest::addColumn<qint64>("spare");
        const struct
        {
            const char *kind;
            const char *name;
            const char *original;
        } kinds[] = {
            {"plain text", "doc.txt", "original"},
            {"Rich Text", "doc.rtf", "{\\rtf1\\ansi original\\par }"},
        };
        const struct
        {
            const char *name;
            int length;
            int links;
            qint64 spare;
        } cases[] = {
            {"a few hundred bytes", 300, 1, 0},
            {"a megabyte", 1 << 20, 1, 0},
            {"hard-linked, a few hundred bytes, no room for the copy", 300, 2, 0},
            {"hard-linked, a megabyte, no room for the copy", 1 << 20, 2, 0},
            {"hard-linked, a megabyte, room for the copy only", 1 << 20, 2, 4096},
        };
        for (const auto &kind : kinds) {
            for (const bool saveAs : {false, true}) {
                for (const auto &each : cases) {
                    QTest::addRow("%s, %s, %s", kind.kind, saveAs ? "Save As" : "Save", each.name)
                        << QString::fromLatin1(kind.name) << QByteArray(kind.original) << saveAs
                        << each.length << each.links << each.spare;
                }
            }
        }
    }
    void aFullDisk()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, original);
        QFETCH(bool, saveAs);
        QFETCH(int, length);
        QFETCH(int, links);
        QFETCH(qint64, spare);
        QTemporaryDir dir;
        const SmallDisk disk(dir.path());
        if (!disk.mounted())
            QSKIP(
                "a full disk needs a small file system of its own, which only root can mount here");
        ScriptedModalHost host;
        start();
        const QString path = dir.filePath(name);
        const QString link = dir.filePath(QStringLiteral("link"));
        writeFile(path, original);
        if (links == 2)
            QVERIFY(::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData())
                    == 0);
        if (saveAs)
            host.chooseFile(path); // an untitled document saved over the file
        else
            openThroughDialog(host, path);
        disk.fill(spare);
        typeText(QStringLiteral("some words on a line\r\n").repeated(length / 22));
        host.answerMessageBox(saveAs ? vbCancel : vbOK);

        runCommand(saveAs ? Command::FileSaveAs : Command::FileSave);

        QCOMPARE(readFile(path), original);
        if (links == 2)
            QCOMPARE(readFile(link), original);
        QVERIFY(!App.IsSaved);
        QVERIFY2(currentWindow().windowTitle().endsWith(QStringLiteral("* - Scrivlet")),
                 qPrintable(currentWindow().windowTitle()));
        QCOMPARE(host.messageBoxes().size(), 1);
        const QString prompt = host.messageBoxes().first().prompt;
        QVERIFY2(prompt.contains(QStringLiteral("61"))
                     && prompt.contains(QStringLiteral("Disk full")),
                 qPrintable(prompt));
        QVERIFY2(!prompt.contains(QStringLiteral("Unknown error")), qPrintable(prompt));
        QStringList expected{name, QStringLiteral("filler")};
        if (links == 2)
            expected << QStringLiteral("link");
        QCOMPARE(leftOver(dir.path(), expected), QStringList());
    }

    // --- failed saves under a new name (Save As, under the error trap) ---

    void saveAsFailures_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("message");
        QTest::newRow("a folder under a regular file")
            << "file.txt/new.txt" << int(ErrPathNotFound) << "Path not found";
        QTest::newRow("a folder that does not exist")
            << "none/new.txt" << int(ErrPathNotFound) << "Path not found";
        QTest::newRow("a FIFO, which is not replaced")
            << "fifo.txt" << int(ErrPathFileAccess) << "Path/File access error";
    }
    void saveAsFailures()
    {
        QFETCH(QString, target);
        QFETCH(int, number);
        QFETCH(QString, message);
        ScriptedModalHost host;
        start();
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("file.txt")), "a regular file");
        QVERIFY(
            ::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("fifo.txt"))).constData(), 0644)
            == 0);
        const QString previousDir = App.DefaultDir;
        typeText(QStringLiteral("unsaved"));
        host.chooseFile(dir.filePath(target));
        host.answerMessageBox(vbCancel);

        runCommand(Command::FileSaveAs);

        QCOMPARE(host.messageBoxes().size(), 1);
        const QString reported = unknownErrorMessage(host.messageBoxes().first(), number);
        if (QTest::currentTestFailed())
            return;
        QVERIFY2(
            reported.startsWith(message + QStringLiteral(": \"") + native(dir.filePath(target))),
            qPrintable(reported));
        QCOMPARE(readFile(dir.filePath(QStringLiteral("file.txt"))), QByteArray("a regular file"));
        const QFileInfo fifo(dir.filePath(QStringLiteral("fifo.txt")));
        QVERIFY(fifo.exists() && !fifo.isFile());
        QCOMPARE(App.FileTitle, QStringLiteral("Untitled"));
        QCOMPARE(App.DefaultDir, previousDir);
        QVERIFY(!App.IsSaved);
        QCOMPARE(currentWindow().windowTitle(), QStringLiteral("Untitled* - Scrivlet"));
        QCOMPARE(stored(QStringLiteral("Settings"), QStringLiteral("DefaultDir")),
                 QStringLiteral("<missing>"));
    }

private:
    // The save of path failed: the box says so, the file holds what it held,
    // the document is still modified.
    void expectSaveFailed(const ScriptedModalHost &host, int number, const QString &message,
                          const QString &path)
    {
        QCOMPARE(host.messageBoxes().size(), 1);
        const auto &box = host.messageBoxes().first();
        QCOMPARE(box.title, SaveFailedTitle);
        QCOMPARE(box.buttons, int(vbOKOnly + vbExclamation));
        const QString expected
            = QStringLiteral("Scrivlet could not save doc.txt.\r\nError %1: %2: \"%3\"")
                  .arg(number)
                  .arg(message, native(path));
        QVERIFY2(box.prompt.startsWith(expected), qPrintable(box.prompt));
        if (QFileInfo::exists(path))
            QCOMPARE(readFile(path), QByteArray("original"));
        QVERIFY(!App.IsSaved);
        QCOMPARE(currentWindow().windowTitle(), QStringLiteral("doc.txt* - Scrivlet"));
        QCOMPARE(App.CurrentRichTextBox->Text(), LongText + QStringLiteral("original"));
    }
};

SCRIVLET_TEST_MAIN(SaveFailuresTest)
#include "tst_save_failures.moc"
