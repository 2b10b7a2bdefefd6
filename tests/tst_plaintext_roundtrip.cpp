// Plain text comes back byte for byte through the program's Open and Save:
// every line break in its own kind, bytes that do not decode, characters the
// control would change, UTF-16 without a byte-order mark, a binary file and
// random bytes. Line breaks the user adds take the document's first kind, and
// edits keep the kinds of the other breaks.

#include "DocumentTestSupport.h"
#include "TestEnvironment.h"

#include "platform/TextFormat.h"
#include "platform/richtext/RichTextBox.h"

#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

#include <iterator>

using namespace shelltest;
using namespace doctest;

namespace {

QByteArray utf16(const QString &text, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding);
    return encoder.encode(text);
}

// A byte kept as a character is U+DC00 + the byte, as Python's
// "surrogateescape" keeps the bytes above 0x7F.
QString kept(uchar byte) { return QString(QChar(char16_t(0xDC00 + byte))); }

// Writes bytes to path and opens it through the Open dialog.
void openFile(ScriptedModalHost &host, const QString &path, const QByteArray &bytes)
{
    writeFile(path, bytes);
    openThroughDialog(host, path);
}

// Random bytes, weighted towards what decoding has to get right: line
// breaks, NULs, bytes above 0x7F, pieces of UTF-8 (and of characters the
// control would change), byte-order marks, text that looks like UTF-16.
QByteArray randomBytes(QRandomGenerator &random)
{
    static const QByteArray pieces[] = {"\r",
                                        "\n",
                                        "\r\n",
                                        QByteArray(1, '\0'),
                                        "\xC3\xA9",
                                        "\xE2\x82\xAC",
                                        "\xF0\x9F\x98\x80",
                                        "\xE2\x80\xA8",
                                        "\xE2\x80\xA9",
                                        "\xEF\xB7\x90",
                                        "\xEF\xBB\xBF",
                                        "\xFF\xFE",
                                        "\xFE\xFF"};
    static const int longest[] = {1, 4, 16, 64, 256, 1024};
    const int length = int(random.bounded(longest[random.bounded(int(std::size(longest)))] + 1));
    QByteArray bytes;
    while (bytes.size() < length) {
        switch (random.bounded(4)) {
        case 0: bytes += pieces[random.bounded(int(std::size(pieces)))]; break;
        case 1: bytes += char(0x80 + random.bounded(0x80)); break;
        case 2: bytes += char(random.bounded(0x80)); break;
        default: bytes += char(0x20 + random.bounded(0x60)); bytes += '\0';
        }
    }
    return bytes;
}

// A file that is decoded in many runs (see decodePlainText), with breaks of
// every kind, one paragraph long enough to be cut, and characters beyond
// ASCII; shown gets the editor's Text of it.
QByteArray manyRuns(QString *shown)
{
    QByteArray bytes;
    const char *const breaks[] = {"\r\n", "\n", "\r"};
    for (int line = 0; line < 3000; ++line) {
        const QString words = line == 1500
            ? QString(40000, QLatin1Char('w'))
            : QStringLiteral("line %1 caf\u00e9 ").arg(line).repeated(line % 9);
        bytes += words.toUtf8() + breaks[line % 7 % 3];
        *shown += words + QStringLiteral("\r\n");
    }
    return bytes;
}

// The paragraphs of document as text, each with the marks of the separator
// before it.
QStringList blocksOf(const QTextDocument &document)
{
    QStringList blocks;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextCharFormat marks = block.charFormat();
        blocks << QStringLiteral("%1|%2|%3")
                      .arg(marks.property(textformat::PieceBreak).toString(),
                           marks.property(textformat::LineBreakKind).toString(), block.text());
    }
    return blocks;
}

enum class Edit {
    TypeLetter,
    TypeEnter,
    TypeShiftEnter,
    TypeLineOnEmptyLine,
    PasteLines,
    Backspace,
    BackspaceThenUndo,
    DeleteSelection,
    SwitchWindowAndBack,
    TypeCharacter,
};

} // namespace

Q_DECLARE_METATYPE(Edit)

class PlainTextRoundTripTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { DeleteSetting(AppName); }
    void cleanup() { endRun(); }

    void savedWithoutAnEditTheBytesStay_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown"); // the editor's Text; null: not checked

        QTest::newRow("mixed line breaks")
            << QByteArray("a\r\nb\nc\rd\r\n") << QStringLiteral("a\r\nb\r\nc\r\nd\r\n");
        QTest::newRow("line and paragraph separators, UTF-8")
            << QStringLiteral("one\u2028two\u2029three\r\n").toUtf8()
            << QStringLiteral("one\r\ntwo\r\nthree\r\n");
        QTest::newRow("line and paragraph separators, UTF-16 LE") << QByteArray("\xFF\xFE")
                + utf16(QStringLiteral("one\u2029two\u2028"),
                        QStringConverter::Utf16LE) << QStringLiteral("one\r\ntwo\r\n");
        QTest::newRow("UTF-8 with a byte-order mark and a stray byte")
            << QByteArray("\xEF\xBB\xBF"
                          "caf\xC3\xA9 \xFF!")
            << QStringLiteral("café ") + kept(0xFF) + "!";
        QTest::newRow("UTF-16 LE with an odd last byte")
            << QByteArray("\xFF\xFE") + utf16("odd", QStringConverter::Utf16LE) + "\x7F"
            << "odd" + kept(0x7F);
        QTest::newRow("UTF-16 BE with an odd last byte")
            << QByteArray("\xFE\xFF") + utf16("odd", QStringConverter::Utf16BE) + "\x80"
            << "odd" + kept(0x80);
        QTest::newRow("UTF-16 LE with a lone surrogate") << QByteArray("\xFF\xFE"
                                                                       "a\0\0\xD8"
                                                                       "b\0",
                                                                       8)
                                                         << "a" + kept(0x00) + kept(0xD8) + "b";
        QTest::newRow("UTF-8 with one stray byte")
            << QByteArray("Gr\xC3\xBC\xC3\x9F"
                          "e, na\xC3\xAFve\xFF caf\xC3\xA9\n")
            << QStringLiteral("Grüße, naïve") + kept(0xFF) + QStringLiteral(" café\r\n");
        QTest::newRow("UTF-8 cut in a character")
            << QByteArray("na\xC3\xAFve \xE2\x82")
            << QStringLiteral("naïve ") + kept(0xE2) + kept(0x82);
        const QString twoLines = QStringLiteral("Hello, world\r\nline two\r\n");
        QTest::newRow("UTF-16 LE without a byte-order mark")
            << utf16(twoLines, QStringConverter::Utf16LE) << twoLines;
        QTest::newRow("UTF-16 BE without a byte-order mark")
            << utf16(twoLines, QStringConverter::Utf16BE) << twoLines;
        QTest::newRow("noncharacters the control turns into breaks") << QByteArray("a\xEF\xB7\x90"
                                                                                   "b\xEF\xB7\x91"
                                                                                   "c")
                                                                     << "a" + kept(0xEF)
                + kept(0xB7) + kept(0x90) + "b" + kept(0xEF) + kept(0xB7) + kept(0x91) + "c";
        QTest::newRow("Windows-1252")
            << QByteArray("na\xEFve caf\xE9\r\n") << QStringLiteral("naïve café\r\n");
        QString manyRunsShown;
        const QByteArray manyRunsBytes = manyRuns(&manyRunsShown);
        QTest::newRow("a file decoded in many runs") << manyRunsBytes << manyRunsShown;
        QFile ls(QStringLiteral("/bin/ls"));
        QTest::newRow("a copy of /bin/ls")
            << (ls.open(QIODevice::ReadOnly) ? ls.readAll() : QByteArray()) << QString();
    }
    void savedWithoutAnEditTheBytesStay()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        if (bytes.isEmpty())
            QSKIP("/bin/ls cannot be read here");
        ScriptedModalHost host;
        start();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("kept.txt"));
        openFile(host, path, bytes);
        QVERIFY(App.IsSaved);
        if (!shown.isNull())
            QCOMPARE(App.CurrentRichTextBox->Text(), shown);
        runCommand(Command::FileSave);
        QCOMPARE(readFile(path), bytes);
        QVERIFY(host.messageBoxes().isEmpty());
    }

    // A file opened is taken in a run of paragraphs at a time while the rest
    // is decoded: the document is the one that reading it whole makes.
    void aFileTakenInRunsMakesTheDocumentReadWhole()
    {
        ScriptedModalHost host;
        start();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("runs.txt"));
        QString shown;
        openFile(host, path, manyRuns(&shown));
        RichTextBox whole;
        whole.LoadFile(path, RichTextBox::PlainText);
        const QStringList opened = blocksOf(*App.CurrentRichTextBox->document());
        QVERIFY(opened.size() > 3000);
        QCOMPARE(opened, blocksOf(*whole.document()));
        QCOMPARE(App.CurrentRichTextBox->Text(), shown);
    }

    void randomBytesComeBackUnchanged()
    {
        ScriptedModalHost host;
        start();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("random.txt"));
        QRandomGenerator random(20240509);
        for (int round = 0; round < 400; ++round) {
            const QByteArray bytes = randomBytes(random);
            openFile(host, path, bytes);
            runCommand(Command::FileSave);
            const QByteArray saved = readFile(path);
            QVERIFY2(saved == bytes,
                     qPrintable(QStringLiteral("round %1: %2 was saved as %3")
                                    .arg(round)
                                    .arg(QString::fromLatin1(bytes.toHex(' ')),
                                         QString::fromLatin1(saved.toHex(' ')))));
        }
        QVERIFY(host.messageBoxes().isEmpty());
    }

    // Positions count each line break as CR LF: in "alpha", "beta", "gamma",
    // "delta" (below) beta starts at 7, gamma at 13, delta at 20.
    void editsKeepTheOtherBreaks_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<int>("position");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray mixed = "alpha\r\nbeta\ngamma\rdelta\r\n";
        QTest::newRow("a letter typed")
            << mixed << Edit::TypeLetter << 9 << QByteArray("alpha\r\nbexta\ngamma\rdelta\r\n");
        QTest::newRow("Enter") << mixed << Edit::TypeEnter << 9
                               << QByteArray("alpha\r\nbe\r\nta\ngamma\rdelta\r\n");
        QTest::newRow("Shift+Enter") << mixed << Edit::TypeShiftEnter << 9
                                     << QByteArray("alpha\r\nbe\r\nta\ngamma\rdelta\r\n");
        QTest::newRow("Enter, CR first") << QByteArray("one\rtwo\r\nthree") << Edit::TypeEnter << 2
                                         << QByteArray("on\re\rtwo\r\nthree");
        // As in a new document, the platform's line break.
        const QByteArray native = QDir::separator() == QLatin1Char('\\') ? "\r\n" : "\n";
        QTest::newRow("Enter, no line break yet")
            << QByteArray("onetwo") << Edit::TypeEnter << 3 << "one" + native + "two";
        // The empty line follows an LF and ends in a CR; the document's kind
        // is CR LF.
        const QByteArray emptyLine = "top\r\nmid\n\rend";
        QTest::newRow("a line typed on an empty line")
            << emptyLine << Edit::TypeLineOnEmptyLine << 10
            << QByteArray("top\r\nmid\nx\r\ny\rend");
        QTest::newRow("lines pasted on an empty line")
            << emptyLine << Edit::PasteLines << 10 << QByteArray("top\r\nmid\np\r\nq\rend");
        QTest::newRow("a break deleted")
            << mixed << Edit::Backspace << 20 << QByteArray("alpha\r\nbeta\ngammadelta\r\n");
        QTest::newRow("a break deleted, then undone")
            << mixed << Edit::BackspaceThenUndo << 20 << mixed;
        QTest::newRow("a line deleted")
            << mixed << Edit::DeleteSelection << 7 << QByteArray("alpha\r\ngamma\rdelta\r\n");
        QTest::newRow("small window and back") << mixed << Edit::SwitchWindowAndBack << 0 << mixed;
        QTest::newRow("a character typed into UTF-8 with a stray byte")
            << QByteArray("na\xC3\xAFve\xFF\ncaf\xC3\xA9\r\n") << Edit::TypeCharacter << 0
            << QByteArray("\xE4\xB8\xAD"
                          "na\xC3\xAFve\xFF\ncaf\xC3\xA9\r\n");
    }
    void editsKeepTheOtherBreaks()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Edit, edit);
        QFETCH(int, position);
        QFETCH(QByteArray, expected);
        ScriptedModalHost host;
        start();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("edited.txt"));
        openFile(host, path, bytes);
        RichTextBox &editor = focusEditor();
        editor.setSelStart(position);
        switch (edit) {
        case Edit::TypeLetter: QTest::keyClick(&editor, Qt::Key_X); break;
        case Edit::TypeEnter: QTest::keyClick(&editor, Qt::Key_Return); break;
        case Edit::TypeShiftEnter:
            QTest::keyClick(&editor, Qt::Key_Return, Qt::ShiftModifier);
            break;
        case Edit::TypeLineOnEmptyLine:
            QTest::keyClick(&editor, Qt::Key_X);
            QTest::keyClick(&editor, Qt::Key_Return);
            QTest::keyClick(&editor, Qt::Key_Y);
            break;
        case Edit::PasteLines: typeText(QStringLiteral("p\r\nq")); break;
        case Edit::Backspace:
        case Edit::BackspaceThenUndo:
            QTest::keyClick(&editor, Qt::Key_Backspace);
            if (edit == Edit::BackspaceThenUndo)
                editor.undo();
            break;
        case Edit::DeleteSelection:
            editor.setSelLength(6); // "beta" and its line break
            QTest::keyClick(&editor, Qt::Key_Backspace);
            break;
        case Edit::SwitchWindowAndBack:
            runCommand(Command::ShowSmallWindow);
            runCommand(Command::ShowNormalWindow);
            break;
        case Edit::TypeCharacter: typeText(QStringLiteral("中")); break;
        }
        runCommand(Command::FileSave);
        QCOMPARE(readFile(path), expected);
        QVERIFY(host.messageBoxes().isEmpty());
    }

    // The character that stands for a byte is drawn as U+FFFD is.
    void aKeptByteShowsTheReplacementCharacter()
    {
        ScriptedModalHost host;
        start();
        QTemporaryDir dir;
        int files = 0;
        auto shownAfterOpening = [&](const QByteArray &bytes) {
            openFile(host, dir.filePath(QStringLiteral("%1.txt").arg(++files)), bytes);
            App.CurrentRichTextBox->setCursorWidth(0);
            return App.CurrentRichTextBox->viewport()->grab().toImage();
        };
        const QImage keptByte = shownAfterOpening("na\xC3\xAFve \xFF");
        QVERIFY(App.CurrentRichTextBox->Text().endsWith(kept(0xFF)));
        QCOMPARE(keptByte, shownAfterOpening("na\xC3\xAFve \xEF\xBF\xBD"));
        QVERIFY(keptByte != shownAfterOpening("na\xC3\xAFve "));
    }
};

SCRIVLET_TEST_MAIN(PlainTextRoundTripTest)
#include "tst_plaintext_roundtrip.moc"
