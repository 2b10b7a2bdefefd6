#include "platform/system/Settings.h"

#include "platform/RuntimeError.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

namespace {

// The store of one application: organisation and application are both the
// application's name, so it is ~/.config/<app>/<app>.conf on Linux and
// HKEY_CURRENT_USER\Software\<app>\<app> on Windows.
class Store : public QSettings
{
public:
    explicit Store(const QString &appName)
        : QSettings(QSettings::NativeFormat, QSettings::UserScope, appName, appName)
    {
    }
};

void requireName(const QString &name, const char *what)
{
    if (name.isEmpty())
        throw RuntimeError(
            ErrInvalidArgument,
            QStringLiteral("Invalid procedure call or argument: no settings %1 given")
                .arg(QLatin1String(what)));
}

// Removes the file (and its folder when that is left empty) that held the
// whole application entry, so that nothing of the program remains.
void removeEmptyStoreFile(const QString &fileName)
{
    const QFileInfo file(fileName);
    if (!file.isFile())
        return; // the registry, or nothing was ever written
    QFile::remove(file.absoluteFilePath());
    QDir().rmdir(file.absolutePath());
}

} // namespace

QString GetSetting(const QString &appName, const QString &section, const QString &key,
                   const QString &defaultValue)
{
    if (appName.isEmpty() || section.isEmpty() || key.isEmpty())
        return defaultValue;
    Store store(appName);
    store.beginGroup(section);
    const QVariant value = store.value(key);
    if (!value.isValid())
        return defaultValue;
    // A hand-edited file may hold an unquoted list ("a, b"); give it back as
    // the text it was.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

void SaveSetting(const QString &appName, const QString &section, const QString &key,
                 const QString &value)
{
    requireName(appName, "application name");
    requireName(section, "section");
    requireName(key, "key");
    Store store(appName);
    store.beginGroup(section);
    store.setValue(key, value);
}

void DeleteSetting(const QString &appName, const QString &section, const QString &key)
{
    requireName(appName, "application name");
    if (!key.isEmpty())
        requireName(section, "section");

    Store store(appName);
    if (section.isEmpty()) {
        store.clear();
        store.sync();
        removeEmptyStoreFile(store.fileName());
        return;
    }
    store.beginGroup(section);
    store.remove(key); // an empty key removes the whole section
}
