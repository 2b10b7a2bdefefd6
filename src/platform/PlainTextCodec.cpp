#include "PlainTextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>

namespace {

// Windows-1252 for the bytes 0x80 to 0x9F; the five the code page leaves
// undefined map to the C1 control of the same value, so they survive.
constexpr std::array<char16_t, 32> Cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString decodeWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char b : bytes) {
        const auto byte = static_cast<unsigned char>(b);
        *out++ = QChar(byte >= 0x80 && byte < 0xA0 ? Cp1252High[byte - 0x80] : char16_t(byte));
    }
    return text;
}

// The byte for c in Windows-1252, or -1 when it has none.
int windows1252Byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < int(Cp1252High.size()); ++i)
        if (Cp1252High[i] == c)
            return 0x80 + i;
    return -1;
}

bool encodeWindows1252(const QString &text, QByteArray *bytes)
{
    bytes->resize(text.size());
    char *out = bytes->data();
    for (const QChar c : text) {
        const int b = windows1252Byte(c.unicode());
        if (b < 0)
            return false;
        *out++ = char(b);
    }
    return true;
}

QString decodeWith(QStringConverter::Encoding encoding, QByteArrayView bytes, bool *ok)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    *ok = !decoder.hasError();
    return text;
}

PlainTextFormat::LineBreak firstLineBreak(const QString &text, PlainTextFormat::LineBreak fallback)
{
    const qsizetype i = text.indexOf(QLatin1Char('\r'));
    const qsizetype j = text.indexOf(QLatin1Char('\n'));
    if (i < 0 && j < 0)
        return fallback;
    if (i < 0 || (j >= 0 && j < i))
        return PlainTextFormat::Lf;
    return i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n') ? PlainTextFormat::CrLf : PlainTextFormat::Cr;
}

} // namespace

PlainTextFormat::LineBreak PlainTextFormat::nativeLineBreak()
{
#ifdef Q_OS_WIN
    return CrLf;
#else
    return Lf;
#endif
}

void normalizeLineBreaks(QString &text)
{
    const qsizetype first = text.indexOf(QLatin1Char('\r'));
    if (first < 0)
        return;
    QChar *begin = text.data();
    const QChar *in = begin + first;
    const QChar *end = begin + text.size();
    QChar *out = begin + first;
    while (in < end) {
        const QChar c = *in++;
        if (c == QLatin1Char('\r')) {
            *out++ = QLatin1Char('\n');
            if (in < end && *in == QLatin1Char('\n'))
                ++in;
        } else {
            *out++ = c;
        }
    }
    text.truncate(out - begin);
}

QString decodePlainText(const QByteArray &bytes, PlainTextFormat *format)
{
    PlainTextFormat detected;
    QString text;
    bool ok = true;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        detected.byteOrderMark = true;
        text = decodeWith(QStringConverter::Utf8, QByteArrayView(bytes).sliced(3), &ok);
    } else if (bytes.startsWith("\xFF\xFE")) {
        detected.encoding = PlainTextFormat::Utf16LE;
        detected.byteOrderMark = true;
        text = decodeWith(QStringConverter::Utf16LE, QByteArrayView(bytes).sliced(2), &ok);
    } else if (bytes.startsWith("\xFE\xFF")) {
        detected.encoding = PlainTextFormat::Utf16BE;
        detected.byteOrderMark = true;
        text = decodeWith(QStringConverter::Utf16BE, QByteArrayView(bytes).sliced(2), &ok);
    } else {
        text = decodeWith(QStringConverter::Utf8, bytes, &ok);
        if (!ok) {
            detected.encoding = PlainTextFormat::Windows1252;
            text = decodeWindows1252(bytes);
            ok = true;
        }
    }
    detected.lineBreak = firstLineBreak(text, PlainTextFormat::nativeLineBreak());
    normalizeLineBreaks(text);
    if (format)
        *format = detected;
    return text;
}

QByteArray encodePlainText(const QString &paragraphs, PlainTextFormat *format)
{
    QString text = paragraphs;
    if (format->lineBreak == PlainTextFormat::CrLf)
        text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    else if (format->lineBreak == PlainTextFormat::Cr)
        text.replace(QLatin1Char('\n'), QLatin1Char('\r'));

    QByteArray bytes;
    switch (format->encoding) {
    case PlainTextFormat::Windows1252:
        if (encodeWindows1252(text, &bytes))
            return bytes;
        break;
    case PlainTextFormat::Utf16LE:
    case PlainTextFormat::Utf16BE: {
        const bool le = format->encoding == PlainTextFormat::Utf16LE;
        QStringEncoder encoder(le ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
        bytes = encoder.encode(text);
        return (format->byteOrderMark ? QByteArray(le ? "\xFF\xFE" : "\xFE\xFF") : QByteArray()) + bytes;
    }
    case PlainTextFormat::Utf8:
        break;
    }
    if (format->encoding != PlainTextFormat::Utf8) {
        // No character is ever replaced: what the file's encoding cannot
        // hold is written as UTF-8, marked so that it reads back as such.
        format->encoding = PlainTextFormat::Utf8;
        format->byteOrderMark = true;
    }
    bytes = text.toUtf8();
    return format->byteOrderMark ? QByteArray("\xEF\xBB\xBF") + bytes : bytes;
}
