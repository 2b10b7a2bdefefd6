#pragma once

#include <QByteArray>
#include <QString>

class QPrinter;
class QTextCursor;
class QTextDocument;

// What the rich-text control needs around its document: whole-file reads and
// writes, Rich Text in and out, and printing.

// The bytes of a file; failures raise RuntimeError.
QByteArray readWholeFile(const QString &path);
// Replaces path's contents with bytes through a temporary file, so that a
// failure leaves the old file as it was; failures raise RuntimeError.
void writeWholeFile(const QString &path, const QByteArray &bytes);

// Rich Text of document positions [from, to), and Rich Text inserted at a
// cursor (replacing its selection).
QByteArray rtfOfDocument(const QTextDocument &document, int from, int to);
void insertRtfAt(QTextCursor &cursor, const QByteArray &rtf);

// Prints document positions [from, to) with their formats.
void printDocumentRange(const QTextDocument &document, int from, int to, QPrinter *printer);
