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
    // Piece breaks are no part of the text: the search runs over the text
    // without them, in plain positions.
    TextMirror &mirror = d->mirror();
    const bool pieced = !mirror.pieceBreaks().empty();
    const QString withoutBreaks
        = pieced ? mirror.textWithoutPieceBreaks(from, to - from) : QString();
    const QStringView haystack = pieced ? QStringView(withoutBreaks) : mirror.view(from, to - from);
    const int plainFrom = mirror.toPlain(from);
    const int plainLength = mirror.length() - int(mirror.pieceBreaks().size());
    auto isWordCharacterAt
        = [&mirror](int plain) { return isWordCharacter(mirror.at(mirror.fromPlain(plain))); };
    for (qsizetype at = haystack.indexOf(needle, 0, cs); at >= 0;
         at = haystack.indexOf(needle, at + 1, cs)) {
        const int found = plainFrom + int(at);
        const int after = found + int(needle.size());
        if (options & rtfWholeWord) {
            const bool startsWord = found == 0 || !isWordCharacterAt(found - 1);
            const bool endsWord = after >= plainLength || !isWordCharacterAt(after);
            if (!startsWord || !endsWord)
                continue;
        }
        const int foundInDocument = mirror.fromPlain(found);
        if (!(options & rtfNoHighlight)) {
            QTextCursor cursor = textCursor();
            cursor.setPosition(foundInDocument);
            cursor.setPosition(mirror.endFromPlain(after), QTextCursor::KeepAnchor);
            setTextCursor(cursor);
        }
        return toPosition(foundInDocument);
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
    const TextMirror &mirror = d->mirror();
    // A piece break is no character: nothing stops there.
    auto stopsAt = [&](int position) {
        const QChar c = mirror.at(position);
        if (c == QLatin1Char('\n') && mirror.isPieceBreak(position))
            return false;
        const bool inSet = c == QLatin1Char('\n') ? breaks : characterSet.contains(c);
        return inSet != negate;
    };
    int p = textCursor().position();
    if (forward) {
        while (p < mirror.length() && !stopsAt(p))
            ++p;
    } else {
        while (p > 0 && !stopsAt(p - 1))
            --p;
    }
    QTextCursor cursor = textCursor();
    cursor.setPosition(p);
    setTextCursor(cursor);
}
