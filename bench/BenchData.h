#pragma once

#include <QByteArray>
#include <QString>

namespace benchdata {

// A 10 MiB plain text of 160,000 lines of words, CR LF line breaks; the same
// bytes every run.
const QByteArray &tenMiBText();

// tenMiBText() written to a temporary file that lives until the program ends.
QString tenMiBTextFile();

} // namespace benchdata
