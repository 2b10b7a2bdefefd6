#pragma once

#include <QAbstractPrintDialog>
#include <QStringList>

class CommonDialog;
class QColor;
class QFont;

// How a common dialog takes its set-up from a CommonDialog's properties and
// writes the user's choice back into them. Every modal host goes through
// these, so that a scripted answer fills the properties exactly as the real
// dialog does.
namespace dialogchoice {

// "Description|pattern|Description|pattern" as name filters for a Qt file
// dialog ("Description (pattern pattern)"). Patterns may be separated by ';';
// "*.*" matches every name, with or without an extension.
QStringList qtNameFilters(const QString &filter);

// Filename (native separators, DefaultExt added when the name has no
// extension) and FileTitle (the name alone) from the path chosen.
void setChosenFile(CommonDialog &dialog, const QString &path);

// Flags bits 1 (Selection) and 2 (page range) from the range chosen, and the
// copies asked for.
void setPrintChoice(CommonDialog &dialog, QAbstractPrintDialog::PrintRange range, int copies);

// The font the font dialog starts with, from FontName, FontSize and the
// effects; an empty name or a size of 0 keeps the application font's.
QFont initialFont(const CommonDialog &dialog);
void setChosenFont(CommonDialog &dialog, const QFont &font);

void setChosenColor(CommonDialog &dialog, const QColor &color);

} // namespace dialogchoice
