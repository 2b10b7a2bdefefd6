#include "platform/rtf/RtfCodePages.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QtEndian>

static void initCodePageResources() { Q_INIT_RESOURCE(RtfCodePages); }

namespace rtf {

namespace {

constexpr char16_t LeadByte = 0xFFFE;
constexpr char16_t NoCharacter = 0xFFFD;
constexpr int Utf8CodePage = 65001;

// The tables of codepages/make_tables.py, loaded once per code page and
// kept for the life of the program.
const QByteArray *table(int codePage)
{
    static QMutex mutex;
    static QHash<int, QByteArray> tables;
    const QMutexLocker lock(&mutex);
    auto it = tables.find(codePage);
    if (it == tables.end()) {
        initCodePageResources();
        QFile file(QStringLiteral(":/rtf-code-pages/%1").arg(codePage));
        QByteArray data;
        if (file.open(QIODevice::ReadOnly))
            data = file.readAll();
        if (data.size() != 256 && data.size() != 256 + 128 * 256 * 2)
            data.clear();
        it = tables.insert(codePage, data);
    }
    return it->isEmpty() ? nullptr : &*it;
}

} // namespace

int codePageForCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;   // ANSI
    case 2: return 1252;   // Symbol: its bytes are read as they are
    case 77: return 10000; // Mac Roman
    case 78: return 932;   // Mac Japanese, read as Shift-JIS
    case 128: return 932;  // Shift-JIS
    case 129: return 949;  // Hangul
    case 134: return 936;  // GB2312
    case 136: return 950;  // Big5
    case 161: return 1253; // Greek
    case 162: return 1254; // Turkish
    case 163: return 1258; // Vietnamese
    case 177: return 1255; // Hebrew
    case 178: return 1256; // Arabic
    case 186: return 1257; // Baltic
    case 204: return 1251; // Russian
    case 222: return 874;  // Thai
    case 238: return 1250; // Eastern European
    case 254: return 437;  // PC 437
    case 255: return 850;  // OEM
    default: return 0;
    }
}

ByteDecoder::ByteDecoder(int codePage)
    : m_codePage(codePage)
{
    if (codePage == Utf8CodePage) {
        m_utf8 = true;
        return;
    }
    const QByteArray *data = codePage > 0 ? table(codePage) : nullptr;
    if (!data) {
        m_codePage = 1252;
        data = table(1252);
    }
    if (!data)
        return; // resources missing: high bytes become U+FFFD
    m_singles = reinterpret_cast<const char16_t *>(data->constData());
    if (data->size() > 256)
        m_pairs = m_singles + 128;
}

void ByteDecoder::decode(const char *bytes, qsizetype size, QString &out)
{
    if (m_utf8) {
        m_pendingUtf8.append(bytes, size);
        return;
    }
    const auto *p = reinterpret_cast<const uchar *>(bytes);
    const auto *end = p + size;
    while (p < end) {
        if (m_pendingLead >= 0) {
            const char16_t unit = qFromLittleEndian(m_pairs[(m_pendingLead - 0x80) * 256 + *p]);
            out += QChar(unit);
            m_pendingLead = -1;
            ++p;
            continue;
        }
        if (*p < 0x80) {
            const auto *asciiEnd = p;
            while (asciiEnd < end && *asciiEnd < 0x80)
                ++asciiEnd;
            out += QLatin1String(reinterpret_cast<const char *>(p), asciiEnd - p);
            p = asciiEnd;
            continue;
        }
        const char16_t unit = m_singles ? qFromLittleEndian(m_singles[*p - 0x80]) : NoCharacter;
        if (unit == LeadByte && m_pairs)
            m_pendingLead = *p;
        else
            out += QChar(unit == LeadByte ? NoCharacter : unit);
        ++p;
    }
}

void ByteDecoder::finish(QString &out)
{
    if (m_pendingLead >= 0) {
        out += QChar(NoCharacter);
        m_pendingLead = -1;
    }
    if (!m_pendingUtf8.isEmpty()) {
        out += QString::fromUtf8(m_pendingUtf8);
        m_pendingUtf8.clear();
    }
}

} // namespace rtf
