#include "platform/rtf/RtfReader.h"

#include "platform/RuntimeError.h"
#include "platform/rtf/RtfCodePages.h"
#include "platform/rtf/RtfDocumentBuilder.h"
#include "platform/rtf/RtfFields.h"
#include "platform/rtf/RtfKeywords.h"
#include "platform/rtf/RtfReaderState.h"
#include "platform/rtf/RtfTokenizer.h"

#include <QBuffer>
#include <QImageReader>

#include <cmath>
#include <vector>

namespace rtf {

namespace {

// Where the text of a group goes.
enum class Destination : quint8 {
    Text, // the document
    Skip, // nowhere
    FontTable,
    ColorTable,
    FieldInstruction,
    ListText,       // \pntext, \listtext: the shown number or bullet
    ListDefinition, // \pn
    Picture,
    UnicodeAlternative,    // \upr: only its \ud part is read
    NestedTableProperties, // \nesttableprops: only the \nestrow in it acts
};

struct GroupState
{
    Destination destination = Destination::Text;
    CharProps chars;
    ParaProps para;
    int unicodeSkip = 1; // \uc
    int field = -1;      // index into Parser::m_fieldInstructions
};

// Groups nested deeper than this share the state of the deepest one, so
// that thousands of nested braces cost no memory and no stack.
constexpr int MaxGroupDepth = 1024;

// Indents and spacing are held within 22 inches either way.
constexpr int MaxTwips = 31680;
int clampTwips(int twips) { return std::clamp(twips, -MaxTwips, MaxTwips); }

struct Picture
{
    enum Kind { Other, Png, Jpeg } kind = Other;
    QByteArray data;
    int pendingNibble = -1;
    int goalWidth = 0, goalHeight = 0; // \picwgoal, \pichgoal: twips
    int scaleX = 100, scaleY = 100;
    bool binary = false; // some of its bytes came in binary (\bin)
};

class Parser
{
public:
    Parser(QTextCursor &cursor, QByteArrayView rtf);
    void run();

private:
    GroupState &state() { return m_groups.back(); }
    void pushGroup();
    void popGroup();
    void endDestination(const GroupState &ended);

    void handleWord(const Token &token);
    bool handleDestination(Keyword keyword);
    void handleText(std::string_view bytes);
    void handleByte(uchar byte);
    void handleCharacter(char16_t character);
    bool handleUnicodeWord(Keyword keyword, const Token &token);
    void handleFontTableWord(Keyword keyword, const Token &token);
    void handleColorTableWord(Keyword keyword, const Token &token);
    void handleListDefinitionWord(Keyword keyword);
    void handlePictureWord(Keyword keyword, const Token &token);
    bool handleDocumentWord(Keyword keyword, const Token &token);
    bool handleCharacterWord(Keyword keyword);
    bool handleCharacterFormatWord(Keyword keyword, const Token &token);
    void handleParagraphFormatWord(Keyword keyword, const Token &token);

    void prepareBodyText();
    void flushRun();
    void endParagraph();
    void breakParagraph();
    void cellEnd();
    ListMark takeListMark();
    int currentCodePage();
    void addTab(const Token &token);
    void finishPicture();
    int fontCodePage() const;
    void decodeFontName();
    void commitFont();
    void commitColor();

    Tokenizer m_tokenizer;
    DocumentTables m_tables;
    DocumentBuilder m_builder;
    std::vector<GroupState> m_groups;
    int m_excessDepth = 0;
    bool m_ignorableDestination = false; // after \*
    int m_charactersToSkip = 0;          // \uN fallback still to skip

    QString m_run;
    CharProps m_runProps;
    ByteDecoder m_decoder;
    bool m_runHasSurrogates = false;
    bool m_cellSeparatorPending = false;

    QString m_listText;
    bool m_listTextSeen = false;
    bool m_listTextSymbol = false;
    ListKind m_listDefinition = ListKind::None;

    QStringList m_fieldInstructions;
    Picture m_picture;

    int m_fontNumber = 0;
    int m_fontCharset = -1;
    int m_fontCodePage = 0;
    QByteArray m_fontNameBytes; // not yet decoded
    QString m_fontName;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorSet = false;
};

Parser::Parser(QTextCursor &cursor, QByteArrayView rtf)
    : m_tokenizer(std::string_view(rtf.constData(), size_t(rtf.size())))
    , m_builder(cursor, m_tables)
{
    m_groups.reserve(64);
    m_groups.emplace_back();
}

void Parser::run()
{
    bool started = false;
    for (;;) {
        const Token token = m_tokenizer.next();
        if (token.type == Token::End)
            break;
        if (m_charactersToSkip > 0) {
            // The fallback of \uN: characters, escapes and control words
            // count one each; a brace ends it.
            if (token.type == Token::Text && qsizetype(token.text.size()) > m_charactersToSkip) {
                const std::string_view rest = token.text.substr(size_t(m_charactersToSkip));
                m_charactersToSkip = 0;
                handleText(rest);
                continue;
            }
            if (token.type == Token::Text) {
                m_charactersToSkip -= int(token.text.size());
                continue;
            }
            if (token.type != Token::GroupStart && token.type != Token::GroupEnd) {
                --m_charactersToSkip;
                continue;
            }
            m_charactersToSkip = 0;
        }
        if (token.type != Token::ControlWord
            && !(token.type == Token::ControlSymbol && token.symbol == '*'))
            m_ignorableDestination = false;

        switch (token.type) {
        case Token::GroupStart:
            if (started)
                pushGroup();
            started = true;
            break;
        case Token::GroupEnd:
            if (m_groups.size() == 1 && m_excessDepth == 0)
                goto done; // the end of the document: what follows is ignored
            popGroup();
            break;
        case Token::ControlWord:
            handleWord(token);
            m_ignorableDestination = false;
            break;
        case Token::ControlSymbol:
            switch (token.symbol) {
            case '*': m_ignorableDestination = true; break;
            case '\\':
            case '{':
            case '}': handleCharacter(char16_t(token.symbol)); break;
            case '~': handleCharacter(0x00A0); break;
            case '-': handleCharacter(0x00AD); break;
            case '_': handleCharacter(0x2011); break;
            case '\n': endParagraph(); break;
            case '\t': handleCharacter('\t'); break;
            default: break;
            }
            break;
        case Token::HexByte: handleByte(token.byte); break;
        case Token::BadHexByte: handleCharacter(0xFFFD); break;
        case Token::Text: handleText(token.text); break;
        case Token::Binary:
            if (state().destination == Destination::Picture) {
                m_picture.data.append(token.text.data(), qsizetype(token.text.size()));
                m_picture.binary = true;
            }
            break;
        case Token::End: break;
        }
    }
done:
    // Groups left open at the end of a truncated file are closed.
    while (m_groups.size() > 1)
        popGroup();
    flushRun();
    m_builder.finish(state().para, takeListMark());
}

void Parser::pushGroup()
{
    if (m_groups.size() >= size_t(MaxGroupDepth)) {
        ++m_excessDepth;
        return;
    }
    m_groups.push_back(m_groups.back());
}

void Parser::popGroup()
{
    if (m_excessDepth > 0) {
        --m_excessDepth;
        return;
    }
    if (m_groups.size() <= 1)
        return;
    const GroupState ended = std::move(m_groups.back());
    m_groups.pop_back();
    if (ended.destination != state().destination || ended.destination == Destination::FontTable)
        endDestination(ended);
}

void Parser::endDestination(const GroupState &ended)
{
    switch (ended.destination) {
    case Destination::FontTable:
        if (!m_fontName.isEmpty() || !m_fontNameBytes.isEmpty())
            commitFont();
        break;
    case Destination::ListDefinition: state().para.list = m_listDefinition; break;
    case Destination::Picture: finishPicture(); break;
    default: break;
    }
}

int Parser::currentCodePage()
{
    const int fontNumber = state().chars.font < 0 ? m_tables.defaultFont : state().chars.font;
    const auto font = m_tables.fonts.constFind(fontNumber);
    if (font != m_tables.fonts.constEnd() && font->codePage != 0)
        return font->codePage;
    return m_tables.codePage;
}

// Makes the text run ready for text in the current format.
void Parser::prepareBodyText()
{
    if (state().chars != m_runProps) {
        flushRun();
        m_runProps = state().chars;
    }
    if (m_cellSeparatorPending) {
        m_cellSeparatorPending = false;
        m_decoder.finish(m_run);
        m_run += QLatin1Char('\t');
    }
}

void Parser::flushRun()
{
    m_decoder.finish(m_run);
    if (m_run.isEmpty())
        return;
    if (m_runHasSurrogates) {
        // A surrogate that is not part of a pair is not a character.
        for (qsizetype i = 0; i < m_run.size(); ++i) {
            const QChar c = m_run.at(i);
            if (c.isHighSurrogate() && i + 1 < m_run.size() && m_run.at(i + 1).isLowSurrogate())
                ++i;
            else if (c.isSurrogate())
                m_run[i] = QChar(0xFFFD);
        }
        m_runHasSurrogates = false;
    }
    m_builder.insertText(m_run, m_runProps);
    m_run.clear();
}

void Parser::handleText(std::string_view bytes)
{
    GroupState &group = state();
    switch (group.destination) {
    case Destination::Text: {
        if (group.chars.hidden)
            return;
        prepareBodyText();
        const int codePage = currentCodePage();
        if (codePage != m_decoder.codePage()) {
            m_decoder.finish(m_run);
            m_decoder = ByteDecoder(codePage);
        }
        m_decoder.decode(bytes.data(), qsizetype(bytes.size()), m_run);
        return;
    }
    case Destination::FontTable:
        for (const char c : bytes) {
            if (c == ';')
                commitFont();
            else
                m_fontNameBytes.append(c);
        }
        return;
    case Destination::ColorTable:
        for (const char c : bytes) {
            if (c == ';')
                commitColor();
        }
        return;
    case Destination::FieldInstruction:
        if (group.field >= 0) {
            ByteDecoder decoder(currentCodePage());
            decoder.decode(bytes.data(), qsizetype(bytes.size()), m_fieldInstructions[group.field]);
            decoder.finish(m_fieldInstructions[group.field]);
        }
        return;
    case Destination::ListText: {
        ByteDecoder decoder(currentCodePage());
        decoder.decode(bytes.data(), qsizetype(bytes.size()), m_listText);
        decoder.finish(m_listText);
        m_listTextSeen = true;
        const auto font = m_tables.fonts.constFind(group.chars.font < 0 ? m_tables.defaultFont
                                                                        : group.chars.font);
        m_listTextSymbol = font != m_tables.fonts.constEnd() && font->symbol;
        return;
    }
    case Destination::Picture:
        for (const char c : bytes) {
            int value = -1;
            if (c >= '0' && c <= '9')
                value = c - '0';
            else if (c >= 'a' && c <= 'f')
                value = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                value = c - 'A' + 10;
            if (value < 0)
                continue;
            if (m_picture.pendingNibble < 0) {
                m_picture.pendingNibble = value;
            } else {
                m_picture.data.append(char(m_picture.pendingNibble * 16 + value));
                m_picture.pendingNibble = -1;
            }
        }
        return;
    case Destination::Skip:
    case Destination::ListDefinition:
    case Destination::UnicodeAlternative:
    case Destination::NestedTableProperties: return;
    }
}

void Parser::handleByte(uchar byte)
{
    if (byte < 0x20) {
        if (byte == '\t')
            handleCharacter('\t');
        return; // other control characters are not text
    }
    const char c = char(byte);
    if (state().destination == Destination::FontTable) {
        m_fontNameBytes.append(c); // a ';' written as \'3b is part of the name
        return;
    }
    handleText(std::string_view(&c, 1));
}

void Parser::handleCharacter(char16_t character)
{
    GroupState &group = state();
    switch (group.destination) {
    case Destination::Text:
        if (group.chars.hidden)
            return;
        if (character < 0x20 && character != '\t')
            return;
        if (character == 0x2029 || character == 0xFFFC || character == 0xFDD0 || character == 0xFDD1
            || character == 0xFEFF)
            return; // characters that the document keeps for its own structure
        prepareBodyText();
        m_decoder.finish(m_run);
        if (QChar::isSurrogate(character))
            m_runHasSurrogates = true;
        m_run += QChar(character);
        return;
    case Destination::FieldInstruction:
        if (group.field >= 0)
            m_fieldInstructions[group.field] += QChar(character);
        return;
    case Destination::ListText:
        m_listText += QChar(character);
        m_listTextSeen = true;
        return;
    case Destination::FontTable:
        decodeFontName();
        m_fontName += QChar(character);
        return;
    default: return;
    }
}

ListMark Parser::takeListMark()
{
    ListMark mark;
    const ParaProps &para = state().para;
    if (m_listTextSeen) {
        const QString text = m_listText.trimmed();
        const bool hasLetterOrDigit
            = std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetterOrNumber(); });
        if (para.list == ListKind::Bullet || m_listTextSymbol || !hasLetterOrDigit)
            mark.bullet = true;
        else
            mark.numberText = text;
    } else if (para.list == ListKind::Bullet) {
        mark.bullet = true;
    }
    m_listText.clear();
    m_listTextSeen = false;
    m_listTextSymbol = false;
    return mark;
}

void Parser::endParagraph()
{
    if (state().destination == Destination::Text)
        breakParagraph();
}

// Ends the paragraph of the document text, wherever the paragraph mark was read.
void Parser::breakParagraph()
{
    m_cellSeparatorPending = false;
    flushRun();
    m_builder.endParagraph(state().para, takeListMark());
}

void Parser::cellEnd()
{
    if (state().destination != Destination::Text)
        return;
    if (m_cellSeparatorPending) {
        // The separator after an empty cell.
        m_cellSeparatorPending = false;
        prepareBodyText();
        m_decoder.finish(m_run);
        m_run += QLatin1Char('\t');
    }
    m_cellSeparatorPending = true;
}

int Parser::fontCodePage() const
{
    return m_fontCodePage ? m_fontCodePage : codePageForCharset(m_fontCharset);
}

void Parser::decodeFontName()
{
    if (m_fontNameBytes.isEmpty())
        return;
    ByteDecoder decoder(fontCodePage() ? fontCodePage() : m_tables.codePage);
    decoder.decode(m_fontNameBytes.constData(), m_fontNameBytes.size(), m_fontName);
    decoder.finish(m_fontName);
    m_fontNameBytes.clear();
}

void Parser::commitFont()
{
    decodeFontName();
    FontEntry entry;
    entry.name = m_fontName.trimmed();
    entry.codePage = fontCodePage();
    entry.symbol = m_fontCharset == 2;
    m_tables.fonts.insert(m_fontNumber, entry);
    m_fontName.clear();
    m_fontCharset = -1;
    m_fontCodePage = 0;
}

void Parser::commitColor()
{
    m_tables.colors.append(m_colorSet ? QColor(m_red, m_green, m_blue) : QColor());
    m_red = m_green = m_blue = 0;
    m_colorSet = false;
}

void Parser::addTab(const Token &token)
{
    ParaProps &para = state().para;
    if (para.tabs.size() >= 256)
        return;
    const double position = std::clamp(token.parameter, 0, MaxTwips) / 20.0;
    para.tabs.append(
        QTextOption::Tab(position, para.nextTabType,
                         para.nextTabType == QTextOption::DelimiterTab ? QChar('.') : QChar()));
    para.nextTabType = QTextOption::LeftTab;
}

void Parser::finishPicture()
{
    Picture picture = std::move(m_picture);
    m_picture = Picture();
    if (picture.kind == Picture::Other || picture.data.isEmpty()
        || state().destination != Destination::Text || state().chars.hidden)
        return;
    QBuffer buffer(&picture.data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, picture.kind == Picture::Png ? "png" : "jpeg");
    const QSize pixels = reader.size();
    if (!pixels.isValid() || pixels.isEmpty())
        return; // not a picture Qt can show
    // The goal size in twips wins; else the pixels at 96 per inch. The size
    // is kept in whole twips, as it is written.
    const double width = picture.goalWidth > 0 ? picture.goalWidth : pixels.width() * 15.0;
    const double height = picture.goalHeight > 0 ? picture.goalHeight : pixels.height() * 15.0;
    const double scaleX = std::clamp(picture.scaleX, 1, 1000) / 100.0;
    const double scaleY = std::clamp(picture.scaleY, 1, 1000) / 100.0;
    const QSizeF points(std::round(std::min(width * scaleX, double(MaxTwips))) / 20.0,
                        std::round(std::min(height * scaleY, double(MaxTwips))) / 20.0);
    flushRun();
    m_builder.insertImage(picture.data, points, state().chars, picture.binary);
}

void Parser::handleFontTableWord(Keyword keyword, const Token &token)
{
    switch (keyword) {
    case Keyword::f:
        if (!m_fontName.isEmpty() || !m_fontNameBytes.isEmpty())
            commitFont(); // an entry that lacks its ';'
        m_fontNumber = token.parameter;
        break;
    case Keyword::fcharset: m_fontCharset = token.parameter; break;
    case Keyword::cpg: m_fontCodePage = token.parameter; break;
    default: break;
    }
}

void Parser::handleWord(const Token &token)
{
    const Keyword keyword = keywordOf(token.text);
    const bool ignorable = m_ignorableDestination;
    m_ignorableDestination = false;
    if (handleDestination(keyword))
        return;
    if (ignorable) {
        // \* before a destination this reader does not know: skip the group.
        state().destination = Destination::Skip;
        return;
    }
    if (handleUnicodeWord(keyword, token))
        return;
    switch (state().destination) {
    case Destination::Text:
    case Destination::FieldInstruction:
    case Destination::ListText:
        // Formats and characters act in the document text, and in field
        // instructions and list text too.
        if (!handleDocumentWord(keyword, token) && !handleCharacterWord(keyword)
            && !handleCharacterFormatWord(keyword, token))
            handleParagraphFormatWord(keyword, token);
        return;
    case Destination::FontTable: handleFontTableWord(keyword, token); return;
    case Destination::ColorTable: handleColorTableWord(keyword, token); return;
    case Destination::ListDefinition: handleListDefinitionWord(keyword); return;
    case Destination::Picture: handlePictureWord(keyword, token); return;
    case Destination::NestedTableProperties:
        // A nested row's properties follow its cells, and its \nestrow,
        // in this group, ends the row as \row ends an outer one.
        if (keyword == Keyword::nestrow)
            breakParagraph();
        return;
    case Destination::Skip:
    case Destination::UnicodeAlternative: return;
    }
}

// \uN and \ucN, wherever they stand.
bool Parser::handleUnicodeWord(Keyword keyword, const Token &token)
{
    GroupState &group = state();
    if (keyword == Keyword::u) {
        // Negative values stand for the upper half of the 16-bit range.
        const int value = token.parameter;
        const bool valid = value >= -32768 && value <= 0xFFFF;
        handleCharacter(valid ? char16_t(value < 0 ? value + 65536 : value) : char16_t(0xFFFD));
        m_charactersToSkip = group.unicodeSkip;
        return true;
    }
    if (keyword == Keyword::uc) {
        group.unicodeSkip = std::clamp(token.parameter, 0, 16);
        return true;
    }
    return false;
}

void Parser::handleColorTableWord(Keyword keyword, const Token &token)
{
    const int value = std::clamp(token.parameter, 0, 255);
    if (keyword == Keyword::red) {
        m_red = value;
        m_colorSet = true;
    } else if (keyword == Keyword::green) {
        m_green = value;
        m_colorSet = true;
    } else if (keyword == Keyword::blue) {
        m_blue = value;
        m_colorSet = true;
    }
}

void Parser::handleListDefinitionWord(Keyword keyword)
{
    if (keyword == Keyword::pnlvlblt)
        m_listDefinition = ListKind::Bullet;
    else if (keyword == Keyword::pnlvlcont)
        m_listDefinition = ListKind::None;
    else if (keyword == Keyword::pnlvlbody || keyword == Keyword::pndec
             || keyword == Keyword::pnucltr || keyword == Keyword::pnlcltr
             || keyword == Keyword::pnucrm || keyword == Keyword::pnlcrm)
        m_listDefinition = ListKind::Numbered;
}

void Parser::handlePictureWord(Keyword keyword, const Token &token)
{
    switch (keyword) {
    case Keyword::pngblip: m_picture.kind = Picture::Png; break;
    case Keyword::jpegblip: m_picture.kind = Picture::Jpeg; break;
    case Keyword::picwgoal: m_picture.goalWidth = token.parameter; break;
    case Keyword::pichgoal: m_picture.goalHeight = token.parameter; break;
    case Keyword::picscalex: m_picture.scaleX = token.parameter; break;
    case Keyword::picscaley: m_picture.scaleY = token.parameter; break;
    default: break;
    }
}

// The character set and default font of the document.
bool Parser::handleDocumentWord(Keyword keyword, const Token &token)
{
    const int value = token.parameter;
    switch (keyword) {
    case Keyword::ansi: m_tables.codePage = 1252; return true;
    case Keyword::mac: m_tables.codePage = 10000; return true;
    case Keyword::pc: m_tables.codePage = 437; return true;
    case Keyword::pca: m_tables.codePage = 850; return true;
    case Keyword::ansicpg: m_tables.codePage = value; return true;
    case Keyword::deff: m_tables.defaultFont = value; return true;
    default: return false;
    }
}

// Paragraph and cell ends, and the characters RTF names by a word.
bool Parser::handleCharacterWord(Keyword keyword)
{
    switch (keyword) {
    case Keyword::par:
    case Keyword::sect:
    case Keyword::page: endParagraph(); return true;
    case Keyword::row:
    case Keyword::nestrow: endParagraph(); return true;
    case Keyword::cell:
    case Keyword::nestcell: cellEnd(); return true;
    case Keyword::line: handleCharacter(0x2028); return true;
    case Keyword::tab: handleCharacter('\t'); return true;
    case Keyword::emdash: handleCharacter(0x2014); return true;
    case Keyword::endash: handleCharacter(0x2013); return true;
    case Keyword::bullet: handleCharacter(0x2022); return true;
    case Keyword::lquote: handleCharacter(0x2018); return true;
    case Keyword::rquote: handleCharacter(0x2019); return true;
    case Keyword::ldblquote: handleCharacter(0x201C); return true;
    case Keyword::rdblquote: handleCharacter(0x201D); return true;
    case Keyword::emspace: handleCharacter(0x2003); return true;
    case Keyword::enspace: handleCharacter(0x2002); return true;
    case Keyword::qmspace: handleCharacter(0x2005); return true;
    case Keyword::zwj: handleCharacter(0x200D); return true;
    case Keyword::zwnj: handleCharacter(0x200C); return true;
    case Keyword::ltrmark: handleCharacter(0x200E); return true;
    case Keyword::rtlmark: handleCharacter(0x200F); return true;
    default: return false;
    }
}

bool Parser::handleCharacterFormatWord(Keyword keyword, const Token &token)
{
    CharProps &chars = state().chars;
    const int value = token.parameter;
    // A toggle word without a parameter, or with any but 0, turns its format on.
    const bool on = !token.hasParameter || value != 0;
    switch (keyword) {
    case Keyword::plain: {
        const int link = chars.link;
        chars = CharProps();
        chars.link = link; // a hyperlink's text stays linked
        return true;
    }
    case Keyword::b: chars.bold = on; return true;
    case Keyword::i: chars.italic = on; return true;
    case Keyword::ul:
    case Keyword::ulw:
    case Keyword::uld:
    case Keyword::uldb:
    case Keyword::uldash:
    case Keyword::uldashd:
    case Keyword::uldashdd:
    case Keyword::ulth:
    case Keyword::ulthd:
    case Keyword::ulthdash:
    case Keyword::ulwave:
    case Keyword::ulhwave:
    case Keyword::ululdbwave:
    case Keyword::ulldash: chars.underline = on; return true;
    case Keyword::ulnone: chars.underline = false; return true;
    case Keyword::strike:
    case Keyword::striked: chars.strike = on; return true;
    case Keyword::f: chars.font = value; return true;
    case Keyword::fs:
        chars.halfPoints = token.hasParameter ? std::clamp(value, 2, 3276) : 24;
        return true;
    case Keyword::cf: chars.foreground = std::max(value, 0); return true;
    case Keyword::cb: chars.background = std::max(value, 0); return true;
    case Keyword::highlight: chars.highlight = std::max(value, 0); return true;
    case Keyword::super: chars.vertical = VerticalPosition::Superscript; return true;
    case Keyword::sub: chars.vertical = VerticalPosition::Subscript; return true;
    case Keyword::nosupersub: chars.vertical = VerticalPosition::Normal; return true;
    case Keyword::up:
        chars.offset = std::clamp(token.hasParameter ? value : 6, 0, 3276);
        return true;
    case Keyword::dn:
        chars.offset = -std::clamp(token.hasParameter ? value : 6, 0, 3276);
        return true;
    case Keyword::v: chars.hidden = on; return true;
    default: return false;
    }
}

void Parser::handleParagraphFormatWord(Keyword keyword, const Token &token)
{
    ParaProps &para = state().para;
    const int value = token.parameter;
    const bool on = !token.hasParameter || value != 0;
    switch (keyword) {
    case Keyword::pard: para = ParaProps(); break;
    case Keyword::ql: para.alignment = Qt::AlignLeft; break;
    case Keyword::qr: para.alignment = Qt::AlignRight; break;
    case Keyword::qc: para.alignment = Qt::AlignHCenter; break;
    case Keyword::qj:
    case Keyword::qd: para.alignment = Qt::AlignJustify; break;
    case Keyword::li:
    case Keyword::lin: para.leftIndent = clampTwips(value); break;
    case Keyword::ri:
    case Keyword::rin: para.rightIndent = clampTwips(value); break;
    case Keyword::fi: para.firstIndent = clampTwips(value); break;
    case Keyword::sb: para.spaceBefore = std::clamp(value, 0, MaxTwips); break;
    case Keyword::sa: para.spaceAfter = std::clamp(value, 0, MaxTwips); break;
    case Keyword::sl: para.lineSpacing = clampTwips(value); break;
    case Keyword::slmult: para.lineMultiple = on; break;
    case Keyword::tqr: para.nextTabType = QTextOption::RightTab; break;
    case Keyword::tqc: para.nextTabType = QTextOption::CenterTab; break;
    case Keyword::tqdec: para.nextTabType = QTextOption::DelimiterTab; break;
    case Keyword::tx:
    case Keyword::tb: addTab(token); break;
    case Keyword::ls:
        if (para.list == ListKind::None)
            para.list = ListKind::Numbered;
        break;
    default: break;
    }
}

bool Parser::handleDestination(Keyword keyword)
{
    GroupState &group = state();
    Destination destination;
    switch (keyword) {
    case Keyword::fonttbl: destination = Destination::FontTable; break;
    case Keyword::colortbl:
        destination = Destination::ColorTable;
        m_tables.colors.clear();
        break;
    case Keyword::field:
        if (group.destination != Destination::Text)
            return true;
        group.field = int(m_fieldInstructions.size());
        m_fieldInstructions.append(QString());
        return true;
    case Keyword::fldinst:
        destination = group.field >= 0 && group.destination == Destination::Text
            ? Destination::FieldInstruction
            : Destination::Skip;
        break;
    case Keyword::fldrslt:
        if (group.field >= 0 && group.destination == Destination::Text) {
            const QString target = hyperlinkTarget(m_fieldInstructions.at(group.field));
            if (!target.isEmpty()) {
                m_tables.links.append(target);
                group.chars.link = int(m_tables.links.size());
            }
        }
        return true;
    case Keyword::pict:
        if (group.destination != Destination::Text)
            return true;
        destination = Destination::Picture;
        m_picture = Picture();
        break;
    case Keyword::shppict: return true; // its \pict is the picture
    case Keyword::pntext:
    case Keyword::listtext:
        if (group.destination != Destination::Text)
            return true;
        destination = Destination::ListText;
        m_listText.clear();
        break;
    case Keyword::pn:
        destination = Destination::ListDefinition;
        m_listDefinition = ListKind::Numbered;
        break;
    case Keyword::upr: destination = Destination::UnicodeAlternative; break;
    case Keyword::ud:
        if (group.destination == Destination::UnicodeAlternative)
            destination = Destination::Text;
        else
            return true;
        break;
    case Keyword::nesttableprops:
        destination = group.destination == Destination::Text ? Destination::NestedTableProperties
                                                             : Destination::Skip;
        break;
    case Keyword::stylesheet:
    case Keyword::info:
    case Keyword::header:
    case Keyword::headerl:
    case Keyword::headerr:
    case Keyword::headerf:
    case Keyword::footer:
    case Keyword::footerl:
    case Keyword::footerr:
    case Keyword::footerf:
    case Keyword::footnote:
    case Keyword::annotation:
    case Keyword::atnid:
    case Keyword::atnauthor:
    case Keyword::pnseclvl:
    case Keyword::pntxta:
    case Keyword::pntxtb:
    case Keyword::nonshppict:
    case Keyword::shp:
    case Keyword::shprslt:
    case Keyword::shpinst:
    case Keyword::objdata:
    case Keyword::objclass:
    case Keyword::xe:
    case Keyword::tc:
    case Keyword::txe:
    case Keyword::rxe:
    case Keyword::listtable:
    case Keyword::listoverridetable:
    case Keyword::revtbl:
    case Keyword::rsidtbl:
    case Keyword::xmlnstbl:
    case Keyword::pgdsctbl:
    case Keyword::ftnsep:
    case Keyword::ftnsepc:
    case Keyword::aftnsep:
    case Keyword::aftnsepc:
    case Keyword::bkmkstart:
    case Keyword::bkmkend:
    case Keyword::themedata:
    case Keyword::colorschememapping:
    case Keyword::datastore:
    case Keyword::latentstyles:
    case Keyword::generator:
    case Keyword::falt:
    case Keyword::panose:
    case Keyword::nonesttables: // the plain-text stand-in for the nested tables read here
        destination = Destination::Skip;
        break;
    default: return false;
    }
    // A destination opened without a group of its own would take over the
    // rest of its parent group; RTF always gives it one.
    group.destination = destination;
    return true;
}

} // namespace
} // namespace rtf

namespace {

// Where the RTF in data starts: the opening brace, after white space and a
// UTF-8 byte order mark; -1 when data does not look like RTF.
qsizetype rtfStart(const QByteArray &data)
{
    qsizetype i = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (i < data.size() && QChar::isSpace(uchar(data[i])))
        ++i;
    const qsizetype brace = i;
    if (i >= data.size() || data[i] != '{')
        return -1;
    ++i;
    while (i < data.size() && QChar::isSpace(uchar(data[i])))
        ++i;
    return i < data.size() && data[i] == '\\' ? brace : -1;
}

} // namespace

bool looksLikeRtf(const QByteArray &data) { return rtfStart(data) >= 0; }

void insertRtf(QTextCursor &cursor, const QByteArray &rtf)
{
    const bool empty = rtf.trimmed().isEmpty();
    const qsizetype start = rtfStart(rtf);
    if (!empty && start < 0)
        throw RuntimeError(
            ErrInvalidFileFormat,
            QStringLiteral(
                "The data is not in Rich Text Format: it does not start with \"{\\rtf\"."));
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    if (!empty) {
        rtf::Parser parser(cursor, QByteArrayView(rtf).sliced(start));
        parser.run();
    }
    cursor.endEditBlock();
}
