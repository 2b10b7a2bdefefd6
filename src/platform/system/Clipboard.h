#pragma once

#include <QString>

// The system clipboard, plain text only.
namespace Clipboard {

enum Format { vbCFText = 1 };

void Clear();
void SetText(const QString &text, int format = vbCFText);
// True when the clipboard holds data of format (only vbCFText is known).
bool GetFormat(int format);
QString GetText(int format = vbCFText);

} // namespace Clipboard
