// The RTF writer: its header and escapes, round trips of every format the
// control holds, ranges, stable output, and what LibreOffice reads from it.
#include "TestEnvironment.h"
#include "rtf_support/LibreOfficeText.h"
#include "rtf_support/RtfTestDocument.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>

using rtftest::read;
using rtftest::summary;
using rtftest::writeAll;

namespace {

// A document with one paragraph of text in format.
std::unique_ptr<QTextDocument> documentWith(const QString &text, const QTextCharFormat &format,
                                            const QTextBlockFormat &block = QTextBlockFormat())
{
    auto document = std::make_unique<QTextDocument>();
    QTextCursor cursor(document.get());
    cursor.setBlockFormat(block);
    cursor.insertText("before ", QTextCharFormat());
    cursor.insertText(text, format);
    cursor.insertText(" after", QTextCharFormat());
    return document;
}

// Our RTF of document, written to a file in dir; its path.
QString writtenFile(const QTextDocument &document, const QTemporaryDir &dir)
{
    QFile output(dir.filePath("ours.rtf"));
    if (!output.open(QIODevice::WriteOnly) || output.write(writeAll(document)) < 0)
        qFatal("cannot write %s", qPrintable(output.fileName()));
    return output.fileName();
}

// A small blue PNG picture.
QByteArray pngPicture()
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

} // namespace

class TestRtfWriter : public QObject
{
    Q_OBJECT

private slots:
    void headerAndEscapes()
    {
        QTextCharFormat format;
        textformat::setFontName(format, "Arial");
        const auto document = documentWith(QString::fromUtf8("a\\{}é€ΩЖ中💩\t"), format);
        const QByteArray rtf = writeAll(*document);
        QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0"));
        QVERIFY(rtf.contains("{\\fonttbl{\\f0\\fnil\\fcharset0 ;}{\\f1\\fnil\\fcharset0 Arial;}}"));
        QVERIFY(rtf.contains("{\\colortbl ;}"));
        QVERIFY(rtf.contains("\\uc1 "));
        QVERIFY2(
            rtf.contains("a\\\\\\{\\}\\'e9\\'80\\u937?\\u1046?\\u20013?\\u-10179?\\u-9047?\\tab"),
            rtf.constData());
        QVERIFY(rtf.endsWith("}\r\n"));
        for (const char c : rtf)
            QVERIFY(uchar(c) < 0x80); // 7-bit, as RTF should be
    }

    void roundTrip_data()
    {
        QTest::addColumn<QTextCharFormat>("format");
        QTest::addColumn<QTextBlockFormat>("block");
        QTextCharFormat f;
        QTextBlockFormat b;
        auto row = [](const char *name, const QTextCharFormat &format,
                      const QTextBlockFormat &block = QTextBlockFormat()) {
            QTest::newRow(name) << format << block;
        };
        f = {};
        textformat::setFontName(f, QString::fromUtf8("ＭＳ ゴシック"));
        row("font face", f);
        f = {};
        f.setFontPointSize(15.5);
        row("size", f);
        f = {};
        f.setFontWeight(QFont::Bold);
        row("bold", f);
        f = {};
        f.setFontItalic(true);
        row("italic", f);
        f = {};
        f.setFontUnderline(true);
        row("underline", f);
        f = {};
        f.setFontStrikeOut(true);
        row("strike", f);
        f = {};
        f.setForeground(QColor(10, 20, 30));
        row("colour", f);
        f = {};
        f.setBackground(QColor(200, 210, 220));
        row("background", f);
        f = {};
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        row("superscript", f);
        f = {};
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        row("subscript", f);
        f = {};
        f.setProperty(textformat::CharOffset, 60);
        row("raised", f);
        f = {};
        f.setProperty(textformat::CharOffset, -40);
        row("lowered", f);
        f = {};
        f.setAnchor(true);
        f.setAnchorHref("https://example.com/x?a=b\\c");
        row("hyperlink", f);
        f = {};
        f.setAnchor(true);
        f.setAnchorHref("#mark");
        row("bookmark link", f);
        f = {};
        f.setFontWeight(QFont::Bold);
        f.setFontItalic(true);
        f.setForeground(Qt::red);
        f.setFontPointSize(20);
        row("combined", f);
        b = {};
        b.setAlignment(Qt::AlignRight);
        row("right", {}, b);
        b = {};
        b.setAlignment(Qt::AlignHCenter);
        row("centre", {}, b);
        b = {};
        b.setAlignment(Qt::AlignJustify);
        row("justify", {}, b);
        b = {};
        b.setLeftMargin(36);
        b.setRightMargin(18);
        b.setTextIndent(-18);
        row("indents", {}, b);
        b = {};
        b.setTopMargin(6);
        b.setBottomMargin(12.5);
        row("spacing", {}, b);
        b = {};
        b.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
        row("line spacing multiple", {}, b);
        b = {};
        b.setLineHeight(15, QTextBlockFormat::FixedHeight);
        row("line spacing exact", {}, b);
        b = {};
        b.setLineHeight(14, QTextBlockFormat::MinimumHeight);
        row("line spacing at least", {}, b);
        b = {};
        b.setTabPositions({QTextOption::Tab(36, QTextOption::LeftTab),
                           QTextOption::Tab(72, QTextOption::RightTab),
                           QTextOption::Tab(108, QTextOption::CenterTab),
                           QTextOption::Tab(144, QTextOption::DelimiterTab, QChar('.'))});
        row("tabs", {}, b);
        b = {};
        b.setProperty(textformat::ParagraphBullet, true);
        b.setLeftMargin(36);
        b.setTextIndent(-18);
        row("bullet", {}, b);
        b = {};
        b.setProperty(textformat::ParagraphNumberText, "12)");
        row("number", {}, b);
    }

    void roundTrip()
    {
        QFETCH(QTextCharFormat, format);
        QFETCH(QTextBlockFormat, block);
        const auto original = documentWith("text", format, block);
        const QByteArray rtf = writeAll(*original);
        const auto copy = read(rtf);
        QCOMPARE(copy->toPlainText(), original->toPlainText());
        // The original's runs lack the face and size the RTF gives every run:
        // compare what the original set.
        QTextCursor cursor(copy.get());
        cursor.setPosition(9);
        const QTextCharFormat readFormat = cursor.charFormat();
        const QMap<int, QVariant> charProperties = format.properties();
        for (auto it = charProperties.cbegin(); it != charProperties.cend(); ++it)
            QVERIFY2(readFormat.property(it.key()) == it.value(),
                     qPrintable(QStringLiteral("property %1 in %2")
                                    .arg(it.key(), 0, 16)
                                    .arg(QString::fromLatin1(rtf))));
        const QTextBlockFormat readBlock = copy->begin().blockFormat();
        const QMap<int, QVariant> blockProperties = block.properties();
        for (auto it = blockProperties.cbegin(); it != blockProperties.cend(); ++it)
            QVERIFY2(readBlock.property(it.key()) == it.value(),
                     qPrintable(QStringLiteral("property %1 in %2")
                                    .arg(it.key(), 0, 16)
                                    .arg(QString::fromLatin1(rtf))));
        // And from then on nothing changes.
        QCOMPARE(summary(*read(writeAll(*copy))), summary(*copy));
        QCOMPARE(writeAll(*read(writeAll(*copy))), writeAll(*copy));
    }

    void pictureRoundTrip()
    {
        QImage image(4, 3, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QTextDocument document;
        document.addResource(QTextDocument::ImageResource, QUrl("pic"), image);
        QTextImageFormat format;
        format.setName("pic");
        format.setWidth(30);
        format.setHeight(22.5);
        QTextCursor(&document).insertImage(format);
        const QByteArray rtf = writeAll(document);
        QVERIFY(rtf.contains("{\\pict\\pngblip\\picw4\\pich3\\picwgoal600\\pichgoal450"));
        const auto copy = read(rtf);
        QTextCursor cursor(copy.get());
        cursor.setPosition(1);
        const QTextImageFormat readImage = cursor.charFormat().toImageFormat();
        QCOMPARE(QSizeF(readImage.width(), readImage.height()), QSizeF(30, 22.5));
        const QByteArray png
            = copy->resource(QTextDocument::ImageResource, QUrl(readImage.name())).toByteArray();
        QCOMPARE(QImage::fromData(png).convertToFormat(QImage::Format_RGB32), image);
        QCOMPARE(writeAll(*read(writeAll(*copy))), writeAll(*copy));
    }

    // A picture goes back in the form it came in: hexadecimal, or binary
    // (\bin, half the size), which is what lets a large file save again.
    void pictureKeepsItsForm_data()
    {
        QTest::addColumn<bool>("binary");
        QTest::newRow("hexadecimal") << false;
        QTest::newRow("binary") << true;
    }
    void pictureKeepsItsForm()
    {
        QFETCH(bool, binary);
        const QByteArray png = pngPicture();
        const QByteArray data
            = binary ? "\\bin" + QByteArray::number(png.size()) + " " + png : png.toHex();
        const QByteArray rtf = "{\\rtf1\\ansi a{\\pict\\pngblip\\picw4\\pich3 " + data + "}b}";

        const QByteArray written = writeAll(*read(rtf));

        QCOMPARE(written.contains("\\bin" + QByteArray::number(png.size()) + " " + png), binary);
        QCOMPARE(written.contains(png.toHex().left(32)), !binary);
        const auto copy = read(written);
        QCOMPARE(copy->toPlainText(), QString("a") + QChar::ObjectReplacementCharacter + "b");
        QTextCursor cursor(copy.get());
        cursor.setPosition(2);
        const QString name = cursor.charFormat().toImageFormat().name();
        QCOMPARE(copy->resource(QTextDocument::ImageResource, QUrl(name)).toByteArray(), png);
        QCOMPARE(writeAll(*copy), written);
    }

    // LibreOffice shows a picture that we wrote in binary. Skipped where
    // LibreOffice is not installed.
    void libreOfficeReadsABinaryPicture()
    {
        const QString soffice = rtftest::sofficePath();
        if (soffice.isEmpty())
            QSKIP("soffice (LibreOffice) is not installed");
        const QByteArray png = pngPicture();
        const auto document = read("{\\rtf1\\ansi a{\\pict\\pngblip\\picw4\\pich3\\bin"
                                   + QByteArray::number(png.size()) + " " + png + "}b}");
        QTemporaryDir dir;
        QString converted;
        rtftest::libreOfficeConvert(soffice, writtenFile(*document, dir), "html", dir.path(),
                                    converted);
        if (QTest::currentTestFailed())
            return;
        QFile html(converted);
        QVERIFY(html.open(QIODevice::ReadOnly));
        QVERIFY2(html.readAll().contains("<img"), "LibreOffice shows no picture");
    }

    void ranges_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("pasted"); // into "<>" between the brackets
        // The document: "one\ntwo\n\nfour" (positions 0..13).
        QTest::newRow("inside a paragraph") << 1 << 3 << "<ne>";
        QTest::newRow("across paragraphs") << 2 << 6 << "<e\ntw>";
        QTest::newRow("ending with a paragraph mark") << 4 << 8 << "<two\n>";
        QTest::newRow("an empty paragraph and its mark") << 8 << 9 << "<\n>";
        QTest::newRow("everything") << 0 << 13 << "<one\ntwo\n\nfour>";
        QTest::newRow("nothing") << 5 << 5 << "<>";
        QTest::newRow("out of range") << -5 << 500 << "<one\ntwo\n\nfour>";
    }

    void ranges()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, pasted);
        QTextDocument source;
        source.setPlainText("one\ntwo\n\nfour");
        const QByteArray rtf = writeRtf(source, from, to);
        QTextDocument target;
        target.setPlainText("<>");
        QTextCursor cursor(&target);
        cursor.setPosition(1);
        insertRtf(cursor, rtf);
        QCOMPARE(target.toPlainText(), pasted);
    }

    void emptyParagraphsAtTheEnd()
    {
        QTextDocument document;
        document.setPlainText("a\n\n");
        const auto copy = read(writeAll(document));
        QCOMPARE(copy->blockCount(), 3);
        QCOMPARE(copy->toPlainText(), QString("a\n\n"));
    }

    // Reading and writing settles after one round: write(read(x)) is a
    // fixed point, for our own files and for everything the corpus holds.
    void stable_data()
    {
        QTest::addColumn<QString>("path");
        const QDir own(QStringLiteral(SCRIVLET_TEST_DATA_DIR) + "/rtf");
        for (const QString &name : own.entryList({"*.rtf"}))
            QTest::newRow(qPrintable(name)) << own.filePath(name);
        if (testenv::corpusDir().isEmpty()) {
            QTest::newRow("corpus") << QString(); // says that it is missing
        } else {
            const QDir corpus(testenv::corpusDir() + "/rtf");
            for (const QString &name : corpus.entryList({"*.rtf"}))
                QTest::newRow(qPrintable("corpus " + name)) << corpus.filePath(name);
        }
    }

    void stable()
    {
        QFETCH(QString, path);
        if (path.isEmpty())
            SCRIVLET_REQUIRE_CORPUS();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray once = writeAll(*read(file.readAll()));
        const QByteArray twice = writeAll(*read(once));
        QCOMPARE(twice, once);
    }

    // LibreOffice reads our output with the same text. Skipped where
    // LibreOffice is not installed.
    void libreOfficeReadsTheText()
    {
        const QString soffice = rtftest::sofficePath();
        if (soffice.isEmpty())
            QSKIP("soffice (LibreOffice) is not installed");
        QFile input(QStringLiteral(SCRIVLET_TEST_DATA_DIR) + "/rtf/constructs.rtf");
        QVERIFY(input.open(QIODevice::ReadOnly));
        const auto document = read(input.readAll());
        QTemporaryDir dir;
        QStringList theirs;
        rtftest::libreOfficeLines(soffice, writtenFile(*document, dir), theirs);
        if (QTest::currentTestFailed())
            return;

        // LibreOffice writes list marks (indented, with a space or tab) before
        // the text; a line separator becomes a line end.
        const QStringList ours = document->toPlainText().replace(QChar(0x2028), '\n').split('\n');
        QCOMPARE(theirs.size(), ours.size());
        for (int i = 0; i < ours.size(); ++i) {
            QString line = theirs.at(i);
            line.remove(QRegularExpression(QString::fromUtf8("^\\s*(•|·|\\d+\\.)\\s+")));
            QCOMPARE(line.replace(QChar(0xA0), ' '), QString(ours.at(i)).replace(QChar(0xA0), ' '));
        }
    }
};

SCRIVLET_TEST_MAIN(TestRtfWriter)
#include "tst_rtf_writer.moc"
