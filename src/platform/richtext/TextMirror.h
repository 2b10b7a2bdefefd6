#pragma once

#include <QString>
#include <QStringView>

// A plain copy of a document's text in document positions, kept in a gap
// buffer so that edits near the last edit are cheap and searches can run over
// contiguous memory. Paragraph separators are stored as '\n'.
class TextMirror
{
public:
    int length() const { return int(m_buffer.size()) - m_gapLength; }
    QChar at(int position) const
    {
        return position < m_gapStart ? m_buffer.at(position) : m_buffer.at(position + m_gapLength);
    }

    void assign(const QString &text);
    void replace(int position, int removeCount, QStringView insert);

    // The characters [from, from + count) as one contiguous view; moves the
    // gap out of the way. The view is valid until the next change.
    QStringView view(int from, int count);
    QString text(int from, int count) { return view(from, count).toString(); }

private:
    void moveGapTo(int position);
    void ensureGap(int needed);

    QString m_buffer;
    int m_gapStart = 0;
    int m_gapLength = 0;
};
