#pragma once

#include "platform/richtext/PlainTextCodec.h"

#include <QPlainTextEdit>
#include <QTextCharFormat>

#include <memory>
#include <vector>

class PlainTextReading;
class QPrinter;
class RichTextLayout;

// The text between start and start + length replaced by text; positions as
// the control's (a line break counts as CR and LF).
struct TextReplacement
{
    int start = 0;
    int length = 0;
    QString text;
};

// The rich-text edit control that holds a document.
//
// Positions are 0-based indices into the plain text in which a line break
// counts as two characters, CR and LF; every member that takes or returns a
// position works in that space, and positions out of range are clamped.
// Formats are kept as textformat.h describes. Selection-format members act on
// the selection, or on the insertion point when nothing is selected; reading
// one gives the format at the start of the selection.
//
// The events (signals) are raised synchronously, also for the program's own
// changes: Change for any change of the contents or their format, SelChange
// for any change of SelStart or SelLength.
class RichTextBox : public QPlainTextEdit
{
    Q_OBJECT
public:
    enum FileType { RichText = 0, PlainText = 1 };
    enum FindOption { rtfWholeWord = 2, rtfMatchCase = 4, rtfNoHighlight = 8 };
    enum Alignment { rtfLeft = 0, rtfRight = 1, rtfCenter = 2 };
    enum MouseButton { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };
    enum ShiftState { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };

    // The right margin that stops wrapping.
    static constexpr float NoWrapRightMargin = 1.2e9f;

    explicit RichTextBox(QWidget *parent = nullptr);
    ~RichTextBox() override;

    // Contents. Text reads with CR LF between paragraphs and a vertical tab
    // for a line break inside a paragraph; writing it replaces everything,
    // unformatted (the insertion-point format is kept), and accepts CR LF, LF
    // or CR line breaks.
    QString Text() const;
    void setText(const QString &text);
    // Length of Text, without building it.
    int textLength() const;
    QByteArray TextRTF() const;
    void setTextRTF(const QByteArray &rtf);
    // Takes source's whole contents, formats and plain-text format at once,
    // as setTextRTF(source.TextRTF()) would give them, and leaves source
    // empty. The caret goes to the start.
    void moveContentsFrom(RichTextBox &source);

    // Selection.
    int SelStart() const;
    void setSelStart(int position);
    int SelLength() const;
    void setSelLength(int length);
    QString SelText() const;
    void setSelText(const QString &text);
    QByteArray SelRTF() const;
    void setSelRTF(const QByteArray &rtf);

    // Character format of the selection.
    bool SelBold() const;
    void setSelBold(bool on);
    bool SelItalic() const;
    void setSelItalic(bool on);
    bool SelStrikeThru() const;
    void setSelStrikeThru(bool on);
    bool SelUnderline() const;
    void setSelUnderline(bool on);
    qint32 SelColor() const; // packed RGB
    void setSelColor(qint32 packedRgb);
    QString SelFontName() const;
    void setSelFontName(const QString &name);
    float SelFontSize() const; // points
    void setSelFontSize(float points);
    int SelCharOffset() const; // twips, positive raises the text
    void setSelCharOffset(int twips);

    // Paragraph format of the selection. Indents are in twips: SelIndent is
    // where the first line starts, SelHangingIndent how far the other lines
    // start to the right of it, SelRightIndent the distance from the right
    // edge. SelTabs are tab stops in twips from the left edge.
    int SelAlignment() const; // Alignment
    void setSelAlignment(int alignment);
    bool SelBullet() const;
    void setSelBullet(bool on);
    int SelIndent() const;
    void setSelIndent(int twips);
    int SelHangingIndent() const;
    void setSelHangingIndent(int twips);
    int SelRightIndent() const;
    void setSelRightIndent(int twips);
    int SelTabCount() const;
    void setSelTabCount(int count);
    int SelTabs(int index) const;
    void setSelTabs(int index, int twips);

    // Whole-control appearance.
    qint32 BackColor() const;
    void setBackColor(qint32 packedRgb);
    QString FontName() const;
    void setFontName(const QString &name);
    // Wrap width in twips: 0 wraps at the control's width; NoWrapRightMargin
    // (or any width wider than the text) does not wrap.
    float RightMargin() const;
    void setRightMargin(float twips);

    // Searches for text between start and end (end excluded) and selects what
    // it finds; returns its position or -1. With start and end both omitted
    // (-1) it searches the selection, or everything when nothing is selected;
    // with end omitted from start to the end. Options: rtfWholeWord,
    // rtfMatchCase, rtfNoHighlight (found, but not selected).
    int Find(const QString &text, int start = -1, int end = -1, int options = 0);
    // The characters that make up words for rtfWholeWord: letters, digits and
    // the underscore.
    static bool isWordCharacter(QChar c);

    // Makes the replacements one after the other, each at positions of the
    // text as the ones before it left it, each text in the format of the last
    // character it replaces (as setSelText over that selection would), all as
    // one edit: one step for undo, one Change, one relayout. Afterwards
    // nothing is selected and the caret stands after the last replacement's
    // text; with no replacements nothing changes.
    void replaceInTurn(const std::vector<TextReplacement> &replacements);

    // The 0-based line that holds position; with wrapping, lines are the lines
    // as displayed. The end of the text belongs to the last line, and both
    // characters of a line break to the line they end.
    int GetLineFromChar(int position) const;
    // The position where the line that holds position starts.
    int GetLineStartFromChar(int position) const;

    // Moves the caret (forward or back) to just before (forward) or just after
    // (back) the nearest character of characterSet, or, with negate, of any
    // character not in it; to the end or to 0 when there is none. Nothing is
    // selected afterwards.
    void UpTo(const QString &characterSet, bool forward = true, bool negate = false);

    // Replaces the contents with a file, or writes them to one (replacing an
    // existing file only once the new contents are safely written). Failures
    // raise RuntimeError. Plain text is read in whatever encoding and line
    // breaks the file has (see decodePlainText) and written back in those
    // of the last plain-text file loaded.
    void LoadFile(const QString &path, int fileType = RichText);
    void SaveFile(const QString &path, int fileType = RichText);

    // Replaces the contents with the plain-text file being read, in the
    // insertion-point format of formatSource and with the file's encoding and
    // line breaks, as formatSource.LoadFile and moveContentsFrom(formatSource)
    // would; the caret goes to the start. The text is taken in while the rest
    // of the file is decoded. What the reading raises before it hands anything
    // over is raised before anything changes; should it fail later, the
    // contents are left as they were.
    void showPlainTextFile(PlainTextReading &file, const RichTextBox &formatSource);

    // The encoding and line breaks plain text is written with.
    PlainTextFormat plainTextFormat() const;
    void setPlainTextFormat(const PlainTextFormat &format);

    // Prints the selection, or everything when nothing is selected, page by
    // page within the printer's margins (see printDocumentRange). Raises
    // RuntimeError when the printer fails.
    void SelPrint(QPrinter *printer);

    // The position space of the control, for code that works on the document
    // directly: a document position to a control position and back.
    int toPosition(int documentPosition) const;
    int toDocumentPosition(int position) const;

signals:
    void Change();
    void SelChange();
    void KeyUp(int keyCode, int shift);
    void MouseDown(int button, int shift, float x, float y);
    void MouseUp(int button, int shift, float x, float y);
    void OLEDragDrop(const QStringList &files);

protected:
    bool event(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
    QMimeData *createMimeDataFromSelection() const override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

private:
    class Private;
    std::unique_ptr<Private> d;
};
