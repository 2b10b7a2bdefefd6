#pragma once

#include <QByteArray>
#include <QString>

class QPrinter;
class QTextDocument;

// What the rich-text control needs around its document: whole-file reads and
// writes, and printing.

// The bytes of a file; failures raise RuntimeError.
QByteArray readWholeFile(const QString &path);
// Replaces path's contents with bytes through a temporary file, so that a
// failure leaves the old file as it was; failures raise RuntimeError.
void writeWholeFile(const QString &path, const QByteArray &bytes);

// Prints document positions [from, to) with their formats.
void printDocumentRange(const QTextDocument &document, int from, int to, QPrinter *printer);
