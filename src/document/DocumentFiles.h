#pragma once

#include <QString>

// Reading the document from its file and writing it back. Every routine here
// raises RuntimeError when it fails; the commands decide how that is reported.

// Loads the file at path into the editor and makes it the document: its
// name becomes FileTitle, its folder DefaultDir (stored at once), and the
// document is clean. A file longer than MaxFileSize is refused with the
// "File is Too Large" box and changes nothing. A file that cannot be read
// leaves the editor as it was.
void openDocumentFile(const QString &path);

// Starts reading the file at path (taken from the current folder when
// relative) on a thread of its own when its name makes it plain text, so that
// it is read and decoded while the program starts. The first
// openDocumentFile takes what was read, failures included, if it opens that
// file; any other open reads its file itself.
void readDocumentFileAhead(const QString &path);

// Writes the document to its file in the format its name gives, and marks it
// clean; a document without a file ("Untitled") goes to saveDocumentAs.
void saveDocument();

// Asks for a name in the Save As dialog, writes the document there and makes
// that file the document's. A cancelled dialog raises ErrCancel.
void saveDocumentAs();

// Save as the Save command does it, with the failure reported: true when the
// document was saved. A failure of the Save As dialog's write goes through
// the error trap; a failure to write the document's own file shows a box
// with the error.
bool saveReportingFailure();

// Sets up CurrentForm's CommonDialog1 for the Open dialog and shows it. A
// cancelled dialog raises ErrCancel; otherwise the path chosen is returned.
QString chooseFileToOpen();
