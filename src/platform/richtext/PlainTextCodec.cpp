#include "platform/richtext/PlainTextCodec.h"

#include <QStringEncoder>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

namespace {

using LineBreak = PlainTextFormat::LineBreak;

// ---- bytes kept as characters ---------------------------------------------

// A byte that does not decode is the lone low surrogate KeptByteBase + byte.
constexpr char16_t KeptByteBase = 0xDC00;

QChar keptByte(uchar byte) { return QChar(char16_t(KeptByteBase + byte)); }

// Whether text[i] stands for a byte: a low surrogate of the kept-byte range
// that does not complete a surrogate pair.
bool isKeptByte(QStringView text, qsizetype i)
{
    const char16_t c = text[i].unicode();
    return c >= KeptByteBase && c <= KeptByteBase + 0xFF
        && (i == 0 || !text[i - 1].isHighSurrogate());
}

// The control turns these noncharacters into paragraph breaks: they are kept
// as their bytes instead.
bool controlChangesCharacter(char32_t c) { return c == 0xFDD0 || c == 0xFDD1; }

// ---- decoding ---------------------------------------------------------------

// Gathers decoded characters into paragraphs, ending one at each line break
// and noting the kinds of the breaks.
class ParagraphWriter
{
public:
    // Writes into text, made room for capacity: at least the number of
    // UTF-16 code units the text can take. onRun, when set, gets the
    // paragraphs in runs of at least runLength characters as they end (see
    // decodePlainTextInRuns).
    ParagraphWriter(QString &text, qsizetype capacity, const DecodedRunReceiver &onRun,
                    qsizetype runLength)
        : m_text(text = QString(capacity, Qt::Uninitialized))
        , m_out(m_text.data())
        , m_runStart(m_out)
        , m_onRun(onRun)
        , m_runLength(runLength)
    {
    }

    void character(char32_t c)
    {
        if (m_pendingCr) {
            m_pendingCr = false;
            if (c == '\n') {
                lineBreak(PlainTextFormat::CrLf);
                return;
            }
            lineBreak(PlainTextFormat::Cr);
        }
        switch (c) {
        case '\r': m_pendingCr = true; return;
        case '\n': lineBreak(PlainTextFormat::Lf); return;
        case QChar::LineSeparator: lineBreak(PlainTextFormat::LineSeparator); return;
        case QChar::ParagraphSeparator: lineBreak(PlainTextFormat::ParagraphSeparator); return;
        }
        if (QChar::requiresSurrogates(c)) {
            *m_out++ = QChar(QChar::highSurrogate(c));
            *m_out++ = QChar(QChar::lowSurrogate(c));
        } else {
            *m_out++ = QChar(char16_t(c));
        }
    }

    // Writes the printable ASCII bytes from p on, and returns where they end.
    const uchar *printableAscii(const uchar *p, const uchar *end)
    {
        if (m_pendingCr)
            return p;
        while (p < end && *p >= 0x20 && *p < 0x7F)
            *m_out++ = QLatin1Char(char(*p++));
        return p;
    }

    void keptBytes(const uchar *bytes, qsizetype count)
    {
        endPendingCr();
        for (qsizetype i = 0; i < count; ++i)
            *m_out++ = keptByte(bytes[i]);
    }

    void finish(LineBreak *firstBreak, OtherLineBreaks *otherBreaks)
    {
        endPendingCr();
        if (m_out > m_runStart)
            handOverRun();
        m_text.truncate(m_out - m_text.constData());
        // The runs handed over are views of the text: it stays where it is.
        if (!m_onRun && m_text.size() < m_text.capacity() / 2)
            m_text.squeeze();
        *firstBreak = m_firstBreak.value_or(PlainTextFormat::nativeLineBreak());
        if (otherBreaks)
            *otherBreaks = std::move(m_otherBreaks);
    }

private:
    void endPendingCr()
    {
        if (m_pendingCr) {
            m_pendingCr = false;
            lineBreak(PlainTextFormat::Cr);
        }
    }

    void lineBreak(LineBreak kind)
    {
        *m_out++ = QLatin1Char('\n');
        if (!m_firstBreak)
            m_firstBreak = kind;
        else if (kind != *m_firstBreak)
            m_otherBreaks.push_back({m_paragraph, kind});
        ++m_paragraph;
        if (m_onRun && m_out - m_runStart >= m_runLength)
            handOverRun();
    }

    void handOverRun()
    {
        if (!m_onRun)
            return;
        DecodedRun run;
        run.paragraphs = QStringView(m_runStart, m_out - m_runStart);
        for (auto it = m_otherBreaks.begin() + m_runBreaks; it != m_otherBreaks.end(); ++it)
            run.otherBreaks.push_back({it->paragraph - m_runParagraph, it->kind});
        m_runStart = m_out;
        m_runParagraph = m_paragraph;
        m_runBreaks = m_otherBreaks.size();
        m_onRun(std::move(run));
    }

    QString &m_text;
    QChar *m_out;
    bool m_pendingCr = false;
    int m_paragraph = 0;
    std::optional<LineBreak> m_firstBreak;
    OtherLineBreaks m_otherBreaks;
    // The run not handed over yet: where it starts, its first paragraph and
    // its first break in m_otherBreaks.
    const QChar *m_runStart;
    int m_runParagraph = 0;
    size_t m_runBreaks = 0;
    const DecodedRunReceiver &m_onRun;
    qsizetype m_runLength;
};

const uchar *bytesOf(QByteArrayView bytes) { return reinterpret_cast<const uchar *>(bytes.data()); }

// A sequence of bytes at or above 0x80 in UTF-8: a well-formed one of two
// to four bytes (no overlong forms, no surrogates, nothing above U+10FFFF),
// or a damaged one: a byte that starts no sequence, or the bytes of one cut
// short.
struct Utf8Sequence
{
    int length;
    bool wellFormed;
};

Utf8Sequence utf8SequenceAt(const uchar *p, const uchar *end)
{
    const uchar lead = *p;
    int length;
    uchar low = 0x80, high = 0xBF; // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return {1, false};
    }
    int i = 1;
    for (; i < length && p + i < end; ++i) {
        if (p[i] < (i == 1 ? low : 0x80) || p[i] > (i == 1 ? high : 0xBF))
            break;
    }
    return {i, i == length};
}

struct Utf8Counts
{
    qsizetype wellFormed = 0;
    qsizetype damaged = 0;
};

// Counts the sequences of bytes at or above 0x80, stepping over them as
// decodeUtf8 does.
Utf8Counts countUtf8(QByteArrayView bytes)
{
    Utf8Counts counts;
    const uchar *p = bytesOf(bytes);
    const uchar *const end = p + bytes.size();
    while (p < end) {
        // ASCII eight bytes at a time.
        quint64 eight;
        while (end - p >= 8 && (std::memcpy(&eight, p, 8), (eight & 0x8080808080808080ULL) == 0))
            p += 8;
        if (p < end && *p < 0x80) {
            ++p;
            continue;
        }
        if (p == end)
            break;
        const auto [length, wellFormed] = utf8SequenceAt(p, end);
        ++(wellFormed ? counts.wellFormed : counts.damaged);
        p += length;
    }
    return counts;
}

void decodeUtf8(QByteArrayView bytes, ParagraphWriter &out)
{
    const uchar *p = bytesOf(bytes);
    const uchar *const end = p + bytes.size();
    while (p < end) {
        p = out.printableAscii(p, end);
        if (p == end)
            break;
        if (*p < 0x80) {
            out.character(*p++);
            continue;
        }
        const auto [length, wellFormed] = utf8SequenceAt(p, end);
        if (!wellFormed) {
            out.keptBytes(p, length);
            p += length;
            continue;
        }
        char32_t c = *p & (0x7F >> length);
        for (int i = 1; i < length; ++i)
            c = (c << 6) | (p[i] & 0x3F);
        if (controlChangesCharacter(c))
            out.keptBytes(p, length);
        else
            out.character(c);
        p += length;
    }
}

// Lone surrogates keep their two bytes, and an odd last byte is kept.
void decodeUtf16(QByteArrayView bytes, bool littleEndian, ParagraphWriter &out)
{
    const uchar *p = bytesOf(bytes);
    const uchar *const end = p + (bytes.size() & ~qsizetype(1));
    auto unitAt = [littleEndian](const uchar *q) {
        return char16_t(littleEndian ? q[0] | q[1] << 8 : q[0] << 8 | q[1]);
    };
    while (p < end) {
        const char16_t unit = unitAt(p);
        if (QChar::isHighSurrogate(unit) && end - p >= 4 && QChar::isLowSurrogate(unitAt(p + 2))) {
            out.character(QChar::surrogateToUcs4(unit, unitAt(p + 2)));
            p += 4;
        } else if (QChar::isSurrogate(unit) || controlChangesCharacter(unit)) {
            out.keptBytes(p, 2);
            p += 2;
        } else {
            out.character(unit);
            p += 2;
        }
    }
    if (bytes.size() % 2)
        out.keptBytes(end, 1);
}

// Windows-1252 for the bytes 0x80 to 0x9F; the five the code page leaves
// undefined map to the C1 control of the same value, so that every byte is a
// character.
constexpr std::array<char16_t, 32> Cp1252High
    = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
       0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
       0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void decodeWindows1252(QByteArrayView bytes, ParagraphWriter &out)
{
    for (const char b : bytes) {
        const auto byte = static_cast<uchar>(b);
        out.character(byte >= 0x80 && byte < 0xA0 ? Cp1252High[byte - 0x80] : char16_t(byte));
    }
}

// UTF-16 without a byte-order mark shows itself by its NULs: text in Latin
// letters, and the spaces, digits and line breaks of any script, have a zero
// high byte. The bytes are taken for UTF-16 when a NUL stands in one half of
// at least one unit in sixteen, and the other half holds at most a tenth as
// many. Binary files have NULs in both halves, other text none.
std::optional<PlainTextFormat::Encoding> utf16ByItsNuls(QByteArrayView bytes)
{
    if (bytes.isEmpty() || !std::memchr(bytes.data(), 0, size_t(bytes.size())))
        return std::nullopt;
    qsizetype even = 0, odd = 0;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        even += bytes[i] == 0;
        odd += bytes[i + 1] == 0;
    }
    const qsizetype most = std::max(even, odd);
    if (most == 0 || most * 16 < bytes.size() / 2 || std::min(even, odd) * 10 > most)
        return std::nullopt;
    return odd > even ? PlainTextFormat::Utf16LE : PlainTextFormat::Utf16BE;
}

// ---- encoding ---------------------------------------------------------------

QStringView lineBreakText(LineBreak kind)
{
    switch (kind) {
    case PlainTextFormat::CrLf: return u"\r\n";
    case PlainTextFormat::Lf: return u"\n";
    case PlainTextFormat::Cr: return u"\r";
    case PlainTextFormat::LineSeparator: return u"\u2028";
    case PlainTextFormat::ParagraphSeparator: return u"\u2029";
    }
    return u"\n";
}

// Walks paragraphs as the file's text: writeText gets the characters between
// line breaks and kept bytes, and each break written in its kind;
// writeByte gets each kept byte. Stops where writeText returns false, and
// returns false then.
template<typename WriteText, typename WriteByte>
bool writeFileText(QStringView paragraphs, LineBreak own, const OtherLineBreaks &otherBreaks,
                   WriteText writeText, WriteByte writeByte)
{
    auto other = otherBreaks.begin();
    int paragraph = 0;
    qsizetype done = 0;
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        const QChar c = paragraphs[i];
        const bool lineBreak = c == QLatin1Char('\n') || c == QChar::LineSeparator;
        if (!lineBreak && !isKeptByte(paragraphs, i))
            continue;
        if (!writeText(paragraphs.sliced(done, i - done)))
            return false;
        done = i + 1;
        if (!lineBreak) {
            writeByte(uchar(c.unicode() - KeptByteBase));
            continue;
        }
        LineBreak kind = own;
        if (c == QLatin1Char('\n')) {
            if (other != otherBreaks.end() && other->paragraph == paragraph)
                kind = (other++)->kind;
            ++paragraph;
        }
        if (!writeText(lineBreakText(kind)))
            return false;
    }
    return writeText(paragraphs.sliced(done));
}

// Each character takes at most three bytes, a line break included.
QByteArray encodeUtf8(QStringView paragraphs, LineBreak own, const OtherLineBreaks &otherBreaks,
                      bool byteOrderMark)
{
    QStringEncoder encoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QByteArray bytes(3 + encoder.requiredSpace(paragraphs.size()), Qt::Uninitialized);
    char *out = bytes.data();
    if (byteOrderMark)
        out = std::copy_n("\xEF\xBB\xBF", 3, out);
    writeFileText(
        paragraphs, own, otherBreaks,
        [&](QStringView text) {
            out = encoder.appendToBuffer(out, text);
            return true;
        },
        [&](uchar byte) { *out++ = char(byte); });
    bytes.truncate(out - bytes.constData());
    return bytes;
}

// Each character takes at most two units, a line break included.
QByteArray encodeUtf16(QStringView paragraphs, LineBreak own, const OtherLineBreaks &otherBreaks,
                       bool littleEndian, bool byteOrderMark)
{
    QByteArray bytes(2 + paragraphs.size() * 4, Qt::Uninitialized);
    char *out = bytes.data();
    auto writeUnit = [&](char16_t c) {
        *out++ = char(littleEndian ? c & 0xFF : c >> 8);
        *out++ = char(littleEndian ? c >> 8 : c & 0xFF);
    };
    if (byteOrderMark)
        writeUnit(0xFEFF);
    writeFileText(
        paragraphs, own, otherBreaks,
        [&](QStringView text) {
            for (const QChar c : text)
                writeUnit(c.unicode());
            return true;
        },
        [&](uchar byte) { *out++ = char(byte); });
    bytes.truncate(out - bytes.constData());
    return bytes;
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

// False when a character has no byte in Windows-1252.
bool encodeWindows1252(QStringView paragraphs, LineBreak own, const OtherLineBreaks &otherBreaks,
                       QByteArray *bytes)
{
    bytes->resize(paragraphs.size() * 2); // CR LF for one character
    char *out = bytes->data();
    const bool encoded = writeFileText(
        paragraphs, own, otherBreaks,
        [&](QStringView text) {
            for (const QChar c : text) {
                const int byte = windows1252Byte(c.unicode());
                if (byte < 0)
                    return false;
                *out++ = char(byte);
            }
            return true;
        },
        [&](uchar byte) { *out++ = char(byte); });
    bytes->truncate(out - bytes->constData());
    return encoded;
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

void decodePlainTextInRuns(const QByteArray &bytes, QString &text, PlainTextFormat *format,
                           OtherLineBreaks *otherBreaks, const DecodedRunReceiver &onRun,
                           qsizetype runLength)
{
    PlainTextFormat detected;
    QByteArrayView body(bytes);
    if (body.startsWith("\xEF\xBB\xBF")) {
        detected.byteOrderMark = true;
        body = body.sliced(3);
    } else if (body.startsWith("\xFF\xFE") || body.startsWith("\xFE\xFF")) {
        detected.encoding
            = body.startsWith("\xFF\xFE") ? PlainTextFormat::Utf16LE : PlainTextFormat::Utf16BE;
        detected.byteOrderMark = true;
        body = body.sliced(2);
    } else if (const auto utf16 = utf16ByItsNuls(body)) {
        detected.encoding = *utf16;
    } else {
        // In UTF-8, Windows-1252 text has a damaged sequence for nearly every
        // letter beyond ASCII and a well-formed one only by chance; UTF-8
        // with a few damaged bytes has far more well-formed sequences. So
        // without a byte-order mark the bytes are UTF-8 unless damaged
        // sequences outnumber well-formed multi-byte ones.
        const Utf8Counts counts = countUtf8(body);
        if (counts.damaged > counts.wellFormed)
            detected.encoding = PlainTextFormat::Windows1252;
    }

    // A lone surrogate of UTF-16 keeps two bytes, so the bytes' count bounds
    // the text's.
    ParagraphWriter out(text, body.size(), onRun, runLength);
    switch (detected.encoding) {
    case PlainTextFormat::Utf8: decodeUtf8(body, out); break;
    case PlainTextFormat::Windows1252: decodeWindows1252(body, out); break;
    case PlainTextFormat::Utf16LE:
    case PlainTextFormat::Utf16BE:
        decodeUtf16(body, detected.encoding == PlainTextFormat::Utf16LE, out);
        break;
    }
    out.finish(&detected.lineBreak, otherBreaks);
    if (format)
        *format = detected;
}

QString decodePlainText(const QByteArray &bytes, PlainTextFormat *format,
                        OtherLineBreaks *otherBreaks)
{
    QString text;
    decodePlainTextInRuns(bytes, text, format, otherBreaks, {});
    return text;
}

QByteArray encodePlainText(const QString &paragraphs, PlainTextFormat *format,
                           const OtherLineBreaks &otherBreaks)
{
    switch (format->encoding) {
    case PlainTextFormat::Windows1252: {
        QByteArray bytes;
        if (encodeWindows1252(paragraphs, format->lineBreak, otherBreaks, &bytes))
            return bytes;
        // No character is ever replaced: what the file's encoding cannot
        // hold is written as UTF-8, marked so that it reads back as such.
        format->encoding = PlainTextFormat::Utf8;
        format->byteOrderMark = true;
        break;
    }
    case PlainTextFormat::Utf16LE:
    case PlainTextFormat::Utf16BE:
        return encodeUtf16(paragraphs, format->lineBreak, otherBreaks,
                           format->encoding == PlainTextFormat::Utf16LE, format->byteOrderMark);
    case PlainTextFormat::Utf8: break;
    }
    return encodeUtf8(paragraphs, format->lineBreak, otherBreaks, format->byteOrderMark);
}
