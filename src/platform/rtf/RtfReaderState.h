#pragma once

#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <QTextOption>

// What the RTF reader knows at a point of the file: the tables of the header
// and the character and paragraph properties in RTF's own terms, which
// RtfDocumentBuilder turns into the control's formats.
namespace rtf {

struct FontEntry
{
    QString name;
    int codePage = 0; // 0: the document's
    bool symbol = false;
};

struct DocumentTables
{
    int codePage = 1252;
    int defaultFont = 0;
    QHash<int, FontEntry> fonts;
    QList<QColor> colors; // invalid: the automatic colour
    QStringList links;    // hyperlink targets; CharProps::link is an index + 1
};

enum class VerticalPosition : quint8 { Normal, Superscript, Subscript };

struct CharProps
{
    int font = -1; // RTF font number; -1: the document's default font
    int halfPoints = 24;
    int foreground = 0; // colour-table index; 0: automatic
    int background = 0; // \cb
    int highlight = 0;  // \highlight, wins over \cb
    int offset = 0;     // \up (positive) or \dn, half-points
    int link = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    VerticalPosition vertical = VerticalPosition::Normal;

    bool operator==(const CharProps &o) const
    {
        return font == o.font && halfPoints == o.halfPoints && foreground == o.foreground
            && background == o.background && highlight == o.highlight && offset == o.offset
            && link == o.link && bold == o.bold && italic == o.italic && underline == o.underline
            && strike == o.strike && hidden == o.hidden && vertical == o.vertical;
    }
    bool operator!=(const CharProps &o) const { return !(*this == o); }
};

inline size_t qHash(const CharProps &p, size_t seed = 0)
{
    return qHashMulti(seed, p.font, p.halfPoints, p.foreground, p.background, p.highlight, p.offset,
                      p.link, p.bold, p.italic, p.underline, p.strike, int(p.vertical));
}

enum class ListKind : quint8 { None, Bullet, Numbered };

struct ParaProps
{
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftIndent = 0; // twips
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int lineSpacing = 0;       // \sl: twips, negative for exactly; 0: single
    bool lineMultiple = false; // \slmult1: \sl is in 240ths of a line
    QList<QTextOption::Tab> tabs;
    QTextOption::TabType nextTabType = QTextOption::LeftTab;
    ListKind list = ListKind::None;

    bool operator==(const ParaProps &o) const
    {
        return alignment == o.alignment && leftIndent == o.leftIndent
            && rightIndent == o.rightIndent && firstIndent == o.firstIndent
            && spaceBefore == o.spaceBefore && spaceAfter == o.spaceAfter
            && lineSpacing == o.lineSpacing && lineMultiple == o.lineMultiple && tabs == o.tabs
            && list == o.list;
    }
};

// The list mark of one paragraph: a bullet, or the text of its number.
struct ListMark
{
    bool bullet = false;
    QString numberText;

    bool operator==(const ListMark &o) const
    {
        return bullet == o.bullet && numberText == o.numberText;
    }
};

} // namespace rtf
