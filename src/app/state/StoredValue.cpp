#include "app/state/StoredValue.h"

#include "app/state/modMainModule.h"
#include "platform/system/Settings.h"

#include <cmath>
#include <limits>
#include <optional>

namespace stored {

namespace {

std::optional<double> toNumber(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

template<typename Int>
Int toWholeNumber(const QString &text, Int fallback)
{
    const std::optional<double> value = toNumber(text);
    if (!value)
        return fallback;
    const double rounded = std::nearbyint(*value); // half to even
    if (rounded < std::numeric_limits<Int>::min() || rounded > std::numeric_limits<Int>::max())
        return fallback;
    return static_cast<Int>(rounded);
}

} // namespace

QString fromBoolean(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }

QString fromInteger(qint64 value) { return QString::number(value); }

QString fromSingle(float value)
{
    QString text = QString::number(double(value), 'f', 6);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

bool toBoolean(const QString &text, bool fallback)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    const std::optional<double> number = toNumber(t);
    return number ? *number != 0 : fallback;
}

qint16 toInteger(const QString &text, qint16 fallback)
{
    return toWholeNumber<qint16>(text, fallback);
}

qint32 toLong(const QString &text, qint32 fallback)
{
    return toWholeNumber<qint32>(text, fallback);
}

float toSingle(const QString &text, float fallback)
{
    const std::optional<double> value = toNumber(text);
    if (!value || std::abs(*value) > std::numeric_limits<float>::max())
        return fallback;
    return static_cast<float>(*value);
}

bool readBoolean(const QString &section, const QString &key, bool fallback)
{
    return toBoolean(GetSetting(AppName, section, key, fromBoolean(fallback)), fallback);
}

qint16 readInteger(const QString &section, const QString &key, qint16 fallback)
{
    return toInteger(GetSetting(AppName, section, key, fromInteger(fallback)), fallback);
}

qint32 readLong(const QString &section, const QString &key, qint32 fallback)
{
    return toLong(GetSetting(AppName, section, key, fromInteger(fallback)), fallback);
}

float readSingle(const QString &section, const QString &key, float fallback)
{
    return toSingle(GetSetting(AppName, section, key, fromSingle(fallback)), fallback);
}

QString readText(const QString &section, const QString &key, const QString &fallback)
{
    return GetSetting(AppName, section, key, fallback);
}

void write(const QString &section, const QString &key, const QString &text)
{
    SaveSetting(AppName, section, key, text);
}

} // namespace stored
