#include "appearance/style/SelectionStyle.h"

#include "appearance/style/TextStyle.h"
#include "platform/richtext/RichTextBox.h"

void setSelectionStyle(RichTextBox &box, const TextStyle &style)
{
    box.setSelColor(style.Color);
    box.setSelBold(style.Bold);
    box.setSelFontName(style.FontName);
    box.setSelFontSize(style.FontSize);
    box.setSelItalic(style.Italic);
    box.setSelStrikeThru(style.StrikeThru);
    box.setSelUnderline(style.Underline);
}
