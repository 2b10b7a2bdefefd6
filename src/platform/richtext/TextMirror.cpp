#include "platform/richtext/TextMirror.h"

#include <algorithm>
#include <cstring>

void TextMirror::assign(const QString &text)
{
    m_buffer = text;
    m_gapStart = int(m_buffer.size());
    m_gapLength = 0;
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

void TextMirror::replace(int position, int removeCount, QStringView insert)
{
    position = std::clamp(position, 0, length());
    removeCount = std::clamp(removeCount, 0, length() - position);
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
