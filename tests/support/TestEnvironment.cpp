#include "TestEnvironment.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdlib>

namespace testenv {

namespace {
QTemporaryDir *home = nullptr;
}

void isolate()
{
    if (home)
        return;
    home = new QTemporaryDir(QDir::tempPath() + "/scrivlet-test-XXXXXX");
    const QByteArray path = QFile::encodeName(home->path());
    QDir(home->path()).mkpath("config");
    qputenv("HOME", path);
    qputenv("XDG_CONFIG_HOME", path + "/config");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home->path() + "/config");
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home->path() + "/config");
    std::atexit([] { delete home; home = nullptr; });
}

QString homeDir()
{
    return home ? home->path() : QString();
}

QString corpusDir()
{
    const QString dir = QStringLiteral(SCRIVLET_CORPUS_DIR);
    return QDir(dir).exists() ? QDir(dir).canonicalPath() : QString();
}

} // namespace testenv
