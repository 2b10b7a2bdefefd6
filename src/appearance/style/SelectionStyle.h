#pragma once

class RichTextBox;
struct TextStyle;

// Gives the selection of box (or its insertion point) the character format of
// style.
void setSelectionStyle(RichTextBox &box, const TextStyle &style);
