#pragma once

#include <QString>
#include <optional>

// The text procedures under the tag commands: what a selection becomes.

// The inside of the comment `selected` is, or nothing when it is none or its inside is empty.
// Longer closings are tried first, so "//-->" loses its "//".
std::optional<QString> UnCommentText(const QString& selected);
// The lines of `text` (separated by CR LF) sorted by their character codes, ascending or
// descending; the result has exactly the text's lines and line breaks.
QString SortLines(const QString& text, bool ascending);
// The Format dialog's text: the start command and a CR LF, each line between `lineStart` and
// `lineEnd` followed by a CR LF, then the end command and a CR LF (empty commands leave out
// their line). The piece after the last line break counts as a line when it is not empty.
QString FormatLines(const QString& text, const QString& start, const QString& end, const QString& lineStart,
                    const QString& lineEnd);
