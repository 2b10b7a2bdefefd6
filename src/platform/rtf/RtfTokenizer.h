#pragma once

#include <QtGlobal>

#include <string_view>

// Splits RTF into tokens in one pass over the bytes, without recursion and
// without copying: groups, control words with their parameters, control
// symbols, \'hh bytes, plain text and \bin data. Line breaks in the file
// and other control bytes (except the tab) are not text and are dropped.
namespace rtf {

struct Token
{
    enum Type {
        End,           // no more input
        GroupStart,    // {
        GroupEnd,      // }
        ControlWord,   // \name or \nameN; text holds the name
        ControlSymbol, // \ followed by one non-letter, in symbol
        HexByte,       // \'hh, in byte
        BadHexByte,    // \' not followed by two hex digits
        Text,          // plain bytes, in text
        Binary,        // the N bytes after \binN, in text
    };

    Type type = End;
    std::string_view text;
    bool hasParameter = false;
    int parameter = 0;
    char symbol = 0;
    uchar byte = 0;
};

class Tokenizer
{
public:
    explicit Tokenizer(std::string_view data)
        : m_data(data)
    {
    }

    Token next();

private:
    Token readControl();

    std::string_view m_data;
    qsizetype m_pos = 0;
};

} // namespace rtf
