#include "editor/TagCompletion.h"

#include "platform/RichTextControl.h"

#include <algorithm>

namespace {

// How far each way the start tag around the cursor is read: a tag longer than that (a long inline
// style) is looked into only as far.
constexpr int kTagReach = 8192;

// Case is ignored one character at a time, so a word keeps its length when compared: a letter
// whose upper case is longer (ß and SS) never makes a word match more text than was typed.
bool beginsWith(const QString& text, const QString& prefix) {
    return text.startsWith(prefix, Qt::CaseInsensitive);
}

int longestEntry(const QStringList& words) {
    int longest = 0;
    for (const QString& word : words)
        longest = std::max(longest, int(word.size()));
    return longest;
}

// The word before the cursor: back to the last space, or to the start of the cursor's line.
// No entry is longer than `longest`, so only that much text (and one more character, to tell
// a longer word from a fitting one) is read; a line of megabytes is never copied.
QString wordBefore(const RichTextControl& control, int cursor, int longest) {
    const int lineStart = control.lineIndex(control.lineFromChar(cursor));
    const int from = std::max(lineStart, cursor - longest - 1);
    const QString before = control.textRange(from, cursor - from);
    return before.mid(before.lastIndexOf(QLatin1Char(' ')) + 1);
}

// Right after a completion the selection is the proposed rest of an entry.
bool selectionEndsAnEntry(const RichTextControl& control, const QStringList& words, int longest) {
    const int length = control.selLength();
    if (length == 0 || length > longest)
        return false;
    const QString selected = control.selText();
    return std::any_of(words.begin(), words.end(),
                       [&](const QString& word) { return word.endsWith(selected, Qt::CaseInsensitive); });
}

// Completes the tag name typed after the nearest "<" before the cursor. A "<" further back than
// the longest "<" + entry gives a text no entry completes, so the search stops there.
std::optional<CompletionEdit> completeTag(const RichTextControl& control, const QStringList& words,
                                          int cursor, int longest) {
    const int longestTag = longest + 1;
    const int from = std::max(0, cursor - longestTag);
    const QString before = control.textRange(from, cursor - from);
    const int bracket = before.lastIndexOf(QLatin1Char('<'));
    if (bracket < 0)
        return std::nullopt;
    const int tagStart = from + bracket;
    const QString typed = before.mid(bracket);

    // A tag whose name is already an entry, closed by its ">", is left alone.
    const QString ahead = control.textRange(tagStart, longestTag + 1);
    const int close = ahead.indexOf(QLatin1Char('>'), 1);
    if (close > 0) {
        const QString tag = ahead.left(close + 1);
        for (const QString& word : words)
            if (!word.isEmpty() &&
                tag.compare(QLatin1Char('<') + word + QLatin1Char('>'), Qt::CaseInsensitive) == 0)
                return std::nullopt;
    }

    for (const QString& word : words) {
        const QString tag = QLatin1Char('<') + word;
        if (word.isEmpty() || !beginsWith(tag, typed))
            continue;
        // The ">" the "<" typing aid put after the cursor is taken in and written back, so the
        // proposal stays inside the brackets.
        const bool closed = control.charAt(cursor) == QLatin1Char('>');
        CompletionEdit edit;
        edit.start = tagStart;
        edit.length = int(typed.size()) + (closed ? 1 : 0);
        edit.text = closed ? tag + QLatin1Char('>') : tag;
        edit.selectStart = tagStart + int(typed.size());
        edit.selectLength = int(tag.size() - typed.size());
        return edit;
    }
    return std::nullopt;
}

// Completes the attribute name typed at `place`, found in the text from `from` with the selection
// left out (so that the proposal of a completion just made reads as not there).
std::optional<CompletionEdit> completeAttribute(const RichTextControl& control,
                                                const AttributeTable& attributes, const AttributePlace& place,
                                                int from) {
    const QStringList offered = attributes.offeredIn(place.element);
    const QString selected = control.selText();
    // Right after a completion the selection is the rest of an attribute.
    if (!selected.isEmpty() && offered.contains(place.typed + selected, Qt::CaseInsensitive))
        return std::nullopt;
    for (const QString& name : offered) {
        if (!beginsWith(name, place.typed) || place.present.contains(name, Qt::CaseInsensitive))
            continue;
        if (name == place.typed)
            return std::nullopt; // typed out already
        const int cursor = control.selStart();
        CompletionEdit edit;
        edit.start = from + place.start;
        edit.length = int(place.typed.size());
        edit.text = name;
        edit.selectStart = cursor;
        edit.selectLength = int(name.size() - place.typed.size());
        return edit;
    }
    return std::nullopt;
}

} // namespace

std::optional<CompletionEdit> CompleteTagName(const RichTextControl& control, const QStringList& words,
                                              const AttributeTable& attributes) {
    const int cursor = control.selStart();
    if (!attributes.isEmpty()) {
        const int from = std::max(0, cursor - kTagReach);
        const QString before = control.textRange(from, cursor - from);
        const QString around = before + control.textRange(cursor + control.selLength(), kTagReach);
        const AttributePlace place = AttributePlaceAt(around, int(before.size()));
        if (place.inStartTag)
            return place.atName ? completeAttribute(control, attributes, place, from) : std::nullopt;
    }
    const int longest = longestEntry(words);

    const QString word = wordBefore(control, cursor, longest);
    if (!word.isEmpty()) {
        if (selectionEndsAnEntry(control, words, longest))
            return std::nullopt;
        for (const QString& entry : words) {
            if (entry.isEmpty() || !beginsWith(entry, word))
                continue;
            CompletionEdit edit;
            edit.start = cursor - int(word.size());
            edit.length = int(word.size());
            edit.text = entry;
            edit.selectStart = cursor;
            edit.selectLength = int(entry.size() - word.size());
            return edit;
        }
    }
    return completeTag(control, words, cursor, longest);
}
