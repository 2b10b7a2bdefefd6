#pragma once

// A paragraph of many thousands of characters (a log line, minified code,
// base64) would be laid out as a whole at every keystroke and every blink of
// the caret, and its layout would hold hundreds of bytes per character. The
// control cuts such a paragraph into pieces of a few thousand characters when
// it takes text in: each piece is a paragraph of the document of its own,
// behind a separator marked textformat::PieceBreak, and is laid out, counted
// and drawn alone.
//
// A cut falls after a space or tab near the end of a piece where there is
// one, otherwise after a fixed number of characters, never inside a character
// or before a mark that combines with the character before it. Cuts change
// only what is shown. With wrapping, a displayed line ends at each cut, a
// little short of the window's edge. Without wrapping, the pieces stand side
// by side on the paragraph's line (see RichTextLayout.h). The control's
// positions, its text and what it saves leave the cuts out, and a paragraph
// format covers all the pieces of a paragraph; only the first shows the
// paragraph's marker, first-line indent and space before.

#include <QString>
#include <QStringView>

class QTextDocument;

#include <vector>

// Paragraphs longer than this are cut, into pieces no longer than
// LongestPiece.
constexpr int LongestUncutParagraph = 16384;
constexpr int LongestPiece = 4096;

struct PiecedText
{
    QString text;                 // the paragraphs, with a '\n' at each cut
    std::vector<int> pieceBreaks; // the positions of those '\n' in text, ascending
};

// Where a paragraph is cut: the positions in it that a piece break goes
// before, ascending; none for a paragraph that is not long.
std::vector<int> pieceCuts(QStringView paragraph);

// paragraphs (separated by '\n') with their long paragraphs cut.
PiecedText cutLongParagraphs(const QString &paragraphs);

// Cuts the long paragraphs of document that hold a position in [from, to)
// where they stand, each piece break in the format of the character before
// it, marked.
void cutLongBlocks(QTextDocument &document, int from, int to);
