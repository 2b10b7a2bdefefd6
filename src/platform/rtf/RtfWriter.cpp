#include "platform/rtf/RtfWriter.h"

#include "platform/TextFormat.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include <cmath>

namespace {

// Characters 0x80..0x9F of code page 1252 (0 where it has none); from 0xA0
// on, code page 1252 is Latin-1.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The code-page-1252 byte of a character, or 0 when it has none.
uchar cp1252Byte(char16_t c)
{
    if (c >= 0xA0 && c <= 0xFF)
        return uchar(c);
    for (int i = 0; i < 32; ++i) {
        if (Cp1252High[i] == c && c != 0)
            return uchar(0x80 + i);
    }
    return 0;
}

int twips(double points) { return int(std::lround(points * textformat::TwipsPerPoint)); }

// The character formats of RTF, as written.
struct CharState
{
    int font = 0;
    int halfPoints = 24;
    int foreground = 0; // colour-table index, 0 automatic
    int highlight = 0;
    int offset = 0; // half-points, positive up
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int vertical = 0; // 0 normal, 1 superscript, 2 subscript

    bool operator==(const CharState &o) const
    {
        return font == o.font && halfPoints == o.halfPoints && foreground == o.foreground
            && highlight == o.highlight && offset == o.offset && bold == o.bold
            && italic == o.italic && underline == o.underline && strike == o.strike
            && vertical == o.vertical;
    }
};

// A paragraph format, as written.
struct ParaState
{
    int alignment = 0; // 0 left, 1 right, 2 centre, 3 justified
    int left = 0, right = 0, first = 0, before = 0, after = 0;
    int lineSpacing = 0; // \sl
    bool lineMultiple = false;
    QList<QTextOption::Tab> tabs;
    bool bullet = false;
    QString numberText;

    bool operator==(const ParaState &o) const
    {
        return alignment == o.alignment && left == o.left && right == o.right && first == o.first
            && before == o.before && after == o.after && lineSpacing == o.lineSpacing
            && lineMultiple == o.lineMultiple && tabs == o.tabs && bullet == o.bullet
            && numberText == o.numberText;
    }
};

class Writer
{
public:
    explicit Writer(const QTextDocument &document)
        : m_document(document)
    {
        m_body.reserve(1 << 16);
    }
    QByteArray write(int from, int to);

private:
    // Returns whether any text of the block was in the range. A block that
    // continues the paragraph before it (after a piece break) writes no
    // paragraph format.
    bool writeBlock(const QTextBlock &block, int from, int to, bool first, bool continues);
    void writeParagraphFormat(const QTextBlockFormat &format, bool first);
    void writeListText(const ParaState &para);
    void writeFragment(const QTextFragment &fragment, int from, int to);
    void writeCharFormat(const CharState &state);
    void writeText(QStringView text);
    void writeImage(const QTextImageFormat &format);
    void openLink(const QString &href);
    void closeLink();
    void word(const char *name);
    void word(const char *name, int parameter);
    void delimit();
    CharState charState(const QTextCharFormat &format, int formatIndex);
    int fontIndex(const QString &family);
    int colorIndex(const QBrush &brush);
    QByteArray header() const;

    const QTextDocument &m_document;
    QByteArray m_body;
    bool m_needDelimiter = false;
    QStringList m_fonts;
    QHash<QString, int> m_fontIndex;
    QList<QRgb> m_colors;
    QHash<QRgb, int> m_colorIndex;
    QHash<int, CharState> m_charStates; // by the document's format index
    CharState m_state;
    ParaState m_para;
    bool m_inLink = false;
    QString m_linkHref;
    CharState m_stateOutsideLink;
};

void Writer::word(const char *name)
{
    m_body += '\\';
    m_body += name;
    m_needDelimiter = true;
}

void Writer::word(const char *name, int parameter)
{
    m_body += '\\';
    m_body += name;
    m_body += QByteArray::number(parameter);
    m_needDelimiter = true;
}

void Writer::delimit()
{
    if (m_needDelimiter) {
        m_body += ' ';
        m_needDelimiter = false;
    }
}

int Writer::fontIndex(const QString &family)
{
    const auto it = m_fontIndex.constFind(family);
    if (it != m_fontIndex.constEnd())
        return *it;
    const int index = int(m_fonts.size());
    m_fonts.append(family);
    m_fontIndex.insert(family, index);
    return index;
}

int Writer::colorIndex(const QBrush &brush)
{
    if (brush.style() == Qt::NoBrush || !brush.color().isValid())
        return 0;
    const QRgb rgb = brush.color().rgb();
    const auto it = m_colorIndex.constFind(rgb);
    if (it != m_colorIndex.constEnd())
        return *it;
    m_colors.append(rgb);
    const int index = int(m_colors.size()); // entry 0 is the automatic colour
    m_colorIndex.insert(rgb, index);
    return index;
}

CharState Writer::charState(const QTextCharFormat &format, int formatIndex)
{
    const auto it = m_charStates.constFind(formatIndex);
    if (it != m_charStates.constEnd())
        return *it;
    CharState state;
    // Text without a face takes the first font, the document's default.
    const QString family = textformat::fontName(format);
    state.font
        = family.isEmpty() ? (m_fonts.isEmpty() ? fontIndex(QString()) : 0) : fontIndex(family);
    const double points = format.fontPointSize();
    state.halfPoints = points > 0 ? int(std::lround(points * 2)) : 24;
    state.bold = format.fontWeight() >= QFont::DemiBold;
    state.italic = format.fontItalic();
    state.underline = format.fontUnderline();
    state.strike = format.fontStrikeOut();
    if (format.hasProperty(QTextFormat::ForegroundBrush))
        state.foreground = colorIndex(format.foreground());
    if (format.hasProperty(QTextFormat::BackgroundBrush))
        state.highlight = colorIndex(format.background());
    const auto vertical = format.verticalAlignment();
    state.vertical = vertical == QTextCharFormat::AlignSuperScript ? 1
        : vertical == QTextCharFormat::AlignSubScript              ? 2
                                                                   : 0;
    state.offset = int(std::lround(format.property(textformat::CharOffset).toDouble()
                                   / 10.0)); // twips to half-points
    m_charStates.insert(formatIndex, state);
    return state;
}

void Writer::writeCharFormat(const CharState &s)
{
    CharState &w = m_state;
    if (s == w)
        return;
    if (s.font != w.font)
        word("f", s.font);
    if (s.halfPoints != w.halfPoints)
        word("fs", s.halfPoints);
    if (s.bold != w.bold)
        s.bold ? word("b") : word("b", 0);
    if (s.italic != w.italic)
        s.italic ? word("i") : word("i", 0);
    if (s.underline != w.underline)
        s.underline ? word("ul") : word("ulnone");
    if (s.strike != w.strike)
        s.strike ? word("strike") : word("strike", 0);
    if (s.foreground != w.foreground)
        word("cf", s.foreground);
    if (s.highlight != w.highlight)
        word("highlight", s.highlight);
    if (s.vertical != w.vertical)
        word(s.vertical == 1 ? "super" : s.vertical == 2 ? "sub" : "nosupersub");
    if (s.offset != w.offset)
        s.offset >= 0 ? word("up", s.offset) : word("dn", -s.offset);
    w = s;
}

void Writer::writeText(QStringView text)
{
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c >= 0x20 && c < 0x80) {
            if (c == '\\' || c == '{' || c == '}') {
                m_body += '\\';
                m_needDelimiter = false;
            }
            delimit();
            m_body += char(c);
            continue;
        }
        switch (c) {
        case '\t': word("tab"); continue;
        case 0x2028: word("line"); continue;
        case 0x00A0:
            m_body += "\\~";
            m_needDelimiter = false;
            continue;
        case 0x00AD:
            m_body += "\\-";
            m_needDelimiter = false;
            continue;
        case 0x2011:
            m_body += "\\_";
            m_needDelimiter = false;
            continue;
        default: break;
        }
        if (c < 0x20 || c == QChar::ObjectReplacementCharacter)
            continue; // not text
        m_needDelimiter = false;
        if (const uchar byte = cp1252Byte(c)) {
            static const char hex[] = "0123456789abcdef";
            m_body += "\\'";
            m_body += hex[byte >> 4];
            m_body += hex[byte & 15];
        } else {
            m_body += "\\u";
            m_body += QByteArray::number(c > 0x7FFF ? int(c) - 65536 : int(c));
            m_body += '?';
        }
    }
}

void Writer::writeImage(const QTextImageFormat &format)
{
    const QVariant resource
        = m_document.resource(QTextDocument::ImageResource, QUrl(format.name()));
    QByteArray data;
    if (resource.userType() == QMetaType::QByteArray) {
        data = resource.toByteArray();
    } else if (resource.canConvert<QImage>()) {
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        resource.value<QImage>().save(&buffer, "PNG");
    }
    const bool png = data.startsWith("\x89PNG");
    const bool jpeg = data.startsWith("\xFF\xD8");
    if (!png && !jpeg)
        return; // nothing this writer can carry
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    const QSize pixels = QImageReader(&buffer).size();
    if (!pixels.isValid())
        return;
    const double width = format.width() > 0 ? format.width() : pixels.width() * 0.75;
    const double height = format.height() > 0 ? format.height() : pixels.height() * 0.75;
    m_body += "{\\pict";
    word(png ? "pngblip" : "jpegblip");
    word("picw", pixels.width());
    word("pich", pixels.height());
    word("picwgoal", twips(width));
    word("pichgoal", twips(height));
    if (format.boolProperty(textformat::PictureInBinary)) {
        // \binN, one space, then the N bytes as they are: half the size of
        // hexadecimal.
        word("bin", int(data.size()));
        m_body += ' ';
        m_body += data;
    } else {
        const QByteArray hex = data.toHex();
        for (qsizetype i = 0; i < hex.size(); i += 128) {
            m_body += "\r\n";
            m_body += hex.mid(i, 128);
        }
    }
    m_body += '}';
    m_needDelimiter = false;
}

void Writer::openLink(const QString &href)
{
    m_stateOutsideLink = m_state;
    m_inLink = true;
    m_linkHref = href;
    QString target = href;
    target.replace(QLatin1Char('"'), QLatin1String("%22"));
    m_body += "{\\field{\\*\\fldinst{HYPERLINK ";
    m_needDelimiter = false;
    if (target.startsWith(QLatin1Char('#'))) {
        m_body += "\\\\l \"";
        writeText(QStringView(target).mid(1));
    } else {
        m_body += '"';
        writeText(target);
    }
    m_body += "\"}}{\\fldrslt{";
    m_needDelimiter = false;
}

void Writer::closeLink()
{
    m_body += "}}}";
    m_needDelimiter = false;
    m_inLink = false;
    m_state = m_stateOutsideLink; // the field's groups kept their formats to themselves
}

void Writer::writeFragment(const QTextFragment &fragment, int from, int to)
{
    const QTextCharFormat format = fragment.charFormat();
    const QString href = format.isAnchor() ? format.anchorHref() : QString();
    if (m_inLink && href != m_linkHref)
        closeLink();
    if (!href.isEmpty() && !m_inLink)
        openLink(href);
    writeCharFormat(charState(format, fragment.charFormatIndex()));

    if (format.isImageFormat()) {
        const QTextImageFormat image = format.toImageFormat();
        const int count = std::min(to, fragment.position() + fragment.length())
            - std::max(from, fragment.position());
        for (int i = 0; i < count; ++i)
            writeImage(image);
        return;
    }
    const int start = std::max(from, fragment.position()) - fragment.position();
    const int end = std::min(to, fragment.position() + fragment.length()) - fragment.position();
    writeText(QStringView(fragment.text()).mid(start, end - start));
}

void Writer::writeListText(const ParaState &para)
{
    if (para.bullet) {
        m_body += "{\\pntext";
        word("f", fontIndex(QStringLiteral("Symbol")));
        m_body += "\\'b7\\tab}";
        m_needDelimiter = false;
    } else if (!para.numberText.isEmpty()) {
        m_body += "{\\pntext";
        m_needDelimiter = true;
        writeText(para.numberText);
        m_body += "\\tab}";
        m_needDelimiter = false;
    }
}

void Writer::writeParagraphFormat(const QTextBlockFormat &format, bool first)
{
    ParaState p;
    const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
    p.alignment = alignment & Qt::AlignRight ? 1
        : alignment & Qt::AlignHCenter       ? 2
        : alignment & Qt::AlignJustify       ? 3
                                             : 0;
    p.left = twips(format.leftMargin());
    p.right = twips(format.rightMargin());
    p.first = twips(format.textIndent());
    p.before = twips(format.topMargin());
    p.after = twips(format.bottomMargin());
    if (format.hasProperty(QTextFormat::LineHeight)) {
        const double height = format.lineHeight();
        switch (format.lineHeightType()) {
        case QTextBlockFormat::ProportionalHeight:
            if (std::lround(height) != 100) {
                p.lineSpacing = int(std::lround(height * 2.4));
                p.lineMultiple = true;
            }
            break;
        case QTextBlockFormat::FixedHeight: p.lineSpacing = -twips(height); break;
        case QTextBlockFormat::MinimumHeight: p.lineSpacing = twips(height); break;
        default: break;
        }
    }
    p.tabs = format.tabPositions();
    p.bullet = format.boolProperty(textformat::ParagraphBullet);
    if (!p.bullet)
        p.numberText = format.stringProperty(textformat::ParagraphNumberText);

    if (!first && p == m_para) {
        writeListText(p);
        return;
    }
    m_para = p;
    word("pard");
    if (p.alignment)
        word(p.alignment == 1 ? "qr" : p.alignment == 2 ? "qc" : "qj");
    if (p.left)
        word("li", p.left);
    if (p.right)
        word("ri", p.right);
    if (p.first)
        word("fi", p.first);
    if (p.before)
        word("sb", p.before);
    if (p.after)
        word("sa", p.after);
    if (p.lineSpacing) {
        word("sl", p.lineSpacing);
        word("slmult", p.lineMultiple ? 1 : 0);
    }
    for (const QTextOption::Tab &tab : std::as_const(p.tabs)) {
        if (tab.type == QTextOption::RightTab)
            word("tqr");
        else if (tab.type == QTextOption::CenterTab)
            word("tqc");
        else if (tab.type == QTextOption::DelimiterTab)
            word("tqdec");
        word("tx", twips(tab.position));
    }
    if (p.bullet) {
        m_body += "{\\*\\pn\\pnlvlblt";
        word("pnf", fontIndex(QStringLiteral("Symbol")));
        m_body += "\\pnindent0{\\pntxtb\\'b7}}";
        m_needDelimiter = false;
    } else if (!p.numberText.isEmpty()) {
        // The number's digits and what follows them, for readers that number
        // the paragraphs themselves.
        qsizetype digits = 0;
        while (digits < p.numberText.size() && p.numberText.at(digits).isDigit())
            ++digits;
        m_body += "{\\*\\pn\\pnlvlbody\\pnindent0";
        word("pnstart", digits ? std::min(p.numberText.left(digits).toInt(), 32767) : 1);
        word("pndec");
        m_body += "{\\pntxta";
        m_needDelimiter = true;
        writeText(QStringView(p.numberText).mid(digits));
        m_body += "}}";
        m_needDelimiter = false;
    }
    writeListText(p);
}

bool Writer::writeBlock(const QTextBlock &block, int from, int to, bool first, bool continues)
{
    if (!continues)
        writeParagraphFormat(block.blockFormat(), first);
    const int start = std::max(from, block.position());
    const int end = std::min(to, block.position() + block.length() - 1);
    bool wroteText = false;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.position() + fragment.length() <= start || fragment.position() >= end)
            continue;
        writeFragment(fragment, start, end);
        wroteText = true;
    }
    if (m_inLink)
        closeLink();
    if (!wroteText)
        writeCharFormat(charState(block.charFormat(), block.charFormatIndex()));
    return wroteText;
}

QByteArray Writer::header() const
{
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl";
    for (int i = 0; i < m_fonts.size(); ++i) {
        const QString &name = m_fonts.at(i);
        const bool symbol = name == QLatin1String("Symbol");
        out += "{\\f" + QByteArray::number(i)
            + (symbol ? "\\fnil\\fcharset2 " : "\\fnil\\fcharset0 ");
        // Font names are written with the same escapes as text.
        Writer nameWriter(m_document);
        nameWriter.writeText(name);
        out += nameWriter.m_body + ";}";
    }
    out += "}\r\n{\\colortbl ;";
    for (const QRgb rgb : m_colors)
        out += "\\red" + QByteArray::number(qRed(rgb)) + "\\green" + QByteArray::number(qGreen(rgb))
            + "\\blue" + QByteArray::number(qBlue(rgb)) + ';';
    out += "}\r\n{\\*\\generator Scrivlet;}\\viewkind4\\uc1 \r\n";
    return out;
}

QByteArray Writer::write(int from, int to)
{
    const int last = std::max(0, m_document.characterCount() - 1);
    from = std::clamp(from, 0, last);
    to = std::clamp(to, from, last);
    // The default font comes first, so that text without a face reads back
    // in the font it was written with.
    m_state.font = -1;
    m_state.halfPoints = 24;
    QTextBlock block = m_document.findBlock(from);
    int blocks = 0;
    bool lastBlockEmpty = false;
    bool endsWithParagraphMark = false;
    // The empty paragraph at the end of the document belongs to a range that
    // reaches the end.
    for (; block.isValid() && (block.position() < to || (block.position() == to && to == last));
         block = block.next()) {
        // A piece break only cuts a long paragraph for display: the
        // paragraph goes on.
        const bool continues = blocks > 0 && textformat::continuesParagraph(block);
        if (blocks > 0 && !continues) {
            word("par");
            m_body += "\r\n";
            m_needDelimiter = false;
        }
        lastBlockEmpty = !writeBlock(block, from, to, blocks == 0, continues);
        ++blocks;
        // A range that ends just after a piece break ends inside a paragraph.
        endsWithParagraphMark = block.position() + block.length() - 1 < to
            && !(block.next().isValid() && textformat::continuesParagraph(block.next()));
    }
    if (endsWithParagraphMark) {
        // The range ends with a paragraph mark: an empty paragraph follows.
        word("par");
        m_body += "\r\n";
        lastBlockEmpty = true;
        ++blocks;
    }
    // The reader takes the last \par of a file for the end of the last
    // paragraph, not for the start of an empty one.
    if (blocks > 1 && lastBlockEmpty)
        word("par");
    if (blocks == 0) // an empty range: the format at its place
        writeCharFormat(charState(block.charFormat(), block.charFormatIndex()));
    if (m_fonts.isEmpty())
        m_fonts.append(QString());
    return header() + m_body + "}\r\n";
}

} // namespace

QByteArray writeRtf(const QTextDocument &document, int from, int to)
{
    return Writer(document).write(from, to);
}
