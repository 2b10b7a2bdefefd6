#pragma once

#include <QString>

class QWidget;

// What every caption of the editor window ends with.
inline const QString CaptionEnd = QStringLiteral(" - Scrivlet");

// Sets CurrentForm's caption: the file title and CaptionEnd, with "*"
// straight after the title while the document has unsaved changes; then lays
// the editor out again.
void UpdateTitle();

// The first change of a saved document marks it modified.
void markDocumentModified();

// Sets a window's caption exactly as given.
void setCaption(QWidget &window, const QString &caption);
