#pragma once

// How the rich-text control keeps its formats in a QTextDocument. The control,
// the RTF reader and writer and the printing code all go through these
// helpers, so that a format means the same thing everywhere.
//
// Units: paragraph indents, spacing and tab stops are kept in points
// (1/72 inch, a twip is 1/20 point); the control converts them to pixels with
// the screen's logical resolution when it lays text out. Colours are QColors
// here; the control's public members use packed RGB (red + 256 * green +
// 65536 * blue).
//
// Character formats: QTextCharFormat's font families (the first is the face
// name), point size, weight (bold), italic, underline, strike-out, foreground
// (text colour), background (highlight), vertical alignment (super- and
// subscript), anchor href (hyperlink target), and CharOffset below.
// Paragraph formats: QTextBlockFormat's alignment, left and right margin and
// text indent (first-line offset from the left margin, negative for a hanging
// indent), top and bottom margin (space before and after), tab positions, and
// the two list properties below.

#include <QColor>
#include <QTextBlock>
#include <QTextFormat>

namespace textformat {

enum Property {
    // Character: baseline offset in twips, positive raises the text.
    CharOffset = QTextFormat::UserProperty + 1,
    // Paragraph: true for a bulleted paragraph.
    ParagraphBullet,
    // Paragraph: the number text shown before a numbered paragraph ("1.", "a)").
    ParagraphNumberText,
    // Character, of a paragraph separator in a plain-text document: the kind
    // of line break (PlainTextFormat::LineBreak) the file has there, where it
    // differs from the document's own. See PlainTextLineBreaks.h.
    LineBreakKind,
    // Picture: true when the RTF it came from held its bytes in binary
    // (\bin) rather than hexadecimal; it is written back the same way, so
    // that a file that opened saves at about its size again.
    PictureInBinary,
    // Character, of a paragraph separator: true when the separator is no
    // part of the text but only cuts a very long paragraph into pieces that
    // are laid out one by one (see LongParagraphs.h). The paragraph goes on
    // after it; a copy of the text, a file written or a position counted
    // leaves it out.
    PieceBreak,
};

// True when the separator before block is a PieceBreak: block continues the
// paragraph of the block before it.
inline bool continuesParagraph(const QTextBlock &block)
{
    return block.charFormat().boolProperty(PieceBreak);
}

// The first piece of the paragraph that block belongs to (block itself when
// it starts its paragraph).
inline QTextBlock firstPieceOf(QTextBlock block)
{
    while (block.previous().isValid() && continuesParagraph(block))
        block = block.previous();
    return block;
}

// format without the marks a separator may carry (LineBreakKind,
// PieceBreak): text inserted, and separators that end paragraphs, take none.
inline QTextCharFormat withoutSeparatorMarks(QTextCharFormat format)
{
    format.clearProperty(LineBreakKind);
    format.clearProperty(PieceBreak);
    return format;
}

constexpr double TwipsPerPoint = 20.0;

inline double twipsToPoints(double twips) { return twips / TwipsPerPoint; }
inline double pointsToTwips(double points) { return points * TwipsPerPoint; }

// Packed RGB (red + 256 * green + 65536 * blue) and back. Values outside
// 0..0xFFFFFF keep their low 24 bits.
inline QColor colorFromPacked(qint64 packed)
{
    const quint32 v = quint32(packed) & 0xFFFFFFu;
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

inline qint32 packedFromColor(const QColor &c)
{
    return qint32(c.red() + 256 * c.green() + 65536 * c.blue());
}

// The face name of a character format ("" when none is set).
inline QString fontName(const QTextCharFormat &f)
{
    const QStringList families = f.fontFamilies().toStringList();
    return families.isEmpty() ? QString() : families.first();
}

inline void setFontName(QTextCharFormat &f, const QString &name)
{
    f.setFontFamilies(QStringList{name});
}

} // namespace textformat

// Further conventions, kept by the RTF reader and writer:
//
// Line spacing: QTextBlockFormat's line height; ProportionalHeight in percent
// of single spacing, FixedHeight (exactly) and MinimumHeight (at least) in
// points. Single spacing has no line height.
//
// Line breaks within a paragraph are U+2028 (QChar::LineSeparator).
//
// Pictures: a QTextImageFormat whose name is a document resource
// (QTextDocument::ImageResource) holding the picture's PNG or JPEG bytes as a
// QByteArray, named "rtf-image:" and the SHA-1 of the bytes, so that the same
// picture is held once. The format's width and height are in points.
//
// Hidden text (RTF \v) is not kept: the control shows no hidden text.
