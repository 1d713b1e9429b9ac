#pragma once

class frmNotepad;

// Marks the tag (or bracket) at the window's cursor and its partner whenever the cursor or the text
// changes. The look waits for the events already queued, so a run of moves costs one look.
void WatchMatchingTags(frmNotepad& window);
// Switches that marking on (as the window starts) or off, which clears the marks and stops the looks.
void SetMatchingTagsShown(frmNotepad& window, bool shown);
