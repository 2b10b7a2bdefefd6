#include "BenchData.h"

#include <QTemporaryDir>
#include <QFile>

#include <array>

namespace benchdata {

const QByteArray &tenMiBText()
{
    static const QByteArray text = [] {
        static const std::array<const char *, 19> words = {
            "lorem", "ipsum", "dolor", "sit", "amet", "consectetur", "adipiscing", "elit",
            "sed", "do", "eiusmod", "tempor", "incididunt", "ut", "labore", "et", "dolore",
            "magna", "aliqua"};
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

} // namespace benchdata
