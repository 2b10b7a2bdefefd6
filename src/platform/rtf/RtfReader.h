#pragma once

#include <QByteArray>
#include <QTextCursor>

// Parses rtf and inserts its text and formats at cursor, replacing cursor's
// selection; the cursor ends after the inserted text. The insertion is one
// edit block. Malformed RTF is read as far as it makes sense; data that is
// not RTF at all throws RuntimeError(ErrInvalidFileFormat). Empty data only
// removes the selection.
void insertRtf(QTextCursor &cursor, const QByteArray &rtf);

// Whether data starts like RTF: an opening brace and a control word, after
// white space.
bool looksLikeRtf(const QByteArray &data);
