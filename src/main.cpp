#include "app/Main.h"
#include "app/CommandLine.h"
#include "document/DocumentFiles.h"

#include <QApplication>

int main(int argc, char **argv)
{
    // Read before QApplication takes its own options out of argv.
    const QString pathToOpen = commandLinePath(receivedArguments(argc, argv));
    QApplication app(argc, argv);
    // The file is read while the windows are made.
    if (!pathToOpen.isEmpty())
        readDocumentFileAhead(pathToOpen);
    QApplication::setApplicationName(QStringLiteral("Scrivlet"));
    QApplication::setDesktopFileName(QStringLiteral(SCRIVLET_APP_ID));
    Main(pathToOpen);
    return app.exec();
}
