#pragma once

// The text LibreOffice shows of an RTF file, for the tests that compare
// Scrivlet's reading and writing with another reader. The tests skip where
// LibreOffice is not installed.

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace rtftest {

// LibreOffice's soffice, or an empty string where it is not installed.
inline QString sofficePath() { return QStandardPaths::findExecutable("soffice"); }

// Converts the file at path with LibreOffice to format (a --convert-to
// argument such as "html") in folder, with a profile of its own there, and
// gives the converted file's path. Failures are recorded with QVERIFY: the
// caller stops when QTest::currentTestFailed().
inline void libreOfficeConvert(const QString &soffice, const QString &path, const QString &format,
                               const QString &folder, QString &converted)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(soffice,
                  {"-env:UserInstallation=file://" + folder + "/profile", "--headless",
                   "--convert-to", format, "--outdir", folder, path});
    QVERIFY(process.waitForFinished(180000));
    const QString extension = format.section(QLatin1Char(':'), 0, 0);
    converted = QDir(folder).filePath(QFileInfo(path).completeBaseName() + "." + extension);
    QVERIFY2(QFileInfo::exists(converted), process.readAllStandardError().constData());
}

// The lines of text that LibreOffice converts the RTF file at path to,
// without the empty lines at the end. Failures are recorded as above.
inline void libreOfficeLines(const QString &soffice, const QString &path, QStringList &lines)
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString convertedPath;
    libreOfficeConvert(soffice, path, "txt:Text (encoded):UTF8", dir.path(), convertedPath);
    if (QTest::currentTestFailed())
        return;
    QFile converted(convertedPath);
    QVERIFY(converted.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(converted.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    // LibreOffice ends lines with CR LF or LF.
    lines = text.split(QRegularExpression("\r?\n"));
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
}

} // namespace rtftest
