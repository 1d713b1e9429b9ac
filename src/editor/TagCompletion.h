#pragma once

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
std::optional<CompletionEdit> CompleteTagName(const RichTextControl& control, const QStringList& words);
