#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// The time and date as Time/Date writes them: the hour on the 12-hour clock
// without a leading zero, the time separator, two-digit minutes, a blank, the
// designator for morning or afternoon, a blank, the four-digit year, the date
// separator, the two-digit month, the date separator and the two-digit day
// ("3:07 PM 2024/05/09" where the separators are ':' and '/'). The
// designators and separators are locale's: a separator is the text after the
// first field of the locale's short format (':' and '/' where the format has
// none, and for the C locale).
QString timeDateText(const QDateTime &moment, const QLocale &locale);

// Where Time/Date reads the current time: the system clock, unless another
// clock has been set (nullptr sets the system clock again).
using TimeDateClock = QDateTime (*)();
TimeDateClock timeDateClock();
void setTimeDateClock(TimeDateClock clock);
