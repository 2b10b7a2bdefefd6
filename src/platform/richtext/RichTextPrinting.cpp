#include "platform/richtext/RichTextPrinting.h"

#include "platform/RuntimeError.h"
#include "platform/Twips.h"
#include "platform/richtext/RichTextLayout.h"

#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextImageFormat>
#include <QTextLayout>

#include <memory>

namespace {

[[noreturn]] void raisePrinterError(const QPrinter &printer, const QString &what)
{
    QString name = printer.outputFileName();
    if (name.isEmpty())
        name = printer.printerName();
    throw RuntimeError(ErrPrinter, QStringLiteral("%1: %2").arg(what, name));
}

// The pictures of copy are resources of source: they go along.
void copyPictures(const QTextDocument &source, QTextDocument &copy)
{
    for (QTextBlock block = copy.begin(); block.isValid(); block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const QUrl name(format.toImageFormat().name());
            copy.addResource(QTextDocument::ImageResource, name,
                             source.resource(QTextDocument::ImageResource, name));
        }
    }
}

// Positions [from, to) of source in a document of their own, laid out by the
// control's layout for the printer, lines as wide as the printable area.
std::unique_ptr<QTextDocument> printCopy(const QTextDocument &source, int from, int to,
                                         QPrinter &printer, qreal pageWidth)
{
    auto copy = std::make_unique<QTextDocument>();
    copy->setDocumentMargin(0);
    copy->setDefaultFont(source.defaultFont());
    QTextOption option = source.defaultTextOption();
    // Printed text always wraps, and tab stops keep their distance on paper.
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(option.tabStopDistance() * printer.logicalDpiX() * TwipsPerPixelX()
                              / 1440);
    copy->setDefaultTextOption(option);
    auto *layout = new RichTextLayout(copy.get());
    layout->setPaintDevice(&printer);
    layout->setViewWidth([pageWidth] { return pageWidth; });
    copy->setDocumentLayout(layout);

    QTextCursor range(const_cast<QTextDocument *>(&source));
    range.setPosition(from);
    range.setPosition(to, QTextCursor::KeepAnchor);
    QTextCursor(copy.get()).insertFragment(range.selection());
    copyPictures(source, *copy);
    return copy;
}

// Puts pages on the printer one after the other, each painted with the
// page's background first.
class PageSequence
{
public:
    PageSequence(QPrinter &printer, const PrintedPageLook &look)
        : m_printer(printer)
        , m_look(look)
    {
        const int resolution = printer.resolution();
        const QRectF paint = printer.pageLayout().paintRectPixels(resolution);
        m_size = paint.size();
        // The painter starts at the printable area's corner; the background
        // covers the whole sheet.
        m_sheet
            = QRectF(printer.pageLayout().fullRectPixels(resolution)).translated(-paint.topLeft());
        if (!m_painter.begin(&printer))
            raisePrinterError(printer, QStringLiteral("The printer could not start printing"));
        paintBackground();
    }

    QPainter &painter() { return m_painter; }
    qreal height() const { return m_size.height(); }

    void next()
    {
        if (!m_printer.newPage())
            raisePrinterError(m_printer, QStringLiteral("The printer could not start a page"));
        paintBackground();
    }

    void finish()
    {
        if (!m_painter.end())
            raisePrinterError(m_printer, QStringLiteral("The printer could not finish printing"));
    }

private:
    void paintBackground()
    {
        if (m_look.background.isValid())
            m_painter.fillRect(m_sheet, m_look.background);
        m_painter.setPen(m_look.text);
    }

    QPrinter &m_printer;
    const PrintedPageLook &m_look;
    QPainter m_painter;
    QSizeF m_size;
    QRectF m_sheet;
};

} // namespace

void printDocumentRange(const QTextDocument &document, int from, int to, QPrinter &printer,
                        const PrintedPageLook &look)
{
    const qreal pageWidth = printer.pageLayout().paintRectPixels(printer.resolution()).width();
    const std::unique_ptr<QTextDocument> copy = printCopy(document, from, to, printer, pageWidth);
    auto *layout = static_cast<RichTextLayout *>(copy->documentLayout());

    PageSequence pages(printer, look);
    QPainter &painter = pages.painter();
    qreal y = 0; // where the next paragraph starts on the page
    for (QTextBlock block = copy->begin(); block.isValid(); block = block.next()) {
        if (!block.isVisible())
            continue;
        const qreal height = layout->blockBoundingRect(block).height(); // lays it out
        const QTextLayout *lines = block.layout();
        qreal top = y; // where the paragraph's own top stands on this page
        for (int i = 0; i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            // A line that does not fit goes to the top of the next page, unless
            // it is the first there (a picture taller than the page).
            if (top + line.y() + line.height() > pages.height() && top + line.y() > 0) {
                pages.next();
                top = -line.y();
            }
            line.draw(&painter, QPointF(0, top));
            if (i == 0)
                layout->drawMarker(painter, block, QPointF(0, top), look.text);
            painter.setPen(look.text);
        }
        y = top + height;
    }
    pages.finish();
}
