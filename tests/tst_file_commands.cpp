// New, Open, Save, Save As, Exit, the closing of the window, files given by
// path and dropped on the editor: the questions they ask, what they load and
// write, what they leave alone when the user cancels, and the files they
// refuse (too large, not a regular file).

#include "DocumentTestSupport.h"
#include "TestEnvironment.h"

#include "document/DocumentFiles.h"
#include "document/FileCommands.h"
#include "document/FileSizeLimit.h"
#include "platform/RuntimeError.h"

#include <QBuffer>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QImage>
#include <QLocale>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

using namespace shelltest;
using namespace doctest;

namespace {

const QString Settings = QStringLiteral("Settings");

// The ways a command can go on after the save question, for the data rows.
enum class Asker { New, Open, OpenByPath, Exit, Close };

} // namespace

Q_DECLARE_METATYPE(Asker)

namespace {

// Drags data over the current editor and drops it, as another program does.
void drop(const QMimeData &data)
{
    QWidget *viewport = App.CurrentRichTextBox->viewport();
    const QPointF at(viewport->width() / 2, viewport->height() / 2);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDragMoveEvent move(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &dropped);
}

// Drops files on the current editor as a file manager does.
void dropFiles(const QStringList &paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    drop(data);
}

// Makes a file of kind (see specialFilesAreRefusedAtOnce) in folder and
// gives its path; an empty path, with errno telling why, when it cannot.
QString makeSpecialFile(const QString &kind, const QString &folder)
{
    const QString path = QDir(folder).filePath(QStringLiteral("special"));
    const QByteArray name = QFile::encodeName(path);
    const QString fifo = QDir(folder).filePath(QStringLiteral("fifo"));
    bool made = false;
    if (kind == QLatin1String("FIFO")) {
        made = ::mkfifo(name.constData(), 0644) == 0;
    } else if (kind == QLatin1String("link to a FIFO")) {
        made = ::mkfifo(QFile::encodeName(fifo).constData(), 0644) == 0 && QFile::link(fifo, path);
    } else if (kind == QLatin1String("socket")) {
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, name.constData(), sizeof address.sun_path);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        made = fd >= 0
            && ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
        if (fd >= 0)
            ::close(fd);
    } else if (kind == QLatin1String("character device")) {
        return QStringLiteral("/dev/null");
    } else if (kind == QLatin1String("link to /dev/zero")) {
        made = QFile::link(QStringLiteral("/dev/zero"), path);
    } else if (kind == QLatin1String("block device")) {
        made = ::mknod(name.constData(), S_IFBLK | 0600, makedev(7, 0)) == 0;
    }
    return made ? path : QString();
}

// The ids of this process's threads.
QSet<QString> threadIds()
{
    const QStringList ids
        = QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    return QSet<QString>(ids.begin(), ids.end());
}

// Starts reading the file at path ahead and waits until that reading is over,
// which its thread's end tells.
void readAheadAndWait(const QString &path)
{
    const QSet<QString> before = threadIds();
    readDocumentFileAhead(path);
    const QSet<QString> started = threadIds() - before;
    QElapsedTimer waited;
    waited.start();
    while (threadIds().intersects(started)) {
        if (waited.elapsed() > 30000)
            qFatal("a file read ahead was not read in 30 seconds");
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// Ends the test program with a failure when the object lives longer than
// seconds: a call that should return at once and blocks fails the run
// instead of hanging it.
class Watchdog
{
public:
    Watchdog(int seconds, const char *what)
        : m_thread([this, seconds, what] {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (!m_woken.wait_for(lock, std::chrono::seconds(seconds), [this] { return m_done; }))
                qFatal("%s did not return within %d seconds", what, seconds);
        })
    {
    }
    ~Watchdog()
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_done = true;
        }
        m_woken.notify_one();
        m_thread.join();
    }
    Watchdog(const Watchdog &) = delete;
    Watchdog &operator=(const Watchdog &) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_woken;
    bool m_done = false;
    std::thread m_thread;
};

} // namespace

class FileCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        // A size in the too-large box is written with the user's decimal
        // separator; the expected texts are written for the C locale's.
        QLocale::setDefault(QLocale::c());
        DeleteSetting(AppName);
        QVERIFY(m_dir.isValid());
    }
    void cleanup() { endRun(); }

    // --- the save question ---

    void saveQuestionNamesTheDocument_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("untitled") << "Untitled";
        QTest::newRow("titled") << "notes.txt";
    }
    void saveQuestionNamesTheDocument()
    {
        QFETCH(QString, title);
        ScriptedModalHost host;
        start();
        App.FileTitle = title;
        typeText(QStringLiteral("draft"));
        host.answerMessageBox(vbCancel);
        runCommand(Command::FileNew);

        QCOMPARE(host.messageBoxes().size(), 1);
        QCOMPARE(host.messageBoxes().first().prompt, saveQuestion(title));
        QCOMPARE(host.messageBoxes().first().title, SaveQuestionTitle);
        QCOMPARE(host.messageBoxes().first().buttons, SaveQuestionButtons);
    }

    void newFollowsTheAnswer_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("emptied");
        QTest::addColumn<bool>("written");
        QTest::newRow("Yes") << int(vbYes) << true << true;
        QTest::newRow("No") << int(vbNo) << true << false;
        QTest::newRow("Cancel") << int(vbCancel) << false << false;
    }
    void newFollowsTheAnswer()
    {
        QFETCH(int, answer);
        QFETCH(bool, emptied);
        QFETCH(bool, written);
        ScriptedModalHost host;
        start();
        const QString path = m_dir.filePath(QStringLiteral("letter.txt"));
        writeFile(path, "Dear");
        openThroughDialog(host, path);
        App.CurrentRichTextBox->setSelStart(4);
        typeText(QStringLiteral(" Sir"));
        host.answerMessageBox(answer);

        runCommand(Command::FileNew);

        QCOMPARE(readFile(path), written ? QByteArray("Dear Sir") : QByteArray("Dear"));
        QCOMPARE(App.CurrentRichTextBox->Text(), emptied ? QString() : QStringLiteral("Dear Sir"));
        QCOMPARE(App.FileTitle,
                 emptied ? QStringLiteral("Untitled") : QStringLiteral("letter.txt"));
        QCOMPARE(App.IsSaved, emptied);
        QCOMPARE(currentWindow().windowTitle(),
                 emptied ? QStringLiteral("Untitled - Scrivlet")
                         : QStringLiteral("letter.txt* - Scrivlet"));
        QCOMPARE(App.DefaultDir, native(m_dir.path()));
        QCOMPARE(host.unusedAnswers(), 0);
    }

    void newOnACleanDocumentAsksNothingAndKeepsTheFolder()
    {
        ScriptedModalHost host;
        start();
        const QString path = m_dir.filePath(QStringLiteral("kept.txt"));
        writeFile(path, "kept text");
        openThroughDialog(host, path);
        QVERIFY(App.IsSaved);

        runCommand(Command::FileNew);
        QVERIFY(host.messageBoxes().isEmpty());
        QCOMPARE(App.CurrentRichTextBox->textLength(), 0);
        QCOMPARE(App.FileTitle, QStringLiteral("Untitled"));
        QCOMPARE(currentWindow().windowTitle(), QStringLiteral("Untitled - Scrivlet"));

        // Save of the new document is Save As, starting in the old folder.
        host.cancelFileDialog();
        runCommand(Command::FileSave);
        QCOMPARE(host.dialogs().size(), 2);
        const auto &saveAs = host.dialogs().last();
        QCOMPARE(saveAs.kind, ScriptedModalHost::Save);
        QCOMPARE(saveAs.initDir, native(m_dir.path()));
        QCOMPARE(saveAs.filter, FileFilter);
        QCOMPARE(saveAs.defaultExt, QStringLiteral(".txt"));
        QCOMPARE(saveAs.flags, FileDialogFlags);
        QVERIFY(saveAs.cancelError);
        QVERIFY(host.messageBoxes().isEmpty());
        QCOMPARE(readFile(path), QByteArray("kept text"));
    }

    // --- Open ---

    void openSetsUpItsDialogAndTakesTheFile()
    {
        ScriptedModalHost host;
        start();
        App.DefaultDir = native(m_dir.path());
        // A Save As before leaves its default extension on the dialog; Open
        // must not add it to a name without one.
        host.cancelFileDialog();
        runCommand(Command::FileSaveAs);
        const QString path = m_dir.filePath(QStringLiteral("README"));
        writeFile(path, "read me");

        openThroughDialog(host, path);

        QCOMPARE(host.dialogs().size(), 2);
        const auto &open = host.dialogs().last();
        QCOMPARE(open.kind, ScriptedModalHost::Open);
        QCOMPARE(open.initDir, native(m_dir.path()));
        QCOMPARE(open.filter, FileFilter);
        QCOMPARE(open.flags, FileDialogFlags);
        QVERIFY(open.cancelError);
        QCOMPARE(open.filterIndex, 0);
        QVERIFY(host.messageBoxes().isEmpty());
        QCOMPARE(App.CurrentRichTextBox->Text(), QStringLiteral("read me"));
        QCOMPARE(App.FileTitle, QStringLiteral("README"));
        QCOMPARE(App.DefaultDir, native(m_dir.path()));
        QCOMPARE(stored(Settings, QStringLiteral("DefaultDir")), native(m_dir.path()));
        QVERIFY(App.IsSaved);
        QCOMPARE(currentWindow().windowTitle(), QStringLiteral("README - Scrivlet"));
    }

    void cancelledOpenChangesNothing()
    {
        ScriptedModalHost host;
        start();
        typeText(QStringLiteral("unsaved"));
        host.answerMessageBox(vbNo);
        host.cancelFileDialog();
        runCommand(Command::FileOpen);
        QCOMPARE(host.messageBoxes().size(), 1); // only the question
        QCOMPARE(App.CurrentRichTextBox->Text(), QStringLiteral("unsaved"));
        QVERIFY(!App.IsSaved);
        QCOMPARE(stored(Settings, QStringLiteral("DefaultDir")), QStringLiteral("<missing>"));
    }

    void cancelInTheQuestionShowsNoOpenDialog()
    {
        ScriptedModalHost host;
        start();
        typeText(QStringLiteral("unsaved"));
        host.answerMessageBox(vbCancel);
        runCommand(Command::FileOpen);
        QVERIFY(host.dialogs().isEmpty());
        QCOMPARE(host.messageBoxes().size(), 1);
        QCOMPARE(App.CurrentRichTextBox->Text(), QStringLiteral("unsaved"));
    }

    // Only a name ending in exactly ".rtf" is Rich Text, when loading and
    // when saving.
    void formatFollowsTheCaseOfTheExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("richText");
        QTest::newRow(".rtf") << "a.rtf" << true;
        QTest::newRow(".RTF") << "NOTES.RTF" << false;
        QTest::newRow(".Rtf") << "a.Rtf" << false;
        QTest::newRow(".rtf.txt") << "a.rtf.txt" << false;
        QTest::newRow("no extension") << "rtf" << false;
    }
    void formatFollowsTheCaseOfTheExtension()
    {
        QFETCH(QString, name);
        QFETCH(bool, richText);
        const QByteArray source
            = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Hello {\\b bold}\\par}";
        ScriptedModalHost host;
        start();
        const QString path = m_dir.filePath(name);
        writeFile(path, source);
        openThroughDialog(host, path);
        QCOMPARE(App.CurrentRichTextBox->Text(),
                 richText ? QStringLiteral("Hello bold") : QString::fromLatin1(source));

        App.CurrentRichTextBox->setSelStart(0);
        typeText(QStringLiteral("X"));
        runCommand(Command::FileSave);
        const QByteArray saved = readFile(path);
        if (richText) {
            QVERIFY2(saved.startsWith("{\\rtf1"), saved.constData());
            QVERIFY(saved.contains("XHello"));
        } else {
            QCOMPARE(saved, "X" + source);
        }
        QVERIFY(App.IsSaved);
    }

    void plainTextTakesTheDefaultStyleAndIsWrittenAsTextOnly()
    {
        ScriptedModalHost host;
        start();
        App.DefStyle.FontName = QStringLiteral("DejaVu Sans");
        App.DefStyle.FontSize = 14;
        App.DefStyle.Bold = true;
        App.DefStyle.Color = 0x0000FF; // red
        App.DefStyle.Underline = true;
        const QString path = m_dir.filePath(QStringLiteral("styled.txt"));
        writeFile(path, "one\ntwo\n");
        openThroughDialog(host, path);

        RichTextBox &editor = *App.CurrentRichTextBox;
        QCOMPARE(editor.SelStart(), 0);
        for (const int at : {0, 5, 7}) {
            editor.setSelStart(at);
            editor.setSelLength(1);
            QCOMPARE(editor.SelFontName(), QStringLiteral("DejaVu Sans"));
            QCOMPARE(editor.SelFontSize(), 14.0f);
            QVERIFY(editor.SelBold());
            QCOMPARE(editor.SelColor(), 0x0000FF);
            QVERIFY(editor.SelUnderline());
            QVERIFY(!editor.SelItalic());
        }
        QCOMPARE(App.Buffer->textLength(), 0);

        runCommand(Command::FileSave);
        QCOMPARE(readFile(path), QByteArray("one\ntwo\n"));
    }

    void aFileNamedUntitledIsSavedThroughSaveAs()
    {
        ScriptedModalHost host;
        start();
        const QString path = m_dir.filePath(QStringLiteral("Untitled"));
        writeFile(path, "old");
        openThroughDialog(host, path);
        QCOMPARE(App.FileTitle, QStringLiteral("Untitled"));
        typeText(QStringLiteral("new "));

        const QString other = m_dir.filePath(QStringLiteral("named.txt"));
        host.chooseFile(other);
        runCommand(Command::FileSave);
        QCOMPARE(host.dialogs().last().kind, ScriptedModalHost::Save);
        QCOMPARE(readFile(path), QByteArray("old"));
        QCOMPARE(readFile(other), QByteArray("new old"));
        QCOMPARE(App.FileTitle, QStringLiteral("named.txt"));
        QCOMPARE(currentWindow().windowTitle(), QStringLiteral("named.txt - Scrivlet"));
    }

    // --- the size limit ---

    // A Rich Text file near the limit whose picture is held in binary opens,
    // and what Save As writes of it stays within the limit and opens again.
    void aFileWithABinaryPictureSavesWithinTheLimit()
    {
        ScriptedModalHost host;
        start();
        QImage image(4, 3, QImage::Format_RGB32);
        image.fill(Qt::red);
        QByteArray picture;
        QBuffer buffer(&picture);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG"));
        picture += QByteArray(MaxFileSize - 200000,
                              'j'); // after the picture's end: ignored, but carried
        const QByteArray rtf = "{\\rtf1\\ansi before{\\pict\\pngblip\\picw4\\pich3\\bin"
            + QByteArray::number(picture.size()) + " " + picture + "}after}";
        QVERIFY(rtf.size() <= MaxFileSize);
        const QString original = m_dir.filePath(QStringLiteral("large.rtf"));
        const QString copy = m_dir.filePath(QStringLiteral("copy.rtf"));
        writeFile(original, rtf);
        openThroughDialog(host, original);
        host.chooseFile(copy);
        runCommand(Command::FileSaveAs);

        QVERIFY2(QFileInfo(copy).size() <= MaxFileSize,
                 qPrintable(QString::number(QFileInfo(copy).size())));
        runCommand(Command::FileNew);
        openThroughDialog(host, copy);
        QVERIFY(host.messageBoxes().isEmpty());
        QCOMPARE(App.FileTitle, QStringLiteral("copy.rtf"));
        QCOMPARE(App.CurrentRichTextBox->Text(),
                 QStringLiteral("before") + QChar(QChar::ObjectReplacementCharacter)
                     + QStringLiteral("after"));
    }

    void sizeLimit_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("loaded");
        QTest::newRow("exactly the limit") << MaxFileSize << true;
        QTest::newRow("one byte more") << MaxFileSize + 1 << false;
    }
    void sizeLimit()
    {
        QFETCH(qint64, size);
        QFETCH(bool, loaded);
        QByteArray bytes(size, 'a');
        for (qint64 i = 99; i < size; i += 100)
            bytes[i] = '\n';
        const QString path = m_dir.filePath(QStringLiteral("big.txt"));
        writeFile(path, bytes);
        bytes.clear();
        ScriptedModalHost host;
        start();
        App.DefaultDir = QStringLiteral("/before");
        typeText(QStringLiteral("small"));
        host.answerMessageBox(vbNo);
        if (!loaded)
            host.answerMessageBox(vbOK);

        OpenDocument(path);

        if (loaded) {
            QCOMPARE(host.messageBoxes().size(), 1);
            QCOMPARE(App.CurrentRichTextBox->textLength(), size - size / 100 + (size / 100) * 2);
            QCOMPARE(App.FileTitle, QStringLiteral("big.txt"));
            QVERIFY(App.IsSaved);
            return;
        }
        QCOMPARE(host.messageBoxes().size(), 2);
        const auto &box = host.messageBoxes().last();
        QCOMPARE(box.prompt,
                 QStringLiteral("The Current Max File size Limit for Scrivlet is 10 Meg.\r\n"
                                "This File is 10.0000009536743 Meg.\r\n"
                                "Sorry... I'm too lazy to code buffering."));
        QCOMPARE(box.title, QStringLiteral("File is Too Large"));
        QCOMPARE(box.buttons, int(vbOKOnly));
        QCOMPARE(App.CurrentRichTextBox->Text(), QStringLiteral("small"));
        QCOMPARE(App.FileTitle, QStringLiteral("Untitled"));
        QCOMPARE(App.DefaultDir, QStringLiteral("/before"));
        QVERIFY(!App.IsSaved);
    }

    void tooLargeMessageWritesTheSizeAsANumber_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("shown");
        const QLocale german(QLocale::German, QLocale::Germany);
        QTest::newRow("a fraction") << QLocale::c() << qint64(11010048) << "10.5";
        QTest::newRow("whole mebibytes") << QLocale::c() << qint64(20971520) << "20";
        QTest::newRow("15 significant digits")
            << QLocale::c() << MaxFileSize + 1 << "10.0000009536743";
        QTest::newRow("no thousands separator") << QLocale::c() << qint64(2147483648) << "2048";
        QTest::newRow("German decimal comma") << german << qint64(11010048) << "10,5";
        QTest::newRow("German, no thousands separator") << german << qint64(2147483648) << "2048";
    }
    void tooLargeMessageWritesTheSizeAsANumber()
    {
        QFETCH(QLocale, locale);
        QFETCH(qint64, size);
        QFETCH(QString, shown);
        QLocale::setDefault(locale);
        QCOMPARE(tooLargeMessage(size).split(QStringLiteral("\r\n")).at(1),
                 QStringLiteral("This File is ") + shown + QStringLiteral(" Meg."));
    }

    // The question comes before the size check: Yes saves even though the
    // file is then refused.
    void yesSavesBeforeTheTooLargeFileIsRefused()
    {
        const QString big = m_dir.filePath(QStringLiteral("big.txt"));
        {
            QFile file(big);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(MaxFileSize + 1));
        }
        ScriptedModalHost host;
        start();
        const QString mine = m_dir.filePath(QStringLiteral("mine.txt"));
        writeFile(mine, "v1");
        openThroughDialog(host, mine);
        App.CurrentRichTextBox->setText(QStringLiteral("v2"));
        host.answerMessageBox(vbYes);
        host.chooseFile(big);
        host.answerMessageBox(vbOK);

        runCommand(Command::FileOpen);

        QCOMPARE(host.messageBoxes().size(), 2);
        QCOMPARE(host.messageBoxes().first().title, SaveQuestionTitle);
        QCOMPARE(host.messageBoxes().last().title, QStringLiteral("File is Too Large"));
        QCOMPARE(readFile(mine), QByteArray("v2"));
        QCOMPARE(App.CurrentRichTextBox->Text(), QStringLiteral("v2"));
        QCOMPARE(App.FileTitle, QStringLiteral("mine.txt"));
        QVERIFY(App.IsSaved);
    }

    // --- Yes on an untitled document, and the commands it cancels ---

    void askers_data()
    {
        QTest::addColumn<Asker>("asker");
        QTest::newRow("New") << Asker::New;
        QTest::newRow("Open") << Asker::Open;
        QTest::newRow("a file by path") << Asker::OpenByPath;
        QTest::newRow("Exit") << Asker::Exit;
        QTest::newRow("closing the window") << Asker::Close;
    }

    // Yes shows Save As; cancelling it cancels the command, whose document
    // would otherwise be lost.
    void cancelledSaveAsAfterYesCancelsTheCommand_data() { askers_data(); }
    void cancelledSaveAsAfterYesCancelsTheCommand()
    {
        QFETCH(Asker, asker);
        ScriptedModalHost host;
        const ProgramEndWatch ends;
        start();
        const QString other = m_dir.filePath(QStringLiteral("other.txt"));
        writeFile(other, "other");
        typeText(QStringLiteral("precious"));
        host.answerMessageBox(vbYes);
        host.cancelFileDialog();

        const bool closed = ask(asker, other);

        QCOMPARE(host.dialogs().size(), 1);
        QCOMPARE(host.dialogs().first().kind, ScriptedModalHost::Save);
        QCOMPARE(host.messageBoxes().size(), 1);
        QCOMPARE(App.CurrentRichTextBox->Text(), QStringLiteral("precious"));
        QCOMPARE(App.FileTitle, QStringLiteral("Untitled"));
        QVERIFY(!App.IsSaved);
        QCOMPARE(ends.count(), 0);
        QVERIFY(!closed);
        QVERIFY(frmNormal().isLoaded());
        QVERIFY(frmBuffer().isLoaded());
    }

    // Yes and a name in Save As: the document is written there, then the
    // command goes on.
    void yesWithSaveAsSavesThenGoesOn_data() { askers_data(); }
    void yesWithSaveAsSavesThenGoesOn()
    {
        QFETCH(Asker, asker);
        ScriptedModalHost host;
        const ProgramEndWatch ends;
        start();
        const QString other = m_dir.filePath(QStringLiteral("other.txt"));
        writeFile(other, "other");
        const QString saved = m_dir.filePath(QStringLiteral("saved.txt"));
        typeText(QStringLiteral("precious"));
        host.answerMessageBox(vbYes);
        host.chooseFile(saved);

        const bool closed = ask(asker, other);

        QCOMPARE(readFile(saved), QByteArray("precious"));
        QCOMPARE(host.unusedAnswers(), 0);
        switch (asker) {
        case Asker::New:
            QCOMPARE(App.CurrentRichTextBox->textLength(), 0);
            QCOMPARE(App.FileTitle, QStringLiteral("Untitled"));
            break;
        case Asker::Open:
        case Asker::OpenByPath:
            QCOMPARE(App.CurrentRichTextBox->Text(), QStringLiteral("other"));
            QCOMPARE(App.FileTitle, QStringLiteral("other.txt"));
            break;
        case Asker::Exit: QCOMPARE(ends.count(), 1); break;
        case Asker::Close: QVERIFY(closed); break;
        }
    }

    // A failed save after Yes is reported and cancels the command.
    void failedSaveAfterYesCancelsTheCommand_data() { askers_data(); }
    void failedSaveAfterYesCancelsTheCommand()
    {
        QFETCH(Asker, asker);
        ScriptedModalHost host;
        const ProgramEndWatch ends;
        start();
        const QString other = m_dir.filePath(QStringLiteral("other.txt"));
        writeFile(other, "other");
        QTemporaryDir gone;
        const QString path = gone.filePath(QStringLiteral("doc.txt"));
        writeFile(path, "on disk");
        openThroughDialog(host, path);
        typeText(QStringLiteral("precious "));
        QVERIFY(gone.remove());
        host.answerMessageBox(vbYes);
        const bool trapped = asker == Asker::Open || asker == Asker::OpenByPath;
        host.answerMessageBox(trapped ? vbCancel : vbOK);

        const bool closed = ask(asker, other);

        QCOMPARE(host.messageBoxes().size(), 2);
        const auto &report = host.messageBoxes().last();
        const QString description = QStringLiteral("Path not found: \"%1\"").arg(native(path));
        if (trapped) {
            QVERIFY2(report.prompt.startsWith(QStringLiteral("An Unknown Error occured: 76\r\n")
                                              + description),
                     qPrintable(report.prompt));
            QVERIFY(report.prompt.endsWith(QStringLiteral("\r\n") + UnknownErrorLastLine));
            QCOMPARE(report.title, UnknownErrorTitle);
            QCOMPARE(report.buttons, UnknownErrorButtons);
        } else {
            QVERIFY2(
                report.prompt.startsWith(
                    QStringLiteral("Scrivlet could not save doc.txt.\r\nError 76: ") + description),
                qPrintable(report.prompt));
            QCOMPARE(report.title, SaveFailedTitle);
            QCOMPARE(report.buttons, int(vbOKOnly + vbExclamation));
        }
        QCOMPARE(host.dialogs().size(), 1); // the first Open only
        QCOMPARE(App.CurrentRichTextBox->Text(), QStringLiteral("precious on disk"));
        QCOMPARE(App.FileTitle, QStringLiteral("doc.txt"));
        QVERIFY(!App.IsSaved);
        QCOMPARE(ends.count(), 0);
        QVERIFY(!closed);
    }

    // --- Exit and the closing of the window ---

    void exitEndsAtOnceWithoutStoringTheWindow_data()
    {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("ended");
        QTest::newRow("clean") << false << 0 << true;
        QTest::newRow("No") << true << int(vbNo) << true;
        QTest::newRow("Cancel") << true << int(vbCancel) << false;
    }
    void exitEndsAtOnceWithoutStoringTheWindow()
    {
        QFETCH(bool, modified);
        QFETCH(int, answer);
        QFETCH(bool, ended);
        ScriptedModalHost host;
        const ProgramEndWatch ends;
        start();
        if (modified) {
            typeText(QStringLiteral("x"));
            host.answerMessageBox(answer);
        }
        item("mnuExit").trigger();

        QCOMPARE(ends.count(), ended ? 1 : 0);
        QCOMPARE(host.messageBoxes().size(), modified ? 1 : 0);
        QVERIFY(storedKeys(Settings).isEmpty());
        QVERIFY(frmNormal().isLoaded());
        QVERIFY(frmBuffer().isLoaded());
    }

    void closingAsksAndStoresTheWindow_data()
    {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::newRow("clean") << false << 0 << true;
        QTest::newRow("No") << true << int(vbNo) << true;
        QTest::newRow("Cancel") << true << int(vbCancel) << false;
    }
    void closingAsksAndStoresTheWindow()
    {
        QFETCH(bool, modified);
        QFETCH(int, answer);
        QFETCH(bool, closes);
        ScriptedModalHost host;
        EditorWindow &window = start();
        if (modified) {
            typeText(QStringLiteral("kept"));
            host.answerMessageBox(answer);
        }

        QCOMPARE(window.close(), closes);

        QCOMPARE(host.messageBoxes().size(), modified ? 1 : 0);
        QCOMPARE(frmNormal().isLoaded(), !closes);
        QCOMPARE(frmBuffer().isLoaded(), !closes);
        const QStringList keys = storedKeys(Settings);
        if (closes) {
            for (const char *key : {"Left", "Top", "Width", "Height", "AlwaysTop", "StatusBar",
                                    "HideMenu", "Wordwrap"})
                QVERIFY2(keys.contains(QLatin1String(key)), key);
        } else {
            QVERIFY(keys.isEmpty());
            QCOMPARE(App.CurrentRichTextBox->Text(), QStringLiteral("kept"));
            QVERIFY(!App.IsSaved);
            QCOMPARE(window.windowTitle(), QStringLiteral("Untitled* - Scrivlet"));
        }
    }

    void closingWithYesSavesTheTitledDocument()
    {
        ScriptedModalHost host;
        EditorWindow &window = start();
        const QString path = m_dir.filePath(QStringLiteral("closing.txt"));
        writeFile(path, "a");
        openThroughDialog(host, path);
        App.CurrentRichTextBox->setText(QStringLiteral("b"));
        host.answerMessageBox(vbYes);
        QVERIFY(window.close());
        QCOMPARE(readFile(path), QByteArray("b"));
        QVERIFY(host.dialogs().size() == 1);
    }

    // The window switch unloads the window too, but asks nothing.
    void aWindowSwitchAsksNothing()
    {
        ScriptedModalHost host;
        start();
        typeText(QStringLiteral("modified"));
        item("mnuSmallWin").trigger();
        QVERIFY(host.messageBoxes().isEmpty());
        QCOMPARE(App.CurrentRichTextBox->Text(), QStringLiteral("modified"));
        QVERIFY(!App.IsSaved);
    }

    // --- the modified mark ---

    void theFirstChangeMarksTheTitle()
    {
        ScriptedModalHost host;
        start();
        const QString path = m_dir.filePath(QStringLiteral("mark.txt"));
        writeFile(path, "text");
        openThroughDialog(host, path);
        QCOMPARE(currentWindow().windowTitle(), QStringLiteral("mark.txt - Scrivlet"));
        QTest::keyClicks(&focusEditor(), QStringLiteral("ab"));
        QVERIFY(!App.IsSaved);
        QCOMPARE(currentWindow().windowTitle(), QStringLiteral("mark.txt* - Scrivlet"));
        QCOMPARE(App.CurrentRichTextBox->Text(), QStringLiteral("abtext"));
        runCommand(Command::FileSave);
        QCOMPARE(currentWindow().windowTitle(), QStringLiteral("mark.txt - Scrivlet"));
    }

    // --- files dropped on the editor ---

    void droppedFiles_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<bool>("opened");
        QTest::newRow("one") << 1 << true;
        QTest::newRow("two") << 2 << false;
    }
    void droppedFiles()
    {
        QFETCH(int, files);
        QFETCH(bool, opened);
        ScriptedModalHost host;
        start();
        QStringList paths;
        for (int i = 0; i < files; ++i) {
            paths << m_dir.filePath(QStringLiteral("dropped%1.txt").arg(i));
            writeFile(paths.last(), "dropped");
        }
        typeText(QStringLiteral("mine"));
        if (opened)
            host.answerMessageBox(vbNo);

        dropFiles(paths);

        QCOMPARE(host.messageBoxes().size(), opened ? 1 : 0);
        if (opened)
            QCOMPARE(host.messageBoxes().first().prompt, saveQuestion(QStringLiteral("Untitled")));
        QCOMPARE(App.CurrentRichTextBox->Text(),
                 opened ? QStringLiteral("dropped") : QStringLiteral("mine"));
        QCOMPARE(App.FileTitle,
                 opened ? QStringLiteral("dropped0.txt") : QStringLiteral("Untitled"));
        QCOMPARE(App.IsSaved, opened);
    }

    // Only files are taken: dropped text is not inserted.
    void droppedTextDoesNothing_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("plain text") << "text/plain" << QByteArray("dragged words");
        QTest::newRow("HTML") << "text/html" << QByteArray("<b>dragged</b> words");
        QTest::newRow("Rich Text") << "text/rtf" << QByteArray("{\\rtf1 dragged words}");
    }
    void droppedTextDoesNothing()
    {
        QFETCH(QString, format);
        QFETCH(QByteArray, bytes);
        ScriptedModalHost host;
        start();
        App.CurrentRichTextBox->setText(QStringLiteral("mine"));
        App.IsSaved = true;
        QMimeData data;
        data.setData(format, bytes);
        if (format != QLatin1String("text/plain"))
            data.setText(QStringLiteral("dragged words"));

        drop(data);

        QCOMPARE(App.CurrentRichTextBox->Text(), QStringLiteral("mine"));
        QVERIFY(App.IsSaved);
        QVERIFY(host.messageBoxes().isEmpty());
    }

    void aDroppedFileOpensInTheSmallWindowToo()
    {
        ScriptedModalHost host;
        start();
        item("mnuSmallWin").trigger();
        const QString path = m_dir.filePath(QStringLiteral("small.txt"));
        writeFile(path, "small");
        dropFiles({path});
        QCOMPARE(App.CurrentForm, &frmSmall());
        QCOMPARE(App.CurrentRichTextBox->Text(), QStringLiteral("small"));
        QCOMPARE(currentWindow().windowTitle(), QStringLiteral("small.txt - Scrivlet"));
    }

    // --- the folder, also after a restart; the command line ---

    void theDialogsStartInTheLastFolderAfterARestart()
    {
        ScriptedModalHost host;
        start();
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("f.txt"));
        writeFile(path, "f");
        openThroughDialog(host, path);
        QVERIFY(currentWindow().close());
        endRunKeepingTheStore();
        start();

        host.cancelFileDialog();
        runCommand(Command::FileOpen);
        host.cancelFileDialog();
        runCommand(Command::FileSaveAs);
        QCOMPARE(host.dialogs().size(), 3);
        QCOMPARE(host.dialogs().at(1).initDir, native(folder.path()));
        QCOMPARE(host.dialogs().at(2).initDir, native(folder.path()));
    }

    void aRelativePathOnTheCommandLineIsMadeAbsolute()
    {
        ScriptedModalHost host;
        writeFile(m_dir.filePath(QStringLiteral("cmd.txt")), "from the command line");
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        Main(QStringLiteral("cmd.txt"));
        QDir::setCurrent(previous);
        QCOMPARE(App.CurrentRichTextBox->Text(), QStringLiteral("from the command line"));
        QCOMPARE(App.FileTitle, QStringLiteral("cmd.txt"));
        QCOMPARE(App.DefaultDir, native(m_dir.path()));
        QCOMPARE(currentWindow().windowTitle(), QStringLiteral("cmd.txt - Scrivlet"));
        QVERIFY(host.messageBoxes().isEmpty());
    }

    // A file read while the program starts serves the first open of that
    // file only: any other open, and any later one, reads its file then.
    void aFileReadAheadServesOnlyTheFirstOpenOfIt_data()
    {
        QTest::addColumn<QString>("firstOpen");
        QTest::addColumn<bool>("changedBeforeTheOpen");
        QTest::addColumn<QString>("shownFirst");
        QTest::newRow("the same file") << "ahead.txt" << false << "read at the start\nsecond line";
        QTest::newRow("the same file, changed once read")
            << "ahead.txt" << true << "read at the start\nsecond line";
        QTest::newRow("another file") << "other.txt" << false << "the other file";
        QTest::newRow("too large first") << "ahead.txt" << false << "";
    }
    void aFileReadAheadServesOnlyTheFirstOpenOfIt()
    {
        QFETCH(QString, firstOpen);
        QFETCH(bool, changedBeforeTheOpen);
        QFETCH(QString, shownFirst);
        const QString ahead = m_dir.filePath(QStringLiteral("ahead.txt"));
        const bool tooLarge = shownFirst.isEmpty();
        QByteArray first = "read at the start\r\nsecond line";
        if (tooLarge)
            first = QByteArray(MaxFileSize + 1, 'a');
        writeFile(ahead, first);
        writeFile(m_dir.filePath(QStringLiteral("other.txt")), "the other file");
        ScriptedModalHost host;
        if (tooLarge)
            host.answerMessageBox(vbOK);

        readAheadAndWait(ahead);
        if (changedBeforeTheOpen)
            writeFile(ahead, "changed after the read");
        Main(m_dir.filePath(firstOpen));

        QCOMPARE(host.messageBoxes().size(), tooLarge ? 1 : 0);
        QCOMPARE(App.CurrentRichTextBox->Text(),
                 QString(shownFirst).replace(QLatin1Char('\n'), QLatin1String("\r\n")));
        writeFile(ahead, "written since");
        OpenDocument(ahead);
        QCOMPARE(App.CurrentRichTextBox->Text(), QStringLiteral("written since"));
    }

    // A read ahead that failed is no answer: the file may have come since.
    void aFailedReadAheadIsTriedAgainWhenOpened_data()
    {
        QTest::addColumn<bool>("writtenSince");
        QTest::newRow("still missing") << false;
        QTest::newRow("written since") << true;
    }
    void aFailedReadAheadIsTriedAgainWhenOpened()
    {
        QFETCH(bool, writtenSince);
        ScriptedModalHost host;
        if (!writtenSince)
            host.answerMessageBox(vbCancel);
        const QString path = m_dir.filePath(QStringLiteral("later.txt"));
        readAheadAndWait(path);
        if (writtenSince)
            writeFile(path, "there when opened");
        Main(path);
        if (writtenSince) {
            QVERIFY(host.messageBoxes().isEmpty());
            QCOMPARE(App.CurrentRichTextBox->Text(), QStringLiteral("there when opened"));
            QCOMPARE(App.FileTitle, QStringLiteral("later.txt"));
            return;
        }
        QCOMPARE(host.messageBoxes().size(), 1);
        QVERIFY(host.messageBoxes().first().prompt.startsWith(
            QStringLiteral("An Unknown Error occured: 53\r\n")));
        QCOMPARE(App.FileTitle, QStringLiteral("Untitled"));
    }

    // --- paths that cannot be read, and the trap ---

    void unreadablePathIsReportedAndChangesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing file") << "absent.txt" << int(ErrFileNotFound) << "File not found";
        QTest::newRow("missing folder")
            << "no/such.txt" << int(ErrPathNotFound) << "Path not found";
        QTest::newRow("a folder") << "folder" << int(ErrPathFileAccess) << "Path/File access error";
        QTest::newRow("not RTF") << "plain.rtf" << int(ErrInvalidFileFormat) << "";
    }
    void unreadablePathIsReportedAndChangesNothing()
    {
        QFETCH(QString, name);
        QFETCH(int, number);
        QFETCH(QString, message);
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("folder")));
        writeFile(m_dir.filePath(QStringLiteral("plain.rtf")), "just words");
        ScriptedModalHost host;
        const ProgramEndWatch ends;
        start();
        App.DefaultDir = QStringLiteral("/before");
        App.FileTitle = QStringLiteral("before.txt");
        typeText(QStringLiteral("unsaved"));
        host.answerMessageBox(vbNo);
        host.answerMessageBox(vbCancel);

        OpenDocument(m_dir.filePath(name));

        QCOMPARE(host.messageBoxes().size(), 2);
        const QString reported = unknownErrorMessage(host.messageBoxes().last(), number);
        if (QTest::currentTestFailed())
            return;
        QVERIFY2(reported.startsWith(message), qPrintable(reported));
        if (number != ErrInvalidFileFormat)
            QVERIFY2(reported.contains(native(m_dir.filePath(name))), qPrintable(reported));
        QCOMPARE(App.CurrentRichTextBox->Text(), QStringLiteral("unsaved"));
        QCOMPARE(App.FileTitle, QStringLiteral("before.txt"));
        QCOMPARE(App.DefaultDir, QStringLiteral("/before"));
        QVERIFY(!App.IsSaved);
        QCOMPARE(App.Buffer->textLength(), 0);
        QCOMPARE(ends.count(), 0);
    }

    void okInTheUnknownErrorBoxEndsTheProgram()
    {
        ScriptedModalHost host;
        const ProgramEndWatch ends;
        start();
        host.answerMessageBox(vbOK);
        OpenDocument(m_dir.filePath(QStringLiteral("absent.txt")));
        QCOMPARE(host.messageBoxes().size(), 1);
        QCOMPARE(ends.count(), 1);
        QVERIFY(storedKeys(Settings).isEmpty());
    }

    void aCommandLineFileThatIsMissingIsReported()
    {
        ScriptedModalHost host;
        host.answerMessageBox(vbCancel);
        Main(m_dir.filePath(QStringLiteral("gone.txt")));
        QCOMPARE(host.messageBoxes().size(), 1);
        QVERIFY(host.messageBoxes().first().prompt.startsWith(
            QStringLiteral("An Unknown Error occured: 53\r\n")));
        QCOMPARE(App.FileTitle, QStringLiteral("Untitled"));
        QCOMPARE(currentWindow().windowTitle(), QStringLiteral("Untitled - Scrivlet"));
    }

    // --- files that are not regular files ---

    // A FIFO (whose open would wait for a writer), a socket, a device (such
    // as /dev/zero, which never ends) or a link to one is refused at once by
    // the trap's box, however it is given.
    void specialFilesAreRefusedAtOnce_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("what");
        const struct
        {
            const char *kind;
            const char *what;
        } kinds[] = {
            {"FIFO", "a FIFO"},
            {"link to a FIFO", "a FIFO"},
            {"socket", "a socket"},
            {"character device", "a character device"},
            {"link to /dev/zero", "a character device"},
            {"block device", "a block device"},
        };
        for (const auto &kind : kinds) {
            for (const char *way : {"command line", "Open dialog", "drop"})
                QTest::addRow("%s, %s", kind.kind, way) << kind.kind << way << kind.what;
        }
    }
    void specialFilesAreRefusedAtOnce()
    {
        QFETCH(QString, kind);
        QFETCH(QString, way);
        QFETCH(QString, what);
        QTemporaryDir dir;
        const QString path = makeSpecialFile(kind, dir.path());
        if (path.isEmpty())
            QSKIP(qPrintable(
                QStringLiteral("cannot make a %1 here: %2").arg(kind, qt_error_string(errno))));
        const Watchdog watchdog(10, "opening a special file");
        ScriptedModalHost host;
        host.answerMessageBox(vbCancel);

        if (way == QLatin1String("command line")) {
            Main(path);
        } else {
            start();
            if (way == QLatin1String("Open dialog"))
                openThroughDialog(host, path);
            else
                dropFiles({path});
        }

        QCOMPARE(host.messageBoxes().size(), 1);
        QCOMPARE(unknownErrorMessage(host.messageBoxes().first(), ErrPathFileAccess),
                 QStringLiteral("Path/File access error: \"%1\" (it is %2, not a regular file)")
                     .arg(native(path), what));
        QCOMPARE(App.FileTitle, QStringLiteral("Untitled"));
        QVERIFY(App.IsSaved);
    }

    // A file that reports less than it holds (/proc/self/pagemap reports 0
    // bytes) is read no further than one byte past the limit, and refused
    // with the too-large box as a file of that length.
    void aFileHoldingMoreThanItReportsStopsAtTheLimit()
    {
        const QFileInfo pagemap(QStringLiteral("/proc/self/pagemap"));
        if (!pagemap.isFile() || pagemap.size() != 0)
            QSKIP("needs /proc/self/pagemap, which reports 0 bytes and holds more than the limit");
        const Watchdog watchdog(30, "reading /proc/self/pagemap");
        ScriptedModalHost host;
        start();
        host.answerMessageBox(vbOK);
        OpenDocument(pagemap.filePath());
        QCOMPARE(host.messageBoxes().size(), 1);
        QCOMPARE(host.messageBoxes().first().title, QStringLiteral("File is Too Large"));
        QCOMPARE(host.messageBoxes().first().prompt.section(QStringLiteral("\r\n"), 1, 1),
                 QStringLiteral("This File is 10.0000009536743 Meg."));
        QCOMPARE(App.CurrentRichTextBox->textLength(), 0);
        QCOMPARE(App.FileTitle, QStringLiteral("Untitled"));
    }

private:
    // Runs the command of asker; for Close, true when the window closed.
    bool ask(Asker asker, const QString &fileToOpen)
    {
        switch (asker) {
        case Asker::New: item("mnuNew").trigger(); break;
        case Asker::Open:
            host()->chooseFile(fileToOpen);
            item("mnuOpen").trigger();
            break;
        case Asker::OpenByPath: OpenDocument(fileToOpen); break;
        case Asker::Exit: item("mnuExit").trigger(); break;
        case Asker::Close: return currentWindow().close();
        }
        return false;
    }

    // The scripted host in force.
    static ScriptedModalHost *host() { return dynamic_cast<ScriptedModalHost *>(&modalHost()); }

    QTemporaryDir m_dir;
};

SCRIVLET_TEST_MAIN(FileCommandsTest)
#include "tst_file_commands.moc"
