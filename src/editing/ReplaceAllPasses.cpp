#include "editing/ReplaceAllPasses.h"

#include "platform/richtext/PlainTextCodec.h"

#include <algorithm>

namespace {

QString withCrLf(QString text)
{
    normalizeLineBreaks(text);
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

// The passes, made in one walk through the text. The text as the passes have
// left it so far is `done` followed by the input from `next` on; `done` knows
// which of its characters replacements put in. Every occurrence starting
// before `recheckFrom` has been looked at and is not to be replaced: a
// replacement changes nothing before it, so only occurrences that reach into
// it (starting at most one length of the search text before it) can be new.
class Passes
{
public:
    Passes(QStringView input, QString findText, QString replacement, int options)
        : m_input(input)
        , m_find(std::move(findText))
        , m_replacement(std::move(replacement))
        , m_wholeWord(options & RichTextBox::rtfWholeWord)
        , m_case((options & RichTextBox::rtfMatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive)
    {
    }

    std::vector<TextReplacement> run()
    {
        if (m_find.isEmpty())
            return {};
        m_done.reserve(m_input.size());
        for (;;) {
            qsizetype at = firstInDone();
            if (at < 0)
                at = firstInInput();
            if (at < 0)
                return std::move(m_replacements);
            replaceAt(at);
        }
    }

private:
    qsizetype findLength() const { return m_find.size(); }
    qsizetype length() const { return m_done.size() + m_input.size() - m_next; }
    QChar at(qsizetype position) const
    {
        return position < m_done.size() ? m_done.at(position)
                                        : m_input.at(m_next + position - m_done.size());
    }

    bool standsAsWord(qsizetype position) const
    {
        const qsizetype after = position + findLength();
        return (position == 0 || !RichTextBox::isWordCharacter(at(position - 1)))
            && (after >= length() || !RichTextBox::isWordCharacter(at(after)));
    }

    // Not wholly inside text that a replacement put in.
    bool reachesOriginalText(qsizetype position) const
    {
        const qsizetype end = position + findLength();
        if (end > m_done.size())
            return true;
        return std::find(m_inserted.begin() + position, m_inserted.begin() + end, false)
            != m_inserted.begin() + end;
    }

    // The first occurrence to replace that starts in `done` at recheckFrom or
    // later, or -1.
    qsizetype firstInDone() const
    {
        const qsizetype starts = m_done.size() - m_recheckFrom;
        if (starts <= 0)
            return -1;
        const qsizetype fromInput = std::min(findLength(), m_input.size() - m_next);
        QString window = m_done.sliced(m_recheckFrom);
        window += m_input.sliced(m_next, fromInput);
        for (qsizetype found = window.indexOf(m_find, 0, m_case); found >= 0 && found < starts;
             found = window.indexOf(m_find, found + 1, m_case)) {
            const qsizetype position = m_recheckFrom + found;
            if (reachesOriginalText(position) && (!m_wholeWord || standsAsWord(position)))
                return position;
        }
        return -1;
    }

    // The first occurrence to replace that starts in the input still unread,
    // or -1. The input is original text throughout.
    qsizetype firstInInput() const
    {
        for (qsizetype found = m_input.indexOf(m_find, m_next, m_case); found >= 0;
             found = m_input.indexOf(m_find, found + 1, m_case)) {
            const qsizetype position = m_done.size() + found - m_next;
            if (!m_wholeWord || standsAsWord(position))
                return position;
        }
        return -1;
    }

    void replaceAt(qsizetype position)
    {
        if (position > m_done.size()) {
            const qsizetype passed = position - m_done.size();
            m_done += m_input.sliced(m_next, passed);
            m_inserted.resize(m_inserted.size() + passed, false);
            m_next += passed;
        }
        m_replacements.push_back({int(position), int(findLength()), m_replacement});
        const qsizetype fromDone = std::min(findLength(), m_done.size() - position);
        m_next += findLength() - fromDone;
        m_done.replace(position, fromDone, m_replacement);
        const auto first = m_inserted.begin() + position;
        m_inserted.insert(m_inserted.erase(first, first + fromDone), m_replacement.size(), true);
        m_recheckFrom = std::max<qsizetype>(0, position - findLength());
    }

    const QStringView m_input;
    const QString m_find;
    const QString m_replacement;
    const bool m_wholeWord;
    const Qt::CaseSensitivity m_case;

    QString m_done;
    std::vector<bool> m_inserted;
    qsizetype m_next = 0;
    qsizetype m_recheckFrom = 0;
    std::vector<TextReplacement> m_replacements;
};

} // namespace

std::vector<TextReplacement> replaceAllPasses(QStringView text, QString findText,
                                              QString replacement, int options)
{
    return Passes(text, withCrLf(std::move(findText)), withCrLf(std::move(replacement)), options)
        .run();
}
