#pragma once

// Reading printed PDF files back with the Poppler tools: the text of each
// page as pdftotext -layout lays it out, and where each word stands.

#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <QtTest>

namespace printtest {

// Stops the running test when pdftotext is missing: skipped with a word that
// says so, failed in CI, where the test command installs it.
#define SCRIVLET_REQUIRE_PDFTOTEXT() \
    do { \
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) { \
            if (qEnvironmentVariableIsSet("CI")) \
                QFAIL("pdftotext (package poppler-utils) is missing"); \
            QSKIP("pdftotext (package poppler-utils) is missing"); \
        } \
    } while (false)

inline QString runPdfToText(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The pages of the PDF at path, each as lines of text laid out as on paper.
inline QList<QStringList> pdfPages(const QString &path)
{
    QStringList pages = runPdfToText({QStringLiteral("-layout"), path, QStringLiteral("-")})
                            .split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    QList<QStringList> result;
    for (const QString &page : pages)
        result << page.split(QLatin1Char('\n'));
    return result;
}

// The non-empty lines of a page, without the spaces around them.
inline QStringList textLines(const QStringList &page)
{
    QStringList lines;
    for (const QString &line : page) {
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    }
    return lines;
}

// A word of a PDF with its box, in points from the page's top left corner.
struct PdfWord
{
    int page = 0;
    QString text;
    QRectF box;
    QSizeF pageSize;
};

inline QList<PdfWord> pdfWords(const QString &path)
{
    const QString html = runPdfToText({QStringLiteral("-bbox"), path, QStringLiteral("-")});
    static const QRegularExpression pageTag(
        QStringLiteral(R"re(<page width="([\d.]+)" height="([\d.]+)">)re"));
    static const QRegularExpression wordTag(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    QList<PdfWord> words;
    int page = -1;
    QSizeF size;
    for (const QString &line : html.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch pageMatch = pageTag.match(line);
        if (pageMatch.hasMatch()) {
            ++page;
            size = QSizeF(pageMatch.captured(1).toDouble(), pageMatch.captured(2).toDouble());
            continue;
        }
        const QRegularExpressionMatch w = wordTag.match(line);
        if (w.hasMatch()) {
            const QPointF topLeft(w.captured(1).toDouble(), w.captured(2).toDouble());
            const QPointF bottomRight(w.captured(3).toDouble(), w.captured(4).toDouble());
            words << PdfWord{page, w.captured(5), QRectF(topLeft, bottomRight), size};
        }
    }
    return words;
}

} // namespace printtest
