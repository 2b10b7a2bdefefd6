#include "TestEnvironment.h"

#include "document/ProgramEnd.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdlib>

namespace testenv {

namespace {
QTemporaryDir *home = nullptr;
}

void failOnProgramEnd()
{
    endProgramNow = [] { qFatal("The program ended in the middle of a test"); };
}

void isolate()
{
    if (home)
        return;
    home = new QTemporaryDir(QDir::tempPath() + "/scrivlet-test-XXXXXX");
    if (!home->isValid())
        qFatal("cannot make a temporary home folder in \"%s\" (TMPDIR=%s): %s",
               qPrintable(QDir::tempPath()), qgetenv("TMPDIR").constData(),
               qPrintable(home->errorString()));
    const QByteArray path = QFile::encodeName(home->path());
    QDir(home->path()).mkpath("config");
    qputenv("HOME", path);
    qputenv("XDG_CONFIG_HOME", path + "/config");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home->path() + "/config");
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home->path() + "/config");
    std::atexit([] {
        delete home;
        home = nullptr;
    });

    // The scaling that the user's desktop asks of Qt would shrink the screen
    // the tests run on and scale every pixel: it is dropped. A scaled run
    // asks for its own scaling as SCRIVLET_TEST_<variable>.
    for (const char *scaling : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI",
                                "QT_USE_PHYSICAL_DPI", "QT_ENABLE_HIGHDPI_SCALING"}) {
        const QByteArray asked = qgetenv(QByteArray("SCRIVLET_TEST_") + scaling);
        if (asked.isEmpty())
            qunsetenv(scaling);
        else
            qputenv(scaling, asked);
    }
}

bool scaledScreen() { return qEnvironmentVariableIsSet("SCRIVLET_TEST_SCREEN"); }

QString homeDir() { return home ? home->path() : QString(); }

QString corpusDir()
{
    const QString dir = QStringLiteral(SCRIVLET_CORPUS_DIR);
    return QDir(dir).exists() ? QDir(dir).canonicalPath() : QString();
}

} // namespace testenv
