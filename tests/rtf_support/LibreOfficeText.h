#pragma once

// The text LibreOffice shows of an RTF file, for the tests that compare
// Scrivlet's reading and writing with another reader. The tests skip where
// LibreOffice is not installed.

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace rtftest {

// LibreOffice's soffice, or an empty string where it is not installed.
inline QString sofficePath()
{
    return QStandardPaths::findExecutable("soffice");
}

// The lines of text that LibreOffice converts the RTF file at path to,
// without the empty lines at the end. It runs with a profile of its own in a
// temporary folder. Failures are recorded with QVERIFY: the caller stops when
// QTest::currentTestFailed().
inline void libreOfficeLines(const QString &soffice, const QString &path, QStringList &lines)
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.start(soffice, {"-env:UserInstallation=file://" + dir.path() + "/profile", "--headless",
                            "--convert-to", "txt:Text (encoded):UTF8", "--outdir", dir.path(), path});
    QVERIFY(process.waitForFinished(180000));
    QFile converted(dir.filePath(QFileInfo(path).completeBaseName() + ".txt"));
    QVERIFY2(converted.open(QIODevice::ReadOnly), process.readAllStandardError().constData());
    QString text = QString::fromUtf8(converted.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    // LibreOffice ends lines with CR LF or LF.
    lines = text.split(QRegularExpression("\r?\n"));
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
}

} // namespace rtftest
