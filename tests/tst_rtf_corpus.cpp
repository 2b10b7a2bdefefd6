// Every RTF file of the shared corpus: it loads, shows the text its manifest
// names, and survives a write and read with the same text and formats.
#include "TestEnvironment.h"
#include "rtf_support/RtfTestDocument.h"

#include "platform/RuntimeError.h"

#include <QDir>
#include <QFile>

namespace {

// Excerpts that describe the text rather than quote it, by file: the texts
// that must be shown and one that must not.
struct ExcerptOverride
{
    const char *file;
    QStringList shown;
    QString hidden;
};

const QList<ExcerptOverride> &excerptOverrides()
{
    static const QList<ExcerptOverride> overrides = {
        {"tika-richedit-table-cell-separation.rtf", {"a b", "c d"}, {}},
        {"striprtf-textedit-line-break.rtf", {"A", "B", "C"}, {}},
        {"striprtf-textedit-thai.rtf", {QString::fromUtf8("ü"), QString::fromUtf8("เ")}, {}},
        {"libreoffice-bin-skipping.rtf", {"text"}, "MUST NOT IMPORT"},
    };
    return overrides;
}

} // namespace

class TestRtfCorpus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SCRIVLET_REQUIRE_CORPUS(); }

    void file_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("hidden");
        const QString dir = testenv::corpusDir() + "/rtf";
        QFile manifest(dir + "/MANIFEST.tsv");
        QVERIFY2(manifest.open(QIODevice::ReadOnly), "MANIFEST.tsv is missing");
        const QList<QByteArray> lines = manifest.readAll().split('\n');
        int rows = 0;
        for (const QByteArray &line : lines.mid(1)) {
            const QList<QByteArray> columns = line.split('\t');
            if (columns.size() < 7)
                continue;
            const QString file = QString::fromUtf8(columns.at(0));
            const QString excerpt = QString::fromUtf8(columns.at(6)).trimmed();
            QStringList shown;
            QString hidden;
            const auto override
                = std::find_if(excerptOverrides().begin(), excerptOverrides().end(),
                               [&](const ExcerptOverride &o) { return file == o.file; });
            if (override != excerptOverrides().end()) {
                shown = override->shown;
                hidden = override->hidden;
            } else if (!excerpt.startsWith('-')) {
                // " / " separates texts of separate paragraphs.
                shown = excerpt.split(" / ");
            }
            QTest::newRow(qPrintable(file)) << dir + "/" + file << shown << hidden;
            ++rows;
        }
        QVERIFY(rows >= 78);
    }

    void file()
    {
        QFETCH(QString, path);
        QFETCH(QStringList, shown);
        QFETCH(QString, hidden);
        QFile input(path);
        QVERIFY(input.open(QIODevice::ReadOnly));
        const QByteArray rtf = input.readAll();

        std::unique_ptr<QTextDocument> document;
        try {
            document = rtftest::read(rtf);
        } catch (const RuntimeError &error) {
            QFAIL(qPrintable("load failed: " + error.Description()));
        }
        // Excerpts quote the text as it reads: any white space is one space.
        const QString text = document->toPlainText().simplified();
        qsizetype from = 0;
        for (const QString &part : shown) {
            const qsizetype at = text.indexOf(part, from);
            QVERIFY2(at >= 0,
                     qPrintable(QStringLiteral("\"%1\" is not shown in order in:\n%2")
                                    .arg(part, text.left(2000))));
            from = at + part.size();
        }
        if (!hidden.isEmpty())
            QVERIFY2(!text.contains(hidden), qPrintable(hidden + " is shown"));

        const QByteArray written = rtftest::writeAll(*document);
        const auto reread = rtftest::read(written);
        QCOMPARE(reread->toPlainText(), document->toPlainText());
        QCOMPARE(rtftest::summary(*reread), rtftest::summary(*document));
        QCOMPARE(rtftest::writeAll(*reread), written);
    }

    void pictureFileShowsItsPicture()
    {
        QFile input(testenv::corpusDir() + "/rtf/rtfjs-handwritten-png-bin.rtf");
        QVERIFY(input.open(QIODevice::ReadOnly));
        const auto document = rtftest::read(input.readAll());
        QCOMPARE(document->toPlainText(), QString(QChar::ObjectReplacementCharacter));
        const QTextFragment fragment = document->begin().begin().fragment();
        QVERIFY(fragment.charFormat().isImageFormat());
        const QString name = fragment.charFormat().toImageFormat().name();
        QVERIFY(!document->resource(QTextDocument::ImageResource, QUrl(name)).isNull());
    }
};

SCRIVLET_TEST_MAIN(TestRtfCorpus)
#include "tst_rtf_corpus.moc"
