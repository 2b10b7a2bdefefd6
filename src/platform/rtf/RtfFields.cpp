#include "platform/rtf/RtfFields.h"

#include <QStringList>

namespace rtf {

QString hyperlinkTarget(const QString &instruction)
{
    QStringList words;
    const qsizetype size = instruction.size();
    for (qsizetype i = 0; i < size;) {
        const QChar c = instruction.at(i);
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('"')) {
            const qsizetype end = instruction.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype stop = end < 0 ? size : end;
            words.append(instruction.mid(i + 1, stop - i - 1));
            i = stop + 1;
        } else {
            qsizetype end = i;
            while (end < size && !instruction.at(end).isSpace()
                   && instruction.at(end) != QLatin1Char('"'))
                ++end;
            words.append(instruction.mid(i, end - i));
            i = end;
        }
    }
    if (words.isEmpty()
        || words.first().compare(QLatin1String("HYPERLINK"), Qt::CaseInsensitive) != 0)
        return QString();
    QString target;
    for (qsizetype i = 1; i < words.size(); ++i) {
        const QString &word = words.at(i);
        if (word == QLatin1String("\\l") || word == QLatin1String("\\o")
            || word == QLatin1String("\\t")) {
            // A switch with an argument: \l names a bookmark, \o a tip, \t a frame.
            if (word == QLatin1String("\\l") && i + 1 < words.size())
                return target + QLatin1Char('#') + words.at(i + 1);
            ++i;
        } else if (word.startsWith(QLatin1Char('\\'))) {
            continue; // a switch without argument (\m, \n, \h)
        } else if (target.isEmpty()) {
            target = word;
        }
    }
    return target;
}

} // namespace rtf
