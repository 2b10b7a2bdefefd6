#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

// How a plain-text file is encoded, so that it can be written back as it was.
struct PlainTextFormat
{
    enum Encoding { Utf8, Utf16LE, Utf16BE, Windows1252 };
    // CR LF, LF, CR, and the Unicode line and paragraph separators U+2028 and
    // U+2029.
    enum LineBreak { CrLf, Lf, Cr, LineSeparator, ParagraphSeparator };

    Encoding encoding = Utf8;
    bool byteOrderMark = false;
    // The document's line break: the file's first. Line breaks the user adds
    // are written in it.
    LineBreak lineBreak = nativeLineBreak();

    // CR LF on Windows, LF elsewhere: what a new document uses.
    static LineBreak nativeLineBreak();

    bool operator==(const PlainTextFormat &other) const
    {
        return encoding == other.encoding && byteOrderMark == other.byteOrderMark
            && lineBreak == other.lineBreak;
    }
};

// A line break of a file that differs from its format's lineBreak: the one
// that ends paragraph `paragraph` (counted from 0).
struct OtherLineBreak
{
    int paragraph;
    PlainTextFormat::LineBreak kind;

    bool operator==(const OtherLineBreak &other) const
    {
        return paragraph == other.paragraph && kind == other.kind;
    }
};
// In the order of the paragraphs.
using OtherLineBreaks = std::vector<OtherLineBreak>;

// A run of whole paragraphs handed over while the text is decoded (see
// decodePlainTextInRuns).
struct DecodedRun
{
    // The paragraphs, each followed by '\n' but the text's last one: a view
    // of the text being decoded.
    QStringView paragraphs;
    // The breaks of decodePlainText's otherBreaks that end paragraphs of the
    // run, counted from the run's first paragraph.
    OtherLineBreaks otherBreaks;
};
using DecodedRunReceiver = std::function<void(DecodedRun)>;
constexpr qsizetype DecodedRunLength = 32768;

// Decodes a file's bytes into paragraphs separated by '\n', so that encoding
// them again gives every byte back.
//
// The encoding: a UTF-8, UTF-16 LE or UTF-16 BE byte-order mark decides.
// Without one, NULs in one half of the two-byte units make it UTF-16 (see
// PlainTextCodec.cpp); otherwise it is UTF-8 unless damaged sequences (a byte
// that starts no character, or a character cut short) outnumber well-formed
// multi-byte ones, and then Windows-1252, in which every byte is a character.
//
// A byte that does not decode, or that belongs to a character the control
// would turn into a paragraph break (U+FDD0, U+FDD1), becomes the lone low
// surrogate U+DC00 + byte, which decoded text never holds; the control shows
// it as the replacement character, and encoding writes the byte back.
//
// Every CR LF, LF, CR, U+2028 and U+2029 ends a paragraph. format gets the
// first kind found (the platform's when there is none), otherBreaks the
// breaks of another kind.
QString decodePlainText(const QByteArray &bytes, PlainTextFormat *format,
                        OtherLineBreaks *otherBreaks = nullptr);

// decodePlainText into text, which onRun gets while it is decoded: in runs
// that end at the first paragraph end after runLength characters, and a last
// run with the rest, which together, in order, are the text. The runs are
// views of text, which is written where it stands: they stay valid while
// text lives and is left unchanged, also when decoding fails on the way.
void decodePlainTextInRuns(const QByteArray &bytes, QString &text, PlainTextFormat *format,
                           OtherLineBreaks *otherBreaks, const DecodedRunReceiver &onRun,
                           qsizetype runLength = DecodedRunLength);

// Turns every CR LF and lone CR of text into '\n', in place.
void normalizeLineBreaks(QString &text);

// Encodes paragraphs separated by '\n' in format: each break in its kind from
// otherBreaks or else format's lineBreak, which a line separator inside a
// paragraph (U+2028) also takes. Where the encoding cannot hold a character,
// the result is UTF-8 with a byte-order mark instead, and format says so.
QByteArray encodePlainText(const QString &paragraphs, PlainTextFormat *format,
                           const OtherLineBreaks &otherBreaks = {});
