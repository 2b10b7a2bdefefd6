#pragma once

#include <QByteArray>
#include <QString>

namespace benchdata {

// A 10 MiB plain text of 160,000 lines of words, CR LF line breaks; the same
// bytes every run.
const QByteArray &tenMiBText();

// tenMiBText() written to a temporary file that lives until the program ends.
QString tenMiBTextFile();

// RTF of the shape LibreOffice writes: every paragraph starts with
// \pard\plain and repeats its font, size and language; its text is the
// lines of tenMiBText() in turn. LibreOfficeParagraphs of them make about
// 10 MB.
constexpr int LibreOfficeParagraphs = 57000;
const QByteArray &libreOfficeShapedRtf(int paragraphs);

// libreOfficeShapedRtf(paragraphs) written to a temporary file named ".rtf"
// that lives until the program ends.
QString libreOfficeRtfFile(int paragraphs);

// 10 MiB on one line, written to a temporary file that lives until the
// program ends: the words of tenMiBText() with ". " for each line break, or
// base64 of random bytes, which offers no place to break at all.
enum class OneLine { Words, Base64 };
QString oneLineFile(OneLine kind);

} // namespace benchdata
