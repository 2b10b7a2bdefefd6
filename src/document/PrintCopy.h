#pragma once

class RichTextBox;

// What a print holds below its title.
enum class PrintedPart { WholeDocument, SelectionOnly };

// Builds the print copy in buffer, which is emptied first: the title line
// (FileTitle, centred, bold, black, "MS Sans Serif" 10 points), an empty line
// in DefaultAlignment, then the editor's whole document or its selection, as
// Rich Text with its own formats, on a white background.
//
// For the whole document the paragraph that receives it takes the format of
// the document's first paragraph, and the editor ends with its caret where
// the selection started and nothing selected (also when the copy fails). For
// the selection the editor is not touched.
void composePrintCopy(RichTextBox &buffer, RichTextBox &editor, PrintedPart part);

// Copies the selection format found in from to the selection or caret of to,
// property by property: alignment, bold, bullet, character offset, colour,
// font name, font size, hanging indent, indent, italic, right indent,
// strikethrough, tab count, underline.
void copySelectionFormat(RichTextBox &from, RichTextBox &to);
