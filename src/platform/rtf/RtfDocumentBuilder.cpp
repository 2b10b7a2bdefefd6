#include "platform/rtf/RtfDocumentBuilder.h"

#include "platform/TextFormat.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFont>
#include <QImageReader>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

namespace rtf {

DocumentBuilder::DocumentBuilder(QTextCursor &cursor, const DocumentTables &tables)
    : m_cursor(cursor)
    , m_tables(tables)
    , m_startBlockEmpty(cursor.block().length() <= 1)
{
}

const QTextCharFormat &DocumentBuilder::charFormat(const CharProps &props)
{
    auto it = m_charFormats.find(props);
    if (it != m_charFormats.end())
        return *it;

    QTextCharFormat format;
    const int fontNumber = props.font < 0 ? m_tables.defaultFont : props.font;
    const auto font = m_tables.fonts.constFind(fontNumber);
    if (font != m_tables.fonts.constEnd() && !font->name.isEmpty())
        textformat::setFontName(format, font->name);
    format.setFontPointSize(props.halfPoints / 2.0);
    format.setFontWeight(props.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(props.italic);
    format.setFontUnderline(props.underline);
    format.setFontStrikeOut(props.strike);
    const QColor foreground = m_tables.colors.value(props.foreground);
    if (foreground.isValid())
        format.setForeground(foreground);
    const QColor background
        = m_tables.colors.value(props.highlight ? props.highlight : props.background);
    if (background.isValid())
        format.setBackground(background);
    if (props.vertical == VerticalPosition::Superscript)
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (props.vertical == VerticalPosition::Subscript)
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (props.offset != 0)
        format.setProperty(textformat::CharOffset, props.offset * 10); // half-points to twips
    if (props.link > 0 && props.link <= m_tables.links.size()) {
        format.setAnchor(true);
        format.setAnchorHref(m_tables.links.at(props.link - 1));
    }
    return *m_charFormats.insert(props, format);
}

QTextBlockFormat DocumentBuilder::blockFormat(const ParaProps &para, const ListMark &mark) const
{
    QTextBlockFormat format;
    format.setAlignment(para.alignment);
    format.setLeftMargin(textformat::twipsToPoints(para.leftIndent));
    format.setRightMargin(textformat::twipsToPoints(para.rightIndent));
    format.setTextIndent(textformat::twipsToPoints(para.firstIndent));
    format.setTopMargin(textformat::twipsToPoints(para.spaceBefore));
    format.setBottomMargin(textformat::twipsToPoints(para.spaceAfter));
    const bool single = para.lineSpacing == 0 || (para.lineMultiple && para.lineSpacing == 240);
    if (!single) {
        if (para.lineMultiple && para.lineSpacing > 0)
            format.setLineHeight(para.lineSpacing * 100.0 / 240.0,
                                 QTextBlockFormat::ProportionalHeight);
        else if (para.lineSpacing < 0)
            format.setLineHeight(textformat::twipsToPoints(-double(para.lineSpacing)),
                                 QTextBlockFormat::FixedHeight);
        else
            format.setLineHeight(textformat::twipsToPoints(para.lineSpacing),
                                 QTextBlockFormat::MinimumHeight);
    }
    if (!para.tabs.isEmpty())
        format.setTabPositions(para.tabs);
    if (mark.bullet)
        format.setProperty(textformat::ParagraphBullet, true);
    else if (!mark.numberText.isEmpty())
        format.setProperty(textformat::ParagraphNumberText, mark.numberText);
    return format;
}

void DocumentBuilder::applyBlockFormat(const ParaProps &para, const ListMark &mark)
{
    const QTextBlockFormat format = blockFormat(para, mark);
    if (m_cursor.blockFormat() != format)
        m_cursor.setBlockFormat(format);
    m_blockFormat = format;
}

void DocumentBuilder::openPendingParagraph(const QTextCharFormat &format)
{
    if (!m_paragraphPending)
        return;
    m_paragraphPending = false;
    m_cursor.insertBlock(m_blockFormat, format);
}

void DocumentBuilder::insertText(const QString &text, const CharProps &props)
{
    if (text.isEmpty())
        return;
    const QTextCharFormat &format = charFormat(props);
    openPendingParagraph(format);
    m_cursor.insertText(text, format);
}

void DocumentBuilder::insertImage(const QByteArray &data, const QSizeF &points,
                                  const CharProps &props, bool binary)
{
    QTextDocument *document = m_cursor.document();
    // Named by content, so that the same picture is held once.
    const QUrl name(
        QStringLiteral("rtf-image:")
        + QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex()));
    document->addResource(QTextDocument::ImageResource, name, data);

    QTextImageFormat format;
    format.merge(charFormat(props));
    format.setName(name.toString());
    format.setWidth(points.width());
    format.setHeight(points.height());
    if (binary)
        format.setProperty(textformat::PictureInBinary, true);
    openPendingParagraph(charFormat(props));
    m_cursor.insertImage(format);
}

void DocumentBuilder::endParagraph(const ParaProps &para, const ListMark &mark)
{
    // The separator of a paragraph the file ends is never a piece break nor
    // a line break of another kind, whatever the text before it was.
    openPendingParagraph(textformat::withoutSeparatorMarks(m_cursor.charFormat()));
    applyBlockFormat(para, mark);
    m_paragraphPending = true;
    ++m_paragraphsEnded;
}

void DocumentBuilder::finish(const ParaProps &para, const ListMark &mark)
{
    if (!m_paragraphPending && (m_paragraphsEnded > 0 || m_startBlockEmpty))
        applyBlockFormat(para, mark);
}

} // namespace rtf
