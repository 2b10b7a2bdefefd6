#include "RichTextLayout.h"

#include "TextFormat.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextLayout>
#include <QTextObjectInterface>

#include <algorithm>
#include <climits>

namespace {

constexpr qreal MarkerGap = 6;         // pixels between a marker and its text
constexpr qreal DefaultMarkerIndent = 18; // points of text offset for a marker without a hanging indent

// Draws images held as document resources; sizes are in points.
class ImageObject : public QObject, public QTextObjectInterface
{
    Q_INTERFACES(QTextObjectInterface)
public:
    explicit ImageObject(RichTextLayout *layout) : QObject(layout), m_layout(layout) {}

    QSizeF intrinsicSize(QTextDocument *document, int, const QTextFormat &format) override
    {
        const QTextImageFormat image = format.toImageFormat();
        const qreal ppp = m_layout->pixelsPerPoint();
        if (image.hasProperty(QTextFormat::ImageWidth) && image.hasProperty(QTextFormat::ImageHeight))
            return QSizeF(image.width() * ppp, image.height() * ppp);
        const QImage img = imageOf(document, image);
        return img.isNull() ? QSizeF(16, 16) : QSizeF(img.size());
    }

    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *document, int,
                    const QTextFormat &format) override
    {
        const QImage img = imageOf(document, format.toImageFormat());
        if (img.isNull())
            painter->drawRect(rect.adjusted(0, 0, -1, -1));
        else
            painter->drawImage(rect, img);
    }

private:
    static QImage imageOf(QTextDocument *document, const QTextImageFormat &format)
    {
        const QVariant resource = document->resource(QTextDocument::ImageResource, QUrl(format.name()));
        if (resource.canConvert<QImage>())
            return resource.value<QImage>();
        if (resource.typeId() == QMetaType::QByteArray)
            return QImage::fromData(resource.toByteArray());
        return QImage();
    }

    RichTextLayout *m_layout;
};

bool isLeftAligned(Qt::Alignment alignment)
{
    const Qt::Alignment h = alignment & Qt::AlignHorizontal_Mask;
    return h == 0 || h == Qt::AlignLeft || h == Qt::AlignLeading || h == (Qt::AlignLeft | Qt::AlignAbsolute);
}

} // namespace

// Advances of the characters below U+0300 in one font; characters above, and
// control characters other than the tab, send the block to the real layout.
struct RichTextLayout::AdvanceTable
{
    static constexpr int Size = 0x300;
    float advance[Size];
};

RichTextLayout::RichTextLayout(QTextDocument *document)
    : QPlainTextDocumentLayout(document), m_viewWidth([] { return qreal(0); })
{
    m_blockCount = document->blockCount();
    registerHandler(QTextFormat::ImageObject, new ImageObject(this));
}

void RichTextLayout::setViewWidth(std::function<qreal()> viewWidth)
{
    m_viewWidth = std::move(viewWidth);
    invalidateLineCounts();
}

RichTextLayout::~RichTextLayout()
{
    qDeleteAll(m_advancesByFont);
}

qreal RichTextLayout::pixelsPerPoint() const
{
    const QPaintDevice *device = paintDevice();
    if (device)
        return device->logicalDpiX() / 72.0;
    const QScreen *screen = QGuiApplication::primaryScreen();
    return (screen ? screen->logicalDotsPerInchX() : 96.0) / 72.0;
}

QString RichTextLayout::markerText(const QTextBlock &block)
{
    const QTextBlockFormat format = block.blockFormat();
    if (format.boolProperty(textformat::ParagraphBullet))
        return QString(QChar(0x2022));
    return format.stringProperty(textformat::ParagraphNumberText);
}

bool RichTextLayout::needsOwnLayout(const QTextBlock &block) const
{
    // Formats never change once made, so the answer is kept per format.
    const int index = block.blockFormatIndex();
    if (index < 0)
        return false;
    if (size_t(index) < m_ownByFormat.size() && m_ownByFormat[index] >= 0)
        return m_ownByFormat[index];
    const QTextBlockFormat f = block.blockFormat();
    const bool own = !isLeftAligned(f.alignment()) || f.leftMargin() != 0 || f.rightMargin() != 0
        || f.textIndent() != 0 || f.topMargin() != 0 || !f.tabPositions().isEmpty()
        || !markerText(block).isEmpty();
    if (size_t(index) >= m_ownByFormat.size())
        m_ownByFormat.resize(index + 1, -1);
    m_ownByFormat[index] = own;
    return own;
}

qreal RichTextLayout::availableWidth() const
{
    const qreal width = textWidth();
    return (width > 0 ? width : qreal(INT_MAX)) - 2 * document()->documentMargin();
}

bool RichTextLayout::wraps() const
{
    return textWidth() > 0 && document()->defaultTextOption().wrapMode() != QTextOption::NoWrap;
}

qreal RichTextLayout::markerX(const QTextBlock &block) const
{
    const QTextBlockFormat f = block.blockFormat();
    const qreal ppp = pixelsPerPoint();
    return document()->documentMargin() + std::max<qreal>(0, (f.leftMargin() + f.textIndent()) * ppp);
}

// Where the first line and the other lines start, relative to the margin.
static void lineStarts(const QTextBlock &block, qreal ppp, qreal markerX, qreal margin,
                       qreal *first, qreal *rest)
{
    const QTextBlockFormat f = block.blockFormat();
    *rest = std::max<qreal>(0, f.leftMargin() * ppp);
    *first = std::max<qreal>(0, (f.leftMargin() + f.textIndent()) * ppp);
    const QString marker = RichTextLayout::markerText(block);
    if (!marker.isEmpty()) {
        const QFontMetricsF fm(block.charFormat().font());
        const qreal markerEnd = markerX - margin + fm.horizontalAdvance(marker) + MarkerGap;
        if (*rest > *first && *rest >= markerEnd)
            *first = *rest; // hanging indent: text lines up with the other lines
        else
            *first = std::max(markerEnd, *first + DefaultMarkerIndent * ppp);
    }
}

bool RichTextLayout::hasOwnLayout(const QTextBlock &block) const
{
    const QTextLayout *tl = block.layout();
    if (tl->lineCount() == 0)
        return false;
    const QTextBlockFormat f = block.blockFormat();
    if (tl->textOption().alignment() != (f.alignment() & Qt::AlignHorizontal_Mask))
        return false;
    qreal first = 0, rest = 0;
    const qreal margin = document()->documentMargin();
    lineStarts(block, pixelsPerPoint(), markerX(block), margin, &first, &rest);
    if (!qFuzzyCompare(tl->lineAt(0).x() + 1, margin + first + 1))
        return false;
    return tl->lineCount() < 2 || qFuzzyCompare(tl->lineAt(1).x() + 1, margin + rest + 1);
}

void RichTextLayout::layoutOwn(const QTextBlock &block) const
{
    const QTextBlockFormat f = block.blockFormat();
    const qreal ppp = pixelsPerPoint();
    const qreal margin = document()->documentMargin();
    QTextOption option = document()->defaultTextOption();
    if (!isLeftAligned(f.alignment()))
        option.setAlignment(f.alignment() & Qt::AlignHorizontal_Mask);
    const QList<QTextOption::Tab> tabs = f.tabPositions();
    if (!tabs.isEmpty()) {
        QList<QTextOption::Tab> pixelTabs;
        for (const QTextOption::Tab &tab : tabs)
            pixelTabs.append(QTextOption::Tab(tab.position * ppp, tab.type, tab.delimiter));
        option.setTabs(pixelTabs);
    }
    qreal first = 0, rest = 0;
    lineStarts(block, ppp, markerX(block), margin, &first, &rest);
    const qreal right = std::max<qreal>(0, f.rightMargin() * ppp);
    const qreal available = availableWidth();

    QTextLayout *tl = block.layout();
    tl->setTextOption(option);
    tl->beginLayout();
    qreal y = std::max<qreal>(0, f.topMargin() * ppp);
    qreal widest = 0;
    for (int i = 0;; ++i) {
        QTextLine line = tl->createLine();
        if (!line.isValid())
            break;
        const qreal start = i == 0 ? first : rest;
        line.setLeadingIncluded(true);
        line.setLineWidth(std::max<qreal>(1, available - start - right));
        line.setPosition(QPointF(margin + start, y));
        y += line.height();
        if (line.leading() < 0)
            y += qCeil(line.leading());
        widest = std::max(widest, margin + start + line.naturalTextWidth() + margin);
    }
    tl->endLayout();

    auto *self = const_cast<RichTextLayout *>(this);
    const int before = document()->lineCount();
    const_cast<QTextBlock &>(block).setLineCount(block.isVisible() ? tl->lineCount() : 0);
    bool sizeChanged = document()->lineCount() != before;
    if (widest > m_widest) {
        self->m_widest = widest;
        sizeChanged = true;
    }
    if (sizeChanged)
        emit self->documentSizeChanged(documentSize());
}

QSizeF RichTextLayout::documentSize() const
{
    const QSizeF base = QPlainTextDocumentLayout::documentSize();
    return QSizeF(std::max(base.width(), m_widest), base.height());
}

QRectF RichTextLayout::blockBoundingRect(const QTextBlock &block) const
{
    if (block.isValid()) {
        if (block.layout()->lineCount() == 0 || (needsOwnLayout(block) && !hasOwnLayout(block)))
            layoutOwn(block);
    }
    return QPlainTextDocumentLayout::blockBoundingRect(block);
}

void RichTextLayout::documentChanged(int from, int charsRemoved, int charsAdded)
{
    QTextDocument *doc = document();
    if (charsAdded == 0 && doc->characterCount() <= 1)
        invalidateLineCounts(); // cleared: format numbers start again
    const QTextBlock first = doc->findBlock(from);
    const QTextBlock last = doc->findBlock(std::max(0, from + charsRemoved + charsAdded - 1));
    m_countedBlocks = first.isValid() ? std::min(m_countedBlocks, first.blockNumber()) : 0;
    if (first.isValid() && first == last && first.length() > 0 && doc->blockCount() == m_blockCount) {
        // A change inside one paragraph (typing): lay it out again here. The
        // base layout would also look for a new widest line over the whole
        // document whenever this paragraph gets narrower.
        const qreal before = blockBoundingRect(first).height();
        layoutOwn(first);
        if (blockBoundingRect(first).height() == before)
            emit updateBlock(first);
        else
            emit update(QRectF(0., -doc->documentMargin(), 1000000000., 1000000000.));
    } else {
        m_blockCount = doc->blockCount();
        QPlainTextDocumentLayout::documentChanged(from, charsRemoved, charsAdded);
        if (doc->blockCount() == 1 || charsRemoved > charsAdded)
            m_widest = 0; // measured again as paragraphs are laid out
    }
    emit changeLaidOut();
}

void RichTextLayout::invalidateLineCounts()
{
    m_countedBlocks = 0;
    m_ownByFormat.clear();
    m_advancesByFormat.clear();
    qDeleteAll(m_advancesByFont);
    m_advancesByFont.clear();
}

const RichTextLayout::AdvanceTable &RichTextLayout::advancesFor(int formatIndex, const QTextBlock &block)
{
    if (formatIndex >= 0 && size_t(formatIndex) < m_advancesByFormat.size() && m_advancesByFormat[formatIndex])
        return *m_advancesByFormat[formatIndex];
    QTextCharFormat format;
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        if (it.fragment().charFormatIndex() == formatIndex) {
            format = it.fragment().charFormat();
            break;
        }
    }
    QFont font = format.font().resolve(document()->defaultFont());
    const QString key = font.key();
    AdvanceTable *table = m_advancesByFont.value(key);
    if (!table) {
        table = new AdvanceTable;
        const QFontMetricsF fm(font, paintDevice());
        for (int c = 0; c < AdvanceTable::Size; ++c)
            table->advance[c] = (c < 0x20 || (c >= 0x7F && c < 0xA0)) ? -1.0f : float(fm.horizontalAdvance(QChar(c)));
        const qreal tab = document()->defaultTextOption().tabStopDistance();
        table->advance[int('\t')] = float(tab > 0 ? tab : 80);
        m_advancesByFont.insert(key, table);
    }
    if (formatIndex >= 0) {
        if (size_t(formatIndex) >= m_advancesByFormat.size())
            m_advancesByFormat.resize(formatIndex + 1, nullptr);
        m_advancesByFormat[formatIndex] = table;
    }
    return *table;
}

bool RichTextLayout::fitsOnOneLine(const QTextBlock &block)
{
    if (needsOwnLayout(block))
        return false;
    const int start = block.position();
    const int length = block.length() - 1;
    if (!wraps()) {
        for (int i = 0; i < length; ++i)
            if (m_mirror.at(start + i) == QChar::LineSeparator)
                return false;
        return true;
    }
    // The sum of the characters' own advances, with room for kerning and
    // rounding, must stay inside the width.
    const qreal limit = availableWidth() * 0.98 - 2;
    qreal width = 0;
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const AdvanceTable &table = advancesFor(fragment.charFormatIndex(), block);
        const int end = fragment.position() + fragment.length();
        for (int p = fragment.position(); p < end; ++p) {
            const ushort c = m_mirror.at(p).unicode();
            if (c >= AdvanceTable::Size || table.advance[c] < 0)
                return false;
            width += table.advance[c];
        }
        if (width > limit)
            return false;
    }
    return true;
}

QTextLayout *RichTextLayout::laidOut(const QTextBlock &block)
{
    if (needsOwnLayout(block)) {
        if (!hasOwnLayout(block))
            layoutOwn(block);
    } else {
        ensureBlockLayout(block);
    }
    return block.layout();
}

void RichTextLayout::countLinesThrough(int blockNumber)
{
    if (m_countedWidth != textWidth()) {
        m_countedWidth = textWidth();
        m_countedBlocks = 0;
    }
    if (m_countedBlocks > blockNumber)
        return;
    for (QTextBlock block = document()->findBlockByNumber(m_countedBlocks);
         block.isValid() && block.blockNumber() <= blockNumber; block = block.next()) {
        if (block.layout()->lineCount() > 0 && !needsOwnLayout(block))
            ; // laid out at the current width: its count is exact
        else if (block.layout()->lineCount() == 0 && fitsOnOneLine(block))
            block.setLineCount(block.isVisible() ? 1 : 0);
        else
            laidOut(block);
        m_countedBlocks = block.blockNumber() + 1;
    }
}

// The line of layout that holds offset, by halving (QTextLayout looks
// through its lines one by one, which is slow for a paragraph of many lines).
static int lineIndexAt(const QTextLayout *layout, int offset)
{
    int low = 0, high = layout->lineCount() - 1;
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (layout->lineAt(middle).textStart() <= offset)
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

int RichTextLayout::lineOf(int documentPosition)
{
    const QTextBlock block = document()->findBlock(documentPosition);
    if (!block.isValid())
        return 0;
    countLinesThrough(block.blockNumber());
    int line = block.firstLineNumber();
    if (block.lineCount() > 1)
        line += lineIndexAt(laidOut(block), documentPosition - block.position());
    return line;
}

int RichTextLayout::lineStartOf(int documentPosition)
{
    const QTextBlock block = document()->findBlock(documentPosition);
    if (!block.isValid())
        return 0;
    countLinesThrough(block.blockNumber());
    if (block.lineCount() > 1) {
        const QTextLayout *layout = laidOut(block);
        return block.position() + layout->lineAt(lineIndexAt(layout, documentPosition - block.position())).textStart();
    }
    return block.position();
}
