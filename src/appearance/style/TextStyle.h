#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

// A text style: the character format the editor gives a document, the
// Hypertext sample and each colour swatch. Copied by value.
struct TextStyle
{
    qint32 Color = 0; // packed RGB: red + 256 * green + 65536 * blue
    bool Bold = false;
    bool Italic = false;
    bool StrikeThru = false;
    bool Underline = false;
    QString FontName = QStringLiteral("Courier New");
    qint16 FontSize = 9; // points

    friend bool operator==(const TextStyle &a, const TextStyle &b)
    {
        return a.Color == b.Color && a.Bold == b.Bold && a.Italic == b.Italic
            && a.StrikeThru == b.StrikeThru && a.Underline == b.Underline
            && a.FontName == b.FontName && a.FontSize == b.FontSize;
    }
    friend bool operator!=(const TextStyle &a, const TextStyle &b) { return !(a == b); }
};

constexpr int PaletteSize = 16;
using TextStylePalette = std::array<TextStyle, PaletteSize>;

// The built-in values, which the application starts with and Restore Defaults
// puts back.
constexpr qint32 BuiltInBackColor = 16777215; // white
TextStyle builtInDefStyle();
TextStyle builtInHyperTextStyle();
TextStylePalette builtInPalette();
