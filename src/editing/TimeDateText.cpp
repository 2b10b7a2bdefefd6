#include "editing/TimeDateText.h"

namespace {

TimeDateClock installedClock = nullptr;

QDateTime systemClock() { return QDateTime::currentDateTime(); }

bool isFieldLetter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
        || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

// The literal text that follows the first run of one of fieldLetters in a
// QLocale format, up to the next field; quoted text counts as literal and ''
// as one quote.
QString textAfterField(const QString &format, QLatin1String fieldLetters)
{
    qsizetype i = 0;
    bool quoted = false;
    for (; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted && fieldLetters.contains(c))
            break;
    }
    const QChar field = i < format.size() ? format.at(i) : QChar();
    while (i < format.size() && format.at(i) == field)
        ++i;

    QString separator;
    quoted = false;
    for (; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\'')) {
            if (i + 1 < format.size() && format.at(i + 1) == QLatin1Char('\'')) {
                separator += c;
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (!quoted && isFieldLetter(c)) {
            break;
        } else {
            separator += c;
        }
    }
    return separator;
}

QString twoDigits(int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); }

// The separator of a locale's short format, or fallback where it has none of
// its own: the C locale (a system set to no language) writes its short date
// with a month name between blanks.
QString separatorOf(const QLocale &locale, const QString &format, QLatin1String fieldLetters,
                    QLatin1String fallback)
{
    const QString separator
        = locale.language() == QLocale::C ? QString() : textAfterField(format, fieldLetters);
    return separator.isEmpty() ? QString(fallback) : separator;
}

// The separator a locale puts between hours and minutes, and between the
// fields of a short date.
QString timeSeparator(const QLocale &locale)
{
    return separatorOf(locale, locale.timeFormat(QLocale::ShortFormat), QLatin1String("hH"),
                       QLatin1String(":"));
}

QString dateSeparator(const QLocale &locale)
{
    return separatorOf(locale, locale.dateFormat(QLocale::ShortFormat), QLatin1String("dMy"),
                       QLatin1String("/"));
}

} // namespace

QString timeDateText(const QDateTime &moment, const QLocale &locale)
{
    const QTime time = moment.time();
    const QDate date = moment.date();
    const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    const QString designator = time.hour() < 12 ? locale.amText() : locale.pmText();
    const QString dateSep = dateSeparator(locale);
    return QString::number(hour) + timeSeparator(locale) + twoDigits(time.minute())
        + QLatin1Char(' ') + designator + QLatin1Char(' ')
        + QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0')) + dateSep
        + twoDigits(date.month()) + dateSep + twoDigits(date.day());
}

TimeDateClock timeDateClock() { return installedClock ? installedClock : &systemClock; }

void setTimeDateClock(TimeDateClock clock) { installedClock = clock; }
