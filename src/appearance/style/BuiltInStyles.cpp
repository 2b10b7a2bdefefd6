#include "appearance/style/TextStyle.h"

namespace {

constexpr qint32 packedRgb(int red, int green, int blue)
{
    return red + 256 * green + 65536 * blue;
}

TextStyle plainStyle(qint32 color)
{
    TextStyle style;
    style.Color = color;
    return style;
}

} // namespace

TextStyle builtInDefStyle() { return plainStyle(packedRgb(0, 0, 0)); }

TextStyle builtInHyperTextStyle()
{
    TextStyle style = plainStyle(packedRgb(0, 0, 255));
    style.Italic = true;
    style.Underline = true;
    return style;
}

// Even indices are the swatches of the plain row, odd ones those of the bold
// row; 2k and 2k + 1 make column k.
TextStylePalette builtInPalette()
{
    return {
        plainStyle(packedRgb(175, 175, 175)), // ptrGray
        plainStyle(packedRgb(250, 250, 250)), // ptrBGray
        plainStyle(packedRgb(0, 0, 0)),       // ptrBlack
        plainStyle(packedRgb(100, 100, 100)), // ptrBBlack
        plainStyle(packedRgb(175, 0, 0)),     // ptrRed
        plainStyle(packedRgb(255, 0, 0)),     // ptrBRed
        plainStyle(packedRgb(250, 100, 0)),   // ptrOrange
        plainStyle(packedRgb(255, 255, 0)),   // ptrYellow
        plainStyle(packedRgb(0, 175, 0)),     // ptrGreen
        plainStyle(packedRgb(0, 255, 0)),     // ptrBGreen
        plainStyle(packedRgb(0, 175, 175)),   // ptrCyan
        plainStyle(packedRgb(0, 255, 255)),   // ptrBCyan
        plainStyle(packedRgb(0, 0, 175)),     // ptrBlue
        plainStyle(packedRgb(0, 0, 255)),     // ptrBBlue
        plainStyle(packedRgb(175, 0, 175)),   // ptrMagenta
        plainStyle(packedRgb(255, 0, 255)),   // ptrBMagenta
    };
}
