// Many replacements made as one edit of the rich-text control.
#include "platform/richtext/RichTextBox.h"

#include "platform/richtext/RichTextBoxPrivate.h"

#include <QScopeGuard>

namespace {

// Control positions to document positions for positions that follow each
// other closely: within a paragraph, a control position is its document
// position plus an offset (the number of the paragraph, less twice the piece
// breaks before it), so the offset of the last position found gives the
// first guess for the next.
class NearbyPositions
{
public:
    NearbyPositions(const RichTextBox &box, const QTextDocument &document, const TextMirror &mirror)
        : m_box(box)
        , m_document(document)
        , m_mirror(mirror)
    {
    }

    int toDocumentPosition(int position)
    {
        for (int tries = 0; tries < 3; ++tries) {
            const int guess = position - m_offset;
            if (guess < 0 || guess >= m_document.characterCount())
                break;
            const int offset = offsetOf(m_document.findBlock(guess));
            if (offset == m_offset)
                return guess;
            m_offset = offset;
        }
        // A position between CR and LF, or far from the last one.
        const int found = m_box.toDocumentPosition(position);
        m_offset = offsetOf(m_document.findBlock(found));
        return found;
    }

private:
    int offsetOf(const QTextBlock &block) const
    {
        return block.blockNumber() - 2 * m_mirror.pieceBreaksBefore(block.position());
    }

    const RichTextBox &m_box;
    const QTextDocument &m_document;
    const TextMirror &m_mirror;
    int m_offset = 0;
};

} // namespace

void RichTextBox::replaceInTurn(const std::vector<TextReplacement> &replacements)
{
    if (replacements.empty())
        return;
    d->flush();
    // Inside one edit block the document takes every change at once, but
    // tells of them (and is laid out, and raises Change) only once, at its
    // end, for the whole stretch they cover; Undo takes them back together.
    // The plain-text copy takes each change here, where it is known, rather
    // than copying that whole stretch afterwards.
    NearbyPositions positions(*this, *d->document, d->mirror());
    QTextCursor cursor(d->document);
    {
        const QScopedValueRollback keepMirror(d->mirrorKeptByCaller, true);
        cursor.beginEditBlock();
        // Also when a replacement fails half-way: an edit block left open
        // would hold back the notice of every later change, and the copy must
        // match what the document took.
        const auto finish = qScopeGuard([this, &cursor] {
            cursor.endEditBlock();
            if (d->mirror().length() != d->documentLength())
                d->resyncMirror();
        });
        for (const TextReplacement &replacement : replacements) {
            const int from = positions.toDocumentPosition(replacement.start);
            const int to = positions.toDocumentPosition(replacement.start + replacement.length);
            const QString text = Private::toParagraphs(replacement.text);
            cursor.setPosition(from);
            cursor.setPosition(to, QTextCursor::KeepAnchor);
            cursor.insertText(text, Private::insertionFormat(cursor));
            d->mirror().replace(
                from, to - from,
                QString(text).replace(QChar::ParagraphSeparator, QLatin1Char('\n')));
        }
    }
    setTextCursor(cursor);
}
