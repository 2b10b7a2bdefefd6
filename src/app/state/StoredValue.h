#pragma once

#include <QString>
#include <QtGlobal>

// The text forms of values in the settings store, and reading them back. A
// stored text that does not convert to the type its key is read as counts as
// missing: the reader gets the default it passed.
namespace stored {

// The section of the program's own settings (the default style has its own).
inline const QString SettingsSection = QStringLiteral("Settings");

QString fromBoolean(bool value); // "True" or "False"
// Plain decimal digits, with "-" when negative and a "." only for a fraction.
QString fromInteger(qint64 value);
QString fromSingle(float value);

// "True" or "False" in any case, or a number (anything but 0 is true).
bool toBoolean(const QString &text, bool fallback);
// A decimal number, rounded half to even, within the 16-bit (Integer) or
// 32-bit (Long) range.
qint16 toInteger(const QString &text, qint16 fallback);
qint32 toLong(const QString &text, qint32 fallback);
// A finite decimal number.
float toSingle(const QString &text, float fallback);

// Reading a key of the settings store of this application; the default passed
// to the store is the text form of fallback.
bool readBoolean(const QString &section, const QString &key, bool fallback);
qint16 readInteger(const QString &section, const QString &key, qint16 fallback);
qint32 readLong(const QString &section, const QString &key, qint32 fallback);
float readSingle(const QString &section, const QString &key, float fallback);
QString readText(const QString &section, const QString &key, const QString &fallback);

void write(const QString &section, const QString &key, const QString &text);

} // namespace stored
