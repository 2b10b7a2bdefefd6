#pragma once

// The default text style and background of documents, stored in the section
// "Fonts" of the settings store (DefBackColor, DefBold, DefColor, DefFontName,
// DefFontSize, DefItalic, DefStrikeThru, DefUnderline). The Hypertext style
// and the palette are never stored.

// Puts the built-in values into DefaultBackColor, DefStyle, HyperTextStyle
// and Palette.
void ResetFontDefaults();

// Built-in values, then the stored ones; a stored value that does not convert
// (or a font size below 1, an empty font name) leaves the built-in one. Then
// formats CurrentRichTextBox's insertion point at the end of its text with the
// default style, and its background.
void LoadFontSettings();

// Stores DefaultBackColor and DefStyle.
void SaveFontSettings();

// Gives CurrentRichTextBox's whole text the default style and the background,
// puts the caret at the start, and leaves the document's modified state as it
// was.
void ApplyDefaultStyle();
