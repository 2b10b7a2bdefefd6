#pragma once

#include <QString>

namespace rtf {

// The target of a HYPERLINK field instruction: its first argument, or
// "#bookmark" for \l "bookmark"; empty for any other field.
QString hyperlinkTarget(const QString &instruction);

} // namespace rtf
