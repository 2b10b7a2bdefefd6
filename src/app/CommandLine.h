#pragma once

#include <QString>
#include <QStringList>

// The arguments the program received (the program first), as they were
// before Qt took out the options it knows (-reverse, -style ...): a file may
// have such a name.
QStringList receivedArguments(int argc, const char *const *argv);

// The path of the file to open that the program was started with, from the
// arguments it received; empty when there is none.
QString commandLinePath(const QStringList &received);

// The path in the raw argument text (all that follows the program's own name):
// the text with its first and last characters dropped when both are double
// quotes, as the shell passes a file opened with the program.
QString pathFromArgumentText(const QString &text);

// The path in arguments as the runtime split them (the program first): the
// first argument, without double quotes around it.
QString pathFromArguments(const QStringList &arguments);

// The raw argument text of a whole Windows command line: what follows the
// program's name (quoted or not) and the blanks after it.
QString argumentTextOf(const QString &commandLine);
