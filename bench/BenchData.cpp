#include "BenchData.h"

#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <map>

namespace benchdata {

const QByteArray &tenMiBText()
{
    static const QByteArray text = [] {
        static const std::array<const char *, 19> words
            = {"lorem",  "ipsum", "dolor",  "sit",     "amet",   "consectetur", "adipiscing",
               "elit",   "sed",   "do",     "eiusmod", "tempor", "incididunt",  "ut",
               "labore", "et",    "dolore", "magna",   "aliqua"};
        constexpr int lines = 160000;
        constexpr int lineLength = 10 * 1024 * 1024 / lines - 2; // 63 characters and CR LF
        QByteArray out;
        out.reserve(lines * (lineLength + 2));
        quint32 seed = 12345;
        for (int i = 0; i < lines; ++i) {
            QByteArray line;
            while (line.size() < lineLength) {
                seed = seed * 1103515245u + 12345u;
                line += words[(seed >> 16) % words.size()];
                line += ' ';
            }
            line.truncate(lineLength);
            out += line;
            out += "\r\n";
        }
        return out;
    }();
    return text;
}

QString tenMiBTextFile()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(QStringLiteral("ten-mib.txt"));
        QFile f(p);
        if (f.open(QIODevice::WriteOnly))
            f.write(tenMiBText());
        return p;
    }();
    return path;
}

namespace {

QByteArray buildLibreOfficeShapedRtf(int paragraphs)
{
    QByteArray rtf
        = "{\\rtf1\\ansi\\deff4\\adeflang1025\r\n"
          "{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New "
          "Roman;}{\\f1\\froman\\fprq2\\fcharset2 Symbol;}"
          "{\\f2\\fswiss\\fprq2\\fcharset0 Arial;}{\\f3\\fmodern\\fprq1\\fcharset0 Liberation "
          "Mono{\\*\\falt Courier New};}"
          "{\\f4\\froman\\fprq2\\fcharset0 Liberation Serif{\\*\\falt Times New Roman};}}\r\n"
          "{\\colortbl;\\red0\\green0\\blue0;\\red128\\green128\\blue128;}\r\n"
          "{\\stylesheet{"
          "\\s0\\snext0\\widctlpar\\ltrpar\\cf0\\kerning1\\dbch\\af5\\langfe2052\\dbch\\af6\\afs24"
          "\\alang1081\\loch\\f4\\hich\\af4\\fs24\\lang1033 Normal;}}\r\n"
          "{\\*\\generator LibreOffice/7.4.7.2$Linux_X86_64 LibreOffice_project/40$Build-2}"
          "{\\info{\\creatim\\yr2024\\mo1\\dy1\\hr0\\min0}{\\revtim\\yr2024\\mo1\\dy1\\hr0\\min0}}"
          "\r\n"
          "\\deftab709\\paperh16838\\paperw11906\\margl1134\\margr1134\\margt1134\\margb1134\\sectd"
          "\\sbknone\\pgndec\r\n";
    const QList<QByteArray> lines = tenMiBText().split('\n');
    rtf.reserve(paragraphs * 185 + rtf.size());
    for (int i = 0; i < paragraphs; ++i) {
        rtf += "\\pard\\plain \\s0\\widctlpar\\ltrpar\\cf0\\kerning1\\langfe2052"
               "\\alang1081\\loch\\f3\\hich\\af3\\fs20\\lang1033{\\rtlch \\ltrch\\loch ";
        rtf += lines.at(i % lines.size()).trimmed();
        rtf += "}\r\n\\par ";
    }
    rtf += "}";
    return rtf;
}

} // namespace

const QByteArray &libreOfficeShapedRtf(int paragraphs)
{
    static std::map<int, QByteArray> cache;
    auto it = cache.find(paragraphs);
    if (it == cache.end())
        it = cache.emplace(paragraphs, buildLibreOfficeShapedRtf(paragraphs)).first;
    return it->second;
}

QString libreOfficeRtfFile(int paragraphs)
{
    static QTemporaryDir dir;
    static std::map<int, QString> files;
    auto it = files.find(paragraphs);
    if (it == files.end()) {
        const QString path = dir.filePath(QStringLiteral("libreoffice-%1.rtf").arg(paragraphs));
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(libreOfficeShapedRtf(paragraphs));
        it = files.emplace(paragraphs, path).first;
    }
    return it->second;
}

QString oneLineFile(OneLine kind)
{
    static QTemporaryDir dir;
    const bool words = kind == OneLine::Words;
    const QString path = dir.filePath(words ? QStringLiteral("words-on-one-line.txt")
                                            : QStringLiteral("base64-on-one-line.txt"));
    if (!QFile::exists(path)) {
        QByteArray text;
        if (words) {
            text = tenMiBText();
            text.replace("\r\n", ". ");
        } else {
            // 7.5 MiB of bytes are 10 MiB of base64.
            QByteArray bytes(10 * 1024 * 1024 / 4 * 3, Qt::Uninitialized);
            quint32 seed = 54321;
            for (char &byte : bytes) {
                seed = seed * 1103515245u + 12345u;
                byte = char(seed >> 24);
            }
            text = bytes.toBase64();
        }
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(text);
    }
    return path;
}

} // namespace benchdata
