#pragma once

#include <QString>

// The commands of the File menu that look after the document, and the opening
// of a file given by path. Each works on the current editor window.

// Empties the document, which becomes "Untitled" and clean; DefaultDir stays.
void FileNew();
// Shows the Open dialog and loads the file chosen.
void FileOpen();
// Loads the file at path (the command line, a file dropped on the editor); a
// relative path is taken from the current folder.
void OpenDocument(const QString &path);
// Writes the document to its file, or asks for a name when it has none.
void FileSave();
// Asks for a name and writes the document there.
void FileSaveAs();
// Ends the program at once, once the document is saved or given up.
void FileExit();
