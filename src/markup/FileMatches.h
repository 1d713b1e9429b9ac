#pragma once

#include "markup/LineEndings.h"
#include "markup/SearchPattern.h"

#include <QString>
#include <vector>

// Matches of a search in a whole text, placed by line and column, and Replace All in the text of
// a file that keeps the file's own line breaks.

// One match, placed as the editor shows it.
struct LineMatch {
    int line = 0;   // 1-based
    int column = 0; // 1-based, in characters from the start of the line
    int length = 0; // characters of the whole match (it may reach into the following lines)
    // The line the match begins on, its leading blanks left out; on a long line only the stretch
    // around the match, with "…" where it was cut.
    QString lineText;
    // Where the match lies in lineText: the part of it on its first line, within the stretch shown.
    int markStart = 0;
    int markLength = 0;
};

// The matches of `pattern` in `text`, in order: the same matches Replace All replaces, each
// searched for after the end of the one before. The text's line breaks are CR LF, as a document
// holds them, or all LF (a plain find text without line breaks finds the same there, at the same
// lines and columns). Only the first `limit` are placed; `count`, when given, receives how many
// there are in all.
std::vector<LineMatch> FindLineMatches(const QString& text, const SearchPattern& pattern, qsizetype limit,
                                       qsizetype* count = nullptr);

// `original` (with any line breaks: CR LF, LF, CR, mixed) with every match of `pattern` replaced.
// The search sees the text as a document would hold it (every break CR LF), so it finds what
// Replace All in the opened file finds, while every character outside the matches stays exactly
// as it was, each line break in its own form. Breaks that the replacements bring are written in
// `breaks`. `count`, when given, receives the number of matches; without any, `original` comes back.
QString ReplaceKeepingBreaks(const QString& original, const SearchPattern& pattern,
                             const QString& replacement, SaveFormat breaks, int* count = nullptr);
