#pragma once

// The line breaks of a plain-text file that differ from the document's own
// (PlainTextFormat::lineBreak) are kept in the control's document, on the
// paragraph separators that stand for them: such a separator's character
// format holds the break's kind (textformat::LineBreakKind). An ordinary file
// marks nothing.
//
// Qt keeps a separator's format through edits around it, undo and redo,
// formats merged over the text, and moves of the whole document, and removes
// it with the separator: each break keeps its kind until it is deleted.
//
// Qt gives what it inserts the format at the insertion point, which at the
// start of an empty paragraph is the separator's before it, mark included.
// So the control inserts in a format without the mark (withoutLineBreakKind),
// and drops the mark from the caret's format before a key or an input
// method types: a break the user adds is of the document's kind.

#include "platform/richtext/PlainTextCodec.h"

#include <QTextCharFormat>

#include <vector>

class QTextBlock;
class QTextCursor;
class QTextDocument;

// Inserts paragraphs (separated by '\n') at cursor in format, marking the
// separators of otherBreaks with their kinds, and those at the positions
// pieceBreaks as piece breaks (see LongParagraphs.h). The paragraphs of
// otherBreaks are counted without piece breaks.
void insertParagraphs(QTextCursor &cursor, const QString &paragraphs, const QTextCharFormat &format,
                      const OtherLineBreaks &otherBreaks, const std::vector<int> &pieceBreaks = {});

// What the separators of a document mark, by the index of their character
// format: a line-break kind (0 or more), a piece break, or nothing.
struct SeparatorMarks
{
    enum : int { None = -1, PieceBreak = -2 };
    std::vector<int> byFormat;
    bool anyPieceBreak = false;
    bool anyLineBreakKind = false;

    // The mark of the separator before block.
    int before(const QTextBlock &block) const;
};
SeparatorMarks separatorMarks(const QTextDocument &document);

// The breaks that document's separators mark, in order; paragraphs counted
// without piece breaks.
OtherLineBreaks otherLineBreaks(const QTextDocument &document);
