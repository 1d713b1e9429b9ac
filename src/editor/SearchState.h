#pragma once

#include "markup/SearchPattern.h"

#include <QString>

class RichTextControl;

// What Find Next goes on from, for the whole program run: shared by the find dialog and the
// document windows' Find Next.
struct SearchState {
    QString findText;
    bool matchCase = false;
    bool regex = false;
    bool wholeWord = false;
    bool downward = true;
    int startPosition = 0; // where a new search begins
    int lastPosition = 0;  // where the last match was selected
    int lastLength = 0;    // and its length (a pattern's matches differ in length, and may be empty)
    // The stretch searched: from baseOffset, searchedLength characters (-1: to the end of the text).
    // Searching in selected text fixes it when a search starts, so every Find Next stays inside it.
    int baseOffset = 0;
    int searchedLength = -1;
    bool restart = true; // the next search is a new one

    SearchOptions options() const { return {matchCase, regex, wholeWord}; }
};

// Selects the next match of the state's find text in `control` and returns "", or returns the
// message that nothing was found, or that the pattern is not valid (and sets restart). A match
// still selected is passed over, so repeated searches move on (matches may overlap; an empty match
// moves on one character); upward, a match must start before the last one.
QString FindInText(RichTextControl& control, SearchState& state);

// The match of `pattern` that the selection of `control` is, found in the text the state's search
// runs over (its stretch, when the selection lies inside it); none when the selection is not one.
// An empty selection is a match only where the last search selected an empty match.
PatternMatch SelectedMatch(const RichTextControl& control, const SearchState& state,
                           const SearchPattern& pattern);
