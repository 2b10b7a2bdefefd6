#pragma once

#include <QColor>

class QPrinter;
class QTextDocument;

// How printed pages look around the text.
struct PrintedPageLook
{
    // Painted over each whole page; invalid for none (white paper).
    QColor background;
    // Text that has no colour of its own.
    QColor text = Qt::black;
};

// Prints document positions [from, to) with their formats, laid out as the
// control lays them out (alignment, indents, tab stops, bullet and number
// markers, pictures) but at the printer's resolution and within the page's
// margins. Lines wrap at the printable width; a paragraph that does not fit on
// a page goes on on the next one between two of its lines. Raises
// RuntimeError ErrPrinter when the printer cannot start the print or a page.
void printDocumentRange(const QTextDocument &document, int from, int to, QPrinter &printer,
                        const PrintedPageLook &look);
