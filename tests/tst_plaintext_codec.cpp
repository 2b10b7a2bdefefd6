// Plain-text files come back byte for byte: encodings, byte-order marks and
// line breaks are detected on reading and kept on writing.
#include "TestEnvironment.h"

#include "platform/richtext/PlainTextCodec.h"
#include "platform/richtext/RichTextBox.h"

#include <QFile>
#include <QTemporaryDir>

Q_DECLARE_METATYPE(PlainTextFormat::Encoding)
Q_DECLARE_METATYPE(PlainTextFormat::LineBreak)

class TestPlainTextCodec : public QObject
{
    Q_OBJECT

    static QByteArray utf16(const QString &text, bool littleEndian)
    {
        QByteArray out;
        for (const QChar c : text) {
            const char lo = char(c.unicode() & 0xFF), hi = char(c.unicode() >> 8);
            out.append(littleEndian ? lo : hi);
            out.append(littleEndian ? hi : lo);
        }
        return out;
    }

private slots:
    void detectsAndRoundTrips_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<PlainTextFormat::Encoding>("encoding");
        QTest::addColumn<bool>("bom");
        QTest::addColumn<PlainTextFormat::LineBreak>("lineBreak");

        const QString words = QString::fromUtf8("caf\u00e9\n\u20ac 5\n");
        QTest::newRow("utf-8 crlf") << QByteArray("caf\xC3\xA9\r\n\xE2\x82\xAC 5\r\n") << words
                                    << PlainTextFormat::Utf8 << false << PlainTextFormat::CrLf;
        QTest::newRow("utf-8 lf") << QByteArray("caf\xC3\xA9\n\xE2\x82\xAC 5\n") << words
                                  << PlainTextFormat::Utf8 << false << PlainTextFormat::Lf;
        QTest::newRow("utf-8 cr") << QByteArray("caf\xC3\xA9\r\xE2\x82\xAC 5\r") << words
                                  << PlainTextFormat::Utf8 << false << PlainTextFormat::Cr;
        QTest::newRow("utf-8 bom")
            << QByteArray("\xEF\xBB\xBF"
                          "caf\xC3\xA9\r\n\xE2\x82\xAC 5\r\n")
            << words << PlainTextFormat::Utf8 << true << PlainTextFormat::CrLf;
        QTest::newRow("utf-16 le")
            << QByteArray("\xFF\xFE") + utf16("caf\u00e9\r\n\u20ac 5\r\n", true) << words
            << PlainTextFormat::Utf16LE << true << PlainTextFormat::CrLf;
        QTest::newRow("utf-16 be lf")
            << QByteArray("\xFE\xFF") + utf16("caf\u00e9\n\u20ac 5\n", false) << words
            << PlainTextFormat::Utf16BE << true << PlainTextFormat::Lf;
        QTest::newRow("windows-1252")
            << QByteArray("caf\xE9\r\n\x80 5\r\n") << words << PlainTextFormat::Windows1252 << false
            << PlainTextFormat::CrLf;
        QTest::newRow("windows-1252 undefined bytes")
            << QByteArray("\x81\x8D\x8F\x90\x9D\xFF\n")
            << QString::fromUtf8("\u0081\u008D\u008F\u0090\u009D\u00FF\n")
            << PlainTextFormat::Windows1252 << false << PlainTextFormat::Lf;
        QTest::newRow("ascii, no line break")
            << QByteArray("plain") << QString("plain") << PlainTextFormat::Utf8 << false
            << PlainTextFormat::nativeLineBreak();
        QTest::newRow("empty") << QByteArray() << QString() << PlainTextFormat::Utf8 << false
                               << PlainTextFormat::nativeLineBreak();
    }
    void detectsAndRoundTrips()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(PlainTextFormat::Encoding, encoding);
        QFETCH(bool, bom);
        QFETCH(PlainTextFormat::LineBreak, lineBreak);

        PlainTextFormat format;
        QCOMPARE(decodePlainText(bytes, &format), text);
        QCOMPARE(format.encoding, encoding);
        QCOMPARE(format.byteOrderMark, bom);
        QCOMPARE(format.lineBreak, lineBreak);
        QCOMPARE(encodePlainText(text, &format), bytes);

        // The same through the control and real files.
        QTemporaryDir dir;
        const QString in = dir.filePath("in.txt"), out = dir.filePath("out.txt");
        QFile file(in);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        RichTextBox box;
        box.LoadFile(in, RichTextBox::PlainText);
        box.SaveFile(out, RichTextBox::PlainText);
        QFile written(out);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), bytes);
    }

    void unencodableTextFallsBackToMarkedUtf8()
    {
        PlainTextFormat format;
        decodePlainText(QByteArray("caf\xE9"), &format);
        QCOMPARE(format.encoding, PlainTextFormat::Windows1252);
        const QString text = QString::fromUtf8("caf\u00e9 \u2603");
        const QByteArray bytes = encodePlainText(text, &format);
        QCOMPARE(bytes,
                 QByteArray("\xEF\xBB\xBF"
                            "caf\xC3\xA9 \xE2\x98\x83"));
        QCOMPARE(format.encoding, PlainTextFormat::Utf8);
        QVERIFY(format.byteOrderMark);
        PlainTextFormat again;
        QCOMPARE(decodePlainText(bytes, &again), text);
    }

    void invalidUtf8IsReadAsWindows1252()
    {
        PlainTextFormat format;
        // A lone continuation byte and a truncated sequence.
        QCOMPARE(decodePlainText(QByteArray("a\x80 b\xC3"), &format),
                 QString::fromUtf8("a\u20ac b\u00c3"));
        QCOMPARE(format.encoding, PlainTextFormat::Windows1252);
    }

    // Without a byte-order mark: UTF-16 by its NULs, and UTF-8 unless damaged
    // sequences outnumber well-formed ones. Whatever is chosen, every byte
    // comes back; a byte kept as a character is U+DC00 + the byte.
    void detectsTheEncodingByTheBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<PlainTextFormat::Encoding>("encoding");
        QTest::addColumn<QString>("text");
        QTest::newRow("UTF-8 with one stray byte")
            << QByteArray("na\xC3\xAFve\xFF") << PlainTextFormat::Utf8
            << QString::fromUtf8("na\u00efve") + QChar(0xDCFF);
        QTest::newRow("a character cut short counts once")
            << QByteArray("na\xC3\xAFve \xE2\x82") << PlainTextFormat::Utf8
            << QString::fromUtf8("na\u00efve ") + QChar(0xDCE2) + QChar(0xDC82);
        QTest::newRow("more damaged than well-formed")
            << QByteArray("\xC3\xA9 \xE9\xE8") << PlainTextFormat::Windows1252
            << QString::fromUtf8("\u00c3\u00a9 \u00e9\u00e8");
        QTest::newRow("UTF-16 LE by its NULs")
            << QByteArray("h\0i\0\n\0", 6) << PlainTextFormat::Utf16LE << QString("hi\n");
        QTest::newRow("UTF-16 BE by its NULs")
            << QByteArray("\0h\0i", 4) << PlainTextFormat::Utf16BE << QString("hi");
        QTest::newRow("NULs on both sides")
            << QByteArray("\0\0ab\0\0cd", 8) << PlainTextFormat::Utf8
            << QString::fromLatin1("\0\0ab\0\0cd", 8);
        const QByteArray words = QByteArray(40, 'x');
        QTest::newRow("one NUL in a longer text") << words + '\0' + words << PlainTextFormat::Utf8
                                                  << QString(words) + QChar(0) + QString(words);
    }
    void detectsTheEncodingByTheBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(PlainTextFormat::Encoding, encoding);
        QFETCH(QString, text);
        PlainTextFormat format;
        QCOMPARE(decodePlainText(bytes, &format), text);
        QCOMPARE(format.encoding, encoding);
        QVERIFY(!format.byteOrderMark);
        QCOMPARE(encodePlainText(text, &format), bytes);
    }

    // Each line break keeps its kind; a line separator inside a paragraph
    // (Shift+Enter) is written in the first kind.
    void lineBreaksOfOtherKindsAreListed()
    {
        PlainTextFormat format;
        OtherLineBreaks others;
        const QByteArray bytes = QString::fromUtf8("a\r\nb\nc\rd\u2028e\u2029f\r\n").toUtf8();
        QCOMPARE(decodePlainText(bytes, &format, &others), QString("a\nb\nc\nd\ne\nf\n"));
        QCOMPARE(format.lineBreak, PlainTextFormat::CrLf);
        const OtherLineBreaks expected = {{1, PlainTextFormat::Lf},
                                          {2, PlainTextFormat::Cr},
                                          {3, PlainTextFormat::LineSeparator},
                                          {4, PlainTextFormat::ParagraphSeparator}};
        QVERIFY(others == expected);
        QCOMPARE(encodePlainText(QString("a\nb\nc\nd\ne\nf\n"), &format, others), bytes);
        QCOMPARE(
            encodePlainText(QString::fromUtf8("x\u2028y\nz"), &format, {{0, PlainTextFormat::Cr}}),
            QByteArray("x\r\ny\rz"));
    }

    // The runs handed over while decoding are, in order, the text returned:
    // whole paragraphs, each run but the last at least the length asked for,
    // with the other line breaks of its own paragraphs.
    void decodedRunsMakeUpTheText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("mixed line breaks")
            << QByteArray("ab\r\ncd\nefgh\rij\r\n\r\nk\rl\nmnopqrstu\r\nv");
        QTest::newRow("CR LF at each length")
            << QByteArray("a\r\nbb\r\nccc\r\ndddd\r\neeeee\r\nffffff\r\n");
        QTest::newRow("UTF-16 LE with separators") << QByteArray("\xFF\xFE")
                + utf16(QString::fromUtf8("one\u2029two\u2028three\r\nfour\rfive"), true);
        QTest::newRow("Windows-1252") << QByteArray("caf\xE9\rna\xEFve\n\xE9t\xE9\r\nend");
        QTest::newRow("no line break") << QByteArray("one paragraph only");
        QTest::newRow("nothing") << QByteArray();
    }
    void decodedRunsMakeUpTheText()
    {
        QFETCH(QByteArray, bytes);
        for (const qsizetype runLength : {1, 3, 7}) {
            std::vector<DecodedRun> runs;
            OtherLineBreaks whole;
            PlainTextFormat format;
            QString text;
            decodePlainTextInRuns(
                bytes, text, &format, &whole, [&runs](DecodedRun run) { runs.push_back(run); },
                runLength);
            QString joined;
            OtherLineBreaks breaks;
            if (!text.isEmpty())
                QCOMPARE(runs.front().paragraphs.data(), text.constData()); // views of it
            int paragraphs = 0;
            for (size_t i = 0; i < runs.size(); ++i) {
                const QStringView run = runs[i].paragraphs;
                QVERIFY(!run.isEmpty());
                if (i + 1 < runs.size()) {
                    QVERIFY2(run.endsWith(QLatin1Char('\n')) && run.size() >= runLength,
                             qPrintable(run.toString()));
                    // It ends at the first paragraph end that is long enough.
                    const QStringView before = QStringView(run).first(run.size() - 1);
                    QVERIFY(before.lastIndexOf(QLatin1Char('\n')) + 1 < runLength);
                }
                for (const OtherLineBreak &other : runs[i].otherBreaks)
                    breaks.push_back({other.paragraph + paragraphs, other.kind});
                paragraphs += int(run.count(QLatin1Char('\n')));
                joined += run;
            }
            QCOMPARE(joined, text);
            QVERIFY(breaks == whole);
            PlainTextFormat once;
            QCOMPARE(decodePlainText(bytes, &once), text);
            QVERIFY(once == format);
        }
    }

    void newDocumentsUseTheNativeLineBreak()
    {
        RichTextBox box;
        box.setText("one\r\ntwo");
        QTemporaryDir dir;
        box.SaveFile(dir.filePath("n.txt"), RichTextBox::PlainText);
        QFile file(dir.filePath("n.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 PlainTextFormat::nativeLineBreak() == PlainTextFormat::CrLf
                     ? QByteArray("one\r\ntwo")
                     : QByteArray("one\ntwo"));
    }
};

SCRIVLET_TEST_MAIN(TestPlainTextCodec)
#include "tst_plaintext_codec.moc"
