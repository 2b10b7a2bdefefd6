#include "document/PrintCopy.h"

#include "app/state/modMainModule.h"
#include "platform/TextFormat.h"
#include "platform/richtext/RichTextBox.h"

#include <QScopeGuard>

namespace {

const QString TitleFontName = QStringLiteral("MS Sans Serif");
constexpr float TitleFontSize = 10;
const QString LineBreak = QStringLiteral("\r\n");

// The caret to the end of the text, nothing selected.
void caretToEnd(RichTextBox &box)
{
    box.setSelStart(box.textLength());
    box.setSelLength(0);
}

void composeTitle(RichTextBox &buffer)
{
    buffer.setText(QString());
    buffer.setSelStart(0);
    buffer.setSelLength(0);
    buffer.setSelAlignment(RichTextBox::rtfCenter);
    buffer.setSelColor(0);
    buffer.setBackColor(textformat::packedFromColor(Qt::white));
    buffer.setSelBold(true);
    // Emptying Buffer keeps the format of its caret, which the last use left
    // (a plain-text file loaded there takes the default style): the title
    // takes none of its other effects.
    buffer.setSelItalic(false);
    buffer.setSelUnderline(false);
    buffer.setSelStrikeThru(false);
    buffer.setSelCharOffset(0);
    buffer.setSelFontName(TitleFontName);
    buffer.setSelFontSize(TitleFontSize);
    buffer.setSelText(App.FileTitle + LineBreak);
    caretToEnd(buffer);
    buffer.setSelAlignment(App.DefaultAlignment);
    buffer.setSelText(LineBreak);
    caretToEnd(buffer);
}

void addWholeDocument(RichTextBox &buffer, RichTextBox &editor)
{
    const int caret = editor.SelStart();
    editor.setSelStart(0);
    editor.setSelLength(0);
    // The caret goes back also when the copy fails half-way.
    const auto caretBack = qScopeGuard([&editor, caret] {
        editor.setSelLength(0);
        editor.setSelStart(caret);
    });
    copySelectionFormat(editor, buffer);
    editor.setSelLength(editor.textLength());
    buffer.setSelRTF(editor.SelRTF());
}

} // namespace

void copySelectionFormat(RichTextBox &from, RichTextBox &to)
{
    to.setSelAlignment(from.SelAlignment());
    to.setSelBold(from.SelBold());
    to.setSelBullet(from.SelBullet());
    to.setSelCharOffset(from.SelCharOffset());
    to.setSelColor(from.SelColor());
    to.setSelFontName(from.SelFontName());
    to.setSelFontSize(from.SelFontSize());
    to.setSelHangingIndent(from.SelHangingIndent());
    to.setSelIndent(from.SelIndent());
    to.setSelItalic(from.SelItalic());
    to.setSelRightIndent(from.SelRightIndent());
    to.setSelStrikeThru(from.SelStrikeThru());
    to.setSelTabCount(from.SelTabCount());
    to.setSelUnderline(from.SelUnderline());
}

void composePrintCopy(RichTextBox &buffer, RichTextBox &editor, PrintedPart part)
{
    composeTitle(buffer);
    if (part == PrintedPart::WholeDocument)
        addWholeDocument(buffer, editor);
    else
        buffer.setSelRTF(editor.SelRTF());
}
