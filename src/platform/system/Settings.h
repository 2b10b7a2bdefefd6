#pragma once

#include <QString>

// The per-user settings store: text values addressed by application name,
// section and key (the registry on Windows, a file under the user's config
// folder elsewhere).

// The stored text, or defaultValue when the key is absent.
QString GetSetting(const QString &appName, const QString &section, const QString &key,
                   const QString &defaultValue = QString());

void SaveSetting(const QString &appName, const QString &section, const QString &key,
                 const QString &value);

// Deletes one key, a whole section (key empty) or the whole application entry
// (section and key empty). Deleting what does not exist is not an error. The
// whole entry goes with what held it: the settings file and its folder where
// they hold nothing else (on Windows the application's registry keys); an
// entry that could not be deleted raises RuntimeError.
void DeleteSetting(const QString &appName, const QString &section = QString(),
                   const QString &key = QString());
