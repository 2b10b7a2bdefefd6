#pragma once

#include <QString>
#include <QStringView>

#include <vector>

// A plain copy of a document's text in document positions, kept in a gap
// buffer so that edits near the last edit are cheap and searches can run over
// contiguous memory. Paragraph separators are stored as '\n'.
//
// The copy also knows which separators are piece breaks (see
// LongParagraphs.h), which the text as the user sees it leaves out: its
// plain positions count every character but those.
class TextMirror
{
public:
    int length() const { return int(m_buffer.size()) - m_gapLength; }
    QChar at(int position) const
    {
        return position < m_gapStart ? m_buffer.at(position) : m_buffer.at(position + m_gapLength);
    }

    // pieceBreaks: positions in text, ascending; in insert: offsets into it.
    void assign(const QString &text, std::vector<int> pieceBreaks = {});
    void replace(int position, int removeCount, QStringView insert,
                 const std::vector<int> &pieceBreaksInserted = {});

    // The characters [from, from + count) as one contiguous view; moves the
    // gap out of the way. The view is valid until the next change.
    QStringView view(int from, int count);
    QString text(int from, int count) { return view(from, count).toString(); }

    // The piece breaks, ascending.
    const std::vector<int> &pieceBreaks() const { return m_pieceBreaks; }
    bool isPieceBreak(int position) const;
    int pieceBreaksBefore(int position) const;
    // [from, from + count) without its piece breaks.
    QString textWithoutPieceBreaks(int from, int count);
    // A document position to its plain position, and back. A plain position
    // on a piece break is the one after the break; for end, the one before.
    int toPlain(int position) const { return position - pieceBreaksBefore(position); }
    int fromPlain(int plainPosition) const;
    int endFromPlain(int plainPosition) const;

private:
    void moveGapTo(int position);
    void ensureGap(int needed);

    QString m_buffer;
    int m_gapStart = 0;
    int m_gapLength = 0;
    std::vector<int> m_pieceBreaks;
};
