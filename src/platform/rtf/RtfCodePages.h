#pragma once

#include <QString>

// Decoding of the 8-bit text of RTF files: the Windows single-byte code pages
// (874, 1250 to 1258), the OEM ones (437, 850), Mac Roman and Mac Cyrillic,
// the double-byte ones (932, 936, 949, 950) and UTF-8 (65001). Any other code
// page reads as 1252. Bytes without a character become U+FFFD.
namespace rtf {

// The code page of a font's \fcharset, or 0 when the charset means "the
// document's code page" (ANSI, default, or one this decoder does not know).
int codePageForCharset(int charset);

// A decoder for one code page that keeps its state between calls, so that a
// multi-byte character may be split across two \'hh escapes or an escape and
// a plain byte. Call finish() before appending other characters to out.
class ByteDecoder
{
public:
    explicit ByteDecoder(int codePage = 1252);

    int codePage() const { return m_codePage; }
    // Appends the characters of bytes to out.
    void decode(const char *bytes, qsizetype size, QString &out);
    // Ends a character left incomplete by the last bytes (U+FFFD).
    void finish(QString &out);

private:
    int m_codePage;
    const char16_t *m_singles = nullptr; // 128 units for 0x80..0xFF
    const char16_t *m_pairs = nullptr;   // 128 x 256 units, double-byte only
    int m_pendingLead = -1;
    bool m_utf8 = false;
    QByteArray m_pendingUtf8;
};

} // namespace rtf
