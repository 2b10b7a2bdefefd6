#include "platform/richtext/TextMirror.h"

#include <algorithm>
#include <cstring>

void TextMirror::assign(const QString &text, std::vector<int> pieceBreaks)
{
    m_buffer = text;
    // Text decoded where it was read may have far more room than characters.
    if (m_buffer.capacity() > 2 * m_buffer.size())
        m_buffer.squeeze();
    m_gapStart = int(m_buffer.size());
    m_gapLength = 0;
    m_pieceBreaks = std::move(pieceBreaks);
}

void TextMirror::moveGapTo(int position)
{
    if (position == m_gapStart || m_gapLength == 0) {
        m_gapStart = position;
        return;
    }
    QChar *data = m_buffer.data();
    if (position < m_gapStart) {
        // Characters [position, gapStart) move to the end of the gap.
        const int count = m_gapStart - position;
        std::memmove(data + position + m_gapLength, data + position, size_t(count) * sizeof(QChar));
    } else {
        // Characters after the gap up to position move to its start.
        const int count = position - m_gapStart;
        std::memmove(data + m_gapStart, data + m_gapStart + m_gapLength,
                     size_t(count) * sizeof(QChar));
    }
    m_gapStart = position;
}

void TextMirror::ensureGap(int needed)
{
    if (m_gapLength >= needed)
        return;
    const int tail = int(m_buffer.size()) - m_gapStart - m_gapLength;
    const int newGap = std::max(needed, std::max(4096, length() / 8));
    const int oldSize = int(m_buffer.size());
    m_buffer.resize(oldSize - m_gapLength + newGap);
    QChar *data = m_buffer.data();
    std::memmove(data + m_gapStart + newGap, data + oldSize - tail, size_t(tail) * sizeof(QChar));
    m_gapLength = newGap;
}

void TextMirror::replace(int position, int removeCount, QStringView insert,
                         const std::vector<int> &pieceBreaksInserted)
{
    position = std::clamp(position, 0, length());
    removeCount = std::clamp(removeCount, 0, length() - position);
    if (!m_pieceBreaks.empty() || !pieceBreaksInserted.empty()) {
        // Breaks in the removed stretch go, those after it move along, and
        // the inserted ones come in between.
        const auto first = std::lower_bound(m_pieceBreaks.begin(), m_pieceBreaks.end(), position);
        const auto last = std::lower_bound(first, m_pieceBreaks.end(), position + removeCount);
        const int shift = int(insert.size()) - removeCount;
        for (auto it = last; it != m_pieceBreaks.end(); ++it)
            *it += shift;
        const auto at = m_pieceBreaks.erase(first, last);
        std::vector<int> inserted(pieceBreaksInserted);
        for (int &offset : inserted)
            offset += position;
        m_pieceBreaks.insert(at, inserted.begin(), inserted.end());
    }
    moveGapTo(position);
    m_gapLength += removeCount; // the removed characters join the gap
    ensureGap(int(insert.size()));
    if (!insert.isEmpty()) // an empty view may have no data at all
        std::memcpy(m_buffer.data() + m_gapStart, insert.data(),
                    size_t(insert.size()) * sizeof(QChar));
    m_gapStart += int(insert.size());
    m_gapLength -= int(insert.size());
}

QStringView TextMirror::view(int from, int count)
{
    from = std::clamp(from, 0, length());
    count = std::clamp(count, 0, length() - from);
    if (from < m_gapStart && from + count > m_gapStart)
        moveGapTo(from + count);
    const int offset = from < m_gapStart ? from : from + m_gapLength;
    return QStringView(m_buffer.constData() + offset, count);
}

bool TextMirror::isPieceBreak(int position) const
{
    return std::binary_search(m_pieceBreaks.begin(), m_pieceBreaks.end(), position);
}

int TextMirror::pieceBreaksBefore(int position) const
{
    return int(std::lower_bound(m_pieceBreaks.begin(), m_pieceBreaks.end(), position)
               - m_pieceBreaks.begin());
}

QString TextMirror::textWithoutPieceBreaks(int from, int count)
{
    const QStringView whole = view(from, count);
    from = std::clamp(from, 0, length());
    const auto first = std::lower_bound(m_pieceBreaks.begin(), m_pieceBreaks.end(), from);
    const auto last = std::lower_bound(first, m_pieceBreaks.end(), from + int(whole.size()));
    if (first == last)
        return whole.toString();
    QString text;
    text.reserve(whole.size() - (last - first));
    int done = from;
    for (auto it = first; it != last; ++it) {
        text += whole.mid(done - from, *it - done);
        done = *it + 1;
    }
    text += whole.mid(done - from);
    return text;
}

int TextMirror::fromPlain(int plainPosition) const
{
    // Break i stands at plain position pieceBreaks[i] - i; the position wanted
    // lies after every break at or before plainPosition.
    int low = 0, high = int(m_pieceBreaks.size());
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (m_pieceBreaks[middle] - middle <= plainPosition)
            low = middle + 1;
        else
            high = middle;
    }
    return plainPosition + low;
}

int TextMirror::endFromPlain(int plainPosition) const
{
    return plainPosition > 0 ? fromPlain(plainPosition - 1) + 1 : 0;
}
