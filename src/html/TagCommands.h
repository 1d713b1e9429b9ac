#pragma once

#include <QString>
#include <optional>

class frmNotepad;

// The commands of the context menu and the toolbox that turn a document's selection into markup.
// Each records one undo step and, with colours on, colours what it inserted.

// Puts the selection between `startText` and `endText`, or, with `replace`, the two texts in its
// place. A wrapped selection stays selected; otherwise the cursor ends after the new text.
void WrapSelection(frmNotepad& document, const QString& startText, const QString& endText, bool replace);
// "Comment": a selection beginning with "show it:" is shown in a message box first.
void CommentSelection(frmNotepad& document);
void UnCommentSelection(frmNotepad& document);
// Quotes the selection; inside a tag the quoted value takes the value colour.
void QuoteSelection(frmNotepad& document);
void ChangeSelectionCase(frmNotepad& document, bool upper);
void SortSelection(frmNotepad& document, bool ascending);
// Puts an own command's text in place of the selection.
void RunOwnCommand(frmNotepad& document, const QString& command);

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
