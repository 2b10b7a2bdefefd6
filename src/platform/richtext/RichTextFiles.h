#pragma once

#include "platform/files/FileReading.h"
#include "platform/files/FileSaving.h"

class QPrinter;
class QTextDocument;

// What the rich-text control needs around its document: whole-file reads and
// writes (readWholeFile, writeWholeFile), and printing.

// Prints document positions [from, to) with their formats.
void printDocumentRange(const QTextDocument &document, int from, int to, QPrinter *printer);
