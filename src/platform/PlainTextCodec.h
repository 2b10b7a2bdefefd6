#pragma once

#include <QByteArray>
#include <QString>

// How a plain-text file is encoded, so that it can be written back as it was.
struct PlainTextFormat
{
    enum Encoding { Utf8, Utf16LE, Utf16BE, Windows1252 };
    enum LineBreak { CrLf, Lf, Cr };

    Encoding encoding = Utf8;
    bool byteOrderMark = false;
    LineBreak lineBreak = nativeLineBreak();

    // CR LF on Windows, LF elsewhere: what a new document uses.
    static LineBreak nativeLineBreak();

    bool operator==(const PlainTextFormat &other) const
    {
        return encoding == other.encoding && byteOrderMark == other.byteOrderMark && lineBreak == other.lineBreak;
    }
};

// Decodes a file's bytes: a UTF-8, UTF-16 LE or UTF-16 BE byte-order mark
// decides; otherwise valid UTF-8 is UTF-8; otherwise the bytes are
// Windows-1252, decoded so that every byte comes back when encoded again.
// Line breaks (CR LF, LF or CR) become '\n'; format tells the encoding and the
// first line break found.
QString decodePlainText(const QByteArray &bytes, PlainTextFormat *format);

// Turns every CR LF and lone CR of text into '\n', in place.
void normalizeLineBreaks(QString &text);

// Encodes text whose line breaks are '\n' in format. Where the encoding cannot
// hold a character of text, the result is UTF-8 with a byte-order mark
// instead, and format says so.
QByteArray encodePlainText(const QString &text, PlainTextFormat *format);
