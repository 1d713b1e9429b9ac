#pragma once

#include <QString>

class RichTextControl;

// What Find Next goes on from, for the whole program run: shared by the find dialog and the
// document windows' Find Next.
struct SearchState {
    QString findText;
    bool matchCase = false;
    bool downward = true;
    int startPosition = 0; // where a new search begins
    int lastPosition = 0;  // where the last match was selected
    // The stretch searched: from baseOffset, searchedLength characters (-1: to the end of the text).
    // Searching in selected text fixes it when a search starts, so every Find Next stays inside it.
    int baseOffset = 0;
    int searchedLength = -1;
    bool restart = true; // the next search is a new one
};

// Selects the next match of the state's find text in `control` and returns "", or returns the
// message that nothing was found (and sets restart). A match still selected is passed over, so
// repeated searches move on (matches may overlap); upward, a match must start before the last one.
QString FindInText(RichTextControl& control, SearchState& state);
