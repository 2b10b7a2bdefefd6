#pragma once

#include "platform/richtext/RichTextBox.h"

#include <QString>
#include <QStringView>

#include <vector>

// Replace All over text, in the control's text form (CR LF between lines):
// pass after pass, the first occurrence of findText that is left is replaced
// by replacement, until there is none. options are those of the control's
// Find (whole word, match case); the ends of text count as word boundaries.
//
// An occurrence that lies wholly inside text an earlier replacement put in is
// not replaced again, so a replacement that holds the text searched for does
// not grow for ever: 'a' to 'aa' doubles every 'a' once. One that reaches
// into the text around it is: in 'aabb', 'ab' replaced by nothing leaves 'ab',
// which the next pass removes. Every replacement takes away at least one
// character of the original text, so the passes end.
//
// Returns the replacements in the order they are made, each at positions of
// the text as the ones before it left it. Line breaks in findText and
// replacement count as CR LF.
std::vector<TextReplacement> replaceAllPasses(QStringView text, QString findText,
                                              QString replacement, int options);
