#pragma once

#include "platform/rtf/RtfReaderState.h"

#include <QHash>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

// Puts what the RTF reader reads into a QTextDocument at a cursor, in the
// formats textformat describes. Text comes in runs of one format; a paragraph
// mark is held back until more content follows, so that the last paragraph
// mark of the RTF ends the last paragraph instead of opening an empty one.
namespace rtf {

class DocumentBuilder
{
public:
    DocumentBuilder(QTextCursor &cursor, const DocumentTables &tables);

    void insertText(const QString &text, const CharProps &props);
    // A PNG or JPEG picture of the given size in points; binary when the RTF
    // held its bytes in binary.
    void insertImage(const QByteArray &data, const QSizeF &points, const CharProps &props,
                     bool binary);
    void endParagraph(const ParaProps &para, const ListMark &mark);
    // Gives the last paragraph its format when the RTF made or filled it.
    void finish(const ParaProps &para, const ListMark &mark);

private:
    const QTextCharFormat &charFormat(const CharProps &props);
    QTextBlockFormat blockFormat(const ParaProps &para, const ListMark &mark) const;
    void applyBlockFormat(const ParaProps &para, const ListMark &mark);
    void openPendingParagraph(const QTextCharFormat &format);

    QTextCursor &m_cursor;
    const DocumentTables &m_tables;
    QHash<CharProps, QTextCharFormat> m_charFormats;
    QTextBlockFormat m_blockFormat;
    bool m_paragraphPending = false;
    bool m_startBlockEmpty;
    int m_paragraphsEnded = 0;
};

} // namespace rtf
