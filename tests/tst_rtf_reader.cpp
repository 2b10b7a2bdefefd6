// The RTF reader: text, characters and code pages, tables, character and
// paragraph formats, fields, pictures, insertion at a cursor, malformed and
// non-RTF input, and the inputs the fuzzer found.
#include "TestEnvironment.h"
#include "rtf_support/LibreOfficeText.h"
#include "rtf_support/RtfTestDocument.h"

#include "platform/RuntimeError.h"

#include <QDir>
#include <QTextBlock>

using rtftest::read;

namespace {

// The text as the document holds it, with \n between paragraphs.
QString textOf(const QByteArray &rtf)
{
    return read(rtf)->toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

// The character format at the first occurrence of text.
QTextCharFormat formatAt(const QTextDocument &document, const QString &text)
{
    const QTextCursor found = document.find(text);
    QTextCursor cursor(const_cast<QTextDocument *>(&document));
    cursor.setPosition(found.selectionStart() + 1);
    return cursor.charFormat();
}

// A file of tests/data/rtf.
QString dataFile(const QString &name)
{
    return QStringLiteral(SCRIVLET_TEST_DATA_DIR) + "/rtf/" + name;
}

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList wordsOf(const QString &text)
{
    return text.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
}

QTextBlockFormat blockFormatOf(const QTextDocument &document, const QString &text)
{
    return document.find(text).block().blockFormat();
}

const QByteArray Header
    = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}"
      "{\\f2\\fcharset128 MS Gothic;}{\\f3\\fcharset238 Arial CE;}}"
      "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}";

} // namespace

class TestRtfReader : public QObject
{
    Q_OBJECT

private slots:
    void text_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << QByteArray("Hello world") << "Hello world";
        QTest::newRow("line breaks in the file are not text") << QByteArray("Hel\r\nlo") << "Hello";
        QTest::newRow("escaped symbols") << QByteArray("\\\\ \\{ \\}") << "\\ { }";
        QTest::newRow("paragraphs") << QByteArray("a\\par b\\par\r\nc") << "a\nb\nc";
        QTest::newRow("final paragraph mark ends the last paragraph")
            << QByteArray("a\\par b\\par") << "a\nb";
        QTest::newRow("backslash newline is a paragraph") << QByteArray("a\\\r\nb") << "a\nb";
        QTest::newRow("sect and page end paragraphs")
            << QByteArray("a\\sect b\\page c") << "a\nb\nc";
        QTest::newRow("special characters")
            << QByteArray(
                   "\\~\\-\\_\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote\\tab|")
            << QString::fromUtf8("\u00A0\u00AD\u2011\u2014\u2013\u2022\u2018\u2019\u201C\u201D\t|");
        QTest::newRow("line is a line separator")
            << QByteArray("a\\line b") << QString::fromUtf8("a\u2028b");
        QTest::newRow("hex in the document code page")
            << QByteArray("caf\\'e9 \\'80") << QString::fromUtf8("café €");
        QTest::newRow("hex in the font code page")
            << QByteArray("\\f3 \\'b9\\'e6") << QString::fromUtf8("ąć");
        QTest::newRow("double-byte split over escapes")
            << QByteArray("\\f2 \\'82\\'a0\\'83e") << QString::fromUtf8("あテ");
        QTest::newRow("unicode with fallback")
            << QByteArray("\\u8364?x") << QString::fromUtf8("€x");
        QTest::newRow("negative unicode") << QByteArray("\\u-3913?") << QString(QChar(0xF0B7));
        QTest::newRow("uc2 skips two")
            << QByteArray("\\uc2\\u20013\\'d6\\'d0x") << QString::fromUtf8("中x");
        QTest::newRow("uc0 skips none")
            << QByteArray("\\uc0\\u20013 x") << QString::fromUtf8("中x");
        QTest::newRow("fallback skip ends at a brace")
            << QByteArray("\\uc4\\u20013{a}b") << QString::fromUtf8("中ab");
        QTest::newRow("surrogate pair")
            << QByteArray("\\u-10179?\\u-9047?") << QString::fromUtf8("💩");
        QTest::newRow("lone surrogate")
            << QByteArray("\\u-10179?x") << QString::fromUtf8("\uFFFDx");
        QTest::newRow("out-of-range unicode")
            << QByteArray("\\u99999?x") << QString::fromUtf8("\uFFFDx");
        QTest::newRow("broken hex") << QByteArray("a\\'zzb") << QString::fromUtf8("a\uFFFDb");
        QTest::newRow("hex control characters dropped")
            << QByteArray("a\\'00\\'0db\\'09c") << "ab\tc";
        QTest::newRow("unknown words ignored") << QByteArray("\\foo12 a\\bar b") << "ab";
        QTest::newRow("unknown ignorable destination skipped")
            << QByteArray("a{\\*\\foo hidden}b") << "ab";
        QTest::newRow("known destinations skipped") << QByteArray(
            "a{\\info{\\title T}}{\\stylesheet{\\s1 S;}}{\\header H}{\\footer F}{\\footnote N}"
            "{\\*\\bkmkstart x}b") << "ab";
        QTest::newRow("bin data skipped exactly") << QByteArray("a{\\*\\x\\bin4 }}{\\}b") << "ab";
        QTest::newRow("bin outside a picture is not text") << QByteArray("a\\bin3 xyzb") << "ab";
        QTest::newRow("hidden text not shown") << QByteArray("a{\\v hidden}b\\v c\\v0 d") << "abd";
        QTest::newRow("field result shown")
            << QByteArray("{\\field{\\*\\fldinst PAGE}{\\fldrslt 3}}") << "3";
        QTest::newRow("table cells and rows")
            << QByteArray("\\trowd\\cellx100\\cellx200\\pard\\intbl a\\cell "
                          "b\\cell\\row\\trowd\\pard\\intbl \\cell d\\cell\\row after")
            << "a\tb\n\td\nafter";
        // Nested cells and rows read as outer ones: the properties of a nested
        // row follow its cells and hold its \nestrow.
        QTest::newRow("nested rows in a cell with text") << QByteArray(
            "\\trowd\\cellx900\\cellx1800\\pard\\intbl\\itap1 out\\par\\pard\\intbl\\itap2 "
            "a\\nestcell b\\nestcell"
            "{\\*\\nesttableprops\\trowd\\cellx400\\cellx800\\nestrow}c\\nestcell\\nestcell"
            "{\\*\\nesttableprops\\trowd\\cellx400\\cellx800\\nestrow}"
            "\\pard\\intbl\\itap1 tail\\cell e\\cell\\row after")
                                                         << "out\na\tb\nc\t\ntail\te\nafter";
        QTest::newRow("nested table three deep") << QByteArray(
            "\\trowd\\cellx900\\pard\\intbl\\itap3 a\\nestcell "
            "b\\nestcell{\\*\\nesttableprops\\nestrow}"
            "\\pard\\intbl\\itap2 c\\nestcell{\\*\\nesttableprops\\nestrow}\\pard\\intbl\\itap1 "
            "d\\cell\\row") << "a\tb\nc\nd";
        QTest::newRow("stand-in for readers without nested tables not shown")
            << QByteArray("\\itap2 a\\nestcell{\\nonesttables\\par}b\\nestcell{\\nonesttables\\par}"
                          "{\\*\\nesttableprops\\nestrow}{\\nonesttables a b\\par}after")
            << "a\tb\nafter";
        QTest::newRow("nested row in a skipped destination")
            << QByteArray("a{\\header h\\nestcell{\\*\\nesttableprops\\nestrow}}b") << "ab";
        QTest::newRow("list text not shown")
            << QByteArray("{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}one\\par{"
                          "\\listtext 2.\\tab}two")
            << "one\ntwo";
        QTest::newRow("upr reads its unicode part")
            << QByteArray("{\\upr{ansi}{\\*\\ud{\\u20013?}}}") << QString::fromUtf8("中");
        QTest::newRow("text after the final brace ignored") << QByteArray("a}b{\\rtf1 c}") << "a";
    }

    void text()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);
        QCOMPARE(textOf(Header + body + "}"), expected);
    }

    // A file in the layout a word processor writes, with nested tables two
    // and three deep, cells of several paragraphs, empty cells and a
    // stand-in for older readers.
    void nestedTableFile()
    {
        const QString expected
            = "Nested heading\nOuter first\nInner alpha\tInner beta\nInner beta again\n"
              "Inner gamma\t\nOuter tail\tOuter second\nMiddle left\nDeep one\tDeep two\n"
              "\tMiddle right\n\tOuter last\nAfter the table";
        QCOMPARE(read(contentsOf(dataFile("nested-table.rtf")))->toPlainText(), expected);
    }

    // LibreOffice shows the same words in the same order. It puts every cell
    // on a line of its own, so lines are not compared. Skipped where
    // LibreOffice is not installed.
    void libreOfficeShowsTheSameWords()
    {
        const QString soffice = rtftest::sofficePath();
        if (soffice.isEmpty())
            QSKIP("soffice (LibreOffice) is not installed");
        const QString path = dataFile("nested-table.rtf");
        QStringList theirs;
        rtftest::libreOfficeLines(soffice, path, theirs);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(wordsOf(read(contentsOf(path))->toPlainText()), wordsOf(theirs.join('\n')));
    }

    void codePages_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("expected");
        QTest::newRow("1250") << QByteArray("{\\rtf1\\ansi\\ansicpg1250 \\'9c\\'b9}")
                              << QString::fromUtf8("śą");
        QTest::newRow("1251") << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0}")
                              << QString::fromUtf8("Пр");
        QTest::newRow("1253") << QByteArray("{\\rtf1\\ansi\\ansicpg1253 \\'e1}")
                              << QString::fromUtf8("α");
        QTest::newRow("1254") << QByteArray("{\\rtf1\\ansi\\ansicpg1254 \\'fe}")
                              << QString::fromUtf8("ş");
        QTest::newRow("1255") << QByteArray("{\\rtf1\\ansi\\ansicpg1255 \\'e0}")
                              << QString::fromUtf8("א");
        QTest::newRow("1256") << QByteArray("{\\rtf1\\ansi\\ansicpg1256 \\'c7}")
                              << QString::fromUtf8("ا");
        QTest::newRow("1257") << QByteArray("{\\rtf1\\ansi\\ansicpg1257 \\'e0}")
                              << QString::fromUtf8("ą");
        QTest::newRow("1258") << QByteArray("{\\rtf1\\ansi\\ansicpg1258 \\'f5}")
                              << QString::fromUtf8("ơ");
        QTest::newRow("874") << QByteArray("{\\rtf1\\ansi\\ansicpg874 \\'a1}")
                             << QString::fromUtf8("ก");
        QTest::newRow("932") << QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0\\'b1}")
                             << QString::fromUtf8("あｱ");
        QTest::newRow("936") << QByteArray("{\\rtf1\\ansi\\ansicpg936 \\'d6\\'d0}")
                             << QString::fromUtf8("中");
        QTest::newRow("949") << QByteArray("{\\rtf1\\ansi\\ansicpg949 \\'c7\\'d1}")
                             << QString::fromUtf8("한");
        QTest::newRow("950") << QByteArray("{\\rtf1\\ansi\\ansicpg950 \\'a4\\'a4}")
                             << QString::fromUtf8("中");
        QTest::newRow("65001") << QByteArray("{\\rtf1\\ansi\\ansicpg65001 \\'e4\\'b8\\'ad}")
                               << QString::fromUtf8("中");
        QTest::newRow("mac") << QByteArray("{\\rtf1\\mac \\'8e}") << QString::fromUtf8("é");
        QTest::newRow("pc") << QByteArray("{\\rtf1\\pc \\'82}") << QString::fromUtf8("é");
        QTest::newRow("pca") << QByteArray("{\\rtf1\\pca \\'9b}") << QString::fromUtf8("ø");
        QTest::newRow("unknown code page reads as 1252")
            << QByteArray("{\\rtf1\\ansi\\ansicpg0 \\'e9}") << QString::fromUtf8("é");
        QTest::newRow("lead byte without trail")
            << QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'82}") << QString::fromUtf8("\uFFFD");
        QTest::newRow("byte without a character")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1253 \\'aa}") << QString::fromUtf8("\uFFFD");
        QTest::newRow("font cpg wins")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0\\cpg1251 X;}}\\f0 \\'cf}")
            << QString::fromUtf8("П");
        QTest::newRow("font name in its code page")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset128 \\'82\\'a0;}}\\f0 x}") << "x";
    }

    void codePages()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, expected);
        QCOMPARE(textOf(rtf), expected);
    }

    void fontNameDecoded()
    {
        const auto document = read("{\\rtf1{\\fonttbl{\\f0\\fcharset128 \\'82\\'6c\\'82\\'72 "
                                   "Gothic;}{\\f1 \\u21069?Font;}}"
                                   "\\f0 a\\f1 b}");
        QCOMPARE(textformat::fontName(formatAt(*document, "a")), QString::fromUtf8("ＭＳ Gothic"));
        QCOMPARE(textformat::fontName(formatAt(*document, "b")), QString::fromUtf8("前Font"));
    }

    void charFormats()
    {
        const auto document = read(Header
                                   + "\\fs20 P{\\b B}{\\i I}{\\ul U}{\\uldb D}{\\ulwave W}{\\ul "
                                     "X\\ulnone Y}{\\strike S}{\\striked T}"
                                     "{\\f3 F}{\\fs33 Z}{\\cf1 R}{\\cb2 G}{\\highlight1 H}{\\super "
                                     "E}{\\sub O}{\\up6 V}{\\dn4 N}"
                                     "{\\b\\i\\ul\\cf1 \\plain L}{\\b0 K}}");
        const QTextDocument &d = *document;
        QCOMPARE(textformat::fontName(formatAt(d, "P")), QString("Arial"));
        QCOMPARE(formatAt(d, "P").fontPointSize(), 10.0);
        QCOMPARE(formatAt(d, "P").fontWeight(), int(QFont::Normal));
        QCOMPARE(formatAt(d, "B").fontWeight(), int(QFont::Bold));
        QVERIFY(formatAt(d, "I").fontItalic());
        QVERIFY(formatAt(d, "U").fontUnderline());
        QVERIFY(formatAt(d, "D").fontUnderline());
        QVERIFY(formatAt(d, "W").fontUnderline());
        QVERIFY(formatAt(d, "X").fontUnderline());
        QVERIFY(!formatAt(d, "Y").fontUnderline());
        QVERIFY(formatAt(d, "S").fontStrikeOut());
        QVERIFY(formatAt(d, "T").fontStrikeOut());
        QCOMPARE(textformat::fontName(formatAt(d, "F")), QString("Arial CE"));
        QCOMPARE(formatAt(d, "Z").fontPointSize(), 16.5);
        QCOMPARE(formatAt(d, "R").foreground().color(), QColor(255, 0, 0));
        QVERIFY(!formatAt(d, "P").hasProperty(QTextFormat::ForegroundBrush));
        QCOMPARE(formatAt(d, "G").background().color(), QColor(0, 128, 0));
        QCOMPARE(formatAt(d, "H").background().color(), QColor(255, 0, 0));
        QCOMPARE(formatAt(d, "E").verticalAlignment(), QTextCharFormat::AlignSuperScript);
        QCOMPARE(formatAt(d, "O").verticalAlignment(), QTextCharFormat::AlignSubScript);
        QCOMPARE(formatAt(d, "V").property(textformat::CharOffset).toInt(), 60);
        QCOMPARE(formatAt(d, "N").property(textformat::CharOffset).toInt(), -40);
        // \plain: everything back to the defaults, 12 points in the default font.
        const QTextCharFormat plain = formatAt(d, "L");
        QVERIFY(plain.fontWeight() == QFont::Normal && !plain.fontItalic()
                && !plain.fontUnderline());
        QVERIFY(!plain.hasProperty(QTextFormat::ForegroundBrush));
        QCOMPARE(plain.fontPointSize(), 12.0);
        QCOMPARE(textformat::fontName(plain), QString("Arial"));
        QCOMPARE(formatAt(d, "K").fontWeight(), int(QFont::Normal));
    }

    void paragraphFormats()
    {
        const auto document
            = read(Header
                   + "\\pard\\qc\\li720\\ri360\\fi-360\\sb120\\sa240 C\\par"
                     "\\pard\\qr R\\par\\pard\\qj J\\par"
                     "\\pard\\sl360\\slmult1 M\\par\\pard\\sl-300 X\\par\\pard\\sl300 A\\par"
                     "\\pard\\tx720\\tqr\\tx2880\\tqc\\tx4320\\tqdec\\tx5760 T\\par"
                     "\\pard L}");
        const QTextDocument &d = *document;
        const QTextBlockFormat c = blockFormatOf(d, "C");
        QCOMPARE(c.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QCOMPARE(c.leftMargin(), 36.0);
        QCOMPARE(c.rightMargin(), 18.0);
        QCOMPARE(c.textIndent(), -18.0);
        QCOMPARE(c.topMargin(), 6.0);
        QCOMPARE(c.bottomMargin(), 12.0);
        QCOMPARE(blockFormatOf(d, "R").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        QCOMPARE(blockFormatOf(d, "J").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
        QCOMPARE(blockFormatOf(d, "M").lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
        QCOMPARE(blockFormatOf(d, "M").lineHeight(), 150.0);
        QCOMPARE(blockFormatOf(d, "X").lineHeightType(), int(QTextBlockFormat::FixedHeight));
        QCOMPARE(blockFormatOf(d, "X").lineHeight(), 15.0);
        QCOMPARE(blockFormatOf(d, "A").lineHeightType(), int(QTextBlockFormat::MinimumHeight));
        const QList<QTextOption::Tab> tabs = blockFormatOf(d, "T").tabPositions();
        QCOMPARE(tabs.size(), 4);
        QCOMPARE(tabs.at(0).position, 36.0);
        QCOMPARE(tabs.at(0).type, QTextOption::LeftTab);
        QCOMPARE(tabs.at(1).type, QTextOption::RightTab);
        QCOMPARE(tabs.at(2).type, QTextOption::CenterTab);
        QCOMPARE(tabs.at(3).type, QTextOption::DelimiterTab);
        // \pard resets, also for the last paragraph.
        const QTextBlockFormat l = blockFormatOf(d, "L");
        QCOMPARE(l.leftMargin(), 0.0);
        QVERIFY(l.tabPositions().isEmpty());
    }

    void lists_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QStringList>("marks"); // per paragraph: "bullet", a number text or ""
        QTest::newRow("RichEdit bullets") << QByteArray(
            "\\pard{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'b7}}\\li720 one\\par"
            "{\\pntext\\f1\\'b7\\tab}two\\par\\pard three")
                                          << QStringList{"bullet", "bullet", ""};
        QTest::newRow("RichEdit numbers") << QByteArray(
            "\\pard{\\pntext\\f0 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec{\\pntxta.}}one\\par"
            "{\\pntext\\f0 2.\\tab}two\\par\\pard three")
                                          << QStringList{"1.", "2.", ""};
        QTest::newRow("Word list text")
            << QByteArray("{\\listtext\\pard\\plain\\f1 \\'b7\\tab}\\ls1 one\\par"
                          "{\\listtext\\pard\\plain a)\\tab}\\ls2 two\\par"
                          "{\\listtext\\pard\\plain \\u8226\\'95\\tab}\\ls1 three\\par\\pard four")
            << QStringList{"bullet", "a)", "bullet", ""};
    }

    void lists()
    {
        QFETCH(QByteArray, body);
        QFETCH(QStringList, marks);
        const auto document = read(Header + body + "}");
        QStringList actual;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            const QTextBlockFormat format = block.blockFormat();
            actual << (format.boolProperty(textformat::ParagraphBullet)
                           ? QString("bullet")
                           : format.stringProperty(textformat::ParagraphNumberText));
        }
        QCOMPARE(actual, marks);
    }

    void hyperlinks_data()
    {
        QTest::addColumn<QByteArray>("instruction");
        QTest::addColumn<QString>("href");
        QTest::newRow("url") << QByteArray("HYPERLINK \"https://example.com/a?b=1\"")
                             << "https://example.com/a?b=1";
        QTest::newRow("unquoted") << QByteArray("HYPERLINK http://x.org ") << "http://x.org";
        QTest::newRow("bookmark") << QByteArray("HYPERLINK \\\\l \"mark\"") << "#mark";
        QTest::newRow("switches") << QByteArray("HYPERLINK \"http://y\" \\\\o \"tip\" \\\\h")
                                  << "http://y";
        QTest::newRow("in groups") << QByteArray("{ HYPERLINK }{ \"http://z\" }") << "http://z";
        QTest::newRow("other fields carry no link") << QByteArray("PAGEREF x") << QString();
    }

    void hyperlinks()
    {
        QFETCH(QByteArray, instruction);
        QFETCH(QString, href);
        const auto document = read(Header + "a {\\field{\\*\\fldinst " + instruction
                                   + "}{\\fldrslt{\\ul link}}} b}");
        QCOMPARE(document->toPlainText(), QString("a link b"));
        const QTextCharFormat link = formatAt(*document, "link");
        QCOMPARE(link.isAnchor(), !href.isEmpty());
        QCOMPARE(link.anchorHref(), href);
        QVERIFY(link.fontUnderline());
        QVERIFY(!formatAt(*document, " b").isAnchor());
    }

    void pictures_data()
    {
        QTest::addColumn<QByteArray>("picture");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QSizeF>("size");
        // A 1 x 1 PNG.
        const QByteArray png
            = "89504e470d0a1a0a0000000d49484452000000010000000108060000001f15c489"
              "0000000d4944415478da63f8cfc0f01f0005000201f5b8d46e0000000049454e44ae426082";
        QTest::newRow("png with goal size")
            << "{\\pict\\pngblip\\picwgoal300\\pichgoal150 " + png + "}" << true << QSizeF(15, 7.5);
        QTest::newRow("png scaled")
            << "{\\pict\\pngblip\\picwgoal300\\pichgoal300\\picscalex50\\picscaley200 " + png + "}"
            << true << QSizeF(7.5, 30);
        QTest::newRow("png from its pixels")
            << "{\\pict\\pngblip " + png + "}" << true << QSizeF(0.75, 0.75);
        QTest::newRow("png as binary") << "{\\pict\\pngblip\\bin"
                + QByteArray::number(png.size() / 2) + " " + QByteArray::fromHex(png)
                + "}" << true << QSizeF(0.75, 0.75);
        QTest::newRow("in shppict")
            << "{\\*\\shppict{\\pict\\pngblip " + png + "}}{\\nonshppict{\\pict\\wmetafile8 0100}}"
            << true << QSizeF(0.75, 0.75);
        QTest::newRow("metafile skipped")
            << QByteArray("{\\pict\\wmetafile8 010009000003}") << false << QSizeF();
        QTest::newRow("broken png skipped")
            << QByteArray("{\\pict\\pngblip 89504e47}") << false << QSizeF();
    }

    void pictures()
    {
        QFETCH(QByteArray, picture);
        QFETCH(bool, shown);
        QFETCH(QSizeF, size);
        const auto document = read(Header + "a" + picture + "b}");
        const QString expected
            = shown ? QString("a") + QChar::ObjectReplacementCharacter + "b" : QString("ab");
        QCOMPARE(document->toPlainText(), expected);
        if (!shown)
            return;
        QTextCursor cursor(document.get());
        cursor.setPosition(2);
        const QTextImageFormat image = cursor.charFormat().toImageFormat();
        QVERIFY(image.isValid());
        QCOMPARE(QSizeF(image.width(), image.height()), size);
        QVERIFY(!document->resource(QTextDocument::ImageResource, QUrl(image.name())).isNull());
    }

    void insertsAtCursorReplacingSelection()
    {
        QTextDocument document;
        document.setPlainText("Hello world");
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        QTextCursor(&document).setBlockFormat(centred);
        QTextCursor cursor(&document);
        cursor.setPosition(6);
        cursor.setPosition(11, QTextCursor::KeepAnchor);
        insertRtf(cursor, Header + "{\\b there}\\par}");
        // A final paragraph mark ends the inserted paragraph without adding one.
        QCOMPARE(document.toPlainText(), QString("Hello there"));
        QCOMPARE(cursor.position(), 11);
        QVERIFY(!cursor.hasSelection());
        QCOMPARE(formatAt(document, "there").fontWeight(), int(QFont::Bold));
        // Text without a paragraph mark keeps the paragraph's own format.
        cursor.setBlockFormat(centred);
        insertRtf(cursor, Header + "\\qr !}");
        QCOMPARE(document.toPlainText(), QString("Hello there!"));
        QCOMPARE(document.begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignHCenter);
        // One insertion is one undo step.
        document.undo();
        QCOMPARE(document.toPlainText(), QString("Hello there"));
    }

    void insertsParagraphsInTheMiddle()
    {
        QTextDocument document;
        document.setPlainText("xy");
        QTextCursor cursor(&document);
        cursor.setPosition(1);
        insertRtf(cursor, Header + "a\\par b}");
        QCOMPARE(document.toPlainText(), QString("xa\nby"));
        QCOMPARE(cursor.position(), 4);
    }

    void emptyDataRemovesSelectionOnly()
    {
        QTextDocument document;
        document.setPlainText("abc");
        QTextCursor cursor(&document);
        cursor.setPosition(1);
        cursor.setPosition(2, QTextCursor::KeepAnchor);
        insertRtf(cursor, QByteArray());
        QCOMPARE(document.toPlainText(), QString("ac"));
    }

    void notRtf_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("text") << QByteArray("Hello world");
        QTest::newRow("html") << QByteArray("<html><body>x</body></html>");
        QTest::newRow("json") << QByteArray("{\"rtf\": 1}");
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10);
        QTest::newRow("a lone brace") << QByteArray("{");
    }

    void notRtf()
    {
        QFETCH(QByteArray, data);
        QTextDocument document;
        document.setPlainText("keep");
        QTextCursor cursor(&document);
        cursor.select(QTextCursor::Document);
        try {
            insertRtf(cursor, data);
            QFAIL("no error raised");
        } catch (const RuntimeError &error) {
            QCOMPARE(error.Number(), int(ErrInvalidFileFormat));
            QVERIFY(error.Description().contains("Rich Text Format"));
        }
        QCOMPARE(document.toPlainText(), QString("keep"));
    }

    void malformed_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("expected");
        QTest::newRow("unclosed groups") << QByteArray("{\\rtf1 a{\\b b{\\i c") << "abc";
        QTest::newRow("extra closing brace") << QByteArray("{\\rtf1 a}}b") << "a";
        QTest::newRow("truncated in a word") << QByteArray("{\\rtf1 a\\pa") << "a";
        QTest::newRow("truncated in hex")
            << QByteArray("{\\rtf1 a\\'e") << QString::fromUtf8("a\uFFFD");
        QTest::newRow("truncated after backslash") << QByteArray("{\\rtf1 a\\") << "a";
        QTest::newRow("missing header") << QByteArray("{\\ansi\\deff0 text}") << "text";
        QTest::newRow("leading white space and BOM")
            << QByteArray("\xEF\xBB\xBF \r\n{\\rtf1 x}") << "x";
        QTest::newRow("100,000 deep")
            << "{\\rtf1 a" + QByteArray(100000, '{') + "b" + QByteArray(100000, '}') + "c}"
            << "abc";
        QTest::newRow("100,000 deep unclosed") << "{\\rtf1 a" + QByteArray(100000, '{') + "\\b b"
                                               << "ab";
        QTest::newRow("huge parameters")
            << QByteArray("{\\rtf1\\fs99999999999999\\li-"
                          "99999999999\\cf4294967296\\f2147483648\\uc99999999 a\\tx-5 b}")
            << "ab";
        QTest::newRow("negative parameters")
            << QByteArray("{\\rtf1\\fs-4\\sb-100\\cf-1\\highlight-3\\uc-2\\u-65536?a\\bin-5 b}")
            << QString::fromUtf8("\uFFFD?ab");
        QTest::newRow("huge bin") << QByteArray("{\\rtf1 a\\bin2147483647 bcdef}") << "a";
        QTest::newRow("thousands of tabs")
            << "{\\rtf1" + QByteArray("\\tx100").repeated(5000) + " a}"
            << "a";
        QTest::newRow("fonts without semicolons")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0 A}{\\f1 B}}\\f1 x}") << "x";
        QTest::newRow("destination without group") << QByteArray("{\\rtf1 a\\fonttbl b}") << "a";
    }

    void malformed()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, expected);
        QCOMPARE(textOf(rtf), expected);
    }

    void manyTabsAreBounded()
    {
        const auto document = read("{\\rtf1" + QByteArray("\\tx100").repeated(5000) + " a}");
        QVERIFY(document->begin().blockFormat().tabPositions().size() <= 256);
    }

    // Inputs the fuzzer found interesting (crashes it found, since mended, and
    // a sample of its corpus) are read again: none may crash or hang.
    void fuzzRegressions()
    {
        const QDir dir(QStringLiteral(SCRIVLET_TEST_DATA_DIR) + "/rtf-fuzz-regressions");
        const QStringList files = dir.entryList(QDir::Files);
        QVERIFY2(files.size() >= 10, "the regression set is missing");
        for (const QString &name : files) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray data = file.readAll();
            QTextDocument document;
            QTextCursor cursor(&document);
            try {
                insertRtf(cursor, data);
                // What was read can be written.
                QVERIFY(writeRtf(document, 0, document.characterCount() - 1).startsWith("{\\rtf1"));
            } catch (const RuntimeError &error) {
                QCOMPARE(error.Number(), int(ErrInvalidFileFormat));
                QVERIFY2(!looksLikeRtf(data), qPrintable(name));
            }
        }
    }
};

SCRIVLET_TEST_MAIN(TestRtfReader)
#include "tst_rtf_reader.moc"
