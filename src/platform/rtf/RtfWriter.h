#pragma once

#include <QByteArray>

class QTextDocument;

// The RTF of document positions [from, to) (QTextDocument positions), as
// RichEdit writes it: {\rtf1\ansi\ansicpg1252\deff0 with a font table and a
// colour table, \uc1, ASCII as is, code-page-1252 characters as \'hh and all
// others as \uN?. Every format textformat describes is written, and pictures
// as PNG or JPEG. A paragraph mark at the end of the range is written as two
// \par, because the reader takes the last \par of a file for the end of the
// last paragraph. Reading the result and writing it again gives the same
// bytes.
QByteArray writeRtf(const QTextDocument &document, int from, int to);
