#include "platform/system/Settings.h"

#include "platform/RuntimeError.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

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

#ifdef Q_OS_WIN
// Deletes the registry key at path under HKEY_CURRENT_USER when it holds
// neither keys nor values.
void deleteEmptyRegistryKey(const QString &path)
{
    const std::wstring name = path.toStdWString();
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return; // not there
    DWORD subKeys = 0;
    DWORD values = 0;
    const bool empty = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                                        &values, nullptr, nullptr, nullptr, nullptr)
            == ERROR_SUCCESS
        && subKeys == 0 && values == 0;
    RegCloseKey(key);
    if (empty)
        RegDeleteKeyW(HKEY_CURRENT_USER, name.c_str());
}
#endif

// Removes what held the whole application entry once it is emptied: the file
// and its folder where they hold nothing else, or on Windows the registry key
// Software\<app>\<app> and Software\<app> where they are empty. Raises an
// error when the entry could not be emptied, so that a failure is not taken
// for a cleanup.
void removeEmptiedEntry(const QString &appName, const QString &fileName, QSettings::Status status)
{
#ifdef Q_OS_WIN
    Q_UNUSED(fileName);
    if (status != QSettings::NoError)
        throw RuntimeError(ErrPermissionDenied,
                           QStringLiteral("Permission denied: the settings could not be deleted"));
    const QString key = QStringLiteral("Software\\") + appName;
    deleteEmptyRegistryKey(key + QLatin1Char('\\') + appName);
    deleteEmptyRegistryKey(key);
#else
    // A file that could not be emptied is gone all the same once removed.
    Q_UNUSED(appName);
    Q_UNUSED(status);
    const QFileInfo file(fileName);
    if (file.isFile())
        QFile::remove(file.absoluteFilePath());
    QDir().rmdir(file.absolutePath());
    if (QFileInfo::exists(fileName))
        throw RuntimeError(ErrPermissionDenied,
                           QStringLiteral("Permission denied: the settings in %1 could not be "
                                          "deleted")
                               .arg(QDir::toNativeSeparators(fileName)));
#endif
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

    if (section.isEmpty()) {
        QString fileName;
        QSettings::Status status = QSettings::NoError;
        {
            // Closed before what held it goes.
            Store store(appName);
            store.clear();
            store.sync();
            fileName = store.fileName();
            status = store.status();
        }
        removeEmptiedEntry(appName, fileName, status);
        return;
    }
    Store store(appName);
    store.beginGroup(section);
    store.remove(key); // an empty key removes the whole section
}
