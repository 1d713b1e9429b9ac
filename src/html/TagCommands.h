#pragma once

#include "markup/TagText.h"
#include <QString>

#include <optional>

class EditableDocument;

// The commands of the context menu and the toolbox that turn a document's selection into markup.
// Each records one undo step and, with colours on, colours what it inserted.

// Puts the selection between `startText` and `endText`, or, with `replace`, the two texts in its
// place. A wrapped selection stays selected; otherwise the cursor ends after the new text.
void WrapSelection(EditableDocument& document, const QString& startText, const QString& endText,
                   bool replace);
// "Comment": a selection beginning with "show it:" is shown in a message box first.
void CommentSelection(EditableDocument& document);
void UnCommentSelection(EditableDocument& document);
// Quotes the selection; inside a tag the quoted value takes the value colour.
void QuoteSelection(EditableDocument& document);
void ChangeSelectionCase(EditableDocument& document, bool upper);
void SortSelection(EditableDocument& document, bool ascending);
// Puts an own command's text in place of the selection.
void RunOwnCommand(EditableDocument& document, const QString& command);
