#include "platform/richtext/RichTextLayout.h"

#include "platform/TextFormat.h"
#include "platform/Twips.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextLayout>
#include <QTextObjectInterface>

#include <algorithm>
#include <array>
#include <climits>

namespace {

constexpr qreal MarkerGap = 4.5; // points between a marker and its text
constexpr qreal DefaultMarkerIndent
    = 18; // points of text offset for a marker without a hanging indent

// Draws images held as document resources; sizes are in points.
class ImageObject : public QObject, public QTextObjectInterface
{
    Q_INTERFACES(QTextObjectInterface)
public:
    explicit ImageObject(RichTextLayout *layout)
        : QObject(layout)
        , m_layout(layout)
    {
    }

    QSizeF intrinsicSize(QTextDocument *document, int, const QTextFormat &format) override
    {
        const QTextImageFormat image = format.toImageFormat();
        const qreal ppp = m_layout->pixelsPerPoint();
        if (image.hasProperty(QTextFormat::ImageWidth)
            && image.hasProperty(QTextFormat::ImageHeight))
            return QSizeF(image.width() * ppp, image.height() * ppp);
        // A picture without a size of its own shows at one pixel of the image
        // a pixel of the screen, and prints at that size too.
        const qreal devicePixelsPerScreenPixel = ppp * 72 * TwipsPerPixelX() / 1440;
        const QImage img = imageOf(document, image);
        return (img.isNull() ? QSizeF(16, 16) : QSizeF(img.size())) * devicePixelsPerScreenPixel;
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
        const QVariant resource
            = document->resource(QTextDocument::ImageResource, QUrl(format.name()));
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
    return h == 0 || h == Qt::AlignLeft || h == Qt::AlignLeading
        || h == (Qt::AlignLeft | Qt::AlignAbsolute);
}

} // namespace

// Characters that never offer a line break next to letters and digits, so
// that plain words break only at spaces.
static bool isPlainWordCharacter(char16_t u)
{
    if (u < 0x80)
        return QChar::isLetterOrNumber(u) || QStringView(u".,;:'\"()&#%@*_").contains(QChar(u));
    return u >= 0xC0 && u <= 0xFF && u != 0xD7 && u != 0xF7;
}

// The same as a table of the first 256 characters (the others are not): it
// is asked of every character counted.
static const std::array<bool, 0x100> &plainWordCharacters()
{
    static const auto table = [] {
        std::array<bool, 0x100> t{};
        for (char16_t u = 0; u < 0x100; ++u)
            t[u] = isPlainWordCharacter(u);
        return t;
    }();
    return table;
}

// Widths of words in one font, measured once each: the line breaks of a
// paragraph of plain words follow from them without laying it out.
struct RichTextLayout::WordWidths
{
    explicit WordWidths(const QFont &font, const QPaintDevice *device)
        : metrics(font, device)
        , space(metrics.horizontalAdvance(QLatin1Char(' ')))
        , slantIsSynthesized(isSlantSynthesized(font))
        , uniformAdvance(knownUniformAdvance(font, device, metrics))
    {
        qreal widestOverhang = 0;
        for (int c = 0; c < 0x100; ++c) {
            overhang[c] = std::max<qreal>(0, -metrics.rightBearing(QChar(c)));
            widestOverhang = std::max(widestOverhang, overhang[c]);
        }
        // Lines of such a font can be counted in characters (see
        // countUniformLines).
        countsInCharacters = uniformAdvance > 0 && space == uniformAdvance
            && widestOverhang < uniformAdvance && !slantIsSynthesized;
        estimatedAdvance = uniformAdvance > 0 ? uniformAdvance : metrics.averageCharWidth();
    }

    // How far a word's last glyph reaches past its advance: a line must hold
    // that too.
    qreal overhangOf(QChar last) const
    {
        return last.unicode() < 0x100 ? overhang[last.unicode()] : 0;
    }

    qreal of(QStringView word)
    {
        if (uniformAdvance > 0)
            return word.size() * uniformAdvance;
        const QString key = QString::fromRawData(word.data(), word.size());
        const auto found = words.constFind(key);
        if (found != words.constEnd())
            return *found;
        if (words.size() > 100000)
            words.clear();
        const qreal width = metrics.horizontalAdvance(word.toString());
        words.insert(word.toString(), width);
        return width;
    }

    // A slant that the system draws by shearing an upright face (no italic
    // face is installed) makes glyphs overhang where the layout does not
    // count them, so words in such a font are left to the real layout.
    static bool isSlantSynthesized(const QFont &font)
    {
        if (font.style() == QFont::StyleNormal)
            return false;
        const QFontInfo matched(font);
        return QFontDatabase::font(matched.family(), matched.styleName(), 12).style()
            == QFont::StyleNormal;
    }

    // uniformAdvanceOf(metrics), worked out once in a run for each font and
    // resolution: it shapes every pair of word characters, and the widths
    // of words are measured afresh for each document opened.
    static qreal knownUniformAdvance(const QFont &font, const QPaintDevice *device,
                                     const QFontMetricsF &metrics)
    {
        static QHash<QString, qreal> known;
        const QString key
            = font.key() + QLatin1Char('@') + QString::number(device ? device->logicalDpiX() : 0);
        const auto found = known.constFind(key);
        if (found != known.constEnd())
            return *found;
        return *known.insert(key, uniformAdvanceOf(metrics));
    }

    // The advance that every plain word character has, in a font where all
    // of them have the same one and no pair of them is drawn otherwise
    // (kerned, or joined into a ligature); 0 in any other font. A word in
    // such a font is as wide as its characters times that advance.
    static qreal uniformAdvanceOf(const QFontMetricsF &metrics)
    {
        QString characters;
        for (char16_t c = 0x21; c < 0x100; ++c)
            if (isPlainWordCharacter(c))
                characters += QChar(c);
        const qreal advance = metrics.horizontalAdvance(characters.at(0));
        QString pairs;
        for (const QChar first : characters) {
            if (metrics.horizontalAdvance(first) != advance)
                return 0;
            for (const QChar second : characters)
                pairs += QString(first) + second;
        }
        return metrics.horizontalAdvance(pairs) == pairs.size() * advance ? advance : 0;
    }

    QFontMetricsF metrics;
    qreal space;
    bool slantIsSynthesized;
    qreal uniformAdvance;
    qreal overhang[0x100];
    bool countsInCharacters;
    qreal estimatedAdvance; // of a character, for widths of text not laid out
    QHash<QString, qreal> words;
};

RichTextLayout::RichTextLayout(QTextDocument *document)
    : QPlainTextDocumentLayout(document)
    , m_viewWidth([] { return qreal(0); })
    , m_reportSizeChange([this] { emit documentSizeChanged(documentSize()); })
{
    m_blockCount = document->blockCount();
    registerHandler(QTextFormat::ImageObject, new ImageObject(this));
    m_syncTimer.setSingleShot(true);
    m_syncTimer.setInterval(0);
    connect(&m_syncTimer, &QTimer::timeout, this, [this] { syncBlockLineCounts(); });
}

void RichTextLayout::setViewWidth(std::function<qreal()> viewWidth)
{
    m_viewWidth = std::move(viewWidth);
    m_widest = 0;
    forgetFormats();
}

RichTextLayout::~RichTextLayout() = default;

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
    if (textformat::continuesParagraph(block))
        return QString(); // the marker stands before the paragraph's first piece
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
    return document()->documentMargin()
        + std::max<qreal>(0, (f.leftMargin() + f.textIndent()) * ppp);
}

void RichTextLayout::drawMarker(QPainter &painter, const QTextBlock &block,
                                const QPointF &blockOrigin, const QColor &textColor) const
{
    const QString marker = markerText(block);
    if (marker.isEmpty() || !block.isVisible() || block.layout()->lineCount() == 0)
        return;
    QTextCursor first(block);
    first.movePosition(QTextCursor::NextCharacter);
    const QTextCharFormat format = first.charFormat();
    const QTextLine line = block.layout()->lineAt(0);
    painter.setFont(format.font().resolve(document()->defaultFont()));
    painter.setPen(format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color()
                                                                    : textColor);
    painter.drawText(blockOrigin + QPointF(markerX(block), line.y() + line.ascent()), marker);
}

// Where the first line and the other lines start, relative to the margin, on
// device (the screen when null).
static void lineStarts(const QTextBlock &block, qreal ppp, qreal markerX, qreal margin,
                       const QPaintDevice *device, qreal *first, qreal *rest)
{
    const QTextBlockFormat f = block.blockFormat();
    *rest = std::max<qreal>(0, f.leftMargin() * ppp);
    *first = textformat::continuesParagraph(block)
        ? *rest // a piece goes on with the paragraph's other lines
        : std::max<qreal>(0, (f.leftMargin() + f.textIndent()) * ppp);
    const QString marker = RichTextLayout::markerText(block);
    if (!marker.isEmpty()) {
        const QFont font = block.charFormat().font();
        const QFontMetricsF fm = device ? QFontMetricsF(font, device) : QFontMetricsF(font);
        const qreal markerEnd = markerX - margin + fm.horizontalAdvance(marker) + MarkerGap * ppp;
        if (*rest > *first && *rest >= markerEnd)
            *first = *rest; // hanging indent: text lines up with the other lines
        else
            *first = std::max(markerEnd, *first + DefaultMarkerIndent * ppp);
    }
}

qreal RichTextLayout::firstLineStart(const QTextBlock &block) const
{
    qreal first = 0, rest = 0;
    const qreal margin = document()->documentMargin();
    lineStarts(block, pixelsPerPoint(), markerX(block), margin, paintDevice(), &first, &rest);
    return margin + first;
}

qreal RichTextLayout::estimatedWidth(const QTextBlock &block) const
{
    const QTextBlock::iterator first = block.begin();
    if (first.atEnd())
        return 0;
    const WordWidths &widths = const_cast<RichTextLayout *>(this)->widthsFor(first.fragment());
    return (block.length() - 1) * widths.estimatedAdvance;
}

void RichTextLayout::reportSizeChangeLater() const
{
    if (m_sizeChangePending)
        return;
    m_sizeChangePending = true;
    QTimer::singleShot(0, this, [this] {
        m_sizeChangePending = false;
        m_reportSizeChange();
    });
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
    lineStarts(block, pixelsPerPoint(), markerX(block), margin, paintDevice(), &first, &rest);
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
    // Pieces side by side make one line, wider than any view: each is laid
    // out from the left, or their parts of the line would not meet.
    if (!isLeftAligned(f.alignment()) && !isSideBySidePiece(block))
        option.setAlignment(f.alignment() & Qt::AlignHorizontal_Mask);
    const QList<QTextOption::Tab> tabs = f.tabPositions();
    if (!tabs.isEmpty()) {
        QList<QTextOption::Tab> pixelTabs;
        for (const QTextOption::Tab &tab : tabs)
            pixelTabs.append(QTextOption::Tab(tab.position * ppp, tab.type, tab.delimiter));
        option.setTabs(pixelTabs);
    }
    qreal first = 0, rest = 0;
    lineStarts(block, ppp, markerX(block), margin, paintDevice(), &first, &rest);
    const qreal right = std::max<qreal>(0, f.rightMargin() * ppp);
    const qreal available = availableWidth();

    QTextLayout *tl = block.layout();
    tl->setTextOption(option);
    tl->beginLayout();
    qreal y = textformat::continuesParagraph(block) ? 0 : std::max<qreal>(0, f.topMargin() * ppp);
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

    const int before = document()->lineCount();
    const int lines = block.isVisible() ? linesEndingIn(block, tl->lineCount()) : 0;
    QTextBlock(block).setLineCount(lines);
    setCountedLines(block.blockNumber(), lines);
    bool sizeChanged = document()->lineCount() != before;
    if (isSideBySidePiece(block)) {
        pieceLaidOut(block, *tl); // the line's width is its pieces'
    } else if (widest > m_widest) {
        m_widest = widest;
        sizeChanged = true;
    }
    if (sizeChanged)
        m_reportSizeChange();
}

QSizeF RichTextLayout::documentSize() const
{
    // Wrapped lines never reach past the view; without wrapping the widest
    // line laid out sets the width to scroll over.
    const QSizeF base = QPlainTextDocumentLayout::documentSize();
    return QSizeF(wraps() ? base.width() : std::max(base.width(), m_widest), base.height());
}

QRectF RichTextLayout::blockBoundingRect(const QTextBlock &block) const
{
    if (block.isValid() && piecesSideBySide()) {
        // Asked about piece after piece (the base control finds a paragraph
        // by adding up the heights of those before it): a piece of a
        // paragraph measured lately is known without looking it up.
        int place = 0;
        if (Row row = cachedRowOf(block, &place))
            return pieceRect(block, std::move(row), place);
        if (isPiece(block)) {
            Row row = rowOf(block, &place);
            return pieceRect(block, std::move(row), place);
        }
    }
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
        forgetFormats(); // cleared: format numbers start again
    const QTextBlock first = doc->findBlock(from);
    const QTextBlock last = doc->findBlock(std::max(0, from + charsRemoved + charsAdded - 1));
    if (first.isValid() && first == last && first.length() > 0
        && doc->blockCount() == m_blockCount) {
        // A change inside one paragraph (typing): lay it out again here. The
        // base layout would also look for a new widest line over the whole
        // document whenever this paragraph gets narrower.
        const qreal before = blockBoundingRect(first).height();
        layoutOwn(first);
        // Side by side, the pieces after this one move along its line.
        if (blockBoundingRect(first).height() == before && !isSideBySidePiece(first))
            emit updateBlock(first);
        else
            emit update(QRectF(0., -doc->documentMargin(), 1000000000., 1000000000.));
        // The paragraph is counted again as it is laid out; the others keep
        // their counts.
    } else {
        forgetCountsFrom(first.isValid() ? first.blockNumber() : 0);
        forgetRows();
        m_blockCount = doc->blockCount();
        QPlainTextDocumentLayout::documentChanged(from, charsRemoved, charsAdded);
        if (doc->blockCount() == 1 || charsRemoved > charsAdded)
            m_widest = 0; // measured again as paragraphs are laid out
        // Qt counted a line in each paragraph from the change's start over
        // as many characters as changed.
        settlePieceLineCounts(from, from + charsRemoved + charsAdded);
    }
    emit changeLaidOut();
}

void RichTextLayout::invalidateLineCounts()
{
    forgetCountsFrom(0);
    forgetRows();
    settlePieceLineCounts(0, m_mirror.length());
}

void RichTextLayout::forgetCountsFrom(int blockNumber) const
{
    if (blockNumber < countedBlocks())
        m_firstLines.resize(blockNumber + 1);
    m_syncedBlocks = std::min(m_syncedBlocks, blockNumber);
}

void RichTextLayout::setCountedLines(int blockNumber, int lines) const
{
    if (blockNumber >= countedBlocks())
        return;
    const int change = lines - (m_firstLines[blockNumber + 1] - m_firstLines[blockNumber]);
    if (change != 0)
        for (auto it = m_firstLines.begin() + blockNumber + 1; it != m_firstLines.end(); ++it)
            *it += change;
}

// Qt keeps a line count of its own in each paragraph, which scrolling goes
// by. Those of paragraphs counted here follow a slice at a time while the
// program is idle: each one written updates the document's tree, which would
// take longer than the counting. A paragraph's layout is not asked for (that
// would make one for each): a laid-out paragraph's count here is its layout's
// already.
void RichTextLayout::syncBlockLineCounts()
{
    constexpr int Slice = 20000;
    const int end = std::min(countedBlocks(), m_syncedBlocks + Slice);
    const int before = document()->lineCount();
    QTextBlock block = document()->findBlockByNumber(m_syncedBlocks);
    for (int n = m_syncedBlocks; n < end && block.isValid(); ++n, block = block.next()) {
        const int lines = m_firstLines[n + 1] - m_firstLines[n];
        if (block.lineCount() != lines)
            block.setLineCount(lines);
    }
    m_syncedBlocks = end;
    if (document()->lineCount() != before)
        m_reportSizeChange();
    if (m_syncedBlocks < countedBlocks())
        m_syncTimer.start();
}

void RichTextLayout::forgetFormats()
{
    m_ownByFormat.clear();
    m_widthsByFormat.clear();
    m_widthsByFont.clear();
    invalidateLineCounts();
}

RichTextLayout::WordWidths &RichTextLayout::widthsFor(const QFont &font)
{
    std::unique_ptr<WordWidths> &owned = m_widthsByFont[font.key()];
    if (!owned)
        owned = std::make_unique<WordWidths>(font, paintDevice());
    return *owned;
}

RichTextLayout::WordWidths &RichTextLayout::widthsFor(const QTextFragment &fragment)
{
    const int index = fragment.charFormatIndex();
    if (index >= 0 && size_t(index) < m_widthsByFormat.size() && m_widthsByFormat[index])
        return *m_widthsByFormat[index];
    WordWidths *widths
        = &widthsFor(fragment.charFormat().font().resolve(document()->defaultFont()));
    if (index >= 0) {
        if (size_t(index) >= m_widthsByFormat.size())
            m_widthsByFormat.resize(index + 1, nullptr);
        m_widthsByFormat[index] = widths;
    }
    return *widths;
}

RichTextLayout::WordWidths *RichTextLayout::uniformWidths()
{
    const QList<QTextFormat> formats = document()->allFormats();
    WordWidths *uniform = nullptr;
    for (const QTextFormat &format : formats) {
        if (!format.isCharFormat())
            continue;
        WordWidths *widths
            = &widthsFor(format.toCharFormat().font().resolve(document()->defaultFont()));
        if (uniform && widths != uniform)
            return nullptr;
        uniform = widths;
    }
    return uniform;
}

// The lines of a paragraph of text in a font whose spaces and word
// characters all have one advance and overhang less than it
// (WordWidths::countsInCharacters), filled as quickLineCount fills them, or 0
// where the real layout must decide. A line's width is its number of
// characters times the advance, so each line is found by going straight to
// the furthest character that could fit and back to the end of a word,
// rather than word by word: words well inside a line need no look.
static int countUniformLines(const char16_t *text, int size, qreal advance, const qreal *overhang,
                             qreal limit, qreal guard)
{
    const std::array<bool, 0x100> &wordCharacter = plainWordCharacters();
    bool plain = true; // every character a space or a plain word character
    for (int i = 0; i < size; ++i) {
        const char16_t u = text[i];
        plain &= (u < 0x100) & (wordCharacter[u & 0xFF] | (u == u' '));
    }
    if (!plain)
        return 0;
    auto isWordEnd = [&](int at) { // after a word character, at a space or the end
        return text[at - 1] != u' ' && (at == size || text[at] == u' ');
    };
    // The width of a line that starts at lineStart and ends with the word
    // that ends at end, its last glyph's overhang included.
    auto width = [&](int lineStart, int end) {
        return (end - lineStart) * advance + overhang[text[end - 1]];
    };
    int lines = 1;
    int lineStart = 0; // the paragraph's start, then the start of each line's first word
    for (;;) {
        // The end of the first word on the line; none: the paragraph ends.
        int next = lineStart;
        while (next < size && text[next] == u' ')
            ++next;
        if (next == size)
            return lines;
        while (next < size && text[next] != u' ')
            ++next;
        // The last word end that fits, going back from the furthest reach.
        int end = std::min(size, lineStart + int(limit / advance));
        while (end > lineStart && !(isWordEnd(end) && width(lineStart, end) <= limit))
            --end;
        if (end < next)
            return 0; // not even the first word fits: the real layout decides
        // The end of the word after it, which goes to the next line.
        int wrapped = end;
        while (wrapped < size && text[wrapped] == u' ')
            ++wrapped;
        const int wrappedStart = wrapped;
        while (wrapped < size && text[wrapped] != u' ')
            ++wrapped;
        if (std::abs(width(lineStart, end) - limit) <= guard)
            return 0;
        if (wrappedStart == size)
            return lines;
        if (std::abs(width(lineStart, wrapped) - limit) <= guard
            || width(wrappedStart, wrapped) > limit - guard)
            return 0;
        ++lines;
        lineStart = wrappedStart;
    }
}

int RichTextLayout::quickLineCount(const QTextBlock &block, int start, WordWidths *uniform)
{
    if (needsOwnLayout(block))
        return 0;
    const int end = start + block.length() - 1;
    const QStringView text = m_mirror.view(start, end - start);
    // Greedy filling as the real layout does it: a line takes words while
    // they fit, the last one's overhanging glyph included; the spaces before
    // a word that goes to the next line hang at the end of this one. A
    // decision closer to the edge than Guard pixels is left to the real
    // layout.
    constexpr qreal Guard = 0.5;
    const qreal limit = availableWidth();
    int lines = 1;
    qreal line = 0, spaces = 0, word = 0, overhang = 0;
    bool lineHasText = false, inWord = false;
    auto endWord = [&] {
        const qreal candidate = line + spaces + word;
        if (std::abs(candidate + overhang - limit) <= Guard || word + overhang > limit - Guard)
            return false;
        if (candidate + overhang > limit) {
            if (!lineHasText)
                return false;
            ++lines;
            line = word;
        } else {
            line = candidate;
        }
        lineHasText = true;
        inWord = false;
        spaces = word = 0;
        return true;
    };
    // Adds the characters [from, to) of text, all in widths' font; false when
    // the real layout must decide.
    const std::array<bool, 0x100> &wordCharacter = plainWordCharacters();
    const char16_t *characters = text.utf16();
    auto add = [&](int from, int to, WordWidths &widths) {
        if (widths.slantIsSynthesized)
            return false;
        for (int p = from; p < to;) {
            if (characters[p] == u' ') {
                if (inWord && !endWord())
                    return false;
                spaces += widths.space;
                ++p;
                continue;
            }
            int q = p;
            while (q < to && characters[q] < 0x100 && wordCharacter[characters[q]])
                ++q;
            if (q == p)
                return false; // a character with rules of its own
            word += widths.of(text.mid(p, q - p));
            overhang = widths.overhangOf(QChar(characters[q - 1]));
            inWord = true;
            p = q;
        }
        return true;
    };
    if (uniform && uniform->countsInCharacters)
        return countUniformLines(characters, int(text.size()), uniform->uniformAdvance,
                                 uniform->overhang, limit, Guard);
    if (uniform) {
        if (!add(0, int(text.size()), *uniform))
            return 0;
    } else {
        // The fragments follow each other from the block's start: their
        // positions are counted along rather than looked up one by one.
        int fragmentStart = 0;
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int fragmentEnd = fragmentStart + fragment.length();
            if (!add(fragmentStart, fragmentEnd, widthsFor(fragment)))
                return 0;
            fragmentStart = fragmentEnd;
        }
    }
    if (inWord && !endWord())
        return 0;
    return lines;
}

QTextLayout *RichTextLayout::laidOut(const QTextBlock &block)
{
    if (isSideBySidePiece(block)) {
        if (block.layout()->lineCount() == 0)
            layoutOwn(block);
    } else if (needsOwnLayout(block)) {
        if (!hasOwnLayout(block))
            layoutOwn(block);
    } else if (block.layout()->lineCount() == 0) {
        ensureBlockLayout(block);
        setCountedLines(block.blockNumber(),
                        block.isVisible() ? linesEndingIn(block, block.layout()->lineCount()) : 0);
    }
    return block.layout();
}

void RichTextLayout::countLinesThrough(int blockNumber)
{
    if (m_countedWidth != textWidth()) {
        m_countedWidth = textWidth();
        forgetCountsFrom(0);
    }
    if (countedBlocks() > blockNumber)
        return;
    // With one font for all the text, no paragraph's runs need looking at.
    WordWidths *uniform = uniformWidths();
    // Block numbers and positions are counted along: looking each one up
    // walks the document's tree.
    QTextBlock block = document()->findBlockByNumber(countedBlocks());
    int position = block.isValid() ? block.position() : 0;
    for (; block.isValid() && countedBlocks() <= blockNumber; block = block.next()) {
        const int length = block.length();
        // Counted from the text when it can be, which is exact: asking for a
        // paragraph's layout makes one.
        int lines = 0;
        if (!wraps())
            lines = unwrappedLinesEndingIn(block, position);
        else if ((lines = quickLineCount(block, position, uniform)) == 0)
            lines = laidOut(block)->lineCount();
        m_firstLines.push_back(m_firstLines.back() + (block.isVisible() ? lines : 0));
        position += length;
    }
    if (m_syncedBlocks < countedBlocks())
        m_syncTimer.start();
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
    const int number = block.blockNumber();
    countLinesThrough(number);
    int line = m_firstLines[number];
    if (!wraps()) // the line breaks before it in its paragraph or piece
        line += int(m_mirror.view(block.position(), documentPosition - block.position())
                        .count(QChar::LineSeparator));
    else if (m_firstLines[number + 1] - line > 1)
        line += lineIndexAt(laidOut(block), documentPosition - block.position());
    return line;
}

int RichTextLayout::lineStartOf(int documentPosition)
{
    QTextBlock block = document()->findBlock(documentPosition);
    if (!block.isValid())
        return 0;
    if (wraps()) {
        const int number = block.blockNumber();
        countLinesThrough(number);
        if (m_firstLines[number + 1] - m_firstLines[number] < 2)
            return block.position();
        const QTextLayout *layout = laidOut(block);
        return block.position()
            + layout->lineAt(lineIndexAt(layout, documentPosition - block.position())).textStart();
    }
    // Unwrapped, a line starts after a line break, or where its paragraph
    // starts: back past the pieces it goes on in.
    if (isPiece(block)) {
        const Row row = rowOf(block);
        if (row->breaks == 0)
            return document()->findBlockByNumber(row->first).position();
    }
    for (;;) {
        const int start = block.position();
        const qsizetype lineBreak
            = m_mirror.view(start, documentPosition - start).lastIndexOf(QChar::LineSeparator);
        if (lineBreak >= 0)
            return start + int(lineBreak) + 1;
        if (!block.previous().isValid() || !m_mirror.isPieceBreak(start - 1))
            return start;
        block = block.previous();
        documentPosition = start - 1;
    }
}
