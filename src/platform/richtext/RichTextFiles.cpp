#include "platform/richtext/RichTextFiles.h"

#include <QPrinter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

void printDocumentRange(const QTextDocument &document, int from, int to, QPrinter *printer)
{
    QTextCursor cursor(const_cast<QTextDocument *>(&document));
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    QTextDocument copy;
    copy.setDefaultFont(document.defaultFont());
    QTextCursor(&copy).insertFragment(cursor.selection());
    copy.print(printer);
}
