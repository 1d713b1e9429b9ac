#pragma once
#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>
class RichTextControl;
class SearchPattern;
struct SearchState;

// Where the next match of `find` lies in `text`. Downward: the first match starting at or after
// `from`. Upward: the last match starting before `from` (so from the end of the text the last
// character can be found). Without `matchCase` case is compared character by character, so
// offsets are those of `text` (no upper-cased copy whose length could differ, as with "ß").
// -1 when there is none, and always for an empty `find`.
qsizetype FindMatch(QStringView text, QStringView find, qsizetype from, bool downward, bool matchCase);

// One replacement made in a text: at `at` (in the text before the change), `removed` characters
// gave way to `inserted` ones. Ascending and apart, pieces tell two texts' differences compactly.
struct ReplacedPiece {
    int at = 0;
    int removed = 0;
    int inserted = 0;
};

// `text` with every match of `find` replaced by `replacement`, searched from the start and going
// on after each inserted replacement (so replacing "a" by "A" without match case ends). `count`,
// when given, receives the number of replacements, and `pieces` one piece for each (none when
// they would take more memory than the text). An empty `find` changes nothing.
QString ReplaceAllText(const QString& text, const QString& find, const QString& replacement, bool matchCase,
                       int* count = nullptr, std::vector<ReplacedPiece>* pieces = nullptr);
// The same with a find text and its options (SearchPattern: plain or a pattern, whole words).
QString ReplaceAllText(const QString& text, const SearchPattern& pattern, const QString& replacement,
                       int* count = nullptr, std::vector<ReplacedPiece>* pieces = nullptr);

// A hash of a stretch of text that can also be taken a piece at a time, in pieces of
// kStretchHashPiece characters from the stretch's start: each piece hashed with the hash before.
constexpr int kStretchHashPiece = 64 * 1024;
size_t StretchHash(QStringView text);

// Replace All in one document, worked out before anything changes, so that the question before
// it can tell how many matches it replaces.
struct ReplaceAllPlan {
    int start = 0;    // where the searched stretch begins in the document
    QString searched; // the selected text, or the whole text
    QString replaced; // the stretch as Replace All leaves it, line breaks CR LF
    // Where the two differ (matches replaced by their own text left out), when that is known.
    std::vector<ReplacedPiece> pieces;
    int count = 0; // the matches, changing the text or not
    bool changes = false;
    // A plain find text each of whose matches is the find text itself is searched for in the
    // document a piece at a time, so that the searched text is never copied whole beside the
    // replaced one: `searched` then stays empty, its length and StretchHash stand for it, and
    // every piece's removed text is `removedText`.
    bool readInPieces = false;
    int searchedLength = 0;
    size_t searchedHash = 0;
    QString removedText;
};
// The plan for `control`'s selected text (`selectedOnly`) or whole text, with the state's find
// text and options.
ReplaceAllPlan PlanReplaceAll(const RichTextControl& control, bool selectedOnly, const SearchState& state,
                              const QString& replacement);

// What a Go To box holds as a number: its leading blanks skipped, then digits; anything else, or
// nothing, is 0. Numbers too large for an int saturate at INT_MAX.
int GoToNumber(const QString& box);

// The offset Go To moves the cursor to for line `line` and character `character` (1-based; values
// below 1 count as 1). Line 1, character 1 is offset 0. A line number greater than the number of
// lines goes to the end of the text. Otherwise the cursor goes to the line's start + character - 1,
// but not beyond the line's end (before its CR LF).
int GoToOffset(const RichTextControl& control, int line, int character);

// A search history file: its first 40 lines (CR LF, LF or CR breaks; UTF-8), in file order; a
// missing or unreadable file is an empty history.
QStringList ReadSearchHistory(const QString& path);
// Writes every non-empty entry in order, joined with CR LF and ended with one CR LF. When the
// joined text is 2 characters or shorter the file is left as it is. Written safely (QSaveFile);
// returns false when the write failed.
bool WriteSearchHistory(const QString& path, const QStringList& entries);
