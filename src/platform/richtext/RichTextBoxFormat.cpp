// The rich-text control's character, paragraph and whole-control formats.
#include "platform/richtext/RichTextBox.h"

#include "platform/richtext/RichTextBoxPrivate.h"

// ---- character format ---------------------------------------------------

bool RichTextBox::SelBold() const
{
    return d->selectionCharFormat().fontWeight() >= QFont::DemiBold;
}

void RichTextBox::setSelBold(bool on)
{
    QTextCharFormat format;
    format.setFontWeight(on ? QFont::Bold : QFont::Normal);
    d->mergeSelectionFormat(format);
}

bool RichTextBox::SelItalic() const { return d->selectionCharFormat().fontItalic(); }

void RichTextBox::setSelItalic(bool on)
{
    QTextCharFormat format;
    format.setFontItalic(on);
    d->mergeSelectionFormat(format);
}

bool RichTextBox::SelStrikeThru() const { return d->selectionCharFormat().fontStrikeOut(); }

void RichTextBox::setSelStrikeThru(bool on)
{
    QTextCharFormat format;
    format.setFontStrikeOut(on);
    d->mergeSelectionFormat(format);
}

bool RichTextBox::SelUnderline() const { return d->selectionCharFormat().fontUnderline(); }

void RichTextBox::setSelUnderline(bool on)
{
    QTextCharFormat format;
    format.setFontUnderline(on);
    d->mergeSelectionFormat(format);
}

qint32 RichTextBox::SelColor() const
{
    const QTextCharFormat format = d->selectionCharFormat();
    if (format.hasProperty(QTextFormat::ForegroundBrush))
        return textformat::packedFromColor(format.foreground().color());
    return textformat::packedFromColor(palette().text().color());
}

void RichTextBox::setSelColor(qint32 packedRgb)
{
    QTextCharFormat format;
    format.setForeground(textformat::colorFromPacked(packedRgb));
    d->mergeSelectionFormat(format);
}

QString RichTextBox::SelFontName() const
{
    const QString name = textformat::fontName(d->selectionCharFormat());
    return name.isEmpty() ? FontName() : name;
}

void RichTextBox::setSelFontName(const QString &name)
{
    QTextCharFormat format;
    textformat::setFontName(format, name);
    d->mergeSelectionFormat(format);
}

float RichTextBox::SelFontSize() const
{
    const qreal size = d->selectionCharFormat().fontPointSize();
    return float(size > 0 ? size : d->document->defaultFont().pointSizeF());
}

void RichTextBox::setSelFontSize(float points)
{
    if (!(points > 0))
        return;
    QTextCharFormat format;
    format.setFontPointSize(points);
    d->mergeSelectionFormat(format);
}

int RichTextBox::SelCharOffset() const
{
    return d->selectionCharFormat().intProperty(textformat::CharOffset);
}

void RichTextBox::setSelCharOffset(int twips)
{
    QTextCharFormat format;
    format.setProperty(textformat::CharOffset, twips);
    format.setVerticalAlignment(twips > 0       ? QTextCharFormat::AlignSuperScript
                                    : twips < 0 ? QTextCharFormat::AlignSubScript
                                                : QTextCharFormat::AlignNormal);
    d->mergeSelectionFormat(format);
}

// ---- paragraph format ---------------------------------------------------

int RichTextBox::SelAlignment() const
{
    const Qt::Alignment a = d->selectionBlockFormat().alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignRight)
        return rtfRight;
    if (a & Qt::AlignHCenter)
        return rtfCenter;
    return rtfLeft;
}

void RichTextBox::setSelAlignment(int alignment)
{
    QTextBlockFormat format;
    format.setAlignment(alignment == rtfRight        ? Qt::AlignRight
                            : alignment == rtfCenter ? Qt::AlignHCenter
                                                     : Qt::AlignLeft);
    d->mergeSelectionBlockFormat(format);
}

bool RichTextBox::SelBullet() const
{
    return d->selectionBlockFormat().boolProperty(textformat::ParagraphBullet);
}

void RichTextBox::setSelBullet(bool on)
{
    QTextBlockFormat format;
    format.setProperty(textformat::ParagraphBullet, on);
    d->mergeSelectionBlockFormat(format);
}

int RichTextBox::SelIndent() const
{
    const QTextBlockFormat f = d->selectionBlockFormat();
    return qRound(textformat::pointsToTwips(f.leftMargin() + f.textIndent()));
}

void RichTextBox::setSelIndent(int twips)
{
    // The first line moves to twips; the other lines keep their distance to it.
    const int hanging = SelHangingIndent();
    QTextBlockFormat format;
    format.setLeftMargin(textformat::twipsToPoints(twips + hanging));
    format.setTextIndent(textformat::twipsToPoints(-hanging));
    d->mergeSelectionBlockFormat(format);
}

int RichTextBox::SelHangingIndent() const
{
    return qRound(textformat::pointsToTwips(-d->selectionBlockFormat().textIndent()));
}

void RichTextBox::setSelHangingIndent(int twips)
{
    const int first = SelIndent();
    QTextBlockFormat format;
    format.setLeftMargin(textformat::twipsToPoints(first + twips));
    format.setTextIndent(textformat::twipsToPoints(-twips));
    d->mergeSelectionBlockFormat(format);
}

int RichTextBox::SelRightIndent() const
{
    return qRound(textformat::pointsToTwips(d->selectionBlockFormat().rightMargin()));
}

void RichTextBox::setSelRightIndent(int twips)
{
    QTextBlockFormat format;
    format.setRightMargin(textformat::twipsToPoints(twips));
    d->mergeSelectionBlockFormat(format);
}

int RichTextBox::SelTabCount() const
{
    return int(d->selectionBlockFormat().tabPositions().size());
}

void RichTextBox::setSelTabCount(int count)
{
    QList<QTextOption::Tab> tabs = d->selectionBlockFormat().tabPositions();
    count = std::clamp(count, 0, 32);
    while (tabs.size() > count)
        tabs.removeLast();
    while (tabs.size() < count) // new stops every half inch after the last
        tabs.append(QTextOption::Tab((tabs.isEmpty() ? 0 : tabs.last().position) + 36,
                                     QTextOption::LeftTab));
    QTextBlockFormat format;
    format.setTabPositions(tabs);
    d->mergeSelectionBlockFormat(format);
}

int RichTextBox::SelTabs(int index) const
{
    const QList<QTextOption::Tab> tabs = d->selectionBlockFormat().tabPositions();
    if (index < 0 || index >= tabs.size())
        return 0;
    return qRound(textformat::pointsToTwips(tabs.at(index).position));
}

void RichTextBox::setSelTabs(int index, int twips)
{
    QList<QTextOption::Tab> tabs = d->selectionBlockFormat().tabPositions();
    if (index < 0 || index >= tabs.size())
        return;
    tabs[index].position = textformat::twipsToPoints(twips);
    std::sort(tabs.begin(), tabs.end(), [](const QTextOption::Tab &a, const QTextOption::Tab &b) {
        return a.position < b.position;
    });
    QTextBlockFormat format;
    format.setTabPositions(tabs);
    d->mergeSelectionBlockFormat(format);
}

// ---- appearance ---------------------------------------------------------

qint32 RichTextBox::BackColor() const
{
    return textformat::packedFromColor(palette().color(QPalette::Base));
}

void RichTextBox::setBackColor(qint32 packedRgb)
{
    QPalette p = palette();
    p.setColor(QPalette::Base, textformat::colorFromPacked(packedRgb));
    setPalette(p);
    // White is the paper's own colour: only another one is printed.
    d->backColorSet = textformat::colorFromPacked(packedRgb) != QColor(Qt::white);
}

QString RichTextBox::FontName() const { return font().family(); }

void RichTextBox::setFontName(const QString &name)
{
    QFont f = font();
    f.setFamily(name);
    setFont(f);
}

float RichTextBox::RightMargin() const { return d->rightMargin; }

void RichTextBox::setRightMargin(float twips)
{
    d->rightMargin = twips;
    d->applyRightMargin();
}
