// The document's path from its folder and title and back, with the
// platform's separator, roots included; relative paths made absolute.

#include "TestEnvironment.h"

#include "document/DocumentPath.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

// Rows are written with '/', and compared in the platform's separators.
QString n(const char *path) { return QDir::toNativeSeparators(QString::fromUtf8(path)); }

} // namespace

class DocumentPathsTest : public QObject
{
    Q_OBJECT

private slots:
    void splitAtTheLastSeparator_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::newRow("folder") << n("/home/ann/notes.txt") << n("/home/ann") << "notes.txt";
        QTest::newRow("drive folder") << n("C:/Docs/a.txt") << n("C:/Docs") << "a.txt";
        QTest::newRow("drive root") << n("C:/a.txt") << n("C:") << "a.txt";
        QTest::newRow("file-system root") << n("/a.txt") << n("/") << "a.txt";
        QTest::newRow("dots in folder names") << n("/a.b/c.d/e") << n("/a.b/c.d") << "e";
        QTest::newRow("a bare name") << n("a.txt") << ""
                                     << "a.txt";
    }
    void splitAtTheLastSeparator()
    {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QCOMPARE(folderOf(path), folder);
        QCOMPARE(fileNameOf(path), name);
        if (!folder.isEmpty())
            QCOMPARE(documentPath(folder, name), path);
    }

    // A root as the folder gives a valid path, with one separator.
    void rootsJoinWithOneSeparator_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("path");
        QTest::newRow("drive") << n("C:") << n("C:/x.txt");
        QTest::newRow("drive with separator") << n("C:/") << n("C:/x.txt");
        QTest::newRow("file-system root") << n("/") << n("/x.txt");
        QTest::newRow("folder") << n("/srv/docs") << n("/srv/docs/x.txt");
    }
    void rootsJoinWithOneSeparator()
    {
        QFETCH(QString, folder);
        QFETCH(QString, path);
        QCOMPARE(documentPath(folder, QStringLiteral("x.txt")), path);
    }

    void relativePathsAreTakenFromTheCurrentFolder_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("underCurrent");
        QTest::newRow("a name") << "a.txt"
                                << "/a.txt";
        QTest::newRow("a sub-folder") << n("sub/a.txt") << "/sub/a.txt";
        QTest::newRow("dot and dot-dot") << n("./sub/../a.txt") << "/a.txt";
    }
    void relativePathsAreTakenFromTheCurrentFolder()
    {
        QFETCH(QString, given);
        QFETCH(QString, underCurrent);
        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const QString absolute = absolutePath(given);
        const QString current = QDir::currentPath();
        QDir::setCurrent(previous);
        QCOMPARE(absolute, QDir::toNativeSeparators(current + underCurrent));
    }

    void absolutePathsStayAsTheyAre()
    {
        QCOMPARE(absolutePath(n("/srv/docs/a.txt")), n("/srv/docs/a.txt"));
    }
};

SCRIVLET_TEST_MAIN(DocumentPathsTest)
#include "tst_document_paths.moc"
