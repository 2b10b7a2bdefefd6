// Searching the rich-text control, and its lines.
#include "platform/richtext/RichTextBox.h"

#include "platform/richtext/RichTextBoxPrivate.h"

// ---- searching and lines ------------------------------------------------

bool RichTextBox::isWordCharacter(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

int RichTextBox::Find(const QString &text, int start, int end, int options)
{
    if (text.isEmpty())
        return -1;
    const int length = textLength();
    if (start < 0 && end < 0) {
        if (SelLength() > 0) {
            start = SelStart();
            end = start + SelLength();
        } else {
            start = 0;
            end = length;
        }
    } else if (end < 0 || end > length) {
        end = length;
    }
    start = std::clamp(start, 0, length);
    if (end < start)
        return -1;
    const int from = toDocumentPosition(start);
    const int to = toDocumentPosition(end);
    const QString needle = Private::toParagraphs(text);
    const Qt::CaseSensitivity cs
        = (options & rtfMatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const QStringView haystack = d->mirror().view(from, to - from);
    for (qsizetype at = haystack.indexOf(needle, 0, cs); at >= 0;
         at = haystack.indexOf(needle, at + 1, cs)) {
        const int found = from + int(at);
        if (options & rtfWholeWord) {
            const int after = found + int(needle.size());
            const bool startsWord = found == 0 || !isWordCharacter(d->mirror().at(found - 1));
            const bool endsWord
                = after >= d->mirror().length() || !isWordCharacter(d->mirror().at(after));
            if (!startsWord || !endsWord)
                continue;
        }
        if (!(options & rtfNoHighlight)) {
            QTextCursor cursor = textCursor();
            cursor.setPosition(found);
            cursor.setPosition(found + int(needle.size()), QTextCursor::KeepAnchor);
            setTextCursor(cursor);
        }
        return toPosition(found);
    }
    return -1;
}

int RichTextBox::GetLineFromChar(int position) const
{
    return d->layout->lineOf(toDocumentPosition(position));
}

int RichTextBox::GetLineStartFromChar(int position) const
{
    return toPosition(d->layout->lineStartOf(toDocumentPosition(position)));
}

void RichTextBox::UpTo(const QString &characterSet, bool forward, bool negate)
{
    const bool breaks
        = characterSet.contains(QLatin1Char('\r')) || characterSet.contains(QLatin1Char('\n'));
    auto stopsAt = [&](QChar c) {
        const bool inSet = c == QLatin1Char('\n') ? breaks : characterSet.contains(c);
        return inSet != negate;
    };
    int p = textCursor().position();
    if (forward) {
        while (p < d->mirror().length() && !stopsAt(d->mirror().at(p)))
            ++p;
    } else {
        while (p > 0 && !stopsAt(d->mirror().at(p - 1)))
            --p;
    }
    QTextCursor cursor = textCursor();
    cursor.setPosition(p);
    setTextCursor(cursor);
}
