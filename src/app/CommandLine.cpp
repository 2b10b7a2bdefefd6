#include "app/CommandLine.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace {

QString withoutEnclosingQuotes(const QString &text)
{
    const QChar quote = QLatin1Char('"');
    if (text.size() >= 2 && text.front() == quote && text.back() == quote)
        return text.mid(1, text.size() - 2);
    return text;
}

} // namespace

QString pathFromArgumentText(const QString &text) { return withoutEnclosingQuotes(text.trimmed()); }

QString pathFromArguments(const QStringList &arguments)
{
    return withoutEnclosingQuotes(arguments.value(1));
}

QString argumentTextOf(const QString &commandLine)
{
    int i = 0;
    const int n = int(commandLine.size());
    if (n > 0 && commandLine.at(0) == QLatin1Char('"')) {
        // A quoted program name ends at the next quote.
        i = int(commandLine.indexOf(QLatin1Char('"'), 1));
        i = i < 0 ? n : i + 1;
    } else {
        while (i < n && commandLine.at(i) != QLatin1Char(' ')
               && commandLine.at(i) != QLatin1Char('\t'))
            ++i;
    }
    while (i < n
           && (commandLine.at(i) == QLatin1Char(' ') || commandLine.at(i) == QLatin1Char('\t')))
        ++i;
    return commandLine.mid(i);
}

QStringList receivedArguments(int argc, const char *const *argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QFile::decodeName(argv[i]));
    return arguments;
}

QString commandLinePath(const QStringList &received)
{
#ifdef Q_OS_WIN
    Q_UNUSED(received); // the raw command line keeps its quotes
    return pathFromArgumentText(argumentTextOf(QString::fromWCharArray(GetCommandLineW())));
#else
    return pathFromArguments(received);
#endif
}
