#include "platform/rtf/RtfTokenizer.h"

#include <algorithm>
#include <limits>

namespace rtf {

namespace {

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Bytes that end a run of plain text.
bool endsText(uchar c) { return c == '\\' || c == '{' || c == '}' || (c < 0x20 && c != '\t'); }

} // namespace

Token Tokenizer::next()
{
    Token token;
    const qsizetype size = qsizetype(m_data.size());
    while (m_pos < size) {
        const uchar c = uchar(m_data[m_pos]);
        if (c == '{') {
            ++m_pos;
            token.type = Token::GroupStart;
            return token;
        }
        if (c == '}') {
            ++m_pos;
            token.type = Token::GroupEnd;
            return token;
        }
        if (c == '\\')
            return readControl();
        if (c < 0x20 && c != '\t') {
            ++m_pos; // line breaks and other control bytes are not text
            continue;
        }
        const qsizetype start = m_pos;
        while (m_pos < size && !endsText(uchar(m_data[m_pos])))
            ++m_pos;
        token.type = Token::Text;
        token.text = m_data.substr(start, m_pos - start);
        return token;
    }
    return token;
}

Token Tokenizer::readControl()
{
    Token token;
    const qsizetype size = qsizetype(m_data.size());
    ++m_pos; // the backslash
    if (m_pos >= size) {
        token.type = Token::End;
        return token;
    }
    const char first = m_data[m_pos];
    if (!isLetter(first)) {
        ++m_pos;
        if (first == '\'') {
            // Two hex digits; a broken escape still takes up to two bytes of
            // text, so that it counts as one character.
            int high = -1, low = -1;
            if (m_pos < size && !endsText(uchar(m_data[m_pos])))
                high = hexValue(m_data[m_pos++]);
            if (m_pos < size && !endsText(uchar(m_data[m_pos])))
                low = hexValue(m_data[m_pos++]);
            if (high >= 0 && low >= 0) {
                token.type = Token::HexByte;
                token.byte = uchar(high * 16 + low);
            } else {
                token.type = Token::BadHexByte;
            }
            return token;
        }
        token.type = Token::ControlSymbol;
        // A backslash before a line break is a paragraph mark.
        token.symbol = (first == '\r' || first == '\n') ? '\n' : first;
        return token;
    }

    const qsizetype nameStart = m_pos;
    while (m_pos < size && isLetter(m_data[m_pos]))
        ++m_pos;
    token.type = Token::ControlWord;
    token.text = m_data.substr(nameStart, m_pos - nameStart);

    bool negative = false;
    if (m_pos + 1 < size && m_data[m_pos] == '-' && isDigit(m_data[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    if (m_pos < size && isDigit(m_data[m_pos])) {
        // Parameters beyond the range of int are held at its ends.
        constexpr qint64 limit = std::numeric_limits<int>::max();
        qint64 value = 0;
        while (m_pos < size && isDigit(m_data[m_pos])) {
            value = std::min(limit + 1, value * 10 + (m_data[m_pos] - '0'));
            ++m_pos;
        }
        token.hasParameter = true;
        token.parameter = int(negative ? -value : std::min(value, limit));
    }
    if (m_pos < size && m_data[m_pos] == ' ')
        ++m_pos; // the delimiter belongs to the control word

    if (token.text == "bin" && token.hasParameter) {
        const qsizetype length = std::clamp<qint64>(token.parameter, 0, size - m_pos);
        token.type = Token::Binary;
        token.text = m_data.substr(m_pos, length);
        m_pos += length;
    }
    return token;
}

} // namespace rtf
