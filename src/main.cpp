#include "app/Main.h"
#include "app/CommandLine.h"
#include "document/DocumentFiles.h"

#include <QApplication>
#include <QThread>

int main(int argc, char **argv)
{
    // Read before QApplication takes its own options out of argv.
    const QString pathToOpen = commandLinePath(receivedArguments(argc, argv));
    // The file is read while the windows are made. Qt takes the first thread
    // that asks for its thread data (as making an object does) for the main
    // thread: this one asks before the reading's thread can.
    if (!pathToOpen.isEmpty()) {
        QThread::currentThread();
        readDocumentFileAhead(pathToOpen);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Scrivlet"));
    QApplication::setDesktopFileName(QStringLiteral(SCRIVLET_APP_ID));
    Main(pathToOpen);
    return app.exec();
}
