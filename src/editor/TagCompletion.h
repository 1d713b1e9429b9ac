#pragma once

#include "markup/CompletionLists.h"

#include <QString>
#include <QStringList>
#include <optional>

class RichTextControl;

// What Ctrl+Space does to the text: select [start, start + length), replace it with `text`,
// then select [selectStart, selectStart + selectLength) (the proposed rest of the name).
struct CompletionEdit {
    int start = 0;
    int length = 0;
    QString text;
    int selectStart = 0;
    int selectLength = 0;
};

// The completion at the control's cursor from `words` (the command list: bare tag names such as
// "TABLE", one per entry, compared without regard to case, the first match wins; empty entries
// never match). Nothing when no completion applies.
//
// First the word before the cursor (back to a space or the start of the line) is completed to an
// entry; failing that, the text from the nearest "<" before the cursor is completed to "<" and an
// entry, taking in a ">" right at the cursor. Right after a completion (the selection is the rest
// of an entry) and in a tag already complete, nothing is done.
//
// In a start tag past its name, with `attributes` not empty, attribute names are completed
// instead, and nothing else: the name typed after a blank (or none) is completed to the first
// attribute the element offers (its own, then the global ones) that the tag does not hold yet, in
// the same way. In a value, or where no attribute fits, nothing is done.
std::optional<CompletionEdit> CompleteTagName(const RichTextControl& control, const QStringList& words,
                                              const AttributeTable& attributes = AttributeTable());
